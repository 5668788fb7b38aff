// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Complex.h"

// A coil wound over a ferrite rod, for CEquations::ApparentPermeability.
struct CCoilOnRod
{
    double m_InitialPermeability = 0.0; // initial relative permeability of the rod material
    double m_RodDiameter = 0.0;         // m
    double m_RodLength = 0.0;           // m
    double m_CoilDiameter = 0.0;        // m
    double m_CoilLength = 0.0;          // m
    double m_GapExponent = 0.0;         // of the apparent-permeability law
    double m_LengthExponent = 0.0;      // of the apparent-permeability law
    double m_Offset = 0.0;              // m, of the coil's centre from the rod's centre
};

// The shared physical formulas. Every argument and result is in SI units (metre, ohm,
// ohm-metre, henry, farad, hertz, radian, volt per metre); relative permeabilities and
// permittivities are plain ratios. The operations keep no state and check nothing: bad
// arguments give infinite or NaN results, which the models guard against before calling.
class CEquations
{
public:
    static constexpr double Pi = 3.141592653589793;
    static constexpr double TwoPi = 6.283185307179586;
    static constexpr double TwoOverPi = 0.6366197723675814;
    static constexpr double PiSquared = 9.869604401089358;
    static constexpr double PiSquaredOverFour = 2.4674011002723395;
    static constexpr double FourPi = 12.566370614359172;
    static constexpr double FourPiSquared = 39.47841760435743;
    static constexpr double FortyPiSquared = 394.7841760435743;
    static constexpr double Mu0 = 1.25663706212e-6;           // H/m
    static constexpr double Epsilon0 = 8.8541878128e-12;      // F/m
    static constexpr double FourEpsilon0 = 3.54167512512e-11; // F/m
    static constexpr double SpeedOfLight = 299792458.0;       // m/s

    virtual ~CEquations() = default;

    // ---- Resonance ----
    static double ResonantFrequency(double inductance, double capacitance);
    // Also gives the inductance that resonates a capacitance, with the roles exchanged.
    static double ResonantCapacitance(double frequency, double inductance);
    static double ResonantCapacitanceLossy(double frequency, double inductance, double resistance);
    static double ResonantInductanceLossy(double frequency, double capacitance, double resistance);
    static double ResonantFrequencyLossy(double inductance, double inductorResistance,
                                         double capacitance, double capacitorResistance);
    static double ResonanceFactor(double selfResonantFrequency, double frequency);
    // The same relations in the units of a tuning capacitor's band: kHz, pF and uH. The
    // capacitance (pF) that resonates an inductance (uH) at a frequency (kHz), and with the
    // roles exchanged the inductance that resonates a capacitance.
    static double TuningCapacitance(double inductance, double frequency);
    // The resonant frequency (kHz) of an inductance (uH) and a capacitance (pF).
    static double TuningFrequency(double inductance, double capacitance);
    static double EffectiveQ(double q, double selfResonantFrequency, double frequency);

    // ---- Conductors ----
    static double SkinDepth(double resistivity, double frequency, double relPermeability);
    static double DcResistance(double length, double area, double resistivity);
    static double AcResistanceRound(double resistivity, double length, double radius,
                                    double skinDepth);
    static double AcResistanceFlat(double resistivity, double length, double width,
                                   double thickness, double skinDepth);
    static double StraightWireInductance(double length, double diameter, double relPermeability);
    static double FlatConductorInductance(double length, double width, double thickness,
                                          double relPermeability);

    // ---- Single-layer coils ----
    static double NagaokaCoefficient(double lengthToDiameter);
    static double SolenoidInductance(double turns, double diameter, double length,
                                     double nagaokaCoefficient, double relPermeability);
    static double PitchAngle(double diameter, double pitch);
    static double EffectivePermittivity(double outerDiameter, double innerDiameter,
                                        double formerPermittivity, double innerPermittivity);
    static double AxialCapacitance(double diameter, double length, double permittivity1,
                                   double permittivity2);
    static double SelfCapacitance(double diameter, double length, double internalPermittivity,
                                  double externalPermittivity, double pitchAngle);
    // lossFactor in units of 1e-6, quoted at lossFactorFrequency and scaled linearly with
    // frequency.
    static double CoreLossResistance(double apparentPermeability, double lossFactor,
                                     double lossFactorFrequency, double frequency,
                                     double reactance);

    // ---- Ferrite rod ----
    // The apparent relative permeability the coil sees; writes the geometry and length factors.
    static double ApparentPermeability(const CCoilOnRod& coil, double& geometryFactor,
                                       double& lengthFactor);
    // The permeability of the bare rod: mu_i / (1 + 0.84 (mu_i - 1) (d/l)^1.7).
    static double RodPermeability(double initialPermeability, double rodDiameter, double rodLength);

    // ---- Transmission lines ----
    static double TwinLineCapacitance(double diameter, double spacing, double relPermittivity);
    static double TwinLineInductance(double diameter, double spacing, double relPermeability);
    static CComplex PropagationConstant(double resistancePerMetre, double inductancePerMetre,
                                        double conductancePerMetre, double capacitancePerMetre,
                                        double frequency);
    static CComplex CharacteristicImpedance(double resistancePerMetre, double inductancePerMetre,
                                            double conductancePerMetre, double capacitancePerMetre,
                                            double frequency);
    static CComplex ComplexTanh(double real, double imag);
    static CComplex LineInputImpedance(double length, CComplex z0, CComplex gamma, CComplex zLoad);
    static CComplex OpenLineImpedance(double length, CComplex z0, CComplex gamma);
    static double VelocityFactor(double velocity);

    // ---- Antennas and reception ----
    static double ShortMonopoleRadiationResistance(double height, double wavelength);
    static double EffectiveHeight(double wavelength, double twiceHeight);
    static double GroundRodResistance(double length, double diameter, double resistivity);
    static double GroundLossResistance(double groundResistance, double conductorDiameter,
                                       double height, double frequency);
    static double FieldStrength(double power, double distance, double gain, double extraExponent);
    // Angles in radians.
    static double InducedVoltage(double fieldStrength, double effectiveHeight, double length1,
                                 double angle1, double length2, double angle2);
    static CComplex VoltageDivider(double voltage, CComplex seriesImpedance,
                                   CComplex loadImpedance);

    // ---- Coupled coils ----
    static double CouplingCoefficient(double mutualInductance, double inductance1,
                                      double inductance2);
    static double TransformationRatio(double coupling, double inductance2, double inductance1);
};
