// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/ADODBConnect.h"
#include "database/Variant.h"
#include "parts/Parts.h"
#include "parts/PartsSchema.h"

#include <optional>
#include <string>
#include <vector>

// A name as a picker lists it.
struct CPartName
{
    std::string m_Name;
    bool m_User = false;            // one of the user's own parts
    bool m_ReplacesShipped = false; // a user part in place of a shipped one of the same name
};

// The parts a design can be built from: those shipped with the program, read-only, and the
// user's own, kept in a database of their own with the same tables. A user part wins over a
// shipped one of the same name (names compare without regard to case) in the same table.
//
// Every operation returns whether it succeeded; on failure GetErrorText says why, in words
// the caller can show. Errors of the database itself are also shown through Dabrel's
// message presenter, as every Dabrel failure is.
class CPartsLibrary
{
public:
    CPartsLibrary() = default;
    CPartsLibrary(const CPartsLibrary&) = delete;
    CPartsLibrary& operator=(const CPartsLibrary&) = delete;

    // The database shipped with the program, opened for reading only.
    bool OpenShipped(const std::string& file);
    // The user's parts, created empty (with its folder) when missing. A file that is not a
    // readable parts database is renamed to "<file>.corrupt" (or "<file>.N.corrupt" when that
    // is taken), never deleted, and a new empty one takes its place: the parts are usable
    // again, but the result is false and the error text says what happened.
    bool OpenUser(const std::string& file);
    void Close();
    bool IsShippedOpen() const { return m_Shipped.IsOpen(); }
    bool IsUserOpen() const { return m_User.IsOpen(); }
    const std::string& GetErrorText() const { return m_ErrorText; }

    // The names of a table, shipped and user ones merged, sorted as people read them:
    // without regard to case and with numbers by value ("AWG 9" before "AWG 10").
    std::vector<CPartName> ListNames(EPartTable table);

    // A part by name: the user's when there is one, else the shipped one.
    template <class TPart> std::optional<TPart> Find(const std::string& name);
    // Adds a part to the user's parts, or changes the user part named `replacing` (the
    // part's own name when empty), which renames it when the names differ. Saving a
    // shipped part's name makes a user part that takes its place.
    template <class TPart> bool Save(const TPart& part, const std::string& replacing = {});
    // A part as the values of its table's columns (PartTable), the user's when there is one;
    // and the same for saving a user part, as Save does.
    std::optional<std::vector<CVariant>> FindRow(EPartTable table, const std::string& name);
    bool SaveValues(EPartTable table, const std::vector<CVariant>& values,
                    const std::string& replacing = {});
    // Deletes a user part; a shipped part of that name, if any, shows again.
    bool DeleteUserPart(EPartTable table, const std::string& name);

private:
    using CRow = std::vector<CVariant>; // one value per column of the table

    bool Fail(const std::string& text);
    bool FailWith(const CError& error, const std::string& what);
    std::optional<CRow> ReadRow(CADODBConnect& database, const CPartTableDef& table,
                                const std::string& name);
    bool ReadNames(CADODBConnect& database, const CPartTableDef& table,
                   std::vector<std::string>& names);
    std::optional<long long> UserRecId(const CPartTableDef& table, const std::string& name);
    bool SaveRow(const CPartTableDef& table, const CRow& row, const std::string& replacing);
    bool WriteRow(const CPartTableDef& table, const CRow& row, const std::string& original);
    // Whether the user's database holds every table with every column; creates missing tables.
    bool PrepareUserTables(std::string& problem);
    bool RecreateUser(const std::string& file, const std::string& problem);
    bool CreateUser(const std::string& file);

    CADODBConnect m_Shipped;
    CADODBConnect m_User;
    std::string m_ErrorText;
};
