// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/CoilDlg.h"
#include "controls/VKComboBox.h"
#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace
{
using C = CCoilDlg;

const char* const Separator =
    "**************************************************************************************"
    "**************************************************************************************"
    "***************\r\n";

// The header with the set-up defaults and no core (the report's own layout, values by hand:
// 1000 kHz, 0.63 mm, permittivity 3, apparent permeability 1).
const char* const AirCoreHeader =
    "Frequency (kHz): \t\t1,000 \r\nWire Diameter (mm): \t\t0.630 \r\nFormer rel permittivity: "
    "\t\t3.00  \r\n"
    "Core apparent rel permeability: \t1.0000 \r\n\r\n"
    "L\tWire \tR(DC) \tR(AC) \tR(AC)  \tR(former) \tR(core) \tX \tQ \tDiam \tLength \tl/D \tPitch "
    "\tTurns "
    "\tC(axial) \tC(sr) \tF(sr) \tAlpha \tQeff \r\n"
    "\tlength  \t\t(wire) \t(coil) \t\t\t\t\t\t\t\t\t \t(pF) \t(pF) \t (MHz) \t \t \t \t \r\n";

class CoilForm : public CFormTest<CCoilDlg>
{
protected:
    CoilForm() : CFormTest(QStringLiteral("Coil")) {}

    void AirCore() { Click(C::IdHasCore); }

    // The report rows (lines starting with a digit), split into their 19 columns.
    std::vector<QStringList> Rows() const
    {
        std::vector<QStringList> rows;
        for (const QString& line : m_Form->ResultsText().split(QStringLiteral("\r\n")))
            if (!line.isEmpty() && line.front().isDigit())
                rows.push_back(line.split(QStringLiteral(" \t")));
        return rows;
    }
    QStringList Column(int column) const
    {
        QStringList values;
        for (const QStringList& row : Rows())
            values << row.value(column).trimmed();
        return values;
    }
};
} // namespace

TEST_F(CoilForm, SetUpStartsInTheGivenInductanceModeWithDiameterAndPitch)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("Coil"));
    EXPECT_EQ(m_Form->TemplateId(), 16004);
    EXPECT_TRUE(m_Form->EnterMovesFocus());
    EXPECT_TRUE(m_Form->IsChecked(C::IdUseGivenInductance));
    EXPECT_TRUE(m_Form->IsChecked(C::IdDiameterAndPitch));
    EXPECT_TRUE(m_Form->IsChecked(C::IdHasCore));
    EXPECT_TRUE(m_Form->IsChecked(C::IdInitialPermeability));
    EXPECT_FALSE(m_Form->IsChecked(C::IdLitz));
    EXPECT_EQ(m_Form->Field(C::IdTurns)->GetWindowText(), QString());
    EXPECT_EQ(m_Form->Field(C::IdWallThickness)->GetWindowText(), QStringLiteral("2.0"));
    EXPECT_TRUE(m_Form->Field(C::IdDiameter)->isEnabled());
    EXPECT_TRUE(m_Form->Field(C::IdPitch)->isEnabled());
    EXPECT_FALSE(m_Form->Field(C::IdTurns)->isEnabled());
    EXPECT_FALSE(m_Form->Field(C::IdLengthToDiameter)->isEnabled());
    EXPECT_FALSE(m_Form->Button(C::IdAnalyseRatioRange)->isEnabled());
    EXPECT_FALSE(m_Form->Button(C::IdEnterLength)->isEnabled());
}

TEST_F(CoilForm, TheDefaultsStopAtTheMissingNumberOfTurns)
{
    Click(C::IdAnalyse);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Number of turns must be specified if calculating core permeability");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(m_Form->ResultsText(), QString());
}

TEST_F(CoilForm, ModeHandlersEnableTheFieldsOfTheirChoice)
{
    Click(C::IdCalculateInductance);
    EXPECT_FALSE(m_Form->InductanceGiven());
    EXPECT_TRUE(m_Form->IsChecked(C::IdEnterLength));
    EXPECT_FALSE(m_Form->IsChecked(C::IdUseGivenInductance));
    EXPECT_TRUE(m_Form->DiameterInput() && m_Form->LengthInput());
    EXPECT_FALSE(m_Form->PitchInput() || m_Form->RatioInput());
    EXPECT_TRUE(m_Form->Field(C::IdTurns)->isEnabled());
    EXPECT_TRUE(m_Form->Field(C::IdLength)->isEnabled());
    EXPECT_FALSE(m_Form->Field(C::IdPitch)->isEnabled());
    EXPECT_FALSE(m_Form->Field(C::IdStartInductance)->isEnabled());
    EXPECT_FALSE(m_Form->Button(C::IdDiameterAndPitch)->isEnabled());

    Click(C::IdUseGivenInductance);
    Click(C::IdRatioAndPitch);
    EXPECT_TRUE(m_Form->InductanceGiven());
    EXPECT_FALSE(m_Form->IsChecked(C::IdDiameterAndPitch));
    EXPECT_TRUE(m_Form->RatioInput() && m_Form->PitchInput());
    EXPECT_FALSE(m_Form->DiameterInput());
    EXPECT_FALSE(m_Form->Field(C::IdDiameter)->isEnabled());
    EXPECT_TRUE(m_Form->Button(C::IdAnalyseRatioRange)->isEnabled());

    // Back to the working mode: 1195 stays marked, the fields are those of 1194.
    Click(C::IdUseGivenInductance);
    EXPECT_TRUE(m_Form->IsChecked(C::IdRatioAndPitch));
    EXPECT_FALSE(m_Form->IsChecked(C::IdDiameterAndPitch));
    EXPECT_TRUE(m_Form->DiameterInput());
    EXPECT_FALSE(m_Form->Button(C::IdAnalyseRatioRange)->isEnabled());

    Click(C::IdApparentPermeability);
    EXPECT_TRUE(m_Form->Field(C::IdApparentPermeabilityValue)->isEnabled());
    EXPECT_FALSE(m_Form->Field(C::IdOffset)->isEnabled());
    Click(C::IdInitialPermeability);
    EXPECT_FALSE(m_Form->Field(C::IdApparentPermeabilityValue)->isEnabled());
    EXPECT_TRUE(m_Form->Field(C::IdGapExponent)->isEnabled());
}

TEST_F(CoilForm, ACalculatedCoilGivesOneRowWithItsGeometry)
{
    AirCore();
    Click(C::IdCalculateInductance);
    Click(C::IdEnterPitch);
    Type(C::IdTurns, "40");
    Click(C::IdAnalyse);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    ASSERT_TRUE(m_Form->ResultsText().startsWith(QString::fromLatin1(AirCoreHeader)));
    ASSERT_TRUE(m_Form->ResultsText().endsWith(QString::fromLatin1(Separator)));
    const std::vector<QStringList> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].size(), 19);
    // By hand: l = 40 * 0.68 = 27.2 mm, l/D = 27.2 / 17.18 = 1.58324, wire length
    // sqrt((pi 40 17.18)^2 + 27.2^2) mm = 2.15907 m, R(DC) = 1.68e-8 * 2.15907 / (pi 0.315e-3^2)
    // = 0.11636 ohm.
    EXPECT_EQ(rows[0][1], QStringLiteral("2.16"));
    EXPECT_EQ(rows[0][2], QStringLiteral("0.12"));
    EXPECT_EQ(rows[0][9], QStringLiteral("17.18"));
    EXPECT_EQ(rows[0][10], QStringLiteral("27.20"));
    EXPECT_EQ(rows[0][11], QStringLiteral("1.5832"));
    EXPECT_EQ(rows[0][12], QStringLiteral("0.6800"));
    EXPECT_EQ(rows[0][13], QStringLiteral("40.00"));
    EXPECT_EQ(rows[0][6], QStringLiteral("0.0000")) << "no core, no core loss";
    // X = 2 pi f L with L in the first column (uH).
    const double inductance = rows[0][0].toDouble() * 1e-6;
    EXPECT_EQ(QString(rows[0][7]).remove(QLatin1Char(',')).toDouble(),
              std::round(2 * M_PI * 1e6 * inductance));
}

TEST_F(CoilForm, ThePitchMayEqualTheConductorDiameterButNotBeSmaller)
{
    AirCore();
    Click(C::IdCalculateInductance);
    Click(C::IdEnterPitch);
    Type(C::IdTurns, "40");
    Type(C::IdPitch, "0.63");
    Click(C::IdAnalyse);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_EQ(Rows().size(), 1u);

    m_Form->SetResultsText(QString());
    Type(C::IdPitch, "0.62");
    Click(C::IdAnalyse);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Entered or calculated pitch is smaller than the wire diameter! Adjust "
              "L/D ratio, Diameter or number of turns!*");
    EXPECT_EQ(m_Form->ResultsText(), QString());

    // A derived pitch is checked too: 20 mm over 40 turns is 0.5 mm.
    m_Messages.m_Messages.clear();
    Click(C::IdEnterLength);
    Type(C::IdLength, "20");
    Click(C::IdAnalyse);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text.substr(0, 22), "Entered or calculated ");
}

TEST_F(CoilForm, TheInductanceSweepRunsInStepsOf50MicrohenryToTheEnd)
{
    AirCore();
    Type(C::IdStartInductance, "100");
    Type(C::IdEndInductance, "200");
    Click(C::IdAnalyse);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    // The third sum falls short of 200 uH by rounding, so 200 uH comes twice.
    EXPECT_EQ(Column(0), (QStringList{"100.00", "150.00", "200.00", "200.00"}));
    EXPECT_TRUE(m_Form->ResultsText().endsWith(QString::fromLatin1(Separator)));
    for (const QString& diameter : Column(9))
        EXPECT_EQ(diameter, QStringLiteral("17.18")) << "the diameter is an input of this choice";

    // A start above the end analyses the end inductance alone.
    m_Form->SetResultsText(QString());
    Type(C::IdStartInductance, "300");
    Click(C::IdAnalyse);
    EXPECT_EQ(Column(0), QStringList{"200.00"});
}

TEST_F(CoilForm, TheEndInductanceMayLieUpTo9997StepsAboveTheStartSoASweepStaysUnder10000Rows)
{
    AirCore();
    // From 200 uH the bound is 200 + 9,997 * 50 = 500,050 uH; a start above the end still
    // analyses the end alone, whatever the end.
    const struct
    {
        const char* m_Start;
        const char* m_End;
        int m_Rows; // -1: refused with the range message
        const char* m_Message;
    } cases[] = {
        {"200", "500050", 9999, ""},
        // The end a message names is taken as typed, though it reads as 499850.03125.
        {"0.001", "499850.001", 9999, ""},
        {"0.001", "499851", -1,
         "Error: End inductance must be between 0.000000 and 499850.001000!"},
        {"200", "500051", -1, "Error: End inductance must be between 0.000000 and 500050.000000!"},
        {"200", "999999999", -1,
         "Error: End inductance must be between 0.000000 and 500050.000000!"},
        {"1000", "999999999", -1,
         "Error: End inductance must be between 0.000000 and 500850.000000!"},
        {"999999", "300", 1, ""},
    };
    for (const auto& c : cases)
    {
        m_Form->SetResultsText(QString());
        m_Messages.m_Messages.clear();
        Type(C::IdStartInductance, QString::fromLatin1(c.m_Start));
        Type(C::IdEndInductance, QString::fromLatin1(c.m_End));
        Click(C::IdAnalyse);
        if (c.m_Rows < 0)
        {
            EXPECT_EQ(m_Form->ResultsText(), QString()) << c.m_End;
            ASSERT_EQ(m_Messages.m_Messages.size(), 1u) << c.m_End;
            EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
            EXPECT_EQ(m_Messages.m_Messages[0].text, c.m_Message);
        }
        else
        {
            EXPECT_EQ(static_cast<int>(Rows().size()), c.m_Rows) << c.m_End;
            EXPECT_TRUE(m_Messages.m_Messages.empty()) << c.m_End;
        }
    }
    // The l/d range analyses the start inductance only: the end takes no part in it.
    Click(C::IdRatioAndPitch);
    m_Form->SetResultsText(QString());
    Type(C::IdStartInductance, "200");
    Click(C::IdAnalyseRatioRange);
    EXPECT_EQ(Rows().size(), 10u);
}

TEST_F(CoilForm, TheSweepsTableIsItsReportWithTheNumbersInFull)
{
    AirCore();
    Type(C::IdStartInductance, "100");
    Type(C::IdEndInductance, "200");
    Click(C::IdAnalyse);
    ASSERT_EQ(m_Form->Tables().size(), 1u);
    const CReportTable& table = m_Form->Tables().front();
    EXPECT_EQ(table.m_Title, QStringLiteral("Analyse"));
    EXPECT_EQ(table.m_Rows.size(), Rows().size());
    EXPECT_EQ(table.Text(), m_Form->ResultsText());
    ASSERT_EQ(table.m_Rows.size(), 4u);
    EXPECT_EQ(table.FieldNames().size(), 19);
    EXPECT_EQ(table.FieldNames()[7], QStringLiteral("X (ohm)"));

    const std::vector<CReportCell>& first = table.m_Rows.front();
    EXPECT_DOUBLE_EQ(first[0].m_Value, 100.0) << "L in uH";
    // The reactance is shown whole; the table keeps 2 pi f L.
    EXPECT_EQ(Rows().front().value(7), QStringLiteral("628"));
    EXPECT_NEAR(first[7].m_Value, 2 * 3.141592653589793 * 1e6 * 100e-6, 1e-9);
    EXPECT_EQ(table.Fields(0)[7].toDouble(), first[7].m_Value);
}

TEST_F(CoilForm, AnEndInductanceOfZeroIsRefusedBeforeTheReport)
{
    AirCore();
    for (const char* end : {"", "0"})
    {
        m_Messages.m_Messages.clear();
        Type(C::IdEndInductance, QString::fromLatin1(end));
        Click(C::IdAnalyse);
        ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
        EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
        EXPECT_EQ(m_Messages.m_Messages[0].text,
                  "Error: End inductance (uH) must be greater than 0");
        EXPECT_EQ(m_Form->ResultsText(), QString());
    }
}

TEST_F(CoilForm, TheRatioSweepAnalysesTenRisingRatiosAtTheStartInductance)
{
    AirCore();
    Click(C::IdRatioAndPitch);
    Type(C::IdEndInductance, "500");
    Click(C::IdAnalyseRatioRange);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_EQ(Column(11), (QStringList{"0.4070", "0.5070", "0.6070", "0.7070", "0.8070", "0.9070",
                                       "1.0070", "1.1070", "1.2070", "1.3070"}));
    EXPECT_EQ(Column(0), QStringList(10, QStringLiteral("300.00")));
    EXPECT_TRUE(m_Form->ResultsText().endsWith(QString::fromLatin1(Separator)));

    // An invalid field writes the separator alone.
    m_Form->SetResultsText(QString());
    Type(C::IdConductorDiameter, "0");
    Click(C::IdAnalyseRatioRange);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text.rfind("Error: Conductor diameter must be between", 0),
              0u);
    EXPECT_EQ(m_Form->ResultsText(), QString::fromLatin1(Separator));
}

TEST_F(CoilForm, TheLitzFactorGrowsAsItsPowerOfTheFrequencyInMegahertz)
{
    AirCore();
    Click(C::IdLitz);
    Type(C::IdFrequency, "500");
    ASSERT_TRUE(m_Form->ReadInputs());
    // 1.6^0.5 = 1.2649 at 500 kHz; 1.6^2 = 2.56 at 2 MHz (the field reads 1.6 in single precision).
    EXPECT_NEAR(m_Form->Coil().m_LitzFactor, 1.264911, 1e-6);
    EXPECT_TRUE(m_Form->Coil().m_IsLitz);
    EXPECT_NEAR(m_Form->Coil().m_StrandDiameter, 0.0375e-3, 1e-10);
    Type(C::IdFrequency, "2000");
    ASSERT_TRUE(m_Form->ReadInputs());
    EXPECT_NEAR(m_Form->Coil().m_LitzFactor, 2.56, 1e-6);
}

TEST_F(CoilForm, AChoiceOfTheInactiveModeTakesNoPart)
{
    // "Enter pitch" after "Enter l/d ratio": the disabled l/D field is not read.
    AirCore();
    Click(C::IdCalculateInductance);
    Click(C::IdEnterRatio);
    Click(C::IdEnterPitch);
    Type(C::IdTurns, "40");
    Type(C::IdLengthToDiameter, "0");
    ASSERT_TRUE(m_Form->ReadInputs());
    EXPECT_TRUE(m_Messages.m_Messages.empty());

    // A design file restores the stale marks of the other mode's choices; they must not change
    // the inputs of the mode in force, whichever order the records come in.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stale.qwf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "Coil\r\n1.0\r\n1203,1\r\n1204,0\r\n1194,1\r\n1195,0\r\n1197,1\r\n1199,0\r\n1200,0\r\n");
    file.close();
    ASSERT_TRUE(LoadDesign(m_Form.get(), QStringLiteral("Coil"), path));
    EXPECT_TRUE(m_Form->InductanceGiven());
    EXPECT_TRUE(m_Form->DiameterInput() && m_Form->PitchInput());
    EXPECT_FALSE(m_Form->LengthInput());
    EXPECT_TRUE(m_Form->Field(C::IdStartInductance)->isEnabled());
    EXPECT_TRUE(m_Form->IsChecked(C::IdEnterLength)) << "the mark itself is restored";
}

TEST_F(CoilForm, EnterMovesToTheNextField)
{
    EXPECT_EQ(FocusAfterEnter(C::IdFrequency), m_Form->Field(C::IdStartInductance));
    // The keypad's Enter moves on too.
    QTest::keyClick(m_Form->Field(C::IdStartInductance), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), m_Form->Field(C::IdEndInductance));
}

TEST_F(CoilForm, TheDefaultDesignReportsAtTheFirstPressOfEachAction)
{
    ASSERT_TRUE(LoadDefaultDesign());
    Click(C::IdAnalyse);
    EXPECT_EQ(Column(0), (QStringList{"200.00", "250.00", "300.00", "350.00", "400.00"}));
    m_Form->SetResultsText(QString());
    Click(C::IdAnalyseRatioRange);
    EXPECT_EQ(Rows().size(), 10u);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(CoilForm, ADesignRoundTripRestoresTheModeAndItsFields)
{
    AirCore();
    Click(C::IdCalculateInductance);
    Click(C::IdEnterRatio);
    Type(C::IdTurns, "55.5");
    Click(C::IdLitz);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("coil.qwf"));
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Coil"), path));

    CCoilDlg fresh;
    fresh.OnInitialUpdate();
    ASSERT_TRUE(LoadDesign(&fresh, QStringLiteral("Coil"), path));
    EXPECT_FALSE(fresh.InductanceGiven());
    EXPECT_TRUE(fresh.IsChecked(C::IdEnterRatio));
    EXPECT_FALSE(fresh.IsChecked(C::IdEnterLength));
    EXPECT_TRUE(fresh.DiameterInput() && fresh.RatioInput());
    EXPECT_FALSE(fresh.Field(C::IdPitch)->isEnabled());
    EXPECT_EQ(fresh.Field(C::IdTurns)->GetWindowText(), QStringLiteral("55.5"));
    EXPECT_TRUE(fresh.IsChecked(C::IdLitz));
    EXPECT_FALSE(fresh.IsChecked(C::IdHasCore));
}

TEST(CoilBatch, AWidelySpacedThinWireNeverGetsLessThanItsStraightWireResistance)
{
    // Pitch 10 mm with 0.01 mm wire (p/d = 1000) once printed R(AC) = -5,802 ohm.
    QString out;
    QString err;
    ASSERT_EQ(RunFormBatch(QStringLiteral("Coil"),
                           {"--set", "1276=0", "--set", "1204=1", "--set", "1199=1", "--set",
                            "1212=20", "--set", "1198=10", "--set", "1201=0.01", "--set",
                            "1209=0.01", "--press", "3"},
                           out, err),
              0);
    EXPECT_EQ(err, QString());
    QStringList row;
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (!line.isEmpty() && line.front().isDigit())
            row = line.split(QStringLiteral(" \t"));
    ASSERT_EQ(row.size(), 19) << out.toStdString();
    const auto ohms = [&](int column)
    { return QString(row[column]).remove(QLatin1Char(',')).toDouble(); };
    EXPECT_GT(ohms(2), 0.0);             // R(DC)
    EXPECT_GE(ohms(3), ohms(2));         // R(AC) of the straight wire
    EXPECT_NEAR(ohms(4), ohms(3), 0.01); // R(AC) of the coil: no proximity effect
}

// A wire chosen from the list fills the diameters (a close-wound coil keeps its pitch on the
// wire), the design file keeps its name beside the numbers, and typing in a filled field
// leaves the part: the picker shows "custom" and the file no longer names it.
TEST_F(CoilForm, APickedPartFillsItsFieldsAndTheFileKeepsItsName)
{
    CVKComboBox* wire = m_Form->Picker(C::IdWirePart);
    ASSERT_NE(wire, nullptr);
    const int awg26 = wire->findText(QStringLiteral("AWG 26 (single build)"));
    ASSERT_GT(awg26, 0) << "the wire table lists the enamelled AWG sizes";
    emit wire->activated(awg26);
    // 0.40489 mm bare, 0.4394 mm over a single build of enamel, shown to the fields' 3 decimals.
    EXPECT_EQ(m_Form->Field(C::IdConductorDiameter)->GetFixedText(), QStringLiteral("0.405"));
    const QString overall = m_Form->Field(C::IdWireDiameter)->GetFixedText();
    EXPECT_EQ(overall, QStringLiteral("0.439"));
    EXPECT_EQ(m_Form->Field(C::IdPitch)->GetFixedText(), overall);
    EXPECT_EQ(wire->Chosen(), QStringLiteral("AWG 26 (single build)"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("coil.qwf"));
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Coil"), path));
    CCoilDlg fresh;
    fresh.OnInitialUpdate();
    ASSERT_TRUE(LoadDesign(&fresh, QStringLiteral("Coil"), path));
    EXPECT_EQ(fresh.Picker(C::IdWirePart)->Chosen(), QStringLiteral("AWG 26 (single build)"));
    EXPECT_EQ(fresh.Field(C::IdWireDiameter)->GetFixedText(), overall);

    QTest::keyClick(m_Form->Field(C::IdConductorDiameter), Qt::Key_Backspace);
    EXPECT_EQ(wire->Chosen(), QString());
    EXPECT_EQ(wire->currentText(), QStringLiteral("custom"));
    ASSERT_TRUE(SaveDesign(m_Form.get(), QStringLiteral("Coil"), path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("1290,"));
}
