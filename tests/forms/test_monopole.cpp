// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/MonopoleDlg.h"
#include "models/FormatNumber.h"
#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

// Reference reports: an independent re-computation of the aerial, feed-line and load
// formulas (complex arithmetic in double precision, numbers rounded half up on their
// six-decimal text) for the shipped default design: a 10 m vertical down-lead and a 30 m
// horizontal top of 1.5 mm copper, a 1.5 m by 16 mm ground rod in 100 ohm-metre soil,
// 5 m of twin line (1 mm wire, 50 mm apart), a 10 kW station 50 km away at 1000 kHz, and a
// 240 uH load coil with 20 ohm.

namespace
{
using M = CMonopoleDlg;

const QString Stars = QString(154, QLatin1Char('*')) + QStringLiteral("\r\n\r\n");

const char* const ReportHead = "Fequency:      1,000 kHz \tMonople length(m): 40.0 \t Monople "
                               "diameter(mm): 1.50 \t Ground depth(m): 1.5 "
                               "\tTransline lengh(m): 5.0 \t Transline wire diameter(mm): 1.00\r\n"
                               "\r\n";
const char* const AntennaSection =
    "Antenna\r\n"
    " \tR(DC) \tR(AC) \tR(Rad) \tR(Grd) \tR(Tot) \tZ0 \tVf \tWL(elec) \tZin \t\tCap(pF)\r\n"
    " \t0.38 \t2.29 \t7.03 \t52.55 \t61.86 \t380.29 \t1.00 \t298.38 \t61.86 - j339.05     \t469.42 "
    "\r\n";
const char* const LineSection = "Transmission Line\r\n"
                                " \tR(DC) \tR(AC) \tZ0 \tVf \tZin(o/c) \t\tCap(pF)\r\n"
                                " \t0.21 \t0.88 \t552.26 \t1.00 \t0.29 - j5,250.42 \t\t30.31 \r\n";
const char* const TotalHeader =
    "Total circuit\r\n"
    "\tRtot \tCap \tZin \t\tZ(load) \t\tZ(tot) \t\tVp(ant) \tVp(load) \tL(resonance) \r\n";

QString DefaultReport(const char* totalLine)
{
    return QString::fromLatin1(ReportHead) + QString::fromLatin1(AntennaSection) +
           QString::fromLatin1(LineSection) + QString::fromLatin1(TotalHeader) +
           QString::fromLatin1(totalLine) + Stars;
}

const char* const SweepHeader =
    "Freq \tR(tot) \tReact(in) \t\tReact(res) \t\tReact(used) \t\tVp(ant) \t\tVp(load)\r\n";

class MonopoleForm : public CFormTest<CMonopoleDlg>
{
protected:
    MonopoleForm() : CFormTest(QStringLiteral("Monopole")) {}
};

TEST_F(MonopoleForm, SetUpStartsCircularWithTheElectricalFeedLine)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("Monopole"));
    EXPECT_EQ(m_Form->TemplateId(), 16007);
    EXPECT_TRUE(m_Form->EnterMovesFocus());
    EXPECT_TRUE(m_Form->IsCircular());
    EXPECT_EQ(m_Form->DiameterLabel(), QStringLiteral("Diameter (mm)"));
    EXPECT_FALSE(m_Form->Field(M::IdDepth)->isEnabled());
    EXPECT_FALSE(m_Form->IsChecked(M::IdCircular));
    EXPECT_FALSE(m_Form->IsChecked(M::IdFlat));
    EXPECT_TRUE(m_Form->IsElectrical());
    EXPECT_TRUE(m_Form->IsChecked(M::IdLineElectrical));
    EXPECT_FALSE(m_Form->IsChecked(M::IdLineGeometry));
    for (int id : {M::IdLineInductance, M::IdLineCapacitance, M::IdLineConductance})
        EXPECT_TRUE(m_Form->Field(id)->isEnabled()) << id;
    for (int id : {M::IdLineSpacing, M::IdLinePermittivity, M::IdLinePermeability, M::IdLinePairs})
        EXPECT_FALSE(m_Form->Field(id)->isEnabled()) << id;
    // No default texts.
    for (QWidget* control : m_Form->Controls())
    {
        if (auto* field = dynamic_cast<CVKEdit*>(control))
        {
            EXPECT_TRUE(field->GetWindowText().isEmpty()) << CVKFormView::ControlId(control);
        }
    }
}

TEST_F(MonopoleForm, ControlsAreCreatedInTemplateOrder)
{
    const std::vector<int> expected = {
        1188, 1198, 1217, 1218, 1194, 1195, 1197, 1199, 1220, 1200, 1201, 1189, 1192, 1191,
        1219, 1190, 1202, 1213, 1210, 1204, 1205, 1206, 1211, 1208, 1209, 1207, 1221, 1193,
        1203, 1212, 1214, 1215, 1216, 1222, 1196, 1001, 3,    4,    6,    1010, 2};
    EXPECT_EQ(ControlIds(), expected);
}

TEST_F(MonopoleForm, ShapeAndLineButtonsFollowTheClickedButton)
{
    Click(M::IdFlat);
    EXPECT_FALSE(m_Form->IsCircular());
    EXPECT_EQ(m_Form->DiameterLabel(), QStringLiteral("Width(mm)"));
    EXPECT_TRUE(m_Form->Field(M::IdDepth)->isEnabled());
    m_Form->OnCommand(M::IdFlat); // again, already checked
    EXPECT_TRUE(m_Form->Field(M::IdDepth)->isEnabled());

    Click(M::IdCircular);
    EXPECT_TRUE(m_Form->IsCircular());
    EXPECT_FALSE(m_Form->IsChecked(M::IdFlat));
    EXPECT_EQ(m_Form->DiameterLabel(), QStringLiteral("Diameter(mm)"));
    EXPECT_FALSE(m_Form->Field(M::IdDepth)->isEnabled());

    Click(M::IdLineGeometry);
    EXPECT_FALSE(m_Form->IsElectrical());
    EXPECT_FALSE(m_Form->IsChecked(M::IdLineElectrical));
    for (int id : {M::IdLineInductance, M::IdLineCapacitance, M::IdLineConductance})
        EXPECT_FALSE(m_Form->Field(id)->isEnabled()) << id;
    for (int id : {M::IdLineSpacing, M::IdLinePermittivity, M::IdLinePermeability, M::IdLinePairs})
        EXPECT_TRUE(m_Form->Field(id)->isEnabled()) << id;
}

TEST_F(MonopoleForm, AnalyseWithTheDefaultDesign)
{
    ASSERT_TRUE(LoadDefaultDesign());
    EXPECT_EQ(
        Press(M::IdMainAction),
        DefaultReport(
            "\t62.74 \t601.62 \t62.74 - j264.54      \t20.00 + j1,507.96    \t82.74 + j1,243.42    "
            "\t0.0041 \t0.0050 \t42.10 \r\n"));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(MonopoleForm, ALineOfLengthZeroIsLeftOutAndTheAerialFeedsDirectly)
{
    ASSERT_TRUE(LoadDefaultDesign());
    Type(M::IdLineLength, QStringLiteral("0"));
    EXPECT_EQ(
        Press(M::IdMainAction),
        QStringLiteral(
            "Fequency:      1,000 kHz \tMonople length(m): 40.0 \t Monople diameter(mm): 1.50 "
            "\t Ground depth(m): 1.5 \tTransline lengh(m): 0.0 \t Transline wire diameter(mm): "
            "1.00\r\n\r\n") +
            QString::fromLatin1(AntennaSection) + QString::fromLatin1(TotalHeader) +
            QStringLiteral(
                "\t61.86 \t469.42 \t61.86 - j339.05      \t20.00 + j1,507.96    \t81.86 + "
                "j1,168.92    \t0.0041 \t0.0053 \t53.96 \r\n") +
            Stars);
}

TEST_F(MonopoleForm, StationPowerZeroGivesNoVoltages)
{
    ASSERT_TRUE(LoadDefaultDesign());
    Type(M::IdStationPower, QStringLiteral("0"));
    EXPECT_EQ(
        Press(M::IdMainAction),
        DefaultReport(
            "\t62.74 \t601.62 \t62.74 - j264.54      \t20.00 + j1,507.96    \t0.00 + j0.00         "
            "\t0.0000 \t0.0000 \t42.10 \r\n"));
}

TEST_F(MonopoleForm, ACommandWithoutLoadFieldsReportsNoEarlierLoad)
{
    ASSERT_TRUE(LoadDefaultDesign());
    Press(M::IdMainAction);
    m_Form->SetResultsText(QString());
    for (int id : {M::IdLoadResistance, M::IdLoadInductance, M::IdLoadCapacitance})
        Type(id, QString());
    EXPECT_EQ(
        Press(M::IdMainAction),
        DefaultReport(
            "\t62.74 \t601.62 \t62.74 - j264.54      \t0.00 + j0.00         \t0.00 + j0.00         "
            "\t0.0041 \t0.0000 \t42.10 \r\n"));

    // Nor does the sweep with the entered load: no load, no load voltage.
    Click(M::IdLoadSweep);
    EXPECT_EQ(
        ResultLines().value(1),
        QStringLiteral("520 \t21.66 \t424.47 pF            \t220.69 uH \t\t0.00 uH \t\t0.0022 "
                       "\t\t0.0000 "));
}

TEST_F(MonopoleForm, TheLoadSweepReplacesEarlierTextWith119RowsAndAnalyseAppends)
{
    ASSERT_TRUE(LoadDefaultDesign());
    m_Form->SetResultsText(QStringLiteral("earlier report\r\n"));
    Type(M::IdFrequency, QStringLiteral("200")); // validated, but the sweep covers the band
    Click(M::IdLoadSweep);
    const QStringList lines = ResultLines();
    ASSERT_EQ(lines.size(), 120);
    EXPECT_EQ(lines[0] + QStringLiteral("\r\n"), QString::fromLatin1(SweepHeader));
    EXPECT_EQ(
        lines[1],
        QStringLiteral("520 \t21.66 \t424.47 pF            \t220.69 uH \t\t240.00 uH \t\t0.0022 "
                       "\t\t0.0231 "));
    EXPECT_EQ(
        lines[2],
        QStringLiteral("530 \t22.36 \t426.21 pF            \t211.57 uH \t\t240.00 uH \t\t0.0023 "
                       "\t\t0.0175 "));
    EXPECT_EQ(lines[119],
              QStringLiteral("1,700 \t122.52 \t3.40 uH              \t2,579.30 pF \t\t240.00 uH "
                             "\t\t0.0062 \t\t0.0061 "));
    for (int row = 1; row <= 119; ++row)
        EXPECT_TRUE(lines[row].startsWith(QString::fromStdString(FormatNumber(510 + 10 * row, 0)) +
                                          QStringLiteral(" \t")))
            << row;

    const QString sweep = m_Form->ResultsText();
    Type(M::IdFrequency, QStringLiteral("1000"));
    const QString report =
        DefaultReport("\t62.74 \t601.62 \t62.74 - j264.54      \t20.00 + j1,507.96    \t82.74 + "
                      "j1,243.42    \t0.0041 \t0.0050 \t42.10 \r\n");
    EXPECT_EQ(Press(M::IdMainAction), report);
    EXPECT_EQ(m_Form->ResultsText(), sweep + report);
}

TEST_F(MonopoleForm, TheResonantSweepTunesOutACapacitiveEndOnly)
{
    ASSERT_TRUE(LoadDefaultDesign());
    Click(M::IdResonantSweep);
    const QStringList lines = ResultLines();
    ASSERT_EQ(lines.size(), 120);
    EXPECT_EQ(
        lines[1],
        QStringLiteral("520 \t21.66 \t424.47 pF            \t220.69 uH \t\t220.69 uH \t\t0.0022 "
                       "\t\t0.0386 "));
    EXPECT_EQ(
        lines[2],
        QStringLiteral("530 \t22.36 \t426.21 pF            \t211.57 uH \t\t211.57 uH \t\t0.0023 "
                       "\t\t0.0377 "));
    // Inductive at the top of the band: a 0 H load, only the entered 20 ohm remains.
    EXPECT_EQ(lines[119],
              QStringLiteral("1,700 \t122.52 \t3.40 uH              \t2,579.30 pF \t\t0.00 uH "
                             "\t\t0.0062 \t\t0.0008 "));
}

TEST_F(MonopoleForm, ACapacitorLoadShowsItsFaradsAsMicrohenry)
{
    ASSERT_TRUE(LoadDefaultDesign());
    Type(M::IdLoadInductance, QStringLiteral("0"));
    Type(M::IdLoadCapacitance, QStringLiteral("100"));
    Click(M::IdLoadSweep);
    EXPECT_EQ(
        ResultLines().value(1),
        QStringLiteral("520 \t21.66 \t424.47 pF            \t220.69 uH \t\t0.00 uH \t\t0.0022 "
                       "\t\t0.0018 "));
}

TEST_F(MonopoleForm, AnInvalidFieldLeavesTheResultsAsTheyWere)
{
    ASSERT_TRUE(LoadDefaultDesign());
    m_Form->SetResultsText(QStringLiteral("kept\r\n"));
    Type(M::IdGroundLossFactor, QStringLiteral("2"));
    for (int id : {int(M::IdMainAction), int(M::IdResonantSweep), int(M::IdLoadSweep)})
    {
        EXPECT_EQ(Press(id), QString()) << id;
        EXPECT_EQ(m_Form->ResultsText(), QStringLiteral("kept\r\n")) << id;
    }
    ASSERT_EQ(m_Messages.m_Messages.size(), 3u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Ground efficiency must be between 0.001000 and 1.000000!");
}

TEST_F(MonopoleForm, StationFieldsAreReadBeforeTheAerial)
{
    // Both out of range: the frequency is read first.
    Type(M::IdFrequency, QStringLiteral("0"));
    Press(M::IdMainAction);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Frequency kHz must be between 0.001000 and 999999.999000!");
}

TEST_F(MonopoleForm, AnAerialThatCannotBeCalculatedGivesNoReportAndSaysWhy)
{
    // 1 m of 1 m diameter conductor: ln(2) - 1 < 0, no inductance.
    ASSERT_TRUE(LoadDefaultDesign());
    Type(M::IdLength1, QStringLiteral("1"));
    Type(M::IdLength2, QStringLiteral("0"));
    Type(M::IdDiameter, QStringLiteral("1000"));
    EXPECT_EQ(Press(M::IdMainAction), QString());
    Click(M::IdLoadSweep);
    EXPECT_EQ(m_Form->ResultsText(), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 2u);
    for (const auto& message : m_Messages.m_Messages)
        EXPECT_EQ(message.text, "Error: width is too large for the aerial's length: the "
                                "conductor's inductance comes to 0 or less");
}

TEST_F(MonopoleForm, TheDepthCountsOnlyForAFlatConductor)
{
    ASSERT_TRUE(LoadDefaultDesign());
    const QString circular = Press(M::IdMainAction);
    m_Form->SetResultsText(QString());
    Type(M::IdDepth, QStringLiteral("5"));
    EXPECT_EQ(Press(M::IdMainAction), circular);

    m_Form->SetResultsText(QString());
    Click(M::IdFlat);
    const QString flat = Press(M::IdMainAction);
    EXPECT_NE(flat, circular);
    EXPECT_TRUE(flat.startsWith(QString::fromLatin1(ReportHead)));
}

TEST_F(MonopoleForm, TheElectricalLineUsesTheEnteredTotals)
{
    // The default line's totals, 9.2 uH and 30.2 pF over 5 m, are close to what its geometry
    // gives (1.84 uH/m, 6.04 pF/m): the report differs only in the last places.
    ASSERT_TRUE(LoadDefaultDesign());
    Click(M::IdLineElectrical);
    const QString report = Press(M::IdMainAction);
    EXPECT_TRUE(report.contains(QStringLiteral("Transmission Line\r\n")));
    EXPECT_TRUE(
        report.startsWith(QString::fromLatin1(ReportHead) + QString::fromLatin1(AntennaSection)));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(MonopoleForm, TheDefaultDesignSavesBackByteForByte)
{
    // Its records are in creation order and restore the shape and line modes by their clicks.
    ASSERT_TRUE(LoadDefaultDesign());
    EXPECT_EQ(m_Form->DiameterLabel(), QStringLiteral("Diameter(mm)"));
    EXPECT_FALSE(m_Form->IsElectrical());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.qwf"));
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Monopole"), path));
    QFile saved(path);
    QFile shipped(DefaultDesignPath(QStringLiteral("Monopole")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), shipped.readAll());
}

TEST(MonopoleBatch, EveryActionReportsAtTheFirstPressOfTheDefaultDesign)
{
    for (const char* press : {"3", "4", "6"})
    {
        QString out;
        QString err;
        EXPECT_EQ(RunFormBatch(
                      QStringLiteral("Monopole"),
                      {"--load", DefaultDesignPath(QStringLiteral("Monopole")), "--press", press},
                      out, err),
                  0)
            << press;
        EXPECT_EQ(err, QString()) << press;
        EXPECT_EQ(out.count(QLatin1Char('\n')),
                  QLatin1String(press) == QLatin1String("3") ? 13 : 120)
            << press;
    }
}

TEST_F(MonopoleForm, EnterMovesToTheNextField)
{
    EXPECT_EQ(FocusAfterEnter(M::IdLength1), m_Form->Field(M::IdAngle1));
}

} // namespace
