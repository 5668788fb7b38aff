// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"
#include "controls/VKEdit.h"

#include "forms/ResultsPane.h"
#include "forms/ResultsPlot.h"

#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

namespace
{
// A 1366 x 768 screen less a window manager's title bar.
const QSize SmallScreen(1366, 738);

CVKFormView* MaximisedCalculator(CMainFrame& frame, CChildFrame* child)
{
    frame.resize(SmallScreen);
    child->showMaximized();
    QApplication::processEvents();
    return child->Form();
}
} // namespace

TEST_F(ShellTest, TheAirCoreReportShowsFifteenLinesWithItsHeadingsAndTheButtonsStayInView)
{
    CopyDefaultDesigns();
    Start();
    CChildFrame* child = Open(QStringLiteral("CrystalRadio"));
    ASSERT_TRUE(child);
    CVKFormView* form = MaximisedCalculator(Frame(), child);
    qobject_cast<QPushButton*>(form->Button(3))->click();
    QApplication::processEvents();

    QTextEdit* results = form->ResultsBox();
    ASSERT_TRUE(results->isVisible());
    const int lines = results->viewport()->height() / QFontMetrics(results->font()).lineSpacing();
    EXPECT_GE(lines, CVKFormView::ResultLines);
    EXPECT_EQ(results->cursorForPosition(QPoint(1, 1)).blockNumber(), 0)
        << "the heading line is in view";

    // The inputs scroll; the action buttons lie inside the window whatever their scroll.
    form->InputsArea()->verticalScrollBar()->setValue(
        form->InputsArea()->verticalScrollBar()->maximum());
    for (int id : {3, 4, 6, 7, int(CVKFormView::IdClear), int(CVKFormView::IdExit)})
    {
        const QWidget* button = form->Button(id);
        const QRect inForm(button->mapTo(form, QPoint(0, 0)), button->size());
        EXPECT_TRUE(form->rect().contains(inForm)) << id;
    }

    // The Plot tab takes the room its chart needs from the inputs, and gives it back after.
    const QList<int> sizes = form->Splitter()->sizes();
    QTabWidget* tabs = form->ResultsPane()->Tabs();
    tabs->setCurrentWidget(form->ResultsPane()->Plot());
    QApplication::processEvents();
    EXPECT_GE(form->ResultsPane()->Plot()->ChartHeight(), CVKFormView::PlotChartHeight);
    tabs->setCurrentIndex(0);
    EXPECT_EQ(form->Splitter()->sizes(), sizes);
}

TEST_F(ShellTest, TheTableTabShowsTheLatestTableAndClearEmptiesIt)
{
    CopyDefaultDesigns();
    Start();
    CChildFrame* child = Open(QStringLiteral("Ferrite"));
    ASSERT_TRUE(child);
    CVKFormView* form = child->Form();
    qobject_cast<QPushButton*>(form->Button(3))->click();
    CResultsPane* pane = form->ResultsPane();
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->Tabs()->tabText(0), QStringLiteral("Report"));
    EXPECT_EQ(pane->Tabs()->tabText(1), QStringLiteral("Table"));
    EXPECT_EQ(pane->Model()->rowCount(), 1);
    EXPECT_EQ(pane->Model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Alpha"));
    EXPECT_EQ(pane->Model()->index(0, 2).data().toString(), QStringLiteral("0.8100"));

    // Pressed again and again: the box shows the latest report from its first line, and the
    // table view gathers the presses, a run a row.
    for (int press = 0; press < 30; ++press)
        qobject_cast<QPushButton*>(form->Button(3))->click();
    QApplication::processEvents();
    QTextEdit* box = form->ResultsBox();
    const auto firstShown = [](QTextEdit* box)
    { return box->cursorForPosition(QPoint(2, 2)).blockNumber(); };
    const int latest = box->document()->blockCount() - 1 -
                       static_cast<int>(form->Tables().back().Text().count(QStringLiteral("\r\n")));
    EXPECT_LE(firstShown(box), latest);
    EXPECT_GE(box->cursorForPosition(QPoint(2, box->viewport()->height() - 2)).blockNumber(),
              latest);
    EXPECT_EQ(pane->Model()->rowCount(), 31);
    EXPECT_EQ(pane->Model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Run"));
    // The columns are measured when the tab is first seen, and then fit every row.
    QTableView* view = pane->TableView();
    const auto fits = [view](int column)
    {
        return view->columnWidth(column) >=
               static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column);
    };
    pane->Tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    for (int column = 0; column < pane->Model()->columnCount(); ++column)
        EXPECT_TRUE(fits(column)) << column;
    qobject_cast<QPushButton*>(form->Button(3))->click();
    EXPECT_EQ(pane->Model()->rowCount(), 32);
    EXPECT_TRUE(fits(0)) << "a table shown while the tab is seen is measured at once";
    pane->Tabs()->setCurrentIndex(0);

    qobject_cast<QPushButton*>(form->Button(CVKFormView::IdClear))->click();
    EXPECT_EQ(pane->Model()->rowCount(), 0);
    EXPECT_EQ(pane->TableChoice()->count(), 0);

    // A table longer than the box: its first line at the top, not the end of the box.
    CChildFrame* coil = Open(QStringLiteral("Coil"));
    ASSERT_TRUE(coil);
    qobject_cast<QPushButton*>(coil->Form()->Button(3))->click();
    coil->Form()->Field(1216)->setText(QStringLiteral("5000"));
    qobject_cast<QPushButton*>(coil->Form()->Button(3))->click();
    QApplication::processEvents();
    QTextEdit* coilBox = coil->Form()->ResultsBox();
    EXPECT_EQ(firstShown(coilBox), static_cast<int>(coil->Form()->Tables().front().Text().count(
                                       QStringLiteral("\r\n"))));
}

TEST_F(ShellTest, PaneSizesSurviveARestart)
{
    CopyDefaultDesigns();
    Start();
    CChildFrame* child = Open(QStringLiteral("Coil"));
    ASSERT_TRUE(child);
    CVKFormView* form = MaximisedCalculator(Frame(), child);
    QSplitter* splitter = form->Splitter();
    // What a drag of the handle does.
    splitter->setSizes({120, splitter->height() - 120 - splitter->handleWidth()});
    emit splitter->splitterMoved(120, 1);
    const QList<int> moved = splitter->sizes();
    m_App.reset();

    Start();
    CVKFormView* again = MaximisedCalculator(Frame(), Open(QStringLiteral("Coil")));
    EXPECT_EQ(again->Splitter()->sizes().front(), moved.front());
}

TEST_F(ShellTest, CopyResultsGivesCellsAndExportsSayWhyTheyFail)
{
    CopyDefaultDesigns();
    Start();
    CChildFrame* child = Open(QStringLiteral("Ferrite"));
    ASSERT_TRUE(child);
    qobject_cast<QPushButton*>(child->Form()->Button(3))->click();
    m_App->OnCommand(CQuillonApp::IdEditCopyResults);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/plain")));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/html")));
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("Ua1\tUa2\tAlpha\tBeta0\tCoeff\n")));
    EXPECT_TRUE(data->html().contains(QStringLiteral("<td>")));

    // Export results... to a file the dialog names, then into a folder that is a plain file.
    QString target = Path(QStringLiteral("ferrite.pdf"));
    m_App->SetSaveDialog([&target](QWidget*, const QString&, const QString&) { return target; });
    m_App->OnCommand(CQuillonApp::IdFileExportPdf);
    EXPECT_TRUE(ReadFile(target).startsWith("%PDF"));
    WriteFile(Path(QStringLiteral("plain")), "x");
    target = Path(QStringLiteral("plain/ferrite.csv"));
    m_App->OnCommand(CQuillonApp::IdFileExportResults);
    ASSERT_FALSE(m_Messages.m_Messages.empty());
    EXPECT_EQ(m_Messages.m_Messages.back().text,
              "Error while writing to file " + target.toStdString());
    EXPECT_FALSE(QFileInfo::exists(target));
}
