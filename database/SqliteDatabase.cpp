// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

namespace
{
// How long a statement waits for another program's lock before it fails.
constexpr int g_BusyTimeoutMs = 5000;

std::string UpperDeclaredType(const char* declared)
{
    std::string type = declared ? declared : "";
    type = type.substr(0, type.find('('));
    while (!type.empty() && std::isspace(static_cast<unsigned char>(type.back())))
        type.pop_back();
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return type;
}

std::string Text(const char* text)
{
    return text ? text : "";
}

// The first word of a statement, in capitals, past blanks and comments; empty for a text that
// holds none.
std::string FirstKeyword(const std::string& statement)
{
    std::size_t i = 0;
    while (i < statement.size())
    {
        if (std::isspace(static_cast<unsigned char>(statement[i])) || statement[i] == ';')
            ++i;
        else if (statement.compare(i, 2, "--") == 0)
            i = std::min(statement.size(), statement.find('\n', i));
        else if (statement.compare(i, 2, "/*") == 0)
        {
            const std::size_t close = statement.find("*/", i + 2);
            i = close == std::string::npos ? statement.size() : close + 2;
        }
        else
            break;
    }
    std::string word;
    for (; i < statement.size() && std::isalpha(static_cast<unsigned char>(statement[i])); ++i)
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(statement[i])));
    return word;
}

// The first words of the statements of a text, split where SQLite itself sees a statement
// end (semicolons in strings, comments and triggers do not end one).
std::vector<std::string> StatementKeywords(const std::string& sql)
{
    std::vector<std::string> keywords;
    std::size_t start = 0;
    for (std::size_t i = sql.find(';'); i != std::string::npos; i = sql.find(';', i + 1))
    {
        const std::string piece = sql.substr(start, i + 1 - start);
        if (!sqlite3_complete(piece.c_str()))
            continue;
        if (std::string word = FirstKeyword(piece); !word.empty())
            keywords.push_back(std::move(word));
        start = i + 1;
    }
    if (std::string word = FirstKeyword(sql.substr(start)); !word.empty())
        keywords.push_back(std::move(word));
    return keywords;
}
} // namespace

CSqliteDatabase::CSqliteDatabase(const std::string& file, bool readOnly)
{
    // Only an existing file is a database here: SQLite would otherwise create a
    // temporary one for an empty name and an in-memory one for ":memory:".
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(file, ignored))
        throw CDatabaseException(sqlite3_errstr(SQLITE_CANTOPEN));
    // A relative name gets "./" so that names like "file:x" are never read as URIs.
    const std::string path = std::filesystem::path(file).is_absolute() ? file : "./" + file;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.c_str(), &m_Db, flags, nullptr);
    if (rc != SQLITE_OK)
    {
        const std::string message = m_Db ? sqlite3_errmsg(m_Db) : sqlite3_errstr(rc);
        sqlite3_close_v2(m_Db);
        throw CDatabaseException(message);
    }
    sqlite3_busy_timeout(m_Db, g_BusyTimeoutMs);
    sqlite3_commit_hook(
        m_Db,
        [](void* self)
        {
            ++static_cast<CSqliteDatabase*>(self)->m_EndedTransactions;
            return 0;
        },
        this);
    sqlite3_rollback_hook(
        m_Db, [](void* self) { ++static_cast<CSqliteDatabase*>(self)->m_EndedTransactions; }, this);
    try
    {
        // SQLite reads the file lazily; read the schema now so a file that is not a
        // database fails here.
        CSqliteStatement check(*this, "SELECT count(*) FROM sqlite_master");
        check.Step();
    }
    catch (...)
    {
        sqlite3_close_v2(m_Db);
        throw;
    }
}

CSqliteDatabase::~CSqliteDatabase()
{
    // Closing rolls back a transaction nobody committed.
    sqlite3_close_v2(m_Db);
}

void CSqliteDatabase::Execute(const std::string& sql)
{
    // Several statements in one text run all or none, in a savepoint, which nests in a
    // transaction of the caller's as well. A text that begins or ends transactions itself is
    // left to manage them.
    const std::vector<std::string> keywords = StatementKeywords(sql);
    const bool together =
        keywords.size() > 1 && std::none_of(keywords.begin(), keywords.end(),
                                            [](const auto& k)
                                            {
                                                return k == "BEGIN" || k == "COMMIT" ||
                                                       k == "END" || k == "ROLLBACK" ||
                                                       k == "SAVEPOINT" || k == "RELEASE";
                                            });
    if (!together)
    {
        if (sqlite3_exec(m_Db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            ThrowLastError();
        return;
    }
    if (sqlite3_exec(m_Db, "SAVEPOINT dabrel_execute", nullptr, nullptr, nullptr) != SQLITE_OK)
        ThrowLastError();
    if (sqlite3_exec(m_Db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    {
        const CDatabaseException error(sqlite3_errmsg(m_Db));
        sqlite3_exec(m_Db, "ROLLBACK TO dabrel_execute; RELEASE dabrel_execute", nullptr, nullptr,
                     nullptr);
        throw error;
    }
    if (sqlite3_exec(m_Db, "RELEASE dabrel_execute", nullptr, nullptr, nullptr) != SQLITE_OK)
        ThrowLastError();
}

bool CSqliteDatabase::InTransaction() const
{
    return sqlite3_get_autocommit(m_Db) == 0;
}

int CSqliteDatabase::Changes() const
{
    return sqlite3_changes(m_Db);
}

void CSqliteDatabase::ThrowLastError() const
{
    throw CDatabaseException(sqlite3_errmsg(m_Db));
}

void CSqliteStatement::CFinalizer::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

CSqliteStatement::CSqliteStatement(CSqliteDatabase& database, const std::string& sql)
    : m_Database(database)
{
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(database.Handle(), sql.c_str(), static_cast<int>(sql.size()), &statement,
                           &tail) != SQLITE_OK)
        database.ThrowLastError();
    m_Statement.reset(statement);
    if (!statement)
        throw CDatabaseException("The SQL text holds no statement.");
    // The rest must be blank: a second statement would otherwise be ignored unseen.
    for (; tail && *tail; ++tail)
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';')
            throw CDatabaseException("Only one SQL statement can be run here.");
}

void CSqliteStatement::Bind(int index, const CVariant& value)
{
    sqlite3_stmt* statement = m_Statement.get();
    struct CBinder
    {
        sqlite3_stmt* m_Statement;
        int m_Index;
        int operator()(std::monostate) const { return sqlite3_bind_null(m_Statement, m_Index); }
        int operator()(CNull) const { return sqlite3_bind_null(m_Statement, m_Index); }
        int operator()(bool value) const { return sqlite3_bind_int(m_Statement, m_Index, value); }
        int operator()(std::int32_t value) const
        {
            return sqlite3_bind_int(m_Statement, m_Index, value);
        }
        int operator()(std::int64_t value) const
        {
            return sqlite3_bind_int64(m_Statement, m_Index, value);
        }
        int operator()(float value) const
        {
            return sqlite3_bind_double(m_Statement, m_Index, value);
        }
        int operator()(double value) const
        {
            return sqlite3_bind_double(m_Statement, m_Index, value);
        }
        int operator()(const std::string& value) const
        {
            return sqlite3_bind_text64(m_Statement, m_Index, value.data(), value.size(),
                                       SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        int operator()(const CDateTime& value) const
        {
            if (!value.IsValid())
                throw CDatabaseException("Invalid DateTime");
            return (*this)(value.Format());
        }
        int operator()(const CBlob& value) const
        {
            return sqlite3_bind_blob64(m_Statement, m_Index, value.data(), value.size(),
                                       SQLITE_TRANSIENT);
        }
    };
    if (std::visit(CBinder{statement, index}, value.m_Value) != SQLITE_OK)
        m_Database.ThrowLastError();
}

bool CSqliteStatement::Step()
{
    const int rc = sqlite3_step(m_Statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_Database.ThrowLastError();
}

int CSqliteStatement::ColumnCount() const
{
    return sqlite3_column_count(m_Statement.get());
}

std::string CSqliteStatement::ColumnName(int column) const
{
    return Text(sqlite3_column_name(m_Statement.get(), column));
}

std::string CSqliteStatement::ColumnSchema(int column) const
{
    return Text(sqlite3_column_database_name(m_Statement.get(), column));
}

std::string CSqliteStatement::ColumnTable(int column) const
{
    return Text(sqlite3_column_table_name(m_Statement.get(), column));
}

std::string CSqliteStatement::ColumnOrigin(int column) const
{
    return Text(sqlite3_column_origin_name(m_Statement.get(), column));
}

CVariant CSqliteStatement::ColumnValue(int column) const
{
    sqlite3_stmt* statement = m_Statement.get();
    switch (sqlite3_column_type(statement, column))
    {
    case SQLITE_INTEGER:
    {
        const sqlite3_int64 value = sqlite3_column_int64(statement, column);
        if (value >= std::numeric_limits<std::int32_t>::min() &&
            value <= std::numeric_limits<std::int32_t>::max())
            return CVariant(static_cast<int>(value));
        return CVariant(static_cast<long long>(value));
    }
    case SQLITE_FLOAT:
    {
        const double value = sqlite3_column_double(statement, column);
        const std::string type = UpperDeclaredType(sqlite3_column_decltype(statement, column));
        // Only an exact float, so that the value written back matches the stored one.
        if ((type == "SINGLE" || type == "FLOAT4") &&
            static_cast<double>(static_cast<float>(value)) == value)
            return CVariant(static_cast<float>(value));
        return CVariant(value);
    }
    case SQLITE_TEXT:
    {
        const auto* bytes = sqlite3_column_text(statement, column);
        std::string text(reinterpret_cast<const char*>(bytes),
                         static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        const std::string type = UpperDeclaredType(sqlite3_column_decltype(statement, column));
        if (type.find("DATE") != std::string::npos || type.find("TIME") != std::string::npos)
        {
            // Only the stored form, so that the value written back matches the stored one.
            const auto date = CDateTime::Parse(text);
            if (date && date->Format() == text)
                return CVariant(*date);
        }
        return CVariant(std::move(text));
    }
    case SQLITE_BLOB:
    {
        const auto* bytes =
            static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
        return CVariant(bytes ? CBlob(bytes, bytes + size) : CBlob{});
    }
    default:
        return CVariant(CNull{});
    }
}

bool IsPlainIdentifier(const std::string& name)
{
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front())))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c)
                       {
                           const auto u = static_cast<unsigned char>(c);
                           return u < 0x80 && (std::isalnum(u) || c == '_');
                       });
}

std::string QuoteIdentifier(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](unsigned char x, unsigned char y)
                                              { return std::tolower(x) == std::tolower(y); });
}

void ReportDatabaseError(CError& error, const std::string& text, bool show)
{
    try
    {
        error.SetProgError(text);
        if (show)
            CError::DisplayError(text);
    }
    catch (...)
    {
        // The error box itself failed; there is nowhere left to report to.
    }
}
