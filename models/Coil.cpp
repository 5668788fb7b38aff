// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Coil.h"

#include <cmath>

namespace
{

constexpr double Pi = CEquations::Pi;
constexpr double Mu0 = CEquations::Mu0;

// Mode 1 refines the length until the inductance is within this much of the target (H).
constexpr double InductanceTolerance = 1e-6;
constexpr int MaxBisectionSteps = 100;

constexpr const char* MessageMode0 =
    "Coil inductance, pitch and coil length to diameter ratio must be specified!";
constexpr const char* MessageMode1 = "Coil inductance , pitch and diameter must be specified!";
constexpr const char* MessageMode2 = "Coil diameter, number of turns and pitch must be specified!";
constexpr const char* MessageMode3 =
    "Coil inductance, diamter, length and number of turns must be specified!";
constexpr const char* MessageRatio = "Coil length to diameter ratio must be specified!";
constexpr const char* MessageGeometry =
    "Coil diameter, L/D ratio and number of turns must be specified!";
constexpr const char* MessageWireLength =
    "Coil diameter, length and number of turns must be specified!";

// Index of the first entry not smaller than `value`, or the last one when none is.
template <int N> int FirstNotSmaller(const double (&values)[N], double value)
{
    for (int i = 0; i < N; ++i)
        if (!(values[i] < value))
            return i;
    return N - 1;
}

} // namespace

const double CCoil::ProximityPitchRatios[ProximityColumns] = {1.0, 1.111, 1.25,  1.429, 1.667,
                                                              2.0, 2.5,   3.333, 5.0,   10.0};
const double CCoil::ProximityLengthRatios[ProximityRows] = {0.0, 0.2, 0.4, 0.6, 0.8,  1.0,
                                                            2.0, 4.0, 6.0, 8.0, 10.0, 9999.9};
const double CCoil::ProximityTable[ProximityRows][ProximityColumns] = {
    {5.31, 3.73, 2.74, 2.12, 1.74, 1.44, 1.20, 1.16, 1.07, 1.02},
    {5.45, 3.84, 2.83, 2.20, 1.77, 1.48, 1.29, 1.19, 1.08, 1.02},
    {5.65, 3.99, 2.97, 2.28, 1.83, 1.54, 1.33, 1.21, 1.08, 1.03},
    {5.80, 4.11, 3.10, 2.38, 1.89, 1.60, 1.38, 1.22, 1.10, 1.03},
    {5.80, 4.17, 3.20, 2.44, 1.92, 1.64, 1.42, 1.23, 1.10, 1.03},
    {5.55, 4.10, 3.17, 2.47, 1.94, 1.67, 1.45, 1.24, 1.10, 1.03},
    {4.10, 3.36, 2.74, 2.32, 1.98, 1.74, 1.50, 1.28, 1.13, 1.04},
    {3.54, 3.05, 2.60, 2.27, 2.01, 1.78, 1.54, 1.32, 1.15, 1.04},
    {3.31, 2.92, 2.60, 2.29, 2.03, 1.80, 1.56, 1.34, 1.16, 1.04},
    {3.20, 2.90, 2.62, 2.34, 2.08, 1.81, 1.57, 1.34, 1.165, 1.04},
    {3.23, 2.93, 2.65, 2.27, 2.10, 1.83, 1.58, 1.35, 1.17, 1.04},
    {3.41, 3.11, 2.815, 2.51, 2.22, 1.93, 1.65, 1.395, 1.19, 1.05},
};

CCoil::CCoil()
{
    Reset();
}

void CCoil::Reset()
{
    m_Mode = 0;
    m_Inductance = 0.0;
    m_RDc = 0.0;
    m_RAcWire = 0.0;
    m_RAcCoil = 0.0;
    m_Diameter = 0.0;
    m_Turns = 0.0;
    m_Length = 0.0;
    m_Pitch = 0.0;
    m_LengthToDiameter = 0.0;
    m_Frequency = 0.0;
    m_CExtra = 0.0;
    m_Q = 0.0;
    m_QEff = 0.0;
    m_ConductorDiameter = 0.0;
    m_WireDiameter = 0.0;
    m_WireLength = 0.0;
    m_Resistivity = 0.0;
    m_WirePermeability = 1.0;
    m_CoreCoilDiameter = 0.0;
    m_WallThickness = 2.0;
    m_FormerPermeability = 0.0;
    m_FormerPermittivity = 0.0;
    m_ExternalPermittivity = 1.0;
    m_DissipationFactor = 0.0;
    m_RFormer = 0.0;
    ResetCore();
    m_ReferenceInductance = 0.0;
    m_Impedance = CImpedance();
    m_IsLitz = false;
    m_StrandDiameter = 0.0;
    m_StrandCount = 0.0;
    m_LitzFactor = 0.0;
    m_Message.clear();
}

void CCoil::ResetCore()
{
    m_HasCore = false;
    m_InitialPermeability = 1.0;
    m_ApparentPermeability = 1.0;
    m_ReferencePermeability = 1.0;
    m_GeometryFactor = 1.0;
    m_LossFactor = 0.0;
    m_RodDiameter = 0.0;
    m_RodLength = 0.0;
    m_RCore = 0.0;
    m_CoreOffset = 0.0;
    m_LengthExponent = 0.0;
    m_GapExponent = 0.0;
    m_LossFactorFrequency = 1000.0;
}

void CCoil::SetMode(int mode)
{
    m_Mode = mode;
}

bool CCoil::Fail(const char* message)
{
    m_Message = message;
    return false;
}

// ---- Geometry ----

bool CCoil::SolveGeometry()
{
    bool solved = false;
    m_Message.clear();
    switch (m_Mode)
    {
    case ModeInductancePitchRatio:
        solved = SolveFromInductancePitchRatio();
        break;
    case ModeInductancePitchDiameter:
        solved = SolveFromInductancePitchDiameter();
        break;
    case ModeDiameterTurnsPitch:
        solved = SolveFromDiameterTurnsPitch();
        break;
    case ModeInductanceDiameterLengthTurns:
        solved = SolveFromInductanceDiameterLengthTurns();
        break;
    default:
        break;
    }
    m_ReferenceInductance = m_Inductance;
    return solved;
}

bool CCoil::NagaokaCoefficient(double& coefficient)
{
    m_Message.clear();
    if (!(m_LengthToDiameter > 0))
        return Fail(MessageRatio);
    coefficient = m_Equations.NagaokaCoefficient(m_LengthToDiameter);
    return true;
}

bool CCoil::SolveFromInductancePitchRatio()
{
    if (!(m_Inductance > 0 && m_Pitch > 0 && m_LengthToDiameter > 0))
        return Fail(MessageMode0);
    double k = 0.0;
    if (!NagaokaCoefficient(k))
        return false;
    // The inductance formula with N = l/p and l = (l/D) D, solved for D.
    m_Diameter = std::cbrt(4.0 * m_Inductance * m_Pitch * m_Pitch /
                           (m_ApparentPermeability * Mu0 * Pi * m_LengthToDiameter * k));
    if (!(m_Diameter > 0))
        return Fail(MessageMode0);
    m_Length = m_LengthToDiameter * m_Diameter;
    m_Turns = m_Length / m_Pitch;
    return ComputeWireLength();
}

bool CCoil::SolveFromInductancePitchDiameter()
{
    if (!(m_Inductance > 0 && m_Pitch > 0 && m_Diameter > 0))
        return Fail(MessageMode1);
    const double target = m_Inductance;
    const double p2 = m_Pitch * m_Pitch;

    // First estimate from the long-coil formula L = mu mu0 pi D^2 N^2 / (4l + 1.8D), N = l/p.
    const double a = m_ApparentPermeability * Mu0 * Pi * m_Diameter * m_Diameter;
    const double b = -4.0 * target * p2;
    const double c = -1.8 * target * p2 * m_Diameter * 4.0 * a;
    double length = (std::sqrt(b * b - c) - b) / (2.0 * a);

    auto setLength = [this](double l)
    {
        m_Length = l;
        m_Turns = l / m_Pitch;
        m_LengthToDiameter = l / m_Diameter;
    };

    // Bisection on the length with the Nagaoka-corrected inductance.
    setLength(length);
    double lower = 0.5 * length;
    double upper = 1.5 * length;
    double inductance = GeometryInductance();
    for (int step = 0; step < MaxBisectionSteps; ++step)
    {
        if (std::fabs(inductance - target) <= InductanceTolerance)
            break;
        if (target > inductance)
            lower = length;
        else
            upper = length;
        length = 0.5 * (lower + upper);
        setLength(length);
        inductance = GeometryInductance();
    }
    m_Inductance = target;
    return ComputeWireLength();
}

bool CCoil::SolveFromDiameterTurnsPitch()
{
    if (!(m_Diameter > 0 && m_Turns > 0 && m_Pitch > 0))
        return Fail(MessageMode2);
    m_Length = m_Pitch * m_Turns;
    m_LengthToDiameter = m_Length / m_Diameter;
    m_Inductance = GeometryInductance();
    if (!(m_Inductance > 0))
    {
        if (m_Message.empty())
            m_Message = MessageMode2;
        return false;
    }
    return ComputeWireLength();
}

bool CCoil::SolveFromInductanceDiameterLengthTurns()
{
    if (!(m_Inductance > 0 && m_Diameter > 0 && m_Length > 0 && m_Turns > 0))
        return Fail(MessageMode3);
    m_LengthToDiameter = m_Length / m_Diameter;
    m_Pitch = m_Length / m_Turns;
    return ComputeWireLength();
}

double CCoil::GeometryInductance()
{
    m_Message.clear();
    if (!(m_Diameter > 0 && m_LengthToDiameter > 0 && m_Turns > 0))
    {
        Fail(MessageGeometry);
        return 0.0;
    }
    double k = 0.0;
    if (!NagaokaCoefficient(k))
        return 0.0;
    return m_Equations.SolenoidInductance(m_Turns, m_Diameter, m_Length, k, m_ApparentPermeability);
}

bool CCoil::ComputeWireLength()
{
    m_Message.clear();
    if (!(m_Diameter > 0 && m_Length > 0 && m_Turns > 0))
    {
        m_WireLength = 0.0;
        return Fail(MessageWireLength);
    }
    m_WireLength = std::hypot(Pi * m_Turns * m_Diameter, m_Length);
    return m_WireLength > 0;
}

// ---- Losses ----

void CCoil::ComputeDcResistance()
{
    const double d = m_IsLitz ? m_StrandDiameter : m_ConductorDiameter;
    m_ConductorArea = Pi * (d / 2) * (d / 2);
    m_RDc = m_Resistivity * m_WireLength / m_ConductorArea;
    if (m_IsLitz)
        m_RDc /= m_StrandCount;
}

// Skin-effect resistance of a round conductor by a closed-form fit valid at any ratio of
// radius to skin depth.
double CCoil::ClosedFormAcResistance(double conductorDiameter)
{
    if (!(m_RDc > 0))
        ComputeDcResistance();
    const double delta = m_SkinDepth;
    const double r = conductorDiameter / 2;
    const double z = 0.62006 * r / delta;
    const double shell = (1.0 - std::exp(-r / delta)) * delta;
    const double bracket = std::pow(z, 1.82938) - std::pow(z, -0.99457);
    const double y = 0.189774 / std::pow(1.0 + 0.272481 * bracket * bracket, 1.0941);
    double resistance = r * r / ((1.0 + y) * (2.0 * r * shell - shell * shell)) * m_RDc;
    if (m_IsLitz)
        resistance *= m_LitzFactor;
    return resistance;
}

bool CCoil::ComputeLosses()
{
    m_Q = 0.0;
    ComputeDcResistance();
    m_SkinDepth = std::sqrt(m_Resistivity / (m_Frequency * Pi * Mu0 * m_WirePermeability));
    const double delta = m_SkinDepth;

    // Wire resistance: the current flows in a shell one skin depth deep. The shell formula
    // only holds while that shell lies inside the conductor (depth below the radius); past
    // it, it overstates the resistance without bound as the diameter nears one skin depth,
    // so the closed-form law takes over.
    const double dc = m_IsLitz ? m_StrandDiameter : m_ConductorDiameter;
    if (delta < dc / 2)
    {
        m_RAcWire = m_Resistivity * m_WireLength / ((dc - delta) * Pi * delta);
        if (m_IsLitz)
            m_RAcWire = m_RAcWire * m_LitzFactor / m_StrandCount;
    }
    else
    {
        m_RAcWire = ClosedFormAcResistance(dc);
    }

    // Wound wire: proximity effect from the table, always with the solid conductor diameter.
    const double proximity = ProximityFactor(m_Pitch / m_ConductorDiameter, m_LengthToDiameter);
    if (m_IsLitz)
        m_RAcCoil = m_RAcWire * (1.0 + (proximity - 1.0) * (m_LitzFactor - 1.0));
    else
        m_RAcCoil = m_RAcWire * proximity;

    ComputeImpedanceAndCoreLoss();
    const double reactance = m_Impedance.m_Imag;

    // Former dielectric loss.
    const double innerDiameter = m_Diameter - 2.0 * m_WallThickness;
    const double permittivity = EffectivePermittivity(innerDiameter);
    m_CAxial =
        m_Equations.AxialCapacitance(m_Diameter, m_Length, permittivity, m_ExternalPermittivity);
    const double k = (m_Diameter / 2 - m_WallThickness) / (m_Diameter / 2);
    m_RFormer = m_Frequency * m_Frequency * CEquations::FourPiSquared * m_CAxial * m_Inductance *
                m_DissipationFactor * (1.0 - k * k) * reactance;

    m_Q = reactance / (m_RFormer + m_RAcCoil + m_RCore);
    return true;
}

void CCoil::ComputeImpedanceAndCoreLoss()
{
    m_Impedance.SetComponent(CImpedance::Inductor, m_Inductance, m_RAcCoil, m_Frequency);
    if (m_HasCore)
    {
        m_RCore =
            m_Equations.CoreLossResistance(m_ApparentPermeability, m_LossFactor,
                                           m_LossFactorFrequency, m_Frequency, m_Impedance.m_Imag);
        m_Impedance.SetComponent(CImpedance::Inductor, m_Inductance, m_RCore + m_RAcCoil,
                                 m_Frequency);
    }
}

double CCoil::EffectivePermittivity(double innerDiameter) const
{
    return m_Equations.EffectivePermittivity(m_Diameter, innerDiameter, m_FormerPermittivity,
                                             m_ExternalPermittivity);
}

bool CCoil::Analyse()
{
    m_FormerInnerDiameter = m_Diameter - 2.0 * m_WallThickness;
    m_PitchAngle = m_Equations.PitchAngle(m_Diameter, m_Pitch);
    const double permittivity = EffectivePermittivity(m_FormerInnerDiameter);
    m_CAxial =
        m_Equations.AxialCapacitance(m_Diameter, m_Length, permittivity, m_ExternalPermittivity);
    m_CSelfResonant = m_Equations.SelfCapacitance(m_Diameter, m_Length, permittivity,
                                                  m_ExternalPermittivity, m_PitchAngle) +
                      m_CExtra;
    m_FSelfResonant = m_Equations.ResonantFrequency(m_Inductance, m_CSelfResonant);
    m_Alpha = m_Equations.ResonanceFactor(m_FSelfResonant, m_Frequency);
    m_QEff = m_Equations.EffectiveQ(m_Q, m_FSelfResonant, m_Frequency);
    return true;
}

// ---- Core and tap ----

bool CCoil::ComputeApparentPermeability(double initialPermeability, double gapExponent,
                                        double lengthExponent, double offset)
{
    m_ApparentPermeability = 1.0;
    m_GeometryFactor = 1.0;
    m_LengthFactor = 1.0;
    m_CoreOffset = offset;
    if (m_HasCore)
        m_ApparentPermeability =
            m_Equations.ApparentPermeability({.m_InitialPermeability = initialPermeability,
                                              .m_RodDiameter = m_RodDiameter,
                                              .m_RodLength = m_RodLength,
                                              .m_CoilDiameter = m_CoreCoilDiameter,
                                              .m_CoilLength = m_Length,
                                              .m_GapExponent = gapExponent,
                                              .m_LengthExponent = lengthExponent,
                                              .m_Offset = offset},
                                             m_GeometryFactor, m_LengthFactor);
    return true;
}

void CCoil::MoveCore(double offset)
{
    if (!m_HasCore)
        return;
    ComputeApparentPermeability(m_InitialPermeability, m_GapExponent, m_LengthExponent,
                                m_Length / 2 + offset);
    m_Inductance = m_ApparentPermeability / m_ReferencePermeability * m_ReferenceInductance;
    ComputeImpedanceAndCoreLoss();
    m_Q = m_Impedance.m_Imag / (m_RFormer + m_RAcCoil + m_RCore);
    Analyse();
}

bool CCoil::SplitAtTap(double tapTurns)
{
    m_TapTurns = tapTurns;
    if (!(m_Turns > 0))
        return false;
    m_TapRatio = tapTurns / m_Turns;
    const double resistance = m_RAcCoil + m_RCore;
    const double tapInductance = m_Inductance * m_TapRatio;
    const double tapResistance = resistance * m_TapRatio;
    m_TapSection.Set(CComponant::Inductor, tapInductance, tapResistance);
    m_TapSection.ComputeImpedance(m_Frequency);
    m_RestSection.Set(CComponant::Inductor, m_Inductance - tapInductance,
                      resistance - tapResistance);
    m_RestSection.ComputeImpedance(m_Frequency);
    return true;
}

// ---- Proximity table ----

double CCoil::ProximityFactor(double pitchToConductor, double lengthToDiameter)
{
    const int i = FirstNotSmaller(ProximityPitchRatios, pitchToConductor);
    const int j = FirstNotSmaller(ProximityLengthRatios, lengthToDiameter);

    // At (or below) the first column or row that column or row holds alone.
    const int i0 = i > 0 ? i - 1 : 0;
    const int j0 = j > 0 ? j - 1 : 0;
    const double wx = i > 0 ? (pitchToConductor - ProximityPitchRatios[i0]) /
                                  (ProximityPitchRatios[i] - ProximityPitchRatios[i0])
                            : 0.0;
    const double wy = j > 0 ? (lengthToDiameter - ProximityLengthRatios[j0]) /
                                  (ProximityLengthRatios[j] - ProximityLengthRatios[j0])
                            : 0.0;
    const auto& t = ProximityTable;
    const double factor = (1 - wy) * ((1 - wx) * t[j0][i0] + wx * t[j0][i]) +
                          wy * ((1 - wx) * t[j][i0] + wx * t[j][i]);
    // Beyond a pitch of 10 conductor diameters the extrapolation falls on towards zero; a wound
    // wire never has less resistance than a straight one, so it stops at no proximity effect.
    return factor < NoProximityFactor ? NoProximityFactor : factor;
}

double CCoil::LitzFactor(double factorAt1MHz, double frequency)
{
    return std::pow(factorAt1MHz, frequency / 1e6);
}
