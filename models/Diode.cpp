// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Diode.h"
#include "models/Bisection.h"
#include "models/Equations.h"

#include <cmath>

namespace
{
constexpr double ThermalVoltage = 0.02586; // V
} // namespace

void CDiode::ClearForwardResults()
{
    m_FwdVoltage.SetRectangular(0.0, 0.0);
    m_FwdResistance.SetRectangular(0.0, 0.0);
}

void CDiode::SetTurnOnVoltage(double volts)
{
    m_TurnOnVoltage = volts;
}

void CDiode::SetJunction(const CJunctionParameters& junction)
{
    m_JunctionCap = junction.m_JunctionCap;
    m_BuiltInVoltage = junction.m_BuiltInVoltage;
    m_RefVoltage = junction.m_RefVoltage;
    m_ParasiticCap = junction.m_ParasiticCap;
    m_TransitTime = junction.m_TransitTimeNs * 1e-9;
    m_Ideality = junction.m_Ideality;
    m_NVt = ThermalVoltage * junction.m_Ideality;
    m_CapQuotient = junction.m_CapQuotient;
    m_NegCapQuotient = junction.m_NegCapQuotient;
    m_UseNegQuotient = junction.m_NegCapQuotient > 0.0;
    // Chosen so that the junction law gives exactly Cj at the reference voltage.
    m_JunctionConst = std::pow(junction.m_JunctionCap, junction.m_CapQuotient) *
                      (junction.m_BuiltInVoltage - junction.m_RefVoltage);
}

void CDiode::SetForwardDiodeEquation(double satCurrentMicroAmps)
{
    m_SatCurrent = satCurrentMicroAmps / 1e6;
    m_ForwardModel = ForwardDiodeEquation;
    ClearForwardResults();
}

void CDiode::SetForwardQuadratic(double a, double b, double c)
{
    m_QuadA = a * 0.001;
    m_QuadB = b * 0.001;
    m_QuadC = c * 0.001;
    m_ForwardModel = ForwardQuadratic;
    ClearForwardResults();
}

void CDiode::SetForwardPower(double a, double n)
{
    m_PowerA = a;
    m_PowerN = n;
    m_ForwardModel = ForwardPower;
    ClearForwardResults();
}

void CDiode::SetReverseDiodeEquation(double satCurrentMicroAmps, double n)
{
    m_RevSatCurrent = satCurrentMicroAmps / 1e6;
    m_RevN = n;
    m_RevNVt = ThermalVoltage * n;
    m_ReverseModel = ReverseDiodeEquation;
    ClearForwardResults();
}

void CDiode::SetReverseQuadratic(double a, double b, double c)
{
    m_RevQuadA = a * 1e-6;
    m_RevQuadB = b * 1e-6;
    m_RevQuadC = c * 1e-6;
    m_ReverseModel = ReverseQuadratic;
    ClearForwardResults();
}

void CDiode::SetReverseResistance(double ohms)
{
    m_RevResistance = ohms;
    m_ReverseModel = ReverseConstantResistance;
    ClearForwardResults();
}

double CDiode::Current(double v) const
{
    if (v > 0.0)
    {
        switch (m_ForwardModel)
        {
        case ForwardDiodeEquation:
            return m_SatCurrent * (std::exp(v / m_NVt) - 1.0);
        case ForwardPower:
            return std::pow(v, m_PowerN) * m_PowerA * 0.001; // the law gives milliamperes
        default:
            return m_QuadA * v * v + m_QuadB * v + m_QuadC;
        }
    }
    switch (m_ReverseModel)
    {
    case ReverseDiodeEquation:
        return m_RevSatCurrent * (std::exp(v / m_RevNVt) - 1.0);
    case ReverseQuadratic:
        return m_RevQuadA * v * v + m_RevQuadB * v + m_RevQuadC;
    default:
        return v / m_RevResistance;
    }
}

double CDiode::JunctionCapacitance(double v, double /*frequency*/) const
{
    const double k = m_JunctionConst;
    const double vbi = m_BuiltInVoltage;
    if (v > 0.0)
    {
        // At and beyond the built-in voltage the law is held at its value just below it.
        const double denominator = v < vbi ? v - vbi : -0.001;
        return std::pow(std::fabs(k / denominator), 1.0 / m_CapQuotient);
    }
    double quotient = m_CapQuotient;
    if (m_UseNegQuotient && v < m_RefVoltage)
        quotient = m_NegCapQuotient * std::exp((std::fabs(m_NegCapQuotient) + v) / -20.0);
    return std::pow(std::fabs(k / (v - vbi)), 1.0 / quotient) + m_ParasiticCap;
}

double CDiode::DiffusionCapacitance(double v) const
{
    if (v > 0.0)
        return m_TransitTime * Current(v) / v;
    return 0.0;
}

double CDiode::TotalCapacitance(double v, double frequency) const
{
    double c = MaxCapacitance;
    if (v < 0.0)
        c = JunctionCapacitance(v, frequency);
    else if (v < m_BuiltInVoltage)
        c = JunctionCapacitance(v, frequency) + DiffusionCapacitance(v);
    if (c > MaxCapacitance)
        c = MaxCapacitance;
    return c;
}

CImpedance& CDiode::Impedance(CImpedance& z, double v, double frequency, double resistanceScale,
                              double& resistance, double& capacitance) const
{
    double r = 0.0;
    if (m_ReverseModel != ReverseDiodeEquation && m_ReverseModel != ReverseQuadratic && v < 0.0)
        r = m_RevResistance;
    else
        r = std::fabs(v / Current(v));
    r *= resistanceScale;
    const double c = TotalCapacitance(v, frequency);

    CImpedance capacitor;
    capacitor.SetComponent(CImpedance::Capacitor, c, 0.0, frequency);
    CImpedance parallel;
    parallel.Parallel(RealValue(r), capacitor);
    z = parallel + RealValue(1.0); // fixed series resistance of the contacts

    resistance = r;
    capacitance = c;
    return z;
}

double CDiode::SolveOperatingPoint(double sourceVoltage, double seriesResistance, double frequency,
                                   CImpedance& diodeImpedance, CImpedance& current) const
{
    bool converged = false;
    return SolveOperatingPoint(sourceVoltage, seriesResistance, frequency, diodeImpedance, current,
                               converged);
}

double CDiode::SolveOperatingPoint(double sourceVoltage, double seriesResistance, double frequency,
                                   CImpedance& diodeImpedance, CImpedance& current,
                                   bool& converged) const
{
    // The bisection runs on the voltage between 0 and the source voltage; the
    // error is taken against the source amplitude so that a negative source
    // (the reverse half-cycle) converges as the positive one does.
    const double amplitude = std::fabs(sourceVoltage);
    CBisectionState state{0.0, sourceVoltage, sourceVoltage * 0.5};
    diodeImpedance.SetRectangular(0.0, 0.0);
    current.SetRectangular(0.0, 0.0);
    converged = false;
    // Without a source, or with no finite circuit, no pass can improve on the first.
    const bool degenerate = IsZeroOrNonFinite(sourceVoltage) || !std::isfinite(seriesResistance) ||
                            !std::isfinite(frequency);

    for (int pass = 0; pass < 1000; ++pass)
    {
        const double vd = state.m_Value;
        const double m = std::fabs(vd);
        double r = 0.0;
        double c = 0.0;
        Impedance(diodeImpedance, sourceVoltage > 0.0 ? m : -m, frequency, 1.0, r, c);
        current = vd / diodeImpedance;
        // The source voltage the operating point calls for: vd plus the drop on the series
        // resistance. Only its modulus is wanted, so no phase is worked out for it.
        const CImpedance drop = current * seriesResistance;
        const double calculated = Modulus(vd + drop.m_Real, 0.0 + drop.m_Imag);
        const double error = (amplitude - calculated) / amplitude;
        if (std::fabs(error) < 0.0001)
        {
            converged = true;
            break;
        }
        const CBisectionState before = state;
        if (error > 0.0)
            state.m_Lo = vd;
        else
            state.m_Hi = vd;
        state.m_Value = state.m_Lo + (state.m_Hi - state.m_Lo) / 2.0;
        if (degenerate || state.Repeats(before))
            break;
    }
    return std::fabs(state.m_Value);
}

double CDiode::MeasuredCapacitance(const CScopeMeasurement& measurement)
{
    const double loadResistance = measurement.m_LoadResistance;
    const double frequency = measurement.m_Frequency;
    const double dcSourceResistance = measurement.m_DcSourceResistance;
    CImpedance load = RealValue(loadResistance);
    if (measurement.m_ScopeCap > 0.0)
    {
        CImpedance scope;
        scope.SetComponent(CImpedance::Capacitor, measurement.m_ScopeCap, 0.0, frequency);
        load.Parallel(RealValue(loadResistance), scope);
    }
    CImpedance loadVoltage;
    loadVoltage.SetPolar(measurement.m_LoadVoltagePp, measurement.m_Phase);

    // The diode branch by the voltage divider, then without the DC source across it.
    const CImpedance branch = load * (measurement.m_SourceVoltagePp / loadVoltage) - load;
    const CImpedance junction =
        (dcSourceResistance * branch) / (RealValue(dcSourceResistance) - branch);
    return 1.0 / (CEquations::TwoPi * frequency * junction.m_Magnitude) -
           measurement.m_ParasiticCap;
}

double CDiode::DiffusionFromMeasurement(const CScopeMeasurement& measurement, double& measured,
                                        double& junction) const
{
    measured = MeasuredCapacitance(measurement);
    junction = JunctionCapacitance(measurement.m_Vdc, measurement.m_Frequency);
    return measured - junction;
}

double CDiode::BuiltInVoltage(double va, double vb, double ca, double cb, double quotient)
{
    // 1/C^m is a straight line in V that crosses zero at the built-in voltage.
    const double a = 1.0 / std::pow(ca, quotient);
    const double b = 1.0 / std::pow(cb, quotient);
    const double slope = (b - a) / (vb - va);
    return -((a - slope * va) / slope);
}

double CDiode::TransitTime(double vdc, double diffusionCap, double dcSourceResistance)
{
    return (vdc * dcSourceResistance) / (vdc / diffusionCap);
}
