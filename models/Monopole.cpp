// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Monopole.h"

#include <cmath>

CMonopole::CMonopole()
{
    Reset();
}

void CMonopole::Reset()
{
    m_Length1 = m_Angle1 = m_Length2 = m_Angle2 = 0.0;
    m_Diameter = m_Depth = m_Resistivity = m_Frequency = 0.0;
    m_StationPower = m_StationDistance = m_StationGain = 0.0;
    m_GroundDepth = m_GroundDiameter = m_GroundResistivity = 0.0;
    m_RelPermeability = m_RelPermittivity = m_GroundPermittivity = 1.0;
    m_GroundLossFactor = 0.5;
    m_IsCircular = true;
    // A load left from an earlier analysis would show in the report as if entered.
    m_Load = CComponant();
    m_VAntenna = 0.0;
    m_VLoad = CComplex();
    m_ZTotal = CComplex();
    m_RDc = m_RAc = m_RRad = m_RGround = m_RTotal = 0.0;
    m_Wavelength = m_ElectricalWavelength = 0.0;
}

bool CMonopole::Calculate()
{
    const double f = m_Frequency;
    const double omega = CEquations::TwoPi * f;
    m_Length = m_Length1 + m_Length2;
    m_TwiceLength = 2.0 * m_Length;
    const double l = m_Length;
    if (m_Load.m_Value > 0.0)
        m_Load.ComputeImpedance(f);

    m_ConductorInductance =
        m_IsCircular
            ? m_Equations.StraightWireInductance(l, m_Diameter, m_RelPermeability)
            : m_Equations.FlatConductorInductance(l, m_Diameter, m_Depth, m_RelPermeability);
    if (!(m_ConductorInductance > 0.0))
        return false;

    const double radius = m_Diameter * 0.5;
    const double area = m_IsCircular ? CEquations::Pi * radius * radius : m_Diameter * m_Depth;
    m_RDc = m_Equations.DcResistance(l, area, m_Resistivity);
    if (!(m_RDc > 0.0))
        return false;
    const double skinDepth = m_Equations.SkinDepth(m_Resistivity, f, m_RelPermeability);
    m_RAc = m_IsCircular
                ? m_Equations.AcResistanceRound(m_Resistivity, l, radius, skinDepth)
                : m_Equations.AcResistanceFlat(m_Resistivity, l, m_Diameter, m_Depth, skinDepth);
    m_Wavelength = CEquations::SpeedOfLight / f;
    m_RRad = m_Equations.ShortMonopoleRadiationResistance(l, m_Wavelength);
    const double rodResistance =
        m_Equations.GroundRodResistance(m_GroundDepth, m_GroundDiameter, m_GroundResistivity);
    m_RGround = m_Equations.GroundLossResistance(rodResistance, m_Diameter, l, f);
    m_RTotal = m_RRad + m_RAc + m_RGround;

    // The wire as an open line; it supplies the reactance, the resistance is the sum above.
    const double resistancePerMetre = m_RTotal / l;
    const double inductancePerMetre = CEquations::Mu0 * m_RelPermeability;
    const double capacitancePerMetre = CEquations::Epsilon0 * m_RelPermittivity;
    m_Gamma = m_Equations.PropagationConstant(resistancePerMetre, inductancePerMetre, 0.0,
                                              capacitancePerMetre, f);
    m_Beta = m_Gamma.imag;
    m_ElectricalWavelength = CEquations::TwoPi / m_Beta;
    m_Velocity = f * m_ElectricalWavelength;
    m_VelocityFactor = m_Equations.VelocityFactor(m_Velocity);
    m_Z0 = m_Equations.CharacteristicImpedance(resistancePerMetre, inductancePerMetre, 0.0,
                                               capacitancePerMetre, f);
    m_ZAntenna = m_Equations.OpenLineImpedance(l, m_Z0, m_Gamma);
    m_ZAntenna.real = m_RTotal;
    m_ZAntenna.UpdatePolar();
    m_ZIn = m_ZAntenna;

    SetEquivalentComponent(omega);
    if (m_StationPower > 0.0)
        InduceVoltage();
    return true;
}

// The aerial's reactance as the capacitor or inductor it is, and what would resonate it.
void CMonopole::SetEquivalentComponent(double omega)
{
    const double f = m_Frequency;
    const double reactance = m_ZAntenna.imag;
    if (reactance < 0.0)
    {
        m_IsCapacitive = true;
        m_CAntenna = -1.0 / (omega * reactance);
        m_LAntennaResonate = m_Equations.ResonantCapacitance(f, m_CAntenna);
        m_LAntenna = 0.0;
        m_CAntennaResonate = 0.0;
    }
    else
    {
        m_IsCapacitive = false;
        m_LAntenna = reactance / omega;
        m_CAntennaResonate = m_Equations.ResonantCapacitance(f, m_LAntenna);
        m_CAntenna = 0.0;
        m_LAntennaResonate = 0.0;
    }
}

// The voltage the station induces in the aerial; none when there is no field or no height.
void CMonopole::InduceVoltage()
{
    m_VAntenna = 0.0;
    const double field = m_Equations.FieldStrength(m_StationPower, m_StationDistance, m_StationGain,
                                                   m_GroundLossFactor);
    if (!(field > 0.0))
        return;
    // The electrical wavelength of the wire, not the free-space one.
    m_EffectiveHeight = m_Equations.EffectiveHeight(m_ElectricalWavelength, 2.0 * m_Length);
    if (!(m_EffectiveHeight > 0.0))
        return;
    m_VAntenna = m_Equations.InducedVoltage(field, m_EffectiveHeight, m_Length1, m_Angle1,
                                            m_Length2, m_Angle2);
}

void CMonopole::DescribeReceiverEnd()
{
    const double omega = CEquations::TwoPi * m_Frequency;
    const double reactance = m_ZIn.imag;
    m_CIn = 0.0;
    m_LIn = 0.0;
    if (reactance < 0.0)
        m_CIn = -1.0 / (omega * reactance);
    else
        m_LIn = reactance / omega;
    m_IsResistive = m_ZIn.real > std::fabs(10.0 * reactance);
    if (m_CIn > 0.0)
    {
        m_LResonate = -reactance / omega;
        m_CResonate = 0.0;
    }
    else
    {
        m_CResonate = 1.0 / (omega * reactance);
        m_LResonate = 0.0;
    }
}

void CMonopole::UseDirectFeed()
{
    m_ZIn = m_ZAntenna;
    m_IsResistive = false;
    DescribeReceiverEnd();
}

bool CMonopole::UseFeedLine(CTransmissionLine line)
{
    m_IsResistive = false;
    m_ZIn = m_Equations.LineInputImpedance(line.m_Length, line.m_Z0, line.m_Gamma, m_ZAntenna);
    DescribeReceiverEnd();
    // The receiver sees the aerial's resistance plus the line's; the reactance is the transformed
    // one.
    m_ZIn.real = m_ZAntenna.real + line.m_RAc;
    m_ZIn.UpdatePolar();
    return true;
}

bool CMonopole::ComputeLoadVoltage()
{
    m_ZTotal = CComplex();
    m_VLoad = CComplex();
    const CImpedance& load = m_Load.m_Impedance;
    if (m_VAntenna > 0.0 && load.m_Magnitude > 0.0)
    {
        const CComplex zLoad(load.m_Real, load.m_Imag);
        m_ZTotal = m_ZIn + zLoad;
        m_VLoad = m_Equations.VoltageDivider(m_VAntenna, m_ZIn, zLoad);
    }
    return true;
}
