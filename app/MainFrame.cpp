// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainFrame.h"

#include "app/ChildFrame.h"
#include "app/DesignFile.h"
#include "app/HelpWindow.h"
#include "app/LockKeys.h"
#include "app/MainFrameClient.h"
#include "app/MainMenu.h"
#include "app/OpenDocDlgBar.h"
#include "app/QuillonDoc.h"
#include "app/Registry.h"
#include "calculators/FormFactory.h"
#include "controls/Platform.h"
#include "controls/VKStatusBar.h"
#include "database/Error.h"
#include "forms/VKFormView.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLayout>
#include <QStandardPaths>

#include <cstdio>

namespace
{
constexpr int ClientBitmap = 206;
constexpr int BarBitmap = 188;
const char* const IdleText = "Ready";

QString g_HelpFilePath;
} // namespace

CMainFrame::CMainFrame(const QString& settingsFile, CDocumentHost* host)
    : m_DocumentHost(host), m_strSettingsFile(settingsFile)
{
    setObjectName(QStringLiteral("MainFrame"));
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    // The calculators go before the bar that lists them.
    if (m_wndClient)
        qDeleteAll(m_wndClient->ChildFrames());
    CVKFormView::SetFormTabs(nullptr);
    CVKFormView::SetLayoutStore(nullptr);
    delete m_pMainMenu;
    delete m_pOpenDocBar;
    m_pRegistry.reset();
}

int CMainFrame::OnCreate()
{
    if (!CreateClient() || !CreateStatusBar())
        return -1;
    m_pRegistry = std::make_unique<CRegistry>(this, m_strSettingsFile);
    // A failure has already asked the program to quit; creation goes on.
    m_pRegistry->ReadSettings();
    CVKFormView::SetLayoutStore(m_pRegistry.get());
    CreateSelector();
    CreateOpenDocBar();
    qApp->installEventFilter(this);
    return 0;
}

bool CMainFrame::CreateClient()
{
    m_wndClient = new CVKMainFrameClient(this);
    m_wndClient->setObjectName(QStringLiteral("MainFrameClient"));
    setCentralWidget(m_wndClient);
    m_wndClient->SetBackgroundResourceBitMap(ClientBitmap);
    connect(m_wndClient, &QMdiArea::subWindowActivated, this, &CMainFrame::OnChildActivated);
    return true;
}

bool CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new CVKStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(m_wndStatusBar);
    if (!m_wndStatusBar->SetIndicators(
            {QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL")}))
        return false;
    m_wndStatusBar->SetIdleText(QString::fromLatin1(IdleText));
    m_wndStatusBar->SetAllSections();
    m_wndStatusBar->SetBackgroundResourceBitMap(BarBitmap);
    UpdateIndicators();
    return true;
}

void CMainFrame::CreateSelector()
{
    m_pMainMenu = new CMainMenu;
    connect(m_pMainMenu, &CMainMenu::FormRequested, this, &CMainFrame::OpenForm);
    connect(m_pMainMenu, &CMainMenu::ExitRequested, this, &QWidget::close);
    Dock(m_pMainMenu, Qt::LeftDockWidgetArea);
}

void CMainFrame::CreateOpenDocBar()
{
    m_pOpenDocBar = new COpenDocDlgBar;
    Dock(m_pOpenDocBar, Qt::TopDockWidgetArea);
    CVKFormView::SetFormTabs(m_pOpenDocBar);
}

QDockWidget* CMainFrame::Dock(QWidget* bar, Qt::DockWidgetArea area)
{
    // The bars are fixed parts of the frame: no title, not movable, not closable.
    auto* dock = new QDockWidget(this);
    dock->setObjectName(bar->objectName() + QStringLiteral("Dock"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(bar);
    // The selector runs the full height; the open-documents bar spans the client area.
    setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    addDockWidget(area, dock);
    return dock;
}

CChildFrame* CMainFrame::OpenForm(const QString& formKey)
{
    const CFormEntry* entry = FindFormEntry(formKey);
    // A form the program cannot make opens nothing.
    std::unique_ptr<CVKFormView> created = entry ? CreateForm(formKey) : nullptr;
    if (!created)
        return nullptr;
    CVKFormView* form = created.get();
    CChildFrame* child = CreateChildFrame(std::move(created));
    if (m_pOpenDocBar)
        m_pOpenDocBar->AddForm(ShownCaption(formKey), form);
    ShowChildFrame(child);
    CVKFormView::SetActiveForm(form);

    const QString path = FindDefaultDesign(*entry);
    child->Document()->OnOpenDocument(path, EDesignLoad::Default);
    child->Document()->SetTitle(path);
    return child;
}

bool CMainFrame::OpenDesignFile(const QString& path)
{
    std::string key;
    if (std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb"))
    {
        ReadLine(file, key);
        std::fclose(file);
    }
    const CSelectorEntry* entry =
        m_pMainMenu ? m_pMainMenu->FindEntry(QString::fromLatin1(key)) : nullptr;
    if (!entry)
    {
        const bool missing = !QFileInfo::exists(path);
        CError::DisplayError(
            ((missing ? QStringLiteral("File not found: ") : QStringLiteral("Invalid file: ")) +
             path)
                .toStdString());
        return false;
    }
    CChildFrame* child = OpenForm(entry->m_FormKey);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!child || !child->Document()->OnOpenDocument(absolute))
        return false;
    child->Document()->SetTitle(absolute);
    return true;
}

bool CMainFrame::LoadIntoActiveForm(const QString& path)
{
    CChildFrame* child = ActiveChild();
    if (!child)
    {
        CError::DisplayError("No form selected!");
        return false;
    }
    if (!child->Document()->OnOpenDocument(path))
        return false;
    child->Document()->SetTitle(path);
    return true;
}

CChildFrame* CMainFrame::CreateChildFrame(std::unique_ptr<CVKFormView> form)
{
    auto* child = new CChildFrame(std::move(form), m_DocumentHost);
    m_wndClient->addSubWindow(child);
    connect(child->Document(), &CQuillonDoc::TitleChanged, this, &CMainFrame::UpdateFrameTitle);
    connect(child->Document(), &CQuillonDoc::ModifiedChanged, this, &CMainFrame::UpdateFrameTitle);
    // The last window gone leaves no active calculator to name.
    connect(child, &QObject::destroyed, this, &CMainFrame::UpdateFrameTitle);
    return child;
}

void CMainFrame::ShowChildFrame(CChildFrame* child)
{
    if (!child)
        return;
    // The client area's size once the bars have taken their place.
    if (layout())
        layout()->activate();
    const QSize area = m_wndClient->viewport()->size();
    // The windows already open, before this one is shown among them.
    int opened = 0;
    for (const CChildFrame* other : m_wndClient->ChildFrames())
        if (other != child && other->isVisible() && !other->isMinimized())
            ++opened;
    // Cascaded below the title bars of the windows before it, and kept inside the area.
    const QPoint at = area.isEmpty() ? QPoint() : m_wndClient->CascadePosition(opened);
    child->resize(child->FitSize(area.isEmpty() ? size() : area - QSize(at.x(), at.y())));
    child->show();
    if (!area.isEmpty())
        child->move(at);
    m_wndClient->setActiveSubWindow(child);
}

CHelpWindow* CMainFrame::HelpWindow() const
{
    return m_HelpWindow;
}

CChildFrame* CMainFrame::ActiveChild() const
{
    return CChildFrame::Of(CVKFormView::ActiveForm());
}

void CMainFrame::OnChildActivated(QMdiSubWindow* window)
{
    // The main window losing the focus to a dialog or another program leaves the active
    // calculator as it is.
    CChildFrame* previous = ActiveChild();
    if (!window && previous && previous->isVisible() && !isActiveWindow())
        return;
    auto* child = qobject_cast<CChildFrame*>(window);
    if (previous && previous != child)
        previous->OnUpdateFrameMenu(false);
    if (child)
    {
        child->OnUpdateFrameMenu(true);
        if (m_pOpenDocBar)
            m_pOpenDocBar->SelectForm(child->Form());
    }
    UpdateFrameTitle();
}

void CMainFrame::SetTitle(const QString& title)
{
    m_strTitle = title;
    UpdateFrameTitle();
}

void CMainFrame::UpdateFrameTitle()
{
    // The active calculator's title, "[*]" and all: the frame is marked while it is modified.
    const CChildFrame* child = ActiveChild();
    setWindowTitle(child ? m_strTitle + QStringLiteral(" - ") + child->windowTitle() : m_strTitle);
    setWindowModified(child && child->isWindowModified());
    // Its design's full path in the status bar; "Ready" while none is active.
    if (m_wndStatusBar && child)
        m_wndStatusBar->showMessage(child->PathText());
    else if (m_wndStatusBar)
        m_wndStatusBar->clearMessage();
}

void CMainFrame::UpdateIndicators()
{
    if (!m_wndStatusBar)
        return;
    CLockKeys::CState state;
    CLockKeys::Read(state);
    m_wndStatusBar->SetIndicatorOn(IndicatorCaps, state.m_Caps);
    m_wndStatusBar->SetIndicatorOn(IndicatorNum, state.m_Num);
    m_wndStatusBar->SetIndicatorOn(IndicatorScroll, state.m_Scroll);
}

QString CMainFrame::HelpFilePath()
{
    if (!g_HelpFilePath.isEmpty())
        return g_HelpFilePath;
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
                         QStringLiteral(".html");
    const QString relative = QStringLiteral("help/") + name;
    const QString found = FindDataFile(relative);
    if (!found.isEmpty())
        return QFileInfo(found).canonicalFilePath();
    return QDir(QCoreApplication::applicationDirPath()).filePath(relative);
}

void CMainFrame::SetHelpFilePath(const QString& path)
{
    g_HelpFilePath = path;
}

void CMainFrame::OnHelp(const QString& section)
{
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isReadable())
        return;
    if (!m_HelpWindow)
        m_HelpWindow = new CHelpWindow(this);
    m_HelpWindow->ShowGuide(path, section);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Exit: every modified calculator asks first, one question each; only when none was
    // answered with Cancel do they all close, so a Cancel keeps every window as it was.
    const QList<CChildFrame*> children = m_wndClient->ChildFrames();
    for (CChildFrame* child : children)
    {
        if (!child->AskBeforeClosing())
        {
            event->ignore();
            return;
        }
    }
    for (CChildFrame* child : children)
        child->CloseAnswered();
    if (m_HelpWindow)
        m_HelpWindow->close();
    event->accept();
    QCoreApplication::quit();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type())
    {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateIndicators();
        break;
    }
    case QEvent::ApplicationActivate:
        UpdateIndicators();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
