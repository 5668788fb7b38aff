// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Equations.h"

#include <gtest/gtest.h>

#include <cmath>

// Reference values are hand calculations (done independently in double precision) unless
// a comment says otherwise.

TEST(Equations, ResonanceRoundTrip)
{
    // 253 uH with 100 pF resonates at 1.0006 MHz.
    const double f = CEquations::ResonantFrequency(253e-6, 100e-12);
    EXPECT_NEAR(f, 1000598.554, 1e-3);
    EXPECT_NEAR(CEquations::ResonantCapacitance(f, 253e-6), 100e-12, 1e-24);
    // With the roles exchanged it gives the inductance.
    EXPECT_NEAR(CEquations::ResonantCapacitance(f, 100e-12), 253e-6, 1e-16);
}

TEST(Equations, LossyResonanceFallsBackToTheLosslessFormula)
{
    const double f = 1e6;
    const double lossless = CEquations::ResonantCapacitance(f, 253e-6);
    EXPECT_NEAR(CEquations::ResonantCapacitanceLossy(f, 253e-6, 0.0), lossless, 1e-24);
    EXPECT_NEAR(CEquations::ResonantCapacitanceLossy(f, 253e-6, -1.0), lossless, 1e-24);
    EXPECT_LT(CEquations::ResonantCapacitanceLossy(f, 253e-6, 100.0), lossless);

    const double c = 100e-12;
    const double w = CEquations::TwoPi * f;
    EXPECT_NEAR(CEquations::ResonantInductanceLossy(f, c, 0.0), 1.0 / (w * w * c), 1e-16);
    // The lossy root satisfies w^2 C L^2 - L + C R^2 = 0.
    const double r = 50.0;
    const double l = CEquations::ResonantInductanceLossy(f, c, r);
    EXPECT_NEAR(w * w * c * l * l - l + c * r * r, 0.0, 1e-15);
    EXPECT_GT(l, 1.0 / (w * w * c) * 0.5);

    // Equal resistances cancel in the lossy frequency.
    EXPECT_NEAR(CEquations::ResonantFrequencyLossy(253e-6, 7.0, 100e-12, 7.0),
                CEquations::ResonantFrequency(253e-6, 100e-12), 1e-6);
}

TEST(Equations, ResonanceFactorAndEffectiveQ)
{
    EXPECT_EQ(CEquations::ResonanceFactor(2e6, 2e6), 0.0);
    EXPECT_DOUBLE_EQ(CEquations::ResonanceFactor(2e6, 1e6), 0.75);
    EXPECT_LT(CEquations::ResonanceFactor(1e6, 2e6), 0.0);
    EXPECT_DOUBLE_EQ(CEquations::EffectiveQ(200.0, 2e6, 1e6), 150.0);
    EXPECT_LT(CEquations::EffectiveQ(200.0, 1e6, 2e6), 0.0);
}

TEST(Equations, Conductors)
{
    // Copper at 1 MHz: 65.2 um.
    const double delta = CEquations::SkinDepth(1.68e-8, 1e6, 1.0);
    EXPECT_NEAR(delta, 6.52341e-5, 1e-10);
    EXPECT_DOUBLE_EQ(CEquations::DcResistance(10.0, 2e-6, 1.68e-8), 0.084);

    const double rho = 1.68e-8;
    const double dc = rho * 1.0 / (CEquations::Pi * 1e-4 * 1e-4);
    EXPECT_DOUBLE_EQ(CEquations::AcResistanceRound(rho, 1.0, 1e-4, 1e-4), dc);
    EXPECT_DOUBLE_EQ(CEquations::AcResistanceRound(rho, 1.0, 1e-4, 2e-4), dc);
    EXPECT_DOUBLE_EQ(CEquations::AcResistanceRound(rho, 1.0, 1e-4, 5e-5),
                     rho / (1.5e-4 * CEquations::Pi * 5e-5));
    EXPECT_DOUBLE_EQ(CEquations::AcResistanceFlat(rho, 1.0, 1e-3, 1e-4, 5e-5),
                     rho / (1.05e-3 * 5e-5));

    // 1 m of 1 mm wire: mu0/(2 pi) (ln 2000 - 1) = 1.3202 uH.
    EXPECT_NEAR(CEquations::StraightWireInductance(1.0, 1e-3, 1.0), 1.32018e-6, 1e-10);
    const double flat = CEquations::FlatConductorInductance(1.0, 1e-3, 0.0, 1.0);
    EXPECT_NEAR(flat, 2e-7 * (std::log(2000.0) + 0.5 + 0.2235e-3), 1e-12);
}

TEST(Equations, NagaokaAndSolenoid)
{
    // Nagaoka's coefficient: 0.688 at l/D = 1 (tables give 0.688), 0.9957 at l/D = 100.
    EXPECT_NEAR(CEquations::NagaokaCoefficient(1.0), 0.688295, 1e-6);
    EXPECT_NEAR(CEquations::NagaokaCoefficient(100.0), 0.995741, 1e-6);
    // 40 turns, 17.18 mm diameter, 27.2 mm long: K = 0.77964, L = 13.36 uH.
    const double k = CEquations::NagaokaCoefficient(0.0272 / 0.01718);
    EXPECT_NEAR(k, 0.779643, 1e-6);
    EXPECT_NEAR(CEquations::SolenoidInductance(40, 0.01718, 0.0272, k, 1.0), 13.35959e-6, 1e-11);
    EXPECT_NEAR(CEquations::PitchAngle(1.0 / CEquations::Pi, 1.0), CEquations::Pi / 4, 1e-15);
}

TEST(Equations, CoilCapacitances)
{
    EXPECT_DOUBLE_EQ(CEquations::EffectivePermittivity(0.02, 0.0, 3.0, 1.0), 3.0);
    EXPECT_DOUBLE_EQ(CEquations::EffectivePermittivity(0.02, 0.01, 3.0, 1.0), 0.75 * 3.0 + 0.25);
    // 2 eps0 D (e1 + e2) / ln(1 + pi^2 l/D) with D = 20 mm, l = 30 mm: 0.3849 pF.
    EXPECT_NEAR(CEquations::AxialCapacitance(0.02, 0.03, 2.0, 1.0), 0.384924e-12, 1e-18);
    // l = D = 0.1 m, permittivities 1, no pitch: (1 + 1.756487) 4 eps0 l / pi = 3.1075 pF.
    EXPECT_NEAR(CEquations::SelfCapacitance(0.1, 0.1, 1.0, 1.0, 0.0), 3.107526e-12, 1e-18);
    const double tilted = CEquations::SelfCapacitance(0.1, 0.1, 1.0, 1.0, CEquations::Pi / 4);
    EXPECT_NEAR(tilted, 2 * 3.107526e-12, 1e-17);
    // X mu_a (F 1e-6) f / fF: 1000 ohm, mu_a 10, F 100 at 1 MHz, used at 2 MHz: 2 ohm.
    EXPECT_DOUBLE_EQ(CEquations::CoreLossResistance(10.0, 100.0, 1e6, 2e6, 1000.0), 2.0);
}

TEST(Equations, ApparentPermeabilityOfAMatchedCoilIsTheRodPermeability)
{
    double geometry = 0;
    double length = 0;
    CCoilOnRod coil = {.m_InitialPermeability = 120.0,
                       .m_RodDiameter = 0.00968,
                       .m_RodLength = 0.18,
                       .m_CoilDiameter = 0.00968,
                       .m_CoilLength = 0.18,
                       .m_GapExponent = 0.8,
                       .m_LengthExponent = 0.36,
                       .m_Offset = 0.0};
    const double mu = CEquations::ApparentPermeability(coil, geometry, length);
    EXPECT_DOUBLE_EQ(geometry, 1.0);
    EXPECT_DOUBLE_EQ(length, 1.0);
    // 120 / (1 + 0.84 * 119 * (9.68/180)^1.7) = 70.81 (the ferrite rod's worked example).
    EXPECT_NEAR(mu, 70.81, 0.005);
    EXPECT_DOUBLE_EQ(mu, CEquations::RodPermeability(120.0, 0.00968, 0.18));

    // A wider, shorter coil sees less.
    coil.m_CoilDiameter = 0.01718;
    coil.m_CoilLength = 0.0408;
    const double smaller = CEquations::ApparentPermeability(coil, geometry, length);
    EXPECT_LT(geometry, 1.0);
    EXPECT_LT(smaller, mu);
}

TEST(Equations, ComplexTanh)
{
    const CComplex t = CEquations::ComplexTanh(0.0, 0.7);
    EXPECT_NEAR(t.real, 0.0, 1e-15);
    EXPECT_NEAR(t.imag, std::tan(0.7), 1e-15);
    const CComplex h = CEquations::ComplexTanh(0.6, 0.0);
    EXPECT_NEAR(h.real, std::tanh(0.6), 1e-15);
    EXPECT_NEAR(h.imag, 0.0, 1e-15);
}

TEST(Equations, LosslessLine)
{
    const double l = 1e-6;  // H/m
    const double c = 1e-11; // F/m: Z0 = sqrt(L/C) = 316.23 ohm
    const double f = 1e6;
    const CComplex z0 = CEquations::CharacteristicImpedance(0, l, 0, c, f);
    EXPECT_NEAR(z0.real, std::sqrt(l / c), 1e-9);
    EXPECT_NEAR(z0.imag, 0.0, 1e-9);
    const CComplex gamma = CEquations::PropagationConstant(0, l, 0, c, f);
    EXPECT_NEAR(gamma.real, 0.0, 1e-15);
    EXPECT_NEAR(gamma.imag, CEquations::TwoPi * f * std::sqrt(l * c), 1e-15);

    // A matched load is seen unchanged at any length.
    const CComplex in = CEquations::LineInputImpedance(37.0, z0, gamma, z0);
    EXPECT_NEAR(in.real, z0.real, 1e-9);
    EXPECT_NEAR(in.imag, 0.0, 1e-9);
    // An open line one eighth of a wavelength long: -j Z0.
    const double eighth = CEquations::Pi / 4 / gamma.imag;
    const CComplex open = CEquations::OpenLineImpedance(eighth, z0, gamma);
    EXPECT_NEAR(open.real, 0.0, 1e-9);
    EXPECT_NEAR(open.imag, -z0.real, 1e-9);

    EXPECT_DOUBLE_EQ(CEquations::VelocityFactor(CEquations::SpeedOfLight / 2), 0.5);
    // Twin line with s/d = 10: pi eps0 / acosh 10 = 9.2931 pF/m, acosh 10 mu0 / pi = 1.1973 uH/m.
    EXPECT_NEAR(CEquations::TwinLineCapacitance(1e-3, 1e-2, 1.0), 9.293077e-12, 1e-17);
    EXPECT_NEAR(CEquations::TwinLineInductance(1e-3, 1e-2, 1.0), 1.197289e-6, 1e-12);
}

TEST(Equations, AntennasAndReception)
{
    // 10 m on a 300 m wavelength: 40 pi^2 (1/30)^2 = 0.4386 ohm.
    EXPECT_NEAR(CEquations::ShortMonopoleRadiationResistance(10.0, 300.0), 0.438649, 1e-6);
    EXPECT_NEAR(CEquations::EffectiveHeight(300.0, 20.0), 1.043375, 1e-6);
    EXPECT_NEAR(CEquations::GroundRodResistance(2.0, 0.016, 100.0), 47.01242, 1e-5);
    EXPECT_NEAR(CEquations::GroundLossResistance(10.0, 0.002, 10.0, 1e6), 0.637627, 1e-6);
    // 1 kW at 10 km: sqrt(754e3 / (4 pi 1e8)) = 24.5 mV/m.
    EXPECT_NEAR(CEquations::FieldStrength(1000.0, 1e4, 1.0, 0.0), 0.0244952, 1e-7);
    EXPECT_DOUBLE_EQ(CEquations::InducedVoltage(0.01, 5.0, 10.0, CEquations::Pi / 2, 10.0, 0.0),
                     0.025);

    const CComplex v = CEquations::VoltageDivider(2.0, CComplex(50, 0), CComplex(50, 0));
    EXPECT_NEAR(v.real, 1.0, 1e-15);
    EXPECT_NEAR(v.imag, 0.0, 1e-15);
}

TEST(Equations, CoupledCoils)
{
    EXPECT_DOUBLE_EQ(CEquations::CouplingCoefficient(1e-6, 4e-6, 1e-6), 0.5);
    EXPECT_DOUBLE_EQ(CEquations::TransformationRatio(0.5, 4e-6, 1e-6), 1.0);
}
