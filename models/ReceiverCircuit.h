// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Coil.h"
#include "models/Complex.h"
#include "models/Componant.h"
#include "models/Diode.h"
#include "models/Equations.h"
#include "models/ReceiverSelectivity.h"

#include <atomic>

// The detector diode as the receiver calculator gives it, for SetDiode. Capacitances in F,
// saturation currents in uA, the transit time in ns; the law coefficients as CDiode's setters
// take them. Only the coefficients of the chosen laws are used.
struct CDiodeParameters
{
    double m_TurnOnVoltage = 0.0;      // V, also the built-in voltage of the junction law
    double m_JunctionCap = 0.0;        // F, at m_JunctionCapVoltage
    double m_JunctionCapVoltage = 0.0; // V
    double m_ParasiticCap = 0.0;       // F
    int m_ForwardLaw = CDiode::ForwardDiodeEquation;
    double m_SatCurrent = 0.0; // uA, diode equation
    double m_Ideality = 0.0;   // forward ideality factor
    double m_A = 0.0;          // quadratic a (mA/V^2), or the power law's a (mA at 1 V)
    double m_B = 0.0;          // quadratic b (mA/V), or the power law's exponent
    double m_C = 0.0;          // quadratic c (mA)
    int m_ReverseLaw = CDiode::ReverseQuadratic;
    double m_RevSatCurrent = 0.0;  // uA, diode equation
    double m_RevIdeality = 0.0;    // reverse ideality factor
    double m_RevA = 0.0;           // quadratic, uA/V^2
    double m_RevB = 0.0;           // uA/V
    double m_RevC = 0.0;           // uA
    double m_RevResistance = 0.0;  // ohm, constant resistance
    double m_TransitTimeNs = 0.0;  // ns
    double m_CapQuotient = 2.0;    // junction capacitance quotient m
    double m_NegCapQuotient = 0.0; // quotient below m_JunctionCapVoltage; 0 uses m throughout
};

// The ferrite core both coils are wound on, for SetCore.
struct CCoreParameters
{
    double m_Diameter = 0.0;            // m
    double m_Length = 0.0;              // m
    double m_InitialPermeability = 0.0; // initial relative permeability of the core material
    double m_GapExponent = 0.0;         // of the apparent-permeability law
    double m_LengthExponent = 0.0;      // of the apparent-permeability law
    double m_LossFactor = 0.0;          // relative loss factor, in units of 1e-6
    double m_LossFactorFrequency = 0.0; // Hz, where m_LossFactor holds
};

// A crystal set of two coaxial coupled coils: a source drives the primary, the secondary
// is tuned to resonance and tapped into a diode detector with an audio load. For one
// frequency and coil distance it gives the coupling, the currents and voltages with and
// without the detector, the loaded Q, the detector's DC and audio output and a sound level.
//
// Order for one distance: SetFrequency (once per run), [MoveCores], SetDistance, SetSource,
// AnalyseNoLoad; then SetDiode, SetLoad, m_QMax = 10000, and for w = 1, 2, ...: SetTap(w),
// AnalyseDetector. A tap's result depends on the taps before it.
class CReceiverCircuit
{
public:
    CReceiverCircuit() = default;
    virtual ~CReceiverCircuit() = default;

    // frequency in Hz, otherLossPercent in % of Q. False when a coil cannot be solved.
    bool SetFrequency(double frequency, double otherLossPercent);
    // Slides both windings to `position` (m) on the ferrite core.
    bool MoveCores(double position);
    // Mutual inductance (H) at the axial gap `distance` (m). It is 0 when the windings do not
    // couple, as on a ferrite rod much thinner than the coils, where the coupling law underflows.
    double SetDistance(double distance, bool hasCore);
    bool SetSource(double voltage, CImpedance impedance);
    // frequency in Hz, constantLoss in ohm.
    bool AnalyseNoLoad(double frequency, double constantLoss, bool resonant);
    bool SetDiode(const CDiodeParameters& diode);
    // Resistance in ohm, capacitances in F; the fourth value is not used.
    bool SetLoad(double audioResistor, double audioCapacitor, double earphoneCapacitor,
                 double unused);
    bool SetTap(int tapTurn);
    // One detector analysis at the current tap. False (nothing computed) until the coils,
    // the source and the load are set; false too when a result is not a finite number (no
    // coupling, no source or no load leave nothing to detect), the results then as computed.
    bool AnalyseDetector();
    bool SetCore(const CCoreParameters& core);
    // The set as tuned at the working frequency with the detector at the current tap, held:
    // after AnalyseNoLoad and the tap sweep up to the tap. The detector's loading is taken at
    // its level at f0: its resistance is what leaves the secondary the loaded Q of this tap.
    CHeldTuning HoldTuning() const;

    // Mutual inductance (H) of the two air-core windings at the axial gap `distance` (m).
    double AirCoreMutualInductance(double distance);
    // Axial flux density per ampere (T/A) at radius a - b from the axis of a loop of radius a (m),
    // at axial distance z (m), in a medium of relative permeability mu.
    double LoopField(double a, double b, double z, double mu) const;
    // DC output of the detector driven with RF amplitude `peak` (V): 1 when converged, else 0.
    // A zero or non-finite amplitude, frequency or load, or a charge that is not a finite
    // number, stops the solve at its first pass with the results the remaining passes give.
    double SolveDetector(double peak);
    // The diode's results in each half-cycle at the DC voltage SolveDetector found.
    void SetHalfCycleResults(double peak, double recharge);
    // The detector's loss in each half-cycle at tap fraction t and RF amplitude `peak`.
    void SetForwardLoss(double t, double peak);
    void SetReverseLoss(double t, double peak);
    // Audio voltage (V) from RF amplitude and DC voltage (V).
    double AudioOutput(double amplitude, double dcVoltage);
    // resistance in ohm, voltage in V: m_FrequencyFactor * m_AudioEfficiency.
    double AudioFactors(double resistance, double voltage, bool isResistor);
    // Fraction of the RF cycle in which the diode conducts.
    static double ConductionFraction(double dcVoltage, double amplitude);

    CEquations m_Equations;
    CCoil m_Primary;
    CCoil m_Secondary;
    double m_Distance = 0.0; // m, end of the primary to start of the secondary
    CComponant m_Mutual;     // inductor of value M (H)
    double m_Coupling = 0.0; // K
    // While set, the air-core turn sum stops at the next primary turn once it reads true: the
    // results are then to be dropped. Set only for the time a distance is worked out.
    const std::atomic<bool>* m_Stop = nullptr;
    double m_SourceVoltage = 0.0;       // V
    CImpedance m_SourceImpedance;       // ohm
    double m_Frequency = 0.0;           // Hz
    double m_Period = 0.0;              // s
    CImpedance m_BackEmf;               // V
    CImpedance m_ZinOpen;               // ohm, "Zin(0)"
    CImpedance m_ZinResonant;           // ohm, "Zin(res)"
    CImpedance m_PrimaryCurrent;        // A, secondary open
    CImpedance m_PrimaryCurrentLoaded;  // A, secondary resonant
    CImpedance m_PrimaryVoltage;        // V, "Vp(0)"
    CComponant m_RequiredComponent;     // "Rqrd for res"
    CImpedance m_ReflectedImpedance;    // ohm, "Z(refl)"
    double m_UnusedTurns = 0.0;         // turns of the primary not in circuit
    bool m_Resonant = false;            // source and primary reactances tuned out
    CImpedance m_SecondaryEmf;          // V, "Vs(0)"
    CImpedance m_SecondaryCurrent;      // A
    CImpedance m_CoilVoltage;           // V, "Vs(res)", "Vcoil"
    CComponant m_TuningComponent;       // its value is "TuneCap" (F)
    double m_QNoLoad = 0.0;             // Q without the detector
    double m_ReflectedResistance = 0.0; // ohm
    double m_ReverseLoss = 0.0;         // ohm
    double m_ForwardLoss = 0.0;         // ohm
    double m_ConstantLoss = 0.0;        // ohm
    double m_TapPosition = 0.0;         // turns
    CDiode m_Diode;
    CComponant m_AudioResistor;         // ohm
    CComponant m_AudioCapacitor;        // F
    CComponant m_EarphoneCapacitor;     // F
    CComponant m_LoadCapacitor;         // F, audio plus earphone
    CImpedance m_LoadImpedance;         // ohm
    CImpedance m_DetectorParallel;      // ohm
    CImpedance m_DischargeImpedance;    // ohm
    CImpedance m_FwdLossA;              // ohm
    CImpedance m_RevLossA;              // ohm
    CImpedance m_FwdLossB;              // ohm
    CImpedance m_RevLossB;              // ohm
    double m_OtherLossFactor = 1.0;     // 1 - other losses / 100
    double m_TapFraction = 0.0;         // tap turns / secondary turns
    CImpedance m_SecondaryLoaded;       // ohm
    double m_Duty = 0.0;                // conducting fraction of the RF cycle
    double m_LoadedQ = 0.0;             // "Q" with the detector
    double m_QMax = 10000.0;            // upper limit of m_LoadedQ in a tap sweep
    double m_TapVoltage = 0.0;          // V, "Vtap"
    double m_Spl = 0.0;                 // dB, "SPL"
    double m_PrevTapVoltage = 0.0;      // V
    bool m_TapClamped = false;          // the tap voltage has fallen once in this sweep
    double m_DcVoltage = 0.0;           // V, "Vdc"
    bool m_DetectorConverged = false;   // the last detector charge balance met its tolerance
    int m_DetectorPasses = 0;           // passes the last detector charge balance made
    CImpedance m_FwdDetectorCurrent;    // A, forward half-cycle
    CImpedance m_FwdDetectorImpedance;  // ohm, what the tap sees in the forward half-cycle
    CImpedance m_RevDetectorCurrent;    // A, reverse half-cycle
    CImpedance m_RevDetectorImpedance;  // ohm, what the tap sees in the reverse half-cycle
    double m_TransformationRatio = 0.0; // "NRGain"
    bool m_SourceSet = false;
    bool m_CoilsValid = false;
    bool m_LoadSet = false;
    double m_VoltageFactor = 1.0;   // ratio
    double m_AudioEfficiency = 1.0; // ratio
    double m_FrequencyFactor = 0.0; // ratio
    double m_AudioVoltage = 0.0;    // V, "Vadio"
    bool m_CoreSet = false;
    double m_CoreDiameter = 0.0; // m
    double m_CoreLength = 0.0;   // m

private:
    bool SolveCoil(CCoil& coil);
    // Whether every value of a detector report row is a finite number.
    bool DetectorResultsFinite() const;
    // m_DischargeImpedance: the path through which the load capacitance discharges while
    // the diode blocks, in parallel with the audio resistor when there is one.
    void SetDischargePath(const CImpedance& diodePath, double reverseResistance, double voltage);
    // Audio-side loss terms of one half-cycle with the diode at diodeImpedance.
    void HalfCycleLosses(const CImpedance& diodeImpedance, double voltage, CImpedance& lossA,
                         CImpedance& lossB);
    // Secondary current, back EMF, loaded primary current and reflected impedance for
    // m_CoilVoltage.
    void UpdatePrimaryWithLoadedQ();
};
