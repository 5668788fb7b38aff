// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/MutualInductanceDlg.h"
#include "forms/ResultsPane.h"
#include "models/FormatNumber.h"
#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>

#include <cmath>

namespace
{
using D = CMutualInductanceDlg;

// The columns of a report row, each without the blank that ends it.
QStringList Columns(const QString& row)
{
    QStringList columns = row.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    for (QString& column : columns)
        column = column.trimmed();
    return columns;
}

double Number(QString text)
{
    return text.remove(QLatin1Char(',')).toDouble();
}

class CrystalRadioForm : public CFormTest<CMutualInductanceDlg>
{
protected:
    CrystalRadioForm() : CFormTest(QStringLiteral("CrystalRadio")) {}
};

// The defaults. Reference: this form's output, checked by hand at 50 mm:
// Zin(0) = 50 + Rac1 + j(2 pi 1 MHz 33.3 uH - 1 / (2 pi 1 MHz 2200 pF)) = 51.82 + j(209.23
// - 72.34); K = M / sqrt(L1 L2) = 9.96 / sqrt(33.3 * 331.2); NRGain = K sqrt(L2 / L1) = 0.0948
// * 3.154; Vp(0) = 0.1 * |Zp| / |Zin(0)| = 0.1 * 209.24 / 146.37; Vs(res) = Q Vs(0) = 100.34 *
// 0.0427; Zin(res) = Zin(0) + Z(refl); the required capacitor 1 / (2 pi 1 MHz 6.80 ohm) = 23.4 nF;
// TuneCap about 1 / (4 pi^2 f^2 L2) = 76.5 pF less the coil's axial capacitance.
const char* const DefaultNoLoadReport =
    "\t\t\t\t\t\t************* Primary coil *************\t\t\t\t\t\t\t********** Secondary coil "
    "***********\r\n"
    "D \tM \tK \tQ \tNRGain \t\tVp(0) \tZin(0) \t\tZ(refl) \t\tZin(res) \t\tRqrd for res \t\tVs(0) "
    "\tVs(res) \tTuneCap \r\n"
    "50.00 \t9.96 \t0.0948 \t100.34 \t0.2990 \t\t0.1430 \t51.82 + j136.89 \t58.62 - j130.08 "
    "\t110.44 + j6.80 \tC23,394.28                               \t0.0427 \t4.29 \t74.43 \r\n"
    "60.00 \t7.73 \t0.0736 \t124.01 \t0.2322 \t\t0.1430 \t51.82 + j136.89 \t74.65 - j101.73 "
    "\t126.47 + j35.16 \tC4,527.09                                \t0.0332 \t4.12 \t74.06 \r\n"
    "70.00 \t6.09 \t0.0580 \t143.52 \t0.1830 \t\t0.1430 \t51.82 + j136.89 \t77.30 - j66.10 "
    "\t129.12 + j70.78 \tC2,248.46                                \t0.0262 \t3.75 \t73.85 \r\n"
    "80.00 \t4.86 \t0.0463 \t158.31 \t0.1461 \t\t0.1430 \t51.82 + j136.89 \t65.99 - j36.19 "
    "\t117.81 + j100.69 \tC1,580.60                                \t0.0209 \t3.31 \t73.72 \r\n"
    "90.00 \t3.93 \t0.0374 \t168.94 \t0.1181 \t\t0.1430 \t51.82 + j136.89 \t49.83 - j17.91 "
    "\t101.65 + j118.97 \tC1,337.74                                \t0.0169 \t2.85 \t73.64 \r\n"
    "100.00 \t3.21 \t0.0306 \t176.34 \t0.0965 \t\t0.1430 \t51.82 + j136.89 \t35.59 - j8.56 \t87.41 "
    "+ j128.32 \tC1,240.27                                \t0.0138 \t2.43 \t73.60 \r\n"
    "110.00 \t2.65 \t0.0252 \t181.42 \t0.0796 \t\t0.1430 \t51.82 + j136.89 \t25.02 - j4.11 \t76.84 "
    "+ j132.78 \tC1,198.66                                \t0.0114 \t2.06 \t73.57 \r\n";

const char* const DistanceHeader = "\r\nDist \tW# \tQ \tVcoil \tVtap \tVdc \tVadio \tSPL \tVd(f) "
                                   "\tRd(f) \tCj(f) \tCdiff(f) \tZd(f) \tVd(r) "
                                   "\tRd(r) \tCj(r) \tZd(r) \r\n";

TEST_F(CrystalRadioForm, SetUpGivesTheDefaultsAndLaws)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("CrystalRadio"));
    EXPECT_EQ(m_Form->TemplateId(), 16006);
    EXPECT_EQ(m_Form->windowTitle(), QStringLiteral("Mutual Inductance"));
    EXPECT_TRUE(m_Form->EnterMovesFocus());
    EXPECT_EQ(m_Form->Field(1207)->GetWindowText(), QStringLiteral("0.10"));
    EXPECT_EQ(m_Form->Field(1254)->GetWindowText(), QStringLiteral("338000.0"));
    EXPECT_EQ(m_Form->Field(1261)->GetWindowText(), QString());
    EXPECT_EQ(m_Form->Field(1293)->GetWindowText(), QString());
    EXPECT_EQ(m_Form->ForwardLaw(), D::LawDiodeEquation);
    EXPECT_EQ(m_Form->ReverseLaw(), D::LawQuadratic);
    for (int id : {D::IdForwardDiode, D::IdReverseQuadratic})
        EXPECT_TRUE(m_Form->IsChecked(id)) << id;
    for (int id :
         {D::IdForwardQuadratic, D::IdForwardPower, D::IdReverseDiode, D::IdReverseResistance,
          D::IdResonant, D::IdPrimaryLitz, D::IdSecondaryLitz, D::IdHasCore})
        EXPECT_FALSE(m_Form->IsChecked(id)) << id;

    // The quotient keeps the control's digit rules; the tap loop is a whole number.
    const CVKEdit* quotient = m_Form->Field(1270);
    EXPECT_EQ(quotient->IntegerPlaces(), 6);
    EXPECT_EQ(quotient->FieldName(), QStringLiteral("Forward junction capcitance quotient"));
    EXPECT_DOUBLE_EQ(quotient->RealMax(), 9.99);
    EXPECT_EQ(m_Form->Field(1278)->IntMax(), 99);
    // Fields without a range: the wall thickness and the core, which gets no set-up at all.
    EXPECT_FALSE(m_Form->Field(1221)->RangeCheck());
    EXPECT_FALSE(m_Form->Field(1288)->RangeCheck());
    EXPECT_EQ(m_Form->Field(1288)->GetWindowText(), QString());
}

TEST(CrystalRadioDistances, EndIsNeverProcessedWhateverTheRounding)
{
    // 0.05 + 0.01 + ... summed in doubles reaches 0.11999999999999998 < 0.12: a literal
    // loop would print an eighth row at 120.00 mm.
    int summed = 0;
    for (double d = 0.05; d < 0.12; d += 0.01)
        ++summed;
    EXPECT_EQ(summed, 8);

    const std::vector<double> defaults = D::Distances(0.05, 0.12, 0.01);
    ASSERT_EQ(defaults.size(), 7u);
    for (std::size_t i = 0; i < defaults.size(); ++i)
        EXPECT_NEAR(defaults[i], 0.05 + 0.01 * static_cast<double>(i), 1e-15);

    EXPECT_EQ(D::Distances(0.12, 0.05, 0.01), std::vector<double>{0.12});
    EXPECT_EQ(D::Distances(0.05, 0.05, 0.01), std::vector<double>{0.05});
    EXPECT_EQ(D::Distances(0.05, 0.075, 0.01).size(), 3u); // 50, 60, 70
}

TEST_F(CrystalRadioForm, NoLoadReportWithTheDefaults)
{
    const QString report = Press(D::IdAnalyseNoLoad);
    EXPECT_EQ(report, QString::fromLatin1(DefaultNoLoadReport));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Every row: K = M / sqrt(L1 L2) and NRGain = K sqrt(L2 / L1), to the printed digits.
    const QStringList lines = Lines(report);
    for (int i = 2; i < lines.size(); ++i)
    {
        const QStringList c = Columns(lines[i]);
        EXPECT_NEAR(Number(c[2]), Number(c[1]) / std::sqrt(33.3 * 331.2), 1e-4) << i;
        EXPECT_NEAR(Number(c[4]), Number(c[2]) * std::sqrt(331.2 / 33.3), 5e-4) << i;
    }

    // Reports accumulate.
    Click(D::IdAnalyseNoLoad);
    EXPECT_EQ(m_Form->ResultsText(), report + report);
}

TEST_F(CrystalRadioForm, SourceWithoutCapacitanceIsAnInductor)
{
    // 2 pi 1 MHz (33.3 + 10) uH = 272.06 ohm; with 0 uH the source is 50 ohm alone.
    Type(1226, QStringLiteral("0"));
    Type(1227, QStringLiteral("10"));
    EXPECT_EQ(Columns(Lines(Press(D::IdAnalyseNoLoad))[2])[6], QStringLiteral("51.82 + j272.06"));
    Type(1227, QStringLiteral("0"));
    EXPECT_EQ(Columns(Lines(Press(D::IdAnalyseNoLoad))[2])[6], QStringLiteral("51.82 + j209.23"));
}

TEST_F(CrystalRadioForm, ShortCoreGivesTheFixedCoupling)
{
    // A 50 mm core is shorter than 8 + 28 mm of windings and the 50 mm gap: K = 0.001.
    ASSERT_TRUE(LoadDefaultDesign());
    m_Form->SetCheck(D::IdHasCore, true);
    Type(1289, QStringLiteral("50"));
    const QStringList lines = Lines(Press(D::IdAnalyseNoLoad));
    ASSERT_EQ(lines.size(), 9);
    for (int i = 2; i < lines.size(); ++i)
        EXPECT_EQ(Columns(lines[i])[2], QStringLiteral("0.0010")) << i;
}

// The distances of a sweep are worked out side by side, but it stops at the first that is
// refused, as one after the other: its message alone, and no table. On the default core the
// coils lie too far out from 160 mm on, and with the default gap they are not coupled for the
// detector at all.
TEST_F(CrystalRadioForm, ASweepStopsAtItsFirstRefusedDistanceWithOneMessageAndNoTable)
{
    ASSERT_TRUE(LoadDefaultDesign());
    m_Form->SetCheck(D::IdHasCore, true);
    Type(1229, QStringLiteral("400"));
    const struct
    {
        int m_Action;
        const char* m_Message;
    } cases[] = {
        {D::IdAnalyseNoLoad, "Error: At 160.00 mm the coils lie too far out on the core for its "
                             "permeability to be defined"},
        {D::IdMaxSplOverDistance,
         "Error: The coils are not coupled at 50.00 mm, so the detector has no signal to work on"},
        {D::IdSplAtLoopOverDistance,
         "Error: The coils are not coupled at 50.00 mm, so the detector has no signal to work on"},
    };
    for (const auto& c : cases)
    {
        m_Messages.m_Messages.clear();
        EXPECT_EQ(Press(c.m_Action), QString()) << c.m_Action;
        ASSERT_EQ(m_Messages.m_Messages.size(), 1u) << c.m_Action;
        EXPECT_EQ(m_Messages.m_Messages[0].text, c.m_Message);
    }
}

TEST_F(CrystalRadioForm, LoopRowsCutQAndVcoil)
{
    // "%-3.3d", "%-6.6s" and "%-8.4s": 1,234.56 keeps "1,234." and 12.34 keeps "12.3" padded to 8.
    m_Form->Circuit().m_LoadedQ = 1234.56;
    m_Form->Circuit().m_CoilVoltage.SetRectangular(12.34, 0.0);
    EXPECT_TRUE(m_Form->LoopRow(1).startsWith(QStringLiteral("001 \t1,234. \t12.3     \t")));
    m_Form->Circuit().m_LoadedQ = 5.5;
    EXPECT_TRUE(m_Form->LoopRow(123).startsWith(QStringLiteral("123 \t5.50   \t12.3     \t")));
    EXPECT_EQ(Columns(m_Form->LoopRow(7)).size(), 16);
    EXPECT_EQ(Columns(m_Form->DistanceRow(0.05, 7)).size(), 17);
    EXPECT_TRUE(
        m_Form->DistanceRow(0.05, 7).startsWith(QStringLiteral("50.00 \t7 \t5.50 \t12.34 \t")));
}

TEST_F(CrystalRadioForm, TapSweepAndTheDistanceSweepsAgree)
{
    const QStringList loops = Lines(Press(D::IdSplEachLoop));
    // Two header lines with a blank line between them, loop 0, then one row per turn (48).
    ASSERT_EQ(loops.size(), 4 + 48);
    EXPECT_EQ(loops[3], QStringLiteral("0 \t100.34 \t4.29 \t0.0 "));
    EXPECT_TRUE(loops[4].startsWith(QStringLiteral("001 \t99.95  \t4.32     \t")));

    // The best tap is the last one before Vdc first falls.
    int best = 0;
    double previous = 0.0;
    for (int w = 1; w <= 48; ++w)
    {
        const double vdc = Number(Columns(loops[3 + w])[4]);
        if (previous > vdc)
            break;
        best = w;
        previous = vdc;
    }
    EXPECT_EQ(best, 14);

    const QString bestReport = Press(D::IdMaxSplOverDistance);
    ASSERT_TRUE(bestReport.startsWith(QString::fromLatin1(DistanceHeader)));
    const QStringList bestRows = Lines(bestReport);
    ASSERT_EQ(bestRows.size(), 2 + 7);
    EXPECT_EQ(Columns(bestRows[2]).mid(2), Columns(loops[3 + best]).mid(1));
    EXPECT_EQ(Columns(bestRows[2]).mid(0, 2),
              (QStringList{QStringLiteral("50.00"), QStringLiteral("14")}));
    EXPECT_TRUE(bestRows[8].startsWith(QStringLiteral("110.00 \t")));

    // The given tap (20 by default) at the start distance is the tap sweep's row 20.
    const QStringList given = Lines(Press(D::IdSplAtLoopOverDistance));
    ASSERT_EQ(given.size(), 2 + 7);
    EXPECT_EQ(Columns(given[2]).mid(2), Columns(loops[3 + 20]).mid(1));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(CrystalRadioForm, MaxSplTableHoldsTheRowsAndTheCsvSplitsTheDiodeImpedances)
{
    // A blank line and the heading, then one data line a distance.
    const QStringList data = Lines(Press(D::IdMaxSplOverDistance)).mid(2);
    ASSERT_EQ(data.size(), 7);
    ASSERT_EQ(m_Form->Tables().size(), 1u);
    const CReportTable& table = m_Form->Tables().back();
    EXPECT_EQ(table.m_Title, QStringLiteral("Max SPL over distance range"));
    EXPECT_EQ(table.m_Rows.size(), static_cast<size_t>(data.size()));
    EXPECT_EQ(Lines(table.Text()).mid(2), data);

    const QStringList csv = Lines(TablesAsCsv(m_Form->Tables()));
    ASSERT_EQ(csv.size(), 1 + data.size());
    const QStringList names = csv[0].split(QLatin1Char(','));
    ASSERT_EQ(names.size(), 17 + 2);
    EXPECT_EQ(names.mid(12, 2),
              (QStringList{QStringLiteral("Zd(f) R (ohm)"), QStringLiteral("Zd(f) X (ohm)")}));
    EXPECT_EQ(names.mid(17),
              (QStringList{QStringLiteral("Zd(r) R (ohm)"), QStringLiteral("Zd(r) X (ohm)")}));
    const auto shown = [](const QString& field, int decimals)
    { return QString::fromStdString(FormatNumber(field.toDouble(), decimals)); };
    for (int row = 0; row < data.size(); ++row)
    {
        const QStringList fields = csv[1 + row].split(QLatin1Char(','));
        ASSERT_EQ(fields.size(), names.size()) << row;
        // The fields hold the values the report rounds: distance, tap, Vdc, Rd(f) and Zd(r).
        const QStringList columns = Columns(data[row]);
        EXPECT_EQ(shown(fields[0], 2), columns[0]) << row;
        EXPECT_EQ(fields[1], columns[1]) << row;
        EXPECT_EQ(shown(fields[5], 4), columns[5]) << row;
        EXPECT_NE(fields[5], columns[5]) << row;
        EXPECT_EQ(shown(fields[9], 0), columns[9]) << row;
        const double x = fields[18].toDouble();
        EXPECT_EQ(shown(fields[17], 2) + (x < 0 ? QStringLiteral(" - j") : QStringLiteral(" + j")) +
                      QString::fromStdString(FormatNumber(std::fabs(x), 2)),
                  columns[16])
            << row;
    }
}

TEST_F(CrystalRadioForm, GivenTapOutsideTheSecondary)
{
    Type(1278, QStringLiteral("0"));
    EXPECT_EQ(Press(D::IdSplAtLoopOverDistance), QString());
    // No distance reaches turn 60 of 48: the header alone, no row repeated from elsewhere.
    Type(1278, QStringLiteral("60"));
    EXPECT_EQ(Press(D::IdSplAtLoopOverDistance), QString::fromLatin1(DistanceHeader));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(CrystalRadioForm, LawsChooseTheFieldsRead)
{
    // Reverse diode equation with its empty default fields: the range message for "reverse Is".
    Click(D::IdReverseDiode);
    EXPECT_EQ(m_Form->ReverseLaw(), D::LawDiodeEquation);
    EXPECT_FALSE(m_Form->IsChecked(D::IdReverseQuadratic));
    m_Form->SetResultsText(QStringLiteral("kept"));
    Click(D::IdSplEachLoop);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: reverse Is must be between 0.001000 and 999.999900!");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(m_Form->ResultsText(), QStringLiteral("kept"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Filled in, the engine's diode gets them in SI units; the other laws' coefficients are 0.
    Type(1261, QStringLiteral("0.5"));
    Type(1262, QStringLiteral("1.5"));
    Click(D::IdForwardPower);
    EXPECT_EQ(Lines(Press(D::IdSplEachLoop)).size(), 4 + 48);
    const CDiode& diode = m_Form->Circuit().m_Diode;
    EXPECT_EQ(diode.m_ReverseModel, CDiode::ReverseDiodeEquation);
    EXPECT_NEAR(diode.m_RevSatCurrent, 0.5e-6, 1e-15);
    EXPECT_NEAR(diode.m_RevN, 1.5, 1e-6);
    EXPECT_EQ(diode.m_ForwardModel, CDiode::ForwardPower);
    EXPECT_NEAR(diode.m_PowerA, 25.845, 1e-4);
    EXPECT_NEAR(diode.m_PowerN, 2.8423, 1e-4);
    EXPECT_EQ(diode.m_SatCurrent, 0.0);
    EXPECT_EQ(diode.m_RevQuadA, 0.0);
    EXPECT_NEAR(diode.m_JunctionCap, 3.38e-12, 1e-18);
}

TEST_F(CrystalRadioForm, InputsGoToTheCoilsInSiUnits)
{
    m_Form->SetCheck(D::IdPrimaryLitz, true);
    m_Form->SetCheck(D::IdSecondaryLitz, true);
    Type(1217, QStringLiteral("500"));
    ASSERT_TRUE(m_Form->ReadInputs());
    // The fields convert through single precision: compare to a millionth.
    const auto near = [](double value, double reference)
    { return std::abs(value - reference) <= 1e-6 * reference; };
    const CCoil& primary = m_Form->Circuit().m_Primary;
    EXPECT_TRUE(near(primary.m_Inductance, 33.3e-6));
    EXPECT_TRUE(near(primary.m_Diameter, 0.103));
    EXPECT_TRUE(near(primary.m_CoreCoilDiameter, 0.103));
    EXPECT_TRUE(near(primary.m_Resistivity, 0.0168e-6));
    EXPECT_TRUE(near(primary.m_WallThickness, 0.002));
    EXPECT_TRUE(primary.m_IsLitz);
    EXPECT_TRUE(near(primary.m_StrandDiameter, 0.0375e-3));
    EXPECT_EQ(primary.m_StrandCount, 175.0);
    // 1.6 ^ (500 kHz / 1000).
    EXPECT_TRUE(near(primary.m_LitzFactor, std::sqrt(1.6)));
    EXPECT_NEAR(m_Form->Circuit().m_Secondary.m_Turns, 48.0, 1e-9);
    EXPECT_TRUE(m_Form->Circuit().m_Secondary.m_IsLitz);
}

TEST_F(CrystalRadioForm, InvalidFieldStopsTheCommand)
{
    Type(1230, QStringLiteral("0"));
    EXPECT_EQ(Press(D::IdMaxSplOverDistance), QString());
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: steps must be between 1.000000 and 99.000000!");

    // The negative quotient is read with its result ignored: its message, then the report.
    m_Messages.m_Messages.clear();
    Type(1230, QStringLiteral("10"));
    Type(1293, QStringLiteral("12"));
    EXPECT_EQ(Lines(Press(D::IdAnalyseNoLoad)).size(), 9);
    ASSERT_EQ(m_Messages.m_Messages.size(), 1u);
    EXPECT_EQ(
        m_Messages.m_Messages[0].text,
        "Error: Negative junction capcitance quotient must be between 0.000000 and 9.990000!");
}

TEST(CrystalRadioDesign, DefaultFileListsTheControlsInCreationOrder)
{
    CMutualInductanceDlg form;
    form.OnInitialUpdate();
    QStringList expected{QStringLiteral("CrystalRadio"), QStringLiteral("1.1")};
    for (const QWidget* control : form.Controls())
        if (ClassifyControl(control) != EControlKind::Other &&
            ClassifyControl(control) != EControlKind::Part)
            expected << QString::number(CVKFormView::ControlId(control));

    QFile file(DefaultDesignPath(QStringLiteral("CrystalRadio")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    QStringList ids;
    for (const QString& line : Lines(text))
        ids << line.section(QLatin1Char(','), 0, 0);
    EXPECT_EQ(ids, expected);
}

TEST(CrystalRadioBatch, EveryActionReportsAtTheFirstPress)
{
    // Header lines and rows: 7 distances, or loop 0 and the 48 turns of the secondary.
    const std::pair<const char*, int> actions[] = {
        {"3", 2 + 7}, {"4", 3 + 1 + 48}, {"6", 2 + 7}, {"7", 2 + 7}};
    for (const auto& [id, lines] : actions)
    {
        QString out;
        QString err;
        EXPECT_EQ(RunFormBatch(
                      QStringLiteral("CrystalRadio"),
                      {"--load", DefaultDesignPath(QStringLiteral("CrystalRadio")), "--press", id},
                      out, err),
                  0)
            << id;
        EXPECT_EQ(err, QString()) << id;
        EXPECT_EQ(out.count(QLatin1Char('\n')), lines) << id;
        if (QLatin1String(id) == QLatin1String("3"))
        {
            EXPECT_EQ(out, BatchText(QString::fromLatin1(DefaultNoLoadReport)));
        }
    }

    QString out;
    QString err;
    EXPECT_EQ(
        RunFormBatch(QStringLiteral("CrystalRadio"), {"--set", "1197=1", "--press", "6"}, out, err),
        1);
    EXPECT_EQ(out, QString());
    EXPECT_EQ(
        err, QStringLiteral("Error: Error: reverse Is must be between 0.001000 and 999.999900!\n"));
}

} // namespace

namespace
{
TEST_F(CrystalRadioForm, ExtremeInputsStillReport)
{
    // A secondary of half a turn and the extremes of the working fields: every action still
    // ends with its headers and no message.
    Type(1218, QStringLiteral("0.5"));
    Type(1217, QStringLiteral("1"));
    Type(1228, QStringLiteral("999"));
    Type(1229, QStringLiteral("1"));
    Type(1278, QStringLiteral("99"));
    for (int id : {D::IdAnalyseNoLoad, D::IdSplEachLoop, D::IdMaxSplOverDistance,
                   D::IdSplAtLoopOverDistance})
        EXPECT_FALSE(Press(id).isEmpty()) << id;
    EXPECT_TRUE(m_Messages.m_Messages.empty());
    // Half a turn has no tap: the distance sweeps print their header alone.
    EXPECT_EQ(Press(D::IdMaxSplOverDistance), QString::fromLatin1(DistanceHeader));

    // A core with its fields left empty has no rod to work with: every action names the
    // first empty rod field, and reports nothing.
    m_Form->SetCheck(D::IdHasCore, true);
    for (int id : {D::IdAnalyseNoLoad, D::IdSplEachLoop, D::IdMaxSplOverDistance,
                   D::IdSplAtLoopOverDistance})
        EXPECT_EQ(Press(id), QString()) << id;
    ASSERT_EQ(m_Messages.m_Messages.size(), 4u);
    EXPECT_EQ(m_Messages.m_Messages[3].text, "Error: Diameter (mm) must not be zero for a core");
}
} // namespace

namespace
{
TEST_F(CrystalRadioForm, FieldsNoCalculationReadsSaySoAndAreDisabledAndUnchecked)
{
    // The coils' core permeabilities and the two core-loss fields are never read.
    for (int id : {1236, 1238, 1246, 1279})
    {
        const QString tip = m_Form->Field(id)->toolTip();
        EXPECT_TRUE(tip.contains(QStringLiteral("does not enter the air-core calculation"))) << id;
        int labelled = 0;
        for (const QLabel* label : m_Form->findChildren<QLabel*>())
            if (label->buddy() == m_Form->Field(id))
            {
                EXPECT_EQ(label->toolTip(), tip) << id;
                ++labelled;
            }
        EXPECT_EQ(labelled, 1) << id;
        EXPECT_FALSE(m_Form->Field(id)->isEnabled()) << id;
    }

    // What the tooltips claim: other permeabilities give the same report, with and without a
    // core (the shipped design's rod).
    for (const auto& [id, text] : {std::pair(1288, "9.68"), std::pair(1289, "180.0"),
                                   std::pair(1286, "1500.0"), std::pair(1224, "120.0")})
        Type(id, QString::fromLatin1(text));
    for (bool core : {false, true})
    {
        m_Form->SetCheck(D::IdHasCore, core);
        Type(1236, QStringLiteral("1.0"));
        Type(1238, QStringLiteral("1.0"));
        const QString air = Press(D::IdAnalyseNoLoad);
        Type(1236, QStringLiteral("500"));
        Type(1238, QStringLiteral("900"));
        EXPECT_EQ(Press(D::IdAnalyseNoLoad), air) << "core " << core;
        // Out of the range they once had: still no refusal.
        Type(1236, QStringLiteral("0"));
        EXPECT_EQ(Press(D::IdAnalyseNoLoad), air) << "core " << core;
    }
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(CrystalRadioForm, EachDetectorLawEnablesTheFieldsItReads)
{
    const std::vector<int> forward = {1247, 1258, 1259, 1260, 1263, 1267}; // Is, quad, power
    const std::vector<int> reverse = {1261, 1262, 1264, 1265, 1266};       // Is, n, quad
    const struct
    {
        int m_Law;
        std::vector<int> m_Enabled;
    } laws[] = {
        {D::IdForwardDiode, {1247}},
        {D::IdForwardQuadratic, {1258, 1259, 1260}},
        {D::IdForwardPower, {1263, 1267}},
        {D::IdReverseDiode, {1261, 1262}},
        {D::IdReverseQuadratic, {1264, 1265, 1266}},
        {D::IdReverseResistance, {}},
    };
    for (const auto& law : laws)
    {
        Click(law.m_Law);
        const bool isForward = law.m_Law == D::IdForwardDiode ||
                               law.m_Law == D::IdForwardQuadratic || law.m_Law == D::IdForwardPower;
        for (int id : isForward ? forward : reverse)
            EXPECT_EQ(m_Form->Field(id)->isEnabled(),
                      std::count(law.m_Enabled.begin(), law.m_Enabled.end(), id) == 1)
                << "law " << law.m_Law << ", field " << id;
        EXPECT_TRUE(m_Form->Field(1254)->isEnabled()) << "the reverse resistance, read always";
    }
}
} // namespace

// A 1N5711-like diode at 1 Vpp gives the load more DC power than the source can deliver: the
// hint strip names the taps, the Table tab marks their rows, "Clear" takes the hint away.
TEST_F(CrystalRadioForm, AnImpossibleDetectorOutputIsHintedBesideTheReport)
{
    Type(D::IdSourceVoltage, QStringLiteral("1.0"));
    Type(D::IdSatCurrent, QStringLiteral("0.0197"));
    Type(D::IdIdeality, QStringLiteral("1.51"));
    Click(D::IdReverseDiode);
    Type(D::IdRevSatCurrent, QStringLiteral("0.0197"));
    Type(D::IdRevN, QStringLiteral("1.51"));
    const QString report = Press(D::IdSplEachLoop);
    EXPECT_FALSE(report.contains(QStringLiteral("uW")));

    CResultsPane& pane = *m_Form->ResultsPane();
    EXPECT_TRUE(pane.HintStrip()->isVisibleTo(m_Form.get()));
    EXPECT_TRUE(pane.HintText().startsWith(QStringLiteral(
        "Calc SPL each loop at start distance, W# 13-48: The DC power in the load is "
        "up to 14.4 times the 625.00 uW")))
        << pane.HintText().toStdString();
    EXPECT_TRUE(pane.HintText().contains(QStringLiteral("(Is 0.0197 uA, n 1.51)")));
    // The loop row comes first: tap 13 is the table's row 13.
    const auto tint = [&pane](int row)
    { return pane.Model()->data(pane.Model()->index(row, 5), Qt::BackgroundRole).isValid(); };
    EXPECT_FALSE(tint(12));
    EXPECT_TRUE(tint(13));
    EXPECT_TRUE(tint(48));

    Click(CVKFormView::IdClear);
    EXPECT_FALSE(pane.HintStrip()->isVisibleTo(m_Form.get()));
}
