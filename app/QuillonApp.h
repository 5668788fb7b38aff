// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DocumentHost.h"
#include "controls/Platform.h"
#include "database/ADODBConnect.h"
#include "database/Error.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CChildFrame;
class CMainFrame;
class CPartsWindow;
class CVKFormView;
class CVKMenu;
class QAction;
class QDialog;
class QMenu;
class QWidget;

// How the program is started: where its preferences live and a design file to open.
struct CQuillonOptions
{
    QString m_SettingsFile; // empty: the user's own preferences
    QString m_DesignFile;   // a design file named on the command line
};

// The application: start-up and shutdown, the main menu and its commands, the Open
// command, and what the documents ask of the program. One exists at a time.
class CQuillonApp : public QObject, public CDocumentHost
{
    Q_OBJECT

public:
    // Menu and accelerator commands.
    enum ECommand
    {
        IdFileNew = 57600,
        IdFileOpen = 57601,
        IdFileClose = 57602,
        IdFileSave = 57603,
        IdFileSaveAs = 57604,
        IdFilePrintSetup = 57606,
        IdFilePrint = 57607,
        IdEditCopy = 57634,
        IdEditCut = 57635,
        IdEditPaste = 57637,
        IdEditUndo = 57643,
        IdEditRedo = 57644,
        IdWindowArrange = 57649,
        IdWindowCascade = 57650,
        IdWindowTile = 57652,
        IdAppAbout = 57664,
        IdAppExit = 57665,
        IdNextPane = 57680,
        IdPrevPane = 57681,
        IdViewStatusBar = 59393,
        IdHelpView = 32782,
        // The results of the active calculator.
        IdEditCopyResults = 32790,
        IdFileExportResults = 32791,
        IdFileExportPdf = 32792,
        IdHelpWhatsThis = 32793,
        IdPartsManage = 32794,
    };

    // Asks for a file: the owner, the proposed path and the filter in Qt's form. Returns the
    // chosen path, or an empty text when the user cancels.
    using CFileDialog =
        std::function<QString(QWidget* owner, const QString& proposal, const QString& filter)>;
    using CDialogRunner = std::function<void(QDialog& dialog)>;
    // Asks a question: the owner, the text and the answers offered, the first the default.
    using CQuestionDialog = std::function<EAnswer(QWidget* owner, const QString& text,
                                                  const std::vector<EAnswer>& answers)>;

    explicit CQuillonApp(CQuillonOptions options = CQuillonOptions());
    ~CQuillonApp() override;

    // Builds and shows the main window and opens the air-core receiver calculator.
    // False ends the program.
    bool InitInstance();
    // Closes the main window and lets go of the menu. Returns the exit code.
    int ExitInstance();

    // Runs a menu or accelerator command. False for a command without a handler.
    bool OnCommand(int id);
    void OnFileOpen();
    // Copy results, Export results..., Export PDF... and Print... for the active calculator.
    void OnCopyResults();
    void OnExportResults(bool pdf);
    void OnPrint();
    void OnAppAbout();
    // "Manage parts...": the one "Parts" window, raised when open.
    void OnManageParts();
    // A design file given on the command line: a new calculator of the file's kind, loaded
    // from it (the main window's).
    bool OpenDesignFile(const QString& path);

    QString AskOpenFile(const QString& proposal);
    QString AskSaveFile(const QString& proposal) override;
    EAnswer Ask(QWidget* owner, const QString& text, const std::vector<EAnswer>& answers) override;
    // The first time in this run that a save would replace a default design (the design a
    // calculator starts with), asks whether to go on. True when the save may go ahead.
    bool MayReplace(const QString& path) override;
    // An installed default design, or one in a folder the user cannot write, is saved as the
    // user's own copy in UserDataFolder(), which is found before it from then on.
    QString SaveTarget(const QString& path) override;
    void NoteSavePath(const QString& path) override { m_strPathName = path; }
    QString FileVersion() const override { return m_strFileVersion; }
    static bool IsDefaultDesign(const QString& path);
    // "Data/<key>/<caption>_Default.qwf" when the path is a default design below one of the
    // data folders; else empty.
    static QString DefaultDesignOf(const QString& path);
    // The design file filter, and the same in Qt's filter syntax.
    static const char* const FileFilter;
    static QString QtFileFilter(const QString& filter);

    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    CVKMenu* Menu() const;
    QAction* Action(int id) const;

    // The file title, folder and full path of the last file chosen in the Open or Save As
    // dialog (the folder is the working folder until a file is opened).
    const QString& FileTitle() const { return m_strFileTitle; }
    const QString& FolderPath() const { return m_strFolderPath; }
    const QString& PathName() const { return m_strPathName; }
    const CADODBConnect& Connection() const { return m_connection; }

    // The file dialogs, the question box and the way modal dialogs run; tests replace them.
    void SetOpenDialog(CFileDialog dialog) { m_OpenDialog = std::move(dialog); }
    void SetSaveDialog(CFileDialog dialog) { m_SaveDialog = std::move(dialog); }
    void SetDialogRunner(CDialogRunner runner) { m_RunDialog = std::move(runner); }
    void SetQuestionDialog(CQuestionDialog dialog) { m_AskQuestion = std::move(dialog); }

private:
    void CreateMenu();
    QMenu* AddMenu(const QString& title);
    QAction* AddCommand(QMenu* menu, int id, const QString& text,
                        const QList<QKeySequence>& keys = {});
    void AddAccelerator(int id, const QList<QKeySequence>& keys);
    CChildFrame* ActiveChild() const;
    QString OpenProposal() const;

    CError m_error;
    QString m_strFileTitle;
    QString m_strFolderPath;
    QString m_strPathName;
    QString m_strOpenPath;
    QString m_strFileVersion;
    // Made with the application and gone with it; the program opens no database.
    CADODBConnect m_connection;

    CFileDialog m_OpenDialog;
    CFileDialog m_SaveDialog;
    CDialogRunner m_RunDialog;
    CQuestionDialog m_AskQuestion;

    CQuillonOptions m_Options;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    QPointer<CPartsWindow> m_PartsWindow;
    QPointer<CVKMenu> m_pMenu;
    std::map<int, QAction*> m_Commands;
    QSet<QString> m_ReplacedDefaults; // default designs the user agreed to replace
};
