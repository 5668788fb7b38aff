// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/DabrelExport.h"
#include "database/Error.h"
#include "database/Variant.h"

#include <memory>
#include <string>

class CADODBConnect;
class CRecordsetData;
enum class ECursorType;
enum class ELockType;

// The rows of a query, read when the recordset opens. Copies share one recordset: its
// rows, its current row and its state.
//
// Every operation stores a failure in the error record and shows it in the error box;
// no exception leaves an operation. An operation before the recordset is opened or
// created fails with "Invalid pointer".
class DABREL_EXPORT CADODBRecordset
{
public:
    // `connect` (which must outlive the recordset's opening) may be none for an
    // unattached recordset.
    explicit CADODBRecordset(CADODBConnect* connect = nullptr);
    CADODBRecordset(const CADODBRecordset& other);
    CADODBRecordset& operator=(const CADODBRecordset& other);
    virtual ~CADODBRecordset();

    // Forward-only and read-only: MovePrevious and changing fields are refused.
    bool OpenRecordSet(const std::string& sql);
    // Holds a write transaction until it closes (joining one already open instead);
    // each updated row is written at once and committed when the recordset closes.
    bool OpenRecordSetForUpdate(const std::string& sql);
    // Every row of a table; an updated row is written only if it still holds the
    // values that were read.
    bool OpenTable(const std::string& table);
    // A recordset in memory with no connection: create it, append its fields, open it,
    // then add rows with AddNew.
    bool CreateUnattachedRecordSet();
    bool OpenUnattachedRecordSet();
    // Appends the text fields "field1" to "field4", of 20 characters each.
    bool AppendRecordsetField();
    bool AddNew();
    // Writes a changed row, commits the recordset's own transaction, and closes.
    bool CloseRecordset();

    bool EndOfFile();
    bool HasRecords();
    long RecordCount(); // -1 on failure
    // A changed row is written before the cursor moves.
    bool MoveFirst();
    bool MoveNext();
    bool MovePrevious();
    // Searches from the current row on, e.g. "Name = 'Coil 1'", "RecId >= 3",
    // "Made < #2024-01-31#", "Name LIKE 'Co*'". True when a row is found and current;
    // false otherwise, with the recordset at its end (shown only when it is a failure).
    bool Find(const std::string& criteria);

    // A field is named by its name (any case) or its number from 0.
    bool DoesFieldExist(const CVariant& field);
    std::string GetField(const CVariant& field);
    bool GetField(const CVariant& field, CVariant& value);
    CVariant GetFieldVariant(const CVariant& field);
    bool GetFieldDouble(const CVariant& field, double& value); // a float or a double
    bool GetFieldFloat(const CVariant& field, float& value);
    bool GetFieldInt(const CVariant& field, int& value);   // a 32-bit integer
    bool GetFieldLong(const CVariant& field, long& value); // a 32-bit integer
    bool GetFieldLongLong(const CVariant& field, long long& value);
    static std::string GetVariantAsString(const CVariant& value);

    // Changes a field of the current row; the row is written by Update, a move or Close.
    bool SeField(const CVariant& field, const CVariant& value);
    // Changes a field and writes the row.
    bool Update(const CVariant& field, const CVariant& value);

    const CError& GetError() const { return m_Error; }

private:
    CRecordsetData& Data() const;
    bool OpenAttached(const std::string& sql, ECursorType cursor, ELockType lock);
    template <class T, class... Accepted>
    bool GetTyped(const CVariant& field, T& value, const char* complaint);
    void Release();

    CADODBConnect* m_pConnect;
    std::shared_ptr<CRecordsetData> m_Recordset;
    CError m_Error;
};
