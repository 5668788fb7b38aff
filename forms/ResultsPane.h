// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/FieldTable.h"
#include "forms/ReportTable.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <span>
#include <vector>

class CPlotView;
class QComboBox;
class QLabel;
class QTextEdit;
class QTabWidget;
class QTableView;

// One report table as a model for a table view: a column per report column, headed by its
// name and unit, the cells as the report shows them, right-aligned.
class CReportTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows the table; null shows nothing. The table must outlive its showing.
    void SetTable(const CReportTable* table);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const CReportTable* m_Table = nullptr;
};

// The results of a calculator: the "Report" tab with the results box, the "Table" tab with the
// report tables, the latest shown first, any other chosen from a list, and the "Plot" tab with
// the chart of the latest sweep.
class CResultsPane : public QWidget
{
    Q_OBJECT

public:
    // The Plot tab takes the default plot of each table from the form's actions.
    CResultsPane(QTextEdit* report, QWidget* parent = nullptr, const QString& formKey = QString(),
                 std::span<const CFormAction> actions = {});

    // The tables have changed (a table ended, or the results were cleared).
    void ShowTables(const std::vector<CReportTable>* tables);
    // The hint strip under the tabs: an icon and one line per hint; hidden when there are none.
    void ShowHints(const QStringList& lines);
    QWidget* HintStrip() const { return m_HintStrip; }
    QString HintText() const;

    QTabWidget* Tabs() const { return m_Tabs; }
    QTableView* TableView() const { return m_View; }
    QComboBox* TableChoice() const { return m_Choice; }
    CReportTableModel* Model() const { return m_Model; }
    CPlotView* Plot() const { return m_Plot; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowTable(int index);
    void FitColumns();

    QTabWidget* m_Tabs;
    QComboBox* m_Choice;
    QTableView* m_View;
    CReportTableModel* m_Model;
    CPlotView* m_Plot;
    QWidget* m_HintStrip;
    QLabel* m_HintLines;
    std::vector<CReportTable> m_Shown; // the tables as the Table tab shows them (ViewTables)
    bool m_ColumnsFitted = false;      // the columns fit the table shown
};

// Elastic tab stops in the results box for the tables first to last, one table to the views
// (one continues another): each column starts just right of its widest cell or heading in the
// box's font, so that every value sits under its heading. `tableBlocks` holds the box's block
// of each table's first line.
void ApplyTableTabStops(QTextEdit& box, const std::vector<CReportTable>& tables,
                        const std::vector<int>& tableBlocks, size_t first, size_t last);
