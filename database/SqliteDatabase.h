// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dabrel's own layer over SQLite; nothing here is exported.

#include "database/Error.h"
#include "database/Variant.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// A failure the database reports (or one of ours in its place): its text is what the
// user is shown.
class CDatabaseException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The text of the failure raised for an operation on a connection or recordset that
// does not exist.
inline const char* const g_InvalidPointer = "Invalid pointer";

// One open database file, shared by a connection, its copies and the recordsets opened
// on it, and closed when the last of them lets go.
class CSqliteDatabase
{
public:
    // Opens an existing database file for reading and writing, or for reading only.
    explicit CSqliteDatabase(const std::string& file, bool readOnly = false);
    ~CSqliteDatabase();
    CSqliteDatabase(const CSqliteDatabase&) = delete;
    CSqliteDatabase& operator=(const CSqliteDatabase&) = delete;

    sqlite3* Handle() const { return m_Db; }
    // Runs one or more statements that return no rows.
    void Execute(const std::string& sql);
    // Whether a transaction is open (the database is not committing each statement).
    bool InTransaction() const;
    // Rows changed by the last statement that finished.
    int Changes() const;
    // Counts the transactions that have ended, committed or rolled back; an owner of a
    // transaction compares it to see whether someone else ended it.
    std::uint64_t EndedTransactions() const { return m_EndedTransactions; }

    [[noreturn]] void ThrowLastError() const;

private:
    sqlite3* m_Db = nullptr;
    std::uint64_t m_EndedTransactions = 0;
};

// A prepared statement, finalized on every way out.
class CSqliteStatement
{
public:
    CSqliteStatement(CSqliteDatabase& database, const std::string& sql);

    // Binds parameter `index` (from 1); empty and NULL values bind as NULL.
    void Bind(int index, const CVariant& value);
    // Steps once; true when a row is ready.
    bool Step();

    int ColumnCount() const;
    std::string ColumnName(int column) const;
    // Database, table and column a result column comes from; empty for expressions.
    std::string ColumnSchema(int column) const;
    std::string ColumnTable(int column) const;
    std::string ColumnOrigin(int column) const;
    // The value of a result column of the current row, typed by its declared type:
    // whole numbers as 32-bit integers when they fit, reals declared SINGLE or FLOAT4 as
    // float when exact, text in date columns as a date when it is in the stored form.
    CVariant ColumnValue(int column) const;

private:
    struct CFinalizer
    {
        void operator()(sqlite3_stmt* statement) const;
    };
    CSqliteDatabase& m_Database;
    std::unique_ptr<sqlite3_stmt, CFinalizer> m_Statement;
};

// Letters, digits and underscores, not starting with a digit: a name that may be
// written into SQL text as it stands.
bool IsPlainIdentifier(const std::string& name);
// A name written into SQL text between double quotes, whatever it holds.
std::string QuoteIdentifier(const std::string& name);
// ASCII case-insensitive equality, as the database compares names.
bool SameName(const std::string& a, const std::string& b);

// Stores a failure as a program error and, when asked, shows it. Never throws.
void ReportDatabaseError(CError& error, const std::string& text, bool show);

// Runs `call`. A database failure is stored and shown with its own text, anything else
// with `fixedText`; either way the result is false and no exception leaves.
template <class F>
bool GuardDatabaseCall(CError& error, const char* fixedText, F&& call, bool show = true)
{
    try
    {
        call();
        return true;
    }
    catch (const CDatabaseException& e)
    {
        ReportDatabaseError(error, e.what(), show);
    }
    catch (...)
    {
        ReportDatabaseError(error, fixedText, show);
    }
    return false;
}
