// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/FormFactory.h"
#include "controls/VKEdit.h"
#include "controls/VKUtils.h"
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"
#include "tests/forms/ProbeForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
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
    const std::vector<int> expected = {1201, 1202, 1203, 1210, 1211, 1212, 1220, 1221,
                                       1230, 1196, 1001, 3,    4,    1010, 2};
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

TEST(FormBase, ABindingTableStopsAtTheFirstRequiredFieldThatFailsLeavingLaterMembersAlone)
{
    auto form = MakeProbe();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    using P = CProbeForm;
    struct CValues
    {
        double m_A = -1, m_B = -1, m_C = -1;
    };
    // First is in mm and goes to its member in metres; Third takes any number.
    static const CFieldBinding<CValues> required[] = {
        {P::IdThird, &CValues::m_A}, {P::IdFirst, &CValues::m_B}, {P::IdThird, &CValues::m_C}};
    static const CFieldBinding<CValues> ifValid[] = {
        {P::IdThird, &CValues::m_A},
        {P::IdFirst, &CValues::m_B, EFieldRead::IfValid},
        {P::IdThird, &CValues::m_C}};
    static const CFieldBinding<CValues> always[] = {{P::IdFirst, &CValues::m_B, EFieldRead::Always},
                                                    {P::IdThird, &CValues::m_C}};
    const struct
    {
        const CFieldBinding<CValues>* m_Table;
        std::size_t m_Count;
        const char* m_First;
        bool m_Read;
        CValues m_Expected;
    } cases[] = {
        {required, 3, "25", true, {7, 0.025, 7}},
        {required, 3, "150", false, {7, -1, -1}},
        {ifValid, 3, "150", true, {7, -1, 7}},
        {always, 2, "150", true, {-1, 0.15, 7}},
    };
    // The refusing field says why, once, whether or not the reading goes on.
    const std::string refused = "Error: First must be between 1.000000 and 99.000000!";
    for (const auto& c : cases)
    {
        form->Field(P::IdThird)->SetWindowText(QStringLiteral("7"));
        form->Field(P::IdFirst)->SetWindowText(QString::fromLatin1(c.m_First));
        messages.m_Messages.clear();
        CValues values;
        EXPECT_EQ(form->ReadFields(values, c.m_Table, c.m_Count), c.m_Read) << c.m_First;
        EXPECT_EQ(values.m_A, c.m_Expected.m_A) << c.m_First;
        EXPECT_DOUBLE_EQ(values.m_B, c.m_Expected.m_B) << c.m_First;
        EXPECT_EQ(values.m_C, c.m_Expected.m_C) << c.m_First;
        const bool valid = std::string(c.m_First) == "25";
        ASSERT_EQ(messages.m_Messages.size(), valid ? 0u : 1u) << c.m_First;
        if (!valid)
        {
            EXPECT_EQ(messages.m_Messages[0].text, refused);
        }
    }
}

TEST(FormBase, AnEnableRuleSetsItsControlsAndLeavesTheOthersAppliedTwiceAlike)
{
    auto form = MakeProbe();
    using P = CProbeForm;
    static const CEnableRule rules[] = {
        {P::IdRadioA, {P::IdFirst}, {P::IdSecond, P::IdOtherB}},
        {P::IdRadioB, {P::IdSecond, P::IdOtherB}, {P::IdFirst}},
    };
    const auto states = [&]
    {
        std::vector<bool> enabled;
        for (QWidget* control : form->Controls())
            enabled.push_back(control->isEnabled());
        return enabled;
    };
    form->EnableControl(P::IdThird, false);
    for (int mode : {P::IdRadioB, P::IdRadioA, P::IdRadioB})
    {
        form->ApplyEnableRule(rules, mode);
        const std::vector<bool> once = states();
        form->ApplyEnableRule(rules, mode);
        EXPECT_EQ(states(), once) << mode;
        const bool b = mode == P::IdRadioB;
        EXPECT_EQ(form->Control(P::IdFirst)->isEnabled(), !b);
        EXPECT_EQ(form->Control(P::IdSecond)->isEnabled(), b);
        EXPECT_EQ(form->Control(P::IdOtherB)->isEnabled(), b);
        EXPECT_FALSE(form->Control(P::IdThird)->isEnabled()) << "in no rule: left as it was";
    }
    const std::vector<bool> before = states();
    form->ApplyEnableRule(rules, P::IdCheck);
    EXPECT_EQ(states(), before) << "a mode without a rule changes nothing";
}

TEST(FormBase, FieldChecksRefuseTheFirstValueOutsideItsCalculationNamingTheField)
{
    auto form = MakeProbe();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    using P = CProbeForm;
    static const CFieldCheck checks[] = {
        {P::IdThird, EFieldCondition::NotZero, "must not be zero for this calculation"},
        {P::IdFirst, EFieldCondition::AtLeast, "must be at least 20 here", 0, 20.0},
        {P::IdSecond, EFieldCondition::DiffersFrom, "must differ from %s here", P::IdFirst},
        {P::IdFirst, EFieldCondition::Above, "must be greater than %s here", P::IdSecond},
    };
    // (text of Third, First, Second) and the message, empty when every check holds. Third is
    // unchecked and empty at set-up: it reads as 0, and a file may give it a negative value.
    const struct
    {
        const char* m_Third;
        const char* m_First;
        const char* m_Second;
        std::string m_Message;
    } cases[] = {
        {"", "12.5", "3", "Error: Third must not be zero for this calculation"},
        {"-5", "12.5", "3", "Error: First (mm) must be at least 20 here"},
        {"-5", "20", "20", "Error: Second must differ from First (mm) here"},
        {"-5", "20", "30", "Error: First (mm) must be greater than Second here"},
        {"-5", "20", "3", ""},
    };
    for (const auto& c : cases)
    {
        form->Field(P::IdThird)->SetWindowText(QString::fromLatin1(c.m_Third));
        form->Field(P::IdFirst)->SetWindowText(QString::fromLatin1(c.m_First));
        form->Field(P::IdSecond)->SetWindowText(QString::fromLatin1(c.m_Second));
        messages.m_Messages.clear();
        EXPECT_EQ(form->CheckFields(checks), c.m_Message.empty()) << c.m_Message;
        ASSERT_EQ(messages.m_Messages.size(), c.m_Message.empty() ? 0u : 1u) << c.m_Message;
        if (!c.m_Message.empty())
        {
            EXPECT_EQ(messages.m_Messages[0].title, "Error");
            EXPECT_EQ(messages.m_Messages[0].text, c.m_Message);
        }
    }
}

TEST(FormBase, AFieldIsNamedByItsDesignLabelOrByItsFieldNameWhereTheLabelIsShared)
{
    std::unique_ptr<CVKFormView> coil = CreateForm(QStringLiteral("Coil"));
    // "Conductor diameter (mm)" labels both the wire and the litz strand.
    EXPECT_EQ(coil->FieldCaption(1201), QStringLiteral("Conductor diameter"));
    EXPECT_EQ(coil->FieldCaption(1206), QStringLiteral("litz wire diameter"));
    EXPECT_EQ(coil->FieldCaption(1218), QStringLiteral("Extra Cricuit Self Capacitance (pF)"));
    std::unique_ptr<CVKFormView> radio = CreateForm(QStringLiteral("CrystalRadio"));
    EXPECT_EQ(radio->FieldCaption(1253), QStringLiteral("Eaphone capacitance (pF)"));
    EXPECT_EQ(radio->FieldCaption(1263), QStringLiteral("power a"));
    EXPECT_EQ(coil->FieldCaption(3), QString()) << "a button is no field";
    // The messages keep the design's words; the window shows them mended.
    for (const QLabel* label : radio->findChildren<QLabel*>())
    {
        if (label->buddy() == radio->Field(1253))
        {
            EXPECT_EQ(label->text(), QStringLiteral("Earphone capacitance (pF)"));
        }
    }
}

TEST(FormBase, AReportWithANumberThatIsNotFiniteIsNotAppendedButSaysSo)
{
    auto form = MakeProbe();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    // As FormatNumber, CComplex and CComponant::Label print such values, and words that only
    // contain the letters.
    const std::pair<const char*, bool> reports[] = {
        {"1.00 \tnan \r\n", false},
        {"-inf\r\n", false},
        {"0.00 + jinf\r\n", false},
        {"(inf <90.00)\r\n", false},
        {"Cnan \r\n", false},
        {"infpF\r\n", false},
        {"Resonant frequency: 1.00 \r\n", true},
        {"L(resonance) \tCap(resonance) \r\n", true},
    };
    QString shown;
    for (const auto& [report, appended] : reports)
    {
        messages.m_Messages.clear();
        form->AppendReport(QString::fromLatin1(report));
        if (appended)
            shown += QString::fromLatin1(report);
        EXPECT_EQ(form->ResultsText(), shown) << report;
        ASSERT_EQ(messages.m_Messages.size(), appended ? 0u : 1u) << report;
        if (!appended)
        {
            EXPECT_EQ(messages.m_Messages[0].text, CVKFormView::NonFiniteMessage());
        }
    }
}

TEST(FormBase, CtrlAThenTypingReplacesAndUndoRedoGiveTextsBack)
{
    auto form = MakeProbe();
    ShowActive(form.get());
    CVKEdit* field = form->Field(CProbeForm::IdFirst);
    field->setFocus();
    const QString before = field->text();
    // Ctrl+A selects the whole field, and what is typed replaces it.
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field->selectedText(), before);
    QTest::keyClicks(field, QStringLiteral("7.5"));
    ASSERT_EQ(field->text(), QStringLiteral("7.5"));

    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), before);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(field->text(), QStringLiteral("7.5")) << "redo";

    // Edit > Undo and Redo: the focused field undoes; with the focus on a button nothing happens.
    EXPECT_TRUE(CVKFormView::Undo());
    EXPECT_EQ(field->text(), before);
    EXPECT_TRUE(CVKFormView::Redo());
    EXPECT_EQ(field->text(), QStringLiteral("7.5"));
    EXPECT_TRUE(CVKFormView::Undo());
    form->Button(CProbeForm::IdRadioA)->setFocus();
    const QString shown = field->text(); // as losing the focus formats it
    EXPECT_FALSE(CVKFormView::Undo());
    EXPECT_EQ(field->text(), shown);
}

TEST(FormBase, EveryFormsActionsAreAKeyAwayAndEveryFieldExplainsItself)
{
    for (const CFormEntry& entry : FormEntries())
    {
        const std::unique_ptr<CVKFormView> form = CreateForm(entry.m_Key);
        SCOPED_TRACE(entry.m_Key.toStdString());
        // A mnemonic on every action button, no letter twice nor one of the menu bar's.
        QString letters = QStringLiteral("fevwh");
        for (int id : {3, 4, 6, 7, int(CVKFormView::IdClear), int(CVKFormView::IdExit)})
            if (const QAbstractButton* button = form->Button(id))
            {
                const QString key = QKeySequence::mnemonic(button->text()).toString();
                ASSERT_FALSE(key.isEmpty()) << button->text().toStdString();
                const QChar letter = key.back().toLower();
                EXPECT_FALSE(letters.contains(letter)) << button->text().toStdString();
                letters += letter;
            }
        // Every field: its meaning, then its range in the user's format with its unit.
        for (QWidget* control : form->Controls())
        {
            const auto* field = dynamic_cast<const CVKEdit*>(control);
            const CFieldRow* row = field ? form->BuiltRow(CVKFormView::ControlId(field)) : nullptr;
            if (!row)
                continue;
            const QStringList tip = field->toolTip().split(QLatin1Char('\n'));
            ASSERT_GE(tip.size(), 2) << field->toolTip().toStdString();
            EXPECT_TRUE(tip[0].endsWith(QLatin1Char('.'))) << tip[0].toStdString();
            EXPECT_TRUE(tip[1].contains(QString::fromUtf8(row->m_Unit))) << tip[1].toStdString();
            if (row->m_Calls & FieldRealRange)
            {
                QString max;
                CVKUtils(NumberSettings())
                    .GetLocalNumberFormatedAsString(QString::number(row->m_Max, 'f', 6), 6, max);
                while (max.endsWith(QLatin1Char('0')))
                    max.chop(1);
                if (max.endsWith(NumberSettings().m_DecimalSeparator))
                    max.chop(NumberSettings().m_DecimalSeparator.size());
                EXPECT_TRUE(tip[1].contains(QStringLiteral(" to ") + max)) << tip[1].toStdString();
            }
            EXPECT_EQ(field->whatsThis(), field->toolTip());
            EXPECT_TRUE(field->statusTip().startsWith(tip[0]));
        }
    }

    // Ctrl+Return in a field runs the form's first action.
    const std::unique_ptr<CVKFormView> ferrite = CreateForm(QStringLiteral("Ferrite"));
    ShowActive(ferrite.get());
    ferrite->findChild<CVKEdit*>()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ferrite->Tables().size(), 1u);
}
