// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "controls/VKMenu.h"
#include "controls/VKStatusBar.h"

#include <QAction>
#include <QMenu>

namespace
{
QStringList MenuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

const QMenu* TopMenu(const CVKMenu* bar, const QString& title)
{
    for (const QAction* action : bar->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}
} // namespace

TEST_F(ShellTest, StartOpensTheAirCoreReceiverOnTheDesignPage)
{
    CopyDefaultDesigns();
    Start();
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().windowState().testFlag(Qt::WindowMaximized));

    // One calculator: the air-core receiver, with its tab selected and shown.
    const QList<CChildFrame*> children = Frame().Client()->ChildFrames();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children.front()->Form()->m_strFormKey, QStringLiteral("CrystalRadio"));
    EXPECT_EQ(CVKFormView::ActiveForm(), children.front()->Form());
    EXPECT_EQ(CVKFormView::ActiveFormKey(), QStringLiteral("CrystalRadio"));
    EXPECT_EQ(TabTexts(), QStringList{QStringLiteral("  Air-core crystal radio  ")});
    EXPECT_EQ(Bar().Tabs()->currentIndex(), 0);
    EXPECT_TRUE(Bar().Tabs()->isVisible());

    // The selector shows "Design".
    EXPECT_EQ(Selector().CurrentPage(), 0);
    EXPECT_EQ(Selector().MenuGroup()->title(), QStringLiteral("Design"));
    EXPECT_EQ(Selector().Tabs()->tabText(0), QStringLiteral("Design "));
    EXPECT_EQ(Selector().Tabs()->tabText(1), QStringLiteral("  Utilities"));

    // Its default design was loaded: the document is at that file and titled by it; the
    // window names the calculator and the file, unmodified.
    const QString path =
        QDir(m_Dir.path())
            .filePath(QStringLiteral("Data/CrystalRadio/Air-core crystal radio_Default.qwf"));
    EXPECT_EQ(children.front()->Document()->GetTitle(), path);
    EXPECT_EQ(children.front()->Document()->GetPathName(), path);
    const QString title =
        QStringLiteral("Air-core crystal radio \u2014 Air-core crystal radio_Default.qwf[*]");
    EXPECT_EQ(children.front()->windowTitle(), title);
    EXPECT_FALSE(children.front()->isWindowModified());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quillon - ") + title);
    EXPECT_EQ(Frame().GetTitle(), QStringLiteral("Quillon"));

    EXPECT_EQ(m_App->FolderPath(), m_Dir.path());
    EXPECT_EQ(m_App->FileVersion(), QStringLiteral("1.1"));
    // The connection exists for the program's life; no database is opened.
    EXPECT_FALSE(m_App->Connection().IsOpen());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, StartWithoutDefaultDesignsSaysNothing)
{
    Start();
    ASSERT_EQ(Frame().Client()->ChildFrames().size(), 1);
    // The title is the path it looked for, loaded or not.
    EXPECT_TRUE(Frame().Client()->ChildFrames().front()->Document()->GetTitle().endsWith(
        QStringLiteral("Data/CrystalRadio/Air-core crystal radio_Default.qwf")));
    EXPECT_TRUE(Frame().Client()->ChildFrames().front()->Document()->GetPathName().isEmpty());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, StatusBarShowsReadyAndTheLockIndicators)
{
    Start();
    const CVKStatusBar* status = Frame().StatusBar();
    ASSERT_EQ(status->PaneCount(), 4);
    // The active calculator's design file; with none active, "Ready".
    CChildFrame* receiver = Frame().Client()->ChildFrames().front();
    EXPECT_EQ(status->PaneText(0), receiver->PathText());
    CloseChild(receiver);
    EXPECT_EQ(status->PaneText(0), QStringLiteral("Ready"));
    EXPECT_EQ(status->PaneText(CMainFrame::IndicatorCaps), QStringLiteral("CAP"));
    EXPECT_EQ(status->PaneText(CMainFrame::IndicatorNum), QStringLiteral("NUM"));
    EXPECT_EQ(status->PaneText(CMainFrame::IndicatorScroll), QStringLiteral("SCRL"));
    EXPECT_TRUE(status->OwnerDrawn());

    // "&Status Bar" hides and shows it.
    EXPECT_TRUE(status->isVisible());
    m_App->OnCommand(CQuillonApp::IdViewStatusBar);
    EXPECT_FALSE(status->isVisible());
    EXPECT_FALSE(m_App->Action(CQuillonApp::IdViewStatusBar)->isChecked());
    m_App->OnCommand(CQuillonApp::IdViewStatusBar);
    EXPECT_TRUE(status->isVisible());
}

TEST_F(ShellTest, MenuHasTheItemsAndAcceleratorsOfTheRunningProgram)
{
    Start();
    const CVKMenu* bar = m_App->Menu();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(Frame().menuBar(), bar);
    EXPECT_TRUE(bar->IsOwnerDrawn());

    QStringList titles;
    for (const QAction* action : bar->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Parts", "&Window", "&Help"}));
    EXPECT_EQ(
        MenuTexts(TopMenu(bar, "&File")),
        (QStringList{"&Open...\tCtrl+O", "&Save...\tCtrl+S", "Save &As", "-", "&Export results...",
                     "Export P&DF...", "&Print...\tCtrl+P", "-", "E&xit"}));
    EXPECT_EQ(MenuTexts(TopMenu(bar, "&Edit")),
              (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                           "Copy &results", "&Paste\tCtrl+V"}));
    EXPECT_EQ(MenuTexts(TopMenu(bar, "&View")), QStringList{"&Status Bar"});
    EXPECT_EQ(MenuTexts(TopMenu(bar, "&Parts")), QStringList{"&Manage parts..."});
    EXPECT_EQ(MenuTexts(TopMenu(bar, "&Window")),
              (QStringList{"&Cascade", "&Tile", "&Arrange Icons"}));
    EXPECT_EQ(MenuTexts(TopMenu(bar, "&Help")),
              (QStringList{"View Help\tF1", "What's &This?\tShift+F1", "&About Quillon..."}));

    // Accelerator table 128.
    const auto keys = [this](int id) { return m_App->Action(id)->shortcuts(); };
    EXPECT_EQ(keys(CQuillonApp::IdFileNew),
              QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+N"))});
    EXPECT_EQ(keys(CQuillonApp::IdFileOpen),
              QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+O"))});
    EXPECT_EQ(keys(CQuillonApp::IdFileSave),
              QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+S"))});
    EXPECT_EQ(keys(CQuillonApp::IdFilePrint),
              QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+P"))});
    EXPECT_EQ(keys(CQuillonApp::IdEditUndo),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z")),
                                   QKeySequence(QStringLiteral("Alt+Backspace"))}));
    EXPECT_EQ(keys(CQuillonApp::IdEditCut),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+X")),
                                   QKeySequence(QStringLiteral("Shift+Del"))}));
    EXPECT_EQ(keys(CQuillonApp::IdEditCopy),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+C")),
                                   QKeySequence(QStringLiteral("Ctrl+Ins"))}));
    EXPECT_EQ(keys(CQuillonApp::IdEditPaste),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+V")),
                                   QKeySequence(QStringLiteral("Shift+Ins"))}));
    EXPECT_EQ(keys(CQuillonApp::IdNextPane), QList<QKeySequence>{QKeySequence(Qt::Key_F6)});
    EXPECT_EQ(keys(CQuillonApp::IdPrevPane),
              QList<QKeySequence>{QKeySequence(Qt::SHIFT | Qt::Key_F6)});
}

TEST_F(ShellTest, CommandsWithoutHandlerDoNothing)
{
    Start();
    const int children = Frame().Client()->ChildFrames().size();
    for (int id : {CQuillonApp::IdFileNew, CQuillonApp::IdEditCut, CQuillonApp::IdNextPane,
                   CQuillonApp::IdPrevPane})
    {
        EXPECT_FALSE(m_App->OnCommand(id)) << id;
        m_App->Action(id)->trigger();
    }
    EXPECT_EQ(Frame().Client()->ChildFrames().size(), children);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_FALSE(m_App->Action(CQuillonApp::IdEditCut)->isEnabled());
}

TEST_F(ShellTest, WindowCommandsArrangeTheCalculators)
{
    Start();
    Open(QStringLiteral("Monopole"));
    const QList<CChildFrame*> children = Frame().Client()->ChildFrames();
    ASSERT_EQ(children.size(), 2);

    m_App->OnCommand(CQuillonApp::IdWindowTile);
    EXPECT_FALSE(children[0]->geometry().intersects(children[1]->geometry()));

    m_App->OnCommand(CQuillonApp::IdWindowCascade);
    EXPECT_NE(children[0]->pos(), children[1]->pos());
    EXPECT_TRUE(children[0]->geometry().intersects(children[1]->geometry()));

    // Arrange Icons lines the minimised windows up along the bottom.
    children[0]->showMinimized();
    children[1]->showMinimized();
    m_App->OnCommand(CQuillonApp::IdWindowArrange);
    const int bottom = Frame().Client()->viewport()->height();
    EXPECT_EQ(children[0]->geometry().bottom() + 1, bottom);
    EXPECT_EQ(children[1]->geometry().bottom() + 1, bottom);
    EXPECT_EQ(children[1]->x(), children[0]->geometry().right() + 1);
}

TEST_F(ShellTest, ExitClosesEveryCalculatorAndTheWindow)
{
    Start();
    QTest::mouseClick(Selector().ExitButton(), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(Frame().Client()->ChildFrames().isEmpty());
    EXPECT_TRUE(Bar().Forms().empty());
    EXPECT_FALSE(Bar().Tabs()->isVisible());
    EXPECT_EQ(CVKFormView::ActiveForm(), nullptr);
}

TEST_F(ShellTest, ADesignFileOnTheCommandLineOpensItsCalculator)
{
    CopyDefaultDesigns();
    const QString path = Path(QStringLiteral("rod.qwf"));
    QFile::copy(Path(QStringLiteral("Data/Ferrite/Ferrite rod_Default.qwf")), path);
    m_Options.m_DesignFile = path;
    Start();
    const QList<CChildFrame*> children = Frame().Client()->ChildFrames();
    ASSERT_EQ(children.size(), 2);
    EXPECT_EQ(children[1]->Form()->m_strFormKey, QStringLiteral("Ferrite"));
    EXPECT_EQ(children[1]->Document()->GetTitle(), path);
    EXPECT_EQ(children[1]->Document()->GetPathName(), path);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, AFileOfNoKnownCalculatorOnTheCommandLineIsRefused)
{
    const QString path = Path(QStringLiteral("other.qwf"));
    WriteFile(path, "Toaster\r\n1.0\r\n1,2\r\n");
    m_Options.m_DesignFile = path;
    Start();
    EXPECT_EQ(Frame().Client()->ChildFrames().size(), 1);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text, ("Invalid file: " + path).toStdString());
}
