// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReceiverCircuit.h"
#include "models/Bisection.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr int Rings = 16;                        // radial rings over the secondary's disc
constexpr double LoopStep = 0.12566370614359174; // 2 pi / 50
constexpr int DetectorPasses = 250;
constexpr double AudioTestFrequency = 1000.0; // Hz
constexpr double RmsFactor = 0.707;

CImpedance RealValue(double x)
{
    return CImpedance(CComplex(x, 0.0));
}

// Whole turns of a winding as a loop count; no turns for less than one (or NaN),
// and a bound far beyond any real winding so the conversion is always defined.
long long WholeTurns(double turns)
{
    if (!(turns >= 1.0))
        return 0;
    return static_cast<long long>(std::min(turns, 1e9));
}

double SquaredMagnitude(const CImpedance& z)
{
    return z.m_Magnitude * z.m_Magnitude;
}

// The points round a current loop, shared by every field evaluation. The angle is
// accumulated by addition; it passes 2 pi after exactly 50 points.
struct CLoopPoints
{
    static constexpr int Capacity = 64;
    double m_Cosine[Capacity] = {};
    double m_Sine[Capacity] = {};
    int m_Count = 0;
};

const CLoopPoints& LoopPoints()
{
    static const CLoopPoints points = []
    {
        CLoopPoints p;
        for (double phi = 0.0; phi <= CEquations::TwoPi && p.m_Count < CLoopPoints::Capacity;
             phi += LoopStep)
        {
            p.m_Cosine[p.m_Count] = std::cos(phi);
            p.m_Sine[p.m_Count] = std::sin(phi);
            ++p.m_Count;
        }
        return p;
    }();
    return points;
}

// LoopField of one loop (radius a, permeability mu) at several displacements b at once, with
// every part that does not depend on the axial distance worked out once: the mutual
// inductance asks for the same rings at every pair of turns. Each displacement keeps its own
// sum, in LoopField's order and with its formula, so the results are LoopField's to the bit.
class CLoopFields
{
public:
    static constexpr int Lanes = 18; // room for the rings, the outer annulus, and an even count

    CLoopFields(double a, const std::vector<double>& displacements, double mu)
    {
        const CLoopPoints& points = LoopPoints();
        m_Scale = mu * CEquations::Mu0 * a / CEquations::FourPi;
        m_Count = points.m_Count;
        m_Used = std::min(static_cast<int>(displacements.size()), Lanes);
        for (int n = 0; n < m_Count; ++n)
        {
            const double c = points.m_Cosine[n];
            const double s = points.m_Sine[n];
            for (int k = 0; k < m_Used; ++k)
            {
                const double b = displacements[k];
                const double dx = a * c - a + b;
                const double dy = a * s;
                m_PlaneDistance2[n][k] = dx * dx + dy * dy;
                m_Numerator[n][k] = LoopStep * (a + (b - a) * c);
            }
            for (int k = m_Used; k < Lanes; ++k)
                m_PlaneDistance2[n][k] = 1.0; // a finite term that nobody reads
        }
    }

    // The flux density per ampere of each displacement at axial distance z, in the first
    // lanes of `field`. Square roots and quotients bound the time, so of the lane counts the
    // compiler can lay out in full, the smallest that holds the displacements is worked out.
    void At(double z, double (&field)[Lanes]) const
    {
        if (m_Used <= 2)
            Sum<2>(z, field);
        else if (m_Used <= Rings)
            Sum<Rings>(z, field);
        else
            Sum<Lanes>(z, field);
    }

private:
    template <int Count> void Sum(double z, double (&field)[Lanes]) const
    {
        const double z2 = z * z;
        double sum[Count] = {};
        for (int n = 0; n < m_Count; ++n)
            for (int k = 0; k < Count; ++k)
            {
                const double r2 = m_PlaneDistance2[n][k] + z2; // squared distance to the point
                sum[k] += m_Numerator[n][k] / (r2 * std::sqrt(r2));
            }
        for (int k = 0; k < Count; ++k)
            field[k] = m_Scale * sum[k];
    }

    double m_Scale = 0.0;                                       // mu mu0 a / (4 pi), T m / A
    double m_PlaneDistance2[CLoopPoints::Capacity][Lanes] = {}; // m^2, without the axial part
    double m_Numerator[CLoopPoints::Capacity][Lanes] = {};      // the angle step times the lever, m
    int m_Count = 0;                                            // points round the loop
    int m_Used = 0;                                             // displacements
};
} // namespace

bool CReceiverCircuit::SolveCoil(CCoil& coil)
{
    coil.SetMode(CCoil::ModeInductanceDiameterLengthTurns);
    if (!coil.SolveGeometry())
        return false;
    coil.ComputeLosses();
    coil.Analyse();
    return true;
}

bool CReceiverCircuit::SetFrequency(double frequency, double otherLossPercent)
{
    m_Period = 1.0 / frequency;
    m_Frequency = frequency;
    m_Primary.m_Frequency = frequency;
    m_Secondary.m_Frequency = frequency;
    m_OtherLossFactor = 1.0 - otherLossPercent / 100.0;
    m_CoilsValid = SolveCoil(m_Primary) && SolveCoil(m_Secondary);
    return m_CoilsValid;
}

bool CReceiverCircuit::MoveCores(double position)
{
    m_Primary.MoveCore(position);
    m_Secondary.MoveCore(position);
    return true;
}

double CReceiverCircuit::LoopField(double a, double b, double z, double mu) const
{
    double field[CLoopFields::Lanes];
    CLoopFields(a, {b}, mu).At(z, field);
    return field[0];
}

double CReceiverCircuit::AirCoreMutualInductance(double distance)
{
    m_Distance = distance;
    const double r1 = m_Primary.m_Diameter / 2.0;
    const double r2 = m_Secondary.m_Diameter / 2.0;
    const double n1 = m_Primary.m_Turns;
    const double n2 = m_Secondary.m_Turns;
    const double l1 = m_Primary.m_Length;
    const double l2 = m_Secondary.m_Length;
    const double mu = m_Secondary.m_ApparentPermeability;
    const double dr = std::min(r1, r2) * 0.0625;
    const double e1 = r1 > r2 ? r1 - r2 : 0.0;
    const double e2 = r2 > r1 ? r2 - r1 : 0.0;
    const double disc = CEquations::Pi * r2 * r2;
    // The annulus of a larger secondary outside the primary's radius.
    const double outerArea = e2 > 0.0 ? disc - CEquations::Pi * (r2 - e2) * (r2 - e2) : 0.0;

    // Each ring of the secondary's disc, with the field taken at its inner edge, and the
    // area it adds.
    std::vector<double> displacements;
    double ringAreas[Rings];
    double previousArea = outerArea;
    for (int k = 1; k <= Rings; ++k)
    {
        const double inner = r2 - (e2 + k * dr);
        const double area = disc - CEquations::Pi * inner * inner;
        displacements.push_back(e1 + k * dr);
        ringAreas[k - 1] = area - previousArea;
        previousArea = area;
    }
    if (e2 > 0.0)
        displacements.push_back(-e2); // the outer annulus
    static_assert(Rings + 1 <= CLoopFields::Lanes);
    const CLoopFields fields(r1, displacements, mu);
    double field[CLoopFields::Lanes];

    // The flux of each primary turn through each secondary turn, summed over the rings.
    double mutual = 0.0;
    const long long turns1 = WholeTurns(n1);
    const long long turns2 = WholeTurns(n2);
    for (long long i = 1; i <= turns1; ++i)
    {
        if (m_Stop && m_Stop->load(std::memory_order_relaxed))
            break;
        for (long long j = 1; j <= turns2; ++j)
        {
            const double z = (l1 + distance) - static_cast<double>(i - 1) * l1 / n1 +
                             static_cast<double>(j - 1) * l2 / n2;
            fields.At(z, field);
            for (int k = 0; k < Rings; ++k)
            {
                mutual += field[k] * ringAreas[k];
                if (k == 0 && e2 > 0.0)
                    mutual += field[Rings] * outerArea;
            }
        }
    }

    m_Mutual.Set(CComponant::Inductor, mutual, 0.0);
    m_Coupling =
        m_Equations.CouplingCoefficient(mutual, m_Primary.m_Inductance, m_Secondary.m_Inductance);
    return mutual;
}

double CReceiverCircuit::SetDistance(double distance, bool hasCore)
{
    if (!hasCore)
        return AirCoreMutualInductance(distance);

    // Both windings on one rod: an empirical coupling law that holds while the rod reaches
    // beyond both windings and the gap; otherwise the coupling is taken as negligible.
    m_Distance = distance;
    const double rodDiameter = m_CoreDiameter;
    const double rodLength = m_CoreLength;
    double coupling = 0.001;
    if (rodLength > m_Primary.m_Length + m_Secondary.m_Length + distance)
    {
        const double ratio = rodDiameter / m_Secondary.m_Diameter;
        const double a = ratio * ratio;
        const double fill = 1.0 - rodDiameter / rodLength;
        const double e = fill * fill / m_Secondary.m_LengthExponent;
        coupling = std::exp(-distance / std::pow(a, e)) * ((1.0 - a) * (1.0 - a) * (1.0 - a) + a);
    }
    if (coupling < 0.0)
        coupling = 0.001;
    m_Coupling = coupling;
    const double mutual = std::sqrt(m_Secondary.m_Inductance * m_Primary.m_Inductance) * coupling;
    m_Mutual.Set(CComponant::Inductor, mutual, 0.0);
    return mutual;
}

bool CReceiverCircuit::SetSource(double voltage, CImpedance impedance)
{
    m_SourceVoltage = voltage;
    m_SourceImpedance = impedance;
    m_SourceSet = true;
    return true;
}

void CReceiverCircuit::UpdatePrimaryWithLoadedQ()
{
    const CImpedance& zm = m_Mutual.m_Impedance;
    m_SecondaryCurrent = m_CoilVoltage / m_Secondary.m_Impedance.m_Magnitude;
    m_BackEmf = m_SecondaryCurrent * zm;
    m_PrimaryCurrentLoaded = (RealValue(m_SourceVoltage) - m_BackEmf) / m_ZinOpen;
    m_ReflectedImpedance = m_BackEmf / m_PrimaryCurrentLoaded;
}

bool CReceiverCircuit::AnalyseNoLoad(double frequencyKHz, double constantLoss, bool resonant)
{
    m_Frequency = frequencyKHz * 1000.0;
    m_ConstantLoss = constantLoss;
    m_Resonant = resonant;
    if (!m_CoilsValid || !m_SourceSet)
        return false;

    const double f = m_Frequency;
    const CImpedance& zs = m_SourceImpedance;
    const CImpedance& zp = m_Primary.m_Impedance;
    const CImpedance& z2 = m_Secondary.m_Impedance;
    m_Mutual.ComputeImpedance(f);
    const CImpedance& zm = m_Mutual.m_Impedance;
    m_TransformationRatio = m_Equations.TransformationRatio(m_Coupling, m_Secondary.m_Inductance,
                                                            m_Primary.m_Inductance);

    // With a resonant primary the source and primary reactances are taken as tuned out.
    m_ZinOpen = resonant ? RealValue(zs.m_Real + zp.m_Real) : zs + zp;

    const CImpedance ratio = zm / m_ZinOpen;
    const CImpedance gain = ratio * ratio;
    const double primaryLoss = m_Primary.m_RAcCoil + zs.m_Real + m_Primary.m_RCore;
    const double n1 = m_Primary.m_Turns;
    m_ReflectedResistance = gain.m_Magnitude * primaryLoss * n1 / (n1 + m_UnusedTurns);

    m_QNoLoad = z2.m_Imag /
                (m_Secondary.m_RAcCoil + m_ReflectedResistance + m_Secondary.m_RFormer +
                 m_Secondary.m_RCore + constantLoss) *
                m_Secondary.m_Alpha * m_OtherLossFactor;

    m_PrimaryCurrent = m_SourceVoltage / m_ZinOpen;
    m_PrimaryVoltage = m_PrimaryCurrent * zp;
    m_SecondaryEmf = (-1.0 * m_PrimaryCurrent) * zm;
    m_CoilVoltage = m_QNoLoad * m_SecondaryEmf;
    UpdatePrimaryWithLoadedQ();

    m_ZinResonant = resonant ? RealValue(zp.m_Real + zs.m_Real) + m_ReflectedImpedance
                             : zs + (zp + m_ReflectedImpedance);
    m_RequiredComponent.SetCancelling(m_ZinResonant, f, 0.0);

    const CImpedance induced = m_PrimaryCurrentLoaded * zm;
    const CImpedance tuned = z2 + induced / m_SecondaryCurrent;
    m_TuningComponent.SetCancelling(tuned, f, m_Secondary.m_CAxial);

    m_LoadedQ = m_QNoLoad;
    m_PrevTapVoltage = 0.0;
    m_TapClamped = false;
    return true;
}

bool CReceiverCircuit::SetDiode(const CDiodeParameters& diode)
{
    m_Diode.SetTurnOnVoltage(diode.m_TurnOnVoltage);
    // The turn-on voltage serves as the built-in voltage.
    m_Diode.SetJunction({.m_JunctionCap = diode.m_JunctionCap,
                         .m_BuiltInVoltage = diode.m_TurnOnVoltage,
                         .m_RefVoltage = diode.m_JunctionCapVoltage,
                         .m_ParasiticCap = diode.m_ParasiticCap,
                         .m_TransitTimeNs = diode.m_TransitTimeNs,
                         .m_Ideality = diode.m_Ideality,
                         .m_CapQuotient = diode.m_CapQuotient,
                         .m_NegCapQuotient = diode.m_NegCapQuotient});
    if (diode.m_ForwardLaw == CDiode::ForwardDiodeEquation)
        m_Diode.SetForwardDiodeEquation(diode.m_SatCurrent);
    else if (diode.m_ForwardLaw == CDiode::ForwardPower)
        m_Diode.SetForwardPower(diode.m_A, diode.m_B);
    else
        m_Diode.SetForwardQuadratic(diode.m_A, diode.m_B, diode.m_C);
    if (diode.m_ReverseLaw == CDiode::ReverseDiodeEquation)
        m_Diode.SetReverseDiodeEquation(diode.m_RevSatCurrent, diode.m_RevIdeality);
    else if (diode.m_ReverseLaw == CDiode::ReverseQuadratic)
        m_Diode.SetReverseQuadratic(diode.m_RevA, diode.m_RevB, diode.m_RevC);
    else
        m_Diode.SetReverseResistance(diode.m_RevResistance);
    return true;
}

bool CReceiverCircuit::SetLoad(double audioResistor, double audioCapacitor,
                               double earphoneCapacitor, double /*unused*/)
{
    const double f = m_Frequency;
    m_TapPosition = 1.0;
    m_AudioResistor.Set(CComponant::Resistor, audioResistor, audioResistor);
    m_AudioCapacitor.Set(CComponant::Capacitor, audioCapacitor, 0.0);
    m_EarphoneCapacitor.Set(CComponant::Capacitor, earphoneCapacitor, 0.0);
    m_LoadCapacitor.Set(CComponant::Capacitor, earphoneCapacitor + audioCapacitor, 0.0);
    m_AudioResistor.ComputeImpedance(f);
    m_AudioCapacitor.ComputeImpedance(f);
    m_EarphoneCapacitor.ComputeImpedance(f);
    m_LoadCapacitor.ComputeImpedance(f);
    if (audioResistor > 0.0)
        m_LoadImpedance.Parallel(m_AudioResistor.m_Impedance, m_LoadCapacitor.m_Impedance);
    else
        m_LoadImpedance = m_LoadCapacitor.m_Impedance;
    m_LoadSet = true;
    return true;
}

bool CReceiverCircuit::SetTap(int tapTurn)
{
    m_TapPosition = tapTurn;
    return m_Secondary.SplitAtTap(tapTurn);
}

bool CReceiverCircuit::SetCore(const CCoreParameters& core)
{
    m_CoreDiameter = core.m_Diameter;
    m_CoreLength = core.m_Length;
    m_CoreSet = true;
    for (CCoil* coil : {&m_Primary, &m_Secondary})
    {
        coil->ResetCore();
        coil->m_RodLength = core.m_Length;
        coil->m_RodDiameter = core.m_Diameter;
        coil->m_LossFactor = core.m_LossFactor;
        coil->m_LossFactorFrequency = core.m_LossFactorFrequency;
        coil->m_HasCore = true;
        coil->m_InitialPermeability = core.m_InitialPermeability;
        coil->m_LengthExponent = core.m_LengthExponent;
        coil->m_GapExponent = core.m_GapExponent;
        coil->ComputeApparentPermeability(core.m_InitialPermeability, core.m_GapExponent,
                                          core.m_LengthExponent, 0.0);
        coil->m_ReferencePermeability = coil->m_ApparentPermeability;
    }
    return true;
}

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

    return converged ? 1.0 : 0.0;
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
