// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainMenu.h"

#include "calculators/FormFactory.h"
#include "controls/GroupBox.h"
#include "controls/VKButton.h"
#include "controls/VKTabCtrl.h"
#include "forms/VKFormView.h"

#include <QPaintEvent>
#include <QPainter>

namespace
{
constexpr int BarBitmap = 188;
constexpr int TabItemHeight = 25;
constexpr int MinTabWidth = 10;
constexpr quint32 GroupPenColour = 0x000064;
constexpr quint32 GroupTextColour = 0x003232;
constexpr quint32 ButtonTextColour = 0xFFFFFF;

// The selector's dialog template is laid out in dialog units of a 6 by 13 pixel font.
QRect DialogRect(int x, int y, int width, int height)
{
    return QRect(x * 6 / 4, y * 13 / 8, width * 6 / 4, height * 13 / 8);
}

constexpr int ButtonTops[CMainMenu::PageSize] = {62, 96, 130, 164, 198, 232};

void SetupButton(CVKButton* button)
{
    button->SetBitMapButton(135, 134, 136, 133, 137, true);
    button->SetTextFont(QStringLiteral("Arial"), 9, false, false, ButtonTextColour, 0);
}

void SetupGroup(CGroupBox* group, int points)
{
    group->SetBackgroundTransparent();
    group->SetPen(CControlDrawing::PsSolid, 1, GroupPenColour);
    group->SetTextFont(QStringLiteral("Arial"), points, false, false, GroupTextColour, 0);
}
} // namespace

CMainMenu::CMainMenu(QWidget* parent)
    : QWidget(parent), m_grpMenu(nullptr), m_grpExit(nullptr), m_btnExit(nullptr),
      m_tab(nullptr), m_pageNames{QStringLiteral("Design"), QStringLiteral("Utilities")}
{
    setObjectName(QStringLiteral("DesignSelector"));
    BuildEntries();
    CreateControls();
    SetupControls();
    SetupTabs();
    ShowPage(0);
}

CMainMenu::~CMainMenu() = default;

void CMainMenu::BuildEntries()
{
    // In the form factory's order, each page filled from its top.
    int templateNumber = 0;
    int filled[2] = {0, 0};
    for (const CFormEntry& form : FormEntries())
    {
        ++templateNumber;
        const int page = form.m_Page == EFormPage::Design ? 0 : 1;
        const int position = filled[page]++;
        if (position >= PageSize)
            continue;
        m_entries[static_cast<size_t>(page * PageSize + position)] = {
            page,           position,  WindowText(form.m_Caption), WindowText(form.m_ToolTip),
            templateNumber, form.m_Key};
    }
}

void CMainMenu::CreateControls()
{
    // The template's width; the bar's background runs the frame's full height.
    const QRect size = DialogRect(0, 0, 169, 297);
    setFixedWidth(size.width());
    setMinimumHeight(size.height());

    m_tab = new CVKTabCtrl(this);
    m_tab->setObjectName(QStringLiteral("SelectorTabs"));
    m_tab->setGeometry(DialogRect(7, 7, 155, 16).adjusted(0, 0, 0, 4));
    m_grpMenu = new CGroupBox(this);
    m_grpMenu->setGeometry(DialogRect(7, 43, 155, 208));
    for (int position = 0; position < PageSize; ++position)
    {
        auto* button = new CVKButton(this);
        button->setGeometry(DialogRect(26, ButtonTops[position], 112, 13));
        button->setObjectName(QStringLiteral("SelectorButton%1").arg(position));
        connect(button, &QPushButton::clicked, this,
                [this, position] { OpenFormAt(m_nCurrentTab, position); });
        m_buttons[static_cast<size_t>(position)] = button;
    }
    m_grpExit = new CGroupBox(this);
    m_grpExit->setGeometry(DialogRect(7, 260, 155, 30));
    m_btnExit = new CVKButton(QStringLiteral("Exit"), this);
    m_btnExit->setGeometry(DialogRect(26, 268, 112, 13));
    connect(m_btnExit, &QPushButton::clicked, this, &CMainMenu::ExitRequested);
}

void CMainMenu::SetupControls()
{
    SetBackgroundResourceBitMap(BarBitmap);
    SetupGroup(m_grpMenu, 12);
    SetupGroup(m_grpExit, 10);
    for (CVKButton* button : m_buttons)
    {
        SetupButton(button);
        button->SetupToolTip(button, QString());
    }
    SetupButton(m_btnExit);
}

void CMainMenu::SetupTabs()
{
    m_tab->SetItemSize(0, TabItemHeight);
    m_tab->SetMinTabWidth(MinTabWidth);
    m_tab->addTab(QStringLiteral("Design "));
    m_tab->addTab(QStringLiteral("  Utilities"));
    m_tab->SetBackgroundResourceBitMap(BarBitmap);
    m_tab->SetTextFont(QStringLiteral("Arial"), 9, false, false, 0x000000,
                       CControlDrawing::DtCenter);
    connect(m_tab, &QTabBar::currentChanged, this,
            [this](int page)
            {
                if (page >= 0)
                    ShowPage(page);
            });
}

void CMainMenu::ShowPage(int page)
{
    if (page < 0 || page >= PageCount)
        return;
    m_nCurrentTab = page;
    m_grpMenu->setTitle(m_pageNames[static_cast<size_t>(page)]);
    for (int position = 0; position < PageSize; ++position)
    {
        const CSelectorEntry& entry = Entry(page, position);
        CVKButton* button = FormButton(position);
        if (entry.m_TemplateNumber > 0)
        {
            button->setText(WindowText(entry.m_Caption));
            button->UpdateToolTip(button, entry.m_ToolTip);
            button->show();
        }
        else
        {
            button->hide();
        }
    }
    update();
}

bool CMainMenu::OpenFormAt(int page, int position)
{
    const CSelectorEntry& entry = Entry(page, position);
    if (entry.m_TemplateNumber <= 0 || entry.m_TemplateNumber == InertTemplate)
        return false;
    emit FormRequested(entry.m_FormKey);
    return true;
}

const CSelectorEntry* CMainMenu::FindEntry(const QString& formKey) const
{
    for (const CSelectorEntry& entry : m_entries)
        if (entry.m_TemplateNumber > 0 && entry.m_FormKey == formKey)
            return &entry;
    return nullptr;
}

const CSelectorEntry& CMainMenu::Entry(int page, int position) const
{
    static const CSelectorEntry empty;
    if (page < 0 || page >= PageCount || position < 0 || position >= PageSize)
        return empty;
    return m_entries[static_cast<size_t>(page * PageSize + position)];
}

void CMainMenu::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    PaintBrushBitMap(painter, event->rect());
}
