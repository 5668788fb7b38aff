#include "forms/ReportTable.h"

#include "forms/FormatNumber.h"

#include <QBuffer>
#include <QLocale>

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

QStringList CReportTable::FieldNames() const
{
    // A column's kind is the kind of its cells in the first row.
    QStringList names;
    const std::vector<CReportCell>* first = m_Rows.empty() ? nullptr : &m_Rows.front();
    for (size_t column = 0; column < m_Columns.size(); ++column)
    {
        const CReportColumn& layout = m_Columns[column];
        const CReportCell::EKind kind =
            first && column < first->size() ? (*first)[column].m_Kind : CReportCell::EKind::Number;
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
    for (const CReportCell& cell : m_Rows[row])
    {
        switch (cell.m_Kind)
        {
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
