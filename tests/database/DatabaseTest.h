// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/MessagePresenter.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>

// A fresh folder holding a database file "coils.db" with three coils, removed after the
// test; the error boxes are recorded instead of shown. The file is built and checked
// through SQLite itself, apart from the classes under test.
class CDatabaseTest : public ::testing::Test
{
protected:
    CDatabaseTest() : m_Scope(m_Boxes) {}

    void SetUp() override
    {
        std::random_device random;
        m_Folder = std::filesystem::temp_directory_path() /
                   ("dabrel-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(m_Folder);
        m_File = (m_Folder / "coils.db").string();
        RawExecute("CREATE TABLE Coils (RecId INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
                   "Turns INTEGER, Diameter REAL, Wire SINGLE, Made DATE, Big INTEGER);"
                   "INSERT INTO Coils (Name, Turns, Diameter, Wire, Made, Big) VALUES "
                   "('Primary', 120, 0.05, 0.5, '2024-03-01', 1099511627776),"
                   "('Loop', 12, 0.25, 1.5, '2024-07-15 10:30:00', 1),"
                   "('Tickler', 30, 0.04, 0.25, NULL, 2);");
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
    }

    // Runs SQL on the file with a connection of its own.
    void RawExecute(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_File.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
        const std::string text = message ? message : "";
        sqlite3_free(message);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << text;
    }

    // The first column of the first row of a query, as text ("" for none or NULL).
    std::string RawQuery(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        sqlite3_stmt* statement = nullptr;
        std::string result;
        sqlite3_open(m_File.c_str(), &db);
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    }

    // The texts of the boxes shown since the last call; each must be an error box.
    std::vector<std::string> TakeBoxes()
    {
        std::vector<std::string> texts;
        for (const auto& box : m_Boxes.m_Messages)
        {
            EXPECT_EQ(box.title, "Error");
            EXPECT_EQ(box.icon, EMessageIcon::Error);
            texts.push_back(box.text);
        }
        m_Boxes.m_Messages.clear();
        return texts;
    }

    CRecordingPresenter m_Boxes;
    CScopedPresenter m_Scope;
    std::filesystem::path m_Folder;
    std::string m_File;
};

using CBoxes = std::vector<std::string>;
