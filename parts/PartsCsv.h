// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "parts/PartsSchema.h"

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// A fault in a parts source file; its text names the file and the line, "file:line: what".
class CPartsCsvError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A value as it will be stored: nothing for an empty optional field, text, or a number
// already scaled to SI.
using CCsvValue = std::variant<std::monostate, std::string, double, long long>;

struct CCsvRow
{
    int m_Line = 0;
    std::vector<CCsvValue> m_Values; // one per column of the table
};

// Reads a table's source file: lines starting with '#' are comments, the first other line
// must name the table's columns in order, and every row must give each of them, a required
// one never empty (the source least of all) and a number as a positive number. Fields may be
// quoted as in RFC 4180, within one line. Throws CPartsCsvError at the first fault.
std::vector<CCsvRow> ReadPartsCsv(const std::string& file, const CPartTableDef& table);

// The fields of one line; false when a quote is left open.
bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields);
