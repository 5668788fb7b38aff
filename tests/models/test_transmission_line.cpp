// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/TransmissionLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
CTransmissionLine TwinLead(double pairs, double spacing = 10e-3)
{
    CTransmissionLine line;
    line.m_UseGeometry = true;
    line.m_Length = 10.0;
    line.m_WireDiameter = 1e-3;
    line.m_Spacing = spacing;
    line.m_RelPermittivity = 2.3;
    line.m_Pairs = pairs;
    line.m_Frequency = 1e6;
    line.Calculate();
    return line;
}

// Electrical mode: Z0 = 250 ohm, v = 2.5e8 m/s.
CTransmissionLine ElectricalLine(double length, double diameter, double resistivity,
                                 double frequency)
{
    CTransmissionLine line;
    line.m_Length = length;
    line.m_WireDiameter = diameter;
    line.m_Resistivity = resistivity;
    line.m_InductancePerMetre = 1e-6;
    line.m_CapacitancePerMetre = 16e-12;
    line.m_Frequency = frequency;
    line.Calculate();
    return line;
}

// A conductor so good that the line is lossless for practical purposes.
CTransmissionLine LosslessLine(double length)
{
    return ElectricalLine(length, 1e-3, 1e-20, 1e6);
}
} // namespace

TEST(TransmissionLine, ResistanceOfBothConductors)
{
    const CTransmissionLine line = TwinLead(1.0);
    // 20 m of 1 mm copper: rho l / (pi r^2); skin depth 65 um at 1 MHz (hand calculation).
    EXPECT_NEAR(line.m_RDc, 0.4278084870310147, 1e-12);
    EXPECT_NEAR(line.m_RAc, 1.7539280676024676, 1e-9);

    // A skin depth (2 mm at 1 kHz) beyond the 0.1 mm radius: AC equals DC.
    const CTransmissionLine thin = ElectricalLine(10.0, 0.2e-3, 1.68e-8, 1000.0);
    EXPECT_DOUBLE_EQ(thin.m_RAc, thin.m_RDc);
}

TEST(TransmissionLine, TwoPairsHalveInductanceAndResistances)
{
    const CTransmissionLine one = TwinLead(1.0);
    const CTransmissionLine two = TwinLead(2.0);
    EXPECT_DOUBLE_EQ(two.m_InductancePerMetre, one.m_InductancePerMetre / 2.0);
    EXPECT_DOUBLE_EQ(two.m_CapacitancePerMetre, one.m_CapacitancePerMetre * 2.0);
    EXPECT_DOUBLE_EQ(two.m_RDc, one.m_RDc / 2.0);
    EXPECT_DOUBLE_EQ(two.m_RAc, one.m_RAc / 2.0);
    EXPECT_EQ(two.m_ConductancePerMetre, 0.0);
    // mu0/pi acosh(10) for one pair (hand calculation).
    EXPECT_NEAR(one.m_InductancePerMetre, 1.25663706212e-6 / std::numbers::pi * std::acosh(10.0),
                1e-18);
}

TEST(TransmissionLine, ShortOpenLineIsCapacitive)
{
    const CTransmissionLine line = LosslessLine(30.0);
    EXPECT_NEAR(line.m_Z0.real, 250.0, 1e-6);
    EXPECT_NEAR(line.m_Z0.imag, 0.0, 1e-5);
    // -j Z0 cot(beta l), beta l = 0.754 rad (hand calculation).
    EXPECT_NEAR(line.m_ZOpen.real, 0.0, 1e-5);
    EXPECT_NEAR(line.m_ZOpen.imag, -266.2229600811981, 1e-6);
    EXPECT_TRUE(line.m_IsCapacitive);
    EXPECT_NEAR(line.m_CEquivalent, 5.978257586924623e-10, 1e-18);
    const double w = 2.0 * std::numbers::pi * 1e6;
    EXPECT_NEAR(line.m_LResonate, 1.0 / (w * w * line.m_CEquivalent), 1e-15);
    EXPECT_EQ(line.m_LEquivalent, 0.0);
    EXPECT_EQ(line.m_CResonate, 0.0);
    EXPECT_NEAR(line.m_Wavelength, 250.0, 1e-6);
    EXPECT_NEAR(line.m_Velocity, 2.5e8, 1e-1);
    EXPECT_NEAR(line.m_VelocityFactor, 2.5e8 / 299792458.0, 1e-9);
}

TEST(TransmissionLine, OpenLineBeyondAQuarterWaveIsInductive)
{
    const CTransmissionLine line = LosslessLine(80.0);
    EXPECT_FALSE(line.m_IsCapacitive);
    EXPECT_NEAR(line.m_ZOpen.imag, 117.64107030306278, 1e-6);
    EXPECT_NEAR(line.m_LEquivalent, 1.8723157849353617e-05, 1e-13);
    const double w = 2.0 * std::numbers::pi * 1e6;
    EXPECT_NEAR(line.m_CResonate, 1.0 / (w * w * line.m_LEquivalent), 1e-20);
    EXPECT_EQ(line.m_CEquivalent, 0.0);
    EXPECT_EQ(line.m_LResonate, 0.0);
}

TEST(TransmissionLine, SpacingEqualToDiameterIsNotFinite)
{
    const CTransmissionLine line = TwinLead(1.0, 1e-3);
    EXPECT_EQ(line.m_InductancePerMetre, 0.0);
    EXPECT_TRUE(std::isinf(line.m_CapacitancePerMetre));
    EXPECT_FALSE(std::isfinite(line.m_ZOpen.real) && std::isfinite(line.m_ZOpen.imag) &&
                 std::isfinite(line.m_Velocity));
}

TEST(TransmissionLine, CopyKeepsResults)
{
    const CTransmissionLine line = LosslessLine(30.0);
    const CTransmissionLine copy(line);
    EXPECT_EQ(copy.m_ZOpen.imag, line.m_ZOpen.imag);
    EXPECT_EQ(copy.m_Gamma.imag, line.m_Gamma.imag);
    EXPECT_EQ(copy.m_RAc, line.m_RAc);
}
