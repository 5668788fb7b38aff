// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace
{
const CVKNumberSettings kPoint = CVKNumberSettings::WithSeparators(".", ",");
const CVKNumberSettings kComma = CVKNumberSettings::WithSeparators(",", ".");

// The Coil form's inductance field: 9 integer places, 4 decimals, no negatives.
const CVKDigitRules kNineFour{9, 4, false, true};

bool Swallows(const QString& text, int selStart, int selEnd, int key,
              const CVKDigitRules& rules = kNineFour, const CVKNumberSettings& settings = kPoint,
              bool control = false)
{
    bool suppress = false;
    return CVKEdit::AllowNumbersOnly(text, selStart, selEnd, key, control, rules, settings,
                                     suppress);
}

class CEditTest : public ::testing::Test
{
protected:
    void SetUp() override { SetNumberSettings(kPoint); }
    void TearDown() override { SetNumberSettings(kPoint); }

    const CRecordingPresenter::CMessage& OnlyMessage() const
    {
        EXPECT_EQ(m_Presenter.m_Messages.size(), 1u);
        return m_Presenter.m_Messages.back();
    }

    static void Focus(QWidget* widget, QEvent::Type type)
    {
        QFocusEvent event(type, Qt::TabFocusReason);
        QApplication::sendEvent(widget, &event);
    }

    CRecordingPresenter m_Presenter;
    CScopedPresenter m_Scope{m_Presenter};
};

// Records the keys that reach it.
class CKeyRecorder : public QWidget
{
public:
    std::vector<int> m_Keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        m_Keys.push_back(event->key());
        event->accept();
    }
};
} // namespace

TEST(KeystrokeFilter, DigitsWithinTheIntegerAndDecimalPlaces)
{
    EXPECT_FALSE(Swallows("", 0, 0, '5'));
    EXPECT_FALSE(Swallows("12345678", 8, 8, '9'));
    EXPECT_TRUE(Swallows("123456789", 9, 9, '0'));    // the tenth integer digit
    EXPECT_TRUE(Swallows("123456789", 9, 9, 96));     // keypad 0 likewise
    EXPECT_TRUE(Swallows("123456789.12", 3, 3, '1')); // in front of the point
    EXPECT_FALSE(Swallows("12345678.12", 3, 3, '1'));
    EXPECT_FALSE(Swallows("1.123", 5, 5, '4'));
    EXPECT_TRUE(Swallows("1.1234", 6, 6, '5')); // the fifth decimal
    // A selection that covers digits can always be overtyped.
    EXPECT_FALSE(Swallows("123456789", 0, 1, '7'));
    EXPECT_FALSE(Swallows("1.1234", 5, 6, '7'));
    // A sign does not count as an integer place.
    const CVKDigitRules signedThree{3, 2, true, true};
    EXPECT_FALSE(Swallows("-12", 3, 3, '3', signedThree));
    EXPECT_TRUE(Swallows("-123", 4, 4, '4', signedThree));
    EXPECT_TRUE(Swallows("-12", 0, 0, '4', signedThree)); // nothing in front of the sign
}

// Keys that the place counts alone let through, though the text after them has more places
// than the field: each is refused, while the keys that keep a number within them still pass.
TEST(KeystrokeFilter, NoKeyTakesANumberPastTheFieldsPlaces)
{
    const CVKDigitRules sixOne{6, 1, false, true};
    const CVKDigitRules twoTwo{2, 2, true, true};
    const struct
    {
        const char* text;
        int selStart, selEnd, key;
        const CVKDigitRules& rules;
        const CVKNumberSettings& settings;
        bool refused;
    } cases[] = {
        {"01", 0, 0, 188, sixOne, kComma, true},     // ",01": two decimals
        {"123", 1, 1, 190, sixOne, kPoint, true},    // "1.23"
        {"12.34", 1, 4, '9', twoTwo, kPoint, true},  // "194": three integer digits
        {"-12", 0, 1, '3', twoTwo, kPoint, true},    // "312"
        {"12.5", 2, 3, '7', twoTwo, kPoint, true},   // "1275"
        {"123", 2, 2, 190, sixOne, kPoint, false},   // "12.3"
        {"12.34", 0, 4, '9', twoTwo, kPoint, false}, // "94"
        {"abc", 0, 1, '5', twoTwo, kPoint, false},   // no number before: still mendable
    };
    for (const auto& c : cases)
        EXPECT_EQ(Swallows(c.text, c.selStart, c.selEnd, c.key, c.rules, c.settings), c.refused)
            << c.text << " key " << c.key;
}

TEST(KeystrokeFilter, DecimalSeparator)
{
    EXPECT_FALSE(Swallows("12", 2, 2, 190));
    EXPECT_FALSE(Swallows("12", 2, 2, 110));
    EXPECT_TRUE(Swallows("12", 2, 2, 188));   // "," is no decimal key here
    EXPECT_TRUE(Swallows("12.5", 4, 4, 190)); // a second separator
    EXPECT_TRUE(Swallows(".5", 0, 0, 190));
    EXPECT_FALSE(Swallows("12.5", 2, 3, 190)); // the selection covers the separator
    EXPECT_FALSE(Swallows("12.5", 0, 4, 190));
    EXPECT_TRUE(Swallows("12.5", 0, 2, 190));
    EXPECT_TRUE(Swallows("12", 2, 2, 190, CVKDigitRules{9, 0, false, false}));
    EXPECT_TRUE(Swallows("12", 2, 2, 190, CVKDigitRules{9, 2, false, false}));
}

TEST(KeystrokeFilter, DecimalCommaLocale)
{
    EXPECT_TRUE(Swallows("12", 2, 2, 110, kNineFour, kComma)); // keypad decimal point
    EXPECT_TRUE(Swallows("12", 2, 2, 190, kNineFour, kComma));
    EXPECT_FALSE(Swallows("12", 2, 2, 188, kNineFour, kComma));
    EXPECT_FALSE(Swallows("12", 2, 2, 108, kNineFour, kComma));
    EXPECT_TRUE(Swallows("1,1234", 6, 6, '5', kNineFour, kComma));
    EXPECT_TRUE(Swallows("12,5", 4, 4, 188, kNineFour, kComma));
}

TEST(KeystrokeFilter, Minus)
{
    const CVKDigitRules negative{6, 2, true, true};
    EXPECT_TRUE(Swallows("", 0, 0, 189)); // negatives not allowed
    EXPECT_FALSE(Swallows("", 0, 0, 189, negative));
    EXPECT_FALSE(Swallows("12", 0, 0, 109, negative));
    EXPECT_TRUE(Swallows("12", 1, 1, 189, negative));
    EXPECT_TRUE(Swallows("-12", 0, 0, 189, negative));
    EXPECT_FALSE(Swallows("-12", 0, 1, 189, negative));
}

TEST(KeystrokeFilter, OtherKeys)
{
    for (int key : {65, 90, 32, 0, 106, 107, 111, 187, 191, 222, 255})
        EXPECT_TRUE(Swallows("12", 2, 2, key)) << key;
    for (int key : {9, 13, 27, 33, 36, 37, 39, 40, 45, 16, 17, 112, 135, 144, 229})
        EXPECT_FALSE(Swallows("12", 2, 2, key)) << key;
    EXPECT_FALSE(Swallows("12", 2, 2, 'C', kNineFour, kPoint, true));
    EXPECT_FALSE(Swallows("12", 2, 2, 'V', kNineFour, kPoint, true));
    EXPECT_TRUE(Swallows("12", 2, 2, 'A', kNineFour, kPoint, true));
}

TEST(KeystrokeFilter, BackspaceAndDeleteMayNotJoinTooManyDigits)
{
    const CVKDigitRules four{4, 4, true, true};
    bool suppress = false;
    // Removing the point of "1234.5678" would leave 8 integer digits.
    EXPECT_TRUE(CVKEdit::AllowNumbersOnly("1234.5678", 5, 5, 8, false, four, kPoint, suppress));
    EXPECT_TRUE(suppress);
    suppress = false;
    EXPECT_TRUE(CVKEdit::AllowNumbersOnly("1234.5678", 4, 4, 46, false, four, kPoint, suppress));
    EXPECT_TRUE(CVKEdit::AllowNumbersOnly("1234.5678", 3, 6, 46, false, four, kPoint, suppress));
    suppress = false;
    EXPECT_FALSE(CVKEdit::AllowNumbersOnly("12.5", 3, 3, 8, false, four, kPoint, suppress));
    EXPECT_FALSE(CVKEdit::AllowNumbersOnly("-1234.", 6, 6, 8, false, four, kPoint, suppress));
    EXPECT_FALSE(CVKEdit::AllowNumbersOnly("1234.5678", 9, 9, 8, false, four, kPoint, suppress));
    EXPECT_FALSE(CVKEdit::AllowNumbersOnly("1234.5678", 4, 9, 46, false, four, kPoint, suppress));
    EXPECT_FALSE(suppress);
}

TEST_F(CEditTest, ConstructorsAndSetUpCalls)
{
    CVKEdit plain;
    EXPECT_TRUE(plain.NumericMode());
    EXPECT_FALSE(plain.DateMode());
    EXPECT_FALSE(plain.RangeCheck());
    EXPECT_TRUE(plain.AllowNegative());
    EXPECT_TRUE(plain.BlankAllowed());
    EXPECT_TRUE(plain.DisplayGrouping());
    EXPECT_TRUE(plain.DecimalsAllowed());
    EXPECT_EQ(plain.IntegerPlaces(), 6);
    EXPECT_EQ(plain.DecimalPlaces(), 6);
    EXPECT_EQ(plain.FieldName(), "value");

    CVKEdit whole(9, 0, false);
    EXPECT_FALSE(whole.DecimalsAllowed());
    whole.SetNumberValidation(1.0f, 5.5f, "Turns");
    EXPECT_TRUE(whole.DecimalsAllowed());
    EXPECT_TRUE(whole.RangeCheck());
    EXPECT_FALSE(whole.BlankAllowed());
    EXPECT_EQ(whole.RealMax(), 5.5);
    whole.SetNumberValidation(1, 100, "Turns");
    EXPECT_FALSE(whole.DecimalsAllowed());
    EXPECT_EQ(whole.IntMax(), 100);
    whole.SetDigitRange(3, 2, true, true, "Loss");
    EXPECT_TRUE(whole.BlankAllowed());
    EXPECT_EQ(whole.FieldName(), "Loss");
    EXPECT_TRUE(whole.AllowNegative());
}

TEST_F(CEditTest, ValidateRealRange)
{
    // The Coil form's first field.
    CVKEdit edit;
    edit.SetDigitRange(9, 3, false);
    edit.SetNumberValidation(0.001, 999999999.99, "Given inductance");
    edit.SetWindowText("300");
    double value = 0.0;
    EXPECT_TRUE(edit.ValidateInput(value));
    EXPECT_EQ(value, 300.0);
    EXPECT_TRUE(m_Presenter.m_Messages.empty());

    edit.SetWindowText("0");
    value = 7.0;
    EXPECT_FALSE(edit.ValidateInput(value));
    EXPECT_EQ(value, 0.0); // written before the check
    const auto& message = OnlyMessage();
    EXPECT_EQ(message.title, "Error");
    EXPECT_EQ(message.icon, EMessageIcon::Error);
    EXPECT_EQ(message.text,
              "Error: Given inductance must be between 0.001000 and 999999999.990000!");
}

TEST_F(CEditTest, ValidateWholeRange)
{
    CVKEdit edit;
    edit.SetDigitRange(4, 0, false);
    edit.SetNumberValidation(1, 100, "Number of turns");
    edit.SetWindowText("1,250");
    int value = 0;
    EXPECT_FALSE(edit.ValidateInput(value));
    EXPECT_EQ(value, 1250);
    EXPECT_EQ(OnlyMessage().text, "Error: Number of turns must be between 1 and 100!");

    edit.SetWindowText("99999999999999"); // held at INT_MAX, not undefined
    EXPECT_FALSE(edit.ValidateInput(value));
    EXPECT_EQ(value, INT_MAX);
    edit.SetWindowText("100");
    EXPECT_TRUE(edit.ValidateInput(value));
}

TEST_F(CEditTest, BlankAndZero)
{
    CVKEdit open;
    open.SetDigitRange(6, 2, true); // no range, blanks allowed
    double value = 5.0;
    EXPECT_TRUE(open.ValidateInput(value));
    EXPECT_EQ(value, 0.0);

    CVKEdit strict;
    strict.SetDigitRange(6, 2, true, false, "value");
    EXPECT_FALSE(strict.ValidateInput(value));
    EXPECT_EQ(OnlyMessage().text, "Error: value should not be zero or blank!");
    int whole = 1;
    strict.SetWindowText("0.4");
    EXPECT_FALSE(strict.ValidateInput(whole)); // truncates to 0
    EXPECT_EQ(whole, 0);

    // With a range, an empty field reads as 0 and passes when 0 is in range.
    CVKEdit ranged;
    ranged.SetNumberValidation(-1.0, 1.0, "Offset");
    EXPECT_TRUE(ranged.ValidateInput(value));
    EXPECT_EQ(value, 0.0);
}

TEST_F(CEditTest, TypedKeysAreFiltered)
{
    CVKEdit edit(9, 4, false);
    QTest::keyClicks(&edit, "1234567890");
    EXPECT_EQ(edit.text(), "123456789");
    QTest::keyClicks(&edit, "x .-12345e");
    EXPECT_EQ(edit.text(), "123456789.1234");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, "!+");
    EXPECT_EQ(edit.text(), "123456789.1234");
    edit.selectAll();
    QTest::keyClicks(&edit, "7");
    EXPECT_EQ(edit.text(), "7");
    double value = 0.0;
    edit.ValidateInput(value);
    EXPECT_EQ(value, 7.0);
}

TEST_F(CEditTest, TypedKeysOnADecimalCommaLocale)
{
    SetNumberSettings(kComma);
    CVKEdit edit(6, 2, true);
    QTest::keyClicks(&edit, "-12");
    QTest::keyClick(&edit, Qt::Key_Period, Qt::KeypadModifier); // keypad decimal: refused
    QTest::keyClick(&edit, Qt::Key_Period);
    EXPECT_EQ(edit.text(), "-12");
    QTest::keyClicks(&edit, ",505");
    EXPECT_EQ(edit.text(), "-12,50");
    double value = 0.0;
    edit.ValidateInput(value);
    EXPECT_EQ(value, -12.5);
}

TEST_F(CEditTest, FocusOutGroupsAndFocusInStrips)
{
    CVKEdit edit(9, 2, false);
    edit.SetWindowText("1234567.5");
    Focus(&edit, QEvent::FocusOut);
    EXPECT_EQ(edit.text(), "1,234,567.50");
    Focus(&edit, QEvent::FocusIn);
    EXPECT_EQ(edit.text(), "1234567.50");

    edit.SetWindowText("  ");
    Focus(&edit, QEvent::FocusOut);
    EXPECT_EQ(edit.text(), "  "); // nothing to format

    edit.SetDisplayGrouping(false);
    edit.SetWindowText("1234");
    Focus(&edit, QEvent::FocusOut);
    EXPECT_EQ(edit.text(), "1234");
    EXPECT_TRUE(m_Presenter.m_Messages.empty());
}

TEST_F(CEditTest, FocusOutOnADecimalCommaLocale)
{
    SetNumberSettings(kComma);
    CVKEdit edit(9, 3, false);
    edit.SetWindowText("1234,5");
    Focus(&edit, QEvent::FocusOut);
    EXPECT_EQ(edit.text(), "1.234,500");
    Focus(&edit, QEvent::FocusIn);
    EXPECT_EQ(edit.text(), "1234,500");
}

TEST_F(CEditTest, FocusOutLeavesWhatIsNotANumberWithoutAWord)
{
    // A message box here would take the click that moved the focus.
    CVKEdit edit(6, 2, true);
    for (const char* text : {"-", "abc", "1.2.3", "12,34"})
    {
        edit.SetWindowText(text);
        Focus(&edit, QEvent::FocusOut);
        EXPECT_EQ(edit.text(), text);
    }
    EXPECT_TRUE(m_Presenter.m_Messages.empty());
}

TEST_F(CEditTest, NavigationKeysReachTheParent)
{
    CKeyRecorder form;
    auto* edit = new CVKEdit(6, 2, false, &form);
    edit->SetWindowText("12");
    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(edit, Qt::Key_F1);
    QTest::keyClick(edit, Qt::Key_Home); // the field moves its caret and the form hears of it
    EXPECT_EQ(edit->cursorPosition(), 0);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_5);
    EXPECT_EQ(form.m_Keys,
              (std::vector<int>{Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1, Qt::Key_Home}));
    EXPECT_EQ(edit->text(), "152");
}

TEST_F(CEditTest, TabStillMovesTheFocus)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* first = new CVKEdit(&form);
    auto* second = new CVKEdit(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    ASSERT_TRUE(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(second->hasFocus());
}

TEST_F(CEditTest, NumberAccess)
{
    CVKEdit edit(9, 2, true);
    edit.SetNumber(-1234.5);
    EXPECT_EQ(edit.text(), "-1,234.50");
    EXPECT_EQ(edit.GetDouble(), -1234.5);
    EXPECT_EQ(edit.GetInt(), -1234);
    edit.SetNumber(42);
    EXPECT_EQ(edit.text(), "42.00");
    EXPECT_EQ(edit.GetFloat(), 42.0f);
}

TEST_F(CEditTest, TextAndDateModes)
{
    CVKEdit edit;
    edit.SetTextValidation(false, "Name");
    QString text;
    EXPECT_FALSE(edit.ValidateInput(text));
    EXPECT_EQ(OnlyMessage().text, "Error: Name should not be zero or blank!");
    QTest::keyClicks(&edit, "ab c");
    EXPECT_EQ(edit.text(), "ab c"); // no number filter

    edit.SetDateValidation("Date");
    edit.SetDate(QDate(1969, 12, 31));
    EXPECT_FALSE(edit.IsValidDate());
    EXPECT_EQ(m_Presenter.m_Messages.back().text, "Invalid input  - if the field is a date the "
                                                  "date must be greater than January 1st, 1970! ");
    edit.SetDate(QDate(2001, 3, 4));
    EXPECT_TRUE(edit.ValidateInput(text));
    EXPECT_EQ(text, "3/4/2001");
}

TEST_F(CEditTest, TextThatIsNotANumberIsRefusedBeforeTheRange)
{
    CVKEdit edit;
    edit.SetDigitRange(9, 2, false);
    edit.SetNumberValidation(0.0, 100000.0, "Resistance");
    const struct
    {
        const char* m_Text;
        bool m_Accepted;
    } cases[] = {{"1e3", false},    {"abc", false}, {"1.5e3", false}, {"12,34", false},
                 {"1,234.5", true}, {" 7 ", true},  {"", true}};
    for (const auto& c : cases)
    {
        m_Presenter.m_Messages.clear();
        edit.SetWindowText(c.m_Text);
        double value = -1.0;
        EXPECT_EQ(edit.ValidateInput(value), c.m_Accepted) << c.m_Text;
        if (!c.m_Accepted)
        {
            EXPECT_EQ(OnlyMessage().text,
                      std::string("Error: Resistance is not a number: ") + c.m_Text);
        }
    }

    // A whole field would drop the fraction it shows.
    CVKEdit turns;
    turns.SetDigitRange(4, 0, false);
    turns.SetNumberValidation(1, 1000, "Turns");
    int whole = 0;
    turns.SetWindowText("12.5");
    m_Presenter.m_Messages.clear();
    EXPECT_FALSE(turns.ValidateInput(whole));
    EXPECT_EQ(OnlyMessage().text, "Error: Turns must be a whole number: 12.5");
    turns.SetWindowText("12.0");
    EXPECT_TRUE(turns.ValidateInput(whole));
    EXPECT_EQ(whole, 12);
}

TEST_F(CEditTest, ARangesOwnEndsCanBeEntered)
{
    // Single-precision quotients of the typed text compared with single-precision bounds.
    const struct
    {
        double m_Min, m_Max;
        const char* m_Text;
        bool m_Accepted;
    } cases[] = {
        {0.001, 9999.999, "9999.999", true}, {0.001, 9999.999, "0.001", true},
        {0.1, 999.9, "999.9", true},         {0.1, 999.9, "1,000", false},
        {0.1, 999.9, "0.09", false},         {0.001, 9999.999, "9999.9991", true},
    };
    for (const auto& c : cases)
    {
        CVKEdit edit;
        edit.SetDigitRange(4, 4, false);
        edit.SetNumberValidation(c.m_Min, c.m_Max, "Coil 1 diameter");
        edit.SetWindowText(c.m_Text);
        double value = 0.0;
        EXPECT_EQ(edit.ValidateInput(value), c.m_Accepted) << c.m_Text;
    }
}

TEST_F(CEditTest, ARefusedFieldTakesTheFocusWithItsTextSelected)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new CVKEdit(&window);
    auto* field = new CVKEdit(&window);
    layout->addWidget(other);
    layout->addWidget(field);
    field->SetNumberValidation(1.0, 10.0, "Turns");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    for (const char* text : {"20", "abc"})
    {
        field->SetWindowText(text);
        double value = 0.0;
        EXPECT_FALSE(field->ValidateInput(value));
        EXPECT_TRUE(field->hasFocus()) << text;
        EXPECT_EQ(field->selectedText(), text);
        other->setFocus();
    }
}

TEST_F(CEditTest, APasteIsAppliedOnlyWhenItLeavesATypeableNumber)
{
    const struct
    {
        const char* m_Before;
        const char* m_Clipboard;
        const char* m_After;
    } cases[] = {
        {"", "1e3", ""},      {"13", "abc", "13"},    {"", "1,234.56", "1,234.56"},
        {"", "-5", ""},       {"", "12.345", ""},     {"", "1234567890", ""},
        {"12", "3", "123"},   {"", "0.5", "0.5"},     {"7", " 8", "78"},
        {"", " 600 ", "600"}, {"", "600\r\n", "600"},
    };
    for (const auto& c : cases)
    {
        CVKEdit edit(9, 2, false); // 9 integer places, 2 decimals, no negatives
        edit.SetWindowText(c.m_Before);
        edit.end(false);
        QApplication::clipboard()->setText(c.m_Clipboard);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit.text(), c.m_After) << c.m_Clipboard;
        edit.SetWindowText(c.m_Before);
        edit.end(false);
        edit.PasteClipboard(); // the context menu's and the Edit menu's way
        EXPECT_EQ(edit.text(), c.m_After) << c.m_Clipboard;
    }
    // A refused paste says why in the status bar, and no box comes up.
    QMainWindow window;
    auto* edit = new CVKEdit(3, 2, false);
    window.setCentralWidget(edit);
    const struct
    {
        const char* m_Clipboard;
        const char* m_Why;
    } refusals[] = {
        {"1e3", "Only digits and one decimal separator: 1e3 refused"},
        {"-5", "No negative numbers here: -5 refused"},
        {"0.125", "At most 2 decimal places: 0.125 refused"},
        {"1234", "At most 3 digits before the decimal separator: 1234 refused"},
    };
    for (const auto& refusal : refusals)
    {
        edit->SetWindowText(QStringLiteral("12"));
        edit->selectAll();
        QApplication::clipboard()->setText(refusal.m_Clipboard);
        edit->PasteClipboard();
        EXPECT_EQ(edit->text(), QStringLiteral("12"));
        EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), refusal.m_Why);
    }
    // So does a refused key.
    edit->SetWindowText(QStringLiteral("12.50"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_7);
    EXPECT_EQ(window.statusBar()->currentMessage(),
              QStringLiteral("At most 2 decimal places: 7 refused"));
    // Typing is the keystroke filter's to decide, as before.
    CVKEdit typed(9, 2, false);
    QTest::keyClicks(&typed, "12.5");
    EXPECT_EQ(typed.text(), "12.5");
}
