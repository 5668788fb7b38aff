// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKTabCtrl.h"

#include <QPainter>
#include <qdrawutil.h>

CVKTabCtrl::CVKTabCtrl(QWidget* parent) : QTabBar(parent)
{
    setDrawBase(false);
    setFont(Font());
}

void CVKTabCtrl::SetItemSize(int width, int height)
{
    m_ItemWidth = qMax(0, width);
    m_ItemHeight = qMax(0, height);
    updateGeometry();
    update();
}

void CVKTabCtrl::SetMinTabWidth(int width)
{
    m_MinTabWidth = qMax(0, width);
    updateGeometry();
    update();
}

QString CVKTabCtrl::TabDrawText(int index) const
{
    return tabText(index).left(254);
}

QSize CVKTabCtrl::Fit(QSize size) const
{
    if (m_ItemWidth > 0)
        size.setWidth(m_ItemWidth);
    size.setWidth(qMax(size.width(), m_MinTabWidth));
    if (m_ItemHeight > 0)
        size.setHeight(m_ItemHeight);
    return size;
}

QSize CVKTabCtrl::tabSizeHint(int index) const
{
    return Fit(QTabBar::tabSizeHint(index));
}

QSize CVKTabCtrl::minimumTabSizeHint(int index) const
{
    return Fit(QTabBar::minimumTabSizeHint(index));
}

void CVKTabCtrl::DrawingChanged()
{
    // The tab sizes are measured with the widget's font.
    setFont(Font());
    update();
}

void CVKTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    EraseBackground(painter, rect());
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic |
                      (AlignmentFromFormat(TextFormat()) & Qt::AlignHorizontal_Mask);
    for (int i = 0; i < count(); ++i)
    {
        const QRect tab = tabRect(i);
        PaintBrushBitMap(painter, tab);
        // The current tab stands out raised; the others lie flat.
        qDrawShadePanel(&painter, tab, palette(), i != currentIndex(), i == currentIndex() ? 2 : 1);
        painter.setFont(Font());
        painter.setPen(isTabEnabled(i) ? TextColour() : ColourFromColorRef(0x969696));
        painter.drawText(tab.adjusted(4, 0, -4, 0), flags, TabDrawText(i));
    }
}
