// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatabaseTest.h"

#include "database/ADODBConnect.h"
#include "database/ADODBRecordset.h"

#include <limits>

class CRecordsetTest : public CDatabaseTest
{
protected:
    void SetUp() override
    {
        CDatabaseTest::SetUp();
        ASSERT_TRUE(m_Connect.OpenDatabase("", m_File, "", ""));
    }

    CADODBConnect m_Connect;
};

TEST_F(CRecordsetTest, ForwardOnlyRecordsetIsReadInOrderAndSearched)
{
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSet("SELECT Name, Turns FROM Coils ORDER BY RecId"));
    EXPECT_TRUE(rs.HasRecords());
    EXPECT_EQ(rs.RecordCount(), 3);
    std::string names;
    while (!rs.EndOfFile())
    {
        names += rs.GetField("Name") + "/" + rs.GetField(1) + " ";
        ASSERT_TRUE(rs.MoveNext());
    }
    EXPECT_EQ(names, "Primary/120 Loop/12 Tickler/30 ");
    EXPECT_FALSE(rs.MoveNext());
    EXPECT_FALSE(rs.MovePrevious());
    EXPECT_EQ(rs.GetField("Name"), "");
    const std::string noRow =
        "There is no current record: the recordset is at its beginning or its end.";
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{noRow, "The recordset is forward-only; it cannot move backward.", noRow}));

    ASSERT_TRUE(rs.MoveFirst());
    EXPECT_TRUE(rs.Find("Name = 'loop'")); // text compares without regard to case
    EXPECT_EQ(rs.GetField("Turns"), "12");
    EXPECT_TRUE(rs.Find("Turns > 12")); // from the current row on
    EXPECT_EQ(rs.GetField("Name"), "Tickler");
    EXPECT_FALSE(rs.Find("Turns >= 100")); // Primary lies behind
    EXPECT_TRUE(rs.EndOfFile());
    ASSERT_TRUE(rs.MoveFirst());
    EXPECT_TRUE(rs.Find("[Name] LIKE 't*R'"));
    EXPECT_EQ(rs.GetField(1), "30");
    EXPECT_TRUE(TakeBoxes().empty());

    EXPECT_FALSE(rs.SeField("Turns", 7));
    EXPECT_FALSE(rs.Find("Name == 'Loop'"));
    EXPECT_FALSE(rs.Find("Colour = 'red'"));
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{"The recordset is read-only; open it for update to change its fields.",
                      "Invalid search criteria: Name == 'Loop'",
                      "The recordset has no field named Colour."}));
    EXPECT_EQ(RawQuery("SELECT Turns FROM Coils WHERE RecId = 3"), "30");
}

TEST_F(CRecordsetTest, FieldsByNameOrNumber)
{
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSet("SELECT Name, Turns * 2 AS Twice FROM Coils"));
    EXPECT_TRUE(rs.DoesFieldExist("name"));
    EXPECT_TRUE(rs.DoesFieldExist("Twice"));
    EXPECT_TRUE(rs.DoesFieldExist(1));
    EXPECT_FALSE(rs.DoesFieldExist(2));
    EXPECT_FALSE(rs.DoesFieldExist(-1));
    EXPECT_FALSE(rs.DoesFieldExist("Turns"));
    CVariant value;
    ASSERT_TRUE(rs.GetField("Twice", value));
    EXPECT_EQ(value, CVariant(240));
    EXPECT_EQ(rs.GetFieldVariant(0), CVariant("Primary"));
    EXPECT_EQ(rs.GetField(5), "");
    EXPECT_EQ(TakeBoxes(), CBoxes{"The recordset has no field number 5."});
}

TEST_F(CRecordsetTest, TypedGettersNameTheFieldOfTheWrongType)
{
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSet("SELECT * FROM Coils WHERE RecId = 1"));
    double d = 0;
    float f = 0;
    int i = 0;
    long l = 0;
    long long ll = 0;
    // Values of the first coil in the test database.
    EXPECT_TRUE(rs.GetFieldDouble("Diameter", d));
    EXPECT_EQ(d, 0.05);
    EXPECT_TRUE(rs.GetFieldDouble("Wire", d)); // SINGLE reads as a float
    EXPECT_EQ(d, 0.5);
    EXPECT_TRUE(rs.GetFieldFloat("Wire", f));
    EXPECT_EQ(f, 0.5f);
    EXPECT_TRUE(rs.GetFieldInt("Turns", i));
    EXPECT_EQ(i, 120);
    EXPECT_TRUE(rs.GetFieldLong("RecId", l));
    EXPECT_EQ(l, 1);
    EXPECT_TRUE(rs.GetFieldLongLong("Big", ll));
    EXPECT_EQ(ll, 1099511627776LL); // 2^40
    EXPECT_TRUE(rs.GetFieldLongLong("Turns", ll));
    EXPECT_EQ(ll, 120);
    EXPECT_TRUE(TakeBoxes().empty());

    EXPECT_FALSE(rs.GetFieldDouble("Name", d));
    EXPECT_EQ(rs.GetError().m_ProgramText,
              "The database value returned for Name is not a float or double!");
    EXPECT_FALSE(rs.GetFieldFloat("Diameter", f));
    EXPECT_FALSE(rs.GetFieldInt("Diameter", i));
    EXPECT_FALSE(rs.GetFieldLong("Big", l));
    EXPECT_FALSE(rs.GetFieldLongLong("Name", ll));
    EXPECT_FALSE(rs.GetFieldDouble(1, d));
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{"The database value returned for Name is not a float or double!",
                      "The database value returned for Diameter is not a float!",
                      "The database value returned for Diameter is not an integer or long!",
                      "The database value returned for Big is not an integer or long!",
                      "The database value returned for Name is not an integer, long or long long!",
                      "The database value returned for 1 is not a float or double!"}));
    EXPECT_EQ(i, 120); // untouched by a failed read
}

TEST(CVariantTest, TextOfEachType)
{
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CVariant()), "");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CNull{}), "");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(true), "True");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(-42), "-42");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(1099511627776LL), "1099511627776");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(0.1), "0.1");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(0.1f), "0.1");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(1e-7), "1e-07");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CBlob{1, 2}), "unknown type");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CDateTime{2024, 2, 29, 0, 0, 0}), "2024-02-29");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CDateTime{2024, 2, 29, 23, 5, 9}),
              "2024-02-29 23:05:09");
    // 2023 is no leap year; 1900 neither (divisible by 100, not by 400).
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CDateTime{2023, 2, 29, 0, 0, 0}),
              "Invalid DateTime");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CDateTime{1900, 2, 29, 0, 0, 0}),
              "Invalid DateTime");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CDateTime{2000, 2, 29, 24, 0, 0}),
              "Invalid DateTime");
    EXPECT_EQ(CADODBRecordset::GetVariantAsString(CDateTime{}), "Invalid DateTime");
}

TEST_F(CRecordsetTest, DateColumnsReadAsDates)
{
    RawExecute("UPDATE Coils SET Made = '2024-07-15 00:00:00' WHERE RecId = 3");
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSet("SELECT Name, Made FROM Coils ORDER BY RecId"));
    EXPECT_EQ(rs.GetFieldVariant("Made"), CVariant(CDateTime{2024, 3, 1, 0, 0, 0}));
    EXPECT_TRUE(rs.Find("Made > #2024-07-15#"));
    EXPECT_EQ(rs.GetField("Name"), "Loop");
    EXPECT_EQ(rs.GetField("Made"), "2024-07-15 10:30:00");
    ASSERT_TRUE(rs.MoveNext());
    // Not in the form it would be written back in, so it stays text.
    EXPECT_EQ(rs.GetFieldVariant("Made"), CVariant("2024-07-15 00:00:00"));
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(CRecordsetTest, TableUpdatesPersist)
{
    {
        CADODBRecordset rs(&m_Connect);
        ASSERT_TRUE(rs.OpenTable("Coils"));
        ASSERT_TRUE(rs.Find("Name = 'Loop'"));
        ASSERT_TRUE(rs.Update("Turns", 99));
        EXPECT_EQ(RawQuery("SELECT Turns FROM Coils WHERE RecId = 2"), "99");

        // A field set and not updated is written when the cursor moves on.
        ASSERT_TRUE(rs.SeField("Name", "Loop aerial"));
        ASSERT_TRUE(rs.SeField("Made", CDateTime{2025, 1, 2, 3, 4, 5}));
        EXPECT_EQ(RawQuery("SELECT Name FROM Coils WHERE RecId = 2"), "Loop");
        ASSERT_TRUE(rs.MoveNext());
        EXPECT_EQ(RawQuery("SELECT Name || ' ' || Made FROM Coils WHERE RecId = 2"),
                  "Loop aerial 2025-01-02 03:04:05");

        // ...and when the recordset closes.
        ASSERT_TRUE(rs.SeField("Diameter", CNull{}));
    }
    ASSERT_TRUE(m_Connect.CloseDatabase());
    CADODBConnect reopened;
    ASSERT_TRUE(reopened.OpenDatabase("", m_File, "", ""));
    EXPECT_EQ(reopened.GetFieldAsStringUsingRecID("Coils", "Turns", 2), "99");
    EXPECT_EQ(reopened.GetFieldAsStringUsingRecID("Coils", "Made", 2), "2025-01-02 03:04:05");
    EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils WHERE Diameter IS NULL"), "1");
    EXPECT_EQ(RawQuery("SELECT Diameter FROM Coils WHERE RecId = 1"), "0.05");
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(CRecordsetTest, RowChangedSinceItWasReadIsNotOverwritten)
{
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenTable("Coils"));
    RawExecute("UPDATE Coils SET Turns = 121 WHERE RecId = 1");
    EXPECT_FALSE(rs.Update("Turns", 150));
    EXPECT_EQ(TakeBoxes(), CBoxes{"The row could not be found for updating; it may have been "
                                  "changed or deleted since it was read."});
    EXPECT_EQ(rs.GetField("Turns"), "120"); // back to what was read
    EXPECT_EQ(RawQuery("SELECT Turns FROM Coils WHERE RecId = 1"), "121");
    // Another field of the same row may still be changed.
    EXPECT_TRUE(rs.Update("Name", "Primary 2"));
    EXPECT_EQ(RawQuery("SELECT Name || Turns FROM Coils WHERE RecId = 1"), "Primary 2121");
}

TEST_F(CRecordsetTest, RowsWithoutKeyAreUpdatedOnlyWhenTheyCanBeToldApart)
{
    RawExecute("CREATE TABLE Notes (Text TEXT, Size INTEGER);"
               "INSERT INTO Notes VALUES ('same', 1), ('same', 1), ('other', 2);");
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSetForUpdate("SELECT Text, Size FROM Notes"));
    EXPECT_FALSE(rs.Update("Size", 5));
    EXPECT_EQ(TakeBoxes(), CBoxes{"The row cannot be updated: the recordset does not tell it "
                                  "apart from other rows of Notes."});
    ASSERT_TRUE(rs.Find("Text = 'other'"));
    EXPECT_TRUE(rs.Update("Size", 7));
    ASSERT_TRUE(rs.CloseRecordset());
    EXPECT_EQ(RawQuery("SELECT group_concat(Size) FROM Notes"), "1,1,7");

    ASSERT_TRUE(rs.OpenRecordSetForUpdate("SELECT Size + 1 AS Next FROM Notes"));
    EXPECT_FALSE(rs.SeField("Next", 3));
    EXPECT_EQ(TakeBoxes(),
              CBoxes{"The field Next is not a column of a table and cannot be changed."});
}

TEST_F(CRecordsetTest, UpdateRecordsetHoldsAWriteTransactionUntilItCloses)
{
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSetForUpdate("SELECT RecId, Name FROM Coils ORDER BY RecId DESC"));
    ASSERT_TRUE(rs.MovePrevious()); // dynamic cursors move both ways
    ASSERT_TRUE(rs.MoveNext());
    ASSERT_TRUE(rs.Update("Name", "Tickler coil"));
    EXPECT_EQ(RawQuery("SELECT Name FROM Coils WHERE RecId = 3"), "Tickler"); // not committed
    ASSERT_TRUE(rs.CloseRecordset());
    EXPECT_EQ(RawQuery("SELECT Name FROM Coils WHERE RecId = 3"), "Tickler coil");
    EXPECT_TRUE(rs.CloseRecordset()); // closing twice is harmless

    // Inside a transaction of the connection, the connection decides.
    ASSERT_TRUE(m_Connect.BeginTransaction());
    ASSERT_TRUE(rs.OpenRecordSetForUpdate("SELECT RecId, Name FROM Coils WHERE RecId = 1"));
    ASSERT_TRUE(rs.Update("Name", "Gone"));
    ASSERT_TRUE(rs.CloseRecordset());
    ASSERT_TRUE(m_Connect.RollbackTransaction());
    EXPECT_EQ(RawQuery("SELECT Name FROM Coils WHERE RecId = 1"), "Primary");

    // A transaction the connection ended is not committed again by the recordset.
    ASSERT_TRUE(rs.OpenRecordSetForUpdate("SELECT RecId, Name FROM Coils WHERE RecId = 1"));
    ASSERT_TRUE(m_Connect.RollbackTransaction());
    ASSERT_TRUE(m_Connect.BeginTransaction());
    ASSERT_TRUE(m_Connect.Execute("DELETE FROM Coils"));
    ASSERT_TRUE(rs.CloseRecordset());
    ASSERT_TRUE(m_Connect.RollbackTransaction());
    EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils"), "3");
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(CRecordsetTest, RecordsetNeverOpenedOrClosed)
{
    CADODBRecordset none;
    EXPECT_FALSE(none.MoveNext());
    EXPECT_TRUE(none.EndOfFile());
    EXPECT_EQ(none.RecordCount(), -1);
    EXPECT_FALSE(none.OpenRecordSet("SELECT * FROM Coils")); // no connection
    CADODBConnect closed;
    CADODBRecordset unopened(&closed);
    EXPECT_FALSE(unopened.OpenTable("Coils"));
    EXPECT_EQ(TakeBoxes(), CBoxes(5, "Invalid pointer"));
    EXPECT_EQ(none.GetError().m_Kind, CError::ProgramError);

    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenTable("Coils"));
    ASSERT_TRUE(rs.CloseRecordset());
    EXPECT_FALSE(rs.MoveFirst());
    EXPECT_FALSE(rs.OpenTable("Resistors"));
    EXPECT_FALSE(rs.OpenRecordSet("SELECT 1; DELETE FROM Coils"));
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{"The operation is not allowed while the recordset is closed.",
                      "no such table: Resistors", "Only one SQL statement can be run here."}));
    EXPECT_EQ(RawQuery("SELECT count(*) FROM Coils"), "3");
}

TEST_F(CRecordsetTest, CopiesShareOneRecordset)
{
    CADODBRecordset first(&m_Connect);
    ASSERT_TRUE(first.OpenRecordSet("SELECT Name FROM Coils ORDER BY RecId"));
    CADODBRecordset second(first);
    ASSERT_TRUE(second.MoveNext());
    EXPECT_EQ(first.GetField(0), "Loop");
    ASSERT_TRUE(first.CloseRecordset());
    EXPECT_FALSE(second.MoveNext());
    EXPECT_EQ(TakeBoxes(), CBoxes{"The operation is not allowed while the recordset is closed."});
    EXPECT_TRUE(first.GetError().m_ProgramText.empty()); // each copy its own error record
}

TEST_F(CRecordsetTest, FindCriteriaForms)
{
    CADODBRecordset rs;
    ASSERT_TRUE(rs.CreateUnattachedRecordSet());
    ASSERT_TRUE(rs.AppendRecordsetField());
    ASSERT_TRUE(rs.OpenUnattachedRecordSet());
    for (const char* text : {"O'Brien", "007", "7", "Loop aerial"})
    {
        ASSERT_TRUE(rs.AddNew());
        ASSERT_TRUE(rs.SeField("field1", text));
    }
    const auto findFromFirst = [&](const std::string& criteria)
    {
        rs.MoveFirst();
        return rs.Find(criteria) ? rs.GetField("field1") : std::string("(none)");
    };
    EXPECT_EQ(findFromFirst("field1 = 'O''Brien'"), "O'Brien");
    EXPECT_EQ(findFromFirst("field1='7'"), "7");   // two texts compare as text
    EXPECT_EQ(findFromFirst("field1 = 7"), "007"); // a number compares by value
    EXPECT_EQ(findFromFirst("field1 <> 'o''brien'"), "007");
    EXPECT_EQ(findFromFirst("field1 LIKE '?'"), "7");
    EXPECT_EQ(findFromFirst("field1 like '%AERIAL'"), "Loop aerial");
    EXPECT_EQ(findFromFirst("field1 LIKE 'Loop'"), "(none)");
    EXPECT_EQ(findFromFirst("field2 = 'x'"), "(none)"); // NULL matches nothing
    EXPECT_TRUE(TakeBoxes().empty());

    EXPECT_EQ(findFromFirst("field1 LIKE 5"), "(none)");
    EXPECT_EQ(findFromFirst("field1 = 'open"), "(none)");
    EXPECT_EQ(findFromFirst("field1 = #2024-02-30#"), "(none)");
    EXPECT_EQ(findFromFirst("field1 = 7 7"), "(none)");
    EXPECT_EQ(TakeBoxes(), (CBoxes{"Invalid search criteria: field1 LIKE 5",
                                   "Invalid search criteria: field1 = 'open",
                                   "Invalid search criteria: field1 = #2024-02-30#",
                                   "Invalid search criteria: field1 = 7 7"}));
}

TEST_F(CRecordsetTest, UnattachedRecordsetWithItsFourTextFields)
{
    CADODBRecordset rs;
    EXPECT_FALSE(rs.AppendRecordsetField());
    EXPECT_EQ(TakeBoxes(), CBoxes{"Invalid pointer"});

    ASSERT_TRUE(rs.CreateUnattachedRecordSet());
    EXPECT_FALSE(rs.OpenUnattachedRecordSet());
    ASSERT_TRUE(rs.AppendRecordsetField());
    EXPECT_FALSE(rs.AppendRecordsetField());
    EXPECT_EQ(TakeBoxes(),
              (CBoxes{"An unattached recordset needs its fields appended before it is opened.",
                      "The recordset already has a field field1."}));
    ASSERT_TRUE(rs.OpenUnattachedRecordSet());
    for (const char* name : {"field1", "field2", "field3", "field4"})
        EXPECT_TRUE(rs.DoesFieldExist(name)) << name;
    EXPECT_FALSE(rs.DoesFieldExist("field5"));
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.EndOfFile());
    EXPECT_FALSE(rs.HasRecords());

    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SeField("field1", "Primary"));
    ASSERT_TRUE(rs.Update("field2", 42));
    ASSERT_TRUE(rs.SeField("field3", "twenty characters!!!"));
    EXPECT_EQ(rs.GetFieldVariant("field1"), CVariant("Primary"));
    EXPECT_EQ(rs.GetFieldVariant("field2"), CVariant("42")); // held as text
    EXPECT_EQ(rs.GetFieldVariant("field4"), CVariant(CNull{}));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SeField(0, "Loop"));
    EXPECT_EQ(rs.RecordCount(), 2);
    ASSERT_TRUE(rs.MoveFirst());
    EXPECT_TRUE(rs.Find("field2 = 42"));
    EXPECT_EQ(rs.GetField("field1"), "Primary");
    EXPECT_TRUE(TakeBoxes().empty());

    EXPECT_FALSE(rs.SeField("field3", "twenty-one characters"));
    EXPECT_FALSE(rs.SeField("field4", CBlob{1}));
    EXPECT_FALSE(rs.AppendRecordsetField());
    EXPECT_EQ(TakeBoxes(), (CBoxes{"The value given for field3 is longer than 20 characters.",
                                   "The value given for field4 is not text.",
                                   "Fields cannot be appended while the recordset is open."}));
    EXPECT_EQ(rs.GetField("field3"), "twenty characters!!!");

    // Closed and opened again: the fields stay, the rows go.
    ASSERT_TRUE(rs.CloseRecordset());
    ASSERT_TRUE(rs.OpenUnattachedRecordSet());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.DoesFieldExist("field4"));

    CADODBRecordset attached(&m_Connect);
    ASSERT_TRUE(attached.OpenTable("Coils"));
    EXPECT_FALSE(attached.AddNew());
    EXPECT_EQ(TakeBoxes(), CBoxes{"Rows can be added only to an unattached recordset; add rows "
                                  "to a table with an INSERT statement."});
}

TEST_F(CRecordsetTest, NotANumberAndTheInfinitiesAreNoCriteria)
{
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenTable("Coils"));
    for (const char* criteria : {"Turns = nan", "Turns <> nan", "Turns < -nan", "Turns >= NaN(1)",
                                 "Turns < inf", "Turns > -infinity", "Turns < 1e999"})
    {
        ASSERT_TRUE(rs.MoveFirst());
        EXPECT_FALSE(rs.Find(criteria));
        EXPECT_EQ(TakeBoxes(), CBoxes{std::string("Invalid search criteria: ") + criteria});
    }

    // A value set to not-a-number is stored as NULL, and like NULL it matches nothing.
    ASSERT_TRUE(rs.Update("Diameter", std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(RawQuery("SELECT Diameter IS NULL FROM Coils WHERE RecId = 1"), "1");
    ASSERT_TRUE(rs.MoveFirst());
    EXPECT_TRUE(rs.Find("Diameter = 0.04"));
    EXPECT_EQ(rs.GetField("Name"), "Tickler");
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(CRecordsetTest, TwoNamesOfOneColumnCannotBothBeChangedInOneUpdate)
{
    const std::string sql = "SELECT RecId, Name AS A, Name AS B FROM Coils";
    CADODBRecordset rs(&m_Connect);
    ASSERT_TRUE(rs.OpenRecordSetForUpdate(sql));
    ASSERT_TRUE(rs.SeField("A", "Aerial"));
    EXPECT_FALSE(rs.Update("B", "Bobbin"));
    EXPECT_EQ(TakeBoxes(), CBoxes{"The fields A and B are both the column Name of Coils; change it "
                                  "through one of them."});
    EXPECT_EQ(rs.GetField("A"), "Primary"); // the row is back as it was read
    EXPECT_EQ(rs.GetField("B"), "Primary");
    ASSERT_TRUE(rs.CloseRecordset());
    EXPECT_EQ(RawQuery("SELECT Name FROM Coils WHERE RecId = 1"), "Primary");

    // One of them alone is written.
    ASSERT_TRUE(rs.OpenRecordSetForUpdate(sql));
    EXPECT_TRUE(rs.Update("B", "Bobbin"));
    ASSERT_TRUE(rs.CloseRecordset());
    EXPECT_EQ(RawQuery("SELECT Name FROM Coils WHERE RecId = 1"), "Bobbin");
    EXPECT_TRUE(TakeBoxes().empty());
}
