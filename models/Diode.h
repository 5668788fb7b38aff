// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Complex.h"
#include "models/Componant.h"

// The junction as CDiode::SetJunction takes it: capacitances in F, voltages in V, the transit
// time in ns.
struct CJunctionParameters
{
    double m_JunctionCap = 0.0;    // F, at m_RefVoltage
    double m_BuiltInVoltage = 0.0; // V
    double m_RefVoltage = -1.0;    // V
    double m_ParasiticCap = 0.0;   // F, added in reverse bias
    double m_TransitTimeNs = 0.0;  // ns
    double m_Ideality = 0.0;       // forward ideality factor
    double m_CapQuotient = 2.0;    // junction capacitance quotient m
    double m_NegCapQuotient = 0.0; // quotient below m_RefVoltage; 0 uses m throughout
};

// One oscilloscope reading of the bench circuit: the diode, biased through the DC source's
// resistance, in series with the load resistor, across which the scope reads the load voltage.
struct CScopeMeasurement
{
    double m_Vdc = 0.0;                // V, DC bias of the diode
    double m_SourceVoltagePp = 0.0;    // V peak-to-peak
    double m_LoadVoltagePp = 0.0;      // V peak-to-peak
    double m_LoadResistance = 0.0;     // ohm
    double m_ScopeCap = 0.0;           // F, across the load; 0 leaves it out
    double m_ParasiticCap = 0.0;       // F, taken off the measured capacitance
    double m_Phase = 0.0;              // rad, of the load voltage against the source
    double m_Frequency = 0.0;          // Hz
    double m_DcSourceResistance = 0.0; // ohm
};

// The detector diode: current laws for both bias directions, junction and
// diffusion capacitance, small-signal impedance and the operating point when
// driven through a series resistance. Also the bench arithmetic that turns
// oscilloscope readings into capacitances. Everything inside is SI.
class CDiode : public CComponant
{
public:
    CDiode() = default;
    virtual ~CDiode() = default;

    // Current laws.
    enum EForwardLaw
    {
        ForwardDiodeEquation = 0,
        ForwardQuadratic = 1,
        ForwardPower = 3
    };
    enum EReverseLaw
    {
        ReverseDiodeEquation = 0,
        ReverseQuadratic = 1,
        ReverseConstantResistance = 2
    };

    void SetTurnOnVoltage(double volts);
    void SetJunction(const CJunctionParameters& junction);
    void SetForwardDiodeEquation(double satCurrentMicroAmps);
    // Coefficients for a current in milliamperes.
    void SetForwardQuadratic(double a, double b, double c);
    // a in milliamperes at 1 V.
    void SetForwardPower(double a, double n);
    void SetReverseDiodeEquation(double satCurrentMicroAmps, double n);
    // Coefficients for a current in microamperes.
    void SetReverseQuadratic(double a, double b, double c);
    void SetReverseResistance(double ohms);

    double Current(double v) const;
    double JunctionCapacitance(double v, double frequency) const;
    double DiffusionCapacitance(double v) const;
    double TotalCapacitance(double v, double frequency) const;
    // Small-signal impedance at bias v; also the (scaled) resistance and the capacitance used.
    CImpedance& Impedance(CImpedance& z, double v, double frequency, double resistanceScale,
                          double& resistance, double& capacitance) const;
    // Diode voltage magnitude when driven by sourceVoltage through seriesResistance.
    // `converged` tells whether the voltages met within the tolerance. A zero or non-finite
    // source, or a non-finite resistance or frequency, stops the solve at its first pass.
    double SolveOperatingPoint(double sourceVoltage, double seriesResistance, double frequency,
                               CImpedance& diodeImpedance, CImpedance& current,
                               bool& converged) const;
    double SolveOperatingPoint(double sourceVoltage, double seriesResistance, double frequency,
                               CImpedance& diodeImpedance, CImpedance& current) const;

    // Bench measurements.
    static double MeasuredCapacitance(const CScopeMeasurement& measurement);
    double DiffusionFromMeasurement(const CScopeMeasurement& measurement, double& measured,
                                    double& junction) const;
    static double BuiltInVoltage(double va, double vb, double ca, double cb, double quotient);
    static double TransitTime(double vdc, double diffusionCap, double dcSourceResistance);

    static constexpr double MaxCapacitance = 1e-5; // F

    int m_ForwardModel = ForwardDiodeEquation;
    int m_ReverseModel = ReverseDiodeEquation;
    double m_TurnOnVoltage = 0.0;      // V
    double m_JunctionCap = 0.0;        // F, at m_RefVoltage
    double m_BuiltInVoltage = 0.0;     // V
    double m_CapQuotient = 2.0;        // Cj varies as the m-th root of 1/(Vbi - V)
    double m_ParasiticCap = 0.0;       // F, added in reverse bias
    double m_Ideality = 0.0;           // forward ideality factor
    double m_NegCapQuotient = 2.0;     // quotient below m_RefVoltage
    double m_SatCurrent = 0.0;         // A
    double m_NVt = 0.0;                // V
    double m_QuadA = 0.0;              // A/V^2
    double m_QuadB = 0.0;              // A/V
    double m_QuadC = 0.0;              // A
    double m_PowerA = 0.0;             // mA at 1 V
    double m_PowerN = 0.0;             // exponent
    double m_RevN = 0.0;               // reverse ideality factor
    double m_RevSatCurrent = 0.0;      // A
    double m_RevNVt = 0.0;             // V
    double m_RevQuadA = 0.0;           // A/V^2
    double m_RevQuadB = 0.0;           // A/V
    double m_RevQuadC = 0.0;           // A
    double m_RevResistance = 0.0;      // ohm
    double m_ThermalVoltage = 0.02586; // V, kT/q

    // Results of the receiver's forward and reverse half-cycles.
    CComponant m_FwdCap;               // capacitor, F
    CImpedance m_FwdVoltage;           // V (real)
    CImpedance m_FwdResistance;        // ohm (real)
    double m_JunctionConst = 0.0;      // F^m * V
    double m_RevDiodeResistance = 0.0; // ohm
    CComponant m_RevCap;               // capacitor, F
    CImpedance m_RevImpedance;         // ohm
    double m_RevVoltage = 0.0;         // V
    CImpedance m_FwdImpedance;         // ohm
    double m_TransitTime = 0.0;        // s
    double m_RefVoltage = -1.0;        // V
    CComponant m_FwdDiffCap;           // capacitor, F
    bool m_UseNegQuotient = false;

private:
    void ClearForwardResults();
};
