// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/ImpedanceDlg.h"
#include "models/FormatNumber.h"
#include "tests/forms/FormTestSupport.h"

#include <cfloat>

namespace
{
using I = CImpedanceDlg;

// The component lines of a report, and what follows the total for a given resonance.
QString Head(const char* kHz, const char* resistor, const char* inductor, const char* capacitor)
{
    return QStringLiteral(
               "Impedances at %1 kHz \r\n   Component impedances: \r\n \t resistor: \t\t %2\r\n"
               " \t inductor: \t %3\r\n \t capacitor: \t %4 \r\n")
        .arg(QLatin1String(kHz), QLatin1String(resistor), QLatin1String(inductor),
             QLatin1String(capacitor));
}

QString Tail(const char* kHz)
{
    return QStringLiteral("    Resonant frequency (kHz):  %1 \r\n\r\n").arg(QLatin1String(kHz));
}

class ImpedanceForm : public CFormTest<CImpedanceDlg>
{
protected:
    ImpedanceForm() : CFormTest(QStringLiteral("Impedance")) {}
};
} // namespace

TEST_F(ImpedanceForm, SetUpGivesOnlyTheFrequencyADefaultAndStartsInSeries)
{
    EXPECT_EQ(m_Form->m_strFormKey, QStringLiteral("Impedance"));
    EXPECT_EQ(m_Form->TemplateId(), 16002);
    EXPECT_EQ(m_Form->windowTitle(), QStringLiteral("Impedance"));
    EXPECT_TRUE(m_Form->EnterMovesFocus());

    const std::vector<int> expected = {1188, 1189, 1190, 1191, 1192, 1193, 1194,
                                       1195, 1196, 1001, 3,    4,    1010, 2};
    EXPECT_EQ(ControlIds(), expected);
    for (int id : {1188, 1189, 1190, 1191, 1192})
        EXPECT_EQ(m_Form->Field(id)->GetWindowText(), QString()) << id;
    EXPECT_EQ(m_Form->Field(I::IdFrequency)->GetWindowText(), QStringLiteral("1000.0"));
    EXPECT_TRUE(m_Form->IsChecked(I::IdSeries));
    EXPECT_FALSE(m_Form->IsChecked(I::IdParallel));
    EXPECT_EQ(m_Form->Button(I::IdSeries)->text(), QStringLiteral("Series impedance"));
    EXPECT_EQ(m_Form->Button(I::IdParallel)->text(), QStringLiteral("Parallel impedance"));
    EXPECT_EQ(m_Form->Button(I::IdCalcImpedance)->text().remove(QLatin1Char('&')),
              QStringLiteral("Cal impedance"));
    EXPECT_EQ(m_Form->Button(I::IdCalcResonance)->text().remove(QLatin1Char('&')),
              QStringLiteral("Cal resonance"));
}

TEST_F(ImpedanceForm, SeriesAndParallelCircuitsOfAllThreeParts)
{
    Type(I::IdResistance, QStringLiteral("50"));
    Type(I::IdInductance, QStringLiteral("100"));
    Type(I::IdCapacitance, QStringLiteral("1000"));
    // By hand at 1 MHz: XL = 2 pi 1e6 100e-6 = 628.32, XC = -1 / (2 pi 1e6 1e-9) = -159.15;
    // series 50 + j469.16 = 471.82 <83.92, an inductor of 469.16 / (2 pi 1e6) = 74.67 uH;
    // resonance 1 / (2 pi sqrt(100e-6 * 1e-9)) = 503.292 kHz.
    const QString parts =
        Head("1,000", "50.00 + j0.00 (50.00 <0.00)", "0.00 + j628.32  (628.32 <90.00)",
             "0.00 - j159.15  (159.15 <-90.00)");
    EXPECT_EQ(
        Press(I::IdCalcImpedance),
        parts +
            QStringLiteral(
                "    Total series impedance: \t 50.00 + j469.16  (471.82 <83.92) (74.67uH) \r\n") +
            Tail("503.292"));

    // 1 / (1/50 + 1/j628.32 + 1/-j159.15) = 47.39 - j11.12 = 48.68 <-13.20, a capacitor of
    // 1 / (2 pi 1e6 11.12) = 14,315.95 pF; lossless, so the same resonance.
    Click(I::IdParallel);
    EXPECT_EQ(m_Form->Connection(), I::ConnectionParallel);
    EXPECT_FALSE(m_Form->IsChecked(I::IdSeries));
    EXPECT_EQ(Press(I::IdCalcImpedance),
              parts +
                  QStringLiteral("    Total parallel impedance: \t 47.39 - j11.12  (48.68 <-13.20) "
                                 "(14,315.95pF) \r\n") +
                  Tail("503.292"));
}

TEST_F(ImpedanceForm, ParallelCircuitsWithoutAResonanceReportTheirImpedancesAndNone)
{
    Click(I::IdParallel);
    // Nothing entered: (0 - 0) / (0 - 0) is NaN. A lossless inductor alone: 1 / 0.
    // 240 uH and 100 pF: L - RL^2 C < 0 above RL = 1,549.19 ohm, and L - RC^2 C likewise.
    const std::vector<std::pair<int, const char*>> withoutResonance[] = {
        {},
        {{I::IdInductance, "100"}},
        {{I::IdInductance, "240"}, {I::IdCapacitance, "100"}, {I::IdInductorResistance, "1550"}},
        {{I::IdInductorResistance, "0"}, {I::IdCapacitorResistance, "1550"}},
    };
    for (const auto& entries : withoutResonance)
    {
        for (const auto& [id, text] : entries)
            Type(id, QString::fromLatin1(text));
        const QString report = Press(I::IdCalcImpedance);
        EXPECT_TRUE(report.startsWith(QStringLiteral("Impedances at 1,000 kHz")))
            << report.toStdString();
        EXPECT_TRUE(report.endsWith(Tail("none"))) << report.toStdString();
    }
    // Both too large: the quotient is positive again and the resonance is reported.
    Type(I::IdInductorResistance, QStringLiteral("1600"));
    // sqrt((240e-6 - 256e-6) / (240e-6 - 240.25e-6)) = 8 times 1 / (2 pi sqrt(LC)), about 8,218.7
    // kHz.
    EXPECT_TRUE(Press(I::IdCalcImpedance).endsWith(Tail("8,218.726")));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ImpedanceForm, ALosslessParallelCircuitExactlyAtResonanceHasTheLargestMagnitude)
{
    // Found by search: at 10.035 kHz these entries give reactances that cancel exactly in
    // double precision, so L + C is zero and the quotient takes the largest finite double.
    Click(I::IdParallel);
    Type(I::IdInductance, QStringLiteral("16140.423"));
    Type(I::IdCapacitance, QStringLiteral("15584.419"));
    Type(I::IdFrequency, QStringLiteral("10.035"));
    const QString report = Press(I::IdCalcImpedance);
    const QString largest = QString::fromStdString(FormatNumber(DBL_MAX, 2));
    EXPECT_TRUE(report.startsWith(Head("10", "0.00 + j0.00 (0.00 <90.00)",
                                       "0.00 + j1,017.68  (1,017.68 <90.00)",
                                       "0.00 - j1,017.68  (1,017.68 <-90.00)") +
                                  QStringLiteral("    Total parallel impedance: \t ")))
        << report.toStdString();
    // Phase 0 - 90 degrees: the reactance is -DBL_MAX; the capacitor that has it is ~0 pF.
    EXPECT_TRUE(report.endsWith(QStringLiteral(" - j") + largest + QStringLiteral("  (") + largest +
                                QStringLiteral(" <-90.00) (0.00pF) \r\n") + Tail("10.035")))
        << report.toStdString();
}

TEST_F(ImpedanceForm, CalResonanceInSeriesAndInParallel)
{
    // Only a capacitance: 1 / (4 pi^2 (1e6)^2 100e-12) = 253.30 uH; the given inductance and
    // the required capacitance stay 0.
    Type(I::IdCapacitance, QStringLiteral("100"));
    EXPECT_EQ(Press(I::IdCalcResonance),
              QStringLiteral("Series resonant frequency at 1,000 kHz \r\n "
                             " given cap: 100.00pF \t ind requred: 253.30uH\r\n"
                             "  given ind: 0.00uH \t cap required: 0.00pF \r\n\r\n"));

    // Parallel with a 10 ohm inductor: (1 + sqrt(1 - 4 w^2 C^2 R^2)) / (2 w^2 C) = 253.29 uH and
    // L / (w^2 L^2 + R^2) = 100.00 pF; the capacitor's resistance takes no part.
    Click(I::IdParallel);
    Type(I::IdInductance, QStringLiteral("253.3"));
    Type(I::IdInductorResistance, QStringLiteral("10"));
    Type(I::IdCapacitorResistance, QStringLiteral("1000"));
    EXPECT_EQ(Press(I::IdCalcResonance),
              QStringLiteral("Parallel resonant frequency at 1,000 kHz \r\n "
                             " given cap: 100.00pF \t ind requred: 253.29uH\r\n"
                             "  given ind: 253.30uH \t cap required: 100.00pF \r\n\r\n"));
}

TEST_F(ImpedanceForm, AFractionalFrequencyIsUsedWholeAndShownRounded)
{
    Type(I::IdCapacitance, QStringLiteral("100"));
    Type(I::IdFrequency, QStringLiteral("1000.5"));
    // 1 / (4 pi^2 1000500^2 100e-12) = 253.05 uH (at 1001 kHz it would be 252.79).
    EXPECT_EQ(Press(I::IdCalcResonance),
              QStringLiteral("Series resonant frequency at 1,001 kHz \r\n "
                             " given cap: 100.00pF \t ind requred: 253.05uH\r\n"
                             "  given ind: 0.00uH \t cap required: 0.00pF \r\n\r\n"));
}

TEST_F(ImpedanceForm, RadioHandlersFollowTheClickedButtonEvenWhenAlreadyChecked)
{
    EXPECT_EQ(m_Form->Connection(), I::ConnectionSeries);
    m_Form->OnCommand(I::IdSeries);
    EXPECT_EQ(m_Form->Connection(), I::ConnectionSeries);
    Click(I::IdParallel);
    Click(I::IdParallel);
    EXPECT_EQ(m_Form->Connection(), I::ConnectionParallel);
    EXPECT_TRUE(m_Form->IsChecked(I::IdParallel));
    Click(I::IdSeries);
    EXPECT_EQ(m_Form->Connection(), I::ConnectionSeries);
    EXPECT_FALSE(m_Form->IsChecked(I::IdParallel));
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ImpedanceForm, ABadFieldEndsEitherCommandWithItsMessageAndNoReport)
{
    Type(I::IdCapacitance, QStringLiteral("100"));
    Press(I::IdCalcResonance);
    const QString before = m_Form->ResultsText();

    Type(I::IdFrequency, QStringLiteral("2000000000"));
    EXPECT_EQ(Press(I::IdCalcResonance), QString());
    Type(I::IdFrequency, QStringLiteral("1000"));
    Type(I::IdInductorResistance, QStringLiteral("-1"));
    EXPECT_EQ(Press(I::IdCalcImpedance), QString());
    EXPECT_EQ(m_Form->ResultsText(), before);

    ASSERT_EQ(m_Messages.m_Messages.size(), 2u);
    EXPECT_EQ(m_Messages.m_Messages[0].title, "Error");
    EXPECT_EQ(m_Messages.m_Messages[0].icon, EMessageIcon::Error);
    EXPECT_EQ(m_Messages.m_Messages[0].text,
              "Error: Frequency kHz must be between 0.000000 and 999999999.999000!");
    EXPECT_EQ(m_Messages.m_Messages[1].text,
              "Error: Inductor Resistance must be between 0.000000 and 999999999.990000!");
}

TEST_F(ImpedanceForm, EnterMovesToTheNextField)
{
    EXPECT_EQ(FocusAfterEnter(I::IdResistance), m_Form->Field(I::IdInductorResistance));
}

TEST_F(ImpedanceForm, TheDefaultDesignIsAParallelTankThatLoadsAndReports)
{
    ASSERT_TRUE(LoadDefaultDesign());
    EXPECT_EQ(m_Form->Connection(), I::ConnectionParallel);
    EXPECT_TRUE(m_Form->IsChecked(I::IdParallel));
    EXPECT_FALSE(Press(I::IdCalcImpedance).isEmpty());
    EXPECT_FALSE(Press(I::IdCalcResonance).isEmpty());
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST(ImpedanceBatch, TheDefaultDesignGivesBothReportsAtTheFirstPress)
{
    QString out;
    QString err;
    const int status = RunFormBatch(
        QStringLiteral("Impedance"),
        {"--load", DefaultDesignPath(QStringLiteral("Impedance")), "--press", "3", "--press", "4"},
        out, err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, QString());
    // By hand: 100 kOhm || (5 + j1,507.96) || -j1,591.55 at 1 MHz; resonance
    // sqrt((L - RL^2 C) / L) / (2 pi sqrt(LC)) = 1,027.335 kHz; required L = 1 / (w^2 C) and
    // C = L / (w^2 L^2 + RL^2).
    const QString expected =
        Head("1,000", "100,000.00 + j0.00 (100,000.00 <0.00)",
             "5.00 + j1,507.96  (1,507.97 <89.81)", "0.00 - j1,591.55  (1,591.55 <-90.00)") +
        QStringLiteral("    Total parallel impedance: \t 8,961.61 + j25,579.70  (27,104.08 <70.69) "
                       "(4,071.13uH) \r\n") +
        Tail("1,027.335") +
        QStringLiteral("Parallel resonant frequency at 1,000 kHz \r\n "
                       " given cap: 100.00pF \t ind requred: 253.30uH\r\n"
                       "  given ind: 240.00uH \t cap required: 105.54pF \r\n\r\n");
    EXPECT_EQ(out, BatchText(expected));
}
