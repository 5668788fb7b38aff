// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Coil.h"

#include <gtest/gtest.h>

#include <cmath>

// Reference values come from an independent hand calculation of the same formulas in double
// precision (recorded beside each value), unless a comment says otherwise.

namespace
{

// The coil calculator's wire and former defaults: 0.63 mm copper at 1 MHz on a 2 mm wall
// of permittivity 3, with a small dielectric loss so that the former loss shows.
void SetWireAndFormer(CCoil& coil)
{
    coil.m_ConductorDiameter = 0.63e-3;
    coil.m_WireDiameter = 0.68e-3;
    coil.m_Resistivity = 1.68e-8;
    coil.m_FormerPermeability = 1.0;
    coil.m_FormerPermittivity = 3.0;
    coil.m_DissipationFactor = 0.001;
    coil.m_Frequency = 1e6;
    coil.m_WallThickness = 2e-3;
}

// 40 turns at 0.68 mm pitch on 17.18 mm.
void SetFortyTurns(CCoil& coil)
{
    coil.m_Diameter = 17.18e-3;
    coil.m_Turns = 40;
    coil.m_Pitch = 0.68e-3;
    coil.SetMode(CCoil::ModeDiameterTurnsPitch);
}

// The same coil wound with the calculator's default litz: 178 strands of 0.0375 mm.
void SetLitzCoil(CCoil& coil, double litzFactor)
{
    SetWireAndFormer(coil);
    SetFortyTurns(coil);
    coil.m_IsLitz = true;
    coil.m_StrandDiameter = 0.0375e-3;
    coil.m_StrandCount = 178;
    coil.m_LitzFactor = litzFactor;
}

double NagaokaInductance(const CCoil& coil)
{
    const double k = CEquations::NagaokaCoefficient(coil.m_Length / coil.m_Diameter);
    return CEquations::SolenoidInductance(coil.m_Turns, coil.m_Diameter, coil.m_Length, k,
                                          coil.m_ApparentPermeability);
}

} // namespace

TEST(Coil, ResetGivesTheDocumentedStartValues)
{
    CCoil coil;
    coil.m_Inductance = 1.0;
    coil.m_HasCore = true;
    coil.m_Message = "x";
    coil.m_WallThickness = 1e-3;
    coil.Reset();
    EXPECT_EQ(coil.m_Inductance, 0.0);
    EXPECT_FALSE(coil.m_HasCore);
    EXPECT_EQ(coil.m_Message, "");
    EXPECT_EQ(coil.m_WallThickness, 2.0);
    EXPECT_EQ(coil.m_WirePermeability, 1.0);
    EXPECT_EQ(coil.m_ExternalPermittivity, 1.0);
    EXPECT_EQ(coil.m_ApparentPermeability, 1.0);
    EXPECT_EQ(coil.m_LossFactorFrequency, 1000.0);
}

TEST(Coil, DiameterTurnsPitchWorkedExample)
{
    CCoil coil;
    SetFortyTurns(coil);
    ASSERT_TRUE(coil.SolveGeometry());
    EXPECT_EQ(coil.m_Message, "");
    EXPECT_NEAR(coil.m_Length, 27.2e-3, 1e-15);
    EXPECT_NEAR(coil.m_LengthToDiameter, 1.583236, 1e-6);
    // mu0 pi D^2 N^2 K / (4 l) with K = 0.779643: 13.3596 uH.
    EXPECT_NEAR(coil.m_Inductance, 13.35959e-6, 1e-11);
    EXPECT_NEAR(coil.m_WireLength, 2.159074, 1e-6);
    EXPECT_EQ(coil.m_ReferenceInductance, coil.m_Inductance);
}

TEST(Coil, FullAnalysisOfASolidWireCoil)
{
    CCoil coil;
    SetWireAndFormer(coil);
    SetFortyTurns(coil);
    ASSERT_TRUE(coil.SolveGeometry());
    ASSERT_TRUE(coil.ComputeLosses());
    ASSERT_TRUE(coil.Analyse());

    EXPECT_NEAR(coil.m_RDc, 0.1163606, 1e-7);
    EXPECT_NEAR(coil.m_SkinDepth, 65.2341e-6, 1e-10);
    EXPECT_NEAR(coil.m_RAcWire, 0.3133889, 1e-7); // shell formula
    EXPECT_NEAR(coil.m_RAcCoil, 1.2421599, 1e-7); // proximity factor 3.963637
    EXPECT_NEAR(coil.m_Impedance.m_Imag, 83.940755, 1e-6);
    EXPECT_NEAR(coil.m_Impedance.m_Real, coil.m_RAcCoil, 1e-15);
    EXPECT_NEAR(coil.m_CAxial, 0.3055215e-12, 1e-19);
    EXPECT_NEAR(coil.m_RFormer, 5.565227e-6, 1e-12);
    EXPECT_EQ(coil.m_RCore, 0.0);
    EXPECT_NEAR(coil.m_Q, 67.576148, 1e-5);
    EXPECT_NEAR(coil.m_CSelfResonant, 0.7238925e-12, 1e-19);
    EXPECT_NEAR(coil.m_FSelfResonant, 51.17839e6, 10.0);
    EXPECT_NEAR(coil.m_Alpha, 0.9996182, 1e-7);
    EXPECT_NEAR(coil.m_QEff, 67.550348, 1e-5);
    EXPECT_NEAR(coil.m_FormerInnerDiameter, 13.18e-3, 1e-15);
    EXPECT_NEAR(coil.m_PitchAngle, std::atan(0.68 / (CEquations::Pi * 17.18)), 1e-15);

    // Extra circuit capacitance adds to the self-capacitance.
    coil.m_CExtra = 10e-12;
    coil.Analyse();
    EXPECT_NEAR(coil.m_CSelfResonant, 10.7238925e-12, 1e-19);
}

TEST(Coil, GivenInductancePitchAndDiameterReturnsTheRequestedInductance)
{
    CCoil coil;
    coil.m_Inductance = 300e-6;
    coil.m_Diameter = 17.18e-3;
    coil.m_Pitch = 0.68e-3;
    coil.SetMode(CCoil::ModeInductancePitchDiameter);
    ASSERT_TRUE(coil.SolveGeometry());
    EXPECT_EQ(coil.m_Inductance, 300e-6);
    EXPECT_EQ(coil.m_ReferenceInductance, 300e-6);
    // The geometry is within the 1 uH tolerance of the bisection.
    EXPECT_NEAR(NagaokaInductance(coil), 300e-6, 1e-6);
    EXPECT_NEAR(coil.m_Turns, coil.m_Length / coil.m_Pitch, 1e-9);
    EXPECT_NEAR(coil.m_LengthToDiameter, coil.m_Length / coil.m_Diameter, 1e-12);
    EXPECT_GT(coil.m_WireLength, CEquations::Pi * coil.m_Diameter * coil.m_Turns);
}

TEST(Coil, GivenInductancePitchAndRatioInvertsTheInductanceFormula)
{
    CCoil coil;
    coil.m_Inductance = 300e-6;
    coil.m_Pitch = 0.68e-3;
    coil.m_LengthToDiameter = 0.407;
    coil.m_ApparentPermeability = 16.9;
    coil.SetMode(CCoil::ModeInductancePitchRatio);
    ASSERT_TRUE(coil.SolveGeometry());
    EXPECT_NEAR(coil.m_Length, 0.407 * coil.m_Diameter, 1e-15);
    EXPECT_NEAR(NagaokaInductance(coil), 300e-6, 1e-15);
}

TEST(Coil, GivenInductanceDiameterLengthTurns)
{
    CCoil coil;
    coil.m_Inductance = 250e-6;
    coil.m_Diameter = 0.02;
    coil.m_Length = 0.03;
    coil.m_Turns = 60;
    coil.SetMode(CCoil::ModeInductanceDiameterLengthTurns);
    ASSERT_TRUE(coil.SolveGeometry());
    EXPECT_EQ(coil.m_Inductance, 250e-6);
    EXPECT_DOUBLE_EQ(coil.m_Pitch, 0.0005);
    EXPECT_DOUBLE_EQ(coil.m_LengthToDiameter, 1.5);
}

TEST(Coil, MissingInputsFailWithTheModesMessage)
{
    struct Case
    {
        int mode;
        const char* message;
    };
    const Case cases[] = {
        {0, "Coil inductance, pitch and coil length to diameter ratio must be specified!"},
        {1, "Coil inductance , pitch and diameter must be specified!"},
        {2, "Coil diameter, number of turns and pitch must be specified!"},
        {3, "Coil inductance, diamter, length and number of turns must be specified!"},
    };
    for (const Case& c : cases)
    {
        CCoil coil;
        coil.SetMode(c.mode);
        EXPECT_FALSE(coil.SolveGeometry()) << c.mode;
        EXPECT_EQ(coil.m_Message, c.message);
    }

    // One missing input among the others is enough.
    CCoil coil;
    SetFortyTurns(coil);
    coil.m_Pitch = -0.1e-3;
    coil.m_Inductance = 5e-6;
    EXPECT_FALSE(coil.SolveGeometry());
    EXPECT_EQ(coil.m_Message, "Coil diameter, number of turns and pitch must be specified!");
    // The reference inductance is copied whatever the outcome.
    EXPECT_EQ(coil.m_ReferenceInductance, 5e-6);

    // A later success clears the message; an unknown mode solves nothing.
    SetFortyTurns(coil);
    EXPECT_TRUE(coil.SolveGeometry());
    EXPECT_EQ(coil.m_Message, "");
    coil.SetMode(7);
    EXPECT_FALSE(coil.SolveGeometry());
}

TEST(Coil, ProximityTableCornersAndInterpolation)
{
    EXPECT_DOUBLE_EQ(CCoil::ProximityFactor(1.0, 0.0), 5.31);
    EXPECT_DOUBLE_EQ(CCoil::ProximityFactor(10.0, 9999.9), 1.05);
    EXPECT_DOUBLE_EQ(CCoil::ProximityFactor(1.429, 0.6), 2.38); // a table cell
    // Between 1.33, 1.21, 1.38, 1.22 (p/d 2.5..3.333, l/D 0.4..0.6).
    EXPECT_NEAR(CCoil::ProximityFactor(3.0, 0.5), 1.2709664, 1e-7);
    // Linear extrapolation beyond the last column: 1.07 + (1.02 - 1.07) * 1.2, and at 15
    // (1.07 + (1.02 - 1.07) * 2 = 0.97) held at 1, no proximity effect.
    EXPECT_NEAR(CCoil::ProximityFactor(11.0, 0.0), 1.01, 1e-12);
    EXPECT_EQ(CCoil::ProximityFactor(15.0, 0.0), 1.0);
    // Below the first column and row the first ones hold.
    EXPECT_DOUBLE_EQ(CCoil::ProximityFactor(0.5, -1.0), 5.31);
    EXPECT_DOUBLE_EQ(CCoil::ProximityFactor(0.9, 0.2), 5.45);
}

TEST(Coil, ProximityFactorBeyondTheTableNeverFallsBelowNoProximityEffect)
{
    // Each row extrapolates down from its p/d = 10 value to 1 and stays there; the factor
    // never rises with the pitch.
    for (double ratio : {0.0, 0.3, 1.0, 5.0, 10.0, 50.0, 9999.9, 20000.0})
    {
        double previous = CCoil::ProximityFactor(5.0, ratio);
        for (double pitch = 5.5; pitch <= 200.0; pitch += 0.5)
        {
            const double factor = CCoil::ProximityFactor(pitch, ratio);
            EXPECT_GE(factor, 1.0) << pitch << " " << ratio;
            EXPECT_LE(factor, previous) << pitch << " " << ratio;
            previous = factor;
        }
        EXPECT_EQ(CCoil::ProximityFactor(1000.0, ratio), 1.0);
    }
    // Where the extrapolation is still above 1 it is kept: 1.05 + (1.05 - 1.19) / 5 * 0.5.
    EXPECT_NEAR(CCoil::ProximityFactor(10.5, 9999.9), 1.036, 1e-12);
}

TEST(Coil, WidelySpacedThinWireHasAtLeastItsStraightWireResistance)
{
    // 20 turns of 0.01 mm wire at a 10 mm pitch on 17.18 mm: p/d = 1000, where the
    // extrapolated factor was -25 and R(AC) some -5,800 ohm.
    CCoil coil;
    SetWireAndFormer(coil);
    coil.m_ConductorDiameter = 0.01e-3;
    coil.m_WireDiameter = 0.01e-3;
    coil.m_Diameter = 17.18e-3;
    coil.m_Turns = 20.0;
    coil.m_Pitch = 10e-3;
    coil.SetMode(CCoil::ModeDiameterTurnsPitch);
    ASSERT_TRUE(coil.SolveGeometry());
    coil.ComputeLosses();
    EXPECT_GT(coil.m_RDc, 0.0);
    EXPECT_GE(coil.m_RAcWire, coil.m_RDc);
    EXPECT_EQ(coil.m_RAcCoil, coil.m_RAcWire);
    EXPECT_GT(coil.m_Q, 0.0);
}

TEST(Coil, LitzWireUsesTheClosedFormLawBelowOneSkinDepth)
{
    CCoil coil;
    SetLitzCoil(coil, 1.6);
    ASSERT_TRUE(coil.SolveGeometry());
    coil.ComputeLosses();
    EXPECT_NEAR(coil.m_RDc, 0.18450339, 1e-8);
    EXPECT_NEAR(coil.m_RAcWire, 0.29545712, 1e-8);
    // 1 + (F - 1)(k - 1) with F = 3.963637.
    EXPECT_NEAR(coil.m_RAcCoil, 0.82083361, 1e-8);

    // A litz factor of 1 removes the proximity effect.
    coil.m_LitzFactor = 1.0;
    coil.ComputeLosses();
    EXPECT_DOUBLE_EQ(coil.m_RAcCoil, coil.m_RAcWire);
}

TEST(Coil, WireResistanceStaysFiniteWhereTheSkinDepthMeetsTheConductor)
{
    // 37.5 um strands at about 3 MHz are one skin depth across; the resistance must stay
    // near the DC value there, with no jump where the shell formula takes over at 2 skin depths.
    CCoil coil;
    SetLitzCoil(coil, 1.0);
    ASSERT_TRUE(coil.SolveGeometry());
    const double oneSkinDepth =
        1.68e-8 / (CEquations::Pi * CEquations::Mu0 * 0.0375e-3 * 0.0375e-3);
    for (double f : {oneSkinDepth * 0.999, oneSkinDepth, oneSkinDepth * 1.001})
    {
        coil.m_Frequency = f;
        coil.ComputeLosses();
        EXPECT_TRUE(std::isfinite(coil.m_RAcWire)) << f;
        EXPECT_GT(coil.m_RAcWire, coil.m_RDc);
        EXPECT_LT(coil.m_RAcWire, 1.1 * coil.m_RDc);
    }
    const double twoSkinDepths = 4.0 * oneSkinDepth;
    coil.m_Frequency = twoSkinDepths * 0.9999;
    coil.ComputeLosses();
    const double closedForm = coil.m_RAcWire;
    coil.m_Frequency = twoSkinDepths * 1.0001;
    coil.ComputeLosses();
    EXPECT_NEAR(coil.m_RAcWire / closedForm, 1.0, 0.03);
}

TEST(Coil, CoreAddsPermeabilityAndLoss)
{
    CCoil coil;
    SetWireAndFormer(coil);
    SetFortyTurns(coil);
    coil.m_HasCore = true;
    coil.m_RodDiameter = 9.68e-3;
    coil.m_RodLength = 0.18;
    coil.m_CoreCoilDiameter = 17.18e-3;
    coil.m_Length = 27.2e-3;
    coil.m_LossFactor = 68.3;
    coil.m_LossFactorFrequency = 1.5e6;
    coil.m_InitialPermeability = 120.0;
    coil.m_GapExponent = 0.8453;
    coil.m_LengthExponent = 0.3598;
    ASSERT_TRUE(coil.ComputeApparentPermeability(120.0, 0.8453, 0.3598, 0.0));
    const double mu = coil.m_ApparentPermeability;
    double geometry = 0;
    double length = 0;
    EXPECT_DOUBLE_EQ(mu, CEquations::ApparentPermeability({.m_InitialPermeability = 120.0,
                                                           .m_RodDiameter = 9.68e-3,
                                                           .m_RodLength = 0.18,
                                                           .m_CoilDiameter = 17.18e-3,
                                                           .m_CoilLength = 27.2e-3,
                                                           .m_GapExponent = 0.8453,
                                                           .m_LengthExponent = 0.3598,
                                                           .m_Offset = 0.0},
                                                          geometry, length));
    EXPECT_DOUBLE_EQ(coil.m_GeometryFactor, geometry);
    EXPECT_DOUBLE_EQ(coil.m_LengthFactor, length);
    coil.m_ReferencePermeability = mu;

    ASSERT_TRUE(coil.SolveGeometry());
    EXPECT_NEAR(coil.m_Inductance, mu * 13.35959e-6, 1e-9);
    coil.ComputeLosses();
    coil.Analyse();
    // X mu_a (68.3e-6) f / 1.5 MHz.
    const double x = coil.m_Impedance.m_Imag;
    EXPECT_NEAR(coil.m_RCore, x * mu * 68.3e-6 / 1.5, 1e-9);
    EXPECT_NEAR(coil.m_Impedance.m_Real, coil.m_RAcCoil + coil.m_RCore, 1e-12);
    EXPECT_NEAR(coil.m_Q, x / (coil.m_RFormer + coil.m_RAcCoil + coil.m_RCore), 1e-9);
    const double q = coil.m_Q;
    const double inductance = coil.m_Inductance;

    // Moving the winding back to where the permeability was taken changes nothing.
    coil.MoveCore(-coil.m_Length / 2);
    EXPECT_DOUBLE_EQ(coil.m_CoreOffset, 0.0);
    EXPECT_DOUBLE_EQ(coil.m_Inductance, inductance);
    EXPECT_NEAR(coil.m_Q, q, 1e-9);
    // Towards the rod's end the permeability and the inductance fall together.
    coil.MoveCore(0.02);
    EXPECT_LT(coil.m_ApparentPermeability, mu);
    EXPECT_DOUBLE_EQ(coil.m_Inductance,
                     coil.m_ApparentPermeability / mu * coil.m_ReferenceInductance);

    // Without a core the permeability is 1 and MoveCore does nothing.
    coil.ResetCore();
    EXPECT_EQ(coil.m_RCore, 0.0);
    coil.ComputeApparentPermeability(120.0, 0.8453, 0.3598, 0.0);
    EXPECT_EQ(coil.m_ApparentPermeability, 1.0);
    const double before = coil.m_Inductance;
    coil.MoveCore(0.01);
    EXPECT_EQ(coil.m_Inductance, before);
}

TEST(Coil, SplitAtTapDividesInductanceAndLoss)
{
    CCoil coil;
    SetWireAndFormer(coil);
    SetFortyTurns(coil);
    ASSERT_TRUE(coil.SolveGeometry());
    coil.ComputeLosses();
    ASSERT_TRUE(coil.SplitAtTap(10));
    EXPECT_DOUBLE_EQ(coil.m_TapRatio, 0.25);
    EXPECT_DOUBLE_EQ(coil.m_TapSection.m_Value, coil.m_Inductance / 4);
    EXPECT_DOUBLE_EQ(coil.m_TapSection.m_Resistance, coil.m_RAcCoil / 4);
    EXPECT_DOUBLE_EQ(coil.m_RestSection.m_Value, coil.m_Inductance * 0.75);
    EXPECT_NEAR(coil.m_TapSection.m_Impedance.m_Imag + coil.m_RestSection.m_Impedance.m_Imag,
                coil.m_Impedance.m_Imag, 1e-9);
    EXPECT_EQ(coil.m_RestSection.m_Kind, CComponant::Inductor);

    CCoil empty;
    EXPECT_FALSE(empty.SplitAtTap(3));
}
