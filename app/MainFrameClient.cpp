#include "app/MainFrameClient.h"

#include "app/ChildFrame.h"

#include <QMdiSubWindow>

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
    for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder)) {
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
