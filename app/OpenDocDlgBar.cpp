// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenDocDlgBar.h"

#include "controls/VKTabCtrl.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>

namespace
{
constexpr int BackgroundBitmap = 132;
constexpr int TabItemHeight = 25;
constexpr int BarHeight = 33; // 20 dialog units

QMdiSubWindow* ChildWindowOf(QWidget* form)
{
    for (QWidget* w = form ? form->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* window = qobject_cast<QMdiSubWindow*>(w))
            return window;
    return nullptr;
}
} // namespace

COpenDocDlgBar::COpenDocDlgBar(QWidget* parent) : QWidget(parent), m_tab(new CVKTabCtrl(this))
{
    setObjectName(QStringLiteral("OpenDocDlgBar"));
    m_tab->setObjectName(QStringLiteral("OpenDocTabs"));
    m_tab->setExpanding(false);
    setFixedHeight(BarHeight);
    SetBackgroundResourceBitMap(BackgroundBitmap);
    connect(m_tab, &QTabBar::currentChanged, this,
            [this](int index)
            {
                if (!m_Selecting && index >= 0)
                    ActivateTab(index);
            });
    SetupTabs();
}

COpenDocDlgBar::~COpenDocDlgBar() = default;

void COpenDocDlgBar::SetupTabs()
{
    m_tab->SetItemSize(0, TabItemHeight);
    m_tab->SetBackgroundResourceBitMap(BackgroundBitmap);
    m_tab->SetTextFont(QStringLiteral("Arial"), 9, false, false, 0x000000,
                       CControlDrawing::DtCenter);
    m_tab->setGeometry(0, 0, width(), height());
    m_tab->hide();
}

void COpenDocDlgBar::AddForm(const QString& caption, CVKFormView* form)
{
    const QString text = QStringLiteral("  ") + caption + QStringLiteral("  ");
    m_Selecting = true;
    const int index = m_tab->addTab(text);
    m_forms.push_back(form);
    m_Selecting = false;
    SetCurrentTab(index);
    m_tab->show();
}

void COpenDocDlgBar::RemoveForm(CVKFormView* form)
{
    for (size_t i = 0; i < m_forms.size(); ++i)
    {
        if (m_forms[i] != form)
            continue;
        m_forms.erase(m_forms.begin() + static_cast<std::ptrdiff_t>(i));
        m_Selecting = true;
        m_tab->removeTab(static_cast<int>(i));
        m_Selecting = false;
        break;
    }
    m_tab->setVisible(!m_forms.empty());
}

void COpenDocDlgBar::SelectForm(CVKFormView* form)
{
    for (size_t i = 0; i < m_forms.size(); ++i)
    {
        if (m_forms[i] == form)
        {
            SetCurrentTab(static_cast<int>(i));
            return;
        }
    }
}

void COpenDocDlgBar::ActivateTab(int index)
{
    if (index < 0 || index >= static_cast<int>(m_forms.size()))
        return;
    CVKFormView* form = m_forms[static_cast<size_t>(index)];
    if (!form)
        return;
    if (QMdiSubWindow* window = ChildWindowOf(form))
    {
        if (QMdiArea* area = window->mdiArea())
            area->setActiveSubWindow(window);
    }
    SelectForm(form);
}

void COpenDocDlgBar::SetCurrentTab(int index)
{
    m_Selecting = true;
    m_tab->setCurrentIndex(index);
    m_Selecting = false;
}

void COpenDocDlgBar::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    PaintBrushBitMap(painter, event->rect());
}

void COpenDocDlgBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_tab->setGeometry(0, 0, width(), height());
}
