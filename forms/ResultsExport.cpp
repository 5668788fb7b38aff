#include "forms/ResultsExport.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/FormFactory.h"
#include "forms/SafeFile.h"
#include "forms/VKFormView.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDate>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace
{
// Wider tables than this go on landscape pages.
constexpr int PortraitColumns = 10;

// The caption a field shows beside it.
QString Caption(const CVKFormView& form, const QWidget* field)
{
    for (const QLabel* label : form.findChildren<QLabel*>())
        if (label->buddy() == field)
            return label->text();
    return QString();
}

QString InputsHtml(const CVKFormView& form)
{
    QString rows;
    for (const QWidget* control : form.Controls())
    {
        QString caption;
        QString value;
        if (const auto* field = dynamic_cast<const CVKEdit*>(control))
        {
            if (!field->isEnabled())
                continue;
            caption = Caption(form, field);
            // In the notation of the report beside it, whatever the user's number format.
            const QString fixed = field->GetFixedText();
            if (!CVKUtils(CVKNumberSettings::Fixed()).GetLocalNumberFromFixed(fixed, value))
                value = fixed;
        }
        else if (const auto* button = qobject_cast<const QAbstractButton*>(control);
                 button && button->isCheckable() && button->isChecked() && button->isEnabled())
        {
            caption = button->text();
            value = QStringLiteral("selected");
        }
        else
        {
            continue;
        }
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                    .arg(caption.toHtmlEscaped(), value.toHtmlEscaped());
    }
    return QStringLiteral("<table cellpadding=\"2\">") + rows + QStringLiteral("</table>");
}

QString TableHtml(const CReportTable& table)
{
    QString html =
        QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>")
            .arg(table.m_Title.toHtmlEscaped());
    for (const CReportColumn& column : table.m_Columns)
        html += QStringLiteral("<th>%1</th>")
                    .arg(ColumnHeading(column.m_Name, column.m_Unit).toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (const std::vector<CReportCell>& cells : table.m_Rows)
    {
        html += QStringLiteral("<tr>");
        for (size_t column = 0; column < cells.size(); ++column)
            html += QStringLiteral("<td align=\"right\">%1</td>")
                        .arg(table.ShownValue(cells[column], column).trimmed().toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

bool IsWide(const CVKFormView& form)
{
    for (const CReportTable& table : form.Tables())
        if (table.m_Columns.size() > PortraitColumns)
            return true;
    return false;
}
} // namespace

bool ExportResultsCsv(const std::vector<CReportTable>& tables, const QString& path)
{
    QBuffer buffer;
    const bool written = buffer.open(QIODevice::WriteOnly) &&
                         WriteTablesAsCsv(ViewTables(tables), buffer) &&
                         WriteFileSafely(path, buffer.data());
    if (!written)
        ReportWriteError(path);
    return written;
}

QString ResultsDocumentHtml(const CVKFormView& form, const QString& designName)
{
    const CFormEntry* entry = FindFormEntry(form.m_strFormKey);
    const QString caption = entry ? entry->m_Caption : form.m_strFormKey;
    QString html = QStringLiteral("<html><body><h1>%1</h1><p>%2<br>%3</p><h2>Inputs</h2>")
                       .arg(caption.toHtmlEscaped(), designName.toHtmlEscaped(),
                            QDate::currentDate().toString(Qt::ISODate));
    html += InputsHtml(form);
    html += QStringLiteral("<h2>Results</h2>");
    for (const CReportTable& table : ViewTables(form.Tables()))
        html += TableHtml(table);
    return html + QStringLiteral("</body></html>");
}

void PrintResults(const CVKFormView& form, const QString& designName, QPagedPaintDevice& device)
{
    device.setPageOrientation(IsWide(form) ? QPageLayout::Landscape : QPageLayout::Portrait);
    QTextDocument document;
    document.setHtml(ResultsDocumentHtml(form, designName));
    document.print(&device);
}

QByteArray ResultsPdf(const CVKFormView& form, const QString& designName, const QPageLayout* layout)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        if (layout)
            writer.setPageLayout(*layout);
        else
            writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(designName);
        PrintResults(form, designName, writer);
    }
    return buffer.data();
}

bool ExportResultsPdf(const CVKFormView& form, const QString& designName, const QString& path,
                      const QPageLayout* layout)
{
    const bool written = WriteFileSafely(path, ResultsPdf(form, designName, layout));
    if (!written)
        ReportWriteError(path);
    return written;
}
