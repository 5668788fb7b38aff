// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKStatic.h"

#include <QMouseEvent>
#include <QPainter>

CVKStatic::CVKStatic(QWidget* parent) : QLabel(parent) {}

CVKStatic::CVKStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void CVKStatic::SetWindowText(const QString& text)
{
    setText(text);
    if (Transparent() && parentWidget() != nullptr)
        parentWidget()->update(geometry());
}

int CVKStatic::TextFlags() const
{
    int flags = Qt::TextWordWrap | AlignmentFromFormat(TextFormat());
    if (alignment() & Qt::AlignHCenter)
        flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignHCenter;
    else if (alignment() & Qt::AlignRight)
        flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
    return flags;
}

void CVKStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintBrushBitMap(painter, rect());
    painter.setFont(Font());
    painter.setPen(TextColour());
    painter.drawText(contentsRect(), TextFlags(), text());
}

void CVKStatic::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
