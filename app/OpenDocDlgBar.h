// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "forms/VKFormView.h"

#include <QWidget>

#include <vector>

class CVKTabCtrl;

// The strip along the top of the client area with one tab per open calculator, in the
// order they were opened. Tab i always belongs to m_forms[i]; with no form open the strip
// is hidden and the bar shows only its background.
class COpenDocDlgBar : public QWidget, public CControlDrawing, public CVKFormTabs
{
    Q_OBJECT

public:
    enum EControlId
    {
        IdBar = 177,
        IdTab = 1122,
    };

    explicit COpenDocDlgBar(QWidget* parent = nullptr);
    ~COpenDocDlgBar() override;

    void SetupTabs();
    // A new tab "  caption  " for the form, selected; the strip is shown.
    void AddForm(const QString& caption, CVKFormView* form);
    void RemoveForm(CVKFormView* form) override;
    // Selects the form's tab; a form without a tab changes nothing.
    void SelectForm(CVKFormView* form) override;
    // The user picked tab `index`: that form's child window comes to the front.
    void ActivateTab(int index);

    CVKTabCtrl* Tabs() const { return m_tab; }
    const std::vector<CVKFormView*>& Forms() const { return m_forms; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void DrawingChanged() override { update(); }

private:
    // Selects a tab without it counting as the user's choice.
    void SetCurrentTab(int index);

    CVKTabCtrl* m_tab;
    std::vector<CVKFormView*> m_forms;
    bool m_Selecting = false;
};
