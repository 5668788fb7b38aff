// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The tables of a parts database. The shipped database and the user's own hold the same
// tables; every value is stored in SI units (m, A, F, V, ohm).
enum class EPartTable
{
    Wire,
    Litz,
    Diode,
    FerriteMaterial,
    FerriteRod,
};

enum class EValueKind
{
    Text,
    Real,
    Integer,
};

struct CPartColumn
{
    const char* m_Name;      // the database column
    const char* m_CsvHeader; // the column of the table's source file
    EValueKind m_Kind;
    bool m_Required;
    double m_Scale; // a number of the source file times this is the stored value
};

// Every table starts with the part's name and ends with where its values come from.
struct CPartTableDef
{
    EPartTable m_Table;
    const char* m_SqlName;
    const char* m_CsvFile;
    std::vector<CPartColumn> m_Columns;
};

const std::vector<CPartTableDef>& PartTables();
const CPartTableDef& PartTable(EPartTable table);
// Creates the table unless it exists; names compare without regard to case, so "awg 26"
// and "AWG 26" are one part.
std::string CreateTableSql(const CPartTableDef& table);
