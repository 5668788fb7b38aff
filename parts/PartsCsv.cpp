// SPDX-License-Identifier: GPL-3.0-or-later
#include "parts/PartsCsv.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <set>

namespace
{
std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The whole text must be the number; from_chars takes no leading '+' or blanks.
template <class T> bool ParseNumber(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

CCsvValue ParseValue(const std::string& text, const CPartColumn& column, const std::string& where)
{
    if (text.empty())
    {
        if (column.m_Required)
            throw CPartsCsvError(where + "the " + column.m_CsvHeader + " is missing");
        return {};
    }
    if (column.m_Kind == EValueKind::Text)
        return text;
    if (column.m_Kind == EValueKind::Integer)
    {
        long long number = 0;
        if (!ParseNumber(text, number) || number <= 0)
            throw CPartsCsvError(where + column.m_CsvHeader + " \"" + text +
                                 "\" is not a positive whole number");
        return number;
    }
    double number = 0.0;
    if (!ParseNumber(text, number) || !std::isfinite(number) || number <= 0.0)
        throw CPartsCsvError(where + column.m_CsvHeader + " \"" + text +
                             "\" is not a positive number");
    return number * column.m_Scale;
}

std::string ExpectedHeader(const CPartTableDef& table)
{
    std::string header;
    for (const CPartColumn& column : table.m_Columns)
        header += (header.empty() ? "" : ",") + std::string(column.m_CsvHeader);
    return header;
}
} // namespace

bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields)
{
    fields.assign(1, {});
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i)
    {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
        {
            fields.back() += '"';
            ++i;
        }
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    for (std::string& field : fields)
        field = Trimmed(field);
    return !quoted;
}

std::vector<CCsvRow> ReadPartsCsv(const std::string& file, const CPartTableDef& table)
{
    std::ifstream in(file);
    if (!in)
        throw CPartsCsvError(file + ": cannot be read");
    std::vector<CCsvRow> rows;
    std::set<std::string> names;
    bool headerSeen = false;
    std::string line;
    std::vector<std::string> fields;
    for (int number = 1; std::getline(in, line); ++number)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (Trimmed(line).empty() || line.front() == '#')
            continue;
        const std::string where = file + ":" + std::to_string(number) + ": ";
        if (!SplitCsvLine(line, fields))
            throw CPartsCsvError(where + "a quote is not closed");
        if (!headerSeen)
        {
            if (line != ExpectedHeader(table))
                throw CPartsCsvError(where + "the header must be \"" + ExpectedHeader(table) +
                                     "\"");
            headerSeen = true;
            continue;
        }
        if (fields.size() != table.m_Columns.size())
            throw CPartsCsvError(where + std::to_string(fields.size()) + " columns, not " +
                                 std::to_string(table.m_Columns.size()));
        CCsvRow row{number, {}};
        for (std::size_t i = 0; i < fields.size(); ++i)
            row.m_Values.push_back(ParseValue(fields[i], table.m_Columns[i], where));
        if (!names.insert(Lower(fields.front())).second)
            throw CPartsCsvError(where + "the part \"" + fields.front() + "\" is named twice");
        rows.push_back(std::move(row));
    }
    if (!headerSeen)
        throw CPartsCsvError(file + ": holds no header line");
    return rows;
}
