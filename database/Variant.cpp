// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/Variant.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace
{
bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

// Reads exactly `count` digits at `pos`.
bool ReadDigits(const std::string& text, std::size_t pos, std::size_t count, int& value)
{
    if (pos + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = pos; i < pos + count; ++i)
    {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

template <class T> std::string ShortestText(T value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}
} // namespace

bool CDateTime::IsValid() const
{
    return m_Year >= 1 && m_Year <= 9999 && m_Month >= 1 && m_Month <= 12 && m_Day >= 1 &&
           m_Day <= DaysInMonth(m_Year, m_Month) && m_Hour >= 0 && m_Hour <= 23 && m_Minute >= 0 &&
           m_Minute <= 59 && m_Second >= 0 && m_Second <= 59;
}

std::string CDateTime::Format() const
{
    if (!IsValid())
        return "Invalid DateTime";
    char text[32];
    if (m_Hour == 0 && m_Minute == 0 && m_Second == 0)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", m_Year, m_Month, m_Day);
    else
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", m_Year, m_Month, m_Day,
                      m_Hour, m_Minute, m_Second);
    return text;
}

std::optional<CDateTime> CDateTime::Parse(const std::string& text)
{
    if (text.size() != 10 && text.size() != 19)
        return std::nullopt;
    CDateTime date;
    if (!ReadDigits(text, 0, 4, date.m_Year) || text[4] != '-' ||
        !ReadDigits(text, 5, 2, date.m_Month) || text[7] != '-' ||
        !ReadDigits(text, 8, 2, date.m_Day))
        return std::nullopt;
    if (text.size() == 19 && (text[10] != ' ' || !ReadDigits(text, 11, 2, date.m_Hour) ||
                              text[13] != ':' || !ReadDigits(text, 14, 2, date.m_Minute) ||
                              text[16] != ':' || !ReadDigits(text, 17, 2, date.m_Second)))
        return std::nullopt;
    if (!date.IsValid())
        return std::nullopt;
    return date;
}

CVariant::CVariant(long value)
{
    if constexpr (sizeof(long) <= sizeof(std::int32_t))
        m_Value = static_cast<std::int32_t>(value);
    else
        m_Value = static_cast<std::int64_t>(value);
}

std::string CVariant::AsString() const
{
    struct CText
    {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(CNull) const { return {}; }
        std::string operator()(bool value) const { return value ? "True" : "False"; }
        std::string operator()(std::int32_t value) const { return std::to_string(value); }
        std::string operator()(std::int64_t value) const { return std::to_string(value); }
        std::string operator()(float value) const { return ShortestText(value); }
        std::string operator()(double value) const { return ShortestText(value); }
        std::string operator()(const std::string& value) const { return value; }
        std::string operator()(const CDateTime& value) const { return value.Format(); }
        std::string operator()(const CBlob&) const { return "unknown type"; }
    };
    return std::visit(CText{}, m_Value);
}
