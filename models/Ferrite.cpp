// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Ferrite.h"

#include <cmath>

void CFerrite::Reset()
{
    m_RodDiameter = 0.0;
    m_RodLength = 0.0;
    m_InitialPermeability = 0.0;
    m_L1Core = 0.0;
    m_L1Air = 0.0;
    m_L2Core = 0.0;
    m_L2Air = 0.0;
    m_Coil1Diameter = 0.0;
    m_Coil2Diameter = 0.0;
    m_Coil1Length = 0.0;
    m_Coil2Length = 0.0;
    m_HasRod = false;
    m_HasCoils = false;
}

void CFerrite::SetRod(double rodDiameter, double rodLength, double initialPermeability)
{
    m_RodDiameter = rodDiameter;
    m_RodLength = rodLength;
    m_InitialPermeability = initialPermeability;
    m_HasRod = true;
}

void CFerrite::SetCoils(const CFerriteCoils& coils)
{
    m_Coil1Diameter = coils.m_Coil1Diameter;
    m_Coil1Length = coils.m_Coil1Length;
    m_L1Air = coils.m_L1Air;
    m_L1Core = coils.m_L1Core;
    m_Coil2Diameter = coils.m_Coil2Diameter;
    m_Coil2Length = coils.m_Coil2Length;
    m_L2Air = coils.m_L2Air;
    m_L2Core = coils.m_L2Core;
    m_HasCoils = true;
}

bool CFerrite::Calculate()
{
    m_Ua1 = 0.0;
    m_Ua2 = 0.0;
    m_Beta0 = 0.0;
    m_Alpha = 0.0;
    if (!m_HasRod || !m_HasCoils)
        return false;

    m_Ua1 = m_L1Core / m_L1Air;
    m_Ua2 = m_L2Core / m_L2Air;
    m_LengthPower = std::log10(m_Ua1 / m_Ua2) / std::log10(m_Coil1Length / m_Coil2Length);
    const double ratio = m_RodDiameter / m_Coil1Diameter;
    const double rodPermeability =
        m_Equations.RodPermeability(m_InitialPermeability, m_RodDiameter, m_RodLength);
    m_Alpha = std::log10(m_Ua1 /
                         (rodPermeability * std::pow(m_Coil1Length / m_RodLength, m_LengthPower))) /
              std::log10(ratio);
    m_Beta0 = m_LengthPower * ratio;

    double lengthFactor = 0.0;
    m_Equations.ApparentPermeability({.m_InitialPermeability = m_InitialPermeability,
                                      .m_RodDiameter = m_RodDiameter,
                                      .m_RodLength = m_RodLength,
                                      .m_CoilDiameter = m_Coil1Diameter,
                                      .m_CoilLength = m_Coil1Length,
                                      .m_GapExponent = m_Alpha,
                                      .m_LengthExponent = m_Beta0,
                                      .m_Offset = 0.0},
                                     m_Coeff, lengthFactor);
    return true;
}
