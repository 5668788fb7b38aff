// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's detector: the diode and its load on the tapped secondary, solved for the DC
// output, the audio voltage and the earphone's level.
#include "models/Bisection.h"
#include "models/ReceiverCircuit.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int DetectorPasses = 250;
constexpr double AudioTestFrequency = 1000.0; // Hz
constexpr double RmsFactor = 0.707;

double SquaredMagnitude(const CImpedance& z)
{
    return z.m_Magnitude * z.m_Magnitude;
}
} // namespace

bool CReceiverCircuit::AnalyseDetector()
{
    if (!m_CoilsValid || !m_SourceSet || !m_LoadSet)
        return false;

    const double t = m_TapPosition / m_Secondary.m_Turns;
    m_TapFraction = t;
    m_CoilVoltage = (m_LoadedQ + 1.0) * m_SecondaryEmf;
    m_TapVoltage = t * m_CoilVoltage.m_Magnitude;

    // Once the tap voltage has fallen in a sweep it may not rise again.
    if (m_PrevTapVoltage > m_TapVoltage)
        m_TapClamped = true;
    if (m_TapClamped && m_TapVoltage > m_PrevTapVoltage)
        m_TapVoltage = m_PrevTapVoltage;
    m_PrevTapVoltage = m_TapVoltage;

    const double peak = m_TapVoltage * 0.5;
    m_DetectorConverged = SolveDetector(peak) == 1.0;

    SetForwardLoss(t, peak);
    SetReverseLoss(t, peak);

    const CImpedance& z2 = m_Secondary.m_Impedance;
    // The loaded Q never rises from one tap to the next.
    double q = z2.m_Imag /
               (m_ReverseLoss + m_ForwardLoss + m_Secondary.m_RFormer + m_ConstantLoss) *
               m_Secondary.m_Alpha * m_OtherLossFactor;
    if (q > m_QMax)
        q = m_QMax;
    m_LoadedQ = q;
    m_QMax = q;

    m_CoilVoltage = (m_LoadedQ + 1.0) * m_SecondaryEmf;
    m_TapVoltage = t * m_CoilVoltage.m_Magnitude;
    UpdatePrimaryWithLoadedQ();
    m_ZinResonant = m_SourceImpedance + (m_Primary.m_Impedance + m_ReflectedImpedance);

    AudioOutput(m_TapVoltage * 0.5, m_DcVoltage);
    m_Spl = 20.0 * std::log10(m_AudioVoltage / 0.001);
    return DetectorResultsFinite();
}

// The losses of the forward half-cycle, with the detector's current and impedance in it.
void CReceiverCircuit::SetForwardLoss(double t, double peak)
{
    const CImpedance& ztap = m_Secondary.m_TapSection.m_Impedance;
    const CImpedance& zrest = m_Secondary.m_RestSection.m_Impedance;
    const CImpedance& z2 = m_Secondary.m_Impedance;
    const double reflected = m_ReflectedResistance;

    // Forward half-cycle: the detector across the tap, seen through the rest of the winding.
    // The diode in series with the audio load.
    const CImpedance forwardPath = m_Diode.m_FwdImpedance + m_LoadImpedance;
    // The crest less the DC held on the load drives the path.
    m_FwdDetectorCurrent = RealValue(peak - m_DcVoltage) / forwardPath;
    // What the tap sees: the crest over that current.
    m_FwdDetectorImpedance = peak / m_FwdDetectorCurrent;
    // How far the DC on the load raises the detector's impedance above its path's.
    const double forwardRaise = m_FwdDetectorImpedance.m_Magnitude / forwardPath.m_Magnitude;
    m_DetectorParallel.Parallel(ztap, m_FwdDetectorImpedance);
    m_SecondaryLoaded = zrest + m_DetectorParallel;
    // The current of the loaded winding relative to the unloaded one.
    const CImpedance windingShare = z2 / m_SecondaryLoaded;
    // Current divider at the tap: the tap section's share, then the detector's.
    const CImpedance tapShare = m_FwdDetectorImpedance / (ztap + m_FwdDetectorImpedance);
    const CImpedance detectorShare = ztap / (ztap + m_FwdDetectorImpedance);
    // Current divider in the diode: the share through its resistance, not its capacitance.
    const CImpedance& fwdCap = m_Diode.m_FwdCap.m_Impedance;
    const CImpedance fwdResistorShare = fwdCap / (m_Diode.m_FwdResistance + fwdCap);
    // Losses of the rest of the winding (its part of the reflected resistance and its own),
    // of the tap section, and of the audio side through the diode, each by its current share.
    const double fwdRestLoss =
        ((1.0 - t) * reflected + zrest.m_Real) * SquaredMagnitude(windingShare);
    const double fwdTapLoss =
        (t * reflected + ztap.m_Real) * SquaredMagnitude(windingShare * tapShare);
    const double fwdAudioLoss = SquaredMagnitude(windingShare * detectorShare) *
                                SquaredMagnitude(fwdResistorShare) * forwardRaise *
                                (m_FwdLossB.m_Real + m_FwdLossA.m_Real);
    m_ForwardLoss = (fwdTapLoss + fwdRestLoss + fwdAudioLoss) * m_Duty;
}

// The losses of the reverse half-cycle, the winding taken as unloaded.
void CReceiverCircuit::SetReverseLoss(double t, double peak)
{
    const CImpedance& ztap = m_Secondary.m_TapSection.m_Impedance;
    const CImpedance& zrest = m_Secondary.m_RestSection.m_Impedance;
    const double reflected = m_ReflectedResistance;

    // Reverse half-cycle: the DC on the load adds to the crest; the same shares, the winding
    // taken as unloaded.
    const CImpedance reversePath = m_Diode.m_RevImpedance + m_LoadImpedance;
    m_RevDetectorCurrent = RealValue(m_DcVoltage + peak) / reversePath;
    m_RevDetectorImpedance = peak / m_RevDetectorCurrent;
    const double reverseRaise = m_RevDetectorImpedance.m_Magnitude / reversePath.m_Magnitude;
    const CImpedance revTapShare = m_RevDetectorImpedance / (ztap + m_RevDetectorImpedance);
    const CImpedance revDetectorShare = ztap / (ztap + m_RevDetectorImpedance);
    const CImpedance& revCap = m_Diode.m_RevCap.m_Impedance;
    const CImpedance revResistorShare = revCap / (RealValue(m_Diode.m_RevDiodeResistance) + revCap);
    const double revRestLoss = (1.0 - t) * reflected + zrest.m_Real;
    const double revTapLoss = (t * reflected + ztap.m_Real) * SquaredMagnitude(revTapShare);
    const double revAudioLoss = SquaredMagnitude(revDetectorShare) *
                                SquaredMagnitude(revResistorShare) * reverseRaise *
                                (m_RevLossB.m_Real + m_RevLossA.m_Real);
    m_ReverseLoss = (revTapLoss + revRestLoss + revAudioLoss) * (1.0 - m_Duty);
}

bool CReceiverCircuit::DetectorResultsFinite() const
{
    const CDiode& d = m_Diode;
    for (double x :
         {m_LoadedQ, m_CoilVoltage.m_Magnitude, m_TapVoltage, m_DcVoltage, m_AudioVoltage, m_Spl,
          d.m_FwdVoltage.m_Magnitude, d.m_FwdResistance.m_Magnitude, d.m_FwdCap.m_Value,
          d.m_FwdDiffCap.m_Value, d.m_FwdImpedance.m_Real, d.m_FwdImpedance.m_Imag, d.m_RevVoltage,
          d.m_RevDiodeResistance, d.m_RevCap.m_Value, d.m_RevImpedance.m_Real,
          d.m_RevImpedance.m_Imag})
        if (!std::isfinite(x))
            return false;
    return true;
}

void CReceiverCircuit::SetDischargePath(const CImpedance& diodePath, double reverseResistance,
                                        double voltage)
{
    const CImpedance& resistor = m_AudioResistor.m_Impedance;
    if (m_AudioResistor.m_Value > 0.0)
    {
        AudioFactors(resistor.m_Magnitude, voltage, true);
        m_DischargeImpedance.Parallel(diodePath, m_AudioEfficiency * resistor);
    }
    else
    {
        AudioFactors(reverseResistance, voltage, false);
        m_DischargeImpedance = diodePath * m_AudioEfficiency;
    }
}

void CReceiverCircuit::HalfCycleLosses(const CImpedance& diodeImpedance, double voltage,
                                       CImpedance& lossA, CImpedance& lossB)
{
    const CImpedance& resistor = m_AudioResistor.m_Impedance;
    const CImpedance path = diodeImpedance + m_Secondary.m_TapSection.m_Impedance;
    double a = 0.0;
    if (m_AudioResistor.m_Value > 0.0)
    {
        a = AudioFactors(resistor.m_Magnitude, voltage, true);
        lossA.Parallel(path, (1.0 - a) * (1.0 - a) * resistor);
    }
    else
    {
        a = AudioFactors(diodeImpedance.m_Real, voltage, false);
        lossA = RealValue((1.0 - a) * (1.0 - a) * path.m_Real);
    }
    lossB = RealValue(a * a * path.m_Real);
}

double CReceiverCircuit::SolveDetector(double peak)
{
    const double f = m_Frequency;
    const double loadMagnitude = m_LoadImpedance.m_Magnitude;
    const double loadCapacitance = m_LoadCapacitor.m_Value;
    const CImpedance& ztap = m_Secondary.m_TapSection.m_Impedance;
    CImpedance zd;
    CImpedance current;
    double r = 0.0;
    double c = 0.0;

    // The DC voltage at which the charge taken on near each crest equals the droop
    // through the discharge path during the rest of the cycle.
    m_Diode.SolveOperatingPoint(peak, loadMagnitude, f, zd, current);
    CBisectionState state{0.0, peak, (current * m_LoadImpedance).m_Magnitude};
    double vc = state.m_Value;
    double recharge = 0.0;
    bool converged = false;
    // No RF, no finite load or no finite frequency: no pass can improve on the first. (At zero
    // frequency the balance is met at once.)
    const bool degenerate = IsZeroOrNonFinite(peak) || !std::isfinite(f) ||
                            !std::isfinite(loadMagnitude) || !std::isfinite(loadCapacitance);
    int pass = 0;
    while (pass < DetectorPasses)
    {
        vc = state.m_Value;
        const double duty = ConductionFraction(vc, peak);
        const double reverseVoltage = -(peak * RmsFactor + vc);
        m_Diode.m_RevVoltage = reverseVoltage;
        m_Duty = duty;
        const double reverseTime = (1.0 - duty) * m_Period;

        CImpedance zr;
        m_Diode.Impedance(zr, reverseVoltage, f, 1.0, r, c);
        SetDischargePath(zr + ztap, r, vc);
        const double tau = m_DischargeImpedance.m_Magnitude * loadCapacitance;
        const double droop = (1.0 - std::exp(-reverseTime / tau)) * vc;
        const double minimum = vc - droop;

        m_Diode.SolveOperatingPoint(peak - minimum, loadMagnitude, f, zd, current);
        recharge = (current * m_LoadImpedance).m_Magnitude;
        vc = recharge + minimum;

        // A charge that is not a finite number leaves every later pass without one.
        if (++pass == DetectorPasses || degenerate || !std::isfinite(vc))
            break;
        const double error = (recharge - droop) / recharge;
        if (std::fabs(error) < 1e-6)
        {
            converged = true;
            break;
        }
        // A pass that hands on what it was given would repeat itself up to the last pass,
        // which ends on the voltage just charged.
        const CBisectionState before = state;
        if (error > 0.0)
            state.m_Lo = vc;
        else
            state.m_Hi = vc;
        state.m_Value = std::fabs(state.m_Lo) + std::fabs(state.m_Hi - state.m_Lo) / 2.0;
        if (state.Repeats(before))
            break;
    }
    m_DetectorPasses = pass;

    m_DcVoltage = vc - recharge;
    m_Duty = ConductionFraction(m_DcVoltage, peak);
    SetHalfCycleResults(peak, recharge);
    return converged ? 1.0 : 0.0;
}

// The diode's voltages, resistances, capacitances and losses in each half-cycle at the DC
// voltage found, `recharge` the charge taken on near each crest.
void CReceiverCircuit::SetHalfCycleResults(double peak, double recharge)
{
    const double f = m_Frequency;
    const double loadMagnitude = m_LoadImpedance.m_Magnitude;
    CImpedance zd;
    CImpedance current;
    double r = 0.0;
    double c = 0.0;

    // Forward half-cycle results.
    const double forwardVoltage =
        m_Diode.SolveOperatingPoint(peak - m_DcVoltage, loadMagnitude, f, zd, current);
    m_Diode.m_FwdVoltage = RealValue(forwardVoltage);
    CImpedance zf;
    m_Diode.Impedance(zf, forwardVoltage, f, 1.0, r, c);
    m_Diode.m_FwdResistance = RealValue(r);
    m_Diode.m_FwdCap.Set(CComponant::Capacitor, c, 0.0);
    m_Diode.m_FwdCap.ComputeImpedance(f);
    m_Diode.m_FwdImpedance = zf;
    m_Diode.m_FwdDiffCap.Set(CComponant::Capacitor, m_Diode.DiffusionCapacitance(forwardVoltage),
                             0.0);
    m_Diode.m_FwdDiffCap.ComputeImpedance(f);
    HalfCycleLosses(zf, recharge + m_DcVoltage, m_FwdLossA, m_FwdLossB);

    // Reverse half-cycle results.
    const double reverseVoltage = -(peak * RmsFactor + m_DcVoltage);
    m_Diode.m_RevVoltage = reverseVoltage;
    CImpedance zr;
    m_Diode.Impedance(zr, reverseVoltage, f, 1.0, r, c);
    m_Diode.m_RevDiodeResistance = r;
    m_Diode.m_RevCap.Set(CComponant::Capacitor, c, 0.0);
    m_Diode.m_RevCap.ComputeImpedance(f);
    m_Diode.m_RevImpedance = zr;
    HalfCycleLosses(zr, m_DcVoltage, m_RevLossA, m_RevLossB);
}

double CReceiverCircuit::ConductionFraction(double dcVoltage, double amplitude)
{
    if (amplitude > dcVoltage)
    {
        const double start = std::asin(dcVoltage / amplitude);
        const double end = CEquations::Pi - start;
        return (end - start) / CEquations::TwoPi;
    }
    return 1.0;
}

double CReceiverCircuit::AudioOutput(double amplitude, double dcVoltage)
{
    CImpedance z;
    double reverseResistance = 0.0;
    double c = 0.0;
    m_Diode.Impedance(z, -RmsFactor * (amplitude + dcVoltage), AudioTestFrequency, 1.0,
                      reverseResistance, c);
    const CImpedance path = RealValue(m_Secondary.m_TapSection.m_Resistance + reverseResistance);
    SetDischargePath(path, reverseResistance, dcVoltage);
    const double tau = m_LoadCapacitor.m_Value * m_DischargeImpedance.m_Magnitude;
    m_AudioVoltage = (1.0 - std::exp(-0.0005 / tau)) * (dcVoltage * 0.8);
    return m_AudioVoltage;
}

double CReceiverCircuit::AudioFactors(double resistance, double voltage, bool isResistor)
{
    // Empirical fits of an earphone's response against load resistance (kOhm),
    // drive voltage and frequency.
    const double r = resistance / 1000.0;
    m_AudioEfficiency = 1.0;
    if (isResistor)
    {
        double e = 0.0;
        if (r <= 47.0)
            e = 0.7163 - 0.005 * r;
        else if (r <= 100.0)
            e = 0.4371 + 0.001 * r;
        else
            e = 0.5259 + 7e-05 * r;
        m_AudioEfficiency = std::min(e, 1.0);
    }

    const double v = std::fabs(voltage);
    if (v <= 0.5)
        m_VoltageFactor = 1.0444 - 0.4444 * v;
    else if (v <= 2.5)
        m_VoltageFactor = 0.8308 - 0.012 * v;
    else
        m_VoltageFactor = 0.7333 + 0.0267 * v;
    m_VoltageFactor = std::min(m_VoltageFactor, 1.0);

    double x = m_VoltageFactor;
    if (isResistor)
        x *= m_AudioEfficiency;
    else if (r > 100.0)
        x *= 0.82;
    else if (r > 47.0)
        x *= 0.89;
    else if (r > 20.0)
        x *= 0.94;
    m_AudioEfficiency = std::min(x, 1.0);
    m_VoltageFactor = 1.0;

    m_FrequencyFactor = 3.5274 - 0.4217 * std::log(m_Frequency / 1000.0);
    return m_FrequencyFactor * m_AudioEfficiency;
}
