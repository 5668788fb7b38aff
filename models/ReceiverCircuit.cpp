// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReceiverCircuit.h"
#include "models/Bisection.h"
#include "models/SideBySide.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace
{
constexpr int Rings = 16;                        // radial rings over the secondary's disc
constexpr double LoopStep = 0.12566370614359174; // 2 pi / 50
// Coils of fewer pairs of turns than this (some milliseconds of work) are summed on the
// calling thread; larger ones in blocks of BlockPairs pairs, a block per processor at a time.
constexpr double SideBySidePairs = 8192.0;
constexpr long long BlockPairs = 2048;

// Whole turns of a winding as a loop count; no turns for less than one (or NaN),
// and a bound far beyond any real winding so the conversion is always defined.
long long WholeTurns(double turns)
{
    if (!(turns >= 1.0))
        return 0;
    return static_cast<long long>(std::min(turns, 1e9));
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
    using CField = std::array<double, Lanes>;

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
    void At(double z, CField& field) const
    {
        if (m_Used <= 2)
            Sum<2>(z, field);
        else if (m_Used <= Rings)
            Sum<Rings>(z, field);
        else
            Sum<Lanes>(z, field);
    }

private:
    template <int Count> void Sum(double z, CField& field) const
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

// Calls add(field) with the fields at z(i, j) for every pair of turns, i from 1 to turns1
// and, within each, j from 1 to turns2, until stopped() says so. Many pairs have their fields
// worked out in blocks side by side; add still takes them one by one in that order.
template <typename Axial, typename Add, typename Stopped>
void ForEachTurnPair(const CLoopFields& fields, long long turns1, long long turns2, Axial z,
                     Add add, Stopped stopped)
{
    using CField = CLoopFields::CField;
    const double pairs = static_cast<double>(turns1) * static_cast<double>(turns2);
    // Beyond the largest count of blocks the pairs would never be finished in any case.
    if (pairs < SideBySidePairs ||
        pairs > static_cast<double>(BlockPairs) * std::numeric_limits<int>::max())
    {
        CField field;
        for (long long i = 1; i <= turns1 && !stopped(); ++i)
            for (long long j = 1; j <= turns2; ++j)
            {
                fields.At(z(i, j), field);
                add(field);
            }
        return;
    }
    const long long count = turns1 * turns2;
    RunSideBySide(
        static_cast<int>((count + BlockPairs - 1) / BlockPairs),
        [&](int b)
        {
            return [&, first = b * BlockPairs](const std::atomic<bool>& stop)
            {
                std::vector<CField> block;
                const long long end = std::min(count, first + BlockPairs);
                block.reserve(static_cast<size_t>(end - first));
                for (long long p = first; p < end && !stop && !stopped(); ++p)
                    fields.At(z(1 + p / turns2, 1 + p % turns2), block.emplace_back());
                return block;
            };
        },
        [&](int, const std::vector<CField>& block)
        {
            for (const CField& field : block)
                add(field);
            return !stopped();
        },
        [](int) { return true; }, [] { return true; });
}
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
    CLoopFields::CField field;
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
    using CField = CLoopFields::CField;

    // The flux of each primary turn through each secondary turn, summed over the rings.
    double mutual = 0.0;
    const long long turns1 = WholeTurns(n1);
    const long long turns2 = WholeTurns(n2);
    const auto axialDistance = [&](long long i, long long j)
    {
        return (l1 + distance) - static_cast<double>(i - 1) * l1 / n1 +
               static_cast<double>(j - 1) * l2 / n2;
    };
    const auto addPair = [&](const CField& at)
    {
        for (int k = 0; k < Rings; ++k)
        {
            mutual += at[k] * ringAreas[k];
            if (k == 0 && e2 > 0.0)
                mutual += at[Rings] * outerArea;
        }
    };
    const auto stopped = [this] { return m_Stop && m_Stop->load(std::memory_order_relaxed); };
    ForEachTurnPair(fields, turns1, turns2, axialDistance, addPair, stopped);

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

bool CReceiverCircuit::AnalyseNoLoad(double frequency, double constantLoss, bool resonant)
{
    m_Frequency = frequency;
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
