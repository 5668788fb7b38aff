// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Diode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <numbers>

namespace
{
// The air-core receiver calculator's default junction: Vbi 0.43 V, Cj 3.38 pF at -1 V,
// Cp 0.1 pF, 1 ns, n 1.1, quotient 2, no negative quotient.
const CJunctionParameters DefaultJunction = {.m_JunctionCap = 3.38e-12,
                                             .m_BuiltInVoltage = 0.43,
                                             .m_RefVoltage = -1.0,
                                             .m_ParasiticCap = 0.1e-12,
                                             .m_TransitTimeNs = 1.0,
                                             .m_Ideality = 1.1,
                                             .m_CapQuotient = 2.0,
                                             .m_NegCapQuotient = 0.0};

CDiode DefaultDiode()
{
    CDiode diode;
    diode.SetJunction(DefaultJunction);
    diode.SetForwardDiodeEquation(1.61);
    diode.SetReverseResistance(338000.0);
    return diode;
}

std::complex<double> ToStd(const CImpedance& z)
{
    return {z.m_Real, z.m_Imag};
}
} // namespace

TEST(Diode, CurrentLaws)
{
    CDiode diode = DefaultDiode();
    // Is (exp(V / (n Vt)) - 1) with Vt = 0.02586 V.
    EXPECT_NEAR(diode.Current(0.1), 1.61e-6 * (std::exp(0.1 / (1.1 * 0.02586)) - 1.0), 1e-15);
    EXPECT_DOUBLE_EQ(diode.Current(-2.0), -2.0 / 338000.0);

    diode.SetForwardPower(25.845, 2.8423);
    EXPECT_DOUBLE_EQ(diode.Current(0.5), std::pow(0.5, 2.8423) * 25.845e-3); // law in mA
    diode.SetForwardQuadratic(16.69, -1.6791, 0.0132);
    EXPECT_NEAR(diode.Current(0.2), (16.69 * 0.04 - 1.6791 * 0.2 + 0.0132) * 1e-3, 1e-15);
    diode.SetReverseQuadratic(-0.0763, 0.6965, -1.8365);
    EXPECT_NEAR(diode.Current(-1.0), (-0.0763 - 0.6965 - 1.8365) * 1e-6, 1e-18);
    diode.SetReverseDiodeEquation(2.0, 3.0);
    EXPECT_NEAR(diode.Current(-0.05), 2e-6 * (std::exp(-0.05 / (3.0 * 0.02586)) - 1.0), 1e-18);
}

TEST(Diode, SettingALawClearsTheForwardResults)
{
    CDiode diode = DefaultDiode();
    diode.m_FwdVoltage.SetRectangular(0.2, 0.0);
    diode.m_FwdResistance.SetRectangular(5000.0, 0.0);
    diode.SetReverseQuadratic(1.0, 2.0, 3.0);
    EXPECT_EQ(diode.m_FwdVoltage.m_Real, 0.0);
    EXPECT_EQ(diode.m_FwdResistance.m_Real, 0.0);
}

TEST(Diode, JunctionCapacitanceAtTheReferenceVoltage)
{
    // Reverse reference: Cj plus the parasitic capacitance (fixed exponent at Vref).
    CDiode reverse;
    CJunctionParameters junction = DefaultJunction;
    junction.m_NegCapQuotient = 2.0;
    reverse.SetJunction(junction);
    EXPECT_NEAR(reverse.JunctionCapacitance(-1.0, 1e6), 3.48e-12, 1e-24);

    // Forward reference: Cj alone, no parasitic capacitance.
    CDiode forward;
    junction = DefaultJunction;
    junction.m_RefVoltage = 0.1;
    forward.SetJunction(junction);
    EXPECT_NEAR(forward.JunctionCapacitance(0.1, 1e6), 3.38e-12, 1e-24);
}

TEST(Diode, JunctionCapacitanceBranches)
{
    CDiode diode;
    CJunctionParameters junction = DefaultJunction;
    junction.m_NegCapQuotient = 2.0;
    diode.SetJunction(junction);
    // Below Vref the exponent is q exp((|q| + V) / -20) = 2.3237 at -5 V (hand calculation).
    EXPECT_NEAR(diode.JunctionCapacitance(-5.0, 1e6), 7.550020935517476e-11, 1e-20);
    // Without a negative quotient the fixed exponent holds at -5 V too.
    diode.SetJunction(DefaultJunction);
    EXPECT_FALSE(diode.m_UseNegQuotient);
    EXPECT_NEAR(diode.JunctionCapacitance(-5.0, 1e6), 1.8345419359128067e-12, 1e-24);
    // From the built-in voltage on the forward law stays at its value for Vbi - 0.001 V.
    EXPECT_EQ(diode.JunctionCapacitance(0.43, 1e6), diode.JunctionCapacitance(0.9, 1e6));
    EXPECT_NEAR(diode.JunctionCapacitance(0.43, 1e6), diode.JunctionCapacitance(0.429, 1e6), 1e-20);
}

TEST(Diode, DiffusionAndTotalCapacitance)
{
    CDiode diode = DefaultDiode();
    EXPECT_EQ(diode.DiffusionCapacitance(0.0), 0.0);
    EXPECT_EQ(diode.DiffusionCapacitance(-0.5), 0.0);
    EXPECT_DOUBLE_EQ(diode.DiffusionCapacitance(0.2), 1e-9 * diode.Current(0.2) / 0.2);

    EXPECT_EQ(diode.TotalCapacitance(-2.0, 1e6), diode.JunctionCapacitance(-2.0, 1e6));
    EXPECT_EQ(diode.TotalCapacitance(0.2, 1e6),
              diode.JunctionCapacitance(0.2, 1e6) + diode.DiffusionCapacitance(0.2));
    // At and above the built-in voltage: exactly 10 uF.
    EXPECT_EQ(diode.TotalCapacitance(0.43, 1e6), 1e-5);
    EXPECT_EQ(diode.TotalCapacitance(2.0, 1e6), 1e-5);
    // Just below it a slow diode's diffusion term (about 50 uF) is limited to 10 uF.
    CJunctionParameters slow = DefaultJunction;
    slow.m_TransitTimeNs = 5000.0;
    diode.SetJunction(slow);
    EXPECT_GT(diode.DiffusionCapacitance(0.42), 1e-5);
    EXPECT_EQ(diode.TotalCapacitance(0.42, 1e6), 1e-5);
}

TEST(Diode, ImpedanceWithConstantReverseResistance)
{
    CDiode diode = DefaultDiode();
    CImpedance z;
    double r = 0.0;
    double c = 0.0;
    diode.Impedance(z, -1.0, 1e6, 2.0, r, c);
    EXPECT_EQ(r, 676000.0); // the constant law, scaled, whatever the current law says
    EXPECT_NEAR(c, 3.48e-12, 1e-24);
    const std::complex<double> zc(0.0, -1.0 / (2.0 * std::numbers::pi * 1e6 * c));
    const std::complex<double> expected = r * zc / (r + zc) + 1.0; // R || C, plus 1 ohm
    EXPECT_NEAR(std::abs(ToStd(z) - expected), 0.0, 1e-6 * std::abs(expected));

    // At 0 V the resistance comes from the current law: 0 / 0 here, with no trap.
    diode.Impedance(z, 0.0, 1e6, 1.0, r, c);
    EXPECT_TRUE(std::isnan(r));

    // Forward bias: |V / I|.
    diode.Impedance(z, 0.2, 1e6, 1.0, r, c);
    EXPECT_DOUBLE_EQ(r, 0.2 / diode.Current(0.2));
}

TEST(Diode, OperatingPointForward)
{
    CDiode diode = DefaultDiode();
    CImpedance zd;
    CImpedance current;
    const double vd = diode.SolveOperatingPoint(0.5, 47000.0, 1e6, zd, current);
    EXPECT_GT(vd, 0.0);
    EXPECT_LT(vd, 0.5);
    // Converged: the diode voltage plus the drop in the series resistance make the source.
    CImpedance vdz;
    vdz.SetRectangular(vd, 0.0);
    const CImpedance total = vdz + current * 47000.0;
    EXPECT_NEAR(total.m_Magnitude, 0.5, 0.5 * 1e-4);
}

TEST(Diode, OperatingPointWithNegativeSourceUsesTheReverseLaw)
{
    CDiode diode = DefaultDiode();
    CImpedance zd;
    CImpedance current;
    const double vd = diode.SolveOperatingPoint(-1.0, 47000.0, 1000.0, zd, current);
    // The reverse resistance (338 kOhm + 1 ohm) divides with the 47 kOhm; the junction
    // capacitance is some 50 MOhm at 1 kHz (hand calculation).
    EXPECT_NEAR(vd, 338001.0 / 385001.0, 2e-4);
    EXPECT_NEAR(zd.m_Real, 338001.0, 400.0);
    EXPECT_LT(current.m_Real, 0.0);
}

TEST(Diode, OperatingPointWithZeroSourceStops)
{
    CDiode diode = DefaultDiode();
    CImpedance zd;
    CImpedance current;
    EXPECT_EQ(diode.SolveOperatingPoint(0.0, 47000.0, 1e6, zd, current), 0.0);
}

TEST(Diode, MeasuredCapacitanceRecoversAKnownJunction)
{
    // Synthesise the reading of a 3 pF junction (plus 0.5 pF parasitic) across 124 kOhm,
    // in series with 20 kOhm, at 1 MHz, then read it back.
    const double f = 1e6;
    const double w = 2.0 * std::numbers::pi * f;
    const double rdc = 124000.0;
    const double rl = 20000.0;
    const std::complex<double> zj(0.0, -1.0 / (w * 3.5e-12));
    const std::complex<double> branch = rdc * zj / (rdc + zj);
    const std::complex<double> vl = 0.05 * rl / (branch + rl);
    CScopeMeasurement reading = {.m_Vdc = 0.1,
                                 .m_SourceVoltagePp = 0.05,
                                 .m_LoadVoltagePp = std::abs(vl),
                                 .m_LoadResistance = rl,
                                 .m_ScopeCap = 0.0,
                                 .m_ParasiticCap = 0.5e-12,
                                 .m_Phase = std::arg(vl),
                                 .m_Frequency = f,
                                 .m_DcSourceResistance = rdc};
    EXPECT_NEAR(CDiode::MeasuredCapacitance(reading), 3e-12, 1e-21);

    // The same reading taken with a 15 pF oscilloscope: the load includes it.
    const std::complex<double> scope(0.0, -1.0 / (w * 15e-12));
    const std::complex<double> load = rl * scope / (rl + scope);
    const std::complex<double> vls = 0.05 * load / (branch + load);
    reading.m_LoadVoltagePp = std::abs(vls);
    reading.m_ScopeCap = 15e-12;
    reading.m_Phase = std::arg(vls);
    EXPECT_NEAR(CDiode::MeasuredCapacitance(reading), 3e-12, 1e-21);
}

TEST(Diode, CapacitanceCalculatorDefaults)
{
    // Diode capacitance calculator defaults (hand calculation with complex arithmetic).
    const double phase1 = 9.0 * std::numbers::pi / 180.0;
    const CScopeMeasurement point1 = {.m_Vdc = 0.05,
                                      .m_SourceVoltagePp = 0.05,
                                      .m_LoadVoltagePp = 0.0456,
                                      .m_LoadResistance = 20000.0,
                                      .m_ScopeCap = 15e-12,
                                      .m_ParasiticCap = 0.5e-12,
                                      .m_Phase = phase1,
                                      .m_Frequency = 1e6,
                                      .m_DcSourceResistance = 124000.0};
    CScopeMeasurement point2 = point1;
    point2.m_Vdc = 0.1;
    point2.m_LoadVoltagePp = 0.0484;
    point2.m_Phase = 0.0;
    const double c1 = CDiode::MeasuredCapacitance(point1);
    const double c2 = CDiode::MeasuredCapacitance(point2);
    EXPECT_NEAR(c1, 8.937529680800006e-11, 1e-20);
    EXPECT_NEAR(c2, 5.125494937057228e-10, 1e-19);
    EXPECT_NEAR(CDiode::BuiltInVoltage(0.05, 0.1, c1, c2, 2.0), 0.10156799108641638, 1e-9);

    CDiode diode;
    diode.SetJunction({.m_JunctionCap = 1e-12,
                       .m_BuiltInVoltage = 0.33,
                       .m_RefVoltage = -1.0,
                       .m_ParasiticCap = 0.5e-12,
                       .m_TransitTimeNs = 0.0,
                       .m_Ideality = 1.0,
                       .m_CapQuotient = 2.0,
                       .m_NegCapQuotient = 2.0});
    double measured = 0.0;
    double junction = 0.0;
    const double diffusion = diode.DiffusionFromMeasurement(point1, measured, junction);
    EXPECT_EQ(measured, c1);
    EXPECT_NEAR(junction, 2.1794494717703368e-12, 1e-24); // forward branch, no Cp
    EXPECT_EQ(diffusion, measured - junction);
    EXPECT_NEAR(CDiode::TransitTime(0.05, diffusion, 124000.0), 1.0812285069692486e-05, 1e-14);
}

TEST(Diode, BuiltInVoltageOfTheJunctionLaw)
{
    // Two points of C = (K / (Vbi - V))^(1/m) lie on a line of 1/C^m through Vbi.
    CDiode diode;
    diode.SetJunction({.m_JunctionCap = 3.38e-12,
                       .m_BuiltInVoltage = 0.43,
                       .m_RefVoltage = -1.0,
                       .m_ParasiticCap = 0.0,
                       .m_TransitTimeNs = 0.0,
                       .m_Ideality = 1.0,
                       .m_CapQuotient = 2.0,
                       .m_NegCapQuotient = 0.0});
    const double ca = diode.JunctionCapacitance(-3.0, 1e6);
    const double cb = diode.JunctionCapacitance(-0.5, 1e6);
    EXPECT_NEAR(CDiode::BuiltInVoltage(-3.0, -0.5, ca, cb, 2.0), 0.43, 1e-12);
}

TEST(Diode, TransitTime)
{
    EXPECT_NEAR(CDiode::TransitTime(0.3, 2e-12, 124000.0), 248e-9, 1e-20); // Cd Rdc
    EXPECT_TRUE(std::isnan(CDiode::TransitTime(0.0, 2e-12, 124000.0)));    // 0 / 0
}

namespace
{
// The operating-point bisection as designed, always run through its 1000 passes: the
// solve must stop early only where the remaining passes could change nothing.
struct COperatingPoint
{
    double m_Voltage = 0.0;
    CImpedance m_Impedance;
    CImpedance m_Current;
    bool m_Converged = false;
};

COperatingPoint AllPasses(const CDiode& diode, double vs, double rs, double f)
{
    COperatingPoint result;
    double lo = 0.0;
    double hi = vs;
    double vd = vs * 0.5;
    for (int pass = 0; pass < 1000 && !result.m_Converged; ++pass)
    {
        double r = 0.0;
        double c = 0.0;
        diode.Impedance(result.m_Impedance, vs > 0.0 ? std::fabs(vd) : -std::fabs(vd), f, 1.0, r,
                        c);
        result.m_Current = vd / result.m_Impedance;
        const CImpedance calculated = CImpedance(CComplex(vd, 0.0)) + result.m_Current * rs;
        const double error = (std::fabs(vs) - calculated.m_Magnitude) / std::fabs(vs);
        result.m_Converged = std::fabs(error) < 0.0001;
        if (result.m_Converged)
            break;
        (error > 0.0 ? lo : hi) = vd;
        vd = lo + (hi - lo) / 2.0;
    }
    result.m_Voltage = std::fabs(vd);
    return result;
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBits(const CImpedance& a, const CImpedance& b)
{
    return SameBits(a.m_Real, b.m_Real) && SameBits(a.m_Imag, b.m_Imag);
}
} // namespace

TEST(Diode, OperatingPointStopsOnlyWhereTheRemainingPassesChangeNothing)
{
    CDiode quadratic = DefaultDiode();
    quadratic.SetReverseQuadratic(-0.0763, 0.6965, -1.8365);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    int unconverged = 0;
    for (const CDiode& diode : {quadratic, DefaultDiode()})
    {
        // Zero, not-a-number and infinite sources, and 1 nV through 1 GOhm, where the bounds
        // close in without meeting the tolerance; the rest converge.
        for (double vs : {0.0, nan, inf, -inf, -1.0, -1e-6, 1e-9, 0.05, 0.5, 5.0})
            for (double rs : {0.0, 50.0, 47000.0, 1e9})
                for (double f : {0.0, 1000.0, 1e6})
                {
                    CImpedance zd;
                    CImpedance current;
                    bool converged = true;
                    const double vd = diode.SolveOperatingPoint(vs, rs, f, zd, current, converged);
                    const COperatingPoint expected = AllPasses(diode, vs, rs, f);
                    SCOPED_TRACE(testing::Message() << "vs " << vs << ", rs " << rs << ", f " << f);
                    EXPECT_TRUE(SameBits(vd, expected.m_Voltage))
                        << vd << " " << expected.m_Voltage;
                    EXPECT_TRUE(SameBits(zd, expected.m_Impedance));
                    EXPECT_TRUE(SameBits(current, expected.m_Current));
                    EXPECT_EQ(converged, expected.m_Converged);
                    unconverged += !converged;
                }
    }
    EXPECT_GT(unconverged, 40);
}

TEST(Diode, OperatingPointWithoutAFiniteCircuitReportsNoConvergence)
{
    const CDiode diode = DefaultDiode();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct CCase
    {
        double m_Source, m_Resistance, m_Frequency;
    };
    for (const CCase& c :
         {CCase{0.5, inf, 1e6}, CCase{0.5, nan, 1e6}, CCase{0.5, 47000.0, inf},
          CCase{0.5, 47000.0, nan}, CCase{nan, 47000.0, 1e6}, CCase{0.0, 47000.0, 1e6}})
    {
        CImpedance zd;
        CImpedance current;
        bool converged = true;
        diode.SolveOperatingPoint(c.m_Source, c.m_Resistance, c.m_Frequency, zd, current,
                                  converged);
        EXPECT_FALSE(converged) << c.m_Source << " " << c.m_Resistance << " " << c.m_Frequency;
    }
    CImpedance zd;
    CImpedance current;
    bool converged = false;
    diode.SolveOperatingPoint(0.5, 47000.0, 1e6, zd, current, converged);
    EXPECT_TRUE(converged);
}
