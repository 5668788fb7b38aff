// SPDX-License-Identifier: GPL-3.0-or-later
// The number conversions of the numeric field in the number settings of every locale Qt
// knows: any text converts without fault; a text that is one number in the locale's format
// converts to the number it shows; a number formatted for display reads back as itself.

#include "FuzzSupport.h"

#include "controls/VKUtils.h"

#include <cfloat>
#include <cmath>
#include <regex>

namespace
{
long double PlainValue(const QString& plain)
{
    return std::strtold(plain.toLatin1().constData(), nullptr);
}

double Converted(const CVKUtils& utils, const QString& text)
{
    double value = 0;
    utils.ConvertStringToNumber(text, value);
    return value;
}

std::string Where(const CVKNumberSettings& settings)
{
    return " (decimal " + Show(settings.m_DecimalSeparator) + ", group " +
           Show(settings.m_ThousandsSeparator) + ", minus " + Show(settings.m_NegativeSign) +
           ", order " + std::to_string(settings.m_NegativeOrder) + ", currency " +
           Show(settings.m_CurrencySymbol) + ")";
}

// Every overload of a conversion, the real one's value returned; read, when set, takes the
// locale's separators into account (ConvertStringToNumber), otherwise the raw scan.
double ConvertAll(const CVKUtils& utils, const QString& text, bool read)
{
    int whole = 0;
    qint64 wide = 0;
    float single = 0;
    double real = 0;
    if (read)
    {
        utils.ConvertStringToNumber(text, whole);
        utils.ConvertStringToNumber(text, wide);
        utils.ConvertStringToNumber(text, single);
        utils.ConvertStringToNumber(text, real);
    }
    else
    {
        utils.GetNumberFromString(text, whole);
        utils.GetNumberFromString(text, wide);
        utils.GetNumberFromString(text, single);
        utils.GetNumberFromString(text, real);
    }
    utils.ConvertNumberToFormatedString(whole, 12);
    utils.ConvertNumberToFormatedString(wide, 12);
    return real;
}

// Any text: the conversions hold no fault, and a well-formed number reads as it shows.
void CheckText(const CVKUtils& utils, const QString& text, CFuzzInput& input)
{
    const double real = ConvertAll(utils, text, true);
    ConvertAll(utils, text, false);
    utils.ConvertNumberToFormatedString(static_cast<int>(input.Byte()), input.Between(-2, 80));
    utils.ConvertNumberToFormatedString(real, input.Between(-2, 80), input.Between(-2, 80));
    FUZZ_CHECK(!std::isnan(real), "no text converts to not-a-number: " + Show(text));

    QString plain;
    if (!utils.IsWellFormedNumber(text, &plain))
        return;
    static const std::regex shape("-?[0-9]+(\\.[0-9]*)?");
    FUZZ_CHECK(std::regex_match(plain.toStdString(), shape),
               Show(text) + " gave the plain number " + Show(plain) + Where(utils.Settings()));
    const CVKUtils point(CVKNumberSettings::WithSeparators(".", ","));
    double shown = 0;
    point.GetNumberFromString(plain, shown);
    FUZZ_CHECK(real == shown, Show(text) + " converts to " + std::to_string(real) + " but shows " +
                                  Show(plain) + Where(utils.Settings()));
    FUZZ_CHECK(Converted(utils, utils.GetStringNumberInFileFormat(text)) == real,
               "the file form of " + Show(text) + " is " +
                   Show(utils.GetStringNumberInFileFormat(text)) + Where(utils.Settings()));
}

// A plain number formatted for display: it is a well-formed number again, rounded to the
// decimals asked for, and formatting its plain form gives the same text.
void CheckFormatted(CVKUtils& utils, CFuzzInput& input)
{
    QString plain = input.Flag() ? QStringLiteral("-") : QString();
    const int wholeDigits = input.Between(0, 12);
    for (int i = 0; i < wholeDigits; ++i)
        plain += QChar('0' + input.Between(0, 9));
    const int fractionDigits = input.Flag() ? -1 : input.Between(0, 6);
    if (fractionDigits >= 0)
    {
        plain += QLatin1Char('.');
        for (int i = 0; i < fractionDigits; ++i)
            plain += QChar('0' + input.Between(0, 9));
    }
    const int decimals = input.Between(0, 9);
    QString formatted;
    const bool digits = wholeDigits + std::max(fractionDigits, 0) > 0;
    FUZZ_CHECK(utils.GetLocalNumberFormatedAsString(plain, decimals, formatted) == digits,
               "formatting " + Show(plain));
    if (!digits)
        return;
    formatted = formatted.trimmed();
    QString again;
    FUZZ_CHECK(utils.IsWellFormedNumber(formatted, &again),
               Show(plain) + " formatted as " + Show(formatted) + ", which does not read back" +
                   Where(utils.Settings()));
    const long double step = std::pow(10.0L, -decimals);
    FUZZ_CHECK(std::fabs(PlainValue(again) - PlainValue(plain)) <=
                   step / 2 + 8 * LDBL_EPSILON * std::fabs(PlainValue(plain)),
               Show(plain) + " formatted to " + std::to_string(decimals) + " decimals as " +
                   Show(formatted) + Where(utils.Settings()));
    QString twice;
    FUZZ_CHECK(utils.GetLocalNumberFormatedAsString(again, decimals, twice) &&
                   twice.trimmed() == formatted,
               Show(formatted) + " formatted again as " + Show(twice) + Where(utils.Settings()));
    const double value = Converted(utils, formatted);
    const long double expected = PlainValue(again);
    FUZZ_CHECK(std::fabs(value - expected) <= 1e-6L * std::fabs(expected) + 1e-9L,
               Show(formatted) + " converts to " + std::to_string(value) + Where(utils.Settings()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnsureApplication();
    CFuzzInput input(data, size);
    CVKUtils utils(PickSettings(input));
    if (input.Flag())
        CheckFormatted(utils, input);
    else
        CheckText(utils, QString::fromUtf8(input.Until(0)), input);
    return 0;
}
