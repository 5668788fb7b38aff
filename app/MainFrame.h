// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

class CChildFrame;
class CDocumentHost;
class CHelpWindow;
class CMainMenu;
class COpenDocDlgBar;
class CRegistry;
class CVKFormView;
class CVKMainFrameClient;
class CVKStatusBar;
class QDockWidget;
class QMdiSubWindow;

// The main window: the design selector at the left, the open-documents bar at the top, the
// status bar at the bottom and the calculators' child windows in the client area. It opens
// the calculators the selector asks for and the design files the program is given.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // Status bar panes after the message pane.
    enum EIndicator
    {
        IndicatorCaps = 1,
        IndicatorNum = 2,
        IndicatorScroll = 3,
    };

    // The host answers the documents' questions.
    explicit CMainFrame(const QString& settingsFile = QString(), CDocumentHost* host = nullptr);
    ~CMainFrame() override;

    // Builds the frame: client area, status bar, preferences, selector, open-documents bar.
    // 0, or -1 when a part cannot be made.
    int OnCreate();

    // A new calculator: its form in a child window, its tab, the active form and its default
    // design file. Null when the key names no form the program can make.
    CChildFrame* OpenForm(const QString& formKey);
    // A new calculator of the file's kind, loaded from the file; "Invalid file: " + path when
    // the file names no calculator.
    bool OpenDesignFile(const QString& path);
    // Loads a design file into the active calculator; "No form selected!" when there is none.
    bool LoadIntoActiveForm(const QString& path);

    // A child window for a new form, in the client area, fitted to the form.
    CChildFrame* CreateChildFrame(std::unique_ptr<CVKFormView> form);
    void ShowChildFrame(CChildFrame* child);

    // "View Help": the user guide in the program's help window; nothing when it is missing.
    // Opens the user guide at the section given ("coil"), or at its start.
    void OnHelp(const QString& section = QString());
    // Where the guide is looked for: beside the program, then in the installed data folder.
    static QString HelpFilePath();
    static void SetHelpFilePath(const QString& path);

    void SetTitle(const QString& title);
    const QString& GetTitle() const { return m_strTitle; }
    // "Quillon", followed by the active calculator's window title; its path in the status bar.
    void UpdateFrameTitle();
    // The lock-key indicators, as the platform tells them.
    void UpdateIndicators();

    CVKMainFrameClient* Client() const { return m_wndClient; }
    CMainMenu* Selector() const { return m_pMainMenu; }
    COpenDocDlgBar* OpenDocBar() const { return m_pOpenDocBar; }
    CRegistry* Registry() const { return m_pRegistry.get(); }
    CVKStatusBar* StatusBar() const { return m_wndStatusBar; }
    CHelpWindow* HelpWindow() const;
    // The window of the active form, or null.
    CChildFrame* ActiveChild() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool CreateClient();
    bool CreateStatusBar();
    void CreateSelector();
    void CreateOpenDocBar();
    QDockWidget* Dock(QWidget* bar, Qt::DockWidgetArea area);
    void OnChildActivated(QMdiSubWindow* window);

    CDocumentHost* m_DocumentHost;
    CVKMainFrameClient* m_wndClient = nullptr;
    CMainMenu* m_pMainMenu = nullptr;
    COpenDocDlgBar* m_pOpenDocBar = nullptr;
    std::unique_ptr<CRegistry> m_pRegistry;
    CVKStatusBar* m_wndStatusBar = nullptr;
    QPointer<CHelpWindow> m_HelpWindow;
    QString m_strSettingsFile;
    QString m_strTitle;
};
