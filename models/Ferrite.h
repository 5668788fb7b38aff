// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Equations.h"

// The two measured coils, for CFerrite::SetCoils. Lengths in m; the four inductances in any
// one unit.
struct CFerriteCoils
{
    double m_Coil1Diameter = 0.0; // m
    double m_Coil1Length = 0.0;   // m
    double m_L1Air = 0.0;         // inductance of coil 1 without the rod
    double m_L1Core = 0.0;        // inductance of coil 1 on the rod
    double m_Coil2Diameter = 0.0; // m
    double m_Coil2Length = 0.0;   // m
    double m_L2Air = 0.0;         // inductance of coil 2 without the rod
    double m_L2Core = 0.0;        // inductance of coil 2 on the rod
};

// Fits the two exponents of a ferrite rod's apparent-permeability law from two coils of
// different lengths, each measured with and without the rod. Lengths in metres; the four
// inductances in any one unit, since only their ratios count.
class CFerrite
{
public:
    CEquations m_Equations;
    double m_RodDiameter = 0.0;         // d, m
    double m_RodLength = 0.0;           // l, m
    double m_InitialPermeability = 0.0; // initial relative permeability of the rod material
    double m_L1Core = 0.0;              // inductance of coil 1 on the rod
    double m_L1Air = 0.0;               // inductance of coil 1 without the rod
    double m_L2Core = 0.0;              // inductance of coil 2 on the rod
    double m_L2Air = 0.0;               // inductance of coil 2 without the rod
    double m_Coil1Diameter = 0.0;       // m
    double m_Coil2Diameter = 0.0;       // m (stored, not used by the fit)
    double m_Coil1Length = 0.0;         // m
    double m_Coil2Length = 0.0;         // m
    bool m_HasRod = false;
    bool m_HasCoils = false;
    double m_Ua1 = 0.0;         // apparent relative permeability measured with coil 1
    double m_Ua2 = 0.0;         // apparent relative permeability measured with coil 2
    double m_LengthPower = 0.0; // power of the coil length found from the two coils
    double m_Beta0 = 0.0;       // length exponent
    double m_Alpha = 0.0;       // gap exponent
    double m_Coeff = 0.0;       // geometry factor of coil 1 under the fitted law

    CFerrite() = default;
    virtual ~CFerrite() = default;

    // Clears the inputs and both flags; the results stay.
    void Reset();
    void SetRod(double rodDiameter, double rodLength, double initialPermeability);
    void SetCoils(const CFerriteCoils& coils);
    // False (with Ua1, Ua2, Alpha and Beta0 zero) until both the rod and the coils are set.
    // Equal coil lengths, or a coil as wide as the rod, give infinite or NaN exponents.
    bool Calculate();
};
