// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatabaseTest.h"

#include "database/ADODBConnect.h"

#include <fstream>

using CConnectTest = CDatabaseTest;

TEST_F(CConnectTest, OpenFailuresAreStoredAndNotShown)
{
    CADODBConnect connect;
    EXPECT_FALSE(connect.OpenDatabase("", (m_Folder / "missing.db").string(), "", ""));
    EXPECT_EQ(connect.GetError().m_Kind, CError::ProgramError);
    EXPECT_EQ(connect.GetError().FormatErrorMessage(), "unable to open database file");
    EXPECT_FALSE(connect.IsOpen());

    // Names SQLite would otherwise turn into a new temporary or in-memory database.
    EXPECT_FALSE(connect.OpenDatabase("", "", "", ""));
    EXPECT_FALSE(connect.OpenDatabase("", ":memory:", "", ""));
    EXPECT_FALSE(connect.OpenDatabase("", m_Folder.string(), "", ""));

    const std::string text = (m_Folder / "notes.txt").string();
    std::ofstream(text) << "This is not a database, only a long enough line of plain text.\n";
    EXPECT_FALSE(connect.OpenDatabase("", text, "", ""));
    EXPECT_EQ(connect.GetError().m_ProgramText, "file is not a database");

    EXPECT_TRUE(TakeBoxes().empty());
    EXPECT_TRUE(connect.OpenDatabase("ignored", m_File, "user", "password"));
    EXPECT_EQ(connect.GetDataSource(), m_File);
}

TEST_F(CConnectTest, ConnectionNeverOpenedReportsInvalidPointer)
{
    CADODBConnect connect;
    EXPECT_FALSE(connect.Execute("DELETE FROM Coils"));
    EXPECT_EQ(connect.GetError().m_ProgramText, "Invalid pointer");
    EXPECT_EQ(connect.GetRecIDJustAdded(), 0);
    EXPECT_FALSE(connect.BeginTransaction());
    EXPECT_FALSE(connect.CloseDatabase());
    EXPECT_EQ(TakeBoxes(), CBoxes(4, "Invalid pointer"));

    // So does one that was closed.
    ASSERT_TRUE(connect.OpenDatabase("", m_File, "", ""));
    EXPECT_TRUE(connect.CloseDatabase());
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Name", 1), "");
    EXPECT_EQ(TakeBoxes(), CBoxes{"Invalid pointer"});
}

TEST_F(CConnectTest, DatabaseErrorsShowTheDatabaseText)
{
    CADODBConnect connect;
    ASSERT_TRUE(connect.OpenDatabase("", m_File, "", ""));
    EXPECT_FALSE(connect.Execute("INSERT INTO Resistors VALUES (1)"));
    EXPECT_EQ(connect.GetError().m_Kind, CError::ProgramError);
    EXPECT_EQ(connect.GetError().m_ProgramText, "no such table: Resistors");
    EXPECT_FALSE(connect.CommitTransaction());
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{"no such table: Resistors", "cannot commit - no transaction is active"}));
}

TEST_F(CConnectTest, InsertedRowsAndTheirValues)
{
    CADODBConnect connect;
    ASSERT_TRUE(connect.OpenDatabase("", m_File, "", ""));
    EXPECT_EQ(connect.GetRecIDJustAdded(), 0);
    ASSERT_TRUE(connect.Execute("INSERT INTO Coils (Name, Turns) VALUES ('Spider', 45)"));
    EXPECT_EQ(connect.GetRecIDJustAdded(), 4);
    ASSERT_TRUE(connect.Execute("INSERT INTO Coils (Name, Turns) VALUES ('Basket', 200);"));
    EXPECT_EQ(connect.GetRecIDJustAdded(), 5);

    int highest = -1;
    EXPECT_EQ(connect.GetHeighestValue("Coils", "Turns", highest), "200");
    EXPECT_EQ(highest, 200);
    EXPECT_EQ(connect.GetHeighestValue("Coils", "Name", highest), "Tickler");
    EXPECT_EQ(highest, 0);
    EXPECT_EQ(connect.GetHeighestValue("Coils", "Diameter", highest), "0.25");

    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Name", 4), "Spider");
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("coils", "turns", 2), "12");
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Made", 3), ""); // NULL
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Name", 99), "");
    EXPECT_TRUE(TakeBoxes().empty());

    ASSERT_TRUE(connect.Execute("DELETE FROM Coils"));
    highest = -1;
    EXPECT_EQ(connect.GetHeighestValue("Coils", "Turns", highest), "");
    EXPECT_EQ(highest, 0);
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(CConnectTest, NamesThatAreNotPlainIdentifiersAreRefused)
{
    CADODBConnect connect;
    ASSERT_TRUE(connect.OpenDatabase("", m_File, "", ""));
    int highest = -1;
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils; DROP TABLE Coils", "Name", 1), "");
    EXPECT_EQ(connect.GetHeighestValue("Coils", "Turns desc, Name", highest), "");
    EXPECT_EQ(connect.GetHeighestValue("Coils", "1", highest), "");
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("", "Name", 1), "");
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Name\"", 1), "");
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Nam\xc3\xa9", 1), "");
    const std::string rule = "\" is refused: a name is made of letters, digits and underscores "
                             "and does not start with a digit.";
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{"The table name \"Coils; DROP TABLE Coils" + rule,
                      "The field name \"Turns desc, Name" + rule, "The field name \"1" + rule,
                      "The table name \"" + rule, "The field name \"Name\"" + rule,
                      "The field name \"Nam\xc3\xa9" + rule}));
    EXPECT_EQ(connect.GetError().m_ProgramText, "The field name \"Nam\xc3\xa9" + rule);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils"), "3");
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "_Name_2", 1), "");
    EXPECT_EQ(TakeBoxes(), CBoxes{"no such column: _Name_2"});
}

TEST_F(CConnectTest, TransactionsCommitOrLeaveNothing)
{
    {
        CADODBConnect connect;
        ASSERT_TRUE(connect.OpenDatabase("", m_File, "", ""));
        ASSERT_TRUE(connect.BeginTransaction());
        ASSERT_TRUE(connect.Execute("INSERT INTO Coils (Name) VALUES ('Rolled back')"));
        ASSERT_TRUE(connect.RollbackTransaction());
        EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils"), "3");

        ASSERT_TRUE(connect.BeginTransaction());
        ASSERT_TRUE(connect.Execute("INSERT INTO Coils (Name) VALUES ('Committed')"));
        ASSERT_TRUE(connect.CommitTransaction());

        // Never committed: gone when the database closes.
        ASSERT_TRUE(connect.BeginTransaction());
        ASSERT_TRUE(connect.Execute("INSERT INTO Coils (Name) VALUES ('Left open')"));
        ASSERT_TRUE(connect.CloseDatabase());
    }
    CADODBConnect reopened;
    ASSERT_TRUE(reopened.OpenDatabase("", m_File, "", ""));
    EXPECT_EQ(reopened.GetFieldAsStringUsingRecID("Coils", "Name", 4), "Committed");
    EXPECT_EQ(RawQuery("SELECT group_concat(Name) FROM Coils WHERE RecId > 3"), "Committed");
    EXPECT_TRUE(TakeBoxes().empty());

    // Several statements in one Execute run all or none, on their own and inside a
    // transaction of the caller's; a ";" in a string ends no statement.
    EXPECT_FALSE(reopened.Execute("INSERT INTO Coils (Name) VALUES ('a;b'); "
                                  "INSERT INTO Resistors VALUES (1)"));
    EXPECT_EQ(TakeBoxes(), CBoxes{"no such table: Resistors"});
    ASSERT_TRUE(reopened.BeginTransaction());
    EXPECT_FALSE(reopened.Execute("INSERT INTO Coils (Name) VALUES ('Kept'); -- the caller's\n"
                                  "INSERT INTO Coils (Name) VALUES ('Dropped'); "
                                  "INSERT INTO Resistors VALUES (1);"));
    EXPECT_EQ(TakeBoxes(), CBoxes{"no such table: Resistors"});
    ASSERT_TRUE(reopened.Execute("INSERT INTO Coils (Name) VALUES ('Kept')"));
    ASSERT_TRUE(reopened.CommitTransaction());
    EXPECT_EQ(RawQuery("SELECT group_concat(Name) FROM Coils WHERE RecId > 3"), "Committed,Kept");
    // A text that manages its own transaction keeps it.
    ASSERT_TRUE(reopened.Execute("BEGIN; INSERT INTO Coils (Name) VALUES ('Own'); COMMIT;"));
    EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils"), "6");
}

TEST_F(CConnectTest, CopiesShareTheOpenDatabase)
{
    CADODBConnect first;
    ASSERT_TRUE(first.OpenDatabase("", m_File, "", ""));
    CADODBConnect second(first);
    ASSERT_TRUE(first.CloseDatabase());
    EXPECT_TRUE(second.IsOpen());
    ASSERT_TRUE(second.Execute("INSERT INTO Coils (Name) VALUES ('Shared')"));
    EXPECT_EQ(second.GetRecIDJustAdded(), 4);
    first = second;
    EXPECT_EQ(first.GetRecIDJustAdded(), 4);
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(CConnectTest, FieldsMustBeColumnsOfTheTableSoKeywordsAreNoValues)
{
    RawExecute("CREATE TABLE Orders (RecId INTEGER PRIMARY KEY, \"Order\" INTEGER);"
               "INSERT INTO Orders VALUES (1, 5);");
    CADODBConnect connect;
    ASSERT_TRUE(connect.OpenDatabase("", m_File, "", ""));
    struct CCase
    {
        const char* m_Table;
        const char* m_Field;
        std::string m_Value; // of row 1, or of the highest
        std::string m_Message;
    };
    const CCase cases[] = {
        {"Coils", "CURRENT_DATE", "", "no such column: CURRENT_DATE"},
        {"Coils", "current_timestamp", "", "no such column: current_timestamp"},
        {"Coils", "NULL", "", "no such column: NULL"},
        {"CURRENT_DATE", "Name", "", "no such table: CURRENT_DATE"},
        {"Coils", "turns", "120", ""}, // names compare without regard to case
        {"Orders", "Order", "5", ""},  // a column named like a keyword is read as the column
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.m_Table) + "." + c.m_Field);
        int highest = -1;
        EXPECT_EQ(connect.GetFieldAsStringUsingRecID(c.m_Table, c.m_Field, 1), c.m_Value);
        EXPECT_EQ(connect.GetHeighestValue(c.m_Table, c.m_Field, highest), c.m_Value);
        EXPECT_EQ(TakeBoxes(), c.m_Message.empty() ? CBoxes{} : (CBoxes{c.m_Message, c.m_Message}));
    }
}

TEST_F(CConnectTest, ReadOnlyConnectionReadsAndRefusesChanges)
{
    CADODBConnect connect;
    EXPECT_FALSE(connect.OpenDatabaseReadOnly((m_Folder / "missing.db").string()));
    EXPECT_EQ(connect.GetError().m_ProgramText, "unable to open database file");
    EXPECT_TRUE(TakeBoxes().empty());

    // A file nobody may write to still opens for reading.
    std::filesystem::permissions(m_File, std::filesystem::perms::owner_read);
    ASSERT_TRUE(connect.OpenDatabaseReadOnly(m_File));
    EXPECT_EQ(connect.GetFieldAsStringUsingRecID("Coils", "Name", 2), "Loop");
    EXPECT_FALSE(connect.Execute("DELETE FROM Coils"));
    EXPECT_EQ(TakeBoxes(), CBoxes{"attempt to write a readonly database"});
    EXPECT_TRUE(connect.CloseDatabase());
    std::filesystem::permissions(m_File, std::filesystem::perms::owner_all);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils"), "3");
}
