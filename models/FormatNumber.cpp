// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/FormatNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace
{

// "%f" keeps six decimals; places beyond them are zeros.
constexpr int FixedDecimals = 6;
// More places than this carry no information for a double and only cost memory.
constexpr int MaxDecimals = 340;

// The "%f" text of a finite value, with "." whatever the C library's locale says.
std::string FixedText(double value)
{
    // The longest such text of a finite double is 317 characters with its sign.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, FixedDecimals);
    return std::string(buffer, result.ptr);
}

// Adds one unit to the last digit of `digits`, carrying leftwards; may grow by one digit.
void IncrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it)
    {
        if (*it != '9')
        {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

std::string GroupThousands(const std::string& integer)
{
    std::string grouped;
    grouped.reserve(integer.size() + integer.size() / 3);
    const std::size_t firstGroup = integer.size() % 3 == 0 ? 3 : integer.size() % 3;
    for (std::size_t i = 0; i < integer.size(); ++i)
    {
        if (i >= firstGroup && (i - firstGroup) % 3 == 0)
            grouped += ',';
        grouped += integer[i];
    }
    return grouped;
}

} // namespace

std::string FormatNumber(double value, int decimals)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";

    decimals = std::clamp(decimals, 0, MaxDecimals);

    // The sign comes from the text, so a negative value that rounds to zero stays "-0.00".
    std::string text = FixedText(value);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.erase(text.begin());

    const std::size_t point = text.find('.');
    std::string integer = text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    fraction.resize(FixedDecimals, '0');

    if (decimals < FixedDecimals)
    {
        const bool roundUp = fraction[static_cast<std::size_t>(decimals)] >= '5';
        std::string digits = integer + fraction.substr(0, static_cast<std::size_t>(decimals));
        if (roundUp)
            IncrementDigits(digits);
        integer = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
        fraction = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    }
    else
    {
        fraction.append(static_cast<std::size_t>(decimals - FixedDecimals), '0');
    }

    std::string result = negative ? "-" : "";
    result += GroupThousands(integer);
    if (decimals > 0)
    {
        result += '.';
        result += fraction;
    }
    return result;
}
