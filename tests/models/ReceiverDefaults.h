// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The air-core receiver calculator's default design, as the receiver's tests and benchmarks
// set it up.

#include "models/ReceiverCircuit.h"

// A solid-wire air-core coil as the air-core receiver calculator writes it.
inline void SetReceiverCoil(CCoil& coil, double inductance, double diameter, double length,
                            double turns)
{
    coil.m_Inductance = inductance;
    coil.m_Diameter = diameter;
    coil.m_Length = length;
    coil.m_Turns = turns;
    coil.m_ConductorDiameter = 0.5e-3;
    coil.m_Resistivity = 0.0168e-6;
    coil.m_FormerPermittivity = 2.7;
    coil.m_CoreCoilDiameter = diameter;
    coil.m_WallThickness = 2e-3;
}

// 33.3 uH / 12 turns and 331.2 uH / 48 turns, 103 mm coils 8 and 28 mm long, 50 mm apart;
// 0.1 V from 50 ohm and 2200 pF at 1000 kHz. False when the frequency is refused.
inline bool SetReceiverDefaults(CReceiverCircuit& radio)
{
    SetReceiverCoil(radio.m_Primary, 33.3e-6, 0.103, 0.008, 12.0);
    SetReceiverCoil(radio.m_Secondary, 331.2e-6, 0.103, 0.028, 48.0);
    const bool frequencySet = radio.SetFrequency(1e6, 0.0);
    radio.SetDistance(0.05, false);
    CImpedance source;
    source.SetComponent(CImpedance::Capacitor, 2200e-12, 50.0, 1e6);
    radio.SetSource(0.1, source);
    return frequencySet;
}

// The calculator's default ferrite rod ("Has core"): 9.68 mm across and 180 mm long.
inline void SetReceiverCore(CReceiverCircuit& radio)
{
    radio.SetCore({.m_Diameter = 9.68e-3,
                   .m_Length = 0.18,
                   .m_InitialPermeability = 120.0,
                   .m_GapExponent = 0.8453,
                   .m_LengthExponent = 0.3598,
                   .m_LossFactor = 68.3,
                   .m_LossFactorFrequency = 1.5e6});
}

// The default diode (diode equation forward, quadratic reverse) and a 47 kOhm / 15 nF
// earphone.
inline void SetReceiverDetector(CReceiverCircuit& radio, double audioResistor = 47000.0)
{
    radio.SetDiode({.m_TurnOnVoltage = 0.43,
                    .m_JunctionCap = 3.38e-12,
                    .m_JunctionCapVoltage = -1.0,
                    .m_ParasiticCap = 0.1e-12,
                    .m_ForwardLaw = CDiode::ForwardDiodeEquation,
                    .m_SatCurrent = 1.61,
                    .m_Ideality = 1.1,
                    .m_ReverseLaw = CDiode::ReverseQuadratic,
                    .m_RevA = -0.0763,
                    .m_RevB = 0.6965,
                    .m_RevC = -1.8365,
                    .m_RevResistance = 338000.0,
                    .m_TransitTimeNs = 1.0,
                    .m_CapQuotient = 2.0});
    radio.SetLoad(audioResistor, 0.0, 15000e-12, 0.0);
    radio.m_QMax = 10000.0;
}
