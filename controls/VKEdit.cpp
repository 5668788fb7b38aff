// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDate>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QValidator>

#include <algorithm>
#include <functional>
#include <type_traits>

namespace
{
// Guards every change that does not come from a typed key (paste, drop, the middle button):
// it must leave a number the field could have been typed into.
class CPasteGuard : public QValidator
{
public:
    CPasteGuard(std::function<bool(const QString&)> accepts, QObject* parent)
        : QValidator(parent), m_Accepts(std::move(accepts))
    {
    }

    State validate(QString& input, int&) const override
    {
        return m_Accepts(input) ? Acceptable : Invalid;
    }

private:
    std::function<bool(const QString&)> m_Accepts;
};
} // namespace

CVKEdit::CVKEdit(QWidget* parent) : QLineEdit(parent)
{
    SetNumericMode(true);
}

CVKEdit::CVKEdit(int integerPlaces, int decimalPlaces, bool allowNegative, QWidget* parent)
    : QLineEdit(parent)
{
    SetNumericMode(true);
    m_Rules = {integerPlaces, decimalPlaces, allowNegative, decimalPlaces > 0};
}

void CVKEdit::SetNumericMode(bool on)
{
    m_NumericMode = on;
    // Composed input would slip past the keystroke filter.
    setAttribute(Qt::WA_InputMethodEnabled, !on);
    if (!on)
    {
        setValidator(nullptr);
        return;
    }
    if (!validator())
        setValidator(new CPasteGuard(
            [this](const QString& text) {
                return m_Typing || !m_NumericMode || CanHoldText(text, m_Rules, m_Utils.Settings());
            },
            this));
}

void CVKEdit::SetDigitRange(int integerPlaces, int decimalPlaces, bool allowNegative)
{
    SetNumericMode(true);
    m_DateMode = false;
    m_Rules = {integerPlaces, decimalPlaces, allowNegative, decimalPlaces > 0};
}

void CVKEdit::SetDigitRange(int integerPlaces, int decimalPlaces, bool allowNegative,
                            bool blankAllowed, const QString& fieldName)
{
    SetDigitRange(integerPlaces, decimalPlaces, allowNegative);
    m_BlankAllowed = blankAllowed;
    m_FieldName = fieldName;
}

void CVKEdit::SetRangeCheck(bool decimalsAllowed, const QString& fieldName)
{
    SetNumericMode(true);
    m_Rules.m_DecimalsAllowed = decimalsAllowed;
    m_DateMode = false;
    m_RangeCheck = true;
    m_BlankAllowed = false;
    m_FieldName = fieldName;
}

void CVKEdit::SetNumberValidation(double min, double max, const QString& fieldName)
{
    m_RealMin = min;
    m_RealMax = max;
    SetRangeCheck(true, fieldName);
}

void CVKEdit::SetNumberValidation(float min, float max, const QString& fieldName)
{
    SetNumberValidation(static_cast<double>(min), static_cast<double>(max), fieldName);
}

void CVKEdit::SetNumberValidation(int min, int max, const QString& fieldName)
{
    m_IntMin = min;
    m_IntMax = max;
    SetRangeCheck(false, fieldName);
}

void CVKEdit::Refused()
{
    // Back to the field that needs mending, its text ready to be overtyped.
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

bool CVKEdit::RefuseZeroOrBlank(bool zero)
{
    if (m_BlankAllowed || !zero)
        return false;
    CError::DisplayError(QString::asprintf("Error: %s should not be zero or blank!",
                                           m_FieldName.toUtf8().constData())
                             .toStdString());
    Refused();
    return true;
}

bool CVKEdit::RefuseNotANumber(bool whole)
{
    const QString shown = text();
    if (shown.trimmed().isEmpty())
        return false;
    QString plain;
    const bool number = m_Utils.IsWellFormedNumber(shown, &plain);
    // A whole field would drop the fraction it shows.
    bool fraction = false;
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    if (number && whole && point >= 0)
        for (QChar c : plain.mid(point + 1))
            fraction = fraction || c != QLatin1Char('0');
    if (number && !fraction)
        return false;
    // A number is quoted in the notation of the bounds and reports, the same in every locale.
    const QString message =
        fraction ? QStringLiteral("Error: %1 must be a whole number: %2")
                       .arg(m_FieldName, GetFixedText())
                 : QStringLiteral("Error: %1 is not a number: %2").arg(m_FieldName, shown);
    CError::DisplayError(message.toStdString());
    Refused();
    return true;
}

namespace
{
// The values are single-precision quotients: a bound counts in that same precision, so that
// a range's own ends can be entered.
bool InRange(double value, double min, double max)
{
    const float single = static_cast<float>(value);
    return static_cast<float>(min) <= single && single <= static_cast<float>(max);
}

bool InRange(int value, int min, int max)
{
    return min <= value && value <= max;
}
} // namespace

template <typename T> bool CVKEdit::ValidateNumber(T& value, T min, T max, const char* rangeMessage)
{
    m_Utils.ConvertStringToNumber(text(), value);
    if (RefuseNotANumber(std::is_integral_v<T>))
        return false;
    if (!m_RangeCheck)
        return !RefuseZeroOrBlank(value == T(0));
    if (InRange(value, min, max))
        return true;
    CError::DisplayError(
        QString::asprintf(rangeMessage, m_FieldName.toUtf8().constData(), min, max).toStdString());
    Refused();
    return false;
}

bool CVKEdit::ValidateInput(double& value)
{
    return ValidateNumber(value, m_RealMin, m_RealMax, "Error: %s must be between %f and %f!");
}

bool CVKEdit::ValidateInput(int& value)
{
    return ValidateNumber(value, m_IntMin, m_IntMax, "Error: %s must be between %d and %d!");
}

void CVKEdit::SetLocalNumberText(const QString& plainNumber)
{
    QString local = plainNumber;
    local.replace(QLatin1Char('.'), m_Utils.Settings().m_DecimalSeparator);
    setText(local);
    if (m_DisplayGrouping && !hasFocus())
        RegroupText();
}

void CVKEdit::SetFixedText(const QString& fixed)
{
    QString local;
    setText(m_Utils.GetLocalNumberFromFixed(fixed, local) ? local : fixed);
}

QString CVKEdit::GetFixedText() const
{
    QString fixed;
    return m_Utils.GetFixedNumberFromLocal(text(), fixed)
               ? fixed
               : m_Utils.GetStringNumberInFileFormat(text());
}

void CVKEdit::SetNumber(int value)
{
    SetLocalNumberText(QString::number(value));
}

void CVKEdit::SetNumber(float value)
{
    SetNumber(static_cast<double>(value));
}

void CVKEdit::SetNumber(double value)
{
    SetLocalNumberText(QString::number(value, 'f', qBound(0, m_Rules.m_DecimalPlaces, 9)));
}

int CVKEdit::GetInt() const
{
    int value = 0;
    m_Utils.ConvertStringToNumber(text(), value);
    return value;
}

float CVKEdit::GetFloat() const
{
    float value = 0.0f;
    m_Utils.ConvertStringToNumber(text(), value);
    return value;
}

double CVKEdit::GetDouble() const
{
    double value = 0.0;
    m_Utils.ConvertStringToNumber(text(), value);
    return value;
}

void CVKEdit::SetTextValidation(bool blankAllowed, const QString& fieldName)
{
    SetNumericMode(false);
    m_DateMode = false;
    m_RangeCheck = false;
    m_BlankAllowed = blankAllowed;
    m_FieldName = fieldName;
}

void CVKEdit::SetDateValidation(const QString& fieldName)
{
    SetNumericMode(false);
    m_DateMode = true;
    m_FieldName = fieldName;
}

void CVKEdit::SetDate(const QDate& date)
{
    setText(m_Utils.ConvertDateToFormatedString(date));
}

bool CVKEdit::ValidateInput(QString& value)
{
    value = text();
    if (RefuseZeroOrBlank(value.trimmed().isEmpty()))
        return false;
    return !m_DateMode || IsValidDate();
}

bool CVKEdit::IsValidDate()
{
    QDate date;
    if (m_Utils.ConvertStringToDate(text(), date) && date > QDate(1970, 1, 1))
        return true;
    CError::DisplayError("Invalid input  - if the field is a date the date must be greater "
                         "than January 1st, 1970! ");
    return false;
}

namespace
{
// The key classes of the keystroke filter, by virtual-key code.
bool IsClipboardShortcut(int key, bool controlDown)
{
    return controlDown && (key == 'C' || key == 'X' || key == 'V');
}

bool IsEraseKey(int key)
{
    return key == VkBack || key == VkDelete;
}

bool IsDigitKey(int key)
{
    return (key >= VkKey0 && key <= VkKey9) || (key >= VkNumpad0 && key <= VkNumpad9);
}

// The keys that can stand for a decimal separator in one locale or another.
bool IsSeparatorKey(int key)
{
    return key == CVKNumberSettings::KeySeparator || key == CVKNumberSettings::KeyDecimal ||
           key == CVKNumberSettings::KeyOemComma || key == CVKNumberSettings::KeyOemPeriod;
}

bool IsMinusKey(int key)
{
    return key == VkSubtract || key == VkOemMinus;
}

// Navigation, editing and function keys, which change no text of their own.
bool IsControlKey(int key)
{
    return (key < VkKeyA && key != 0 && key != VkSpace) || (key >= 91 && key <= 105) ||
           (key >= VkF1 && key <= 185) || (key >= 229 && key <= 254);
}
} // namespace

bool CVKEdit::RefusesErase(const QString& text, int selStart, int selEnd, bool backwards,
                           const CVKDigitRules& rules, const CVKNumberSettings& settings,
                           bool couldHold)
{
    const QString separator =
        settings.m_DecimalSeparator.isEmpty() ? QStringLiteral(".") : settings.m_DecimalSeparator;
    const int dp = static_cast<int>(text.indexOf(separator));
    if (dp < 0)
        return false;
    int from = selStart;
    int to = selEnd;
    if (selStart == selEnd)
    {
        from = backwards ? selStart - 1 : selStart;
        to = from + 1;
    }
    const bool removesSeparator =
        from >= 0 && to <= text.size() && from < dp + separator.size() && to > dp;
    if (!removesSeparator)
        return false;
    // Without the separator the decimals join the integer part.
    QString rest = text;
    rest.remove(from, to - from);
    const int restSign = static_cast<int>(rest.indexOf(QLatin1Char('-'))) + 1;
    return rest.size() > rules.m_IntegerPlaces + restSign ||
           (couldHold && !CanHoldText(rest, rules, settings));
}

bool CVKEdit::AllowNumbersOnly(const QString& text, int selStart, int selEnd, int virtualKey,
                               bool controlDown, const CVKDigitRules& rules,
                               const CVKNumberSettings& settings, bool& suppressNextKeyDown)
{
    if (selStart > selEnd)
        std::swap(selStart, selEnd);
    const QString separator =
        settings.m_DecimalSeparator.isEmpty() ? QStringLiteral(".") : settings.m_DecimalSeparator;
    const int length = static_cast<int>(text.size());
    const int dp = static_cast<int>(text.indexOf(separator));
    const int signPos = static_cast<int>(text.indexOf(QLatin1Char('-'))) + 1;
    const bool emptySelection = selStart == selEnd;
    // Nothing may be typed in front of a leading minus.
    const bool beforeSign = text.startsWith(QLatin1Char('-')) && selStart == 0 && selEnd == 0;

    if (IsClipboardShortcut(virtualKey, controlDown))
        return false;

    // Beyond the rules below, a key never turns a number the field can hold into one it
    // cannot: a separator typed in front of digits, or a digit over a selected separator or
    // sign, would otherwise give more places than the field has.
    const bool couldHold = CanHoldText(text, rules, settings);
    const auto refusesTyping = [&](const QString& typed)
    {
        QString after = text;
        after.replace(selStart, selEnd - selStart, typed);
        return couldHold && !CanHoldText(after, rules, settings);
    };

    if (IsEraseKey(virtualKey))
    {
        const bool refused =
            RefusesErase(text, selStart, selEnd, virtualKey == VkBack, rules, settings, couldHold);
        suppressNextKeyDown = suppressNextKeyDown || refused;
        return refused;
    }

    if (IsDigitKey(virtualKey))
    {
        const QChar typed(virtualKey >= VkNumpad0 ? '0' + virtualKey - VkNumpad0 : virtualKey);
        if (text.isEmpty() || !emptySelection)
            return refusesTyping(typed);
        if (beforeSign)
            return true;
        if (dp < 0)
            return length >= rules.m_IntegerPlaces + signPos || refusesTyping(typed);
        if (selStart <= dp)
            return dp >= rules.m_IntegerPlaces + signPos || refusesTyping(typed);
        return length - dp - separator.size() >= rules.m_DecimalPlaces || refusesTyping(typed);
    }

    if (IsSeparatorKey(virtualKey))
    {
        if (virtualKey != settings.m_DecimalKey1 && virtualKey != settings.m_DecimalKey2)
            return true;
        if (rules.m_DecimalPlaces < 1 || !rules.m_DecimalsAllowed || beforeSign)
            return true;
        if (dp < 0)
            return refusesTyping(separator);
        const bool coversSeparator = selStart <= dp && selEnd >= dp + separator.size();
        return !coversSeparator || refusesTyping(separator);
    }

    if (IsMinusKey(virtualKey))
    {
        if (!rules.m_AllowNegative)
            return true;
        if (text.isEmpty())
            return false;
        if (selStart != 0)
            return true;
        return (text.startsWith(QLatin1Char('-')) && emptySelection) ||
               refusesTyping(QStringLiteral("-"));
    }

    // Letters, punctuation and the space bar are swallowed.
    return !IsControlKey(virtualKey);
}

bool CVKEdit::IsTypeableNumber(const QString& text, const CVKDigitRules& rules,
                               const CVKNumberSettings& settings)
{
    QString body = text;
    if (body.startsWith(QLatin1Char('-')) ||
        (!settings.m_NegativeSign.isEmpty() && body.startsWith(settings.m_NegativeSign)))
    {
        if (!rules.m_AllowNegative)
            return false;
        body = body.mid(body.startsWith(QLatin1Char('-')) ? 1 : settings.m_NegativeSign.size());
    }
    // Blanks, a currency symbol or a second sign cannot be typed.
    if (body.isEmpty() || body != body.trimmed() || body.contains(QLatin1Char('-')) ||
        (!settings.m_CurrencySymbol.isEmpty() && body.contains(settings.m_CurrencySymbol)))
        return false;
    QString plain;
    if (!CVKUtils(settings).IsWellFormedNumber(body, &plain))
        return false;
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    const qsizetype integerDigits = point < 0 ? plain.size() : point;
    const qsizetype decimals = point < 0 ? 0 : plain.size() - point - 1;
    if (point >= 0 && (!rules.m_DecimalsAllowed || rules.m_DecimalPlaces < 1))
        return false;
    return integerDigits <= rules.m_IntegerPlaces && decimals <= rules.m_DecimalPlaces;
}

bool CVKEdit::CanHoldText(const QString& text, const CVKDigitRules& rules,
                          const CVKNumberSettings& settings)
{
    if (text.isEmpty())
        return true;
    // What may stand before the first digit is typed.
    const QString& separator = settings.m_DecimalSeparator;
    if (text == QLatin1String("-") || text == separator || text == QLatin1Char('-') + separator)
        return IsTypeableNumber(text + QLatin1Char('0'), rules, settings);
    return IsTypeableNumber(text, rules, settings);
}

bool CVKEdit::AllowNumbersOnly(int virtualKey, bool controlDown)
{
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    return AllowNumbersOnly(text(), start, end, virtualKey, controlDown, m_Rules,
                            m_Utils.Settings(), m_SuppressNextKeyDown);
}

void CVKEdit::keyPressEvent(QKeyEvent* event)
{
    // A key press here is the whole keystroke, so a refused Backspace or Delete has nothing
    // left to suppress: the flag only lasts until the next key.
    m_SuppressNextKeyDown = false;
    // Undo and redo give back texts that the field has held; selecting changes no text.
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        event->matches(QKeySequence::SelectAll))
    {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (m_NumericMode && event->matches(QKeySequence::Paste))
    {
        PasteClipboard();
        event->accept();
        return;
    }
    const int virtualKey = VirtualKeyFromQt(*event);
    if (m_NumericMode && virtualKey != VkNone &&
        AllowNumbersOnly(virtualKey, event->modifiers().testFlag(Qt::ControlModifier)))
    {
        const QString typed = event->text();
        if (IsEraseKey(virtualKey))
            ShowStatusMessage(this, QStringLiteral("At most %1 digits before the decimal "
                                                   "separator: removing it refused")
                                        .arg(m_Rules.m_IntegerPlaces));
        else if (!typed.isEmpty() && typed.at(0).isPrint())
            ShowStatusMessage(this,
                              RefusalReason(TextAfter(typed), typed, m_Rules, m_Utils.Settings()));
        event->accept();
        return;
    }
    // A typed key has passed the filter; a pasting key goes through the paste guard.
    m_Typing = !event->matches(QKeySequence::Paste);
    QLineEdit::keyPressEvent(event);
    m_Typing = false;
    if (IsParentNavigationKey(virtualKey, false))
        PassKeyToParent(this, event);
}

QString CVKEdit::TextAfter(const QString& typed) const
{
    QString after = text();
    if (hasSelectedText())
        after.replace(selectionStart(), selectedText().size(), typed);
    else
        after.insert(cursorPosition(), typed);
    return after;
}

void CVKEdit::PasteText(const QString& pasted)
{
    const QString trimmed = pasted.trimmed();
    if (!m_NumericMode)
    {
        insert(trimmed);
        return;
    }
    const QString after = TextAfter(trimmed);
    if (!CanHoldText(after, m_Rules, m_Utils.Settings()))
    {
        ShowStatusMessage(this, RefusalReason(after, trimmed, m_Rules, m_Utils.Settings()));
        return;
    }
    // Judged whole here: the paste guard lets it through as a typed key.
    m_Typing = true;
    insert(trimmed);
    m_Typing = false;
}

void CVKEdit::PasteClipboard()
{
    if (!isReadOnly())
        PasteText(QGuiApplication::clipboard()->text());
}

QString CVKEdit::RefusalReason(const QString& after, const QString& refused,
                               const CVKDigitRules& rules, const CVKNumberSettings& settings)
{
    QString reason = QStringLiteral("Only digits and one decimal separator");
    QString body = after;
    const bool negative = body.startsWith(QLatin1Char('-'));
    if (negative)
        body.remove(0, 1);
    if (!settings.m_ThousandsSeparator.isEmpty())
        body.remove(settings.m_ThousandsSeparator);
    const QString& separator = settings.m_DecimalSeparator;
    const bool onlyNumberCharacters = std::all_of(
        body.begin(), body.end(), [&](QChar c) { return c.isDigit() || separator.contains(c); });
    const qsizetype point = body.indexOf(separator);
    if (negative && !rules.m_AllowNegative)
        reason = QStringLiteral("No negative numbers here");
    else if (!onlyNumberCharacters || body.count(separator) > 1)
        ;
    else if (point >= 0 && (!rules.m_DecimalsAllowed || rules.m_DecimalPlaces < 1))
        reason = QStringLiteral("Whole numbers only");
    else if ((point < 0 ? body.size() : point) > rules.m_IntegerPlaces)
        reason = QStringLiteral("At most %1 digits before the decimal separator")
                     .arg(rules.m_IntegerPlaces);
    else if (point >= 0 && body.size() - point - separator.size() > rules.m_DecimalPlaces)
        reason = QStringLiteral("At most %1 decimal places").arg(rules.m_DecimalPlaces);
    return QStringLiteral("%1: %2 refused").arg(reason, refused);
}

void CVKEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    // The menu's Paste goes the way of Ctrl+V.
    if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste")))
    {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, &CVKEdit::PasteClipboard);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CVKEdit::focusInEvent(QFocusEvent* event)
{
    if (m_NumericMode && m_DisplayGrouping)
    {
        const QString stripped = m_Utils.StripNumberSeparators(text());
        if (stripped != text())
            setText(stripped);
    }
    QLineEdit::focusInEvent(event);
}

void CVKEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu takes the focus only for a moment; its Paste wants the plain text.
    if (event->reason() != Qt::PopupFocusReason && m_NumericMode && m_DisplayGrouping)
        RegroupText();
}

void CVKEdit::RegroupText()
{
    // A message here would take the click that moved the focus: text that is not a number
    // (only a design file can give one) stays as it is until the action's check names it.
    QString plain;
    QString formatted;
    if (!m_Utils.IsWellFormedNumber(text(), &plain))
        return;
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    const int written = point < 0 ? 0 : static_cast<int>(plain.size() - point - 1);
    if (m_Utils.GetLocalNumberFormatedAsString(plain, qMax(m_Rules.m_DecimalPlaces, written),
                                               formatted))
        setText(formatted.trimmed());
}
