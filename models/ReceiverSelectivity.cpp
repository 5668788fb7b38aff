// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReceiverSelectivity.h"

#include "models/ReceiverCircuit.h"

#include <cmath>
#include <limits>

namespace
{
using Complex = std::complex<double>;

constexpr double TwoPi = 6.283185307179586;

// The reactance at f0 of a held component: what its impedance was when it tuned the set.
double ReactanceAtF0(const CComponant& part, double f0)
{
    if (part.m_Kind == CComponant::Capacitor && part.m_Value > 0.0)
        return -1.0 / (TwoPi * f0 * part.m_Value);
    if (part.m_Kind == CComponant::Inductor)
        return TwoPi * f0 * part.m_Value;
    return 0.0;
}

// R in parallel with a reactance X whose real part is `series`: the larger root of
// series R^2 - X^2 R + series X^2 = 0. None (0) for no series resistance; the largest series
// resistance such a pair can have is X / 2.
double ParallelResistance(double series, double reactance)
{
    if (!(series > 0.0))
        return 0.0;
    if (reactance == 0.0)
        return series;
    const double x2 = reactance * reactance;
    const double root = std::sqrt(std::max(0.0, 1.0 - 4.0 * series * series / x2));
    return x2 / (2.0 * series) * (1.0 + root);
}
} // namespace

double CHeldTuning::TuningCapacitance() const
{
    return m_Tuning.m_AtF0 < 0.0 ? -1.0 / (TwoPi * m_WorkingFrequency * m_Tuning.m_AtF0) : 0.0;
}

Complex CHeldTuning::TapVoltage(double frequency) const
{
    const double ratio = frequency / m_WorkingFrequency;
    const double w = TwoPi * frequency;
    const Complex primary(m_SourceResistance + m_PrimaryResistance,
                          m_Source.At(ratio) + w * m_PrimaryInductance + m_PrimaryTuning.At(ratio) +
                              m_TuneOut.At(ratio));
    const Complex mutual(0.0, w * m_Mutual);
    const Complex coil(m_SecondaryResistance, w * m_SecondaryInductance);
    // What closes the secondary: the tuning reactance and the detector side by side.
    Complex admittance(0.0, 0.0);
    if (m_Tuning.m_AtF0 != 0.0)
        admittance += 1.0 / Complex(0.0, m_Tuning.At(ratio));
    if (m_DetectorResistance > 0.0)
        admittance += 1.0 / m_DetectorResistance;
    Complex secondary;
    if (admittance == Complex(0.0, 0.0))
        secondary = -mutual * m_SourceVoltage / primary; // open: the induced voltage itself
    else
    {
        const Complex shunt = 1.0 / admittance;
        const Complex current =
            -mutual * m_SourceVoltage / (primary * (coil + shunt) - mutual * mutual);
        secondary = current * shunt;
    }
    return m_TapFraction * secondary;
}

CHeldTuning CReceiverCircuit::HoldTuning() const
{
    const CReceiverCircuit& c = *this;
    CHeldTuning held;
    const double f0 = c.m_Frequency;
    const double w0 = TwoPi * f0;
    held.m_WorkingFrequency = f0;
    held.m_SourceVoltage = c.m_SourceVoltage;
    held.m_SourceResistance = c.m_SourceImpedance.m_Real;
    held.m_Source.m_AtF0 = c.m_SourceImpedance.m_Imag;
    const CImpedance& zp = c.m_Primary.m_Impedance;
    held.m_PrimaryResistance = zp.m_Real;
    held.m_PrimaryInductance = zp.m_Imag / w0;
    held.m_PrimaryTuning.m_AtF0 = ReactanceAtF0(c.m_RequiredComponent, f0);
    // A resonant primary has its own and the source's reactance tuned out besides.
    if (c.m_Resonant)
        held.m_TuneOut.m_AtF0 = -(c.m_SourceImpedance.m_Imag + zp.m_Imag);
    held.m_Mutual = c.m_Mutual.m_Value;

    const CCoil& secondary = c.m_Secondary;
    const CImpedance& z2 = secondary.m_Impedance;
    held.m_SecondaryResistance = z2.m_Real + secondary.m_RFormer + c.m_ConstantLoss;
    held.m_SecondaryInductance = z2.m_Imag / w0;
    const CComponant& tuning = c.m_TuningComponent;
    held.m_Tuning.m_AtF0 = tuning.m_Kind == CComponant::Capacitor
                               ? -1.0 / (w0 * (tuning.m_Value + secondary.m_CAxial))
                               : ReactanceAtF0(tuning, f0);
    held.m_TapFraction = secondary.m_Turns > 0.0 ? c.m_TapPosition / secondary.m_Turns : 1.0;

    // The detector takes what is left of the engine's loaded Q once the coil and the primary
    // this network reflects have had theirs.
    const Complex primary(held.m_SourceResistance + held.m_PrimaryResistance,
                          held.m_Source.m_AtF0 + zp.m_Imag + held.m_PrimaryTuning.m_AtF0 +
                              held.m_TuneOut.m_AtF0);
    const double reflected = std::real(w0 * held.m_Mutual * w0 * held.m_Mutual / primary);
    const double detector =
        c.m_LoadedQ > 0.0 ? z2.m_Imag / c.m_LoadedQ - held.m_SecondaryResistance - reflected : 0.0;
    held.m_DetectorResistance = ParallelResistance(detector, held.m_Tuning.m_AtF0);
    return held;
}

CSelectivity MeasureSelectivity(const CHeldTuning& held)
{
    CSelectivity result;
    const double f0 = held.m_WorkingFrequency;
    const auto level = [&held](double f) { return std::abs(held.TapVoltage(f)); };

    // The peak, on a grid over f0 +- f0 / 2 and then between its neighbours.
    constexpr int Points = 2000;
    const double low = f0 * 0.5;
    const double step = f0 / Points;
    int best = 0;
    double bestLevel = -1.0;
    for (int i = 0; i <= Points; ++i)
        if (const double v = level(low + i * step); v > bestLevel)
        {
            bestLevel = v;
            best = i;
        }
    double a = low + std::max(0, best - 1) * step;
    double b = low + std::min(Points, best + 1) * step;
    for (int pass = 0; pass < 100; ++pass)
    {
        const double m1 = a + (b - a) / 3.0;
        const double m2 = b - (b - a) / 3.0;
        if (level(m1) < level(m2))
            a = m1;
        else
            b = m2;
    }
    const double peak = (a + b) / 2.0;
    const double edge = level(peak) / std::sqrt(2.0);

    // Each -3 dB edge: the first grid point below the edge level, then bisection.
    const auto edgeTowards = [&](double direction)
    {
        double inside = peak;
        for (int i = 1; i <= Points / 2; ++i)
        {
            double outside = peak + direction * i * step;
            if (outside > 0.0 && level(outside) < edge)
            {
                for (int pass = 0; pass < 60; ++pass)
                {
                    const double middle = (inside + outside) / 2.0;
                    if (level(middle) < edge)
                        outside = middle;
                    else
                        inside = middle;
                }
                return (inside + outside) / 2.0;
            }
            inside = outside;
        }
        return direction * std::numeric_limits<double>::infinity();
    };
    result.m_Bandwidth = edgeTowards(1.0) - edgeTowards(-1.0);

    const double atF0 = level(f0);
    for (size_t i = 0; i < CSelectivity::Offsets.size(); ++i)
    {
        const double f = f0 + CSelectivity::Offsets[i];
        result.m_Rejection[i] =
            f > 0.0 ? 20.0 * std::log10(atF0 / level(f)) : std::numeric_limits<double>::quiet_NaN();
    }
    return result;
}

CDetectorOutput DetectAt(const CReceiverCircuit& circuit, double tapVoltage)
{
    CReceiverCircuit c = circuit;
    const double amplitude = tapVoltage * 0.5;
    c.SolveDetector(amplitude);
    CDetectorOutput output;
    output.m_DcVoltage = c.m_DcVoltage;
    output.m_AudioVoltage = c.AudioOutput(amplitude, c.m_DcVoltage);
    output.m_Spl = 20.0 * std::log10(output.m_AudioVoltage / 0.001);
    return output;
}
