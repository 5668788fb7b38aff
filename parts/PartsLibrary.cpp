// SPDX-License-Identifier: GPL-3.0-or-later
#include "parts/PartsLibrary.h"

#include "database/ADODBRecordset.h"
#include "parts/PartRows.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

namespace
{
// A text as an SQL string literal; SQLite knows no backslash escapes, so doubling the
// quotes is all there is to it.
std::string SqlText(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ColumnList(const CPartTableDef& table)
{
    std::string list;
    for (const CPartColumn& column : table.m_Columns)
        list += (list.empty() ? "" : ", ") + std::string(column.m_Name);
    return list;
}

// Case-insensitive, with each run of digits compared by its value.
bool NaturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size())
    {
        if (digit(a[i]) && digit(b[j]))
        {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && digit(a[i]))
                ++i;
            while (j < b.size() && digit(b[j]))
                ++j;
            std::string runA = a.substr(startA, i - startA);
            std::string runB = b.substr(startB, j - startB);
            runA.erase(0, std::min(runA.find_first_not_of('0'), runA.size() - 1));
            runB.erase(0, std::min(runB.find_first_not_of('0'), runB.size() - 1));
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (runA != runB)
                return runA < runB;
            continue;
        }
        const int x = std::tolower(static_cast<unsigned char>(a[i++]));
        const int y = std::tolower(static_cast<unsigned char>(b[j++]));
        if (x != y)
            return x < y;
    }
    if ((a.size() - i) != (b.size() - j))
        return a.size() - i < b.size() - j;
    return a < b;
}

// The texts SQLite gives for a file that is not, or no longer, a database.
bool IsCorruption(const std::string& text)
{
    return text == "file is not a database" || text == "database disk image is malformed";
}

std::filesystem::path AsideName(const std::filesystem::path& file)
{
    std::error_code ignored;
    std::filesystem::path aside = file.string() + ".corrupt";
    for (int n = 1; std::filesystem::exists(aside, ignored); ++n)
        aside = file.string() + "." + std::to_string(n) + ".corrupt";
    return aside;
}
} // namespace

bool CPartsLibrary::Fail(const std::string& text)
{
    m_ErrorText = text;
    return false;
}

bool CPartsLibrary::FailWith(const CError& error, const std::string& what)
{
    return Fail(what + ": " + error.m_ProgramText);
}

bool CPartsLibrary::OpenShipped(const std::string& file)
{
    m_ErrorText.clear();
    if (!m_Shipped.OpenDatabaseReadOnly(file))
        return FailWith(m_Shipped.GetError(), "The parts database " + file + " cannot be read");
    return true;
}

bool CPartsLibrary::OpenUser(const std::string& file)
{
    m_ErrorText.clear();
    if (m_User.IsOpen())
        m_User.CloseDatabase();
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return CreateUser(file);
    if (!m_User.OpenDatabase("", file, "", ""))
    {
        const std::string text = m_User.GetError().m_ProgramText;
        if (IsCorruption(text))
            return RecreateUser(file, text);
        return Fail("Your parts in " + file + " cannot be opened: " + text);
    }
    std::string problem;
    if (!PrepareUserTables(problem))
    {
        m_User.CloseDatabase();
        return RecreateUser(file, problem);
    }
    return true;
}

void CPartsLibrary::Close()
{
    if (m_Shipped.IsOpen())
        m_Shipped.CloseDatabase();
    if (m_User.IsOpen())
        m_User.CloseDatabase();
}

bool CPartsLibrary::CreateUser(const std::string& file)
{
    std::error_code error;
    const std::filesystem::path path(file);
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    // An empty file is an empty SQLite database; Dabrel opens only files that exist.
    if (!std::ofstream(file, std::ios::binary))
        return Fail("Your parts cannot be kept: " + file + " cannot be created.");
    if (!m_User.OpenDatabase("", file, "", ""))
        return FailWith(m_User.GetError(), "Your parts in " + file + " cannot be opened");
    std::string problem;
    if (!PrepareUserTables(problem))
    {
        m_User.CloseDatabase();
        return Fail("Your parts in " + file + " cannot be set up: " + problem);
    }
    return true;
}

bool CPartsLibrary::RecreateUser(const std::string& file, const std::string& problem)
{
    const std::filesystem::path aside = AsideName(file);
    std::error_code error;
    std::filesystem::rename(file, aside, error);
    if (error)
        return Fail("Your parts in " + file + " cannot be read (" + problem +
                    ") and the file cannot be moved aside: " + error.message());
    const std::string report = "Your parts in " + file + " could not be read (" + problem +
                               "). The file was kept as " + aside.string() +
                               " and your parts start again empty.";
    if (!CreateUser(file))
        return Fail(report + " " + m_ErrorText);
    return Fail(report);
}

bool CPartsLibrary::PrepareUserTables(std::string& problem)
{
    const auto fail = [&problem](const std::string& text)
    {
        problem = text;
        return false;
    };
    {
        CADODBRecordset check(&m_User);
        if (!check.OpenRecordSet("PRAGMA quick_check"))
            return fail(check.GetError().m_ProgramText);
        const std::string verdict = check.EndOfFile() ? "" : check.GetField(CVariant(0));
        check.CloseRecordset();
        if (verdict != "ok")
            return fail(verdict.empty() ? "no check result" : verdict);
    }
    for (const CPartTableDef& table : PartTables())
    {
        if (!m_User.Execute(CreateTableSql(table)))
            return fail(m_User.GetError().m_ProgramText);
        CADODBRecordset columns(&m_User);
        if (!columns.OpenRecordSet(std::string("SELECT name FROM pragma_table_info('") +
                                   table.m_SqlName + "')"))
            return fail(columns.GetError().m_ProgramText);
        std::vector<std::string> present;
        for (; !columns.EndOfFile(); columns.MoveNext())
            present.push_back(Lower(columns.GetField(CVariant(0))));
        columns.CloseRecordset();
        for (const CPartColumn& column : table.m_Columns)
            if (std::find(present.begin(), present.end(), Lower(column.m_Name)) == present.end())
                return fail(std::string("the table ") + table.m_SqlName + " has no " +
                            column.m_Name);
    }
    return true;
}

std::optional<CPartsLibrary::CRow>
CPartsLibrary::ReadRow(CADODBConnect& database, const CPartTableDef& table, const std::string& name)
{
    if (!database.IsOpen())
        return std::nullopt;
    CADODBRecordset rows(&database);
    if (!rows.OpenRecordSet("SELECT " + ColumnList(table) + " FROM " + table.m_SqlName +
                            " WHERE Name = " + SqlText(name)))
    {
        FailWith(rows.GetError(), "The part " + name + " cannot be read");
        return std::nullopt;
    }
    std::optional<CRow> row;
    if (!rows.EndOfFile())
    {
        row.emplace();
        for (std::size_t i = 0; i < table.m_Columns.size(); ++i)
            row->push_back(rows.GetFieldVariant(CVariant(static_cast<int>(i))));
    }
    rows.CloseRecordset();
    return row;
}

bool CPartsLibrary::ReadNames(CADODBConnect& database, const CPartTableDef& table,
                              std::vector<std::string>& names)
{
    names.clear();
    if (!database.IsOpen())
        return true;
    CADODBRecordset rows(&database);
    if (!rows.OpenRecordSet(std::string("SELECT Name FROM ") + table.m_SqlName))
        return FailWith(rows.GetError(),
                        std::string("The ") + table.m_SqlName + " parts cannot be listed");
    for (; !rows.EndOfFile(); rows.MoveNext())
        names.push_back(rows.GetField(CVariant(0)));
    return rows.CloseRecordset();
}

std::vector<CPartName> CPartsLibrary::ListNames(EPartTable table)
{
    m_ErrorText.clear();
    const CPartTableDef& def = PartTable(table);
    std::vector<std::string> shipped;
    std::vector<std::string> user;
    ReadNames(m_Shipped, def, shipped);
    ReadNames(m_User, def, user);
    std::map<std::string, CPartName> merged;
    for (const std::string& name : shipped)
        merged[Lower(name)] = {name, false, false};
    for (const std::string& name : user)
    {
        const bool replaces = merged.count(Lower(name)) != 0;
        merged[Lower(name)] = {name, true, replaces};
    }
    std::vector<CPartName> names;
    for (auto& entry : merged)
        names.push_back(std::move(entry.second));
    std::sort(names.begin(), names.end(),
              [](const CPartName& a, const CPartName& b)
              { return NaturalLess(a.m_Name, b.m_Name); });
    return names;
}

template <class TPart> std::optional<TPart> CPartsLibrary::Find(const std::string& name)
{
    m_ErrorText.clear();
    const CPartTableDef& table = PartTable(TPart::Table);
    bool user = true;
    std::optional<CRow> row = ReadRow(m_User, table, name);
    if (!row)
    {
        user = false;
        row = ReadRow(m_Shipped, table, name);
    }
    if (!row)
        return std::nullopt;
    TPart part;
    FromRow(*row, part);
    part.m_User = user;
    return part;
}

std::optional<std::vector<CVariant>> CPartsLibrary::FindRow(EPartTable table,
                                                            const std::string& name)
{
    m_ErrorText.clear();
    const CPartTableDef& def = PartTable(table);
    std::optional<CRow> row = ReadRow(m_User, def, name);
    return row ? row : ReadRow(m_Shipped, def, name);
}

bool CPartsLibrary::SaveValues(EPartTable table, const std::vector<CVariant>& values,
                               const std::string& replacing)
{
    m_ErrorText.clear();
    return SaveRow(PartTable(table), values, replacing);
}

template <class TPart> bool CPartsLibrary::Save(const TPart& part, const std::string& replacing)
{
    m_ErrorText.clear();
    return SaveRow(PartTable(TPart::Table), ToRow(part), replacing);
}

std::optional<long long> CPartsLibrary::UserRecId(const CPartTableDef& table,
                                                  const std::string& name)
{
    CADODBRecordset rows(&m_User);
    long long id = 0;
    if (!rows.OpenRecordSet(std::string("SELECT RecId FROM ") + table.m_SqlName +
                            " WHERE Name = " + SqlText(name)) ||
        rows.EndOfFile() || !rows.GetFieldLongLong(CVariant("RecId"), id))
        return std::nullopt;
    rows.CloseRecordset();
    return id;
}

bool CPartsLibrary::SaveRow(const CPartTableDef& table, const CRow& row,
                            const std::string& replacing)
{
    if (!m_User.IsOpen())
        return Fail("Your parts are not open, so nothing can be saved.");
    if (const std::string problem = RowProblem(table, row); !problem.empty())
        return Fail(problem);
    const std::string name = row.front().AsString();
    const std::string original = replacing.empty() ? name : replacing;
    if (Lower(original) != Lower(name) && UserRecId(table, name))
        return Fail("There is already a part of yours named " + name + ".");
    if (!m_User.BeginTransaction())
        return FailWith(m_User.GetError(), "The part " + name + " cannot be saved");
    if (!WriteRow(table, row, original))
    {
        m_User.RollbackTransaction();
        return false;
    }
    if (!m_User.CommitTransaction())
        return FailWith(m_User.GetError(), "The part " + name + " cannot be saved");
    return true;
}

// Inside the caller's transaction: a new part gets its row by name first, then every field is
// written through an updatable recordset on that row.
bool CPartsLibrary::WriteRow(const CPartTableDef& table, const CRow& row,
                             const std::string& original)
{
    const std::string name = row.front().AsString();
    const std::string what = "The part " + name + " cannot be saved";
    std::optional<long long> id = UserRecId(table, original);
    if (!id)
    {
        if (!m_User.Execute(std::string("INSERT INTO ") + table.m_SqlName + " (Name) VALUES (" +
                            SqlText(name) + ")"))
            return FailWith(m_User.GetError(), what);
        id = m_User.GetRecIDJustAdded();
    }
    CADODBRecordset edit(&m_User);
    if (!edit.OpenRecordSetForUpdate(std::string("SELECT * FROM ") + table.m_SqlName +
                                     " WHERE RecId = " + std::to_string(*id)) ||
        edit.EndOfFile())
        return FailWith(edit.GetError(), what);
    for (std::size_t i = 0; i < row.size(); ++i)
        if (!edit.SeField(CVariant(table.m_Columns[i].m_Name), row[i]))
            return FailWith(edit.GetError(), what);
    if (!edit.CloseRecordset())
        return FailWith(edit.GetError(), what);
    return true;
}

bool CPartsLibrary::DeleteUserPart(EPartTable table, const std::string& name)
{
    m_ErrorText.clear();
    const CPartTableDef& def = PartTable(table);
    if (!m_User.IsOpen() || !UserRecId(def, name))
        return Fail(name + " is not one of your parts.");
    if (!m_User.Execute(std::string("DELETE FROM ") + def.m_SqlName +
                        " WHERE Name = " + SqlText(name)))
        return FailWith(m_User.GetError(), "The part " + name + " cannot be deleted");
    return true;
}

template std::optional<CWirePart> CPartsLibrary::Find(const std::string&);
template std::optional<CLitzPart> CPartsLibrary::Find(const std::string&);
template std::optional<CDiodePart> CPartsLibrary::Find(const std::string&);
template std::optional<CFerritePart> CPartsLibrary::Find(const std::string&);
template std::optional<CRodPart> CPartsLibrary::Find(const std::string&);
template bool CPartsLibrary::Save(const CWirePart&, const std::string&);
template bool CPartsLibrary::Save(const CLitzPart&, const std::string&);
template bool CPartsLibrary::Save(const CDiodePart&, const std::string&);
template bool CPartsLibrary::Save(const CFerritePart&, const std::string&);
template bool CPartsLibrary::Save(const CRodPart&, const std::string&);
