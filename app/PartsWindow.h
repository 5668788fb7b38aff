// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "parts/PartsSchema.h"

#include "controls/Platform.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <vector>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class CPartsLibrary;
class CVKEdit;

// "Parts": every table of the parts library, the shipped parts and the user's own, to sort,
// filter and copy; the user's own parts are added, edited and deleted here. Numbers are shown
// in the units of the parts' source files, which the headings name ("bare_mm").
class CPartsWindow : public QWidget
{
    Q_OBJECT

public:
    // How the window asks before it deletes: the application's questions.
    using CAsk = std::function<EAnswer(QWidget* owner, const QString& text,
                                       const std::vector<EAnswer>& answers)>;
    explicit CPartsWindow(CAsk ask, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_Tabs; }
    QTableView* View(EPartTable table) const;
    // Lists the parts again, after a change.
    void Reload();
    // The dialog of a new part (empty `name`) or of the part `name` of the current tab; the
    // part is saved when the dialog is accepted. Returns the dialog's result.
    int EditPart(const QString& name);
    bool DeletePart(const QString& name);
    EPartTable CurrentTable() const;
    QString CurrentName() const;

signals:
    // The user's parts changed: the pickers list their names anew.
    void PartsChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct CTab
    {
        EPartTable m_Table;
        QStandardItemModel* m_Model;
        QSortFilterProxyModel* m_Filter;
        QTableView* m_View;
    };
    void Fill(const CTab& tab);
    void UpdateButtons();
    void CopySelection();

    CAsk m_Ask;
    QTabWidget* m_Tabs;
    std::vector<CTab> m_TabsOfTables;
    QPushButton* m_Edit;
    QPushButton* m_Delete;
};

// The fields of one part: a numeric field for each number in the units of the source files,
// a line for each text; the name and the source are required.
class CPartDialog : public QDialog
{
    Q_OBJECT

public:
    CPartDialog(EPartTable table, const QString& name, QWidget* parent = nullptr);
    CVKEdit* Number(int column) const;
    QLineEdit* Text(int column) const;
    void accept() override;

private:
    const CPartTableDef& m_Def;
    QString m_Original;
    std::vector<QWidget*> m_Fields; // one per column of the table
};
