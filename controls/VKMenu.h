// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "controls/CorvaneExport.h"

#include <QMenuBar>
#include <QPointer>

#include <memory>
#include <vector>

class QMenu;
class QProxyStyle;

// A menu bar drawn in its own look: the bar over the background brush (or bitmap), the
// drop-down menus over the first sub-menu brush and the menus below them over the second,
// every item in the drawing part's font and text colour.
class CORVANE_EXPORT CVKMenu : public QMenuBar, public CControlDrawing
{
    Q_OBJECT

public:
    explicit CVKMenu(QWidget* parent = nullptr);
    ~CVKMenu() override;

    // Draws every item of the bar and of its menus, at any depth, in the menu's own look.
    void ChangeToOwnerDraw();
    // New sub-menu brushes from two colours (hatch as SetBackgroundColour takes it), or from
    // two bitmap resources (loaded second first); then SetAllBackgroundBrushs.
    bool SetSumMenuColours(quint32 first, quint32 second, int hatch);
    bool SetSumMenuColours(int firstBitmap, int secondBitmap);
    // Puts the background brush on the bar and the sub-menu brushes on the menus.
    void SetAllBackgroundBrushs();

    // A separator (id 0 without text) is 5 by 1; any other item its text's size in the
    // menu's font, plus 5 in width.
    QSize MeasureItem(int id, const QString& text) const;

    const QBrush& SubMenuBrush(int level) const;
    bool IsOwnerDrawn() const { return m_OwnerDrawn; }
    // Whether the menu's look is installed on this widget (the bar or one of its menus).
    bool Draws(const QWidget* widget) const;

protected:
    void actionEvent(QActionEvent* event) override;
    void DrawingChanged() override;

private:
    void ApplyLook(QWidget* widget, int level);
    void ApplyLookToMenus(QMenu* menu, int level);

    QBrush m_SubMenuBrush1;
    QBrush m_SubMenuBrush2;
    bool m_OwnerDrawn = false;
    std::unique_ptr<QProxyStyle> m_Style;
    std::vector<QPointer<QWidget>> m_Drawn;
};
