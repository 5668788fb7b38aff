// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/DabrelExport.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The database's NULL, kept apart from a value that was never set.
struct CNull
{
    bool operator==(const CNull&) const = default;
};

// A calendar date and time of day to the second. Date columns hold it as text,
// "YYYY-MM-DD" at midnight and "YYYY-MM-DD HH:MM:SS" otherwise.
struct DABREL_EXPORT CDateTime
{
    int m_Year = 0;
    int m_Month = 0;
    int m_Day = 0;
    int m_Hour = 0;
    int m_Minute = 0;
    int m_Second = 0;

    // A real day of the years 1 to 9999 and a time of day.
    bool IsValid() const;
    // The stored form; "Invalid DateTime" when the date is not valid.
    std::string Format() const;
    // Reads "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" (digits exactly so); nothing when
    // the text has another shape or names no real date.
    static std::optional<CDateTime> Parse(const std::string& text);

    auto operator<=>(const CDateTime&) const = default;
};

using CBlob = std::vector<std::uint8_t>;

// A field value or a field identifier (a name, or a number counted from 0).
class DABREL_EXPORT CVariant
{
public:
    using CValue = std::variant<std::monostate, CNull, bool, std::int32_t, std::int64_t, float,
                                double, std::string, CDateTime, CBlob>;

    CVariant() = default;
    CVariant(CNull) : m_Value(CNull{}) {}
    CVariant(bool value) : m_Value(value) {}
    CVariant(int value) : m_Value(static_cast<std::int32_t>(value)) {}
    CVariant(long value);
    CVariant(long long value) : m_Value(static_cast<std::int64_t>(value)) {}
    CVariant(float value) : m_Value(value) {}
    CVariant(double value) : m_Value(value) {}
    CVariant(const char* value) : m_Value(std::string(value ? value : "")) {}
    CVariant(std::string value) : m_Value(std::move(value)) {}
    CVariant(CDateTime value) : m_Value(value) {}
    CVariant(CBlob value) : m_Value(std::move(value)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(m_Value); }
    bool IsNull() const { return std::holds_alternative<CNull>(m_Value); }
    template <class T> bool Is() const { return std::holds_alternative<T>(m_Value); }
    template <class T> const T* Get() const { return std::get_if<T>(&m_Value); }

    // Text of the value: empty for empty and NULL, "True"/"False", numbers in the
    // shortest form that reads back the same, "unknown type" for binary data and
    // "Invalid DateTime" for a date that is not valid.
    std::string AsString() const;

    bool operator==(const CVariant&) const = default;

    CValue m_Value;
};
