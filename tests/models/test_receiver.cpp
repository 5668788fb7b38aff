// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReceiverCircuit.h"
#include "tests/models/ReceiverDefaults.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

namespace
{
constexpr double Mu0 = 1.25663706212e-6;

// The calculator's defaults, with the no-load analysis made.
void SetDefaults(CReceiverCircuit& radio)
{
    ASSERT_TRUE(SetReceiverDefaults(radio));
    ASSERT_TRUE(radio.AnalyseNoLoad(1e6, 0.0, false));
}

// Two single-turn coils of the given radii, `gap` apart.
double SingleTurnMutual(double r1, double r2, double gap)
{
    CReceiverCircuit radio;
    radio.m_Primary.m_Diameter = 2.0 * r1;
    radio.m_Primary.m_Turns = 1.0;
    radio.m_Primary.m_Inductance = 1e-6;
    radio.m_Secondary.m_Diameter = 2.0 * r2;
    radio.m_Secondary.m_Turns = 1.0;
    radio.m_Secondary.m_Inductance = 1e-6;
    return radio.AirCoreMutualInductance(gap);
}
} // namespace

TEST(ReceiverCircuit, LoopFieldOnTheAxis)
{
    CReceiverCircuit radio;
    // b = a puts the point on the axis: mu0 a^2 / (2 (a^2 + z^2)^1.5) (Biot-Savart).
    const double a = 0.05;
    const double z = 0.03;
    const double expected = Mu0 * a * a / (2.0 * std::pow(a * a + z * z, 1.5));
    EXPECT_NEAR(radio.LoopField(a, a, z, 1.0), expected, expected * 1e-12);
    EXPECT_NEAR(radio.LoopField(a, a, z, 2.5), 2.5 * expected, expected * 1e-12);
}

TEST(ReceiverCircuit, MutualInductanceOfSingleTurns)
{
    // The 16-ring sum evaluated independently by hand (script), and Maxwell's exact value
    // for two coaxial loops alongside it.
    EXPECT_NEAR(SingleTurnMutual(0.05, 0.05, 0.05), 2.551641813449038e-08,
                1e-19);                                                           // exact 2.4704e-8
    EXPECT_NEAR(SingleTurnMutual(0.05, 0.05, 0.2), 1.308512506289444e-09, 1e-20); // exact 1.2999e-9
    // Larger primary: the rings start e1 inside the primary's radius.
    EXPECT_NEAR(SingleTurnMutual(0.05, 0.03, 0.05), 1.1350684138113912e-08,
                1e-19); // exact 1.1238e-8
    // Larger secondary: the annulus outside the primary adds its own term.
    EXPECT_NEAR(SingleTurnMutual(0.03, 0.05, 0.05), 9.128313976058384e-09, 1e-19);
}

TEST(ReceiverCircuit, MutualInductanceAtTheCalculatorDefaults)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    // Hand script of the same sum; Maxwell's formula summed over the 576 turn pairs gives
    // 9.685 uH, within 3 %.
    EXPECT_NEAR(radio.m_Mutual.m_Value, 9.95761492560457e-06, 1e-16);
    EXPECT_NEAR(radio.m_Mutual.m_Value, 9.684993784229305e-06, 0.03 * 9.685e-6);
    EXPECT_NEAR(radio.m_Coupling, radio.m_Mutual.m_Value / std::sqrt(33.3e-6 * 331.2e-6), 1e-12);
    EXPECT_EQ(radio.m_Distance, 0.05);
}

TEST(ReceiverCircuit, AStopFlagEndsTheTurnSumAndOnlyWhenSet)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    const double whole = radio.m_Mutual.m_Value;
    std::atomic<bool> stop{false};
    radio.m_Stop = &stop;
    EXPECT_EQ(radio.AirCoreMutualInductance(0.05), whole)
        << "a flag that stays clear changes nothing";
    stop = true;
    EXPECT_EQ(radio.AirCoreMutualInductance(0.05), 0.0) << "stopped before the first primary turn";
}

// 100 x 120 turns are summed in blocks side by side: the sum is still the one taken pair by
// pair, ring by ring, with the larger secondary's annulus after the first ring.
TEST(ReceiverCircuit, ManyTurnPairsGiveTheOneByOneSumToTheBit)
{
    CReceiverCircuit radio;
    SetReceiverCoil(radio.m_Primary, 100e-6, 0.06, 0.02, 100.0);
    SetReceiverCoil(radio.m_Secondary, 300e-6, 0.08, 0.03, 120.0);
    radio.m_Secondary.m_ApparentPermeability = 1.0;
    const double r1 = 0.03, r2 = 0.04, e2 = r2 - r1, dr = r1 * 0.0625, d = 0.01;
    const double pi = std::numbers::pi;
    const double outer = pi * r2 * r2 - pi * (r2 - e2) * (r2 - e2);
    double expected = 0.0;
    for (int i = 1; i <= 100; ++i)
        for (int j = 1; j <= 120; ++j)
        {
            const double z = (0.02 + d) - (i - 1) * 0.02 / 100.0 + (j - 1) * 0.03 / 120.0;
            double previous = outer;
            for (int k = 1; k <= 16; ++k)
            {
                const double inner = r2 - (e2 + k * dr);
                const double area = pi * r2 * r2 - pi * inner * inner;
                expected += radio.LoopField(r1, k * dr, z, 1.0) * (area - previous);
                previous = area;
                if (k == 1)
                    expected += radio.LoopField(r1, -e2, z, 1.0) * outer;
            }
        }
    EXPECT_EQ(radio.AirCoreMutualInductance(d), expected);
    std::atomic<bool> stop{true};
    radio.m_Stop = &stop;
    EXPECT_EQ(radio.AirCoreMutualInductance(d), 0.0) << "a stop before the first block";
}

TEST(ReceiverCircuit, LessThanOneSecondaryTurnGivesNoCoupling)
{
    CReceiverCircuit radio;
    SetReceiverCoil(radio.m_Primary, 33.3e-6, 0.103, 0.008, 12.0);
    SetReceiverCoil(radio.m_Secondary, 331.2e-6, 0.103, 0.028, 0.9);
    EXPECT_EQ(radio.SetDistance(0.05, false), 0.0);
    EXPECT_EQ(radio.m_Coupling, 0.0);
    EXPECT_EQ(radio.m_Mutual.m_Value, 0.0);
}

TEST(ReceiverCircuit, CoupledThroughAFerriteCore)
{
    CReceiverCircuit radio;
    SetReceiverCoil(radio.m_Primary, 33.3e-6, 0.02, 0.008, 12.0);
    SetReceiverCoil(radio.m_Secondary, 331.2e-6, 0.02, 0.028, 48.0);
    CCoreParameters core = {.m_Diameter = 9.68e-3,
                            .m_Length = 0.2,
                            .m_InitialPermeability = 120.0,
                            .m_GapExponent = 0.81,
                            .m_LengthExponent = 0.3682,
                            .m_LossFactor = 100.0,
                            .m_LossFactorFrequency = 1e6};
    radio.SetCore(core);
    EXPECT_TRUE(radio.m_CoreSet);
    EXPECT_TRUE(radio.m_Secondary.m_HasCore);
    EXPECT_EQ(radio.m_Secondary.m_ReferencePermeability, radio.m_Secondary.m_ApparentPermeability);

    // 200 mm of rod reaches beyond 8 + 28 + 50 mm: exp(-d / a^e) ((1 - a)^3 + a) (hand
    // calculation).
    const double mutual = radio.SetDistance(0.05, true);
    EXPECT_NEAR(radio.m_Coupling, 0.11582990881775354, 1e-12);
    EXPECT_NEAR(mutual, std::sqrt(33.3e-6 * 331.2e-6) * radio.m_Coupling, 1e-15);
    EXPECT_EQ(radio.m_Mutual.m_Value, mutual);

    // An 80 mm rod is shorter than both windings plus the gap: K is exactly 0.001.
    core.m_Length = 0.08;
    radio.SetCore(core);
    radio.SetDistance(0.05, true);
    EXPECT_EQ(radio.m_Coupling, 0.001);
}

TEST(ReceiverCircuit, NoLoadAnalysisNeedsCoilsAndSource)
{
    CReceiverCircuit radio;
    EXPECT_FALSE(radio.AnalyseNoLoad(1e6, 0.0, false));
    SetReceiverCoil(radio.m_Primary, 33.3e-6, 0.103, 0.008, 12.0);
    SetReceiverCoil(radio.m_Secondary, 331.2e-6, 0.103, 0.028, 0.0); // no turns: cannot be solved
    EXPECT_FALSE(radio.SetFrequency(1e6, 0.0));
    CImpedance source;
    source.SetRectangular(50.0, 0.0);
    radio.SetSource(0.1, source);
    EXPECT_FALSE(radio.AnalyseNoLoad(1e6, 0.0, false));
}

TEST(ReceiverCircuit, NoLoadAnalysis)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    const double w = 2.0 * std::numbers::pi * 1e6;
    const CImpedance& zs = radio.m_SourceImpedance;
    const CImpedance& zp = radio.m_Primary.m_Impedance;
    EXPECT_NEAR(radio.m_ZinOpen.m_Real, zs.m_Real + zp.m_Real, 1e-9);
    EXPECT_NEAR(radio.m_ZinOpen.m_Imag, zs.m_Imag + zp.m_Imag, 1e-9);
    // Open secondary: Vp = Vs Zp / Zin, Vs(0) = |Ip| w M.
    const std::complex<double> zin(radio.m_ZinOpen.m_Real, radio.m_ZinOpen.m_Imag);
    const std::complex<double> ip = 0.1 / zin;
    EXPECT_NEAR(radio.m_PrimaryVoltage.m_Magnitude,
                std::abs(ip * std::complex<double>(zp.m_Real, zp.m_Imag)), 1e-12);
    EXPECT_NEAR(radio.m_SecondaryEmf.m_Magnitude, std::abs(ip) * w * radio.m_Mutual.m_Value, 1e-12);
    EXPECT_NEAR(radio.m_CoilVoltage.m_Magnitude, radio.m_QNoLoad * radio.m_SecondaryEmf.m_Magnitude,
                1e-12);
    EXPECT_NEAR(radio.m_TransformationRatio, radio.m_Coupling * std::sqrt(331.2 / 33.3), 1e-12);
    // The tuning capacitor with the axial capacitance resonates the secondary to within
    // the small reactance the primary reflects.
    const double resonating = 1.0 / (w * w * 331.2e-6);
    EXPECT_NEAR(radio.m_TuningComponent.m_Value + radio.m_Secondary.m_CAxial, resonating,
                0.05 * resonating);
    EXPECT_EQ(radio.m_TuningComponent.m_Kind, CComponant::Capacitor);
    EXPECT_EQ(radio.m_LoadedQ, radio.m_QNoLoad);

    // Unused primary turns scale the reflected resistance by N1 / (N1 + Nu).
    const double reflected = radio.m_ReflectedResistance;
    radio.m_UnusedTurns = 12.0;
    ASSERT_TRUE(radio.AnalyseNoLoad(1e6, 0.0, false));
    EXPECT_NEAR(radio.m_ReflectedResistance, reflected / 2.0, 1e-12);

    // A resonant primary: the open input impedance is resistive only.
    ASSERT_TRUE(radio.AnalyseNoLoad(1e6, 0.0, true));
    EXPECT_EQ(radio.m_ZinOpen.m_Imag, 0.0);
    EXPECT_NEAR(radio.m_ZinOpen.m_Real, zs.m_Real + zp.m_Real, 1e-12);
}

TEST(ReceiverCircuit, AudioFactors)
{
    CReceiverCircuit radio;
    radio.m_Frequency = 1e6;
    const double frequencyFactor = 3.5274 - 0.4217 * std::log(1000.0);
    // At 0 V the voltage factor is limited to 1, leaving the resistor's efficiency.
    EXPECT_NEAR(radio.AudioFactors(20000.0, 0.0, true), frequencyFactor * 0.6163, 1e-12);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.6163, 1e-12);
    radio.AudioFactors(47000.0, 0.0, true);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.4813, 1e-12);
    radio.AudioFactors(60000.0, 0.0, true);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.4971, 1e-12);
    EXPECT_EQ(radio.m_VoltageFactor, 1.0);

    // Without a resistor the steps start just above 20, 47 and 100 kOhm.
    radio.AudioFactors(20000.0, 0.0, false);
    EXPECT_EQ(radio.m_AudioEfficiency, 1.0);
    radio.AudioFactors(20001.0, 0.0, false);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.94, 1e-12);
    radio.AudioFactors(47001.0, 0.0, false);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.89, 1e-12);
    radio.AudioFactors(100001.0, 0.0, false);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.82, 1e-12);

    // Voltage factor: 0.8308 - 0.012 v up to 2.5 V, 0.7333 + 0.0267 v above.
    radio.AudioFactors(10000.0, -1.0, false);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.8188, 1e-12);
    radio.AudioFactors(10000.0, 3.0, false);
    EXPECT_NEAR(radio.m_AudioEfficiency, 0.8134, 1e-12);
}

TEST(ReceiverCircuit, ConductionFraction)
{
    EXPECT_DOUBLE_EQ(CReceiverCircuit::ConductionFraction(0.0, 1.0), 0.5);
    EXPECT_DOUBLE_EQ(CReceiverCircuit::ConductionFraction(0.5, 1.0), 1.0 / 3.0); // asin(1/2) = pi/6
    EXPECT_EQ(CReceiverCircuit::ConductionFraction(1.0, 1.0), 1.0);
    EXPECT_EQ(CReceiverCircuit::ConductionFraction(2.0, 1.0), 1.0);
}

TEST(ReceiverCircuit, DiodeAndLoadSetUp)
{
    CReceiverCircuit radio;
    radio.m_Frequency = 1e6;
    radio.SetDiode({.m_TurnOnVoltage = 0.43,
                    .m_JunctionCap = 3.38e-12,
                    .m_JunctionCapVoltage = -1.0,
                    .m_ParasiticCap = 0.1e-12,
                    .m_ForwardLaw = CDiode::ForwardPower,
                    .m_SatCurrent = 1.61,
                    .m_Ideality = 1.1,
                    .m_A = 25.845,
                    .m_B = 2.8423,
                    .m_C = 7.0,
                    .m_ReverseLaw = CDiode::ReverseConstantResistance,
                    .m_RevResistance = 338000.0,
                    .m_TransitTimeNs = 1.0,
                    .m_CapQuotient = 2.0});
    EXPECT_EQ(radio.m_Diode.m_ForwardModel, CDiode::ForwardPower);
    EXPECT_EQ(radio.m_Diode.m_PowerN, 2.8423);
    EXPECT_EQ(radio.m_Diode.m_ReverseModel, CDiode::ReverseConstantResistance);
    EXPECT_EQ(radio.m_Diode.m_RevResistance, 338000.0);
    EXPECT_EQ(radio.m_Diode.m_BuiltInVoltage, 0.43); // the turn-on voltage

    radio.m_TapPosition = 7.0;
    radio.SetLoad(47000.0, 1000e-12, 15000e-12, 99.0);
    EXPECT_EQ(radio.m_TapPosition, 1.0);
    EXPECT_DOUBLE_EQ(radio.m_LoadCapacitor.m_Value, 16000e-12);
    const std::complex<double> zc(0.0, -1.0 / (2.0 * std::numbers::pi * 1e6 * 16000e-12));
    const std::complex<double> expected = 47000.0 * zc / (47000.0 + zc);
    EXPECT_NEAR(radio.m_LoadImpedance.m_Real, expected.real(), 1e-9);
    EXPECT_NEAR(radio.m_LoadImpedance.m_Imag, expected.imag(), 1e-9);

    // No resistor: the capacitance alone.
    radio.SetLoad(0.0, 0.0, 15000e-12, 0.0);
    EXPECT_EQ(radio.m_LoadImpedance.m_Real, 0.0);
    EXPECT_EQ(radio.m_LoadImpedance.m_Imag, radio.m_LoadCapacitor.m_Impedance.m_Imag);
}

TEST(ReceiverCircuit, DetectorNeedsTheLoad)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    radio.SetTap(10);
    EXPECT_FALSE(radio.AnalyseDetector());
    EXPECT_EQ(radio.m_DcVoltage, 0.0);
}

TEST(ReceiverCircuit, TapSweepNeverRaisesQOrTheClampedTapVoltage)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    SetReceiverDetector(radio);
    double previousQ = radio.m_QNoLoad;
    std::vector<double> driven;
    bool fallen = false;
    for (int w = 1; w <= 48; ++w)
    {
        ASSERT_TRUE(radio.SetTap(w));
        ASSERT_TRUE(radio.AnalyseDetector());
        EXPECT_LE(radio.m_LoadedQ, previousQ) << "tap " << w;
        EXPECT_EQ(radio.m_QMax, radio.m_LoadedQ);
        previousQ = radio.m_LoadedQ;
        EXPECT_NEAR(radio.m_TapVoltage, w / 48.0 * radio.m_CoilVoltage.m_Magnitude, 1e-12);
        EXPECT_GT(radio.m_DcVoltage, 0.0);
        EXPECT_LT(radio.m_DcVoltage, radio.m_TapVoltage * 0.5);
        EXPECT_NEAR(radio.m_Spl, 20.0 * std::log10(radio.m_AudioVoltage / 0.001), 1e-9);
        // The voltage that drove the detector: once it has fallen it never rises again.
        if (!driven.empty() && radio.m_PrevTapVoltage < driven.back())
            fallen = true;
        if (fallen && !driven.empty())
        {
            EXPECT_LE(radio.m_PrevTapVoltage, driven.back()) << "tap " << w;
        }
        driven.push_back(radio.m_PrevTapVoltage);
    }
    EXPECT_TRUE(fallen);
    EXPECT_TRUE(radio.m_TapClamped);

    // A new distance starts a new history.
    ASSERT_TRUE(radio.AnalyseNoLoad(1e6, 0.0, false));
    EXPECT_FALSE(radio.m_TapClamped);
    EXPECT_EQ(radio.m_PrevTapVoltage, 0.0);
    EXPECT_EQ(radio.m_LoadedQ, radio.m_QNoLoad);
}

TEST(ReceiverCircuit, TapClampAndQLimit)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    SetReceiverDetector(radio);
    radio.SetTap(10);
    radio.m_PrevTapVoltage = 0.01;
    radio.m_TapClamped = true;
    radio.m_QMax = 20.0;
    ASSERT_TRUE(radio.AnalyseDetector());
    EXPECT_EQ(radio.m_PrevTapVoltage, 0.01); // would have been about 0.6 V unclamped
    EXPECT_EQ(radio.m_LoadedQ, 20.0);
    EXPECT_NEAR(radio.m_TapVoltage, 10.0 / 48.0 * 21.0 * radio.m_SecondaryEmf.m_Magnitude, 1e-12);

    // Unclamped, a higher tap voltage simply follows.
    radio.m_TapClamped = false;
    radio.m_PrevTapVoltage = 0.01;
    ASSERT_TRUE(radio.AnalyseDetector());
    EXPECT_GT(radio.m_PrevTapVoltage, 0.01);
}

TEST(ReceiverCircuit, DetectorChargeBalance)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    SetReceiverDetector(radio);
    radio.SetTap(1);
    const double peak = 0.3;
    EXPECT_EQ(radio.SolveDetector(peak), 1.0);
    EXPECT_GT(radio.m_DcVoltage, 0.0);
    EXPECT_LT(radio.m_DcVoltage, peak);
    EXPECT_DOUBLE_EQ(radio.m_Duty, CReceiverCircuit::ConductionFraction(radio.m_DcVoltage, peak));
    EXPECT_NEAR(radio.m_Diode.m_RevVoltage, -(peak * 0.707 + radio.m_DcVoltage), 1e-15);
    EXPECT_GT(radio.m_Diode.m_FwdVoltage.m_Real, 0.0);
    EXPECT_EQ(radio.m_Diode.m_FwdCap.m_Kind, CComponant::Capacitor);
    EXPECT_EQ(radio.m_Diode.m_RevCap.m_Kind, CComponant::Capacitor);
    EXPECT_GT(radio.m_Diode.m_RevDiodeResistance, 0.0);
}

TEST(ReceiverCircuit, AudioOutputWithoutResistorUsesTheDiode)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    SetReceiverDetector(radio, 0.0);
    radio.SetTap(5);
    const double amplitude = 0.2;
    const double dc = 0.08;
    const double audio = radio.AudioOutput(amplitude, dc);

    // The discharge path is the tap and the diode's reverse resistance, scaled by the
    // efficiency that the resistance alone gives.
    CImpedance z;
    double rr = 0.0;
    double c = 0.0;
    radio.m_Diode.Impedance(z, -0.707 * (amplitude + dc), 1000.0, 1.0, rr, c);
    CReceiverCircuit reference;
    reference.m_Frequency = 1e6;
    reference.AudioFactors(rr, dc, false);
    const double path =
        (radio.m_Secondary.m_TapSection.m_Resistance + rr) * reference.m_AudioEfficiency;
    EXPECT_NEAR(radio.m_DischargeImpedance.m_Magnitude, path, 1e-6 * path);
    const double tau = 15000e-12 * path;
    EXPECT_NEAR(audio, (1.0 - std::exp(-0.0005 / tau)) * dc * 0.8, 1e-12);
    EXPECT_EQ(audio, radio.m_AudioVoltage);
}

TEST(ReceiverCircuit, DegenerateDetectorInputsStop)
{
    CReceiverCircuit radio;
    SetDefaults(radio);
    SetReceiverDetector(radio);
    radio.SetTap(3);
    // No RF at the detector: the bisection ends within its passes.
    const double converged = radio.SolveDetector(0.0);
    EXPECT_TRUE(converged == 0.0 || converged == 1.0);

    // No load at all: a zero load impedance. The analysis ends, and says that its results
    // are not all finite numbers.
    radio.SetLoad(0.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(radio.m_LoadImpedance.m_Magnitude, 0.0);
    EXPECT_FALSE(radio.AnalyseDetector());
}

TEST(ReceiverCircuit, AThinRodCouplesNothingAndEveryTapSaysSo)
{
    // The calculator's defaults with "Has core": the 9.68 mm rod in 103 mm coils.
    CReceiverCircuit radio;
    SetDefaults(radio);
    SetReceiverCore(radio);
    ASSERT_TRUE(radio.SetFrequency(1e6, 0.0));
    radio.MoveCores(0.025);
    EXPECT_EQ(radio.SetDistance(0.05, true), 0.0);
    EXPECT_EQ(radio.m_Coupling, 0.0); // exp(-d / a^e) underflows
    ASSERT_TRUE(radio.AnalyseNoLoad(1e6, 0.0, false));
    SetReceiverDetector(radio);
    for (int w = 1; w <= 48; ++w)
    {
        ASSERT_TRUE(radio.SetTap(w));
        EXPECT_FALSE(radio.AnalyseDetector()) << "tap " << w;
        EXPECT_FALSE(radio.m_DetectorConverged) << "tap " << w;
    }

    // Without RF the detector gives nothing: no DC, no diode voltage.
    ASSERT_TRUE(radio.SetTap(1));
    EXPECT_EQ(radio.SolveDetector(0.0), 0.0);
    EXPECT_EQ(radio.m_DcVoltage, 0.0);
    EXPECT_EQ(radio.m_Diode.m_FwdVoltage.m_Magnitude, 0.0);
    EXPECT_EQ(radio.SolveDetector(std::numeric_limits<double>::quiet_NaN()), 0.0);
    EXPECT_TRUE(std::isnan(radio.m_DcVoltage));

    // The same set-up with coupling converges at every tap.
    radio.SetDistance(0.05, false);
    ASSERT_TRUE(radio.AnalyseNoLoad(1e6, 0.0, false));
    SetReceiverDetector(radio);
    for (int w = 1; w <= 48; ++w)
    {
        ASSERT_TRUE(radio.SetTap(w));
        EXPECT_TRUE(radio.AnalyseDetector()) << "tap " << w;
    }
}

namespace
{
// The detector's charge balance as designed, always run to its tolerance or its 250th pass:
// the DC voltage it ends on and whether it converged.
struct CChargeBalance
{
    double m_DcVoltage = 0.0;
    bool m_Converged = false;
};

CChargeBalance AllDetectorPasses(CReceiverCircuit radio, double peak)
{
    const double f = radio.m_Frequency;
    const double load = radio.m_LoadImpedance.m_Magnitude;
    const CImpedance& ztap = radio.m_Secondary.m_TapSection.m_Impedance;
    const CImpedance& resistor = radio.m_AudioResistor.m_Impedance;
    CImpedance zd;
    CImpedance current;
    radio.m_Diode.SolveOperatingPoint(peak, load, f, zd, current);
    double lo = 0.0;
    double hi = peak;
    double value = (current * radio.m_LoadImpedance).m_Magnitude;
    double vc = value;
    double recharge = 0.0;
    CChargeBalance result;
    for (int pass = 1; pass <= 250; ++pass)
    {
        vc = value;
        const double duty = CReceiverCircuit::ConductionFraction(vc, peak);
        CImpedance zr;
        double r = 0.0;
        double c = 0.0;
        radio.m_Diode.Impedance(zr, -(peak * 0.707 + vc), f, 1.0, r, c);
        CImpedance discharge;
        if (radio.m_AudioResistor.m_Value > 0.0)
        {
            radio.AudioFactors(resistor.m_Magnitude, vc, true);
            discharge.Parallel(zr + ztap, radio.m_AudioEfficiency * resistor);
        }
        else
        {
            radio.AudioFactors(r, vc, false);
            discharge = (zr + ztap) * radio.m_AudioEfficiency;
        }
        const double tau = discharge.m_Magnitude * radio.m_LoadCapacitor.m_Value;
        const double droop = (1.0 - std::exp(-(1.0 - duty) * radio.m_Period / tau)) * vc;
        radio.m_Diode.SolveOperatingPoint(peak - (vc - droop), load, f, zd, current);
        recharge = (current * radio.m_LoadImpedance).m_Magnitude;
        vc = recharge + (vc - droop);
        if (pass == 250)
            break;
        const double error = (recharge - droop) / recharge;
        if (std::fabs(error) < 1e-6)
        {
            result.m_Converged = true;
            break;
        }
        (error > 0.0 ? lo : hi) = vc;
        value = std::fabs(lo) + std::fabs(hi - lo) / 2.0;
    }
    result.m_DcVoltage = vc - recharge;
    return result;
}
} // namespace

TEST(ReceiverCircuit, DegenerateDetectorSolvesStopAtTheirFirstPassWithTheFullResult)
{
    struct CCase
    {
        const char* m_Name;
        void (*m_Spoil)(CReceiverCircuit&); // makes the inputs degenerate, or leaves them
        double m_Peak;                      // V
        bool m_Degenerate;
    };
    const CCase cases[] = {
        {"ordinary", [](CReceiverCircuit&) {}, 0.5, false},
        {"zero source", [](CReceiverCircuit&) {}, 0.0, true},
        {"not-a-number source", [](CReceiverCircuit&) {}, std::numeric_limits<double>::quiet_NaN(),
         true},
        // As SetFrequency(0) leaves it: the period 1 / 0.
        {"zero frequency",
         [](CReceiverCircuit& radio)
         {
             radio.m_Frequency = 0.0;
             radio.m_Period = std::numeric_limits<double>::infinity();
         },
         0.5, true},
        {"not-a-number period",
         [](CReceiverCircuit& radio) { radio.m_Period = std::numeric_limits<double>::quiet_NaN(); },
         0.5, true},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_Name);
        CReceiverCircuit radio;
        SetDefaults(radio);
        SetReceiverDetector(radio);
        ASSERT_TRUE(radio.SetTap(10));
        c.m_Spoil(radio);
        const CChargeBalance expected = AllDetectorPasses(radio, c.m_Peak);
        const bool converged = radio.SolveDetector(c.m_Peak) == 1.0;
        EXPECT_EQ(converged, expected.m_Converged);
        if (std::isnan(expected.m_DcVoltage))
            EXPECT_TRUE(std::isnan(radio.m_DcVoltage));
        else
            EXPECT_EQ(radio.m_DcVoltage, expected.m_DcVoltage);
        if (c.m_Degenerate)
            EXPECT_EQ(radio.m_DetectorPasses, 1);
        else
            EXPECT_GT(radio.m_DetectorPasses, 1);
    }
}

TEST(ReceiverCircuit, DiodeParametersReachTheDiode)
{
    CReceiverCircuit radio;
    radio.SetDiode({.m_TurnOnVoltage = 0.3,
                    .m_JunctionCap = 2e-12,
                    .m_JunctionCapVoltage = -2.0,
                    .m_ParasiticCap = 0.2e-12,
                    .m_ForwardLaw = CDiode::ForwardQuadratic,
                    .m_Ideality = 1.3,
                    .m_A = 16.69,
                    .m_B = -1.6791,
                    .m_C = 0.0132,
                    .m_ReverseLaw = CDiode::ReverseDiodeEquation,
                    .m_RevSatCurrent = 0.5,
                    .m_RevIdeality = 4.0,
                    .m_TransitTimeNs = 3.0,
                    .m_CapQuotient = 3.0,
                    .m_NegCapQuotient = 2.5});
    const CDiode& d = radio.m_Diode;
    EXPECT_EQ(d.m_TurnOnVoltage, 0.3);
    EXPECT_EQ(d.m_BuiltInVoltage, 0.3);
    EXPECT_EQ(d.m_JunctionCap, 2e-12);
    EXPECT_EQ(d.m_RefVoltage, -2.0);
    EXPECT_EQ(d.m_ParasiticCap, 0.2e-12);
    EXPECT_EQ(d.m_ForwardModel, CDiode::ForwardQuadratic);
    EXPECT_EQ(d.m_Ideality, 1.3);
    EXPECT_EQ(d.m_QuadA, 16.69 * 0.001);
    EXPECT_EQ(d.m_QuadB, -1.6791 * 0.001);
    EXPECT_EQ(d.m_QuadC, 0.0132 * 0.001);
    EXPECT_EQ(d.m_ReverseModel, CDiode::ReverseDiodeEquation);
    EXPECT_EQ(d.m_RevSatCurrent, 0.5 / 1e6);
    EXPECT_EQ(d.m_RevN, 4.0);
    EXPECT_EQ(d.m_TransitTime, 3.0 * 1e-9);
    EXPECT_EQ(d.m_CapQuotient, 3.0);
    EXPECT_EQ(d.m_NegCapQuotient, 2.5);
    EXPECT_TRUE(d.m_UseNegQuotient);
}
