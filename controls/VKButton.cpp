// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKButton.h"

#include "controls/Platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <qdrawutil.h>

namespace
{
const quint32 kDisabledText = 0x969696;
}

CVKButton::CVKButton(QWidget* parent) : QPushButton(parent) {}

CVKButton::CVKButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void CVKButton::SetButtonStyle(int style)
{
    m_CheckStyle = style == StyleAutoCheckBox;
    m_RadioStyle = style == StyleRadioButton || style == StyleAutoRadioButton;
    setCheckable(m_RadioStyle);
    setAutoExclusive(m_RadioStyle);
    update();
}

bool CVKButton::SetBitMapButton(int background, int pressed, int hot, int disabled, int selected,
                                bool frame)
{
    m_BitmapMode = true;
    m_DrawFrame = frame;
    if (!SetBackgroundResourceBitMap(background))
        return false;
    setFixedSize(BitmapWidth(), BitmapHeight());
    return SetResourceBitMapBrush(m_PressedBrush, pressed) &&
           SetResourceBitMapBrush(m_HotBrush, hot) &&
           SetResourceBitMapBrush(m_DisabledBrush, disabled) &&
           SetResourceBitMapBrush(m_SelectedBrush, selected);
}

void CVKButton::SetCheck(bool checked)
{
    if (m_RadioStyle)
    {
        setChecked(checked);
        return;
    }
    m_Checked = checked;
    update();
}

bool CVKButton::GetCheck() const
{
    return m_RadioStyle ? isChecked() : m_Checked;
}

void CVKButton::SetButtonSelected(bool selected)
{
    m_Selected = selected;
    update();
}

CVKButton::EStateBrush CVKButton::ChooseBrush(bool pressed) const
{
    if (m_Selected)
        return BrushSelected;
    if ((m_Checked && !m_Hot) || pressed)
        return BrushPressed;
    if (m_Hot)
        return BrushHot;
    if (!isEnabled())
        return BrushDisabled;
    return BrushBackground;
}

const QBrush& CVKButton::StateBrush(EStateBrush which) const
{
    switch (which)
    {
    case BrushPressed:
        return m_PressedBrush;
    case BrushHot:
        return m_HotBrush;
    case BrushDisabled:
        return m_DisabledBrush;
    case BrushSelected:
        return m_SelectedBrush;
    case BrushBackground:
        break;
    }
    return BackgroundBrush();
}

void CVKButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect item = rect();
    const QRect inner = item.adjusted(3, 3, -3, -3);
    const bool pressed = isDown();
    QRect textRect = inner;

    if (!m_BitmapMode && m_CheckStyle)
    {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = QRect(5, height() / 2 - 6, 12, 12);
        option.state |= m_Checked ? QStyle::State_On : QStyle::State_Off;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
        textRect = item.adjusted(20, 0, 0, 0);
    }
    else if (!m_BitmapMode)
        qDrawWinButton(&painter, item, palette(), pressed, &palette().brush(QPalette::Button));
    else if (m_CheckStyle)
    {
        PaintBrushBitMap(painter, StateBrush(m_Checked ? BrushPressed : BrushBackground), item);
        textRect = item.adjusted(3, 0, 0, 0);
    }
    else if (m_DrawFrame)
    {
        qDrawWinButton(&painter, item, palette(), pressed, nullptr);
        PaintBrushBitMap(painter, StateBrush(ChooseBrush(pressed)), item.adjusted(2, 2, -2, -2));
    }
    else
        PaintBrushBitMap(painter, StateBrush(ChooseBrush(pressed)), item);

    painter.setFont(Font());
    painter.setPen(isEnabled() ? TextColour() : ColourFromColorRef(kDisabledText));
    const int flags = (m_CheckStyle ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter |
                      Qt::TextSingleLine | Qt::TextShowMnemonic;
    painter.drawText(textRect, flags, text());

    if (hasFocus() && !pressed && !m_Hot)
    {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner.adjusted(0, 0, -1, -1));
    }
}

void CVKButton::SetHot(bool hot)
{
    if (m_Hot == hot)
        return;
    m_Hot = hot;
    update();
}

void CVKButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    if (QApplication::mouseButtons() == Qt::NoButton || m_Hot)
        SetHot(true);
}

void CVKButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    SetHot(false);
}

void CVKButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    {
        m_Hot = false;
        if (m_CheckStyle)
            m_Checked = !m_Checked;
        update();
    }
    QPushButton::mouseReleaseEvent(event);
}

void CVKButton::keyPressEvent(QKeyEvent* event)
{
    const int virtualKey = VirtualKeyFromQt(*event);
    if (virtualKey == VkSpace && m_CheckStyle)
    {
        m_Checked = !m_Checked;
        update();
        event->accept();
        if (QWidget* parent = parentWidget())
        {
            QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, event->modifiers(), event->text());
            QCoreApplication::sendEvent(parent, &space);
        }
        return;
    }
    QPushButton::keyPressEvent(event);
    if (IsParentNavigationKey(virtualKey, true))
        PassKeyToParent(this, event);
}

void CVKButton::focusInEvent(QFocusEvent* event)
{
    m_HasFocus = true;
    QPushButton::focusInEvent(event);
}

void CVKButton::focusOutEvent(QFocusEvent* event)
{
    m_Hot = false;
    m_HasFocus = false;
    QPushButton::focusOutEvent(event);
    if (Transparent() && parentWidget() != nullptr)
        parentWidget()->update(geometry());
}
