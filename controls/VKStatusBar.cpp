// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKStatusBar.h"

#include <QPainter>

namespace
{
// A pane of the status bar that the bar paints.
class CStatusPane : public QWidget
{
public:
    CStatusPane(CVKStatusBar* bar, int pane) : QWidget(bar), m_Bar(bar), m_Pane(pane) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_Bar->DrawPane(painter, rect(), m_Pane);
    }

private:
    CVKStatusBar* m_Bar;
    int m_Pane;
};
} // namespace

CVKStatusBar::CVKStatusBar(QWidget* parent) : QStatusBar(parent)
{
    connect(this, &QStatusBar::messageChanged, this, [this] { update(); });
}

bool CVKStatusBar::SetIndicators(const QStringList& texts)
{
    for (const QString& text : texts)
    {
        const int pane = PaneCount();
        auto* widget = new CStatusPane(this, pane);
        widget->setFixedWidth(QFontMetrics(Font()).horizontalAdvance(text) + 8);
        addPermanentWidget(widget);
        m_Panes.push_back({text, widget, false});
    }
    return true;
}

void CVKStatusBar::SetAllSections()
{
    m_OwnerDrawn = true;
    for (int pane = 1; pane <= 3 && pane < PaneCount(); ++pane)
    {
        QWidget* widget = m_Panes[static_cast<size_t>(pane - 1)].m_Widget;
        widget->setFixedWidth(widget->width() + 20);
    }
    update();
}

void CVKStatusBar::SetIndicatorOn(int pane, bool on)
{
    if (pane < 1 || pane >= PaneCount())
        return;
    CPane& entry = m_Panes[static_cast<size_t>(pane - 1)];
    entry.m_On = on;
    entry.m_Widget->update();
}

bool CVKStatusBar::IndicatorOn(int pane) const
{
    return pane >= 1 && pane < PaneCount() && m_Panes[static_cast<size_t>(pane - 1)].m_On;
}

void CVKStatusBar::SetIdleText(const QString& text)
{
    m_IdleText = text;
    update();
}

QString CVKStatusBar::PaneText(int pane) const
{
    if (pane == 0)
        return currentMessage().isEmpty() ? m_IdleText : currentMessage();
    if (pane < 0 || pane >= PaneCount())
        return {};
    return m_Panes[static_cast<size_t>(pane - 1)].m_Text;
}

int CVKStatusBar::PaneWidth(int pane) const
{
    if (pane < 0 || pane >= PaneCount())
        return 0;
    if (pane > 0)
        return m_Panes[static_cast<size_t>(pane - 1)].m_Widget->width();
    int width = this->width();
    for (const CPane& entry : m_Panes)
        width -= entry.m_Widget->width();
    return qMax(0, width);
}

void CVKStatusBar::DrawPane(QPainter& painter, const QRect& rect, int pane) const
{
    if (pane <= 4)
        PaintBrushBitMap(painter, rect);
    const bool dimmed = pane > 0 && !IndicatorOn(pane);
    painter.setFont(Font());
    painter.setPen(dimmed ? ColourFromColorRef(0x969696) : TextColour());
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine |
                      (AlignmentFromFormat(TextFormat()) & Qt::AlignHorizontal_Mask);
    painter.drawText(rect.adjusted(4, 0, -4, 0), flags, PaneText(pane));
}

void CVKStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    EraseBackground(painter, rect());
    DrawPane(painter, QRect(0, 0, PaneWidth(0), height()), 0);
}

void CVKStatusBar::DrawingChanged()
{
    update();
    for (const CPane& entry : m_Panes)
        entry.m_Widget->update();
}
