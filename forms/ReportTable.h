// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

#include <vector>

// FormatNumber as a report's text: "," groups, "." decimals, whatever the locale.
QString FormatNumberText(double value, int decimals);

// One cell of a report row. Numbers are kept at full precision; the report shows them with
// their column's decimals.
struct CReportCell
{
    enum class EKind
    {
        Number,  // a value
        Complex, // "R + jX", rectangular
        Tagged,  // a value with its kind before it, as "C23,394.28"
        Text,    // a text kept as it is
        // A value with its unit after it, as "424.47 pF", where the unit changes from row to row.
        WithUnit,
        Empty, // no value in this row: the views leave the column's fields blank
    };

    EKind m_Kind = EKind::Text;
    double m_Value = 0.0;   // the value, the real part, or the tagged value
    double m_Imag = 0.0;    // the imaginary part of a complex value
    QString m_Text;         // the text, the tag of a tagged value, or the unit
    bool m_NoValue = false; // the report writes it (as 0.00), but it stands for no value

    static CReportCell Number(double value) { return {EKind::Number, value, 0.0, QString()}; }
    static CReportCell Complex(double real, double imag)
    {
        return {EKind::Complex, real, imag, QString()};
    }
    static CReportCell Tagged(const QString& tag, double value)
    {
        return {EKind::Tagged, value, 0.0, tag};
    }
    static CReportCell Text(const QString& text) { return {EKind::Text, 0.0, 0.0, text}; }
    static CReportCell WithUnit(double value, const QString& unit)
    {
        return {EKind::WithUnit, value, 0.0, unit};
    }
    static CReportCell Empty() { return {EKind::Empty, 0.0, 0.0, QString()}; }
    // The same cell in the report; the views leave it blank.
    CReportCell WithoutValue() const
    {
        CReportCell cell = *this;
        cell.m_NoValue = true;
        return cell;
    }
};

// A column of a report table: what it is called, its unit, how the report writes its cells.
struct CReportColumn
{
    QString m_Name;          // "D", "Zin"
    QString m_Unit;          // "mm"; empty for a pure number
    int m_Decimals = 2;      // FormatNumber decimals of the cells
    QString m_After = " \t"; // what follows a cell in the report line
    int m_Width = 0;         // a cell is padded to this width, as m_Pad says; 0: not padded
    int m_Cut = 0;           // the report writes at most this many characters of a cell; 0: all

    // Where a cell's padding goes: blanks after it, blanks before it, or zeros before its
    // digits ("001").
    enum class EPad
    {
        After,
        Before,
        Zeros,
    };
    EPad m_Pad = EPad::After;
};

// A validity rule's hint on a report table: the text, and the rows it concerns (none: the
// whole table). A hint never changes the report's text; the views show it beside the rows.
struct CTableHint
{
    QString m_Text;
    std::vector<size_t> m_Rows;
};

// A report table: the title of the action that wrote it, the report's lines before the rows
// exactly as written, the columns, the rows as data, and the lines after them. The results
// box, the table view, the clipboard and the exports all take their text from here, so the
// report and its data cannot disagree.
class CReportTable
{
public:
    QString m_Title;
    QString m_Header;   // lines before the rows, "\r\n" line ends included
    QString m_RowStart; // text before the first cell of every row
    QString m_RowEnd = QStringLiteral("\r\n");
    QString m_Footer; // lines after the rows
    // The rows go on those of the table before, written by the same action in a layout of
    // their own (a tap sweep's loop 0 and its taps): the views show the two as one table.
    bool m_Continues = false;
    std::vector<CReportColumn> m_Columns;
    std::vector<std::vector<CReportCell>> m_Rows;
    std::vector<CTableHint> m_Hints;
    QString m_PlotRemark; // a line the plot of the table shows under its title

    // The column of that name, or -1.
    int ColumnNamed(const QString& name) const;
    // The number in a row's cell of a column, when the cell holds one.
    bool NumberAt(size_t row, int column, double& value) const;
    // True when a hint concerns the row.
    bool RowHasHint(size_t row) const;
    // The hints' lines, one per hint: the table's title, the rows it concerns named by their
    // first column's values ("W# 044-048"), and the text.
    QStringList HintLines() const;

    // The cell as the report writes it, padding and following text included.
    QString CellText(const CReportCell& cell, size_t column) const;
    // The cell's value alone, as the report writes it ("51.82 + j136.89").
    QString ShownValue(const CReportCell& cell, size_t column) const;
    QString RowText(size_t row) const;
    // Header, rows and footer: the report text.
    QString Text() const;

    // The data fields of a row and the header of those fields: a complex value takes two
    // ("Zin R (ohm)", "Zin X (ohm)"), a tagged value a kind and a number, a value with its
    // unit a number and a unit, so every row has as many fields as the header. Numbers in
    // full precision, "." as decimal point, no grouping.
    QStringList FieldNames() const;
    QStringList Fields(size_t row) const;

private:
    // The kind of a column's cells: that of its first cell with a value.
    CReportCell::EKind ColumnKind(size_t column) const;
};

// Same title and column names: rows of one kind.
bool SameLayout(const CReportTable& a, const CReportTable& b);

// The table with one unit a column: a column whose unit changes from row to row ("424.47 pF",
// "220.69 uH") becomes one column a unit, "React(in) C (pF)" and "React(in) L (uH)", the other
// cell blank; a cell that stands for no value is blank. The Plot tab and the views read this.
CReportTable FixedUnitTable(const CReportTable& table);

// The tables as the Table tab, Copy and the exports show them, each with one unit a column
// (FixedUnitTable): a table that continues the
// one before joins it, with the columns of both, cells left empty where a row has none; and
// one-row tables of one layout in a row (repeated presses of a one-row action) gather into one
// table with a "Run" column first, counting from 1. The report text is not changed. When
// `from` is given, only the shown tables holding one of tables[from...] are returned.
std::vector<CReportTable> ViewTables(const std::vector<CReportTable>& tables, size_t from = 0);

// A column's name with its unit in brackets, "Wire length (m)"; the name alone without a unit.
QString ColumnHeading(const QString& name, const QString& unit);

// The tables as CSV: UTF-8 text, one header row per table, RFC 4180 quoting, a blank line
// between tables. The writer goes line by line, so that a large sweep needs no copy whole.
QString TablesAsCsv(const std::vector<CReportTable>& tables);
bool WriteTablesAsCsv(const std::vector<CReportTable>& tables, QIODevice& device);
// The tables as tab-separated text and as an HTML table, for the clipboard: values as the
// report shows them.
QString TablesAsTabText(const std::vector<CReportTable>& tables);
QString TablesAsHtml(const std::vector<CReportTable>& tables);
