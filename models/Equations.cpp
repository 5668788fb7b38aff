// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Equations.h"

#include <cmath>

// ---- Resonance ----

double CEquations::ResonantFrequency(double inductance, double capacitance)
{
    return 1.0 / (TwoPi * std::sqrt(inductance * capacitance));
}

double CEquations::ResonantCapacitance(double frequency, double inductance)
{
    return 1.0 / (FourPiSquared * frequency * frequency * inductance);
}

double CEquations::ResonantCapacitanceLossy(double frequency, double inductance, double resistance)
{
    const double w = TwoPi * frequency;
    if (resistance > 0)
        return inductance / (w * w * inductance * inductance + resistance * resistance);
    return 1.0 / (w * w * inductance);
}

double CEquations::ResonantInductanceLossy(double frequency, double capacitance, double resistance)
{
    const double w = TwoPi * frequency;
    if (resistance > 0)
        return (1.0 + std::sqrt(1.0 - 4.0 * w * w * capacitance * capacitance * resistance *
                                          resistance)) /
               (2.0 * w * w * capacitance);
    return 1.0 / (w * w * capacitance);
}

double CEquations::ResonantFrequencyLossy(double inductance, double inductorResistance,
                                          double capacitance, double capacitorResistance)
{
    return std::sqrt((inductance - inductorResistance * inductorResistance * capacitance) /
                     (inductance - capacitorResistance * capacitorResistance * capacitance)) /
           (TwoPi * std::sqrt(inductance * capacitance));
}

double CEquations::TuningCapacitance(double inductance, double frequency)
{
    return 1e12 / (FourPiSquared * inductance * frequency * frequency);
}

double CEquations::TuningFrequency(double inductance, double capacitance)
{
    return 1e6 / (TwoPi * std::sqrt(inductance * capacitance));
}

double CEquations::ResonanceFactor(double selfResonantFrequency, double frequency)
{
    const double fsr2 = selfResonantFrequency * selfResonantFrequency;
    return (fsr2 - frequency * frequency) / fsr2;
}

double CEquations::EffectiveQ(double q, double selfResonantFrequency, double frequency)
{
    return q * ResonanceFactor(selfResonantFrequency, frequency);
}

// ---- Conductors ----

double CEquations::SkinDepth(double resistivity, double frequency, double relPermeability)
{
    return std::sqrt(2.0 * resistivity / (relPermeability * Mu0 * TwoPi * frequency));
}

double CEquations::DcResistance(double length, double area, double resistivity)
{
    return length * resistivity / area;
}

double CEquations::AcResistanceRound(double resistivity, double length, double radius,
                                     double skinDepth)
{
    if (skinDepth < radius)
        return resistivity * length / ((2.0 * radius - skinDepth) * Pi * skinDepth);
    return resistivity * length / (Pi * radius * radius);
}

double CEquations::AcResistanceFlat(double resistivity, double length, double width,
                                    double thickness, double skinDepth)
{
    return resistivity * length / ((width + thickness - skinDepth) * skinDepth);
}

double CEquations::StraightWireInductance(double length, double diameter, double relPermeability)
{
    return Mu0 * relPermeability * length / TwoPi * (std::log(2.0 * length / diameter) - 1.0);
}

double CEquations::FlatConductorInductance(double length, double width, double thickness,
                                           double relPermeability)
{
    const double perimeterHalf = width + thickness;
    return Mu0 * relPermeability * length / TwoPi *
           (std::log(2.0 * length / perimeterHalf) + 0.5 + 0.2235 * perimeterHalf / length);
}

// ---- Single-layer coils ----

double CEquations::NagaokaCoefficient(double lengthToDiameter)
{
    const double x = lengthToDiameter;
    return (2.0 * x / Pi) *
           (std::log(1.0 + Pi / (2.0 * x)) + 1.0 / (2.3004 + 3.2219 * x + 1.7793 * x * x));
}

double CEquations::SolenoidInductance(double turns, double diameter, double length,
                                      double nagaokaCoefficient, double relPermeability)
{
    return relPermeability * Mu0 * Pi * diameter * diameter * turns * turns / (4.0 * length) *
           nagaokaCoefficient;
}

double CEquations::PitchAngle(double diameter, double pitch)
{
    return std::atan(pitch / (Pi * diameter));
}

double CEquations::EffectivePermittivity(double outerDiameter, double innerDiameter,
                                         double formerPermittivity, double innerPermittivity)
{
    const double k = innerDiameter / outerDiameter;
    return (1.0 - k * k) * formerPermittivity + k * k * innerPermittivity;
}

double CEquations::AxialCapacitance(double diameter, double length, double permittivity1,
                                    double permittivity2)
{
    return 2.0 * Epsilon0 * diameter * (permittivity1 + permittivity2) /
           std::log(1.0 + PiSquared * length / diameter);
}

double CEquations::SelfCapacitance(double diameter, double length, double internalPermittivity,
                                   double externalPermittivity, double pitchAngle)
{
    const double x = diameter / length;
    const double kc = 0.933048 * std::pow(x, 1.5) + 0.717439 * x + 0.106 * x * x;
    const double c = (1.0 + kc * (internalPermittivity / externalPermittivity + 1.0) * 0.5) *
                     (externalPermittivity * FourEpsilon0 * length / Pi);
    const double cosPsi = std::cos(pitchAngle);
    return c / (cosPsi * cosPsi);
}

double CEquations::CoreLossResistance(double apparentPermeability, double lossFactor,
                                      double lossFactorFrequency, double frequency,
                                      double reactance)
{
    return reactance * apparentPermeability * (lossFactor * 1e-6) * frequency / lossFactorFrequency;
}

// ---- Ferrite rod ----

double CEquations::RodPermeability(double initialPermeability, double rodDiameter, double rodLength)
{
    return initialPermeability /
           (1.0 + 0.84 * (initialPermeability - 1.0) * std::pow(rodDiameter / rodLength, 1.7));
}

double CEquations::ApparentPermeability(const CCoilOnRod& coil, double& geometryFactor,
                                        double& lengthFactor)
{
    const double rodDiameter = coil.m_RodDiameter;
    const double rodLength = coil.m_RodLength;
    const double coilDiameter = coil.m_CoilDiameter;
    const double effectiveLength = (1.0 - rodLength * 59.63 * coil.m_Offset) * rodLength;
    lengthFactor = std::pow(coil.m_CoilLength / effectiveLength,
                            (coilDiameter / rodDiameter) * coil.m_LengthExponent);
    geometryFactor = std::pow(rodDiameter / coilDiameter, coil.m_GapExponent) * lengthFactor;
    return RodPermeability(coil.m_InitialPermeability, rodDiameter, effectiveLength) *
           geometryFactor;
}

// ---- Transmission lines ----

double CEquations::TwinLineCapacitance(double diameter, double spacing, double relPermittivity)
{
    return Pi * Epsilon0 * relPermittivity / ArcCosh(spacing / diameter);
}

double CEquations::TwinLineInductance(double diameter, double spacing, double relPermeability)
{
    return ArcCosh(spacing / diameter) * Mu0 * relPermeability / Pi;
}

CComplex CEquations::PropagationConstant(double resistancePerMetre, double inductancePerMetre,
                                         double conductancePerMetre, double capacitancePerMetre,
                                         double frequency)
{
    const double w = TwoPi * frequency;
    const CComplex z(resistancePerMetre, w * inductancePerMetre);
    const CComplex y(conductancePerMetre, w * capacitancePerMetre);
    return (z * y).Sqrt();
}

CComplex CEquations::CharacteristicImpedance(double resistancePerMetre, double inductancePerMetre,
                                             double conductancePerMetre, double capacitancePerMetre,
                                             double frequency)
{
    const double w = TwoPi * frequency;
    const CComplex z(resistancePerMetre, w * inductancePerMetre);
    const CComplex y(conductancePerMetre, w * capacitancePerMetre);
    return (z / y).Sqrt();
}

CComplex CEquations::ComplexTanh(double real, double imag)
{
    const CComplex sinhValue(std::sinh(real) * std::cos(imag), std::cosh(real) * std::sin(imag));
    const CComplex coshValue(std::cosh(real) * std::cos(imag), std::sinh(real) * std::sin(imag));
    return sinhValue / coshValue;
}

CComplex CEquations::LineInputImpedance(double length, CComplex z0, CComplex gamma, CComplex zLoad)
{
    const CComplex t = ComplexTanh(gamma.real * length, gamma.imag * length);
    const CComplex a = z0 + zLoad * t;
    const CComplex b = zLoad + z0 * t;
    return z0 * (b / a);
}

CComplex CEquations::OpenLineImpedance(double length, CComplex z0, CComplex gamma)
{
    return z0 / ComplexTanh(gamma.real * length, gamma.imag * length);
}

double CEquations::VelocityFactor(double velocity)
{
    return velocity / SpeedOfLight;
}

// ---- Antennas and reception ----

double CEquations::ShortMonopoleRadiationResistance(double height, double wavelength)
{
    const double ratio = height / wavelength;
    return FortyPiSquared * ratio * ratio;
}

double CEquations::EffectiveHeight(double wavelength, double twiceHeight)
{
    return (1.0 - std::cos(Pi * twiceHeight / wavelength)) * wavelength / TwoPi;
}

double CEquations::GroundRodResistance(double length, double diameter, double resistivity)
{
    return resistivity / (TwoPi * length) * (std::log(8.0 * length / diameter) - 1.0);
}

double CEquations::GroundLossResistance(double groundResistance, double conductorDiameter,
                                        double height, double frequency)
{
    const double wavelength = SpeedOfLight / frequency;
    const double u = (TwoPi / wavelength) * height;
    const double s = std::sin(u);
    const double c = std::cos(u);
    return (std::log(wavelength / (2.0 * conductorDiameter)) * s * s -
            (std::sin(std::sqrt(u * u + PiSquaredOverFour)) - c) * 4.0 * c) *
           groundResistance / TwoPi;
}

double CEquations::FieldStrength(double power, double distance, double gain, double extraExponent)
{
    return std::sqrt(754.0 * power * gain / (FourPi * std::pow(distance, extraExponent + 2.0)));
}

double CEquations::InducedVoltage(double fieldStrength, double effectiveHeight, double length1,
                                  double angle1, double length2, double angle2)
{
    const double total = length1 + length2;
    return fieldStrength * effectiveHeight *
           (std::sin(angle1) * length1 / total + std::sin(angle2) * length2 / total);
}

CComplex CEquations::VoltageDivider(double voltage, CComplex seriesImpedance,
                                    CComplex loadImpedance)
{
    const CComplex total = seriesImpedance + loadImpedance;
    return (loadImpedance / total) * voltage;
}

// ---- Coupled coils ----

double CEquations::CouplingCoefficient(double mutualInductance, double inductance1,
                                       double inductance2)
{
    return mutualInductance / std::sqrt(inductance1 * inductance2);
}

double CEquations::TransformationRatio(double coupling, double inductance2, double inductance1)
{
    return coupling * std::sqrt(inductance2 / inductance1);
}
