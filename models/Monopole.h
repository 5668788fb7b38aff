// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Complex.h"
#include "models/Componant.h"
#include "models/Equations.h"
#include "models/TransmissionLine.h"

// The receiving aerial: up to two straight wire elements worked against a ground rod,
// treated as a lossy line open at its far end. Gives the resistances, the impedance at
// the base and at the receiver end (directly or through a feed line), the voltage that
// a distant station induces and the voltage across a load.
class CMonopole
{
public:
    CMonopole();
    virtual ~CMonopole() = default;

    // Inputs to their defaults and the previous load and results cleared.
    void Reset();
    // The aerial by itself at m_Frequency. False when the conductor inductance or
    // the DC resistance is not positive.
    bool Calculate();
    // The receiver straight at the aerial.
    void UseDirectFeed();
    // The receiver through a calculated feed line. Always true.
    bool UseFeedLine(CTransmissionLine line);
    // m_ZTotal and m_VLoad for the current load. Always true.
    bool ComputeLoadVoltage();

    double m_Length1 = 0.0;            // m
    double m_Angle1 = 0.0;             // rad, to the ground
    double m_Length2 = 0.0;            // m
    double m_Angle2 = 0.0;             // rad
    double m_Diameter = 0.0;           // m, diameter (circular) or width (flat)
    double m_Depth = 0.0;              // m, thickness of a flat conductor
    double m_RelPermeability = 1.0;    // ratio, of the conductor
    double m_RelPermittivity = 1.0;    // ratio, around the conductor
    double m_Resistivity = 0.0;        // ohm-metre
    double m_StationPower = 0.0;       // W
    double m_StationDistance = 0.0;    // m
    double m_StationGain = 0.0;        // ratio
    double m_GroundLossFactor = 0.5;   // extra exponent of the distance
    double m_GroundDepth = 0.0;        // m, length of the ground rod
    double m_GroundDiameter = 0.0;     // m
    double m_GroundResistivity = 0.0;  // ohm-metre
    double m_GroundPermittivity = 1.0; // ratio; held only
    double m_Frequency = 0.0;          // Hz
    bool m_IsCircular = true;
    CComponant m_Load; // across the receiver end
    CEquations m_Equations;

    double m_Length = 0.0;               // m, both elements
    double m_TwiceLength = 0.0;          // m
    double m_ConductorInductance = 0.0;  // H
    double m_RDc = 0.0;                  // ohm
    double m_RAc = 0.0;                  // ohm
    double m_RRad = 0.0;                 // ohm
    double m_RGround = 0.0;              // ohm
    double m_RTotal = 0.0;               // ohm
    CComplex m_Gamma;                    // 1/m: alpha (Np/m) + j beta (rad/m)
    double m_Beta = 0.0;                 // rad/m
    double m_Velocity = 0.0;             // m/s
    double m_ElectricalWavelength = 0.0; // m
    double m_Wavelength = 0.0;           // m, free space
    double m_VelocityFactor = 0.0;       // ratio to c
    CComplex m_Z0;                       // ohm
    CComplex m_ZAntenna;                 // ohm, at the base
    CComplex m_ZIn;                      // ohm, at the receiver end
    double m_CIn = 0.0;                  // F
    double m_LIn = 0.0;                  // H
    double m_CAntenna = 0.0;             // F
    double m_LAntenna = 0.0;             // H
    double m_LAntennaResonate = 0.0;     // H
    double m_CAntennaResonate = 0.0;     // F
    bool m_IsCapacitive = false;
    bool m_IsResistive = false;
    double m_CResonate = 0.0;       // F
    double m_LResonate = 0.0;       // H
    double m_VAntenna = 0.0;        // V peak
    double m_EffectiveHeight = 0.0; // m
    CComplex m_ZTotal;              // ohm
    CComplex m_VLoad;               // V

private:
    // The parts of Calculate: the aerial's reactance as a component, the induced voltage.
    void SetEquivalentComponent(double omega);
    void InduceVoltage();
    void DescribeReceiverEnd();
};
