// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/AboutDlg.h"
#include "app/PartsWindow.h"
#include "calculators/FormFactory.h"
#include "controls/VKEdit.h"
#include "controls/VKStatic.h"
#include "controls/VKStatusBar.h"
#include "forms/VKFormView.h"
#include "parts/PartsLibrary.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>

namespace
{
// The tooltip shown for a point of a child window.
QString ToolTipAt(CChildFrame* child, const QPoint& pos)
{
    QHelpEvent help(QEvent::ToolTip, pos, child->mapToGlobal(pos));
    QApplication::sendEvent(child, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

QRect ClientRect(CMainFrame& frame)
{
    return QRect(QPoint(0, 0), frame.Client()->viewport()->size());
}
} // namespace

TEST_F(ShellTest, TitlesNameTheCalculatorAndTheFileAndThePathIsShownBeside)
{
    CChildFrame* receiver = StartWithDefaults();
    CChildFrame* coil = Open(QStringLiteral("Coil"));
    ASSERT_NE(coil, nullptr);
    const QString path =
        QDir::toNativeSeparators(Path(QStringLiteral("Data/Coil/Coil_Default.qwf")));
    EXPECT_EQ(coil->windowTitle(), QStringLiteral("Coil \u2014 Coil_Default.qwf[*]"));
    EXPECT_EQ(coil->PathText(), path);
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quillon - Coil \u2014 Coil_Default.qwf[*]"));
    EXPECT_EQ(Frame().StatusBar()->PaneText(0), path);

    // The full path is the caption's tooltip; the form's own controls keep theirs.
    const int titleBar = coil->widget()->geometry().top();
    ASSERT_GT(titleBar, 0);
    EXPECT_EQ(ToolTipAt(coil, QPoint(coil->width() / 3, titleBar + 20)), QString());
    EXPECT_EQ(ToolTipAt(coil, QPoint(coil->width() / 3, titleBar / 2)), path);

    // Save As renames it by the new file; activating another window shows that one's path.
    const QString mine = Path(QStringLiteral("mine.qwf"));
    m_App->SetSaveDialog([&](QWidget*, const QString&, const QString&) { return mine; });
    m_App->OnCommand(CQuillonApp::IdFileSaveAs);
    EXPECT_EQ(coil->windowTitle(), QStringLiteral("Coil \u2014 mine.qwf[*]"));
    EXPECT_EQ(Frame().StatusBar()->PaneText(0), QDir::toNativeSeparators(mine));
    Frame().Client()->setActiveSubWindow(receiver);
    EXPECT_EQ(Frame().StatusBar()->PaneText(0), receiver->PathText());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quillon - ") + receiver->windowTitle());
}

TEST_F(ShellTest, NewWindowsCascadeInsideTheClientArea)
{
    Start();
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)})
    {
        for (CChildFrame* child : Frame().Client()->ChildFrames())
            CloseChild(child);
        Frame().showNormal();
        Frame().resize(screen);
        QApplication::processEvents();
        QList<QPoint> places;
        for (const CFormEntry& entry : FormEntries())
        {
            CChildFrame* child = Open(entry.m_Key);
            ASSERT_NE(child, nullptr);
            EXPECT_TRUE(ClientRect(Frame()).contains(child->geometry()))
                << entry.m_Key.toStdString() << " at " << screen.width() << " x "
                << screen.height();
            places << child->pos();
        }
        // From the top-left corner, each further down and to the right, or back at the corner.
        EXPECT_EQ(places.front(), QPoint(0, 0));
        for (qsizetype i = 1; i < places.size(); ++i)
            EXPECT_TRUE(places[i] == QPoint(0, 0) ||
                        (places[i].x() > places[i - 1].x() && places[i].y() > places[i - 1].y()))
                << i;

        // A smaller frame keeps them inside.
        Frame().resize(screen * 3 / 4);
        QApplication::processEvents();
        for (CChildFrame* child : Frame().Client()->ChildFrames())
            EXPECT_TRUE(ClientRect(Frame()).contains(child->geometry()))
                << child->Form()->m_strFormKey.toStdString();
    }
}

TEST_F(ShellTest, TheAboutBoxShowsItsLinkWhole)
{
    Start();
    QRect link;
    QSize needed;
    m_App->SetDialogRunner(
        [&](QDialog& dialog)
        {
            dialog.show();
            const CVKStatic* text = dynamic_cast<CAboutDlg&>(dialog).Link();
            const QFontMetrics metrics(text->Font());
            link = text->contentsRect();
            needed = QSize(metrics.horizontalAdvance(text->GetWindowText()), metrics.height());
        });
    m_App->OnCommand(CQuillonApp::IdAppAbout);
    EXPECT_GE(link.width(), needed.width());
    EXPECT_GE(link.height(), needed.height());
}

// "Manage parts...": the shipped parts listed by table; a part of the user's own, added through
// the dialog's checked fields, is listed as the user's, kept when the library is opened again,
// and deleted after the question.
TEST_F(ShellTest, ThePartsWindowListsTheShippedPartsAndKeepsTheUsersOwn)
{
    QTemporaryDir userParts;
    CVKFormView::SetPartsLocations(QStringLiteral(QUILLON_PARTS_DB),
                                   userParts.filePath(QStringLiteral("parts.db")));
    Start();
    m_App->Action(CQuillonApp::IdPartsManage)->trigger();
    auto* window = Frame().findChild<CPartsWindow*>();
    ASSERT_NE(window, nullptr);
    const auto listed = [window](EPartTable table, const QString& name)
    {
        const QAbstractItemModel* model = window->View(table)->model();
        return model->match(model->index(0, 1), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    };
    EXPECT_EQ(listed(EPartTable::Diode, QStringLiteral("1N34A")).size(), 1);

    window->Tabs()->setCurrentIndex(1); // Litz
    ASSERT_EQ(window->CurrentTable(), EPartTable::Litz);
    ASSERT_TRUE(CVKFormView::OpenUserParts());
    CPartDialog dialog(EPartTable::Litz, QString(), window);
    dialog.Text(0)->setText(QStringLiteral("7/40"));
    dialog.Number(1)->SetWindowText(QStringLiteral("7"));
    dialog.Number(2)->SetWindowText(QStringLiteral("0.0799"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "a part without its source is refused";
    dialog.Text(4)->setText(QStringLiteral("wound by hand"));
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    window->Reload();
    const QModelIndexList mine = listed(EPartTable::Litz, QStringLiteral("7/40"));
    ASSERT_EQ(mine.size(), 1);
    EXPECT_EQ(mine.front().siblingAtColumn(0).data().toString(), QStringLiteral("yes"));

    CVKFormView::SetPartsLocations(QStringLiteral(QUILLON_PARTS_DB),
                                   userParts.filePath(QStringLiteral("parts.db")));
    const std::optional<CLitzPart> kept = CVKFormView::PartsLibrary().Find<CLitzPart>("7/40");
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(kept->m_User);
    EXPECT_NEAR(kept->m_StrandDiameter, 0.0799e-3, 1e-9);

    window->Reload();
    window->View(EPartTable::Litz)->setCurrentIndex(listed(EPartTable::Litz, "7/40").front());
    m_Answers = {EAnswer::Yes};
    EXPECT_TRUE(window->DeletePart(window->CurrentName()));
    EXPECT_TRUE(listed(EPartTable::Litz, QStringLiteral("7/40")).isEmpty());
    CVKFormView::SetPartsLocations(QString(), QString());
}
