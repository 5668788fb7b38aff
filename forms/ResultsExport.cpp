// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/ResultsExport.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/PrintLayout.h"
#include "forms/SafeFile.h"
#include "forms/VKFormView.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace
{
// The caption a field shows beside it, with its unit where the caption has none.
QString Caption(const CVKFormView& form, const QWidget* field)
{
    QString caption;
    const int id = CVKFormView::ControlId(field);
    if (const QLabel* label = form.FieldLabel(id))
        caption = label->text();
    const CFieldRow* row = form.BuiltRow(id);
    // A field beside the choice that names it has no caption of its own.
    if (caption.isEmpty() && row && row->m_FieldName)
    {
        caption = QString::fromUtf8(row->m_FieldName);
        caption.replace(0, 1, caption.left(1).toUpper());
    }
    const QString unit = QString::fromUtf8(row && row->m_Unit ? row->m_Unit : "");
    // Most captions carry their unit in brackets already, "Inductance (uH)".
    if (!unit.isEmpty() && !caption.contains(QLatin1Char('(')))
        caption += QStringLiteral(" (%1)").arg(unit);
    return caption;
}

// The group a control sits in and the titles of the groups around it: "Monopole - Element 1".
// A group without a title is named by its first check box ("Has core").
QString GroupTitle(const QGroupBox* group)
{
    QStringList titles;
    for (const QWidget* widget = group; widget; widget = widget->parentWidget())
        if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        {
            QString title = box->title().trimmed();
            if (title.isEmpty())
                if (const QCheckBox* check = box->findChild<QCheckBox*>())
                    title = check->text();
            titles.prepend(title);
        }
    titles.removeAll(QString());
    return titles.join(QStringLiteral(" - "));
}

const QGroupBox* GroupOf(const QWidget* control)
{
    for (const QWidget* widget = control->parentWidget(); widget; widget = widget->parentWidget())
        if (const auto* box = qobject_cast<const QGroupBox*>(widget))
            return box;
    return nullptr;
}

const QGridLayout* GridOf(const QLayout* layout, const QWidget* control)
{
    if (!layout)
        return nullptr;
    if (const auto* grid = qobject_cast<const QGridLayout*>(layout);
        grid && grid->indexOf(control) >= 0)
        return grid;
    for (int item = 0; item < layout->count(); ++item)
        if (const QGridLayout* grid = GridOf(layout->itemAt(item)->layout(), control))
            return grid;
    return nullptr;
}

// The caption over a field's law or option ("Quadratic"): a label across its grid, above it.
QString SubHeading(const QWidget* field)
{
    const QGridLayout* grid = GridOf(field->parentWidget()->layout(), field);
    if (!grid)
        return QString();
    int row = 0;
    int column = 0;
    int rows = 0;
    int columns = 0;
    grid->getItemPosition(grid->indexOf(field), &row, &column, &rows, &columns);
    for (int above = row - 1; above >= 0; --above)
    {
        const QLayoutItem* item = grid->itemAtPosition(above, 0);
        const auto* label = item ? qobject_cast<const QLabel*>(item->widget()) : nullptr;
        if (!label || label->buddy())
            continue;
        grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
        if (columns > 1)
            return label->text();
    }
    return QString();
}

// The inputs the calculations read, under their groups in the order the groups first come.
std::vector<CPrintedGroup> InputGroups(const CVKFormView& form)
{
    std::vector<CPrintedGroup> groups;
    std::vector<std::pair<const QGroupBox*, QString>> seen; // a group and its latest sub-heading
    for (const QWidget* control : form.Controls())
    {
        if (!control->isEnabled())
            continue;
        CPrintedInput input;
        if (const auto* field = dynamic_cast<const CVKEdit*>(control))
        {
            // In the notation of the report beside it, whatever the user's number format.
            const QString fixed = field->GetFixedText();
            if (fixed.isEmpty())
                continue;
            if (!CVKUtils(CVKNumberSettings::Fixed()).GetLocalNumberFromFixed(fixed, input.m_Value))
                input.m_Value = fixed;
            input.m_Caption = Caption(form, field);
        }
        else if (const auto* check = qobject_cast<const QCheckBox*>(control))
        {
            input = {check->text(),
                     check->isChecked() ? QStringLiteral("yes") : QStringLiteral("no")};
        }
        else if (const auto* radio = qobject_cast<const QAbstractButton*>(control);
                 radio && radio->isCheckable() && radio->isChecked())
        {
            input = {radio->text(), QStringLiteral("selected")};
        }
        else
        {
            continue;
        }
        const QGroupBox* box = GroupOf(control);
        auto group = std::find_if(seen.begin(), seen.end(),
                                  [box](const auto& entry) { return entry.first == box; });
        if (group == seen.end())
        {
            groups.push_back({box ? GroupTitle(box) : QString(), {}});
            group = seen.insert(seen.end(), {box, QString()});
        }
        CPrintedGroup& printed = groups[static_cast<size_t>(group - seen.begin())];
        const QString heading =
            dynamic_cast<const CVKEdit*>(control) ? SubHeading(control) : QString();
        if (heading != group->second && !heading.isEmpty())
            printed.m_Inputs.push_back({heading, QString(), true});
        group->second = heading;
        printed.m_Inputs.push_back(input);
    }
    return groups;
}

CPrintedTable PrintedTable(const CReportTable& table)
{
    CPrintedTable printed{table.m_Title, {}, {}, {}};
    for (const CReportColumn& column : table.m_Columns)
        printed.m_Headings.push_back(ColumnHeading(column.m_Name, column.m_Unit));
    for (const std::vector<CReportCell>& cells : table.m_Rows)
    {
        QStringList row;
        for (size_t column = 0; column < cells.size(); ++column)
            row.push_back(table.ShownValue(cells[column], column).trimmed());
        printed.m_Rows.push_back(row);
    }
    for (const QString& line : table.HintLines())
        printed.m_Notes << QStringLiteral("Note: ") + line;
    return printed;
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

namespace
{
CPrintedResults PrintedResults(const CVKFormView& form, const QString& caption,
                               const QString& designName)
{
    CPrintedResults results{
        caption, designName, QDate::currentDate().toString(Qt::ISODate), InputGroups(form), {}};
    for (const CReportTable& table : ViewTables(form.Tables()))
        results.m_Tables.push_back(PrintedTable(table));
    return results;
}
} // namespace

void PrintResults(const CVKFormView& form, const QString& caption, const QString& designName,
                  QPagedPaintDevice& device)
{
    PrintPages(PrintedResults(form, caption, designName), device);
}

QByteArray ResultsPdf(const CVKFormView& form, const QString& caption, const QString& designName,
                      const QPageLayout* layout)
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
        PrintResults(form, caption, designName, writer);
    }
    return buffer.data();
}

bool ExportResultsPdf(const CVKFormView& form, const QString& caption, const QString& designName,
                      const QString& path, const QPageLayout* layout)
{
    const bool written = WriteFileSafely(path, ResultsPdf(form, caption, designName, layout));
    if (!written)
        ReportWriteError(path);
    return written;
}
