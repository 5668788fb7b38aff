// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuillonApp.h"

#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/DesignFile.h"
#include "app/MainFrame.h"
#include "app/MainFrameClient.h"
#include "app/MainMenu.h"
#include "app/PartsWindow.h"
#include "app/QuillonDoc.h"
#include "calculators/FormFactory.h"
#include "controls/VKMenu.h"
#include "controls/VKStatusBar.h"
#include "forms/ResultsExport.h"
#include "forms/ResultsPlot.h"
#include "forms/VKFormView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QWhatsThis>

#include <cstdio>

// The bitmaps and icons are compiled into the shell's library.
static void InitShellResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace
{
constexpr int MenuBitmap = 188;
constexpr quint32 SubMenuColour = 0xFFFFFF;
constexpr quint32 SubSubMenuColour = 0xC8DCC8;
constexpr int StartPage = 0;
constexpr int StartPosition = 3; // the air-core receiver
const char* const FrameTitle = "Quillon";

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillon-%1.png").arg(size), QSize(size, size));
    return icon;
}
} // namespace

const char* const CQuillonApp::FileFilter = "Quillon design (*.qwf)|*.qwf|All Files (*.*)|*.*|";

CQuillonApp::CQuillonApp(CQuillonOptions options)
    : m_strFileVersion(QString::fromLatin1(DesignFileVersion)), m_Options(std::move(options))
{
    InitShellResources();
    m_OpenDialog = [](QWidget* owner, const QString& proposal, const QString& filter)
    { return QFileDialog::getOpenFileName(owner, QStringLiteral("Open"), proposal, filter); };
    m_SaveDialog = [](QWidget* owner, const QString& proposal, const QString& filter)
    { return QFileDialog::getSaveFileName(owner, QStringLiteral("Save As"), proposal, filter); };
    m_RunDialog = [](QDialog& dialog) { dialog.exec(); };
    // "Save plot..." asks through the same dialog as the other saves.
    CPlotView::SetSaveDialog(
        [this](QWidget* owner, const QString& proposal, const QString& filter)
        { return m_SaveDialog ? m_SaveDialog(owner, proposal, filter) : QString(); });
    m_AskQuestion = [](QWidget* owner, const QString& text, const std::vector<EAnswer>& answers)
    { return AskQuestion(owner, QString::fromLatin1(FrameTitle), text, answers); };
}

CQuillonApp::~CQuillonApp()
{
    ExitInstance();
    CPlotView::SetSaveDialog(nullptr);
}

bool CQuillonApp::InitInstance()
{
    QApplication::setWindowIcon(ProgramIcon());
    m_pMainWnd = std::make_unique<CMainFrame>(m_Options.m_SettingsFile, this);
    if (m_pMainWnd->OnCreate() != 0)
    {
        m_pMainWnd.reset();
        return false;
    }
    // The whole screen also where no window manager maximises (a bare X server).
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_pMainWnd->setGeometry(screen->availableGeometry());
    m_pMainWnd->showMaximized();
    CreateMenu();
    m_pMainWnd->SetTitle(QString::fromLatin1(FrameTitle));

    CVKFormView::SetActiveForm(nullptr);
    m_strFolderPath = QDir::currentPath();

    m_pMainWnd->Selector()->OpenFormAt(StartPage, StartPosition);
    if (!m_Options.m_DesignFile.isEmpty())
        OpenDesignFile(m_Options.m_DesignFile);
    return true;
}

int CQuillonApp::ExitInstance()
{
    m_pMainWnd.reset();
    delete m_pMenu;
    return 0;
}

void CQuillonApp::CreateMenu()
{
    auto* menu = new CVKMenu;
    m_pMenu = menu;
    m_pMainWnd->setMenuBar(menu);

    QMenu* file = AddMenu(QStringLiteral("&File"));
    AddCommand(file, IdFileOpen, QStringLiteral("&Open...\tCtrl+O"),
               {QKeySequence(Qt::CTRL | Qt::Key_O)});
    AddCommand(file, IdFileSave, QStringLiteral("&Save...\tCtrl+S"),
               {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AddCommand(file, IdFileSaveAs, QStringLiteral("Save &As"));
    file->addSeparator();
    AddCommand(file, IdFileExportResults, QStringLiteral("&Export results..."));
    AddCommand(file, IdFileExportPdf, QStringLiteral("Export P&DF..."));
    AddCommand(file, IdFilePrint, QStringLiteral("&Print...\tCtrl+P"),
               {QKeySequence(Qt::CTRL | Qt::Key_P)});
    file->addSeparator();
    AddCommand(file, IdAppExit, QStringLiteral("E&xit"));

    QMenu* edit = AddMenu(QStringLiteral("&Edit"));
    AddCommand(edit, IdEditUndo, QStringLiteral("&Undo\tCtrl+Z"),
               {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    AddCommand(
        edit, IdEditRedo, QStringLiteral("&Redo\tCtrl+Y"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    AddCommand(edit, IdEditCut, QStringLiteral("Cu&t\tCtrl+X"),
               {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    AddCommand(edit, IdEditCopy, QStringLiteral("&Copy\tCtrl+C"),
               {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(edit, IdEditCopyResults, QStringLiteral("Copy &results"));
    AddCommand(edit, IdEditPaste, QStringLiteral("&Paste\tCtrl+V"),
               {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});

    QMenu* view = AddMenu(QStringLiteral("&View"));
    QAction* statusBar = AddCommand(view, IdViewStatusBar, QStringLiteral("&Status Bar"));
    statusBar->setCheckable(true);
    statusBar->setChecked(true);

    QMenu* parts = AddMenu(QStringLiteral("&Parts"));
    AddCommand(parts, IdPartsManage, QStringLiteral("&Manage parts..."));

    QMenu* window = AddMenu(QStringLiteral("&Window"));
    AddCommand(window, IdWindowCascade, QStringLiteral("&Cascade"));
    AddCommand(window, IdWindowTile, QStringLiteral("&Tile"));
    AddCommand(window, IdWindowArrange, QStringLiteral("&Arrange Icons"));

    QMenu* help = AddMenu(QStringLiteral("&Help"));
    AddCommand(help, IdHelpView, QStringLiteral("View Help\tF1"), {QKeySequence(Qt::Key_F1)});
    AddCommand(help, IdHelpWhatsThis, QStringLiteral("What's &This?\tShift+F1"),
               {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    AddCommand(help, IdAppAbout, QStringLiteral("&About Quillon..."));

    // Accelerators without a menu item; they have no handler and do nothing.
    AddAccelerator(IdFileNew, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    AddAccelerator(IdNextPane, {QKeySequence(Qt::Key_F6)});
    AddAccelerator(IdPrevPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)});

    // Cut has no handler: greyed, as the menu shows commands nobody handles. Save, Undo, Copy
    // and Paste stay enabled and do nothing while no calculator is open.
    Action(IdEditCut)->setEnabled(false);
    menu->SetBackgroundResourceBitMap(MenuBitmap);
    menu->SetSumMenuColours(SubMenuColour, SubSubMenuColour, -1);
    menu->ChangeToOwnerDraw();
    // The window is already shown: its new menu bar must be shown too to take its place.
    menu->show();
}

QMenu* CQuillonApp::AddMenu(const QString& title)
{
    return m_pMenu->addMenu(title);
}

QAction* CQuillonApp::AddCommand(QMenu* menu, int id, const QString& text,
                                 const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, menu);
    action->setShortcuts(keys);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    menu->addAction(action);
    m_Commands[id] = action;
    return action;
}

void CQuillonApp::AddAccelerator(int id, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(m_pMainWnd.get());
    action->setShortcuts(keys);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_pMainWnd->addAction(action);
    m_Commands[id] = action;
}

CVKMenu* CQuillonApp::Menu() const
{
    return m_pMenu;
}

QAction* CQuillonApp::Action(int id) const
{
    const auto found = m_Commands.find(id);
    return found == m_Commands.end() ? nullptr : found->second;
}

bool CQuillonApp::OnCommand(int id)
{
    CMainFrame* frame = m_pMainWnd.get();
    if (!frame)
        return false;
    CVKMainFrameClient* client = frame->Client();
    switch (id)
    {
    case IdFileOpen:
        OnFileOpen();
        return true;
    case IdFileSave:
    case IdFileSaveAs:
        if (CChildFrame* child = ActiveChild())
        {
            if (id == IdFileSave)
                child->Document()->OnFileSave();
            else
                child->Document()->OnFileSaveAs();
        }
        return true;
    case IdAppExit:
        frame->close();
        return true;
    case IdEditCopy:
        CVKFormView::Copy();
        return true;
    case IdEditPaste:
        CVKFormView::Paste();
        return true;
    case IdEditUndo:
        CVKFormView::Undo();
        return true;
    case IdEditRedo:
        CVKFormView::Redo();
        return true;
    case IdEditCopyResults:
        OnCopyResults();
        return true;
    case IdFileExportResults:
    case IdFileExportPdf:
        OnExportResults(id == IdFileExportPdf);
        return true;
    case IdFilePrint:
        OnPrint();
        return true;
    case IdViewStatusBar:
        frame->StatusBar()->setVisible(!frame->StatusBar()->isVisible());
        if (QAction* action = Action(IdViewStatusBar))
            action->setChecked(frame->StatusBar()->isVisible());
        return true;
    case IdWindowCascade:
        client->cascadeSubWindows();
        return true;
    case IdWindowTile:
        client->tileSubWindows();
        return true;
    case IdWindowArrange:
        client->ArrangeIcons();
        return true;
    case IdHelpView:
    {
        // At the section of the calculator in use.
        const CFormEntry* entry = FindFormEntry(CVKFormView::ActiveFormKey());
        frame->OnHelp(entry ? entry->m_HelpAnchor : QString());
        return true;
    }
    case IdHelpWhatsThis:
        QWhatsThis::enterWhatsThisMode();
        return true;
    case IdAppAbout:
        OnAppAbout();
        return true;
    case IdPartsManage:
        OnManageParts();
        return true;
    default:
        return false;
    }
}

CChildFrame* CQuillonApp::ActiveChild() const
{
    return m_pMainWnd ? m_pMainWnd->ActiveChild() : nullptr;
}

QString CQuillonApp::OpenProposal() const
{
    // Below the folder the designs live in; the folder itself when it has no Data/ of the form.
    const QString below =
        QDir(m_strFolderPath).filePath(QStringLiteral("Data/") + CVKFormView::ActiveFormKey());
    if (QFileInfo(below).isDir())
        return below + QLatin1Char('/');
    return m_strFolderPath + QLatin1Char('/');
}

void CQuillonApp::OnFileOpen()
{
    m_strOpenPath = OpenProposal();
    const QString chosen = AskOpenFile(m_strOpenPath);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    m_strFileTitle = info.completeBaseName();
    m_strFolderPath = info.absolutePath();
    m_strPathName = info.absoluteFilePath();
    m_pMainWnd->LoadIntoActiveForm(m_strPathName);
}

void CQuillonApp::OnCopyResults()
{
    const CChildFrame* child = ActiveChild();
    if (!child)
        return;
    const std::vector<CReportTable> latest = child->Form()->LatestViewTables();
    if (latest.empty())
        return;
    // Cells for a spreadsheet, a table for a word processor.
    auto* data = new QMimeData;
    data->setText(TablesAsTabText(latest));
    data->setHtml(TablesAsHtml(latest));
    QGuiApplication::clipboard()->setMimeData(data);
}

void CQuillonApp::OnExportResults(bool pdf)
{
    const CChildFrame* child = ActiveChild();
    if (!child)
        return;
    const QFileInfo design(child->Document()->GetPathName());
    const QString extension = pdf ? QStringLiteral(".pdf") : QStringLiteral(".csv");
    const QString proposal =
        QDir(m_strFolderPath)
            .filePath((design.completeBaseName().isEmpty() ? child->Form()->m_strFormKey
                                                           : design.completeBaseName()) +
                      extension);
    const QString filter = pdf ? QStringLiteral("PDF file (*.pdf);;All Files (*)")
                               : QStringLiteral("CSV file (*.csv);;All Files (*)");
    QWidget* owner = m_pMainWnd.get();
    const QString path = m_SaveDialog ? m_SaveDialog(owner, proposal, filter) : QString();
    if (path.isEmpty())
        return;
    if (pdf)
        ExportResultsPdf(*child->Form(), ShownCaption(child->Form()->m_strFormKey),
                         design.fileName(), path);
    else
        ExportResultsCsv(child->Form()->Tables(), path);
}

void CQuillonApp::OnPrint()
{
    const CChildFrame* child = ActiveChild();
    if (!child)
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, m_pMainWnd.get());
    m_RunDialog(dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    const QString designName = QFileInfo(child->Document()->GetPathName()).fileName();
    // Print to file writes as every export does: the old file kept on any failure.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
    {
        const QPageLayout layout = printer.pageLayout();
        ExportResultsPdf(*child->Form(), ShownCaption(child->Form()->m_strFormKey), designName,
                         printer.outputFileName(), &layout);
        return;
    }
    PrintResults(*child->Form(), ShownCaption(child->Form()->m_strFormKey), designName, printer);
}

void CQuillonApp::OnAppAbout()
{
    CAboutDlg about(m_pMainWnd.get());
    m_RunDialog(about);
}

void CQuillonApp::OnManageParts()
{
    if (!m_PartsWindow)
    {
        m_PartsWindow = new CPartsWindow(
            [this](QWidget* owner, const QString& text, const std::vector<EAnswer>& answers)
            { return Ask(owner, text, answers); },
            m_pMainWnd.get());
        m_PartsWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_PartsWindow, &CPartsWindow::PartsChanged, this,
                [] { CVKFormView::RefreshAllPickers(); });
    }
    m_PartsWindow->show();
    m_PartsWindow->raise();
    m_PartsWindow->activateWindow();
}

bool CQuillonApp::OpenDesignFile(const QString& path)
{
    return m_pMainWnd && m_pMainWnd->OpenDesignFile(path);
}

QString CQuillonApp::AskOpenFile(const QString& proposal)
{
    return m_OpenDialog ? m_OpenDialog(m_pMainWnd.get(), proposal,
                                       QtFileFilter(QString::fromLatin1(FileFilter)))
                        : QString();
}

QString CQuillonApp::AskSaveFile(const QString& proposal)
{
    QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : m_pMainWnd.get();
    return m_SaveDialog
               ? m_SaveDialog(owner, proposal, QtFileFilter(QString::fromLatin1(FileFilter)))
               : QString();
}

EAnswer CQuillonApp::Ask(QWidget* owner, const QString& text, const std::vector<EAnswer>& answers)
{
    if (answers.empty())
        return EAnswer::Cancel;
    return m_AskQuestion ? m_AskQuestion(owner ? owner : m_pMainWnd.get(), text, answers)
                         : answers.back();
}

QString CQuillonApp::DefaultDesignOf(const QString& path)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    const QStringList folders = DataFolders();
    for (const CFormEntry& entry : FormEntries())
        for (const QString& folder : folders)
            if (QFileInfo(DefaultDesignPath(folder, entry)).absoluteFilePath() == target)
                return DefaultDesignName(entry);
    return QString();
}

bool CQuillonApp::IsDefaultDesign(const QString& path)
{
    return !DefaultDesignOf(path).isEmpty();
}

QString CQuillonApp::SaveTarget(const QString& path)
{
    const QString name = DefaultDesignOf(path);
    if (name.isEmpty())
        return path;
    // The installed defaults belong to the package, even for a user who could write them.
    const QString folder = QFileInfo(path).absolutePath();
    const QString installed = InstalledDataFolder() + QLatin1Char('/');
    if (QFileInfo(folder).isWritable() && !QFileInfo(path).absoluteFilePath().startsWith(installed))
        return path;
    const QString copy = QDir(UserDataFolder()).filePath(name);
    QDir().mkpath(QFileInfo(copy).absolutePath());
    // The user agreed to replace the design the calculator starts with; the copy is that design.
    if (m_ReplacedDefaults.contains(QFileInfo(path).absoluteFilePath()))
        m_ReplacedDefaults.insert(copy);
    return copy;
}

bool CQuillonApp::MayReplace(const QString& path)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(target) || !IsDefaultDesign(target) ||
        m_ReplacedDefaults.contains(target))
        return true;
    const QString text =
        QStringLiteral("This replaces the design this calculator starts with. Continue?");
    if (Ask(QApplication::activeWindow(), text, {EAnswer::Yes, EAnswer::No}) != EAnswer::Yes)
        return false;
    m_ReplacedDefaults.insert(target);
    return true;
}

QString CQuillonApp::QtFileFilter(const QString& filter)
{
    // "text|pattern|text|pattern|" to "text;;text": Qt reads the patterns from the texts.
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    {
        const QString& text = parts[i];
        const QString& pattern = parts[i + 1];
        filters << (text.contains(QLatin1Char('('))
                        ? text
                        : text + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}
