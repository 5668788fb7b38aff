// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Monopole.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace
{
constexpr double Degree = std::numbers::pi / 180.0;

// 20 m vertical plus 10 m horizontal of 2 mm copper at 1 MHz, a 1 m rod of 10 mm in
// 100 ohm-m soil, a 10 kW station 50 km away.
void SetAerial(CMonopole& aerial)
{
    aerial.Reset();
    aerial.m_Length1 = 20.0;
    aerial.m_Angle1 = 90.0 * Degree;
    aerial.m_Length2 = 10.0;
    aerial.m_Angle2 = 0.0;
    aerial.m_Diameter = 2e-3;
    aerial.m_Resistivity = 1.68e-8;
    aerial.m_Frequency = 1e6;
    aerial.m_GroundDepth = 1.0;
    aerial.m_GroundDiameter = 10e-3;
    aerial.m_GroundResistivity = 100.0;
    aerial.m_StationPower = 10000.0;
    aerial.m_StationDistance = 50000.0;
    aerial.m_StationGain = 1.0;
}

CTransmissionLine FeedLine()
{
    CTransmissionLine line;
    line.m_UseGeometry = true;
    line.m_Length = 15.0;
    line.m_WireDiameter = 1e-3;
    line.m_Spacing = 10e-3;
    line.m_RelPermittivity = 2.3;
    line.m_Frequency = 1e6;
    line.Calculate();
    return line;
}
} // namespace

TEST(Monopole, WorkedAerial)
{
    CMonopole aerial;
    SetAerial(aerial);
    ASSERT_TRUE(aerial.Calculate());
    // Reference values: the same chain of formulas evaluated by hand with complex arithmetic.
    EXPECT_NEAR(aerial.m_ConductorInductance, 5.585371599427117e-05, 1e-15);
    EXPECT_NEAR(aerial.m_RDc, 0.16042818263663053, 1e-12);
    EXPECT_NEAR(aerial.m_RAc, 1.2710934191506222, 1e-10);
    EXPECT_NEAR(aerial.m_RRad, 3.95330972043568, 1e-10);
    EXPECT_NEAR(aerial.m_RGround, 47.34029801679519, 1e-8);
    EXPECT_NEAR(aerial.m_RTotal, 52.56470115638149, 1e-8);
    EXPECT_DOUBLE_EQ(aerial.m_ZAntenna.real, aerial.m_RTotal);
    EXPECT_NEAR(aerial.m_ZAntenna.imag, -518.1657932085388, 1e-6);
    EXPECT_NEAR(aerial.m_ElectricalWavelength, 297.985672739423, 1e-6);
    EXPECT_NEAR(aerial.m_VelocityFactor, 0.9939732130933828, 1e-9);
    EXPECT_NEAR(aerial.m_EffectiveHeight, 9.176284454693231, 1e-8);
    // E he l1/l: the horizontal element adds nothing to the voltage.
    EXPECT_NEAR(aerial.m_VAntenna, 0.00633787754978055, 1e-12);

    EXPECT_TRUE(aerial.m_IsCapacitive);
    const double w = 2.0 * std::numbers::pi * 1e6;
    EXPECT_NEAR(aerial.m_CAntenna, 1.0 / (w * 518.1657932085388), 1e-18);
    EXPECT_NEAR(aerial.m_LAntennaResonate, 1.0 / (w * w * aerial.m_CAntenna), 1e-15);
    EXPECT_EQ(aerial.m_LAntenna, 0.0);
}

TEST(Monopole, ElementAnglesWeightTheInducedVoltage)
{
    CMonopole flat;
    SetAerial(flat);
    ASSERT_TRUE(flat.Calculate());
    CMonopole upright;
    SetAerial(upright);
    upright.m_Angle2 = 90.0 * Degree;
    ASSERT_TRUE(upright.Calculate());
    EXPECT_NEAR(upright.m_VAntenna, 0.0010360202292779342 * 9.176284454693231, 1e-12); // E he
    EXPECT_NEAR(flat.m_VAntenna, upright.m_VAntenna * 20.0 / 30.0, 1e-15);
    EXPECT_EQ(flat.m_RTotal, upright.m_RTotal);
}

TEST(Monopole, RejectsConductorsWithoutInductanceOrResistance)
{
    CMonopole aerial;
    SetAerial(aerial);
    aerial.m_Length1 = 1.0;
    aerial.m_Length2 = 0.0;
    aerial.m_Diameter = 1.0; // ln(2) - 1 < 0
    EXPECT_FALSE(aerial.Calculate());
    EXPECT_EQ(aerial.m_RDc, 0.0);

    SetAerial(aerial);
    aerial.m_Resistivity = 0.0;
    EXPECT_FALSE(aerial.Calculate());
    EXPECT_EQ(aerial.m_RAc, 0.0);
}

TEST(Monopole, StationPowerZeroGivesNoVoltages)
{
    CMonopole aerial;
    SetAerial(aerial);
    aerial.m_StationPower = 0.0;
    aerial.m_Load.Set(1, 1000.0, 1000.0);
    ASSERT_TRUE(aerial.Calculate());
    aerial.UseDirectFeed();
    EXPECT_NEAR(aerial.m_ZIn.imag, -518.1657932085388, 1e-6);
    EXPECT_EQ(aerial.m_VAntenna, 0.0);
    EXPECT_TRUE(aerial.ComputeLoadVoltage());
    EXPECT_EQ(aerial.m_VLoad.magnitude, 0.0);
    EXPECT_EQ(aerial.m_ZTotal.magnitude, 0.0);
}

TEST(Monopole, DirectFeedOfCapacitiveAndInductiveAerials)
{
    const double w = 2.0 * std::numbers::pi * 1e6;
    CMonopole aerial;
    SetAerial(aerial);
    ASSERT_TRUE(aerial.Calculate());
    aerial.UseDirectFeed();
    const double x = aerial.m_ZIn.imag;
    ASSERT_LT(x, 0.0);
    EXPECT_NEAR(aerial.m_LResonate, -x / w, 1e-15);
    EXPECT_EQ(aerial.m_CResonate, 0.0);
    EXPECT_NEAR(aerial.m_CIn, -1.0 / (w * x), 1e-20);
    EXPECT_FALSE(aerial.m_IsResistive);

    // 100 m is beyond a quarter wave: inductive.
    aerial.m_Length1 = 100.0;
    aerial.m_Length2 = 0.0;
    ASSERT_TRUE(aerial.Calculate());
    aerial.UseDirectFeed();
    const double xl = aerial.m_ZIn.imag;
    ASSERT_GT(xl, 0.0);
    EXPECT_NEAR(aerial.m_CResonate, 1.0 / (w * xl), 1e-20);
    EXPECT_EQ(aerial.m_LResonate, 0.0);
    EXPECT_NEAR(aerial.m_LIn, xl / w, 1e-15);
}

TEST(Monopole, FeedLineAddsItsResistance)
{
    CMonopole aerial;
    SetAerial(aerial);
    ASSERT_TRUE(aerial.Calculate());
    const CTransmissionLine line = FeedLine();
    EXPECT_TRUE(aerial.UseFeedLine(line));
    EXPECT_EQ(aerial.m_ZIn.real, aerial.m_RTotal + line.m_RAc);
    EXPECT_NEAR(aerial.m_ZIn.magnitude, std::hypot(aerial.m_ZIn.real, aerial.m_ZIn.imag), 1e-9);
    // The reactance is the transformed one, not the aerial's.
    EXPECT_GT(std::fabs(aerial.m_ZIn.imag - aerial.m_ZAntenna.imag), 1.0);
}

TEST(Monopole, LoadVoltageByTheDivider)
{
    CMonopole aerial;
    SetAerial(aerial);
    aerial.m_Load.Set(1, 1000.0, 1000.0);
    ASSERT_TRUE(aerial.Calculate());
    aerial.UseDirectFeed();
    ASSERT_TRUE(aerial.ComputeLoadVoltage());
    const std::complex<double> zin(aerial.m_ZIn.real, aerial.m_ZIn.imag);
    const std::complex<double> expected = aerial.m_VAntenna * 1000.0 / (zin + 1000.0);
    EXPECT_NEAR(aerial.m_VLoad.magnitude, std::abs(expected), 1e-12);
    EXPECT_NEAR(aerial.m_ZTotal.real, aerial.m_ZIn.real + 1000.0, 1e-9);
}

TEST(Monopole, ResetForgetsThePreviousLoad)
{
    CMonopole aerial;
    SetAerial(aerial);
    aerial.m_Load.Set(2, 100e-6, 5.0);
    ASSERT_TRUE(aerial.Calculate());
    aerial.UseDirectFeed();
    aerial.ComputeLoadVoltage();
    aerial.Reset();
    EXPECT_EQ(aerial.m_Load.m_Value, 0.0);
    EXPECT_EQ(aerial.m_Load.m_Resistance, 0.0);
    EXPECT_EQ(aerial.m_Load.m_Impedance.m_Magnitude, 0.0);
    EXPECT_EQ(aerial.m_ZTotal.magnitude, 0.0);
    EXPECT_EQ(aerial.m_GroundLossFactor, 0.5);
    EXPECT_TRUE(aerial.m_IsCircular);
}
