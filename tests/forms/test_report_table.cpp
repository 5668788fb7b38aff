// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/ReportTable.h"

#include <gtest/gtest.h>

namespace
{
// Two rows of the air-core receiver's kind: a distance, a complex impedance, a tagged
// capacitance, a padded text cell.
CReportTable Sample()
{
    CReportTable table;
    table.m_Title = QStringLiteral("Analyse - no load");
    table.m_Header = QStringLiteral("D \tZin \tRqrd \tNote\r\n");
    table.m_Columns = {{QStringLiteral("D"), QStringLiteral("mm"), 2},
                       {QStringLiteral("Zin"), QStringLiteral("ohm"), 2},
                       {QStringLiteral("Rqrd"), QStringLiteral("pF"), 2, QStringLiteral("\t"), 12},
                       {QStringLiteral("Note"), QString(), 0, QString()}};
    table.m_Footer = QStringLiteral("***\r\n");
    table.m_Rows = {
        {CReportCell::Number(50.0), CReportCell::Complex(51.8234, -136.891),
         CReportCell::Tagged("C", 23394.2801), CReportCell::Text("say \"hi\", twice")},
        {CReportCell::Number(1.0 / 3.0), CReportCell::Complex(0.0, 2.5),
         CReportCell::Tagged("L", 7.0), CReportCell::Text("")},
    };
    return table;
}
} // namespace

TEST(ReportTable, TheTextIsTheReportAndTheFieldsAreItsData)
{
    const CReportTable table = Sample();
    EXPECT_EQ(table.Text(),
              QStringLiteral("D \tZin \tRqrd \tNote\r\n"
                             "50.00 \t51.82 - j136.89 \tC23,394.28  \tsay \"hi\", twice\r\n"
                             "0.33 \t0.00 + j2.50 \tL7.00       \t\r\n"
                             "***\r\n"));
    EXPECT_EQ(table.FieldNames(), (QStringList{"D (mm)", "Zin R (ohm)", "Zin X (ohm)", "Rqrd kind",
                                               "Rqrd (pF)", "Note"}));
    EXPECT_EQ(table.Fields(0),
              (QStringList{"50", "51.8234", "-136.891", "C", "23394.2801", "say \"hi\", twice"}));
    EXPECT_EQ(table.Fields(1).size(), table.FieldNames().size());
    EXPECT_EQ(table.Fields(1)[0].toDouble(), 1.0 / 3.0) << "full precision";
    CReportTable large = table;
    large.m_Rows = {{CReportCell::Number(100000.0), CReportCell::Number(1.5e-12)}};
    EXPECT_EQ(large.Fields(0), (QStringList{"100000", "0.0000000000015"})) << "no exponents";
}

TEST(ReportTable, CsvQuotesAndSeparatesTables)
{
    const QString csv = TablesAsCsv({Sample(), Sample()});
    const QString one =
        QStringLiteral("D (mm),Zin R (ohm),Zin X (ohm),Rqrd kind,Rqrd (pF),Note\r\n"
                       "50,51.8234,-136.891,C,23394.2801,\"say \"\"hi\"\", twice\"\r\n"
                       "0.3333333333333333,0,2.5,L,7,\r\n");
    EXPECT_EQ(csv, one + QStringLiteral("\r\n") + one);
    const QString html = TablesAsHtml({Sample()});
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Zin X (ohm)</th>")));
    EXPECT_TRUE(html.contains(QStringLiteral("say &quot;hi&quot;, twice")));
    EXPECT_TRUE(TablesAsTabText({Sample()}).startsWith(QStringLiteral("D (mm)\tZin R (ohm)\t")));
}

TEST(ReportTable, TheViewsJoinOneActionsTablesAndGatherRepeatedOneRowPresses)
{
    // A narrower table the next one continues: one table, the wider one's columns first, blank
    // fields where a row has no cell (a complex column blank in both its fields).
    CReportTable zero;
    zero.m_Title = QStringLiteral("Taps");
    zero.m_Columns = {{QStringLiteral("W#"), QString(), 0},
                      {QStringLiteral("Zin"), QStringLiteral("ohm"), 2}};
    zero.m_Rows = {{CReportCell::Number(0), CReportCell::Complex(1, 2)}};
    CReportTable taps = Sample();
    taps.m_Title = zero.m_Title;
    taps.m_Continues = true;
    const CReportTable one = Sample();
    CReportTable single = Sample();
    single.m_Rows.resize(1);
    // Hints go with their rows: one both parts have is one hint.
    zero.m_Hints = {{QStringLiteral("inputs"), {}}};
    taps.m_Hints = {{QStringLiteral("inputs"), {}}, {QStringLiteral("row"), {1}}};
    CReportTable hinted = single;
    hinted.m_Hints = {{QStringLiteral("run"), {}}};

    const std::vector<CReportTable> shown =
        ViewTables({one, zero, taps, single, hinted, single, zero, taps});
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].Text(), one.Text());
    EXPECT_EQ(shown[1].FieldNames(), (QStringList{"D (mm)", "Zin R (ohm)", "Zin X (ohm)",
                                                  "Rqrd kind", "Rqrd (pF)", "Note", "W#"}));
    ASSERT_EQ(shown[1].m_Rows.size(), 3u);
    EXPECT_EQ(shown[1].Fields(0), (QStringList{"", "1", "2", "", "", "", "0"}));
    EXPECT_EQ(shown[1].Fields(1), Sample().Fields(0) + QStringList{""});
    // Three presses of a one-row action: a run a row.
    EXPECT_EQ(shown[2].FieldNames().front(), QStringLiteral("Run"));
    ASSERT_EQ(shown[2].m_Rows.size(), 3u);
    EXPECT_EQ(shown[2].Fields(2), QStringList{"3"} + single.Fields(0));
    EXPECT_EQ(shown[3].m_Rows.size(), 3u) << "a table another continues is never gathered";
    EXPECT_EQ(shown[1].HintLines(), (QStringList{"Taps: inputs", "Taps, D 0.33: row"}));
    EXPECT_TRUE(shown[1].RowHasHint(0)) << "a hint on the whole table";
    EXPECT_EQ(shown[2].HintLines(), QStringList{"Analyse - no load, Run 2: run"});
    EXPECT_FALSE(shown[2].RowHasHint(0));
    EXPECT_TRUE(shown[2].RowHasHint(1));
    // Only the shown tables that hold the latest action's.
    EXPECT_EQ(ViewTables({one, zero, taps, single, single}, 4).size(), 1u);
    EXPECT_EQ(ViewTables({one, zero, taps, single, single}, 4).front().m_Rows.size(), 2u);
}

TEST(ReportTable, AColumnWhoseUnitChangesBecomesOneColumnAUnit)
{
    CReportTable sweep;
    sweep.m_Title = QStringLiteral("Calc all resonant loads");
    sweep.m_Columns = {{QStringLiteral("Freq"), QStringLiteral("kHz"), 0},
                       {QStringLiteral("React(in)"), QString(), 2}};
    sweep.m_Rows = {{CReportCell::Number(520), CReportCell::WithUnit(424.47, QStringLiteral("pF"))},
                    {CReportCell::Number(530), CReportCell::WithUnit(2.42, QStringLiteral("uH"))},
                    {CReportCell::Number(540),
                     CReportCell::WithUnit(0.0, QStringLiteral("pF")).WithoutValue()}};
    const std::string report = sweep.Text().toStdString();
    const CReportTable fixed = ViewTables({sweep}).front();
    EXPECT_EQ(fixed.FieldNames(),
              (QStringList{"Freq (kHz)", "React(in) C (pF)", "React(in) L (uH)"}));
    EXPECT_EQ(fixed.Fields(0), (QStringList{"520", "424.47", ""}));
    EXPECT_EQ(fixed.Fields(1), (QStringList{"530", "", "2.42"}));
    EXPECT_EQ(fixed.Fields(2), (QStringList{"540", "", ""})) << "the report's 0.00 is no value";
    EXPECT_EQ(sweep.Text().toStdString(), report);
    EXPECT_NE(report.find("0.00 pF"), std::string::npos) << "the report keeps its text";
}
