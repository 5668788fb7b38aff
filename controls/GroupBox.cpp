// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/GroupBox.h"

#include <QPainter>

CGroupBox::CGroupBox(QWidget* parent) : QGroupBox(parent) {}

CGroupBox::CGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void CGroupBox::SetBorder(int style, int margin)
{
    m_BorderStyle = style;
    m_BorderMargin = margin;
    update();
}

QRect CGroupBox::BorderRect() const
{
    const int top = Pen().width() + QFontMetrics(Font()).height();
    return rect().adjusted(0, top, -1, -1);
}

void CGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_BorderStyle != 0)
    {
        painter.setPen(Pen());
        if (m_BorderStyle == 1)
        {
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(BorderRect());
        }
        else
        {
            painter.setBrush(BackgroundBrush());
            // Corners of 17 by 17.
            painter.drawRoundedRect(BorderRect(), 8.5, 8.5);
        }
    }
    painter.setFont(Font());
    painter.setPen(TextColour());
    painter.drawText(
        rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic, title());
}
