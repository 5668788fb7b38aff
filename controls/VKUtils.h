// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CorvaneExport.h"
#include "controls/Platform.h"
#include "database/Error.h"

#include <QString>

#include <optional>

class QDate;

// The conversions between number texts and values that the edit field uses, in the user's
// number settings (NumberSettings(), unless the object was given settings of its own).
class CORVANE_EXPORT CVKUtils
{
public:
    CVKUtils() = default;
    explicit CVKUtils(const CVKNumberSettings& settings);

    const CVKNumberSettings& Settings() const;

    // Strips the grouping, reads the locale decimal separator as "." and scans the text:
    // "-" makes it negative, "." starts the decimals, digits accumulate, anything else is
    // skipped ("1.5e3" reads as 15.3). The real forms divide in single precision; the whole
    // forms take the exact quotient, truncated toward zero and held within range. An empty
    // text gives 0. Always succeeds.
    bool ConvertStringToNumber(const QString& text, int& value) const;
    bool ConvertStringToNumber(const QString& text, qint64& value) const;
    bool ConvertStringToNumber(const QString& text, float& value) const;
    bool ConvertStringToNumber(const QString& text, double& value) const;

    // The same scan over the text as it stands: no separators are stripped or replaced.
    bool GetNumberFromString(const QString& text, int& value) const;
    bool GetNumberFromString(const QString& text, qint64& value) const;
    bool GetNumberFromString(const QString& text, float& value) const;
    bool GetNumberFromString(const QString& text, double& value) const;

    // Removes the thousands separator and the currency symbol.
    QString StripNumberSeparators(const QString& text) const;
    // StripNumberSeparators, then the locale decimal separator becomes "." and the locale's
    // own minus sign "-".
    QString GetStringNumberInDecimalFormat(const QString& text) const;

    // True when the text, blanks around it aside, is one number in the locale's format: a
    // minus where the locale or the keyboard puts it, digits grouped in threes by the
    // locale's separator or not grouped, at most one decimal separator, at least one digit.
    // Only such a text converts to the number it shows. plain, when given, gets the number
    // as "-1234.5".
    bool IsWellFormedNumber(const QString& text, QString* plain = nullptr) const;

    // The text with the locale's separators that are not ASCII taken out (the grouping) or
    // written as ASCII (the minus sign), so that it keeps its value through a design file,
    // which holds ASCII numbers. A text in ASCII comes back as it is.
    QString GetStringNumberInFileFormat(const QString& text) const;

    // A number written in the fixed notation (CVKNumberSettings::Fixed(): "1,706", "-0.10"),
    // as the user's format writes it: grouped where it was, its decimals as written. False, with
    // local untouched, when the text is no such number.
    bool GetLocalNumberFromFixed(const QString& fixed, QString& local) const;
    // A number in the user's format as the fixed notation writes it without grouping
    // ("-1234.5"). False, with fixed untouched, when the text is not one such number.
    bool GetFixedNumberFromLocal(const QString& local, QString& fixed) const;

    // Formats a plain number text ("-1234567.5": an optional leading "-", digits and at most
    // one ".") in the locale's way: groups of 3, the locale separators, rounded or padded to
    // the decimals given, the leading-zero flag and the negative order. False, with the
    // error record set, when the text is not such a number.
    bool GetLocalNumberFormatedAsString(const QString& number, int decimals, QString& result);

    // printf patterns "%-<width>d" and "%<width>.<decimals>f".
    QString ConvertNumberToFormatedString(int value, int width) const;
    QString ConvertNumberToFormatedString(qint64 value, int width) const;
    QString ConvertNumberToFormatedString(float value, int width, int decimals) const;
    QString ConvertNumberToFormatedString(double value, int width, int decimals) const;

    // Dates in the locale's short date format.
    bool ConvertStringToDate(const QString& text, QDate& date) const;
    QString ConvertDateToFormatedString(const QDate& date) const;

    CError& Error() { return m_Error; }

private:
    CError m_Error;
    std::optional<CVKNumberSettings> m_Settings;
};
