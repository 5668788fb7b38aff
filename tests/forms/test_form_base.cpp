#include "controls/VKEdit.h"
#include "forms/VKFormView.h"
#include "tests/forms/ProbeForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace
{
class CTabsProbe : public CVKFormTabs
{
public:
    void SelectForm(CVKFormView* form) override { m_Selected.push_back(form); }
    void RemoveForm(CVKFormView* form) override { m_Removed.push_back(form); }
    std::vector<CVKFormView*> m_Selected;
    std::vector<CVKFormView*> m_Removed;
};

// Shows a form as the active window so that focus and keys behave as on a desktop.
void ShowActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}
} // namespace

TEST(FormBase, ControlsAreRegisteredInCreationOrderWithTheirIds)
{
    auto form = MakeProbe();
    std::vector<int> ids;
    for (QWidget* control : form->Controls())
        ids.push_back(CVKFormView::ControlId(control));
    const std::vector<int> expected = {1201, 1202, 1203, 1210, 1211, 1212, 1220, 1221, 1230,
                                       1196, 1001, 3,    4,    1010, 2};
    EXPECT_EQ(ids, expected);

    ASSERT_NE(form->Field(1201), nullptr);
    EXPECT_EQ(form->Field(1210), nullptr) << "a radio button is not a field";
    EXPECT_EQ(form->Field(1196), nullptr) << "the results box is not a field";
    EXPECT_EQ(form->Control(9999), nullptr);
    EXPECT_EQ(form->Button(1201), nullptr);
    ASSERT_NE(form->Button(CVKFormView::IdMainAction), nullptr);
    EXPECT_EQ(form->ResultsBox(), form->Control(1196));
    EXPECT_TRUE(form->ResultsBox()->isReadOnly());
}

TEST(FormBase, SetupFieldGivesEachRowItsDefaultText)
{
    auto form = MakeProbe();
    EXPECT_EQ(form->Field(1201)->GetWindowText(), QStringLiteral("12.5"));
    EXPECT_EQ(form->Field(1202)->GetWindowText(), QStringLiteral("3"));
    EXPECT_EQ(form->Field(1203)->GetWindowText(), QString());
}

TEST(FormBase, CheckingARadioClearsTheOthersOfItsGroupOnly)
{
    auto form = MakeProbe();
    EXPECT_TRUE(form->IsChecked(1210));
    EXPECT_TRUE(form->IsChecked(1220));

    form->SetCheck(1212, true);
    EXPECT_FALSE(form->IsChecked(1210));
    EXPECT_FALSE(form->IsChecked(1211));
    EXPECT_TRUE(form->IsChecked(1212));
    EXPECT_TRUE(form->IsChecked(1220)) << "another group keeps its button";

    // Setting the widget directly keeps the sense too.
    form->Button(1211)->setChecked(true);
    EXPECT_FALSE(form->IsChecked(1212));

    // Clearing the checked one leaves the group with none.
    form->SetCheck(1211, false);
    EXPECT_FALSE(form->IsChecked(1210));
    EXPECT_FALSE(form->IsChecked(1211));
    EXPECT_FALSE(form->IsChecked(1212));
    EXPECT_TRUE(form->m_Commands.empty()) << "SetCheck runs no handler";
}

TEST(FormBase, AClickChangesTheCheckFirstThenRunsTheHandler)
{
    auto form = MakeProbe();
    form->Button(1211)->click();
    ASSERT_EQ(form->m_Commands.size(), 1u);
    EXPECT_EQ(form->m_Commands[0], std::make_pair(1211, true));
    EXPECT_FALSE(form->IsChecked(1210));

    // A click on the checked radio keeps it checked and still runs the handler.
    form->Button(1211)->click();
    ASSERT_EQ(form->m_Commands.size(), 2u);
    EXPECT_EQ(form->m_Commands[1], std::make_pair(1211, true));
    EXPECT_TRUE(form->IsChecked(1211));

    // A check box toggles and the handler sees the new state.
    form->Button(1230)->click();
    form->Button(1230)->click();
    ASSERT_EQ(form->m_Commands.size(), 4u);
    EXPECT_EQ(form->m_Commands[2], std::make_pair(1230, true));
    EXPECT_EQ(form->m_Commands[3], std::make_pair(1230, false));
}

TEST(FormBase, ADisabledButtonIgnoresClicks)
{
    auto form = MakeProbe();
    form->EnableControl(4, false);
    form->Button(4)->click();
    EXPECT_TRUE(form->m_Commands.empty());
    form->EnableControl(4, true);
    form->Button(4)->click();
    EXPECT_EQ(form->m_Commands.size(), 1u);
}

TEST(FormBase, ReportsAccumulateExactlyAndClearEmptiesTheBox)
{
    auto form = MakeProbe();
    form->AppendReport(QStringLiteral("a\tb\r\n"));
    form->AppendReport(QStringLiteral("c\r\n"));
    EXPECT_EQ(form->ResultsText(), QStringLiteral("a\tb\r\nc\r\n"));
    EXPECT_EQ(form->ResultsBox()->toPlainText(), QStringLiteral("a\tb\nc\n"));

    form->Button(1010)->click();
    EXPECT_EQ(form->ResultsText(), QString());
    EXPECT_EQ(form->ResultsBox()->toPlainText(), QString());

    // After "Clear" a report starts at the top, with no blank line before it.
    form->AppendReport(QStringLiteral("d\r\n"));
    EXPECT_EQ(form->ResultsBox()->toPlainText(), QStringLiteral("d\n"));

    // A line end split across two reports is still one line end on screen.
    form->SetResultsText(QString());
    form->AppendReport(QStringLiteral("e\r"));
    form->AppendReport(QStringLiteral("\nf"));
    EXPECT_EQ(form->ResultsText(), QStringLiteral("e\r\nf"));
    EXPECT_EQ(form->ResultsBox()->toPlainText(), QStringLiteral("e\nf"));
}

TEST(FormBase, OneTabStopValueSetsARegularDistanceInDialogUnits)
{
    auto form = MakeProbe();
    form->SetTabStops({40});
    const qreal charWidth = QFontMetrics(form->ResultsBox()->font()).averageCharWidth();
    // 40 dialog units = 10 average character widths.
    EXPECT_DOUBLE_EQ(form->ResultsBox()->tabStopDistance(), charWidth * 10);
}

TEST(FormBase, ExitAsksToCloseAndClosesTheSubWindow)
{
    QMdiArea area;
    auto* form = new CProbeForm;
    form->OnInitialUpdate();
    QMdiSubWindow* frame = area.addSubWindow(form);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    area.show();
    frame->show();
    QSignalSpy spy(form, &CVKFormView::ExitRequested);
    form->Button(2)->click();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_FALSE(frame->isVisible());

    // Headless and without a frame it only asks.
    auto lone = MakeProbe();
    QSignalSpy loneSpy(lone.get(), &CVKFormView::ExitRequested);
    EXPECT_TRUE(lone->OnCommand(2));
    EXPECT_EQ(loneSpy.count(), 1);
}

TEST(FormBase, EnterMovesTheFocusToTheNextFieldOnlyWhenTheFormSaysSo)
{
    auto form = MakeProbe(true);
    ShowActive(form.get());
    form->Field(1201)->setFocus();
    QTest::keyClick(form->Field(1201), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->Field(1202));
    QTest::keyClick(form->Field(1202), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), form->Field(1203));

    // A disabled field is skipped.
    form->Field(1202)->setFocus();
    form->EnableControl(1203, false);
    QTest::keyClick(form->Field(1202), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->Control(1210));

    auto still = MakeProbe(false);
    ShowActive(still.get());
    still->Field(1201)->setFocus();
    QTest::keyClick(still->Field(1201), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), still->Field(1201));
}

TEST(FormBase, FocusMakesTheFormActiveAndDestructionForgetsIt)
{
    CTabsProbe tabs;
    CVKFormView::SetFormTabs(&tabs);
    {
        auto first = MakeProbe();
        auto second = MakeProbe();
        ShowActive(first.get());
        first->Field(1202)->setFocus();
        EXPECT_EQ(CVKFormView::ActiveForm(), first.get());
        EXPECT_EQ(CVKFormView::ActiveFormKey(), QStringLiteral("Probe"));
        ASSERT_FALSE(tabs.m_Selected.empty());
        EXPECT_EQ(tabs.m_Selected.back(), first.get());

        ShowActive(second.get());
        second->setFocus();
        EXPECT_EQ(CVKFormView::ActiveForm(), second.get());
        EXPECT_EQ(tabs.m_Selected.back(), second.get());
        EXPECT_TRUE(second->isAncestorOf(QApplication::focusWidget()))
            << "the form passes the focus on to a control";

        CVKFormView* removed = second.get();
        second.reset();
        EXPECT_EQ(CVKFormView::ActiveForm(), nullptr);
        EXPECT_EQ(CVKFormView::ActiveFormKey(), QString());
        ASSERT_FALSE(tabs.m_Removed.empty());
        EXPECT_EQ(tabs.m_Removed.back(), removed);
    }
    CVKFormView::SetFormTabs(nullptr);
    CVKFormView::SetActiveForm(nullptr);
}

TEST(FormBase, CopyActsOnTheFocusedTextAndPasteOnTheFocusedFieldOnly)
{
    auto form = MakeProbe();
    ShowActive(form.get());
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("unchanged"));

    form->Button(1211)->setFocus();
    EXPECT_FALSE(CVKFormView::Copy());
    EXPECT_FALSE(CVKFormView::Paste());
    EXPECT_EQ(clipboard->text(), QStringLiteral("unchanged"));

    // The results box copies its selection; nothing is pasted into it.
    form->AppendReport(QStringLiteral("Cap min: 12pF\r\n"));
    form->ResultsBox()->setFocus();
    form->ResultsBox()->selectAll();
    EXPECT_TRUE(CVKFormView::Copy());
    EXPECT_EQ(clipboard->text(), QStringLiteral("Cap min: 12pF\n"));
    EXPECT_FALSE(CVKFormView::Paste());
    EXPECT_EQ(form->ResultsText(), QStringLiteral("Cap min: 12pF\r\n"));

    form->Field(1201)->setFocus();
    form->Field(1201)->selectAll();
    const QString copied = form->Field(1201)->text();
    EXPECT_TRUE(CVKFormView::Copy());
    EXPECT_EQ(clipboard->text(), copied);

    form->Field(1203)->setFocus();
    EXPECT_TRUE(CVKFormView::Paste());
    EXPECT_EQ(form->Field(1203)->text(), copied);
}

TEST(FormBase, CtrlZAndEditUndoGiveAFieldItsTextBack)
{
    auto form = MakeProbe();
    ShowActive(form.get());
    CVKEdit* field = form->Field(CProbeForm::IdFirst);
    field->setFocus();
    const QString before = field->text();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("7.5"));
    ASSERT_EQ(field->text(), QStringLiteral("7.5"));

    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), before);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(field->text(), QStringLiteral("7.5")) << "redo";

    // Edit > Undo: the focused field undoes; with the focus on a button nothing happens.
    EXPECT_TRUE(CVKFormView::Undo());
    EXPECT_EQ(field->text(), before);
    form->Button(CProbeForm::IdRadioA)->setFocus();
    const QString shown = field->text(); // as losing the focus formats it
    EXPECT_FALSE(CVKFormView::Undo());
    EXPECT_EQ(field->text(), shown);
}
