// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/ADODBRecordset.h"

#include "database/ADODBConnect.h"
#include "database/RecordsetData.h"
#include "database/SqliteDatabase.h"

namespace
{
const char* const g_Unhandled = "Unhandled Exception - ";
const char* const g_WhileGetting = "Unhandled Exception - while getting field ";
const char* const g_WhileSetting = "Unhandled Exception - while setting field ";
const char* const g_WhileClosing = "Unhandled Exception - while closing recordset! ";
} // namespace

CADODBRecordset::CADODBRecordset(CADODBConnect* connect) : m_pConnect(connect) {}

CADODBRecordset::CADODBRecordset(const CADODBRecordset& other) = default;

CADODBRecordset& CADODBRecordset::operator=(const CADODBRecordset& other)
{
    if (m_Recordset != other.m_Recordset)
        Release();
    m_pConnect = other.m_pConnect;
    m_Recordset = other.m_Recordset;
    m_Error = other.m_Error;
    return *this;
}

CADODBRecordset::~CADODBRecordset()
{
    Release();
}

void CADODBRecordset::Release()
{
    // The last copy closes the recordset, so that a failure to write is still shown.
    if (m_Recordset && m_Recordset.use_count() == 1 && m_Recordset->IsOpen())
        GuardDatabaseCall(m_Error, g_WhileClosing, [&] { m_Recordset->Close(); });
    m_Recordset.reset();
}

CRecordsetData& CADODBRecordset::Data() const
{
    if (!m_Recordset)
        throw CDatabaseException(g_InvalidPointer);
    return *m_Recordset;
}

bool CADODBRecordset::OpenAttached(const std::string& sql, ECursorType cursor, ELockType lock)
{
    return GuardDatabaseCall(m_Error, g_Unhandled,
                             [&]
                             {
                                 if (!m_pConnect)
                                     throw CDatabaseException(g_InvalidPointer);
                                 m_pConnect->Database();
                                 if (!m_Recordset)
                                     m_Recordset = std::make_shared<CRecordsetData>();
                                 m_Recordset->Open(m_pConnect->m_Database, sql, cursor, lock);
                             });
}

bool CADODBRecordset::OpenRecordSet(const std::string& sql)
{
    return OpenAttached(sql, ECursorType::ForwardOnly, ELockType::ReadOnly);
}

bool CADODBRecordset::OpenRecordSetForUpdate(const std::string& sql)
{
    return OpenAttached(sql, ECursorType::Dynamic, ELockType::Pessimistic);
}

bool CADODBRecordset::OpenTable(const std::string& table)
{
    return OpenAttached("SELECT * FROM " + QuoteIdentifier(table), ECursorType::Keyset,
                        ELockType::Optimistic);
}

bool CADODBRecordset::CreateUnattachedRecordSet()
{
    return GuardDatabaseCall(m_Error, g_Unhandled,
                             [&]
                             {
                                 if (!m_Recordset)
                                     m_Recordset = std::make_shared<CRecordsetData>();
                                 m_Recordset->MakeUnattached();
                             });
}

bool CADODBRecordset::OpenUnattachedRecordSet()
{
    return GuardDatabaseCall(m_Error, g_Unhandled, [&] { Data().OpenUnattached(); });
}

bool CADODBRecordset::AppendRecordsetField()
{
    return GuardDatabaseCall(
        m_Error, g_Unhandled,
        [&] {
            Data().AppendTextFields({"field1", "field2", "field3", "field4"}, 20);
        });
}

bool CADODBRecordset::AddNew()
{
    return GuardDatabaseCall(m_Error, g_Unhandled, [&] { Data().AddNew(); });
}

bool CADODBRecordset::CloseRecordset()
{
    return GuardDatabaseCall(m_Error, g_WhileClosing, [&] { Data().Close(); });
}

bool CADODBRecordset::EndOfFile()
{
    bool end = true;
    GuardDatabaseCall(m_Error, g_Unhandled, [&] { end = Data().EndOfFile(); });
    return end;
}

bool CADODBRecordset::HasRecords()
{
    bool any = false;
    GuardDatabaseCall(m_Error, g_Unhandled, [&] { any = Data().HasRecords(); });
    return any;
}

long CADODBRecordset::RecordCount()
{
    long count = -1;
    GuardDatabaseCall(m_Error, g_Unhandled, [&] { count = Data().RecordCount(); });
    return count;
}

bool CADODBRecordset::MoveFirst()
{
    return GuardDatabaseCall(m_Error, "Unhandled Exception - MoveFirst ",
                             [&] { Data().MoveFirst(); });
}

bool CADODBRecordset::MoveNext()
{
    return GuardDatabaseCall(m_Error, "Unhandled Exception - MoveNext ",
                             [&] { Data().MoveNext(); });
}

bool CADODBRecordset::MovePrevious()
{
    return GuardDatabaseCall(m_Error, "Unhandled Exception - MovePrevious ",
                             [&] { Data().MovePrevious(); });
}

bool CADODBRecordset::Find(const std::string& criteria)
{
    bool found = false;
    GuardDatabaseCall(m_Error, "Unhandled Exception - while finding record ",
                      [&] { found = Data().Find(criteria); });
    return found;
}

bool CADODBRecordset::DoesFieldExist(const CVariant& field)
{
    bool exists = false;
    GuardDatabaseCall(m_Error, g_Unhandled, [&] { exists = Data().HasField(field); });
    return exists;
}

std::string CADODBRecordset::GetField(const CVariant& field)
{
    std::string text;
    GuardDatabaseCall(m_Error, g_WhileGetting,
                      [&] { text = GetVariantAsString(Data().Value(field)); });
    return text;
}

bool CADODBRecordset::GetField(const CVariant& field, CVariant& value)
{
    return GuardDatabaseCall(m_Error, g_WhileGetting, [&] { value = Data().Value(field); });
}

CVariant CADODBRecordset::GetFieldVariant(const CVariant& field)
{
    CVariant value;
    GetField(field, value);
    return value;
}

template <class T, class... Accepted>
bool CADODBRecordset::GetTyped(const CVariant& field, T& value, const char* complaint)
{
    return GuardDatabaseCall(
        m_Error, g_WhileGetting,
        [&]
        {
            const CVariant& stored = Data().Value(field);
            const bool accepted = ((stored.Is<Accepted>() &&
                                    (value = static_cast<T>(*stored.Get<Accepted>()), true)) ||
                                   ...);
            if (!accepted)
                throw CDatabaseException("The database value returned for " +
                                         GetVariantAsString(field) + complaint);
        });
}

bool CADODBRecordset::GetFieldDouble(const CVariant& field, double& value)
{
    return GetTyped<double, double, float>(field, value, " is not a float or double!");
}

bool CADODBRecordset::GetFieldFloat(const CVariant& field, float& value)
{
    return GetTyped<float, float>(field, value, " is not a float!");
}

bool CADODBRecordset::GetFieldInt(const CVariant& field, int& value)
{
    return GetTyped<int, std::int32_t>(field, value, " is not an integer or long!");
}

bool CADODBRecordset::GetFieldLong(const CVariant& field, long& value)
{
    return GetTyped<long, std::int32_t>(field, value, " is not an integer or long!");
}

bool CADODBRecordset::GetFieldLongLong(const CVariant& field, long long& value)
{
    return GetTyped<long long, std::int32_t, std::int64_t>(
        field, value, " is not an integer, long or long long!");
}

std::string CADODBRecordset::GetVariantAsString(const CVariant& value)
{
    try
    {
        return value.AsString();
    }
    catch (...)
    {
        return {};
    }
}

bool CADODBRecordset::SeField(const CVariant& field, const CVariant& value)
{
    return GuardDatabaseCall(m_Error, g_WhileSetting, [&] { Data().SetValue(field, value); });
}

bool CADODBRecordset::Update(const CVariant& field, const CVariant& value)
{
    return GuardDatabaseCall(m_Error, g_WhileSetting,
                             [&]
                             {
                                 CRecordsetData& data = Data();
                                 data.SetValue(field, value);
                                 data.Update();
                             });
}
