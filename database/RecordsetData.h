// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/SqliteDatabase.h"
#include "database/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class ECursorType
{
    ForwardOnly, // moves forward only (and back to the first row)
    Dynamic,
    Keyset,
    Static,
};

enum class ELockType
{
    ReadOnly,
    Pessimistic, // the recordset holds a write transaction while it is open
    Optimistic,  // a row is written only if it still holds the values that were read
};

// The state of one recordset, shared by the copies of a CADODBRecordset. The cursor is
// on the client: opening reads every row. Every operation throws CDatabaseException
// with the text to show.
class CRecordsetData
{
public:
    CRecordsetData() = default;
    ~CRecordsetData();
    CRecordsetData(const CRecordsetData&) = delete;
    CRecordsetData& operator=(const CRecordsetData&) = delete;

    // Closes, then runs `sql` and reads its rows; a pessimistic recordset first begins
    // a write transaction unless one is open already, and commits it when it closes.
    void Open(std::shared_ptr<CSqliteDatabase> database, const std::string& sql, ECursorType cursor,
              ELockType lock);
    // Closes and becomes an unattached recordset without fields: static, optimistic,
    // held in memory only.
    void MakeUnattached();
    // Appends text fields of `size` characters to a closed unattached recordset.
    void AppendTextFields(const std::vector<std::string>& names, int size);
    void OpenUnattached();
    // Appends a row of NULLs to an open unattached recordset and moves to it.
    void AddNew();
    // Writes a row being changed, commits the recordset's own transaction and closes.
    // Closing a closed recordset does nothing.
    void Close();
    bool IsOpen() const { return m_Open; }

    bool EndOfFile() const;
    bool HasRecords() const;
    long RecordCount() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    // Searches from the current row on; on no match the recordset is at its end.
    bool Find(const std::string& criteria);

    bool HasField(const CVariant& field) const;
    const CVariant& Value(const CVariant& field) const;
    // Changes a field of the current row; an attached recordset writes the row on
    // Update, on a move and on Close.
    void SetValue(const CVariant& field, const CVariant& value);
    void Update();

private:
    struct CColumn
    {
        std::string m_Name;
        std::string m_Schema; // where the value is stored; empty for expressions
        std::string m_Table;
        std::string m_Origin;
        int m_DefinedSize = 0; // characters, for the text fields of an unattached recordset
    };

    void RequireOpen() const;
    void RequireCurrentRow() const;
    std::size_t ColumnIndex(const CVariant& field) const;
    CVariant UnattachedValue(const CColumn& column, const CVariant& value) const;
    // Writes the row being changed; when that fails the row gets its stored values back.
    void WriteEdits();
    void UpdateStoredRow();
    // The changed fields, all of one table and each of its own column; throws otherwise.
    std::vector<std::size_t> EditedColumns() const;
    // The fields whose stored values find the row being changed.
    std::vector<std::size_t> RowCriteria(const std::vector<std::size_t>& edited) const;
    static bool SameTable(const CColumn& a, const CColumn& b);
    void EndOwnTransaction();

    std::shared_ptr<CSqliteDatabase> m_Database;
    bool m_Open = false;
    bool m_Unattached = false;
    ECursorType m_Cursor = ECursorType::Static;
    ELockType m_Lock = ELockType::Optimistic;
    bool m_OwnsTransaction = false;
    std::uint64_t m_TransactionMark = 0;
    std::vector<CColumn> m_Columns;
    std::vector<std::vector<CVariant>> m_Rows;
    long m_Position = 0; // -1 before the first row, m_Rows.size() at the end
    bool m_Editing = false;
    std::vector<CVariant> m_Stored; // the row being changed, as it was read
    std::vector<bool> m_Edited;
};
