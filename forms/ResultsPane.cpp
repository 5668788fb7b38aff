// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/ResultsPane.h"

#include "forms/ResultsPlot.h"

#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

#include <algorithm>

void CReportTableModel::SetTable(const CReportTable* table)
{
    beginResetModel();
    m_Table = table;
    endResetModel();
}

int CReportTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_Table ? 0 : static_cast<int>(m_Table->m_Rows.size());
}

int CReportTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_Table ? 0 : static_cast<int>(m_Table->m_Columns.size());
}

QVariant CReportTableModel::data(const QModelIndex& index, int role) const
{
    if (!m_Table || !index.isValid())
        return QVariant();
    const auto row = static_cast<size_t>(index.row());
    const auto column = static_cast<size_t>(index.column());
    if (row >= m_Table->m_Rows.size() || column >= m_Table->m_Rows[row].size())
        return QVariant();
    const CReportCell& cell = m_Table->m_Rows[row][column];
    // A row a hint concerns is tinted and names its hints.
    if (role == Qt::BackgroundRole || role == Qt::ToolTipRole)
    {
        if (!m_Table->RowHasHint(row))
            return QVariant();
        if (role == Qt::BackgroundRole)
            return QColor(255, 236, 179);
        QStringList texts;
        for (const CTableHint& hint : m_Table->m_Hints)
            if (hint.m_Rows.empty() ||
                std::find(hint.m_Rows.begin(), hint.m_Rows.end(), row) != hint.m_Rows.end())
                texts << hint.m_Text;
        return texts.join(QLatin1Char('\n'));
    }
    if (role == Qt::DisplayRole)
        return m_Table->ShownValue(cell, column).trimmed();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            (cell.m_Kind == CReportCell::EKind::Text ? Qt::AlignLeft : Qt::AlignRight) |
            Qt::AlignVCenter);
    return QVariant();
}

QVariant CReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_Table)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || static_cast<size_t>(section) >= m_Table->m_Columns.size())
        return QVariant();
    const CReportColumn& column = m_Table->m_Columns[static_cast<size_t>(section)];
    return column.m_Unit.isEmpty()
               ? column.m_Name
               : column.m_Name + QStringLiteral("\n(") + column.m_Unit + QLatin1Char(')');
}

CResultsPane::CResultsPane(QTextEdit* report, QWidget* parent, const QString& formKey,
                           std::span<const CFormAction> actions)
    : QWidget(parent), m_Tabs(new QTabWidget(this)), m_Choice(new QComboBox),
      m_View(new QTableView), m_Model(new CReportTableModel(this)),
      m_Plot(new CPlotView(formKey, actions)), m_HintStrip(new QWidget), m_HintLines(new QLabel)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Tabs, 1);
    auto* hintLayout = new QHBoxLayout(m_HintStrip);
    hintLayout->setContentsMargins(4, 2, 4, 2);
    auto* icon = new QLabel;
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize));
    hintLayout->addWidget(icon, 0, Qt::AlignTop);
    m_HintLines->setWordWrap(true);
    m_HintLines->setForegroundRole(QPalette::ToolTipText);
    m_HintLines->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hintLayout->addWidget(m_HintLines, 1);
    m_HintStrip->setAutoFillBackground(true);
    m_HintStrip->setBackgroundRole(QPalette::ToolTipBase);
    m_HintStrip->hide();
    layout->addWidget(m_HintStrip);
    m_Tabs->addTab(report, QStringLiteral("Report"));

    auto* tablePage = new QWidget;
    auto* tableLayout = new QVBoxLayout(tablePage);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(m_Choice);
    tableLayout->addWidget(m_View);
    m_View->setModel(m_Model);
    m_View->setAlternatingRowColors(true);
    m_View->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_View->installEventFilter(this);
    m_Tabs->addTab(tablePage, QStringLiteral("Table"));
    m_Tabs->addTab(m_Plot, QStringLiteral("Plot"));
    connect(m_Choice, &QComboBox::currentIndexChanged, this, &CResultsPane::ShowTable);
}

void CResultsPane::ShowTables(const std::vector<CReportTable>* tables)
{
    // The model shows a table of its own copy: the old one goes before the copy changes.
    m_Model->SetTable(nullptr);
    m_Shown = tables ? ViewTables(*tables) : std::vector<CReportTable>();
    const QSignalBlocker blocker(m_Choice);
    m_Choice->clear();
    const size_t count = m_Shown.size();
    for (size_t i = 0; i < count; ++i)
        m_Choice->addItem(QStringLiteral("%1. %2 (%3 rows)")
                              .arg(i + 1)
                              .arg(m_Shown[i].m_Title)
                              .arg(m_Shown[i].m_Rows.size()));
    m_Choice->setCurrentIndex(static_cast<int>(count) - 1);
    ShowTable(static_cast<int>(count) - 1);
    m_Plot->SetTables(tables);
}

void CResultsPane::ShowHints(const QStringList& lines)
{
    m_HintLines->setText(lines.join(QLatin1Char('\n')));
    m_HintStrip->setVisible(!lines.isEmpty());
}

QString CResultsPane::HintText() const
{
    return m_HintLines->text();
}

void CResultsPane::ShowTable(int index)
{
    const bool valid = index >= 0 && static_cast<size_t>(index) < m_Shown.size();
    m_Model->SetTable(valid ? &m_Shown[static_cast<size_t>(index)] : nullptr);
    m_ColumnsFitted = false;
    FitColumns();
}

// Measuring every cell costs more than working out most reports: a table is measured when it
// is first seen, not each time an action ends behind another tab.
void CResultsPane::FitColumns()
{
    if (m_ColumnsFitted || !m_View->isVisible())
        return;
    m_ColumnsFitted = true;
    if (m_Model->rowCount() <= 1000)
        m_View->resizeColumnsToContents();
}

bool CResultsPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_View && event->type() == QEvent::Show)
        FitColumns();
    return QWidget::eventFilter(watched, event);
}

namespace
{
// The widest rows a column's width is measured over: the first and the last of them.
constexpr qsizetype MeasuredRows = 2000;

bool IsBlankCell(const QString& cell)
{
    return cell.trimmed().isEmpty();
}

// For each heading line, the column of each of its cells, or -1. A heading line names the
// columns by position (blank cells beyond the last column only widen the spacing, as the
// coil's unit line has them), or names the columns that hold values in order; a line that
// does neither keeps the default stops (an empty map).
QList<std::vector<int>> HeadingColumns(const QStringList& headings, qsizetype columns,
                                       const std::vector<int>& nonBlank)
{
    QList<std::vector<int>> headingColumns;
    for (const QString& heading : headings)
    {
        const QStringList cells = heading.split(QLatin1Char('\t'));
        std::vector<int> map;
        bool beyond = false; // a named cell past the last column
        for (qsizetype cell = columns; cell < cells.size(); ++cell)
            beyond = beyond || !IsBlankCell(cells[cell]);
        if (cells.size() == columns || (cells.size() > columns && !beyond))
        {
            for (qsizetype cell = 0; cell < cells.size(); ++cell)
                map.push_back(cell < columns ? static_cast<int>(cell) : -1);
        }
        else
        {
            size_t next = 0;
            for (const QString& cell : cells)
                map.push_back(IsBlankCell(cell) || next >= nonBlank.size() ? -1 : nonBlank[next++]);
            if (next != nonBlank.size() || cells.size() < 2)
                map.clear();
        }
        headingColumns.append(map);
    }
    return headingColumns;
}

// Where each column starts, and after the last where the table ends: each column as wide as
// its widest cell (over the first and last MeasuredRows rows) or heading, and a blank apart.
std::vector<qreal> ColumnStarts(const QFontMetricsF& metrics, const QList<QStringList>& rows,
                                qsizetype columns, const QStringList& headings,
                                const QList<std::vector<int>>& headingColumns,
                                const std::vector<int>& nonBlank)
{
    std::vector<qreal> widths(static_cast<size_t>(columns), 1.0);
    const auto measure = [&](int column, const QString& text)
    {
        widths[static_cast<size_t>(column)] =
            qMax(widths[static_cast<size_t>(column)], metrics.horizontalAdvance(text));
    };
    for (qsizetype row = 0; row < rows.size(); ++row)
    {
        if (row == MeasuredRows / 2 && rows.size() > MeasuredRows)
            row = rows.size() - MeasuredRows / 2;
        for (qsizetype cell = 0; cell < rows[row].size() && cell < columns; ++cell)
            measure(static_cast<int>(cell), rows[row][cell]);
    }
    for (qsizetype line = 0; line < headings.size(); ++line)
    {
        const QStringList cells = headings[line].split(QLatin1Char('\t'));
        // A banner over a few columns ("*** Primary coil ***") spans them: it widens none.
        int named = 0;
        for (const QString& cell : cells)
            named += IsBlankCell(cell) ? 0 : 1;
        if (2 * named < static_cast<int>(nonBlank.size()))
            continue;
        // A cell before the blank heading of a column may run on over that column: it widens
        // none.
        const std::vector<int>& map = headingColumns[line];
        for (size_t cell = 0; cell < map.size(); ++cell)
        {
            const bool runsOn = cell + 1 < map.size() && map[cell + 1] >= 0 &&
                                IsBlankCell(cells[static_cast<qsizetype>(cell + 1)]);
            if (map[cell] >= 0 && !runsOn)
                measure(map[cell], cells[static_cast<qsizetype>(cell)]);
        }
    }
    const qreal gap = metrics.horizontalAdvance(QLatin1Char(' '));
    std::vector<qreal> starts(static_cast<size_t>(columns) + 1, 0.0);
    for (size_t column = 0; column < widths.size(); ++column)
        starts[column + 1] = starts[column] + widths[column] + (widths[column] > 1.0 ? gap : 1.0);
    return starts;
}

// The stops of a heading line from its cells' columns. Blank heading cells sit just before
// the next named one, so that a named cell may run on over blank ones ("length" of "Wire
// length" wider than its column) and the next still finds its own column.
QList<QTextOption::Tab> HeadingTabs(const std::vector<int>& map, const QStringList& cells,
                                    const std::vector<qreal>& starts, const QFontMetricsF& metrics)
{
    const auto named = [&](size_t cell)
    { return map[cell] >= 0 && !IsBlankCell(cells[static_cast<qsizetype>(cell)]); };
    QList<QTextOption::Tab> tabs;
    for (size_t cell = 1; cell < map.size(); ++cell)
    {
        qreal start = 0.0;
        if (named(cell))
        {
            start = starts[static_cast<size_t>(map[cell])];
        }
        else
        {
            size_t following = cell;
            while (following < map.size() && !named(following))
                ++following;
            qreal next = following < map.size() ? starts[static_cast<size_t>(map[following])]
                                                : starts.back();
            // Room for the blanks of this cell and those after it.
            for (size_t blank = cell; blank < following; ++blank)
                next -= metrics.horizontalAdvance(cells[static_cast<qsizetype>(blank)]) + 1.0;
            start = next;
        }
        tabs.append(QTextOption::Tab(start, QTextOption::LeftTab));
    }
    return tabs;
}

// Gives the blocks from one to another, inclusive, the tab stops.
void SetTabPositions(QTextDocument* document, int fromBlock, int toBlock,
                     const QList<QTextOption::Tab>& tabs)
{
    QTextCursor cursor(document->findBlockByNumber(fromBlock));
    cursor.setPosition(document->findBlockByNumber(toBlock).position(), QTextCursor::KeepAnchor);
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    cursor.mergeBlockFormat(format);
}
} // namespace

void ApplyTableTabStops(QTextEdit& box, const std::vector<CReportTable>& tables,
                        const std::vector<int>& tableBlocks, size_t first, size_t last)
{
    QTextDocument* document = box.document();
    const auto headerLines = [&tables](size_t table)
    { return static_cast<int>(tables[table].m_Header.count(QLatin1String("\r\n"))); };

    // Each table's row lines and the block of its first one.
    QList<QStringList> rows;
    std::vector<std::pair<int, int>> rowBlocks; // first and last block of each table's rows
    for (size_t index = first; index <= last; ++index)
    {
        const CReportTable& table = tables[index];
        QString rowsText;
        for (size_t row = 0; row < table.m_Rows.size(); ++row)
            rowsText += table.RowText(row);
        QStringList rowLines = rowsText.split(QStringLiteral("\r\n"));
        if (!rowLines.isEmpty() && rowLines.back().isEmpty())
            rowLines.pop_back();
        const int start = tableBlocks[index] + headerLines(index);
        if (start + rowLines.size() > document->blockCount())
            return;
        if (rowLines.isEmpty())
            continue;
        rowBlocks.emplace_back(start, start + static_cast<int>(rowLines.size()) - 1);
        for (const QString& line : rowLines)
            rows.append(line.split(QLatin1Char('\t')));
    }
    if (rows.isEmpty())
        return;

    // The columns are the rows' cells by position; the fullest row line shows which are blank.
    QStringList reference;
    for (const QStringList& row : rows)
        if (row.size() > reference.size())
            reference = row;
    const qsizetype columns = reference.size();
    if (columns < 2)
        return;
    std::vector<int> nonBlank; // the columns that hold values
    for (qsizetype column = 0; column < columns; ++column)
        if (!IsBlankCell(reference[column]))
            nonBlank.push_back(static_cast<int>(column));

    const int headings = headerLines(first);
    const QStringList headingLines =
        tables[first].m_Header.split(QStringLiteral("\r\n")).mid(0, headings);
    const QList<std::vector<int>> headingColumns = HeadingColumns(headingLines, columns, nonBlank);
    const std::vector<qreal> starts = ColumnStarts(QFontMetricsF(box.font()), rows, columns,
                                                   headingLines, headingColumns, nonBlank);

    QList<QTextOption::Tab> rowTabs;
    for (qsizetype column = 1; column < columns; ++column)
        rowTabs.append(QTextOption::Tab(starts[static_cast<size_t>(column)], QTextOption::LeftTab));
    for (const auto& [from, to] : rowBlocks)
        SetTabPositions(document, from, to, rowTabs);
    const int top = tableBlocks[first];
    for (int line = 0; line < headings; ++line)
        if (!headingColumns[line].empty())
            SetTabPositions(document, top + line, top + line,
                            HeadingTabs(headingColumns[line],
                                        headingLines[line].split(QLatin1Char('\t')), starts,
                                        QFontMetricsF(box.font())));
}
