// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/VKUtils.h"

#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include <climits>

namespace
{
const CVKNumberSettings kPoint = CVKNumberSettings::WithSeparators(".", ",");
const CVKNumberSettings kComma = CVKNumberSettings::WithSeparators(",", ".");

double ToDouble(const CVKUtils& utils, const QString& text)
{
    double value = -999.0;
    EXPECT_TRUE(utils.ConvertStringToNumber(text, value));
    return value;
}

int ToInt(const CVKUtils& utils, const QString& text)
{
    int value = -999;
    EXPECT_TRUE(utils.ConvertStringToNumber(text, value));
    return value;
}
} // namespace

TEST(ConvertStringToNumber, ScansSignDigitsAndPoint)
{
    const CVKUtils utils(kPoint);
    EXPECT_EQ(ToDouble(utils, ""), 0.0);
    EXPECT_EQ(ToDouble(utils, "-12.5"), -12.5);  // -125 / 10, exact in single precision
    EXPECT_EQ(ToDouble(utils, "1,706"), 1706.0); // grouping stripped
    EXPECT_EQ(ToDouble(utils, "300"), 300.0);
    // The letter is skipped and every digit after the point counts: 153 / 100 (the scan rule;
    // the design's prose example says 15.3, which the rule cannot give).
    EXPECT_EQ(ToDouble(utils, "1.5e3"), static_cast<double>(153.0f / 100.0f));
}

TEST(ConvertStringToNumber, DividesInSinglePrecision)
{
    const CVKUtils utils(kPoint);
    // 1 / 10 in float, widened: 0.100000001490116...
    EXPECT_EQ(ToDouble(utils, "0.1"), static_cast<double>(0.1f));
    EXPECT_NE(ToDouble(utils, "0.1"), 0.1);
    // The largest Coil inductance, 99999999999 / 100 in float, rounds up to 1e9.
    EXPECT_EQ(ToDouble(utils, "999999999.99"), 1.0e9);
}

TEST(ConvertStringToNumber, MoreThanNineDigitsUseTheWideAccumulator)
{
    const CVKUtils utils(kPoint);
    // 12345678901 in float is 12056327 * 1024 = 12345678848 (hand calculation); a 32-bit
    // mantissa would have wrapped round to a negative number.
    EXPECT_EQ(ToDouble(utils, "12345678901"), 12345678848.0);
    EXPECT_EQ(ToDouble(utils, "98765432109.5"),
              static_cast<double>(static_cast<float>(987654321095LL) / 10.0f));
    EXPECT_GT(ToDouble(utils, QString(40, '9')), 9.9e39);
}

TEST(ConvertStringToNumber, WholeNumbersTruncateAndStayInRange)
{
    const CVKUtils utils(kPoint);
    EXPECT_EQ(ToInt(utils, "123456789"), 123456789); // exact: the float quotient is 123456792
    EXPECT_EQ(ToInt(utils, "-7.9"), -7);
    EXPECT_EQ(ToInt(utils, "7.9"), 7);
    EXPECT_EQ(ToInt(utils, "99999999999"), INT_MAX);
    EXPECT_EQ(ToInt(utils, "-99999999999"), INT_MIN);
    EXPECT_EQ(ToInt(utils, QString(300, '9')), INT_MAX);
    qint64 big = 0;
    utils.ConvertStringToNumber("-9,000,000,000,001", big);
    EXPECT_EQ(big, -9000000000001LL);
    float single = 0.0f;
    utils.ConvertStringToNumber(QString(60, '9'), single);
    EXPECT_EQ(single, FLT_MAX);
}

TEST(ConvertStringToNumber, DecimalCommaLocale)
{
    const CVKUtils utils(kComma);
    EXPECT_EQ(ToDouble(utils, "1.234,5"), 1234.5);
    EXPECT_EQ(ToDouble(utils, "-0,25"), -0.25);
    // GetNumberFromString leaves the separators alone: "1,5" is then 15.
    double raw = 0.0;
    utils.GetNumberFromString("1,5", raw);
    EXPECT_EQ(raw, 15.0);
}

TEST(ConvertStringToNumber, CurrencySymbolIsStripped)
{
    CVKNumberSettings settings = kPoint;
    settings.m_CurrencySymbol = "$";
    const CVKUtils utils(settings);
    EXPECT_EQ(utils.StripNumberSeparators("$1,234.5"), "1234.5");
    EXPECT_EQ(ToDouble(utils, "$1,234.5"), 1234.5);
    EXPECT_EQ(CVKUtils(kComma).GetStringNumberInDecimalFormat("1.234,5"), "1234.5");
}

TEST(LocalNumberFormat, GroupsRoundsAndPads)
{
    CVKUtils utils(kPoint);
    QString text;
    ASSERT_TRUE(utils.GetLocalNumberFormatedAsString("1234567.5", 2, text));
    EXPECT_EQ(text, "1,234,567.50");
    utils.GetLocalNumberFormatedAsString("999.995", 2, text);
    EXPECT_EQ(text, "1,000.00"); // the carry runs into a new group
    utils.GetLocalNumberFormatedAsString("300", 3, text);
    EXPECT_EQ(text, "300.000");
    utils.GetLocalNumberFormatedAsString("123456", 0, text);
    EXPECT_EQ(text, "123,456");
    utils.GetLocalNumberFormatedAsString("-1234.5", 0, text);
    EXPECT_EQ(text, "-1,235"); // half rounds away from zero
    utils.GetLocalNumberFormatedAsString("-0.001", 2, text);
    EXPECT_EQ(text, "0.00"); // no sign on a zero
    utils.GetLocalNumberFormatedAsString("007.", 1, text);
    EXPECT_EQ(text, "7.0");
    utils.GetLocalNumberFormatedAsString(".5", 2, text);
    EXPECT_EQ(text, "0.50");

    CVKUtils comma(kComma);
    comma.GetLocalNumberFormatedAsString("1234567.5", 2, text);
    EXPECT_EQ(text, "1.234.567,50");
}

TEST(LocalNumberFormat, FixedNotationTextsInEachLocaleAndBack)
{
    // The locales' own separators (CLDR, as Qt gives them): U+202F and U+00A0 group in fr_FR
    // and sv_SE, U+2019 in de_CH, and sv_SE writes U+2212 for the minus sign.
    struct CCase
    {
        const char* m_Locale;
        const char* m_Fixed;
        const char* m_Local; // null: not a number in the fixed notation
        const char* m_Back;  // the local text in the fixed notation again
    };
    const CCase cases[] = {
        {"en_US", "1,706", "1,706", "1706"},
        {"de_DE", "1,706", "1.706", "1706"},
        {"de_DE", "0.10", "0,10", "0.10"},
        {"de_DE", "2200.000", "2200,000", "2200.000"}, // grouped only where it was
        {"de_DE", "-1,234,567.5", "-1.234.567,5", "-1234567.5"},
        {"fr_FR", "47,000.25", "47\u202f000,25", "47000.25"},
        {"de_CH", "338,000.5", "338\u2019000.5", "338000.5"},
        {"sv_SE", "-1.6791", "\u22121,6791", "-1.6791"},
        {"sv_SE", "5.", "5", "5"},
        {"de_DE", "-007.0", "-7,0", "-7.0"},
        {"de_DE", "-0.00", "0,00", "0.00"}, // a zero has no sign
        {"de_DE", "1.5e3", nullptr, nullptr},
        {"de_DE", "1,5", nullptr, nullptr}, // not a group of three
        {"de_DE", "", nullptr, nullptr},
    };
    for (const CCase& c : cases)
    {
        const CVKUtils utils(
            CVKNumberSettings::FromLocale(QLocale(QString::fromLatin1(c.m_Locale))));
        QString local = QStringLiteral("untouched");
        const bool number = utils.GetLocalNumberFromFixed(QString::fromUtf8(c.m_Fixed), local);
        ASSERT_EQ(number, c.m_Local != nullptr) << c.m_Locale << " " << c.m_Fixed;
        if (!number)
        {
            EXPECT_EQ(local, "untouched");
            continue;
        }
        EXPECT_EQ(local, QString::fromUtf8(c.m_Local)) << c.m_Locale << " " << c.m_Fixed;
        QString back;
        ASSERT_TRUE(utils.GetFixedNumberFromLocal(local, back)) << c.m_Locale << " " << c.m_Fixed;
        EXPECT_EQ(back, QString::fromUtf8(c.m_Back)) << c.m_Locale << " " << c.m_Fixed;
    }
    // A typed number has one fixed text, the one the locale's format gives back.
    QString fixed;
    ASSERT_TRUE(CVKUtils(kComma).GetFixedNumberFromLocal("-00,0", fixed));
    EXPECT_EQ(fixed, "0.0");
    ASSERT_TRUE(CVKUtils(kComma).GetFixedNumberFromLocal("007,5", fixed));
    EXPECT_EQ(fixed, "7.5");
}

TEST(LocalNumberFormat, LeadingZeroAndNegativeOrders)
{
    CVKNumberSettings settings = kPoint;
    settings.m_LeadingZero = 0;
    QString text;
    CVKUtils(settings).GetLocalNumberFormatedAsString("0.5", 2, text);
    EXPECT_EQ(text, ".50");

    const char* expected[] = {"(1,234.5)", "-1,234.5", "- 1,234.5", "1,234.5-", "1,234.5 -"};
    for (int order = 0; order < 5; ++order)
    {
        settings = kPoint;
        settings.m_NegativeOrder = order;
        CVKUtils(settings).GetLocalNumberFormatedAsString("-1234.5", 1, text);
        EXPECT_EQ(text, expected[order]) << order;
    }
}

TEST(LocalNumberFormat, RefusesWhatIsNotAPlainNumber)
{
    CVKUtils utils(kPoint);
    for (const char* bad : {"", "-", ".", "1.5e3", "1.2.3", "--5", "1-2", "12 3"})
    {
        QString text = "unchanged";
        EXPECT_FALSE(utils.GetLocalNumberFormatedAsString(bad, 2, text)) << bad;
        EXPECT_EQ(text, "unchanged");
    }
    EXPECT_EQ(utils.Error().m_ProgramText, "Error while converting number to local settings!");
    EXPECT_EQ(utils.Error().m_Kind, CError::SystemError);
}

TEST(FormatedString, PrintfPatterns)
{
    const CVKUtils utils(kPoint);
    EXPECT_EQ(utils.ConvertNumberToFormatedString(42, 6), "42    ");
    EXPECT_EQ(utils.ConvertNumberToFormatedString(qint64(-5000000000), 3), "-5000000000");
    EXPECT_EQ(utils.ConvertNumberToFormatedString(3.14159, 8, 2), "    3.14");
    EXPECT_EQ(utils.ConvertNumberToFormatedString(2.5f, 1, 1), "2.5");
}

TEST(FormatedString, DatesInTheShortFormat)
{
    const CVKUtils utils(kPoint); // short date format "M/d/yyyy"
    QDate date;
    ASSERT_TRUE(utils.ConvertStringToDate("7/4/1999", date));
    EXPECT_EQ(date, QDate(1999, 7, 4));
    EXPECT_EQ(utils.ConvertDateToFormatedString(QDate(2001, 12, 31)), "12/31/2001");
    EXPECT_FALSE(utils.ConvertStringToDate("31/31/2001", date));
}

namespace
{
// The number settings of real locales, from Qt's own locale data.
CVKNumberSettings Locale(const char* name)
{
    return CVKNumberSettings::FromLocale(QLocale(QString::fromLatin1(name)));
}
} // namespace

TEST(WellFormedNumber, OnlyTextsThatConvertToWhatTheyShow)
{
    struct CCase
    {
        const char* m_Locale;
        QString m_Text;
        const char* m_Plain; // nullptr: not a number
    };
    const QString nnbsp(QChar(0x202F)), nbsp(QChar(0x00A0)), apostrophe(QChar(0x2019)),
        minus(QChar(0x2212));
    const CCase cases[] = {
        {"en_US", "1,706", "1706"},
        {"en_US", " -1,234,567.50 ", "-1234567.50"},
        {"en_US", ".5", "0.5"},
        {"en_US", "5.", "5."},
        {"en_US", "12-", "-12"},
        {"en_US", "1e3", nullptr},
        {"en_US", "1.5e3", nullptr},
        {"en_US", "abc", nullptr},
        {"en_US", "1,2", nullptr}, // not grouped in threes
        {"en_US", "1.2.3", nullptr},
        {"en_US", "-", nullptr},
        {"en_US", "--5", nullptr},
        {"de_DE", "1.234,5", "1234.5"},
        {"de_DE", "1.5", nullptr}, // would read as 15
        {"fr_FR", "47" + nnbsp + "000", "47000"},
        {"fr_FR", "1" + nnbsp + "234,5", "1234.5"},
        {"de_CH", "47" + apostrophe + "000.25", "47000.25"},
        {"sv_SE", minus + "1,6791", "-1.6791"},
        {"sv_SE", "15" + nbsp + "000", "15000"},
    };
    for (const CCase& c : cases)
    {
        const CVKUtils utils(Locale(c.m_Locale));
        QString plain;
        const bool number = utils.IsWellFormedNumber(c.m_Text, &plain);
        EXPECT_EQ(number, c.m_Plain != nullptr) << c.m_Locale << " " << c.m_Text.toStdString();
        if (number && c.m_Plain)
        {
            EXPECT_EQ(plain, QString::fromLatin1(c.m_Plain)) << c.m_Locale;
            // What it shows is what the documented scan gives.
            EXPECT_DOUBLE_EQ(ToDouble(utils, c.m_Text), static_cast<double>(plain.toFloat()))
                << c.m_Locale << " " << c.m_Text.toStdString();
        }
    }
}

TEST(ConvertStringToNumber, TheLocalesOwnMinusAndGrouping)
{
    const QString minus(QChar(0x2212));
    EXPECT_EQ(ToDouble(CVKUtils(Locale("sv_SE")), minus + "1,6791"),
              static_cast<double>(-16791.0f / 10000.0f));
    EXPECT_EQ(ToDouble(CVKUtils(Locale("fr_FR")), "47" + QString(QChar(0x202F)) + "000"), 47000.0);
    CVKNumberSettings brackets = kPoint;
    brackets.m_NegativeOrder = 0;
    EXPECT_EQ(ToDouble(CVKUtils(brackets), "(1.5)"), -1.5);
}

TEST(FileFormat, NonAsciiSeparatorsBecomeAscii)
{
    // ASCII texts stay exactly as they are, whatever the locale.
    EXPECT_EQ(CVKUtils(kPoint).GetStringNumberInFileFormat("1,234.5"), "1,234.5");
    EXPECT_EQ(CVKUtils(kComma).GetStringNumberInFileFormat("1.234,5"), "1.234,5");
    EXPECT_EQ(CVKUtils(Locale("fr_FR"))
                  .GetStringNumberInFileFormat("47" + QString(QChar(0x202F)) + "000,5"),
              "47000,5");
    EXPECT_EQ(CVKUtils(Locale("sv_SE")).GetStringNumberInFileFormat(QString(QChar(0x2212)) + "1,5"),
              "-1,5");
}
