// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlDrawing.h"
#include "controls/CorvaneExport.h"

#include <QStatusBar>
#include <QStringList>

#include <vector>

// A status bar drawn with the background brush: pane 0 shows the message (or the idle
// text), the panes after it the lock-key indicators.
class CORVANE_EXPORT CVKStatusBar : public QStatusBar, public CControlDrawing
{
    Q_OBJECT

public:
    explicit CVKStatusBar(QWidget* parent = nullptr);

    // Adds one pane per indicator text ("CAP", "NUM", "SCRL"), after pane 0.
    bool SetIndicators(const QStringList& texts);
    // Draws every pane itself and widens panes 1 to 3 by 20 pixels each.
    void SetAllSections();
    // Qt cannot read the lock keys everywhere: the program says which are on. An indicator
    // that is off is drawn greyed.
    void SetIndicatorOn(int pane, bool on);
    bool IndicatorOn(int pane) const;
    void SetIdleText(const QString& text);
    const QString& IdleText() const { return m_IdleText; }

    // Pane 0 is the message pane.
    int PaneCount() const { return static_cast<int>(m_Panes.size()) + 1; }
    QString PaneText(int pane) const;
    int PaneWidth(int pane) const;
    bool OwnerDrawn() const { return m_OwnerDrawn; }

    // Paints one pane as the owner-drawn panes are painted.
    void DrawPane(QPainter& painter, const QRect& rect, int pane) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void DrawingChanged() override;

private:
    struct CPane
    {
        QString m_Text;
        QWidget* m_Widget = nullptr;
        bool m_On = false;
    };

    std::vector<CPane> m_Panes;
    QString m_IdleText;
    bool m_OwnerDrawn = false;
};
