// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Complex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr double Pi = 3.141592653589793;
constexpr double Largest = std::numeric_limits<double>::max();
} // namespace

TEST(Complex, PolarPairFollowsTheQuadrant)
{
    // Hand values: atan of the ratio shifted by pi into the left half plane.
    EXPECT_DOUBLE_EQ(CComplex(1, 1).phase, Pi / 4);
    EXPECT_DOUBLE_EQ(CComplex(-1, 1).phase, 3 * Pi / 4);
    EXPECT_DOUBLE_EQ(CComplex(-1, -1).phase, -3 * Pi / 4);
    EXPECT_DOUBLE_EQ(CComplex(-2, 0).phase, Pi);
    EXPECT_DOUBLE_EQ(CComplex(0, -3).phase, -Pi / 2);
    EXPECT_DOUBLE_EQ(CComplex(3, 4).magnitude, 5.0);
    // A zero value has phase +pi/2.
    EXPECT_DOUBLE_EQ(CComplex(0, 0).phase, Pi / 2);
}

TEST(Complex, AssignmentFromANumberKeepsItsSign)
{
    CComplex c(1, 1);
    const CComplex copy = (c = -5.0);
    EXPECT_EQ(c.magnitude, -5.0);
    EXPECT_EQ(c.phase, 0.0);
    EXPECT_EQ(copy.real, -5.0);
    // Any operation recomputes the polar pair from the rectangular one.
    const CComplex product = c * 2.0;
    EXPECT_DOUBLE_EQ(product.magnitude, 10.0);
    EXPECT_DOUBLE_EQ(product.phase, Pi);
    EXPECT_NEAR(product.real, -10.0, 1e-12);
}

TEST(Complex, ProductsAndQuotientsWorkOnThePolarPairUnfolded)
{
    const CComplex a = CComplex::FromPolar(2.0, 2 * Pi / 3);
    const CComplex p = a * a;
    EXPECT_DOUBLE_EQ(p.magnitude, 4.0);
    EXPECT_NEAR(p.phase, 4 * Pi / 3, 1e-12); // 240 degrees, not -120
    EXPECT_NEAR(p.real, -2.0, 1e-12);
    EXPECT_NEAR(p.imag, -4.0 * std::sqrt(3.0) / 2, 1e-12);

    const CComplex q = CComplex(1, 1) / CComplex(0, 2);
    EXPECT_NEAR(q.real, 0.5, 1e-15);
    EXPECT_NEAR(q.imag, -0.5, 1e-15);

    const CComplex s = CComplex(1, 2) - CComplex(4, -2);
    EXPECT_EQ(s.real, -3.0);
    EXPECT_EQ(s.imag, 4.0);
    EXPECT_DOUBLE_EQ(s.magnitude, 5.0);
}

TEST(Complex, DivisionByZeroMagnitudeGivesTheLargestDouble)
{
    const CComplex q = CComplex(1, 1) / CComplex();
    EXPECT_EQ(q.magnitude, Largest);
    EXPECT_DOUBLE_EQ(q.phase, Pi / 4 - Pi / 2);
    EXPECT_TRUE(std::isfinite(q.real));
}

TEST(Complex, SquareRootIsThePrincipalRoot)
{
    const CComplex r = CComplex(-4, 0).Sqrt();
    EXPECT_NEAR(r.real, 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(r.imag, 2.0);
    const CComplex s = CComplex(3, -4).Sqrt(); // (2 - j)^2 = 3 - 4j
    EXPECT_NEAR(s.real, 2.0, 1e-15);
    EXPECT_NEAR(s.imag, -1.0, 1e-15);
}

TEST(Impedance, ReportTextsOfTheWorkedExample)
{
    // 50 ohm in series with -159.15 ohm: |z| = 166.82, angle -72.56 degrees (hand calculation).
    CImpedance z;
    z.SetRectangular(50.0, -159.15);
    EXPECT_EQ(z.FormatRectangular(), "50.00 - j159.15");
    EXPECT_EQ(z.FormatPolar(), "166.82 <-72.56");
    EXPECT_EQ(z.ToComplex().Format(), "50.00 - j159.15");

    CImpedance zero;
    zero.SetRectangular(0.0, 0.0);
    EXPECT_EQ(zero.FormatPolar(), "0.00 <90.00");

    CImpedance negativeZero;
    negativeZero.SetRectangular(1234.5, -0.0);
    EXPECT_EQ(negativeZero.FormatRectangular(), "1,234.50 + j0.00");
}

TEST(Impedance, FormatPolarPrintsTheUnfoldedAngle)
{
    CImpedance a;
    a.SetPolar(1.0, 2 * Pi / 3);
    EXPECT_EQ((a * a).FormatPolar(), "1.00 <240.00");
}

TEST(Impedance, OperandsUseOnlyTheirRectangularPair)
{
    CImpedance negative;
    negative = -5.0;
    EXPECT_EQ(negative.m_Magnitude, -5.0);
    CImpedance stale;
    stale.m_Real = 3.0;
    stale.m_Imag = 4.0; // polar pair left at zero on purpose
    const CImpedance sum = negative + stale;
    EXPECT_DOUBLE_EQ(sum.m_Real, -2.0);
    EXPECT_DOUBLE_EQ(sum.m_Magnitude, std::sqrt(20.0));
    const CImpedance product = stale * 2.0;
    EXPECT_DOUBLE_EQ(product.m_Magnitude, 10.0);
    EXPECT_NEAR((2.0 * stale).m_Imag, 8.0, 1e-12);
    EXPECT_NEAR((1.0 + stale).m_Real, 4.0, 1e-12);
    EXPECT_NEAR((stale / 2.0).m_Real, 1.5, 1e-12);

    CImpedance reactance;
    reactance.SetRectangular(0.0, 2.0);
    const CImpedance inverse = 1.0 / reactance;
    EXPECT_NEAR(inverse.m_Real, 0.0, 1e-15);
    EXPECT_NEAR(inverse.m_Imag, -0.5, 1e-15);
}

TEST(Impedance, SetComponentGivesTheReactanceAtTheFrequency)
{
    CImpedance z;
    // 253 uH at 1 MHz: 2*pi*1e6*253e-6 = 1589.645 ohm (hand calculation).
    z.SetComponent(CImpedance::Inductor, 253e-6, 4.0, 1e6);
    EXPECT_NEAR(z.m_Imag, 1589.645, 1e-3);
    EXPECT_EQ(z.m_Real, 4.0);
    EXPECT_NEAR(z.m_Magnitude, std::hypot(4.0, 1589.645), 1e-3);
    // 100 pF at 1 MHz: -1/(2*pi*1e6*100e-12) = -1591.549 ohm.
    z.SetComponent(CImpedance::Capacitor, 100e-12, 0.0, 1e6);
    EXPECT_NEAR(z.m_Imag, -1591.549, 1e-3);
    EXPECT_DOUBLE_EQ(z.m_Phase, -Pi / 2);
    // A negative inductance gives a negative reactance.
    z.SetComponent(CImpedance::Inductor, -1e-6, 0.0, 1e6);
    EXPECT_NEAR(z.m_Imag, -6.283185, 1e-6);
}

TEST(Impedance, SetComponentWithoutFrequencyOrValueIsPurelyResistive)
{
    CImpedance z;
    z.SetComponent(CImpedance::Inductor, 1e-3, 12.0, 0.0);
    EXPECT_EQ(z.m_Imag, 0.0);
    EXPECT_EQ(z.m_Real, 12.0);
    z.SetComponent(CImpedance::Capacitor, 0.0, 7.0, 1e6);
    EXPECT_EQ(z.m_Imag, 0.0);
    EXPECT_EQ(z.m_Magnitude, 7.0);
    z.SetComponent(CImpedance::Resistor, 1e-3, 50.0, 1e6);
    EXPECT_EQ(z.m_Imag, 0.0);
}

TEST(Impedance, ParallelCombination)
{
    CImpedance a;
    CImpedance b;
    CImpedance p;
    a.SetRectangular(100.0, 0.0);
    b.SetRectangular(100.0, 0.0);
    p.Parallel(a, b);
    EXPECT_NEAR(p.m_Real, 50.0, 1e-12);
    EXPECT_NEAR(p.m_Imag, 0.0, 1e-12);

    // (3+4j)(3-4j)/(6) = 25/6 (hand calculation).
    a.SetRectangular(3.0, 4.0);
    b.SetRectangular(3.0, -4.0);
    p.Parallel(a, b);
    EXPECT_NEAR(p.m_Real, 25.0 / 6.0, 1e-12);
    EXPECT_NEAR(p.m_Imag, 0.0, 1e-12);

    // A lossless inductor and capacitor at resonance: the sum is zero.
    a.SetRectangular(0.0, 100.0);
    b.SetRectangular(0.0, -100.0);
    p.Parallel(a, b);
    EXPECT_EQ(p.m_Magnitude, Largest);
    EXPECT_DOUBLE_EQ(p.m_Phase, -Pi / 2);
}

TEST(Impedance, AssignmentsReturnTheAssignedValue)
{
    CImpedance a;
    a.SetRectangular(1.0, 2.0);
    CImpedance b;
    const CImpedance copy = (b = a);
    EXPECT_EQ(b.m_Imag, 2.0);
    EXPECT_EQ(copy.m_Magnitude, a.m_Magnitude);
}

TEST(ComplexHelpers, DegreesAndInverseHyperbolicCosine)
{
    EXPECT_DOUBLE_EQ(RadToDeg(Pi), 180.0);
    EXPECT_DOUBLE_EQ(RadToDeg(-Pi / 2), -90.0);
    EXPECT_EQ(ArcCosh(1.0), 0.0);
    EXPECT_NEAR(ArcCosh(std::cosh(2.0)), 2.0, 1e-12);
}
