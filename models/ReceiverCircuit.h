#pragma once

#include "models/Coil.h"
#include "models/Complex.h"
#include "models/Componant.h"
#include "models/Diode.h"
#include "models/Equations.h"

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
    // frequencyKHz in kHz, constantLoss in ohm.
    bool AnalyseNoLoad(double frequencyKHz, double constantLoss, bool resonant);
    // Capacitances in F, saturation currents in uA, transit time in ns; the law
    // coefficients as CDiode's setters take them.
    bool SetDiode(double turnOnVoltage, double junctionCap, double junctionCapVoltage,
                  double parasiticCap, int forwardLaw, double satCurrent, double ideality, double a,
                  double b, double c, int reverseLaw, double revSatCurrent, double revIdeality,
                  double revA, double revB, double revC, double revResistance, double transitTimeNs,
                  double capQuotient, double negCapQuotient);
    // Resistance in ohm, capacitances in F; the fourth value is not used.
    bool SetLoad(double audioResistor, double audioCapacitor, double earphoneCapacitor,
                 double unused);
    bool SetTap(int tapTurn);
    // One detector analysis at the current tap. False (nothing computed) until the coils,
    // the source and the load are set; false too when a result is not a finite number (no
    // coupling, no source or no load leave nothing to detect), the results then as computed.
    bool AnalyseDetector();
    // Lengths in m, loss factor in units of 1e-6, its frequency in Hz.
    bool SetCore(double coreDiameter, double coreLength, double initialPermeability,
                 double gapExponent, double lengthExponent, double lossFactor,
                 double lossFactorFrequency);

    // Mutual inductance (H) of the two air-core windings at the axial gap `distance` (m).
    double AirCoreMutualInductance(double distance);
    // Axial flux density per ampere (T/A) at radius a - b from the axis of a loop of radius a (m),
    // at axial distance z (m), in a medium of relative permeability mu.
    double LoopField(double a, double b, double z, double mu) const;
    // DC output of the detector driven with RF amplitude `peak` (V): 1 when converged, else 0.
    // A zero or non-finite amplitude, frequency or load stops the solve at its first pass.
    double SolveDetector(double peak);
    // Audio voltage (V) from RF amplitude and DC voltage (V).
    double AudioOutput(double amplitude, double dcVoltage);
    // resistance in ohm, voltage in V: m_FrequencyFactor * m_AudioEfficiency.
    double AudioFactors(double resistance, double voltage, bool isResistor);
    // Fraction of the RF cycle in which the diode conducts.
    static double ConductionFraction(double dcVoltage, double amplitude);

    CEquations m_Equations;
    CCoil m_Primary;
    CCoil m_Secondary;
    double m_Distance = 0.0;            // m, end of the primary to start of the secondary
    CComponant m_Mutual;                // inductor of value M (H)
    double m_Coupling = 0.0;            // K
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
    CImpedance m_DetectorCurrent;       // A
    CImpedance m_DetectorImpedance;     // ohm
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
