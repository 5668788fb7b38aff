// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include <QAction>
#include <QClipboard>
#include <QTextEdit>

namespace
{
// The receiver's window active, with the focus where the user put it; null when this
// platform gives no keyboard focus.
QWidget* FocusIn(CMainFrame& frame, QWidget* widget)
{
    frame.activateWindow();
    QApplication::setActiveWindow(&frame);
    widget->setFocus();
    return QApplication::focusWidget() == widget ? widget : nullptr;
}
} // namespace

TEST_F(ShellTest, CtrlCInTheResultsBoxPutsItsSelectionOnTheClipboard)
{
    Start();
    CVKFormView* form = Frame().Client()->ChildFrames().front()->Form();
    form->AppendReport(QStringLiteral("D \tM \tK \r\n50.00 \t9.96 \t0.0948 \r\n"));
    QTextEdit* box = form->ResultsBox();
    if (!FocusIn(Frame(), box))
        GTEST_SKIP() << "this platform gives no keyboard focus";
    box->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("D \tM \tK \n50.00 \t9.96 \t0.0948 \n"));

    // Edit > Copy does the same.
    QApplication::clipboard()->setText(QStringLiteral("before"));
    m_App->Action(CQuillonApp::IdEditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("D \tM \tK \n50.00 \t9.96 \t0.0948 \n"));
}
