// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/TransmissionLine.h"

bool CTransmissionLine::Calculate()
{
    const double omega = CEquations::TwoPi * m_Frequency;
    const double pairs = m_Pairs;

    if (m_UseGeometry)
    {
        // Pairs in parallel divide the inductance and multiply the capacitance.
        m_InductancePerMetre =
            m_Equations.TwinLineInductance(m_WireDiameter, m_Spacing, m_RelPermeability) / pairs;
        m_CapacitancePerMetre =
            m_Equations.TwinLineCapacitance(m_WireDiameter, m_Spacing, m_RelPermittivity) * pairs;
        m_ConductancePerMetre = 0.0;
    }

    // Both conductors: twice the line length of wire.
    const double radius = m_WireDiameter * 0.5;
    const double area = CEquations::Pi * radius * radius;
    m_RDc = m_Equations.DcResistance(2.0 * m_Length, area, m_Resistivity) / pairs;
    const double skinDepth = m_Equations.SkinDepth(m_Resistivity, m_Frequency, m_RelPermeability);
    m_RAc = m_Equations.AcResistanceRound(m_Resistivity, 2.0 * m_Length, radius, skinDepth) / pairs;

    const double resistancePerMetre = m_RAc / m_Length;
    m_Z0 = m_Equations.CharacteristicImpedance(resistancePerMetre, m_InductancePerMetre,
                                               m_ConductancePerMetre, m_CapacitancePerMetre,
                                               m_Frequency);
    m_Gamma =
        m_Equations.PropagationConstant(resistancePerMetre, m_InductancePerMetre,
                                        m_ConductancePerMetre, m_CapacitancePerMetre, m_Frequency);
    m_ZOpen = m_Equations.OpenLineImpedance(m_Length, m_Z0, m_Gamma);

    const double reactance = m_ZOpen.imag;
    if (reactance >= 0.0)
    {
        m_IsCapacitive = false;
        m_LEquivalent = reactance / omega;
        m_CResonate = m_Equations.ResonantCapacitance(m_Frequency, m_LEquivalent);
        m_CEquivalent = 0.0;
        m_LResonate = 0.0;
    }
    else
    {
        m_IsCapacitive = true;
        m_CEquivalent = -1.0 / (omega * reactance);
        m_LResonate = m_Equations.ResonantCapacitance(m_Frequency, m_CEquivalent);
        m_LEquivalent = 0.0;
        m_CResonate = 0.0;
    }

    m_Beta = m_Gamma.imag;
    m_Wavelength = CEquations::TwoPi / m_Beta;
    m_Velocity = m_Frequency * m_Wavelength;
    m_VelocityFactor = m_Equations.VelocityFactor(m_Velocity);
    return true;
}
