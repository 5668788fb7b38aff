// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the shipped parts database from the reviewed source files, one per table:
//   quillon_make_parts_db <folder of the .csv files> <database to write>
// Any fault in a source file stops it with the file and line, and no database is written.
#include "parts/PartsCsv.h"

#include <sqlite3.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

namespace
{
struct CCloser
{
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using CDatabase = std::unique_ptr<sqlite3, CCloser>;

void Check(sqlite3* db, int rc, const std::string& what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

void Execute(sqlite3* db, const std::string& sql)
{
    Check(db, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), sql);
}

void InsertRows(sqlite3* db, const CPartTableDef& table, const std::vector<CCsvRow>& rows)
{
    std::string sql = std::string("INSERT INTO ") + table.m_SqlName + " (";
    std::string places;
    for (const CPartColumn& column : table.m_Columns)
    {
        sql += (places.empty() ? "" : ", ") + std::string(column.m_Name);
        places += places.empty() ? "?" : ", ?";
    }
    sql += ") VALUES (" + places + ")";
    sqlite3_stmt* raw = nullptr;
    Check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr), sql);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    for (const CCsvRow& row : rows)
    {
        sqlite3_reset(raw);
        for (std::size_t i = 0; i < row.m_Values.size(); ++i)
        {
            const int index = static_cast<int>(i) + 1;
            const CCsvValue& value = row.m_Values[i];
            if (const auto* text = std::get_if<std::string>(&value))
                sqlite3_bind_text(raw, index, text->c_str(), -1, SQLITE_TRANSIENT);
            else if (const auto* real = std::get_if<double>(&value))
                sqlite3_bind_double(raw, index, *real);
            else if (const auto* whole = std::get_if<long long>(&value))
                sqlite3_bind_int64(raw, index, *whole);
            else
                sqlite3_bind_null(raw, index);
        }
        Check(db, sqlite3_step(raw),
              std::string(table.m_CsvFile) + ":" + std::to_string(row.m_Line));
    }
}

// Written beside the target and renamed over it only when complete, so a failed run leaves
// no database that the build would take for up to date.
void WriteDatabase(const std::filesystem::path& folder, const std::filesystem::path& target)
{
    std::vector<std::vector<CCsvRow>> tables;
    for (const CPartTableDef& table : PartTables())
        tables.push_back(ReadPartsCsv((folder / table.m_CsvFile).string(), table));

    std::filesystem::create_directories(target.parent_path());
    const std::filesystem::path temporary = target.string() + ".new";
    std::filesystem::remove(temporary);
    std::filesystem::remove(target);
    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(temporary.string().c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        CDatabase db(raw);
        Check(raw, rc, temporary.string());
        Execute(raw, "BEGIN");
        for (std::size_t i = 0; i < tables.size(); ++i)
        {
            Execute(raw, CreateTableSql(PartTables()[i]));
            InsertRows(raw, PartTables()[i], tables[i]);
        }
        Execute(raw, "COMMIT");
    }
    std::filesystem::rename(temporary, target);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: " << argv[0] << " <folder of the parts .csv files> <database>\n";
        return 2;
    }
    try
    {
        WriteDatabase(argv[1], argv[2]);
    }
    catch (const std::exception& e)
    {
        std::cerr << "error: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
