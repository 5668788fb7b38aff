// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/ReportTable.h"

#include "models/FormatNumber.h"

#include <QBuffer>
#include <QLocale>

#include <algorithm>

#include <cmath>

QString FormatNumberText(double value, int decimals)
{
    return QString::fromStdString(FormatNumber(value, decimals));
}

namespace
{

// Every digit that tells the double apart, "." as decimal point and no grouping.
QString FullPrecision(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    // Fixed notation as far as it stays short, so that spreadsheets read every field alike.
    if (std::fabs(value) < 1e21)
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString CsvField(const QString& field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
        !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r')))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString HtmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}
} // namespace

QString ColumnHeading(const QString& name, const QString& unit)
{
    return unit.isEmpty() ? name : name + QStringLiteral(" (") + unit + QLatin1Char(')');
}

QString CReportTable::ShownValue(const CReportCell& cell, size_t column) const
{
    const int decimals = column < m_Columns.size() ? m_Columns[column].m_Decimals : 2;
    switch (cell.m_Kind)
    {
    case CReportCell::EKind::Number:
        return FormatNumberText(cell.m_Value, decimals);
    case CReportCell::EKind::Complex:
        return FormatNumberText(cell.m_Value, decimals) +
               (cell.m_Imag < 0 ? QStringLiteral(" - j") : QStringLiteral(" + j")) +
               FormatNumberText(std::fabs(cell.m_Imag), decimals);
    case CReportCell::EKind::Tagged:
        return cell.m_Text + FormatNumberText(cell.m_Value, decimals);
    case CReportCell::EKind::WithUnit:
        return FormatNumberText(cell.m_Value, decimals) + QLatin1Char(' ') + cell.m_Text;
    case CReportCell::EKind::Text:
    case CReportCell::EKind::Empty:
        break;
    }
    return cell.m_Text;
}

QString CReportTable::CellText(const CReportCell& cell, size_t column) const
{
    QString text = ShownValue(cell, column);
    if (column < m_Columns.size())
    {
        const CReportColumn& layout = m_Columns[column];
        if (layout.m_Cut > 0)
            text.truncate(layout.m_Cut);
        if (layout.m_Width > text.size())
        {
            switch (layout.m_Pad)
            {
            case CReportColumn::EPad::After:
                text = text.leftJustified(layout.m_Width);
                break;
            case CReportColumn::EPad::Before:
                text = text.rightJustified(layout.m_Width);
                break;
            case CReportColumn::EPad::Zeros:
                text.insert(text.startsWith(QLatin1Char('-')) ? 1 : 0,
                            QString(layout.m_Width - text.size(), QLatin1Char('0')));
                break;
            }
        }
        text += layout.m_After;
    }
    return text;
}

QString CReportTable::RowText(size_t row) const
{
    QString text = m_RowStart;
    const std::vector<CReportCell>& cells = m_Rows[row];
    for (size_t column = 0; column < cells.size(); ++column)
        text += CellText(cells[column], column);
    return text + m_RowEnd;
}

QString CReportTable::Text() const
{
    QString text = m_Header;
    for (size_t row = 0; row < m_Rows.size(); ++row)
        text += RowText(row);
    return text + m_Footer;
}

CReportCell::EKind CReportTable::ColumnKind(size_t column) const
{
    for (const std::vector<CReportCell>& row : m_Rows)
        if (column < row.size() && row[column].m_Kind != CReportCell::EKind::Empty)
            return row[column].m_Kind;
    return CReportCell::EKind::Number;
}

QStringList CReportTable::FieldNames() const
{
    QStringList names;
    for (size_t column = 0; column < m_Columns.size(); ++column)
    {
        const CReportColumn& layout = m_Columns[column];
        const CReportCell::EKind kind = ColumnKind(column);
        if (kind == CReportCell::EKind::Complex)
        {
            names << ColumnHeading(layout.m_Name + QStringLiteral(" R"), layout.m_Unit)
                  << ColumnHeading(layout.m_Name + QStringLiteral(" X"), layout.m_Unit);
        }
        else if (kind == CReportCell::EKind::Tagged)
        {
            names << layout.m_Name + QStringLiteral(" kind")
                  << ColumnHeading(layout.m_Name, layout.m_Unit);
        }
        else if (kind == CReportCell::EKind::WithUnit)
        {
            names << layout.m_Name << layout.m_Name + QStringLiteral(" unit");
        }
        else
        {
            names << ColumnHeading(layout.m_Name, layout.m_Unit);
        }
    }
    return names;
}

QStringList CReportTable::Fields(size_t row) const
{
    QStringList fields;
    const std::vector<CReportCell>& cells = m_Rows[row];
    for (size_t column = 0; column < cells.size(); ++column)
    {
        const CReportCell& cell = cells[column];
        switch (cell.m_Kind)
        {
        case CReportCell::EKind::Empty:
        {
            // As many blanks as the column's cells have fields.
            const CReportCell::EKind kind = ColumnKind(column);
            fields << QString();
            if (kind == CReportCell::EKind::Complex || kind == CReportCell::EKind::Tagged ||
                kind == CReportCell::EKind::WithUnit)
                fields << QString();
            break;
        }
        case CReportCell::EKind::Number:
            fields << FullPrecision(cell.m_Value);
            break;
        case CReportCell::EKind::Complex:
            fields << FullPrecision(cell.m_Value) << FullPrecision(cell.m_Imag);
            break;
        case CReportCell::EKind::Tagged:
            fields << cell.m_Text << FullPrecision(cell.m_Value);
            break;
        case CReportCell::EKind::WithUnit:
            fields << FullPrecision(cell.m_Value) << cell.m_Text;
            break;
        case CReportCell::EKind::Text:
            fields << cell.m_Text.trimmed();
            break;
        }
    }
    return fields;
}

int CReportTable::ColumnNamed(const QString& name) const
{
    for (size_t column = 0; column < m_Columns.size(); ++column)
        if (m_Columns[column].m_Name == name)
            return static_cast<int>(column);
    return -1;
}

bool CReportTable::NumberAt(size_t row, int column, double& value) const
{
    if (column < 0 || row >= m_Rows.size() || static_cast<size_t>(column) >= m_Rows[row].size())
        return false;
    const CReportCell& cell = m_Rows[row][static_cast<size_t>(column)];
    if (cell.m_NoValue || cell.m_Kind == CReportCell::EKind::Text ||
        cell.m_Kind == CReportCell::EKind::Empty || cell.m_Kind == CReportCell::EKind::Complex)
        return false;
    value = cell.m_Value;
    return true;
}

bool CReportTable::RowHasHint(size_t row) const
{
    return std::any_of(m_Hints.begin(), m_Hints.end(),
                       [row](const CTableHint& hint)
                       {
                           return hint.m_Rows.empty() ||
                                  std::find(hint.m_Rows.begin(), hint.m_Rows.end(), row) !=
                                      hint.m_Rows.end();
                       });
}

QStringList CReportTable::HintLines() const
{
    const auto key = [this](size_t row)
    {
        return row < m_Rows.size() && !m_Rows[row].empty()
                   ? ShownValue(m_Rows[row].front(), 0).trimmed()
                   : QString::number(row + 1);
    };
    QStringList lines;
    for (const CTableHint& hint : m_Hints)
    {
        // Runs of neighbouring rows, each named by its first and last key.
        QStringList ranges;
        for (size_t i = 0; i < hint.m_Rows.size();)
        {
            size_t last = i;
            while (last + 1 < hint.m_Rows.size() && hint.m_Rows[last + 1] == hint.m_Rows[last] + 1)
                ++last;
            ranges << (last == i ? key(hint.m_Rows[i])
                                 : key(hint.m_Rows[i]) + QLatin1Char('-') + key(hint.m_Rows[last]));
            i = last + 1;
        }
        QString where = m_Title;
        if (!ranges.isEmpty() && !m_Columns.empty())
            where += QStringLiteral(", ") + m_Columns.front().m_Name + QLatin1Char(' ') +
                     ranges.join(QStringLiteral(", "));
        lines << where + QStringLiteral(": ") + hint.m_Text;
    }
    return lines;
}

bool SameLayout(const CReportTable& a, const CReportTable& b)
{
    if (a.m_Title != b.m_Title || a.m_Columns.size() != b.m_Columns.size())
        return false;
    for (size_t column = 0; column < a.m_Columns.size(); ++column)
        if (a.m_Columns[column].m_Name != b.m_Columns[column].m_Name)
            return false;
    return true;
}

namespace
{
// A hint the table has already is one hint over the rows of both.
void AddHint(CReportTable& table, CTableHint hint)
{
    const auto same =
        std::find_if(table.m_Hints.begin(), table.m_Hints.end(),
                     [&hint](const CTableHint& h) { return h.m_Text == hint.m_Text; });
    if (same == table.m_Hints.end())
        table.m_Hints.push_back(std::move(hint));
    else if (hint.m_Rows.empty() || same->m_Rows.empty())
        same->m_Rows.clear();
    else
        same->m_Rows.insert(same->m_Rows.end(), hint.m_Rows.begin(), hint.m_Rows.end());
}

// The rows of `next` below those of `shown`: the wider table's columns first, then those of
// the other that it lacks; each cell under the column of its name.
void Join(CReportTable& shown, const CReportTable& next)
{
    const bool nextWider = next.m_Columns.size() > shown.m_Columns.size();
    std::vector<CReportColumn> columns = nextWider ? next.m_Columns : shown.m_Columns;
    for (const CReportTable* table : {static_cast<const CReportTable*>(&shown), &next})
        for (const CReportColumn& column : table->m_Columns)
            if (std::none_of(columns.begin(), columns.end(),
                             [&](const CReportColumn& c) { return c.m_Name == column.m_Name; }))
                columns.push_back(column);
    const auto remap = [&columns](const CReportTable& table)
    {
        std::vector<std::vector<CReportCell>> rows;
        for (const std::vector<CReportCell>& row : table.m_Rows)
        {
            std::vector<CReportCell> cells(columns.size(), CReportCell::Empty());
            for (size_t i = 0; i < row.size() && i < table.m_Columns.size(); ++i)
                for (size_t c = 0; c < columns.size(); ++c)
                    if (columns[c].m_Name == table.m_Columns[i].m_Name)
                        cells[c] = row[i];
            rows.push_back(std::move(cells));
        }
        return rows;
    };
    std::vector<std::vector<CReportCell>> rows = remap(shown);
    for (CTableHint hint : next.m_Hints)
    {
        for (size_t& row : hint.m_Rows)
            row += rows.size();
        AddHint(shown, std::move(hint));
    }
    for (std::vector<CReportCell>& row : remap(next))
        rows.push_back(std::move(row));
    shown.m_Columns = std::move(columns);
    shown.m_Rows = std::move(rows);
}
} // namespace

CReportTable FixedUnitTable(const CReportTable& table)
{
    CReportTable fixed = table;
    fixed.m_Columns.clear();
    for (std::vector<CReportCell>& row : fixed.m_Rows)
        row.clear();
    for (size_t column = 0; column < table.m_Columns.size(); ++column)
    {
        const CReportColumn& layout = table.m_Columns[column];
        const auto cellOf = [&](size_t row) -> const CReportCell*
        {
            const std::vector<CReportCell>& cells = table.m_Rows[row];
            return column < cells.size() ? &cells[column] : nullptr;
        };
        // The units of the column, in the order the rows first have them.
        QStringList units;
        for (size_t row = 0; row < table.m_Rows.size(); ++row)
            if (const CReportCell* cell = cellOf(row);
                cell && cell->m_Kind == CReportCell::EKind::WithUnit &&
                !units.contains(cell->m_Text))
                units << cell->m_Text;
        if (units.isEmpty())
        {
            fixed.m_Columns.push_back(layout);
            for (size_t row = 0; row < table.m_Rows.size(); ++row)
            {
                const CReportCell* cell = cellOf(row);
                fixed.m_Rows[row].push_back(!cell || cell->m_NoValue ? CReportCell::Empty()
                                                                     : *cell);
            }
            continue;
        }
        for (const QString& unit : units)
        {
            // A capacitance or an inductance is named as the component it is.
            const QString part = unit == QLatin1String("pF")   ? QStringLiteral(" C")
                                 : unit == QLatin1String("uH") ? QStringLiteral(" L")
                                                               : QString();
            fixed.m_Columns.push_back({layout.m_Name + part, unit, layout.m_Decimals});
            for (size_t row = 0; row < table.m_Rows.size(); ++row)
            {
                const CReportCell* cell = cellOf(row);
                const bool here = cell && cell->m_Kind == CReportCell::EKind::WithUnit &&
                                  cell->m_Text == unit && !cell->m_NoValue;
                fixed.m_Rows[row].push_back(here ? CReportCell::Number(cell->m_Value)
                                                 : CReportCell::Empty());
            }
        }
    }
    return fixed;
}

std::vector<CReportTable> ViewTables(const std::vector<CReportTable>& tables, size_t from)
{
    std::vector<CReportTable> shown;
    std::vector<size_t> lastSource; // the last of tables[] each shown table holds
    const auto continued = [&tables](size_t i)
    { return i + 1 < tables.size() && tables[i + 1].m_Continues; };
    for (size_t i = 0; i < tables.size(); ++i)
    {
        const CReportTable& table = tables[i];
        if (table.m_Continues && !shown.empty())
        {
            Join(shown.back(), table);
            lastSource.back() = i;
            continue;
        }
        size_t end = i + 1;
        if (table.m_Rows.size() == 1 && !continued(i))
            while (end < tables.size() && tables[end].m_Rows.size() == 1 &&
                   !tables[end].m_Continues && !continued(end) && SameLayout(table, tables[end]))
                ++end;
        if (end - i < 2)
        {
            shown.push_back(table);
            lastSource.push_back(i);
            continue;
        }
        CReportTable runs = table;
        runs.m_Hints.clear();
        runs.m_Columns.insert(runs.m_Columns.begin(),
                              CReportColumn{QStringLiteral("Run"), QString(), 0});
        runs.m_Rows.clear();
        for (size_t run = i; run < end; ++run)
        {
            std::vector<CReportCell> row = tables[run].m_Rows.front();
            row.insert(row.begin(), CReportCell::Number(static_cast<double>(run - i + 1)));
            for (const CTableHint& hint : tables[run].m_Hints)
                AddHint(runs, {hint.m_Text, {run - i}});
            runs.m_Rows.push_back(std::move(row));
        }
        shown.push_back(std::move(runs));
        lastSource.push_back(end - 1);
        i = end - 1;
    }
    std::vector<CReportTable> wanted;
    for (size_t i = 0; i < shown.size(); ++i)
        if (lastSource[i] >= from)
            wanted.push_back(FixedUnitTable(shown[i]));
    return wanted;
}

bool WriteTablesAsCsv(const std::vector<CReportTable>& tables, QIODevice& device)
{
    const auto line = [&device](const QStringList& fields)
    {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << CsvField(field);
        const QByteArray bytes = (quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
        return device.write(bytes) == bytes.size();
    };
    bool written = true;
    for (size_t table = 0; table < tables.size() && written; ++table)
    {
        if (table > 0)
            written = device.write("\r\n") == 2;
        written = written && line(tables[table].FieldNames());
        for (size_t row = 0; row < tables[table].m_Rows.size() && written; ++row)
            written = line(tables[table].Fields(row));
    }
    return written;
}

QString TablesAsCsv(const std::vector<CReportTable>& tables)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteTablesAsCsv(tables, buffer);
    return QString::fromUtf8(buffer.data());
}

QString TablesAsTabText(const std::vector<CReportTable>& tables)
{
    QString text;
    for (const CReportTable& table : tables)
    {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += table.FieldNames().join(QLatin1Char('\t')) + QLatin1Char('\n');
        for (size_t row = 0; row < table.m_Rows.size(); ++row)
            text += table.Fields(row).join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

QString TablesAsHtml(const std::vector<CReportTable>& tables)
{
    QString html = QStringLiteral("<html><body>");
    for (const CReportTable& table : tables)
    {
        html += QStringLiteral("<table border=\"1\"><caption>") + HtmlEscaped(table.m_Title) +
                QStringLiteral("</caption><tr>");
        for (const QString& name : table.FieldNames())
            html += QStringLiteral("<th>") + HtmlEscaped(name) + QStringLiteral("</th>");
        html += QStringLiteral("</tr>");
        for (size_t row = 0; row < table.m_Rows.size(); ++row)
        {
            html += QStringLiteral("<tr>");
            for (const QString& field : table.Fields(row))
                html += QStringLiteral("<td>") + HtmlEscaped(field) + QStringLiteral("</td>");
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html + QStringLiteral("</body></html>");
}
