// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainFrameClient.h"

#include "app/ChildFrame.h"

#include <QMdiSubWindow>
#include <QStyle>

CVKMainFrameClient::CVKMainFrameClient(QWidget* parent) : QMdiArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QList<CChildFrame*> CVKMainFrameClient::ChildFrames() const
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder))
        if (auto* frame = qobject_cast<CChildFrame*>(window))
            frames.append(frame);
    return frames;
}

void CVKMainFrameClient::ArrangeIcons()
{
    int x = 0;
    for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder))
    {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(x, viewport()->height() - size.height());
        x += size.width();
    }
}

void CVKMainFrameClient::DrawingChanged()
{
    // The brush is a pattern brush from the bitmap: the area tiles it.
    setBackground(BackgroundBrush());
}

QPoint CVKMainFrameClient::CascadePosition(int opened) const
{
    const QSize area = viewport()->size();
    const int step = qMax(1, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const int places = qMin(area.width(), area.height()) / 3 / step + 1;
    const int offset = (qMax(0, opened) % places) * step;
    return QPoint(offset, offset);
}

void CVKMainFrameClient::resizeEvent(QResizeEvent* event)
{
    QMdiArea::resizeEvent(event);
    const QSize area = viewport()->size();
    if (area.isEmpty())
        return;
    for (QMdiSubWindow* window : subWindowList())
    {
        if (window->isMinimized() || window->isMaximized() || !window->isVisible())
            continue;
        const QSize size = window->size().boundedTo(area);
        if (size != window->size())
            window->resize(size);
        const QPoint inside(qBound(0, window->x(), area.width() - size.width()),
                            qBound(0, window->y(), area.height() - size.height()));
        if (inside != window->pos())
            window->move(inside);
    }
}
