// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <complex>

class CReceiverCircuit;

// A receiver tuned once at its working frequency f0 and then left alone: the linear network of
// its held components, to see how it answers a station at another frequency. All values SI.
//
// The primary loop: the source (its resistance, and its capacitance or inductance), the primary
// coil, and the held component that tunes the loop at f0 ("Rqrd for res"; with a resonant
// primary also the one that tunes out the source and primary reactances). The secondary loop:
// the coil, coupled to the primary by M, closed by the held tuning capacitance ("TuneCap" and
// the coil's own) with the detector's equivalent resistance across it. The tap is an ideal
// autotransformer: the tap voltage is the tap fraction of the secondary's, and the detector's
// resistance at the tap is that across the whole secondary times the fraction squared. The
// coils' resistances are held at their f0 values; reactances follow the frequency.
struct CHeldTuning
{
    // A reactance held at its f0 value `m_AtF0` (ohm) that follows the frequency as an inductance
    // (positive) or a capacitance (negative) does.
    struct CReactance
    {
        double m_AtF0 = 0.0;
        double At(double frequencyRatio) const
        {
            return m_AtF0 > 0.0 ? m_AtF0 * frequencyRatio : m_AtF0 / frequencyRatio;
        }
    };

    double m_WorkingFrequency = 0.0; // f0, Hz
    double m_SourceVoltage = 0.0;    // V, as the engine takes it
    double m_SourceResistance = 0.0; // ohm
    CReactance m_Source;             // the source's capacitance or inductance
    double m_PrimaryResistance = 0.0;
    double m_PrimaryInductance = 0.0;   // H, the primary's reactance at f0 over 2 pi f0
    CReactance m_PrimaryTuning;         // "Rqrd for res"
    CReactance m_TuneOut;               // a resonant primary's: what tunes out source and coil
    double m_Mutual = 0.0;              // H
    double m_SecondaryResistance = 0.0; // ohm: the coil's losses and the constant loss
    double m_SecondaryInductance = 0.0; // H, as the primary's
    CReactance m_Tuning;                // across the whole secondary: "TuneCap" and the coil's own
    double m_DetectorResistance = 0.0;  // ohm across the whole secondary; 0: none
    double m_TapFraction = 1.0;

    // The complex tap voltage (V) at frequency f (Hz).
    std::complex<double> TapVoltage(double frequency) const;
    // The detector's equivalent resistance as the tap sees it (ohm); 0: none.
    double TapResistance() const { return m_DetectorResistance * m_TapFraction * m_TapFraction; }
    // The tuning capacitance (F), or 0 where the secondary is tuned by an inductance.
    double TuningCapacitance() const;
};

// The held receiver's answer around f0: the -3 dB bandwidth about the peak of the tap voltage,
// and how far a station 9 and 10 kHz either side is down on one at f0.
struct CSelectivity
{
    static constexpr std::array<double, 4> Offsets = {-9e3, 9e3, -10e3, 10e3}; // Hz
    double m_Bandwidth = 0.0; // Hz; infinite when a -3 dB edge lies beyond f0 / 2 of the peak
    std::array<double, 4> m_Rejection = {}; // dB down on f0, for each of Offsets
};

CSelectivity MeasureSelectivity(const CHeldTuning& held);

// The detector's DC and audio output and the SPL for a tap voltage `tapVoltage` (V) at the
// detector's loading of `circuit` (a copy is worked on).
struct CDetectorOutput
{
    double m_DcVoltage = 0.0;    // V
    double m_AudioVoltage = 0.0; // V
    double m_Spl = 0.0;          // dB
};
CDetectorOutput DetectAt(const CReceiverCircuit& circuit, double tapVoltage);
