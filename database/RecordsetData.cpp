// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/RecordsetData.h"

#include "database/FindCriteria.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace
{
const char* const g_NoCurrentRow =
    "There is no current record: the recordset is at its beginning or its end.";

std::size_t CountCharacters(const std::string& text)
{
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

// Undoes the changes since a savepoint; runs on a failure path, so it never throws.
void RollBackSavepoint(CSqliteDatabase& database, const std::string& name)
{
    try
    {
        database.Execute("ROLLBACK TO " + name + "; RELEASE " + name);
    }
    catch (...)
    {
        // The transaction the savepoint belonged to has ended already.
    }
}
} // namespace

CRecordsetData::~CRecordsetData()
{
    try
    {
        Close();
    }
    catch (...)
    {
        // The owning recordset reports close failures before letting go of the data.
    }
}

void CRecordsetData::Open(std::shared_ptr<CSqliteDatabase> database, const std::string& sql,
                          ECursorType cursor, ELockType lock)
{
    Close();
    m_Columns.clear();
    m_Rows.clear();
    m_Unattached = false;
    m_Cursor = cursor;
    m_Lock = lock;
    m_Database = std::move(database);
    try
    {
        if (lock == ELockType::Pessimistic && !m_Database->InTransaction())
        {
            m_Database->Execute("BEGIN IMMEDIATE");
            m_OwnsTransaction = true;
            m_TransactionMark = m_Database->EndedTransactions();
        }
        CSqliteStatement statement(*m_Database, sql);
        const int count = statement.ColumnCount();
        for (int i = 0; i < count; ++i)
            m_Columns.push_back({statement.ColumnName(i), statement.ColumnSchema(i),
                                 statement.ColumnTable(i), statement.ColumnOrigin(i), 0});
        while (statement.Step())
        {
            std::vector<CVariant> row;
            row.reserve(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                row.push_back(statement.ColumnValue(i));
            m_Rows.push_back(std::move(row));
        }
    }
    catch (...)
    {
        if (m_OwnsTransaction)
        {
            m_OwnsTransaction = false;
            try
            {
                m_Database->Execute("ROLLBACK");
            }
            catch (...)
            {
                // Already rolled back by the failure itself.
            }
        }
        m_Columns.clear();
        m_Rows.clear();
        m_Database.reset();
        throw;
    }
    m_Open = true;
    m_Position = 0;
}

void CRecordsetData::MakeUnattached()
{
    Close();
    m_Columns.clear();
    m_Database.reset();
    m_Unattached = true;
    m_Cursor = ECursorType::Static;
    m_Lock = ELockType::Optimistic;
}

void CRecordsetData::AppendTextFields(const std::vector<std::string>& names, int size)
{
    if (!m_Unattached)
        throw CDatabaseException("Fields can be appended only to an unattached recordset.");
    if (m_Open)
        throw CDatabaseException("Fields cannot be appended while the recordset is open.");
    for (const std::string& name : names)
        if (HasField(CVariant(name)))
            throw CDatabaseException("The recordset already has a field " + name + ".");
    for (const std::string& name : names)
        m_Columns.push_back({name, {}, {}, {}, size});
}

void CRecordsetData::OpenUnattached()
{
    if (!m_Unattached)
        throw CDatabaseException("The recordset is not an unattached recordset.");
    Close();
    if (m_Columns.empty())
        throw CDatabaseException(
            "An unattached recordset needs its fields appended before it is opened.");
    m_Rows.clear();
    m_Open = true;
    m_Position = 0;
}

void CRecordsetData::AddNew()
{
    RequireOpen();
    if (!m_Unattached)
        throw CDatabaseException("Rows can be added only to an unattached recordset; add rows "
                                 "to a table with an INSERT statement.");
    m_Rows.emplace_back(m_Columns.size(), CVariant(CNull{}));
    m_Position = static_cast<long>(m_Rows.size()) - 1;
}

void CRecordsetData::Close()
{
    if (!m_Open)
        return;
    // Close whatever happens, then report the first failure.
    std::exception_ptr failure;
    try
    {
        WriteEdits();
    }
    catch (...)
    {
        failure = std::current_exception();
    }
    try
    {
        EndOwnTransaction();
    }
    catch (...)
    {
        if (!failure)
            failure = std::current_exception();
    }
    m_Open = false;
    m_Rows.clear();
    if (!m_Unattached)
        m_Columns.clear();
    m_Database.reset();
    m_Position = 0;
    if (failure)
        std::rethrow_exception(failure);
}

void CRecordsetData::EndOwnTransaction()
{
    if (!m_OwnsTransaction)
        return;
    m_OwnsTransaction = false;
    // Someone else may have committed or rolled back the transaction on the connection;
    // then it is no longer ours to commit.
    if (!m_Database->InTransaction() || m_Database->EndedTransactions() != m_TransactionMark)
        return;
    try
    {
        m_Database->Execute("COMMIT");
    }
    catch (...)
    {
        // Do not leave the file locked; the failure is reported.
        try
        {
            m_Database->Execute("ROLLBACK");
        }
        catch (...)
        {
        }
        throw;
    }
}

void CRecordsetData::RequireOpen() const
{
    if (!m_Open)
        throw CDatabaseException("The operation is not allowed while the recordset is closed.");
}

void CRecordsetData::RequireCurrentRow() const
{
    if (m_Position < 0 || m_Position >= static_cast<long>(m_Rows.size()))
        throw CDatabaseException(g_NoCurrentRow);
}

bool CRecordsetData::EndOfFile() const
{
    RequireOpen();
    return m_Position >= static_cast<long>(m_Rows.size());
}

bool CRecordsetData::HasRecords() const
{
    RequireOpen();
    return !m_Rows.empty();
}

long CRecordsetData::RecordCount() const
{
    RequireOpen();
    return static_cast<long>(m_Rows.size());
}

void CRecordsetData::MoveFirst()
{
    RequireOpen();
    WriteEdits();
    m_Position = 0;
}

void CRecordsetData::MoveNext()
{
    RequireOpen();
    if (m_Position >= static_cast<long>(m_Rows.size()))
        throw CDatabaseException(g_NoCurrentRow);
    WriteEdits();
    ++m_Position;
}

void CRecordsetData::MovePrevious()
{
    RequireOpen();
    if (m_Cursor == ECursorType::ForwardOnly)
        throw CDatabaseException("The recordset is forward-only; it cannot move backward.");
    if (m_Position < 0)
        throw CDatabaseException(g_NoCurrentRow);
    WriteEdits();
    --m_Position;
}

bool CRecordsetData::Find(const std::string& criteria)
{
    RequireOpen();
    const CFindCriteria condition(criteria);
    const std::size_t column = ColumnIndex(CVariant(condition.Field()));
    WriteEdits();
    for (long row = std::max(m_Position, 0L); row < static_cast<long>(m_Rows.size()); ++row)
    {
        if (condition.Matches(m_Rows[static_cast<std::size_t>(row)][column]))
        {
            m_Position = row;
            return true;
        }
    }
    m_Position = static_cast<long>(m_Rows.size());
    return false;
}

std::size_t CRecordsetData::ColumnIndex(const CVariant& field) const
{
    if (const auto* name = field.Get<std::string>())
    {
        for (std::size_t i = 0; i < m_Columns.size(); ++i)
            if (SameName(m_Columns[i].m_Name, *name))
                return i;
        throw CDatabaseException("The recordset has no field named " + *name + ".");
    }
    std::optional<long long> number;
    if (const auto* n = field.Get<std::int32_t>())
        number = *n;
    else if (const auto* n = field.Get<std::int64_t>())
        number = *n;
    if (!number)
        throw CDatabaseException("A field is named by its name or its number.");
    if (*number < 0 || *number >= static_cast<long long>(m_Columns.size()))
        throw CDatabaseException("The recordset has no field number " + std::to_string(*number) +
                                 ".");
    return static_cast<std::size_t>(*number);
}

bool CRecordsetData::HasField(const CVariant& field) const
{
    try
    {
        ColumnIndex(field);
        return true;
    }
    catch (const CDatabaseException&)
    {
        return false;
    }
}

const CVariant& CRecordsetData::Value(const CVariant& field) const
{
    RequireOpen();
    const std::size_t column = ColumnIndex(field);
    RequireCurrentRow();
    return m_Rows[static_cast<std::size_t>(m_Position)][column];
}

CVariant CRecordsetData::UnattachedValue(const CColumn& column, const CVariant& value) const
{
    if (value.IsEmpty() || value.IsNull())
        return CVariant(CNull{});
    if (value.Is<CBlob>())
        throw CDatabaseException("The value given for " + column.m_Name + " is not text.");
    if (const auto* date = value.Get<CDateTime>(); date && !date->IsValid())
        throw CDatabaseException("Invalid DateTime");
    std::string text = value.AsString();
    // Refused rather than cut short, so nothing is lost unseen.
    if (CountCharacters(text) > static_cast<std::size_t>(column.m_DefinedSize))
        throw CDatabaseException("The value given for " + column.m_Name + " is longer than " +
                                 std::to_string(column.m_DefinedSize) + " characters.");
    return CVariant(std::move(text));
}

void CRecordsetData::SetValue(const CVariant& field, const CVariant& value)
{
    RequireOpen();
    const std::size_t index = ColumnIndex(field);
    RequireCurrentRow();
    const CColumn& column = m_Columns[index];
    std::vector<CVariant>& row = m_Rows[static_cast<std::size_t>(m_Position)];
    if (m_Unattached)
    {
        row[index] = UnattachedValue(column, value);
        return;
    }
    if (m_Lock == ELockType::ReadOnly)
        throw CDatabaseException("The recordset is read-only; open it for update to change "
                                 "its fields.");
    if (column.m_Table.empty())
        throw CDatabaseException("The field " + column.m_Name +
                                 " is not a column of a table and cannot be changed.");
    if (const auto* date = value.Get<CDateTime>(); date && !date->IsValid())
        throw CDatabaseException("Invalid DateTime");
    if (!m_Editing)
    {
        m_Stored = row;
        m_Edited.assign(m_Columns.size(), false);
        m_Editing = true;
    }
    row[index] = value;
    m_Edited[index] = true;
}

void CRecordsetData::Update()
{
    RequireOpen();
    WriteEdits();
}

void CRecordsetData::WriteEdits()
{
    if (!m_Editing)
        return;
    try
    {
        UpdateStoredRow();
    }
    catch (...)
    {
        m_Rows[static_cast<std::size_t>(m_Position)] = m_Stored;
        m_Editing = false;
        throw;
    }
    m_Editing = false;
}

bool CRecordsetData::SameTable(const CColumn& a, const CColumn& b)
{
    return SameName(a.m_Schema, b.m_Schema) && SameName(a.m_Table, b.m_Table);
}

std::vector<std::size_t> CRecordsetData::EditedColumns() const
{
    std::vector<std::size_t> edited;
    for (std::size_t i = 0; i < m_Columns.size(); ++i)
        if (m_Edited[i])
            edited.push_back(i);
    const CColumn& first = m_Columns[edited.front()];
    for (std::size_t i : edited)
        if (!SameTable(m_Columns[i], first))
            throw CDatabaseException("The fields changed in one row must belong to one table.");
    // Two names for one column would both be written, and the row would show only one of them.
    for (std::size_t n = 0; n < edited.size(); ++n)
        for (std::size_t k = n + 1; k < edited.size(); ++k)
        {
            const CColumn& a = m_Columns[edited[n]];
            const CColumn& b = m_Columns[edited[k]];
            if (SameName(a.m_Origin, b.m_Origin))
                throw CDatabaseException("The fields " + a.m_Name + " and " + b.m_Name +
                                         " are both the column " + a.m_Origin + " of " + a.m_Table +
                                         "; change it through one of them.");
        }
    return edited;
}

// The row is found by its primary key when the recordset holds all of it, else by every field
// it holds of the table; the changed fields must also still hold what was read, so a change
// made by someone else since is not overwritten.
std::vector<std::size_t> CRecordsetData::RowCriteria(const std::vector<std::size_t>& edited) const
{
    const CColumn& first = m_Columns[edited.front()];
    std::vector<std::size_t> criteria;
    bool wholeKey = true;
    {
        CSqliteStatement keys(
            *m_Database, "SELECT name FROM pragma_table_info(?1, ?2) WHERE pk > 0 ORDER BY pk");
        keys.Bind(1, CVariant(first.m_Table));
        keys.Bind(2, CVariant(first.m_Schema));
        bool anyKey = false;
        while (keys.Step())
        {
            anyKey = true;
            const std::string key = keys.ColumnValue(0).AsString();
            std::optional<std::size_t> found;
            for (std::size_t i = 0; i < m_Columns.size() && !found; ++i)
                if (SameTable(m_Columns[i], first) && SameName(m_Columns[i].m_Origin, key))
                    found = i;
            if (found)
                criteria.push_back(*found);
            else
                wholeKey = false;
        }
        wholeKey = wholeKey && anyKey;
    }
    if (wholeKey)
    {
        for (std::size_t i : edited)
            if (std::find(criteria.begin(), criteria.end(), i) == criteria.end())
                criteria.push_back(i);
    }
    else
    {
        criteria.clear();
        for (std::size_t i = 0; i < m_Columns.size(); ++i)
            if (SameTable(m_Columns[i], first))
                criteria.push_back(i);
    }
    return criteria;
}

void CRecordsetData::UpdateStoredRow()
{
    const std::vector<CVariant>& row = m_Rows[static_cast<std::size_t>(m_Position)];
    const std::vector<std::size_t> edited = EditedColumns();
    const std::vector<std::size_t> criteria = RowCriteria(edited);
    const CColumn& first = m_Columns[edited.front()];

    std::string sql = "UPDATE " + QuoteIdentifier(first.m_Schema) + "." +
                      QuoteIdentifier(first.m_Table) + " SET ";
    for (std::size_t n = 0; n < edited.size(); ++n)
        sql += (n ? ", " : "") + QuoteIdentifier(m_Columns[edited[n]].m_Origin) + " = ?";
    sql += " WHERE ";
    for (std::size_t n = 0; n < criteria.size(); ++n)
        sql += (n ? " AND " : "") + QuoteIdentifier(m_Columns[criteria[n]].m_Origin) + " IS ?";

    const std::string savepoint = "dabrel_update";
    m_Database->Execute("SAVEPOINT " + savepoint);
    try
    {
        CSqliteStatement update(*m_Database, sql);
        int parameter = 1;
        for (std::size_t i : edited)
            update.Bind(parameter++, row[i]);
        for (std::size_t i : criteria)
            update.Bind(parameter++, m_Stored[i]);
        update.Step();
        const int changes = m_Database->Changes();
        if (changes == 0)
            throw CDatabaseException("The row could not be found for updating; it may have "
                                     "been changed or deleted since it was read.");
        if (changes > 1)
            throw CDatabaseException("The row cannot be updated: the recordset does not tell "
                                     "it apart from other rows of " +
                                     first.m_Table + ".");
    }
    catch (...)
    {
        RollBackSavepoint(*m_Database, savepoint);
        throw;
    }
    m_Database->Execute("RELEASE " + savepoint);
}
