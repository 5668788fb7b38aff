// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Componant.h"

#include "models/FormatNumber.h"

#include <cmath>

namespace
{

constexpr double TwoPi = 6.283185307179586;
// Below these reactances (ohm) a component counts as a plain resistor.
constexpr double ReactanceThreshold = 0.001;
constexpr double CancellingThreshold = 5.0;

} // namespace

void CComponant::Set(int kind, double value, double resistance)
{
    m_Kind = kind;
    m_Value = value;
    m_Resistance = resistance;
}

bool CComponant::ComputeImpedance(double frequency)
{
    return m_Impedance.SetComponent(m_Kind, m_Value, m_Resistance, frequency);
}

std::string CComponant::Label() const
{
    switch (m_Kind)
    {
    case Inductor:
        return "L" + FormatNumber(m_Value / 1e-6, 2);
    case Capacitor:
        return "C" + FormatNumber(m_Value / 1e-12, 2);
    default:
        return "R" + FormatNumber(m_Resistance, 2);
    }
}

bool CComponant::SetFromImpedance(CImpedance z, double frequency)
{
    const double w = TwoPi * frequency;
    const double x = z.m_Imag;
    if (x < 0 && std::fabs(x) > ReactanceThreshold)
    {
        m_Kind = Capacitor;
        m_Value = std::fabs(1.0 / (w * x));
    }
    else if (x > 0 && std::fabs(x) > ReactanceThreshold)
    {
        m_Kind = Inductor;
        m_Value = std::fabs(x) / w;
    }
    else
    {
        m_Kind = Resistor;
        m_Value = 0.0;
    }
    m_Resistance = z.m_Real;
    return ComputeImpedance(frequency);
}

bool CComponant::SetCancelling(CImpedance z, double frequency, double existingCapacitance)
{
    const double w = TwoPi * frequency;
    const double x = z.m_Imag;
    if (x > CancellingThreshold)
    {
        m_Kind = Capacitor;
        m_Value = 1.0 / (w * x) - existingCapacitance;
    }
    else if (x < -CancellingThreshold)
    {
        m_Kind = Inductor;
        m_Value = std::fabs(x) / w;
    }
    else
    {
        m_Kind = Resistor;
        m_Value = 0.0;
    }
    m_Resistance = 0.0;
    return ComputeImpedance(frequency);
}
