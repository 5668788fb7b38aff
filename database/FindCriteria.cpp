// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/FindCriteria.h"

#include "database/SqliteDatabase.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace
{
bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Not-a-number is no number here: it would compare equal to every number. Nor are the
// infinities, which no number column holds and "1e999" reaches only by overflow.
std::optional<double> ParseNumber(const std::string& text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Text reads as a number or date only when `readText` is set.
std::optional<long double> NumberOf(const CVariant& value, bool readText)
{
    if (const auto* v = value.Get<std::int32_t>())
        return *v;
    if (const auto* v = value.Get<std::int64_t>())
        return static_cast<long double>(*v);
    if (const auto* v = value.Get<float>())
        return *v;
    if (const auto* v = value.Get<double>())
        return *v;
    if (const auto* v = value.Get<std::string>(); v && readText)
        if (const auto number = ParseNumber(*v))
            return *number;
    return std::nullopt;
}

std::optional<CDateTime> DateOf(const CVariant& value, bool readText)
{
    if (const auto* v = value.Get<CDateTime>())
        return *v;
    if (const auto* v = value.Get<std::string>(); v && readText)
        return CDateTime::Parse(*v);
    return std::nullopt;
}

template <class T> int Compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// `pattern` and `text` both lower case; * and % match any run, _ and ? one character.
bool WildcardMatch(const std::string& text, const std::string& pattern)
{
    std::size_t t = 0, p = 0;
    std::size_t starPattern = std::string::npos, starText = 0;
    while (t < text.size())
    {
        if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%'))
        {
            starPattern = p++;
            starText = t;
        }
        else if (p < pattern.size() &&
                 (pattern[p] == '_' || pattern[p] == '?' || pattern[p] == text[t]))
        {
            ++p;
            ++t;
        }
        else if (starPattern != std::string::npos)
        {
            p = starPattern + 1;
            t = ++starText;
        }
        else
            return false;
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%'))
        ++p;
    return p == pattern.size();
}
void SkipSpaces(const std::string& text, std::size_t& pos)
{
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
}
} // namespace

CFindCriteria::CFindCriteria(const std::string& criteria)
{
    const CDatabaseException invalid("Invalid search criteria: " + criteria);
    std::size_t pos = 0;
    ParseField(criteria, pos, invalid);
    ParseOperator(criteria, pos, invalid);
    ParseValue(criteria, pos, invalid);
    if (pos != criteria.size() || (m_Operator == EOperator::Like && m_Kind != EKind::Text))
        throw invalid;
}

// The field's name, bare or in brackets.
void CFindCriteria::ParseField(const std::string& criteria, std::size_t& pos,
                               const CDatabaseException& invalid)
{
    SkipSpaces(criteria, pos);
    if (pos < criteria.size() && criteria[pos] == '[')
    {
        const std::size_t close = criteria.find(']', pos);
        if (close == std::string::npos)
            throw invalid;
        m_Field = criteria.substr(pos + 1, close - pos - 1);
        pos = close + 1;
    }
    else
    {
        const std::size_t start = pos;
        while (pos < criteria.size() && !IsSpace(criteria[pos]) &&
               std::string("=<>").find(criteria[pos]) == std::string::npos)
            ++pos;
        m_Field = criteria.substr(start, pos - start);
    }
    if (m_Field.empty())
        throw invalid;
}

void CFindCriteria::ParseOperator(const std::string& criteria, std::size_t& pos,
                                  const CDatabaseException& invalid)
{
    SkipSpaces(criteria, pos);
    static const std::pair<const char*, EOperator> operators[] = {{"<>", EOperator::NotEqual},
                                                                  {"<=", EOperator::LessOrEqual},
                                                                  {">=", EOperator::GreaterOrEqual},
                                                                  {"=", EOperator::Equal},
                                                                  {"<", EOperator::Less},
                                                                  {">", EOperator::Greater}};
    bool found = false;
    for (const auto& [symbol, op] : operators)
    {
        const std::string text = symbol;
        if (criteria.compare(pos, text.size(), text) == 0)
        {
            m_Operator = op;
            pos += text.size();
            found = true;
            break;
        }
    }
    if (!found)
    {
        if (!SameName(criteria.substr(pos, 4), "like") || pos + 4 >= criteria.size() ||
            (!IsSpace(criteria[pos + 4]) && criteria[pos + 4] != '\''))
            throw invalid;
        m_Operator = EOperator::Like;
        pos += 4;
    }
}

// A quoted text, a date between # signs, or a number to the end.
void CFindCriteria::ParseValue(const std::string& criteria, std::size_t& pos,
                               const CDatabaseException& invalid)
{
    SkipSpaces(criteria, pos);
    if (pos >= criteria.size())
        throw invalid;
    if (criteria[pos] == '\'')
    {
        for (++pos;; ++pos)
        {
            if (pos >= criteria.size())
                throw invalid;
            if (criteria[pos] == '\'')
            {
                if (pos + 1 < criteria.size() && criteria[pos + 1] == '\'')
                    ++pos;
                else
                    break;
            }
            m_Text += criteria[pos];
        }
        ++pos;
        SkipSpaces(criteria, pos);
    }
    else if (criteria[pos] == '#')
    {
        const std::size_t close = criteria.find('#', pos + 1);
        if (close == std::string::npos)
            throw invalid;
        m_Text = criteria.substr(pos + 1, close - pos - 1);
        if (!CDateTime::Parse(m_Text))
            throw invalid;
        m_Kind = EKind::Date;
        pos = close + 1;
        SkipSpaces(criteria, pos);
    }
    else
    {
        m_Text = criteria.substr(pos);
        while (!m_Text.empty() && IsSpace(m_Text.back()))
            m_Text.pop_back();
        if (!ParseNumber(m_Text))
            throw invalid;
        m_Kind = EKind::Number;
        pos = criteria.size();
    }
}

bool CFindCriteria::Matches(const CVariant& value) const
{
    if (value.IsEmpty() || value.IsNull() || value.Is<CBlob>())
        return false;
    if (m_Operator == EOperator::Like)
        return WildcardMatch(Lower(value.AsString()), Lower(m_Text));

    // Numbers and dates compare by value when either side is typed as one (m_Text holds
    // a number or date criterion as written); two texts compare as text, so that '007'
    // does not find "7".
    int order = 0;
    const auto valueNumber = NumberOf(value, m_Kind == EKind::Number);
    const auto valueDate = DateOf(value, m_Kind == EKind::Date);
    const auto textNumber = ParseNumber(m_Text);
    const auto textDate = CDateTime::Parse(m_Text);
    if (valueNumber && std::isnan(*valueNumber))
        return false; // stored as NULL by the database, and like NULL it matches nothing
    if (valueNumber && textNumber)
        order = Compare<long double>(*valueNumber, *textNumber);
    else if (valueDate && textDate)
        order = Compare(*valueDate, *textDate);
    else
        order = Compare(Lower(value.AsString()), Lower(m_Text));

    switch (m_Operator)
    {
    case EOperator::Equal:
        return order == 0;
    case EOperator::NotEqual:
        return order != 0;
    case EOperator::Less:
        return order < 0;
    case EOperator::Greater:
        return order > 0;
    case EOperator::LessOrEqual:
        return order <= 0;
    case EOperator::GreaterOrEqual:
        return order >= 0;
    default:
        return false;
    }
}
