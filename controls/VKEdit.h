// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CorvaneExport.h"
#include "controls/Platform.h"
#include "controls/VKUtils.h"
#include "database/Error.h"

#include <QLineEdit>
#include <QString>

class QDate;

// The digit rules of a numeric field that the keystroke filter applies.
struct CVKDigitRules
{
    int m_IntegerPlaces = 6; // digits before the separator, not counting a sign
    int m_DecimalPlaces = 6; // digits after it
    bool m_AllowNegative = true;
    bool m_DecimalsAllowed = true;
};

// The single-line field through which the forms take their numbers: it lets only a
// well-formed number be typed, shows it grouped in the user's locale while it does not have
// the focus, and converts and range-checks it on request, reporting a failure in a box.
class CORVANE_EXPORT CVKEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CVKEdit(QWidget* parent = nullptr);
    CVKEdit(int integerPlaces, int decimalPlaces, bool allowNegative, QWidget* parent = nullptr);

    void SetDigitRange(int integerPlaces, int decimalPlaces, bool allowNegative);
    void SetDigitRange(int integerPlaces, int decimalPlaces, bool allowNegative, bool blankAllowed,
                       const QString& fieldName);
    void SetNumberValidation(double min, double max, const QString& fieldName);
    void SetNumberValidation(float min, float max, const QString& fieldName);
    void SetNumberValidation(int min, int max, const QString& fieldName);

    // Converts the text into value (written in every case, before the check) and checks it:
    // a text that is not one number in the locale's format is refused before the range (an
    // empty one reads as 0), and a whole field refuses a fraction. A failure has been shown
    // to the user, titled "Error", and the field holds the focus with its text selected
    // when these return false.
    bool ValidateInput(double& value);
    bool ValidateInput(int& value);

    void SetWindowText(const QString& text) { setText(text); }
    QString GetWindowText() const { return text(); }
    QString GetEditText() const { return text(); }

    // The text of a number written in the fixed notation ("0.10", "1,706": field tables and
    // design files), shown in the user's format; a text that is no such number is shown as it
    // stands, for the action's check to name.
    void SetFixedText(const QString& fixed);
    // The number the field shows, in the fixed notation without grouping ("-1234.5"); a text
    // that is not a number comes back as it stands, less the locale's characters that are not
    // ASCII.
    QString GetFixedText() const;

    // Simple value access, in the locale's number format.
    void SetNumber(int value);
    void SetNumber(float value);
    void SetNumber(double value);
    int GetInt() const;
    float GetFloat() const;
    double GetDouble() const;

    // Free text and date modes; the calculators use neither.
    void SetTextValidation(bool blankAllowed, const QString& fieldName);
    void SetDateValidation(const QString& fieldName);
    void SetDate(const QDate& date);
    bool ValidateInput(QString& value);
    bool ValidateString(QString& value) { return ValidateInput(value); }
    bool IsValidDate();

    // The keystroke filter. Returns true when the key is swallowed (refused) and false when
    // the field may handle it; every branch of the filter answers in these terms. text and
    // the selection [selStart, selEnd) are the field's before the key; virtualKey is the
    // key's virtual-key code. suppressNextKeyDown is set when a Backspace or Delete is refused.
    static bool AllowNumbersOnly(const QString& text, int selStart, int selEnd, int virtualKey,
                                 bool controlDown, const CVKDigitRules& rules,
                                 const CVKNumberSettings& settings, bool& suppressNextKeyDown);
    // Backspace (backwards) or Delete over [selStart, selEnd) is refused when removing the
    // decimal separator would join more digits than the integer places take.
    static bool RefusesErase(const QString& text, int selStart, int selEnd, bool backwards,
                             const CVKDigitRules& rules, const CVKNumberSettings& settings,
                             bool couldHold);
    // The same decision for this field as it stands.
    bool AllowNumbersOnly(int virtualKey, bool controlDown);

    // True when the text is a number that the keystroke filter lets a user type: digits
    // within the places, one decimal separator where decimals are allowed, a leading minus
    // where negatives are, the locale's grouping. A paste is applied only when the field's
    // text after it is such a number (or empty).
    static bool IsTypeableNumber(const QString& text, const CVKDigitRules& rules,
                                 const CVKNumberSettings& settings);

    // True when the field may show the text while a number is typed into it: empty, a typeable
    // number, or the sign and separator that stand before its first digit. Pastes and typed
    // keys never take a field from such a text to another.
    static bool CanHoldText(const QString& text, const CVKDigitRules& rules,
                            const CVKNumberSettings& settings);

    // Why the field cannot hold the text that a key or a paste would leave ("At most 2 decimal
    // places: 0.123 refused"), naming what was refused.
    static QString RefusalReason(const QString& after, const QString& refused,
                                 const CVKDigitRules& rules, const CVKNumberSettings& settings);
    // Pastes as Ctrl+V, the context menu and the Edit menu do: the text less its surrounding
    // blanks and line ends replaces the selection when the field can hold the result;
    // otherwise the field is left as it is and the status bar says why.
    void PasteText(const QString& text);
    void PasteClipboard();

    // Groups the text in the locale's format as losing the focus does, padded to the field's
    // decimal places; digits beyond them stay, so that no value changes. A text that is not a
    // number is left as it is: the action's check names it.
    void RegroupText();

    const QString& FieldName() const { return m_FieldName; }
    int IntegerPlaces() const { return m_Rules.m_IntegerPlaces; }
    int DecimalPlaces() const { return m_Rules.m_DecimalPlaces; }
    bool AllowNegative() const { return m_Rules.m_AllowNegative; }
    bool DecimalsAllowed() const { return m_Rules.m_DecimalsAllowed; }
    const CVKDigitRules& DigitRules() const { return m_Rules; }
    bool NumericMode() const { return m_NumericMode; }
    bool DateMode() const { return m_DateMode; }
    bool RangeCheck() const { return m_RangeCheck; }
    bool BlankAllowed() const { return m_BlankAllowed; }
    bool DisplayGrouping() const { return m_DisplayGrouping; }
    void SetDisplayGrouping(bool on) { m_DisplayGrouping = on; }
    double RealMin() const { return m_RealMin; }
    double RealMax() const { return m_RealMax; }
    int IntMin() const { return m_IntMin; }
    int IntMax() const { return m_IntMax; }
    bool SuppressNextKeyDown() const { return m_SuppressNextKeyDown; }
    CError& Error() { return m_Error; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SetNumericMode(bool on);
    void SetRangeCheck(bool decimalsAllowed, const QString& fieldName);
    bool RefuseZeroOrBlank(bool zero);
    bool RefuseNotANumber(bool whole);
    void Refused();
    template <typename T> bool ValidateNumber(T& value, T min, T max, const char* rangeMessage);
    void SetLocalNumberText(const QString& plainNumber);
    // The text with the selection, or at the cursor, replaced by what is typed.
    QString TextAfter(const QString& typed) const;

    bool m_NumericMode = true;
    bool m_DateMode = false;
    bool m_RangeCheck = false;
    bool m_BlankAllowed = true;
    bool m_DisplayGrouping = true;
    CVKDigitRules m_Rules;
    int m_IntMin = 0;
    int m_IntMax = 0;
    double m_RealMin = 0.0;
    double m_RealMax = 0.0;
    QString m_FieldName = QStringLiteral("value");
    CError m_Error;
    CVKUtils m_Utils;
    bool m_SuppressNextKeyDown = false;
    bool m_Typing = false; // a key is being handled: the keystroke filter has decided
};
