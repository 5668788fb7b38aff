// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/ResultsPane.h"

#include "forms/ResultsPlot.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

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
      m_Plot(new CPlotView(formKey, actions))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Tabs);
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

void CResultsPane::ShowTable(int index)
{
    const bool valid = index >= 0 && static_cast<size_t>(index) < m_Shown.size();
    m_Model->SetTable(valid ? &m_Shown[static_cast<size_t>(index)] : nullptr);
    if (valid && m_Model->rowCount() <= 1000)
        m_View->resizeColumnsToContents();
}
