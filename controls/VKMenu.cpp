// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKMenu.h"

#include <QActionEvent>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QSet>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

namespace
{
const char* const kLevel = "corvaneMenuLevel"; // 0 the bar, 1 its menus, 2 and on below
const quint32 kDisabledText = 0x969696;

int Level(const QWidget* widget)
{
    return widget != nullptr ? widget->property(kLevel).toInt() : 1;
}

// Fills part of a menu with the sub-menu brush of its level.
void FillMenu(const CVKMenu* menu, QPainter* painter, const QRect& rect, const QWidget* widget)
{
    CControlDrawing::PaintBrushBitMap(*painter, menu->SubMenuBrush(Level(widget)), rect);
}

// Draws the bar and the menus of one CVKMenu in its look; the rest is the application style.
class CMenuStyle : public QProxyStyle
{
public:
    explicit CMenuStyle(const CVKMenu* menu) : m_Menu(menu) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        switch (element)
        {
        case PE_PanelMenuBar:
            m_Menu->EraseBackground(*painter, option->rect);
            return;
        case PE_PanelMenu:
            FillMenu(m_Menu, painter, option->rect, widget);
            return;
        case PE_FrameMenu:
            qDrawShadePanel(painter, option->rect, option->palette, false, 1);
            return;
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        switch (element)
        {
        case CE_MenuBarEmptyArea:
            m_Menu->EraseBackground(*painter, option->rect);
            return;
        case CE_MenuEmptyArea:
            FillMenu(m_Menu, painter, option->rect, widget);
            return;
        case CE_MenuBarItem:
            if (item != nullptr)
            {
                DrawBarItem(*item, painter);
                return;
            }
            break;
        case CE_MenuItem:
            if (item != nullptr)
            {
                DrawMenuItem(*item, painter, widget);
                return;
            }
            break;
        default:
            break;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item != nullptr && (type == CT_MenuItem || type == CT_MenuBarItem))
        {
            const bool separator = item->menuItemType == QStyleOptionMenuItem::Separator;
            base = base.expandedTo(m_Menu->MeasureItem(separator ? 0 : 1, item->text));
        }
        return base;
    }

private:
    void DrawBarItem(const QStyleOptionMenuItem& item, QPainter* painter) const
    {
        m_Menu->EraseBackground(*painter, item.rect);
        const bool enabled = item.state & State_Enabled;
        if (enabled && (item.state & State_Selected))
            qDrawShadePanel(painter, item.rect, item.palette, item.state & State_Sunken, 1);
        painter->setFont(m_Menu->Font());
        painter->setPen(enabled ? m_Menu->TextColour()
                                : CControlDrawing::ColourFromColorRef(kDisabledText));
        painter->drawText(item.rect, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
                          item.text);
    }

    void DrawMenuItem(const QStyleOptionMenuItem& item, QPainter* painter,
                      const QWidget* widget) const
    {
        const QRect rect = item.rect;
        FillMenu(m_Menu, painter, rect, widget);
        if (item.menuItemType == QStyleOptionMenuItem::Separator)
        {
            const int y = rect.center().y();
            painter->setPen(item.palette.color(QPalette::Mid));
            painter->drawLine(rect.left() + 2, y, rect.right() - 2, y);
            return;
        }
        const bool enabled = item.state & State_Enabled;
        const bool selected = enabled && (item.state & State_Selected);
        if (selected)
            painter->fillRect(rect, item.palette.highlight());
        QColor colour = m_Menu->TextColour();
        if (!enabled)
            colour = CControlDrawing::ColourFromColorRef(kDisabledText);
        else if (selected)
            colour = item.palette.highlightedText().color();

        const int check = qMax(20, item.maxIconWidth);
        if (item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked)
        {
            QStyleOptionMenuItem mark = item;
            mark.rect = QRect(rect.left() + 4, rect.center().y() - 6, 12, 12);
            proxy()->drawPrimitive(PE_IndicatorMenuCheckMark, &mark, painter, widget);
        }
        painter->setFont(m_Menu->Font());
        painter->setPen(colour);
        const QString label = item.text.section(QLatin1Char('\t'), 0, 0);
        const QString shortcut = item.text.section(QLatin1Char('\t'), 1);
        const QRect textRect = rect.adjusted(check, 0, -16, 0);
        const int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
        painter->drawText(textRect, flags | Qt::AlignLeft, label);
        painter->drawText(textRect, flags | Qt::AlignRight, shortcut);
        if (item.menuItemType == QStyleOptionMenuItem::SubMenu)
        {
            QStyleOptionMenuItem arrow = item;
            arrow.rect = QRect(rect.right() - 14, rect.center().y() - 5, 10, 10);
            arrow.palette.setColor(QPalette::ButtonText, colour);
            proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
        }
    }

    const CVKMenu* m_Menu;
};
} // namespace

CVKMenu::CVKMenu(QWidget* parent) : QMenuBar(parent), m_Style(std::make_unique<CMenuStyle>(this))
{
    CreateColourBrush(&m_SubMenuBrush1, 0x7D7D7D, 0);
    CreateColourBrush(&m_SubMenuBrush2, 32000, 0);
}

CVKMenu::~CVKMenu()
{
    // The widgets must let go of the look before it goes.
    for (const QPointer<QWidget>& widget : m_Drawn)
        if (widget)
            widget->setStyle(nullptr);
}

void CVKMenu::ApplyLook(QWidget* widget, int level)
{
    widget->setProperty(kLevel, level);
    widget->setFont(Font());
    if (widget->style() != m_Style.get())
        widget->setStyle(m_Style.get());
    if (!Draws(widget))
        m_Drawn.emplace_back(widget);
    widget->update();
}

void CVKMenu::ApplyLookToMenus(QMenu* menu, int level)
{
    // Walks the menus below, each once, whatever their links.
    QSet<QMenu*> seen;
    std::vector<std::pair<QMenu*, int>> pending{{menu, level}};
    while (!pending.empty())
    {
        const auto [current, depth] = pending.back();
        pending.pop_back();
        if (current == nullptr || seen.contains(current))
            continue;
        seen.insert(current);
        ApplyLook(current, depth);
        for (QAction* action : current->actions())
            pending.emplace_back(action->menu<QMenu*>(), depth + 1);
    }
}

void CVKMenu::ChangeToOwnerDraw()
{
    m_OwnerDrawn = true;
    SetAllBackgroundBrushs();
}

bool CVKMenu::SetSumMenuColours(quint32 first, quint32 second, int hatch)
{
    CreateColourBrush(&m_SubMenuBrush2, second, hatch);
    CreateColourBrush(&m_SubMenuBrush1, first, hatch);
    SetAllBackgroundBrushs();
    return true;
}

bool CVKMenu::SetSumMenuColours(int firstBitmap, int secondBitmap)
{
    if (!SetResourceBitMapBrush(m_SubMenuBrush2, secondBitmap) ||
        !SetResourceBitMapBrush(m_SubMenuBrush1, firstBitmap))
        return false;
    SetAllBackgroundBrushs();
    return true;
}

void CVKMenu::SetAllBackgroundBrushs()
{
    ApplyLook(this, 0);
    for (QAction* action : actions())
        ApplyLookToMenus(action->menu<QMenu*>(), 1);
}

QSize CVKMenu::MeasureItem(int id, const QString& text) const
{
    if (id == 0 && text.isEmpty())
        return QSize(5, 1);
    const QFontMetrics metrics(Font());
    return QSize(metrics.horizontalAdvance(text) + 5, metrics.height());
}

const QBrush& CVKMenu::SubMenuBrush(int level) const
{
    return level <= 1 ? m_SubMenuBrush1 : m_SubMenuBrush2;
}

bool CVKMenu::Draws(const QWidget* widget) const
{
    for (const QPointer<QWidget>& drawn : m_Drawn)
        if (drawn == widget)
            return true;
    return false;
}

void CVKMenu::actionEvent(QActionEvent* event)
{
    QMenuBar::actionEvent(event);
    // Menus added once the look is on get it too.
    if (event->type() == QEvent::ActionAdded && Draws(this))
        ApplyLookToMenus(event->action()->menu<QMenu*>(), 1);
}

void CVKMenu::DrawingChanged()
{
    for (const QPointer<QWidget>& widget : m_Drawn)
    {
        if (widget)
        {
            widget->setFont(Font());
            widget->update();
        }
    }
    update();
}
