// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/DabrelExport.h"
#include "database/Error.h"

#include <cstdint>
#include <memory>
#include <string>

class CSqliteDatabase;

// A connection to a database file. Copies share the open database, which closes when
// the last copy and the last recordset opened on it let go.
//
// Every operation but OpenDatabase stores a failure in the error record and shows it
// in the error box; no exception leaves an operation. An operation before the database
// is opened, or after it is closed, fails with "Invalid pointer".
class DABREL_EXPORT CADODBConnect
{
public:
    CADODBConnect();
    CADODBConnect(const CADODBConnect& other);
    CADODBConnect& operator=(const CADODBConnect& other);
    virtual ~CADODBConnect();

    // Closes an open database, then opens the existing database file `file` for reading
    // and writing, shared with other programs. The connection text, user and password
    // have no meaning for a database file and are ignored. On failure the database's
    // message is stored and nothing is shown.
    bool OpenDatabase(const std::string& connection, const std::string& file,
                      const std::string& user, const std::string& password);
    // As OpenDatabase, but the file is only read: every change to it fails with the
    // database's "attempt to write a readonly database", and it may lie in a folder the
    // program cannot write to.
    bool OpenDatabaseReadOnly(const std::string& file);
    // Lets go of the database; a transaction not committed is rolled back once no
    // recordset uses the database any more.
    bool CloseDatabase();
    bool IsOpen() const;

    // Runs SQL as given; it may hold several statements.
    bool Execute(const std::string& sql);
    bool BeginTransaction();
    bool CommitTransaction();
    bool RollbackTransaction();

    // The field of the row of `table` whose RecId is `recId`, as text; empty when there
    // is no such row. Table and field must be plain names (letters, digits, underscores),
    // and the field one of the table's columns.
    std::string GetFieldAsStringUsingRecID(const std::string& table, const std::string& field,
                                           long recId);
    // The highest value of the field in the table, as text (empty for an empty table);
    // `value` receives it as a number when it is a whole number within int, else 0.
    // Table and field must be plain names, the field one of the table's columns.
    std::string GetHeighestValue(const std::string& table, const std::string& field, int& value);
    // The row id of the row this connection inserted last (0 before any).
    std::int64_t GetRecIDJustAdded();

    const CError& GetError() const { return m_Error; }
    const std::string& GetDataSource() const { return m_strDataSource; }

private:
    friend class CADODBRecordset;

    bool Open(const std::string& file, bool readOnly);

    CSqliteDatabase& Database() const;

    std::shared_ptr<CSqliteDatabase> m_Database;
    CError m_Error;
    std::string m_strDataSource; // the database file
};
