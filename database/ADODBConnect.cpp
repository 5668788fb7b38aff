// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/ADODBConnect.h"

#include "database/SqliteDatabase.h"

namespace
{
const char* const g_Unhandled = "Unhandled Exception";

// Table and field names are written into the SQL text, so only plain names are let in.
void RequirePlainIdentifier(const std::string& name, const std::string& what)
{
    if (!IsPlainIdentifier(name))
        throw CDatabaseException("The " + what + " name \"" + name +
                                 "\" is refused: a name is made of letters, digits and "
                                 "underscores and does not start with a digit.");
}

// `field` of `table`, quoted for the SQL text. The field must be one of the table's own
// columns: a plain name may still be a keyword such as CURRENT_DATE, which would otherwise
// be read as a value.
std::string ColumnOfTable(CSqliteDatabase& database, const std::string& table,
                          const std::string& field)
{
    RequirePlainIdentifier(table, "table");
    RequirePlainIdentifier(field, "field");
    CSqliteStatement columns(database, "SELECT name FROM pragma_table_info(?1)");
    columns.Bind(1, CVariant(table));
    bool tableFound = false;
    while (columns.Step())
    {
        tableFound = true;
        if (SameName(columns.ColumnValue(0).AsString(), field))
            return QuoteIdentifier(field);
    }
    throw CDatabaseException(tableFound ? "no such column: " + field : "no such table: " + table);
}
} // namespace

CADODBConnect::CADODBConnect() = default;
CADODBConnect::CADODBConnect(const CADODBConnect& other) = default;
CADODBConnect& CADODBConnect::operator=(const CADODBConnect& other) = default;
CADODBConnect::~CADODBConnect() = default;

CSqliteDatabase& CADODBConnect::Database() const
{
    if (!m_Database)
        throw CDatabaseException(g_InvalidPointer);
    return *m_Database;
}

bool CADODBConnect::OpenDatabase(const std::string&, const std::string& file, const std::string&,
                                 const std::string&)
{
    return Open(file, false);
}

bool CADODBConnect::OpenDatabaseReadOnly(const std::string& file)
{
    return Open(file, true);
}

bool CADODBConnect::Open(const std::string& file, bool readOnly)
{
    return GuardDatabaseCall(
        m_Error, g_Unhandled,
        [&]
        {
            m_Database.reset();
            m_strDataSource.clear();
            m_Database = std::make_shared<CSqliteDatabase>(file, readOnly);
            m_strDataSource = file;
        },
        false);
}

bool CADODBConnect::CloseDatabase()
{
    return GuardDatabaseCall(m_Error, "Unhandled Exception - while closing database! ",
                             [&]
                             {
                                 Database();
                                 m_Database.reset();
                                 m_strDataSource.clear();
                             });
}

bool CADODBConnect::IsOpen() const
{
    return m_Database != nullptr;
}

bool CADODBConnect::Execute(const std::string& sql)
{
    return GuardDatabaseCall(m_Error, g_Unhandled, [&] { Database().Execute(sql); });
}

bool CADODBConnect::BeginTransaction()
{
    return Execute("BEGIN");
}

bool CADODBConnect::CommitTransaction()
{
    return Execute("COMMIT");
}

bool CADODBConnect::RollbackTransaction()
{
    return Execute("ROLLBACK");
}

std::string CADODBConnect::GetFieldAsStringUsingRecID(const std::string& table,
                                                      const std::string& field, long recId)
{
    std::string result;
    GuardDatabaseCall(m_Error, g_Unhandled,
                      [&]
                      {
                          const std::string column = ColumnOfTable(Database(), table, field);
                          CSqliteStatement statement(Database(), "SELECT " + column + " from " +
                                                                     QuoteIdentifier(table) +
                                                                     " where RecId = ?");
                          statement.Bind(1, CVariant(recId));
                          if (statement.Step())
                              result = statement.ColumnValue(0).AsString();
                      });
    return result;
}

std::string CADODBConnect::GetHeighestValue(const std::string& table, const std::string& field,
                                            int& value)
{
    std::string result;
    value = 0;
    GuardDatabaseCall(m_Error, g_Unhandled,
                      [&]
                      {
                          const std::string column = ColumnOfTable(Database(), table, field);
                          CSqliteStatement statement(
                              Database(), "SELECT " + column + " from " + QuoteIdentifier(table) +
                                              " order by " + column + " desc LIMIT 1");
                          if (statement.Step())
                          {
                              const CVariant highest = statement.ColumnValue(0);
                              result = highest.AsString();
                              if (const auto* number = highest.Get<std::int32_t>())
                                  value = *number;
                          }
                      });
    return result;
}

std::int64_t CADODBConnect::GetRecIDJustAdded()
{
    std::int64_t id = 0;
    GuardDatabaseCall(m_Error, g_Unhandled,
                      [&]
                      {
                          CSqliteStatement statement(Database(),
                                                     "SELECT last_insert_rowid() as IDRec;");
                          if (statement.Step())
                          {
                              const CVariant value = statement.ColumnValue(0);
                              if (const auto* small = value.Get<std::int32_t>())
                                  id = *small;
                              else if (const auto* large = value.Get<std::int64_t>())
                                  id = *large;
                          }
                      });
    return id;
}
