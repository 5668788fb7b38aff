// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Componant.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double TwoPi = 6.283185307179586;

CImpedance Rect(double r, double x)
{
    CImpedance z;
    z.SetRectangular(r, x);
    return z;
}
} // namespace

TEST(Componant, NewComponentIsEmpty)
{
    CComponant c;
    EXPECT_EQ(c.m_Kind, 0);
    EXPECT_EQ(c.m_Value, 0.0);
    EXPECT_EQ(c.m_Resistance, 0.0);
    EXPECT_EQ(c.m_Impedance.m_Magnitude, 0.0);
    EXPECT_EQ(c.Label(), "R0.00");
}

TEST(Componant, LabelsInReportUnits)
{
    CComponant c;
    c.Set(CComponant::Inductor, 253e-6, 3.0);
    EXPECT_EQ(c.Label(), "L253.00");
    c.Set(CComponant::Capacitor, 1.5e-9, 0.0);
    EXPECT_EQ(c.Label(), "C1,500.00");
    c.Set(CComponant::Resistor, 0.0, 47000.0);
    EXPECT_EQ(c.Label(), "R47,000.00");
}

TEST(Componant, SetKeepsThePreviousImpedanceUntilComputed)
{
    CComponant c;
    c.Set(CComponant::Inductor, 253e-6, 3.0);
    c.ComputeImpedance(1e6);
    const double x = c.m_Impedance.m_Imag;
    c.Set(CComponant::Capacitor, 100e-12, 0.0);
    EXPECT_EQ(c.m_Impedance.m_Imag, x);
    EXPECT_TRUE(c.ComputeImpedance(1e6));
    EXPECT_NEAR(c.m_Impedance.m_Imag, -1591.549, 1e-3);
}

TEST(Componant, SetFromImpedanceFindsTheComponent)
{
    CComponant c;
    // -159.155 ohm at 1 MHz is 1 nF: 1/(2 pi 1e6 159.155) (hand calculation).
    EXPECT_TRUE(c.SetFromImpedance(Rect(50.0, -1.0 / (TwoPi * 1e6 * 1e-9)), 1e6));
    EXPECT_EQ(c.m_Kind, CComponant::Capacitor);
    EXPECT_NEAR(c.m_Value, 1e-9, 1e-21);
    EXPECT_EQ(c.m_Resistance, 50.0);
    EXPECT_NEAR(c.m_Impedance.m_Imag, -159.155, 1e-3);

    c.SetFromImpedance(Rect(2.0, TwoPi * 1e6 * 253e-6), 1e6);
    EXPECT_EQ(c.m_Kind, CComponant::Inductor);
    EXPECT_NEAR(c.m_Value, 253e-6, 1e-15);

    // Exactly +-0.001 ohm counts as no reactance.
    for (double x : {0.001, -0.001, 0.0})
    {
        c.SetFromImpedance(Rect(8.0, x), 1e6);
        EXPECT_EQ(c.m_Kind, CComponant::Resistor) << x;
        EXPECT_EQ(c.m_Value, 0.0);
        EXPECT_EQ(c.m_Resistance, 8.0);
        EXPECT_EQ(c.m_Impedance.m_Imag, 0.0);
    }
}

TEST(Componant, SetCancellingUsesAFiveOhmThreshold)
{
    CComponant c;
    // 1591.549 ohm inductive at 1 MHz is cancelled by 100 pF; 20 pF is already there.
    c.SetCancelling(Rect(10.0, 1.0 / (TwoPi * 1e6 * 100e-12)), 1e6, 20e-12);
    EXPECT_EQ(c.m_Kind, CComponant::Capacitor);
    EXPECT_NEAR(c.m_Value, 80e-12, 1e-22);
    EXPECT_EQ(c.m_Resistance, 0.0);

    c.SetCancelling(Rect(10.0, -TwoPi * 1e6 * 253e-6), 1e6, 0.0);
    EXPECT_EQ(c.m_Kind, CComponant::Inductor);
    EXPECT_NEAR(c.m_Value, 253e-6, 1e-15);

    for (double x : {5.0, -5.0, 1.0})
    {
        c.SetCancelling(Rect(10.0, x), 1e6, 0.0);
        EXPECT_EQ(c.m_Kind, CComponant::Resistor) << x;
        EXPECT_EQ(c.m_Value, 0.0);
        EXPECT_EQ(c.m_Impedance.m_Real, 0.0);
    }

    // More capacitance already present than needed: a negative capacitance, whose
    // reactance comes out positive.
    c.SetCancelling(Rect(0.0, 1.0 / (TwoPi * 1e6 * 100e-12)), 1e6, 150e-12);
    EXPECT_NEAR(c.m_Value, -50e-12, 1e-22);
    EXPECT_GT(c.m_Impedance.m_Imag, 0.0);
}
