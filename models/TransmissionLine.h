// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Complex.h"
#include "models/Equations.h"

// The feed line between aerial and receiver: a two-wire line of round conductors,
// or N such pairs in parallel, given by its geometry or by its per-metre electrical
// values. Calculate gives the resistances, the line constants, the input impedance
// with the far end open and the wave values on the line.
class CTransmissionLine
{
public:
    CTransmissionLine() = default;
    CTransmissionLine(const CTransmissionLine& other) = default;
    CTransmissionLine& operator=(const CTransmissionLine& other) = default;
    virtual ~CTransmissionLine() = default;

    // All results for the current inputs. Always true.
    bool Calculate();

    double m_Length = 0.0;              // m
    double m_WireDiameter = 0.0;        // m
    double m_InductancePerMetre = 0.0;  // H/m
    double m_CapacitancePerMetre = 0.0; // F/m
    double m_ConductancePerMetre = 0.0; // S/m
    double m_Resistivity = 1.68e-8;     // ohm-metre (copper)
    double m_Spacing = 0.0;             // m, centre to centre
    double m_RelPermeability = 1.0;     // ratio
    double m_RelPermittivity = 1.0;     // ratio, of the insulation
    double m_Pairs = 1.0;               // identical pairs in parallel
    double m_Frequency = 0.0;           // Hz
    bool m_UseGeometry = false;         // derive L', C', G' from the geometry
    CEquations m_Equations;

    double m_RDc = 0.0;            // ohm, both conductors
    double m_RAc = 0.0;            // ohm, both conductors
    CComplex m_Gamma;              // 1/m: alpha (Np/m) + j beta (rad/m)
    double m_Beta = 0.0;           // rad/m
    double m_Velocity = 0.0;       // m/s
    double m_Wavelength = 0.0;     // m
    double m_VelocityFactor = 0.0; // ratio to c
    CComplex m_Z0;                 // ohm
    CComplex m_ZOpen;              // ohm, far end open
    bool m_IsCapacitive = false;   // m_ZOpen has negative reactance
    double m_CEquivalent = 0.0;    // F
    double m_LEquivalent = 0.0;    // H
    double m_LResonate = 0.0;      // H, resonates m_CEquivalent
    double m_CResonate = 0.0;      // F, resonates m_LEquivalent
};

// A plain record of a line's data; no computation reads or writes it.
class CTransLine
{
public:
    virtual ~CTransLine() = default;

    double m_Length = 0.0;          // m
    double m_WireDiameter = 0.0;    // m
    double m_Spacing = 0.0;         // m
    double m_RelPermeability = 1.0; // ratio
    double m_RelPermittivity = 1.0; // ratio
    CImpedance m_Z0;                // ohm
    CImpedance m_ZIn;               // ohm
};
