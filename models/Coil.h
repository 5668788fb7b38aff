// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Complex.h"
#include "models/Componant.h"
#include "models/Equations.h"

#include <string>

// A single-layer solenoid of solid or litz wire on a tubular former, optionally over a
// ferrite rod, at one working frequency. Usual order for one analysis: Reset; set the
// inputs (and the core data); SetMode; SolveGeometry; if it succeeded ComputeLosses and
// Analyse. Only SolveGeometry fails; it leaves the reason in m_Message.
class CCoil
{
public:
    // Which quantities SolveGeometry takes as inputs.
    static constexpr int ModeInductancePitchRatio = 0;          // L, p, l/D -> D, l, N
    static constexpr int ModeInductancePitchDiameter = 1;       // L, p, D -> l, N, l/D
    static constexpr int ModeDiameterTurnsPitch = 2;            // D, N, p -> l, l/D, L
    static constexpr int ModeInductanceDiameterLengthTurns = 3; // L, D, l, N -> l/D, p

    // Proximity table: wound-wire to straight-wire resistance against p/d (columns) and l/D (rows).
    static constexpr int ProximityColumns = 10;
    static constexpr int ProximityRows = 12;
    static const double ProximityPitchRatios[ProximityColumns];
    static const double ProximityLengthRatios[ProximityRows];
    static const double ProximityTable[ProximityRows][ProximityColumns];
    // The factor of widely spaced turns: no proximity effect; the least the table gives.
    static constexpr double NoProximityFactor = 1.0;

    CEquations m_Equations;
    int m_Mode = 0;
    double m_Inductance = 0.0;    // L including the core, H
    double m_EndInductance = 0.0; // end of the calculator's inductance sweep, H (not used here)
    double m_RDc = 0.0;           // DC resistance of the wire, ohm
    double m_RAcWire = 0.0;       // AC resistance of the straight wire (skin effect), ohm
    double m_RAcCoil = 0.0;       // AC resistance of the wound wire (skin and proximity), ohm
    double m_Diameter = 0.0;      // coil diameter D, m
    double m_FormerInnerDiameter = 0.0;  // D - 2 wall thickness, m
    double m_Turns = 0.0;                // number of turns N (not necessarily whole)
    double m_Length = 0.0;               // winding length l, m
    double m_Pitch = 0.0;                // distance p between turn centres, m
    double m_PitchAngle = 0.0;           // winding pitch angle, rad
    double m_LengthToDiameter = 0.0;     // l/D
    double m_Frequency = 0.0;            // working frequency f, Hz
    double m_CAxial = 0.0;               // axial capacitance, F
    double m_CSelfResonant = 0.0;        // self-capacitance plus m_CExtra, F
    double m_FSelfResonant = 0.0;        // self-resonant frequency, Hz
    double m_CExtra = 0.0;               // extra circuit capacitance across the coil, F
    double m_Q = 0.0;                    // Q at f
    double m_QEff = 0.0;                 // Q reduced by self-resonance
    double m_ConductorDiameter = 0.0;    // bare conductor diameter d of solid wire, m
    double m_WireDiameter = 0.0;         // wire diameter over the insulation, m (stored only)
    double m_WireLength = 0.0;           // length of wire in the winding, m
    double m_ConductorArea = 0.0;        // cross-section of one conductor, m^2
    double m_SkinDepth = 0.0;            // skin depth at f, m
    double m_Resistivity = 0.0;          // conductor resistivity, ohm m
    double m_WirePermeability = 1.0;     // relative permeability of the conductor
    double m_CoreCoilDiameter = 0.0;     // winding diameter used by the core formula, m
    double m_WallThickness = 2.0;        // former wall thickness t, m (2.0 until a caller sets it)
    double m_FormerPermeability = 0.0;   // relative permeability of the former (stored only)
    double m_FormerPermittivity = 0.0;   // relative permittivity of the former
    double m_ExternalPermittivity = 1.0; // relative permittivity around and inside the former
    double m_DissipationFactor = 0.0;    // loss tangent of the former material
    double m_RFormer = 0.0;              // series loss resistance from the former, ohm
    bool m_HasCore = false;              // a ferrite rod is inside the winding
    double m_InitialPermeability = 1.0;  // initial relative permeability of the rod material
    double m_ApparentPermeability =
        1.0; // relative permeability multiplying the air-core inductance
    double m_ReferencePermeability =
        1.0;                   // apparent permeability at which m_ReferenceInductance holds
    double m_LossFactor = 0.0; // relative loss factor of the core material, units of 1e-6
    double m_LossFactorFrequency = 1000.0; // frequency of the quoted loss factor, Hz
    double m_RodDiameter = 0.0;            // rod diameter, m
    double m_RodLength = 0.0;              // rod length, m
    double m_RCore = 0.0;                  // series loss resistance from the core, ohm
    double m_GeometryFactor = 1.0;         // last geometry factor of the apparent permeability
    double m_ReferenceInductance = 0.0;    // L after the last SolveGeometry, H
    double m_LengthFactor = 1.0;           // last length factor of the apparent permeability
    double m_CoreOffset = 0.0;     // last displacement given to the apparent permeability, m
    double m_LengthExponent = 0.0; // length exponent of the rod
    double m_GapExponent = 0.0;    // gap exponent of the rod
    CImpedance m_Impedance;        // series impedance: m_RAcCoil + m_RCore + j omega L, ohm
    double m_Alpha = 0.0;          // (F(sr)^2 - f^2) / F(sr)^2
    double m_TapTurns = 0.0;       // turns below the tap, last SplitAtTap
    double m_TapRatio = 0.0;       // m_TapTurns / N
    CComponant m_TapSection;       // the tapped part of the winding
    CComponant m_RestSection;      // the rest of the winding
    bool m_IsLitz = false;         // the wire is litz
    double m_StrandDiameter = 0.0; // conductor diameter of one litz strand, m
    double m_StrandCount = 0.0;    // number of litz strands
    double m_LitzFactor = 0.0;     // litz AC resistance factor at the working frequency
    std::string m_Message;         // reason of the last failed check; empty when none

    CCoil();
    virtual ~CCoil() = default;

    void Reset();
    void ResetCore();
    void SetMode(int mode);

    bool SolveGeometry();
    bool ComputeLosses();
    bool Analyse();

    bool ComputeApparentPermeability(double initialPermeability, double gapExponent,
                                     double lengthExponent, double offset);
    // Re-evaluates a cored coil with the winding displaced by `offset` (m) from the rod's centre.
    void MoveCore(double offset);
    // Splits the winding at `tapTurns`; false when the coil has no turns.
    bool SplitAtTap(double tapTurns);

    // Bilinear interpolation in the proximity table; below p/d = 1 and l/D = 0 the first
    // column and row hold, above the last ones the table is extrapolated linearly, but never
    // below NoProximityFactor.
    static double ProximityFactor(double pitchToConductor, double lengthToDiameter);
    // The AC resistance factor of litz wire at a frequency, from the factor quoted at 1 MHz:
    // it grows as its power of the frequency in MHz. frequency in Hz.
    static double LitzFactor(double factorAt1MHz, double frequency);

private:
    bool Fail(const char* message);
    bool SolveFromInductancePitchRatio();
    bool SolveFromInductancePitchDiameter();
    bool SolveFromDiameterTurnsPitch();
    bool SolveFromInductanceDiameterLengthTurns();
    bool NagaokaCoefficient(double& coefficient);
    double GeometryInductance();
    bool ComputeWireLength();
    void ComputeDcResistance();
    double ClosedFormAcResistance(double conductorDiameter);
    void ComputeImpedanceAndCoreLoss();
    double EffectivePermittivity(double innerDiameter) const;
};
