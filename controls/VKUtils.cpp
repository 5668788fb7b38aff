// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKUtils.h"

#include <QDate>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>

namespace
{
// More places than a double carries.
constexpr int MaxDecimals = 340;

// The digits, sign and decimal point of a number text. The mantissa is 64 bits wide;
// integer digits beyond it only scale the value, decimals beyond it are dropped.
struct CScan
{
    int m_Sign = 1;
    qint64 m_Mantissa = 0;
    qint64 m_Divisor = 0;
    int m_Scale = 0; // powers of ten left over when the mantissa is full
};

CScan Scan(const QString& text)
{
    CScan scan;
    for (QChar c : text)
    {
        if (c == QLatin1Char('-'))
            scan.m_Sign = -1;
        else if (c == QLatin1Char('.'))
            scan.m_Divisor = 1;
        else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        {
            const bool room =
                scan.m_Mantissa <= (INT64_MAX - 9) / 10 && scan.m_Divisor <= INT64_MAX / 10;
            if (room)
            {
                scan.m_Mantissa = scan.m_Mantissa * 10 + (c.unicode() - '0');
                if (scan.m_Divisor != 0)
                    scan.m_Divisor *= 10;
            }
            else if (scan.m_Divisor == 0)
                ++scan.m_Scale;
        }
    }
    if (scan.m_Divisor == 0)
        scan.m_Divisor = 1;
    return scan;
}

// The single-precision quotient, widened to double.
double RealValue(const CScan& scan)
{
    const float quotient =
        static_cast<float>(scan.m_Sign * scan.m_Mantissa) / static_cast<float>(scan.m_Divisor);
    double value = quotient;
    if (scan.m_Scale > 0)
        value *= std::pow(10.0, scan.m_Scale);
    return value;
}

float FloatValue(const CScan& scan)
{
    const double value = RealValue(scan);
    if (value > FLT_MAX)
        return FLT_MAX;
    if (value < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(value);
}

// The exact quotient, truncated toward zero and held within [low, high].
qint64 WholeValue(const CScan& scan, qint64 low, qint64 high)
{
    const qint64 quotient = scan.m_Sign * (scan.m_Mantissa / scan.m_Divisor);
    if (scan.m_Scale > 0 && quotient != 0)
        return quotient > 0 ? high : low;
    return quotient < low ? low : (quotient > high ? high : quotient);
}
} // namespace

CVKUtils::CVKUtils(const CVKNumberSettings& settings) : m_Settings(settings) {}

const CVKNumberSettings& CVKUtils::Settings() const
{
    return m_Settings ? *m_Settings : NumberSettings();
}

bool CVKUtils::ConvertStringToNumber(const QString& text, int& value) const
{
    return GetNumberFromString(GetStringNumberInDecimalFormat(text), value);
}

bool CVKUtils::ConvertStringToNumber(const QString& text, qint64& value) const
{
    return GetNumberFromString(GetStringNumberInDecimalFormat(text), value);
}

bool CVKUtils::ConvertStringToNumber(const QString& text, float& value) const
{
    return GetNumberFromString(GetStringNumberInDecimalFormat(text), value);
}

bool CVKUtils::ConvertStringToNumber(const QString& text, double& value) const
{
    return GetNumberFromString(GetStringNumberInDecimalFormat(text), value);
}

bool CVKUtils::GetNumberFromString(const QString& text, int& value) const
{
    value = static_cast<int>(WholeValue(Scan(text), INT_MIN, INT_MAX));
    return true;
}

bool CVKUtils::GetNumberFromString(const QString& text, qint64& value) const
{
    value = WholeValue(Scan(text), INT64_MIN, INT64_MAX);
    return true;
}

bool CVKUtils::GetNumberFromString(const QString& text, float& value) const
{
    value = FloatValue(Scan(text));
    return true;
}

bool CVKUtils::GetNumberFromString(const QString& text, double& value) const
{
    value = RealValue(Scan(text));
    return true;
}

QString CVKUtils::StripNumberSeparators(const QString& text) const
{
    const CVKNumberSettings& settings = Settings();
    QString stripped = text;
    if (!settings.m_ThousandsSeparator.isEmpty())
        stripped.remove(settings.m_ThousandsSeparator);
    if (!settings.m_CurrencySymbol.isEmpty())
        stripped.remove(settings.m_CurrencySymbol);
    return stripped;
}

QString CVKUtils::GetStringNumberInDecimalFormat(const QString& text) const
{
    const CVKNumberSettings& settings = Settings();
    QString plain = StripNumberSeparators(text);
    if (!settings.m_DecimalSeparator.isEmpty() && settings.m_DecimalSeparator != QLatin1String("."))
        plain.replace(settings.m_DecimalSeparator, QStringLiteral("."));
    if (!settings.m_NegativeSign.isEmpty() && settings.m_NegativeSign != QLatin1String("-"))
        plain.replace(settings.m_NegativeSign, QStringLiteral("-"));
    // Negative order 0 writes a negative number in brackets.
    const QString trimmed = plain.trimmed();
    if (settings.m_NegativeOrder == 0 && trimmed.startsWith(QLatin1Char('(')) &&
        trimmed.endsWith(QLatin1Char(')')))
        plain.prepend(QLatin1Char('-'));
    return plain;
}

bool CVKUtils::IsWellFormedNumber(const QString& text, QString* plain) const
{
    const CVKNumberSettings& settings = Settings();
    QString body = text.trimmed();
    if (!settings.m_CurrencySymbol.isEmpty())
        body.remove(settings.m_CurrencySymbol);
    body = body.trimmed();

    // The sign: "-" or the locale's own, in front or behind, or the brackets of order 0.
    bool negative = false;
    const auto takeSign = [&body](const QString& sign)
    {
        if (sign.isEmpty())
            return false;
        if (body.startsWith(sign))
        {
            body = body.mid(sign.size()).trimmed();
            return true;
        }
        if (body.endsWith(sign))
        {
            body.chop(sign.size());
            body = body.trimmed();
            return true;
        }
        return false;
    };
    if (settings.m_NegativeOrder == 0 && body.size() >= 2 && body.startsWith(QLatin1Char('(')) &&
        body.endsWith(QLatin1Char(')')))
    {
        body = body.mid(1, body.size() - 2);
        negative = true;
    }
    else
    {
        negative =
            takeSign(QStringLiteral("-")) ||
            (settings.m_NegativeSign != QLatin1String("-") && takeSign(settings.m_NegativeSign));
    }

    const QString& decimal =
        settings.m_DecimalSeparator.isEmpty() ? QStringLiteral(".") : settings.m_DecimalSeparator;
    const qsizetype point = body.indexOf(decimal);
    const QString whole = point < 0 ? body : body.left(point);
    const QString fraction = point < 0 ? QString() : body.mid(point + decimal.size());
    const auto isDigits = [](const QString& s)
    {
        for (QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        return true;
    };
    if (!isDigits(fraction) || whole.size() + fraction.size() == 0)
        return false;

    // Grouped digits stand in threes after a first group of one to three.
    QString digits = whole;
    const QString& group = settings.m_ThousandsSeparator;
    if (!group.isEmpty() && whole.contains(group))
    {
        const QStringList groups = whole.split(group);
        for (qsizetype i = 0; i < groups.size(); ++i)
        {
            const qsizetype size = groups[i].size();
            if (i == 0 ? (size < 1 || size > 3) : size != 3)
                return false;
        }
        digits = groups.join(QString());
    }
    if (!isDigits(digits) || digits.size() + fraction.size() == 0)
        return false;
    if (plain)
    {
        *plain = (negative ? QStringLiteral("-") : QString()) +
                 (digits.isEmpty() ? QStringLiteral("0") : digits);
        if (point >= 0)
            *plain += QLatin1Char('.') + fraction;
    }
    return true;
}

QString CVKUtils::GetStringNumberInFileFormat(const QString& text) const
{
    const CVKNumberSettings& settings = Settings();
    const auto isAscii = [](const QString& s)
    {
        for (QChar c : s)
            if (c.unicode() > 127)
                return false;
        return true;
    };
    QString file = text;
    if (!isAscii(settings.m_ThousandsSeparator))
        file.remove(settings.m_ThousandsSeparator);
    if (!isAscii(settings.m_NegativeSign))
        file.replace(settings.m_NegativeSign, QStringLiteral("-"));
    return file;
}

bool CVKUtils::GetLocalNumberFromFixed(const QString& fixed, QString& local) const
{
    QString plain;
    if (!CVKUtils(CVKNumberSettings::Fixed()).IsWellFormedNumber(fixed, &plain))
        return false;
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(plain.size() - point - 1);
    CVKNumberSettings settings = Settings();
    if (!fixed.contains(QLatin1Char(',')))
        settings.m_ThousandsSeparator.clear();
    // Formatting with the decimals as written neither rounds nor fails.
    return CVKUtils(settings).GetLocalNumberFormatedAsString(plain, decimals, local);
}

bool CVKUtils::GetFixedNumberFromLocal(const QString& local, QString& fixed) const
{
    QString plain;
    if (!IsWellFormedNumber(local, &plain))
        return false;
    // One text for each number, as the locale's format gives it back: "007." and "-0.0" are
    // written "7" and "0.0".
    if (plain.endsWith(QLatin1Char('.')))
        plain.chop(1);
    const bool negative = plain.startsWith(QLatin1Char('-'));
    QString digits = negative ? plain.mid(1) : plain;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')) &&
           digits.at(1) != QLatin1Char('.'))
        digits.remove(0, 1);
    bool zero = true;
    for (QChar c : digits)
        zero = zero && (c == QLatin1Char('0') || c == QLatin1Char('.'));
    fixed = negative && !zero ? QLatin1Char('-') + digits : digits;
    return true;
}

namespace
{
// The digits of whole and fraction cut to `decimals` places, rounded half away from zero on
// the digit text, so that no precision is lost.
QString RoundedDigits(const QString& whole, const QString& fraction, int decimals)
{
    QString digits = whole + fraction.leftJustified(decimals, QLatin1Char('0'), true);
    if (fraction.size() > decimals && fraction.at(decimals) >= QLatin1Char('5'))
    {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits.at(i) == QLatin1Char('9'); --i)
            digits[i] = QLatin1Char('0');
        if (i >= 0)
            digits[i] = QChar(digits.at(i).unicode() + 1);
        else
            digits.prepend(QLatin1Char('1'));
    }
    return digits;
}

// A negative number as the locale's negative order writes it.
QString WithNegativeSign(const QString& text, const CVKNumberSettings& settings)
{
    const QString& sign = settings.m_NegativeSign;
    switch (settings.m_NegativeOrder)
    {
    case 0:
        return QLatin1Char('(') + text + QLatin1Char(')');
    case 2:
        return sign + QLatin1Char(' ') + text;
    case 3:
        return text + sign;
    case 4:
        return text + QLatin1Char(' ') + sign;
    default:
        return sign + text;
    }
}
} // namespace

bool CVKUtils::GetLocalNumberFormatedAsString(const QString& number, int decimals, QString& result)
{
    const CVKNumberSettings& settings = Settings();
    const bool negative = number.startsWith(QLatin1Char('-'));
    const QString body = negative ? number.mid(1) : number;
    const qsizetype point = body.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? body : body.left(point);
    QString fraction = point < 0 ? QString() : body.mid(point + 1);
    const auto allDigits = [](const QString& s)
    {
        for (QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        return true;
    };
    if (!allDigits(whole) || !allDigits(fraction) || whole.size() + fraction.size() == 0)
    {
        errno = EINVAL;
        m_Error.SetSysError("Error while converting number to local settings!");
        return false;
    }
    // The digits are text: more places cost no precision, only memory.
    decimals = qBound(0, decimals, MaxDecimals);

    const QString digits = RoundedDigits(whole, fraction, decimals);
    whole = digits.left(digits.size() - decimals);
    fraction = digits.right(decimals);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    bool zero = true;
    for (QChar c : digits)
        zero = zero && c == QLatin1Char('0');

    QString text;
    if (whole == QLatin1String("0") && settings.m_LeadingZero == 0 && decimals > 0)
        text.clear();
    else
    {
        for (qsizetype i = 0; i < whole.size(); ++i)
        {
            if (i > 0 && (whole.size() - i) % 3 == 0)
                text += settings.m_ThousandsSeparator;
            text += whole.at(i);
        }
    }
    if (decimals > 0)
        text += settings.m_DecimalSeparator + fraction;

    result = negative && !zero ? WithNegativeSign(text, settings) : text;
    return true;
}

QString CVKUtils::ConvertNumberToFormatedString(int value, int width) const
{
    return ConvertNumberToFormatedString(static_cast<qint64>(value), width);
}

QString CVKUtils::ConvertNumberToFormatedString(qint64 value, int width) const
{
    return QString::asprintf("%-*lld", qBound(0, width, 64), static_cast<long long>(value));
}

QString CVKUtils::ConvertNumberToFormatedString(float value, int width, int decimals) const
{
    return ConvertNumberToFormatedString(static_cast<double>(value), width, decimals);
}

QString CVKUtils::ConvertNumberToFormatedString(double value, int width, int decimals) const
{
    return QString::asprintf("%*.*f", qBound(0, width, 64), qBound(0, decimals, 64), value);
}

bool CVKUtils::ConvertStringToDate(const QString& text, QDate& date) const
{
    date = QDate::fromString(text.trimmed(), Settings().m_ShortDateFormat);
    return date.isValid();
}

QString CVKUtils::ConvertDateToFormatedString(const QDate& date) const
{
    return date.toString(Settings().m_ShortDateFormat);
}
