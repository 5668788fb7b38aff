// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Complex.h"

#include <string>

// A lumped two-terminal component: resistor, inductor or capacitor with a series loss
// resistance, and its impedance at the frequency last asked for.
class CComponant
{
public:
    static constexpr int NoKind = 0; // after construction: no reactance
    static constexpr int Resistor = CImpedance::Resistor;
    static constexpr int Inductor = CImpedance::Inductor;
    static constexpr int Capacitor = CImpedance::Capacitor;

    double m_Value = 0.0;      // henry for an inductor, farad for a capacitor, 0 for a resistor
    double m_Resistance = 0.0; // series resistance, ohm
    int m_Kind = NoKind;       // Resistor, Inductor or Capacitor
    CImpedance m_Impedance;    // impedance (ohm) at the frequency of the last ComputeImpedance

    virtual ~CComponant() = default;

    // Stores the three values; the impedance is left as it was.
    void Set(int kind, double value, double resistance);
    // frequency in Hz.
    bool ComputeImpedance(double frequency);
    // "L253.00" (µH), "C100.00" (pF) or "R50.00" (ohm).
    std::string Label() const;
    // Becomes the component whose impedance is z at the frequency (Hz).
    bool SetFromImpedance(CImpedance z, double frequency);
    // Becomes the lossless component that cancels the reactance of z at the frequency (Hz),
    // a capacitance existingCapacitance (farad) being already in the circuit.
    bool SetCancelling(CImpedance z, double frequency, double existingCapacitance);
};
