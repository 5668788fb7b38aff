// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/FormatNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

// Reference texts are the formatter's documented examples, or hand-rounded "%f" texts.

TEST(FormatNumber, GroupsThousandsAndRoundsTheFixedText)
{
    EXPECT_EQ(FormatNumber(1234567.891, 2), "1,234,567.89");
    EXPECT_EQ(FormatNumber(0.25, 2), "0.25");
    EXPECT_EQ(FormatNumber(-1234.5, 1), "-1,234.5");
    EXPECT_EQ(FormatNumber(1500, 0), "1,500");
    EXPECT_EQ(FormatNumber(0, 4), "0.0000");
    EXPECT_EQ(FormatNumber(-0.5, 2), "-0.50");
    EXPECT_EQ(FormatNumber(999, 0), "999");
    EXPECT_EQ(FormatNumber(100000, 1), "100,000.0");
}

TEST(FormatNumber, RoundsHalfUpOnTheDecimalDigits)
{
    // "%f" gives 0.125000; the half rounds up where printf's own "%.2f" gives 0.12.
    EXPECT_EQ(FormatNumber(0.125, 2), "0.13");
    EXPECT_EQ(FormatNumber(2.5, 0), "3");
    EXPECT_EQ(FormatNumber(0.5, 0), "1");
    EXPECT_EQ(FormatNumber(-2.5, 0), "-3");
    EXPECT_EQ(FormatNumber(0.004, 2), "0.00");
    // The carry crosses the decimal point and a thousands boundary.
    EXPECT_EQ(FormatNumber(999999.996, 2), "1,000,000.00");
    EXPECT_EQ(FormatNumber(999.5, 0), "1,000");
    // Only the six "%f" decimals count: 0.0049999 prints as 0.005000 and rounds up.
    EXPECT_EQ(FormatNumber(0.0049999, 2), "0.01");
}

TEST(FormatNumber, NegativeValueRoundingToZeroKeepsItsSign)
{
    EXPECT_EQ(FormatNumber(-0.001, 2), "-0.00");
    EXPECT_EQ(FormatNumber(-0.4, 0), "-0");
    EXPECT_EQ(FormatNumber(-0.0000001, 4), "-0.0000");
}

TEST(FormatNumber, MoreThanSixDecimalsPadsWithZeros)
{
    EXPECT_EQ(FormatNumber(1234.5678, 6), "1,234.567800");
    EXPECT_EQ(FormatNumber(0.1234567, 8), "0.12345700"); // "%f" holds 0.123457
}

TEST(FormatNumber, NegativeDecimalCountActsAsZero)
{
    EXPECT_EQ(FormatNumber(1234.5, -3), "1,235");
}

TEST(FormatNumber, NonFiniteValuesHaveFixedTexts)
{
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN(), 2), "nan");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::quiet_NaN(), 2), "nan");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), 2), "inf");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), 0), "-inf");
}

TEST(FormatNumber, HugeValuesAreNotCutShort)
{
    const double huge = std::numeric_limits<double>::max();
    const std::string text = FormatNumber(-huge, 2);
    // 309 integer digits in groups of three: 102 commas, the sign and ".00".
    ASSERT_EQ(text.size(), 1u + 309u + 102u + 3u);
    EXPECT_EQ(text.substr(0, 5), "-179,");
    EXPECT_EQ(text.substr(text.size() - 3), ".00");

    std::string digits;
    for (char c : text.substr(1, text.size() - 4))
        if (c != ',')
            digits += c;
    char expected[400];
    std::snprintf(expected, sizeof expected, "%.0f", huge);
    EXPECT_EQ(digits, expected);
}

TEST(FormatNumber, TheCLibrarysNumberLocaleChangesNothing)
{
    // A desktop program runs with the user's LC_NUMERIC, whose "%f" writes "1234,500000".
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"de_DE.UTF-8", "fr_FR.UTF-8"})
    {
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr)
            << locale << " is missing: scripts/install-deps.sh generates it";
        EXPECT_EQ(FormatNumber(1234567.891, 2), "1,234,567.89") << locale;
        EXPECT_EQ(FormatNumber(1000, 3), "1,000.000") << locale;
        EXPECT_EQ(FormatNumber(-0.5, 2), "-0.50") << locale;
        EXPECT_EQ(FormatNumber(999999.996, 2), "1,000,000.00") << locale;
    }
    std::setlocale(LC_NUMERIC, before.c_str());
}
