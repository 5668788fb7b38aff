// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"

#include <QString>
#include <QWidget>

#include <array>

class CGroupBox;
class CVKButton;
class CVKTabCtrl;

// One button of the design selector: the calculator it opens.
struct CSelectorEntry
{
    int m_Page = -1; // -1: an empty entry
    int m_Position = -1;
    QString m_Caption; // button and open-documents tab, as the window shows it
    QString m_ToolTip;
    int m_TemplateNumber = -1; // 1-based place in the template list; -1 empty, 99 shown but inert
    QString m_FormKey;         // the form the entry's factory makes
};

// The design selector docked at the left of the main window: two pages of calculator
// buttons and "Exit". A button asks the main window for a new calculator of its kind.
class CMainMenu : public QWidget, public CControlDrawing
{
    Q_OBJECT

public:
    enum EControlId
    {
        IdBar = 130,
        IdMenuGroup = 1000,
        IdExitGroup = 1001,
        IdTab = 1008,
        IdFirstButton = 1101,
        IdExit = 57665,
    };
    static constexpr int PageCount = 2;
    static constexpr int PageSize = 6;
    static constexpr int InertTemplate = 99;

    explicit CMainMenu(QWidget* parent = nullptr);
    ~CMainMenu() override;

    void ShowPage(int page);
    // Asks for the entry's calculator unless the entry is empty or its button inert. True
    // when it asked.
    bool OpenFormAt(int page, int position);
    // The first entry whose form has this key.
    const CSelectorEntry* FindEntry(const QString& formKey) const;

    const CSelectorEntry& Entry(int page, int position) const;
    int CurrentPage() const { return m_nCurrentTab; }
    CVKTabCtrl* Tabs() const { return m_tab; }
    CGroupBox* MenuGroup() const { return m_grpMenu; }
    CVKButton* FormButton(int position) const { return m_buttons[static_cast<size_t>(position)]; }
    CVKButton* ExitButton() const { return m_btnExit; }

signals:
    void FormRequested(const QString& formKey);
    void ExitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void DrawingChanged() override { update(); }

private:
    void BuildEntries();
    void CreateControls();
    void SetupControls();
    void SetupTabs();

    CGroupBox* m_grpMenu;
    CGroupBox* m_grpExit;
    std::array<CVKButton*, PageSize> m_buttons{};
    CVKButton* m_btnExit;
    CVKTabCtrl* m_tab;
    std::array<QString, PageCount> m_pageNames;
    int m_nCurrentTab = 0;
    std::array<CSelectorEntry, PageCount * PageSize> m_entries;
};
