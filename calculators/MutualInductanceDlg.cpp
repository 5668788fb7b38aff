// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/MutualInductanceDlg.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/WaitCursor.h"
#include "models/FormatNumber.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <atomic>
#include <cmath>
#include <optional>
#include <utility>

namespace
{

using Dlg = CMutualInductanceDlg;

constexpr double Micro = 1e-6;
constexpr double Milli = 0.001;

// The field table in set-up order, cut where the set-up clears or checks buttons.
const CFieldRow SourceFields[] = {
    {Dlg::IdSourceVoltage, "Voltage (pp)", 9, 4, false, 0.0001, 99.999, "source voltage", "0.10",
     "V", FieldReal},
    {Dlg::IdSourceResistance, "Resistance (ohms)", 6, 3, false, 0.001, 9999.999,
     "source resistance", "50.000", "ohm", FieldReal},
    {Dlg::IdSourceCapacitance, "Capacitance (pF)", 9, 3, false, 0.0, 999999999.999,
     "source capacitance", "2200.000", "pF", FieldReal},
    {Dlg::IdSourceInductance, "Inductance (uH)", 9, 3, false, 0.0, 99999.999, "source inductance",
     "0.000", "µH", FieldReal},
};

const CFieldRow PrimaryFields[] = {
    {Dlg::IdPrimaryInductance, "Start inductance (uH)", 6, 1, false, 0.1, 999999.9,
     "primary inductance", "33.3", "µH", FieldReal, Times(Micro)},
    {Dlg::IdPrimaryDiameter, "Diameter (mm)", 3, 2, false, 0.01, 999.99, "primary diameter",
     "103.0", "mm", FieldReal, Times(Milli)},
    {Dlg::IdPrimaryLength, "Length", 3, 2, false, 0.1, 999.9, "primary length", "8.0", "mm",
     FieldReal, Times(Milli)},
    {Dlg::IdPrimaryTurns, "Number of Turns", 3, 1, false, 0.1, 999.9, "primary number of turns",
     "12.0", "", FieldReal},
    {Dlg::IdPrimaryConductorDiameter, "Conductor diameter (mm)", 3, 2, false, 0.01, 999.99,
     "primary conductor diameter", "0.5", "mm", FieldReal, Times(Milli)},
    {Dlg::IdPrimaryResistivity, "Resistivity (uOhms-metre)", 3, 3, false, 0.001, 999.999,
     "primary conductor resistivity", "0.0168", "µΩ·m", FieldReal, Over(1e6)},
    {Dlg::IdPrimaryPermeability, "Core relative permeability", 3, 3, false, 0.001, 999.999,
     "primary core relative permeability", "1.0", "", FieldReal},
    {Dlg::IdPrimaryPermittivity, "Former relative permittivity", 3, 3, false, 0.001, 999.999,
     "primary former relative permitivity", "2.7", "", FieldReal},
    {Dlg::IdPrimaryDissipation, "Dissipation factor", 4, 4, false, 0.0, 99.9999,
     "primary dissipation factor", "0.0", "", FieldReal},
    {Dlg::IdPrimaryWall, "Wall thickness", 4, 2, false, 0, 0, "", "2.0", "mm", FieldUnchecked,
     Times(Milli)},
    {Dlg::IdUnusedTurns, "Unused turns", 2, 0, false, 0, 0, "", "0.0", "turns", FieldUnchecked},
};

const CFieldRow SecondaryFields[] = {
    {Dlg::IdSecondaryInductance, "Start inductance (uH)", 6, 1, false, 0.1, 999999.9,
     "secondary inductance", "331.2", "µH", FieldReal, Times(Micro)},
    {Dlg::IdSecondaryDiameter, "Diameter (mm)", 3, 2, false, 0.01, 999.99, "secondary diameter",
     "103.0", "mm", FieldReal, Times(Milli)},
    {Dlg::IdSecondaryLength, "Length", 3, 1, false, 0.1, 999.9, "secondary length", "28.0", "mm",
     FieldReal, Times(Milli)},
    {Dlg::IdSecondaryTurns, "Number of Turns", 3, 1, false, 0.1, 999.9, "secondary number of turns",
     "48.0", "", FieldReal},
    {Dlg::IdSecondaryConductorDiameter, "Conductor diameter (mm)", 3, 2, false, 0.01, 999.99,
     "secondary conductor diameter", "0.5", "mm", FieldReal, Times(Milli)},
    {Dlg::IdSecondaryResistivity, "Resistivity (uOhms-metre)", 3, 3, false, 0.001, 999.999,
     "secondary conductor resistivity", "0.0168", "µΩ·m", FieldReal, Over(1e6)},
    {Dlg::IdSecondaryPermeability, "Core relative permeability", 4, 3, false, 0.001, 9999.999,
     "secondary core relative permeability", "1.0", "", FieldReal},
    {Dlg::IdSecondaryPermittivity, "Former relative permittivity", 3, 3, false, 0.001, 999.999,
     "secondary former relative permitivity", "2.7", "", FieldReal},
    {Dlg::IdSecondaryDissipation, "Dissipation factor", 4, 4, false, 0.0, 99.9999,
     "secondary dissipation factor", "0.0", "", FieldReal},
    {Dlg::IdSecondaryWall, "Wall thickness", 4, 2, false, 0, 0, "", "2.0", "mm", FieldUnchecked,
     Times(Milli)},
};

const CFieldRow PrimaryLitzFields[] = {
    {Dlg::IdPrimaryStrandDiameter, "Conductor diameter (mm)", 2, 4, false, 0.0001, 999.9999,
     "litz wire diameter", "0.0375", "mm", FieldReal, Times(Milli)},
    {Dlg::IdPrimaryStrandCount, "Number of wires", 3, 0, false, 1.0, 999.0,
     "litz wire number of conductors", "175", "", FieldReal},
    {Dlg::IdPrimaryProximity, "Proximity effect reduction", 3, 3, false, 0.001, 999.999,
     "litz wire proximity effect reduction", "1.6", "", FieldReal},
};

const CFieldRow SecondaryLitzFields[] = {
    {Dlg::IdSecondaryStrandDiameter, "Conductor diameter (mm)", 2, 4, false, 0.0001, 999.9999,
     "litz wire diameter", "0.0375", "mm", FieldReal, Times(Milli)},
    {Dlg::IdSecondaryStrandCount, "Number of wires", 3, 0, false, 1.0, 999.0,
     "litz wire number of conductors", "175", "", FieldReal},
    {Dlg::IdSecondaryProximity, "Proximity effect reduction", 3, 3, false, 0.001, 999.999,
     "litz wire proximity effect reduction", "1.6", "", FieldReal},
};

// The two quotients keep the control's own digit rules; the negative quotient has no default.
const CFieldRow ForwardFields[] = {
    {Dlg::IdTurnOnVoltage, "Vbi", 1, 3, false, 0.001, 9.999, "turn on voltage", "0.43", "V",
     FieldReal},
    {Dlg::IdJunctionCap, "Junction Cap(pF)", 2, 2, false, 0.01, 99.99, "junction capacitance",
     "3.38", "pF", FieldReal},
    {Dlg::IdJunctionVoltage, "At voltage value", 2, 2, true, 0, 0, "", "-1.0", "V", FieldUnchecked},
    {Dlg::IdParasiticCap, "Paraistic Cap", 2, 2, false, 0, 0, "", "0.1", "pF", FieldUnchecked},
    {Dlg::IdTransitTime, "Min Carrier (Av time nS)", 5, 5, false, 0, 0, "", "1.0", "ns",
     FieldUnchecked},
    {Dlg::IdIdeality, "Ideality factor", 1, 2, false, 0.0, 9.99, "ideality factor", "1.1", "",
     FieldReal},
    {Dlg::IdCapQuotient, "Cap Quotient", 0, 0, false, 0.0, 9.99,
     "Forward junction capcitance quotient", "2.0", "", FieldRealRange | FieldDefaultText},
    {Dlg::IdNegCapQuotient, "High negV Cap Quotient", 0, 0, false, 0.0, 9.99,
     "Negative junction capcitance quotient", "", "", FieldRealRange | FieldDefaultText},
    {Dlg::IdSatCurrent, "Is (uAmps)", 2, 5, false, 1e-05, 99.99999, "saturation current", "1.61",
     "µA", FieldReal},
    {Dlg::IdQuadA, "a", 4, 4, true, -9999.9999, 9999.9999, "quad a", "16.69", "", FieldReal},
    {Dlg::IdQuadB, "b", 4, 4, true, -9999.9999, 9999.9999, "quad b", "-1.6791", "", FieldReal},
    {Dlg::IdQuadC, "c", 4, 4, true, -9999.99991, 9999.9999, "quad c", "0.0132", "", FieldReal},
    {Dlg::IdPowerA, "a", 4, 4, true, -9999.9999, 9999.9999, "power a", "25.845", "", FieldReal},
    {Dlg::IdPowerN, "b", 4, 4, true, -9999.9999, 9999.9999, "power n", "2.8423", "", FieldReal},
};

const CFieldRow ReverseFields[] = {
    {Dlg::IdRevQuadA, "a", 4, 4, true, -9999.9999, 9999.9999, "quad a", "-0.0763", "", FieldReal},
    {Dlg::IdRevQuadB, "b", 4, 4, true, -9999.9999, 9999.9999, "quad b", "0.6965", "", FieldReal},
    {Dlg::IdRevQuadC, "c", 4, 4, true, -9999.9999, 9999.9999, "quad c", "-1.8365", "", FieldReal},
    {Dlg::IdRevSatCurrent, "Is (uAmps)", 3, 4, false, 0.001, 999.9999, "reverse Is", "", "µA",
     FieldReal},
    {Dlg::IdRevN, "n", 3, 4, false, 0.001, 999.9999, "reverse N", "", "", FieldReal},
    {Dlg::IdRevResistance, "R (Ohms)", 7, 0, false, 0.0, 9999999.0, "diode reverse bias resistance",
     "338000.0", "ohm", FieldReal},
};

const CFieldRow LoadFields[] = {
    {Dlg::IdAudioResistor, "Audio resistor (Ohms)", 7, 0, false, 0.0, 9999999.0, "audio resistor",
     "47000", "ohm", FieldReal},
    {Dlg::IdAudioCapacitor, "Audio capacitor (pF)", 6, 0, false, 0.0, 999999.0, "audio capacitor",
     "0.0", "pF", FieldReal},
    {Dlg::IdEarphoneCapacitance, "Eaphone capacitance (pF)", 6, 0, false, 0.0, 999999.0,
     "earphone capacitance", "15000.0", "pF", FieldReal},
    {Dlg::IdOtherLosses, "Dielectric and other losses (% of Q)", 6, 2, false, 0.0, 99.0,
     "% other losses", "0.0", "%", FieldReal},
    {Dlg::IdConstantLoss, "Constant resistive loss (Ohms)", 4, 2, false, 0.0, 9999.0,
     "% other losses", "0.0", "ohm", FieldReal},
};

const CFieldRow WorkingFields[] = {
    {Dlg::IdFrequency, "Working frequency(kHz)", 9, 3, false, 1.0, 999999999.999, "Frequency kHz",
     "1000.0", "kHz", FieldReal},
    {Dlg::IdStartDistance, "Start distance (mm)", 3, 1, false, 0.1, 999.9, "start distance", "50.0",
     "mm", FieldReal},
    {Dlg::IdEndDistance, "End distance (mm)", 3, 1, false, 1.0, 999.9, "end distance", "120.0",
     "mm", FieldReal},
    {Dlg::IdStep, "Steps", 2, 0, false, 1.0, 99.0, "steps", "10", "mm", FieldReal},
    {Dlg::IdTapLoop, "Tap loop #", 2, 0, false, 0, 99, "loop", "20", "", FieldWhole},
};

// The core fields and the two core-loss displays get no set-up calls.
const CFieldRow CoreFields[] = {
    {Dlg::IdCoreDiameter, "Diameter (mm)", 0, 0, false, 0, 0, "", "", "mm", 0, Times(Milli)},
    {Dlg::IdCoreLength, "Length (mm)", 0, 0, false, 0, 0, "", "", "mm", 0, Times(Milli)},
    {Dlg::IdCoreLossFactor, "Relative loss factor (10^-6)", 0, 0, false, 0, 0, "", "", "", 0},
    {Dlg::IdCoreLossFrequency, "RL Factor frequency (kHz)", 0, 0, false, 0, 0, "", "", "kHz", 0,
     Times(1000.0)},
    {Dlg::IdCoreInitialPermeability, "Initial permeability", 0, 0, false, 0, 0, "", "", "", 0},
    {Dlg::IdCoreGapExponent, "Gap exponent", 0, 0, false, 0, 0, "", "", "", 0},
    {Dlg::IdCoreLengthExponent, "Length exponent", 0, 0, false, 0, 0, "", "", "", 0},
    {Dlg::IdPrimaryCoreLoss, "Core loss", 0, 0, false, 0, 0, "", "", "", 0},
    {Dlg::IdSecondaryCoreLoss, "Core loss", 0, 0, false, 0, 0, "", "", "", 0},
};

const CFieldHelp ReceiverHelp[] = {
    {Dlg::IdSourceVoltage,
     "The peak-to-peak voltage of the signal source, standing in for the aerial."},
    {Dlg::IdSourceResistance,
     "The resistance of the aerial, in series with its capacitance or inductance."},
    {Dlg::IdSourceCapacitance,
     "The capacitance of the aerial; when above 0 it is used instead of the inductance."},
    {Dlg::IdSourceInductance, "The inductance of the aerial, used only when the capacitance is 0."},
    {Dlg::IdPrimaryInductance,
     "The inductance of the primary coil, for its reactance and the coupling factor."},
    {Dlg::IdPrimaryDiameter, "The diameter of the primary winding, to the centre of the wire."},
    {Dlg::IdPrimaryLength,
     "The length of the primary winding, for the coupling and the coil's losses."},
    {Dlg::IdPrimaryTurns,
     "The number of turns of the primary; the air-core coupling counts its whole turns."},
    {Dlg::IdPrimaryConductorDiameter,
     "The bare wire diameter of the primary, for its skin and proximity effect resistance."},
    {Dlg::IdPrimaryResistivity,
     "The resistivity of the primary's wire metal, for the coil's resistance."},
    {Dlg::IdPrimaryPermeability, "A core's relative permeability, kept in design files but read by "
                                 "no calculation; see \"Has core\"."},
    {Dlg::IdPrimaryPermittivity,
     "The relative permittivity of the primary's former, the tube the coil is wound on."},
    {Dlg::IdPrimaryDissipation,
     "The dissipation factor (loss tangent) of the material of the primary's former."},
    {Dlg::IdPrimaryWall, "The wall thickness of the tube the primary coil is wound on."},
    {Dlg::IdUnusedTurns, "Turns of the primary left out of circuit; they reduce the loss it "
                         "reflects into the secondary."},
    {Dlg::IdSecondaryInductance,
     "The inductance of the secondary coil, for its reactance, Q and the coupling factor."},
    {Dlg::IdSecondaryDiameter, "The diameter of the secondary winding, to the centre of the wire."},
    {Dlg::IdSecondaryLength,
     "The length of the secondary winding, for the coupling and the coil's losses."},
    {Dlg::IdSecondaryTurns,
     "The number of turns of the secondary; the tap sweeps try each of its whole turns."},
    {Dlg::IdSecondaryConductorDiameter,
     "The bare wire diameter of the secondary, for its skin and proximity effect resistance."},
    {Dlg::IdSecondaryResistivity,
     "The resistivity of the secondary's wire metal, for the coil's resistance."},
    {Dlg::IdSecondaryPermeability, "A core's relative permeability, kept in design files but read "
                                   "by no calculation; see \"Has core\"."},
    {Dlg::IdSecondaryPermittivity, "The relative permittivity of the secondary's former, for its "
                                   "self-capacitance and dielectric loss."},
    {Dlg::IdSecondaryDissipation,
     "The dissipation factor (loss tangent) of the secondary's former, for its dielectric loss."},
    {Dlg::IdSecondaryWall, "The secondary former's wall thickness, for its self-capacitance and "
                           "dielectric loss; keep it below the diameter."},
    {Dlg::IdPrimaryStrandDiameter,
     "The diameter of one strand of the primary's litz wire, for its skin effect."},
    {Dlg::IdPrimaryStrandCount,
     "The number of strands in the primary's litz wire, which share the current."},
    {Dlg::IdPrimaryProximity,
     "The primary litz wire's proximity effect reduction, raised to the working frequency in MHz."},
    {Dlg::IdSecondaryStrandDiameter,
     "The diameter of one strand of the secondary's litz wire, for its skin effect."},
    {Dlg::IdSecondaryStrandCount,
     "The number of strands in the secondary's litz wire, which share the current."},
    {Dlg::IdSecondaryProximity, "The secondary litz wire's proximity effect reduction, raised to "
                                "the working frequency in MHz."},
    {Dlg::IdTurnOnVoltage,
     "The diode's turn-on voltage, also the built-in voltage of its junction capacitance law."},
    {Dlg::IdJunctionCap,
     "The diode's junction capacitance, as measured at the \"At voltage value\" bias."},
    {Dlg::IdJunctionVoltage,
     "The bias at which the junction capacitance was measured; negative is reverse bias."},
    {Dlg::IdParasiticCap,
     "The diode's parasitic capacitance, added to its junction capacitance in reverse bias."},
    {Dlg::IdTransitTime, "The average lifetime of the diode's minority carriers, which sets its "
                         "forward diffusion capacitance."},
    {Dlg::IdIdeality, "The ideality factor n of the forward bias diode equation."},
    {Dlg::IdCapQuotient,
     "The junction capacitance quotient m: the capacitance goes as the m-th root of 1/(Vbi - V)."},
    {Dlg::IdNegCapQuotient, "The capacitance quotient below the \"At voltage value\" bias; empty "
                            "uses Cap Quotient throughout."},
    {Dlg::IdSatCurrent, "The saturation current Is of the forward bias diode equation."},
    {Dlg::IdQuadA, "The a of the forward bias quadratic law I = aV^2 + bV + c, in mA."},
    {Dlg::IdQuadB, "The b of the forward bias quadratic law I = aV^2 + bV + c, in mA."},
    {Dlg::IdQuadC, "The c of the forward bias quadratic law I = aV^2 + bV + c, in mA."},
    {Dlg::IdPowerA, "The a of the forward bias power equation I = aV^b, in mA at 1 V."},
    {Dlg::IdPowerN, "The exponent b of the forward bias power equation I = aV^b."},
    {Dlg::IdRevQuadA, "The a of the reverse bias quadratic law I = aV^2 + bV + c, in µA."},
    {Dlg::IdRevQuadB, "The b of the reverse bias quadratic law I = aV^2 + bV + c, in µA."},
    {Dlg::IdRevQuadC, "The c of the reverse bias quadratic law I = aV^2 + bV + c, in µA."},
    {Dlg::IdRevSatCurrent, "The saturation current Is of the reverse bias diode equation."},
    {Dlg::IdRevN, "The ideality factor n of the reverse bias diode equation."},
    {Dlg::IdRevResistance,
     "The diode's resistance in reverse bias, for the constant resistance law."},
    {Dlg::IdAudioResistor,
     "The resistor across the earphone that discharges the detector's output; 0 leaves it out."},
    {Dlg::IdAudioCapacitor,
     "A capacitor across the detector's output, added to the earphone's capacitance."},
    {Dlg::IdEarphoneCapacitance, "The earphone's own capacitance, part of the detector's load; the "
                                 "SPL sweeps need it above 0."},
    {Dlg::IdOtherLosses,
     "Dielectric and other losses not modelled otherwise, taken off the secondary's Q."},
    {Dlg::IdConstantLoss,
     "A fixed resistance added to the secondary's losses, which lowers its Q."},
    {Dlg::IdFrequency,
     "The frequency the receiver is tuned to; every reactance and loss is worked out at it."},
    {Dlg::IdStartDistance,
     "The gap from the end of the primary to the start of the secondary where sweeps begin."},
    {Dlg::IdEndDistance,
     "The gap between the coils that the distance sweeps run up to, but do not include."},
    {Dlg::IdStep,
     "How much the gap between the coils grows from one distance of a sweep to the next."},
    {Dlg::IdTapLoop, "The secondary turn the detector diode is connected to, for \"SPL at given "
                     "loop over distance range\"."},
    {Dlg::IdCoreDiameter, "The diameter of the ferrite rod both coils are wound on."},
    {Dlg::IdCoreLength,
     "The length of the ferrite rod, for the coils' apparent permeability and their coupling."},
    {Dlg::IdCoreLossFactor,
     "The relative loss factor of the ferrite, for the core loss of each coil."},
    {Dlg::IdCoreLossFrequency,
     "The frequency the loss factor is quoted at; the core loss is scaled in proportion from it."},
    {Dlg::IdCoreInitialPermeability,
     "The initial permeability of the ferrite material, from its data sheet."},
    {Dlg::IdCoreGapExponent, "The rod's gap exponent, as the Ferrite rod calculator fits it, for "
                             "the apparent permeability."},
    {Dlg::IdCoreLengthExponent, "The rod's length exponent, as the Ferrite rod calculator fits it, "
                                "for permeability and coupling."},
    {Dlg::IdPrimaryCoreLoss,
     "The primary coil's core loss, kept in design files but read by no calculation."},
    {Dlg::IdSecondaryCoreLoss,
     "The secondary coil's core loss, kept in design files but read by no calculation."},
};

const CFormAction ReceiverActions[] = {
    // K (about 0.03) beside Q (about 150) would be a flat line; it is M over a constant, so
    // the curve of M shows its course.
    {Dlg::IdAnalyseNoLoad, "Analyse - no load", "distance", "D", {"M", "Q"}},
    {Dlg::IdSplEachLoop, "Calc SPL each loop at start distance", "loop", "W#", {"SPL", "Vdc"}},
    {Dlg::IdSplAtLoopOverDistance,
     "SPL at given loop over distance range",
     "distance",
     "Dist",
     {"SPL", "Vdc"}},
    {Dlg::IdMaxSplOverDistance, "Max SPL over distance range", "distance", "Dist", {"SPL", "Vdc"}},
};

// The caption of an action, which titles its tables.
QString Caption(int action)
{
    for (const CFormAction& entry : ReceiverActions)
        if (entry.m_Id == action)
            return QString::fromUtf8(entry.m_Caption);
    return QString();
}

// The coils' core permeabilities and the two core-loss fields are kept in the form and its
// design files but never read: the core step sets both coils to air before any calculation.
constexpr int UnreadIds[] = {Dlg::IdPrimaryPermeability, Dlg::IdSecondaryPermeability,
                             Dlg::IdPrimaryCoreLoss, Dlg::IdSecondaryCoreLoss};

// Each law of the detector enables the fields it reads.
const CEnableRule DiodeLawRules[] = {
    {Dlg::IdForwardDiode,
     {Dlg::IdSatCurrent},
     {Dlg::IdQuadA, Dlg::IdQuadB, Dlg::IdQuadC, Dlg::IdPowerA, Dlg::IdPowerN}},
    {Dlg::IdForwardQuadratic,
     {Dlg::IdQuadA, Dlg::IdQuadB, Dlg::IdQuadC},
     {Dlg::IdSatCurrent, Dlg::IdPowerA, Dlg::IdPowerN}},
    {Dlg::IdForwardPower,
     {Dlg::IdPowerA, Dlg::IdPowerN},
     {Dlg::IdSatCurrent, Dlg::IdQuadA, Dlg::IdQuadB, Dlg::IdQuadC}},
    {Dlg::IdReverseDiode,
     {Dlg::IdRevSatCurrent, Dlg::IdRevN},
     {Dlg::IdRevQuadA, Dlg::IdRevQuadB, Dlg::IdRevQuadC}},
    {Dlg::IdReverseQuadratic,
     {Dlg::IdRevQuadA, Dlg::IdRevQuadB, Dlg::IdRevQuadC},
     {Dlg::IdRevSatCurrent, Dlg::IdRevN}},
    // The reverse resistance is read with the load in every law.
    {Dlg::IdReverseResistance,
     {},
     {Dlg::IdRevSatCurrent, Dlg::IdRevN, Dlg::IdRevQuadA, Dlg::IdRevQuadB, Dlg::IdRevQuadC}},
};

constexpr double Pico = 1e-12;

// For its life, the receiver's turn sum stops once `stop` is set: a cancel ends it at once.
class CStopsAt
{
public:
    CStopsAt(CReceiverCircuit& circuit, const std::atomic<bool>& stop) : m_Circuit(circuit)
    {
        m_Circuit.m_Stop = &stop;
    }
    ~CStopsAt() { m_Circuit.m_Stop = nullptr; }
    CStopsAt(const CStopsAt&) = delete;
    CStopsAt& operator=(const CStopsAt&) = delete;

private:
    CReceiverCircuit& m_Circuit;
};
// The engine limit of the loaded Q before each tap sweep.
constexpr double QLimit = 10000.0;

const char NoLoadHeader[] = "\t\t\t\t\t\t************* Primary coil "
                            "*************\t\t\t\t\t\t\t********** Secondary coil ***********\r\n"
                            "D \tM \tK \tQ \tNRGain \t\tVp(0) \tZin(0) \t\tZ(refl) \t\tZin(res) "
                            "\t\tRqrd for res \t\tVs(0) \tVs(res) "
                            "\tTuneCap \r\n";
const char LoopHeader[] = "\t\t\t\t\t\t\t*********** Diode forward bias ***********\t\t**********  "
                          "Diode reverse bias ***********\r\n"
                          "\r\nW# \tQ \tVcoil \tVtap \tVdc \tVadio \tSPL \tVd(f) \tRd(f) \tCj(f) "
                          "\tCdiff(f) \tZd(f) \tVd(r) \tRd(r) "
                          "\tCj(r) \tZd(r) \r\n";
const char DistanceHeader[] = "\r\nDist \tW# \tQ \tVcoil \tVtap \tVdc \tVadio \tSPL \tVd(f) "
                              "\tRd(f) \tCj(f) \tCdiff(f) \tZd(f) \tVd(r) "
                              "\tRd(r) \tCj(r) \tZd(r) \r\n";

const std::vector<int> LoopRowTabStops = {30,  60,  90,  120, 150, 180, 240, 270,
                                          330, 390, 450, 540, 600, 660, 720, 780};
const std::vector<int> DistanceTabStops = {30,  60,  90,  120, 150, 180, 210, 270, 330,
                                           390, 450, 510, 600, 660, 720, 780, 840};

template <std::size_t Count> constexpr int Rows(const CFieldRow (&)[Count])
{
    return static_cast<int>(Count);
}

CReportTable Table(const QString& title, const char* header, std::vector<CReportColumn> columns)
{
    CReportTable table;
    table.m_Title = title;
    table.m_Header = QString::fromLatin1(header);
    table.m_Columns = std::move(columns);
    return table;
}

CReportTable NoLoadTable()
{
    return Table(Caption(Dlg::IdAnalyseNoLoad), NoLoadHeader,
                 {{"D", "mm", 2},
                  {"M", "uH", 2},
                  {"K", "", 4},
                  {"Q", "", 2},
                  {"NRGain", "", 4, " \t\t"},
                  {"Vp(0)", "V", 4},
                  {"Zin(0)", "ohm", 2},
                  {"Z(refl)", "ohm", 2},
                  {"Zin(res)", "ohm", 2},
                  {"Rqrd for res", "", 2, " \t", 40},
                  {"Vs(0)", "V", 4},
                  {"Vs(res)", "V", 2},
                  {"TuneCap", "pF", 2, " "}});
}

// The columns from Vtap to Zd(r), shared by the loop and distance rows, after the given ones.
std::vector<CReportColumn> WithDetectorColumns(std::vector<CReportColumn> columns)
{
    columns.insert(columns.end(), {{"Vtap", "V", 4},
                                   {"Vdc", "V", 4},
                                   {"Vadio", "V", 4},
                                   {"SPL", "dB", 2},
                                   {"Vd(f)", "V", 4},
                                   {"Rd(f)", "ohm", 0},
                                   {"Cj(f)", "pF", 2},
                                   {"Cdiff(f)", "pF", 2},
                                   {"Zd(f)", "ohm", 2},
                                   {"Vd(r)", "V", 4},
                                   {"Rd(r)", "ohm", 0},
                                   {"Cj(r)", "pF", 2},
                                   {"Zd(r)", "ohm", 2, " "}});
    return columns;
}

// Loop 0, the coil before any tap: a layout of its own, under the loop header.
CReportTable LoopZeroTable()
{
    return Table(Caption(Dlg::IdSplEachLoop), LoopHeader,
                 {{"W#", "", 0}, {"Q", "", 2}, {"Vcoil", "V", 2}, {"Vtap", "V", 1, " "}});
}

// The tap number has three digits, the Q text is cut to 6 characters and the Vcoil text to 4.
CReportTable LoopTable()
{
    return Table(Caption(Dlg::IdSplEachLoop), "",
                 WithDetectorColumns({{"W#", "", 0, " \t", 3, 0, CReportColumn::EPad::Zeros},
                                      {"Q", "", 2, " \t", 6, 6},
                                      {"Vcoil", "V", 2, " \t", 8, 4}}));
}

CReportTable DistanceTable(const QString& title)
{
    return Table(
        title, DistanceHeader,
        WithDetectorColumns({{"Dist", "mm", 2}, {"W#", "", 0}, {"Q", "", 2}, {"Vcoil", "V", 2}}));
}

// The line a table writes for one row.
QString RowText(CReportTable table, std::vector<CReportCell> cells)
{
    table.m_Rows = {std::move(cells)};
    return table.RowText(0);
}

CReportCell Rectangular(const CImpedance& z)
{
    return CReportCell::Complex(z.m_Real, z.m_Imag);
}

// The component's label, "L" in uH, "C" in pF or "R" in ohm, as a tagged value.
CReportCell Required(const CComponant& component)
{
    switch (component.m_Kind)
    {
    case CComponant::Inductor:
        return CReportCell::Tagged(QStringLiteral("L"), component.m_Value / Micro);
    case CComponant::Capacitor:
        return CReportCell::Tagged(QStringLiteral("C"), component.m_Value / Pico);
    default:
        return CReportCell::Tagged(QStringLiteral("R"), component.m_Resistance);
    }
}

const char* const NotZero = "must not be zero for this calculation";

// The rod's permeability and coupling divide by its diameter, length and initial permeability,
// its loss by the frequency of its loss factor.
const CFieldCheck CoreChecks[] = {
    {Dlg::IdCoreDiameter, EFieldCondition::NotZero, "must not be zero for a core"},
    {Dlg::IdCoreLength, EFieldCondition::NotZero, "must not be zero for a core"},
    {Dlg::IdCoreInitialPermeability, EFieldCondition::NotZero, "must not be zero for a core"},
    {Dlg::IdCoreLossFrequency, EFieldCondition::NotZero, "must not be zero for a core"},
};

// The audio output divides by the earphone's capacitance.
const CFieldCheck DetectorChecks[] = {
    {Dlg::IdEarphoneCapacitance, EFieldCondition::NotZero, NotZero},
};

// The air-core coupling counts whole turns: a primary of less than one has none.
const CFieldCheck AirCoreChecks[] = {
    {Dlg::IdPrimaryTurns, EFieldCondition::AtLeast, "must be at least 1 for this calculation", 0,
     1.0},
};

// The diode equation divides by n Vt; the power law by its a.
const CFieldCheck DiodeEquationChecks[] = {
    {Dlg::IdIdeality, EFieldCondition::NotZero, NotZero},
};
const CFieldCheck PowerLawChecks[] = {
    {Dlg::IdPowerA, EFieldCondition::NotZero, NotZero},
};

// A caption over the fields of one law or option, in the grid's next row.
void AddHeading(QGridLayout* grid, const QString& text)
{
    auto* heading = new QLabel(text);
    QFont font = heading->font();
    font.setItalic(true);
    heading->setFont(font);
    grid->addWidget(heading, grid->count() == 0 ? 0 : grid->rowCount(), 0, 1, 3);
}

} // namespace

CMutualInductanceDlg::CMutualInductanceDlg(QWidget* parent)
    : CVKFormView(QStringLiteral("CrystalRadio"), 16006, parent)
{
    setEnterMovesFocus(true);
}

// Template order: the design files list the controls in this order. Where a check box heads
// fields further down its group, its place on screen comes from the layouts made beforehand.
void CMutualInductanceDlg::BuildForm()
{
    auto* columns = new QHBoxLayout;
    MainLayout()->addLayout(columns);
    auto* coils = new QVBoxLayout;
    auto* diode = new QVBoxLayout;
    auto* working = new QVBoxLayout;
    columns->addLayout(coils);
    columns->addLayout(diode);
    columns->addLayout(working);

    auto* source = new QGridLayout(AddGroup(QStringLiteral("Power source"), coils));
    AddFields(source, SourceFields, Rows(SourceFields));

    auto* primary = new QVBoxLayout(AddGroup(QStringLiteral("Primary coil"), coils));
    AddCheck(primary, IdResonant, QStringLiteral("Resonant"));
    QGridLayout* primaryGrid = AddFieldGrid(primary);
    auto* primaryLitz = new QVBoxLayout;
    primary->addLayout(primaryLitz);
    AddCheck(primaryLitz, IdPrimaryLitz, QStringLiteral("Litz wire"));
    AddFields(primaryGrid, PrimaryFields, Rows(PrimaryFields));
    AddFields(AddFieldGrid(primaryLitz), PrimaryLitzFields, Rows(PrimaryLitzFields));

    auto* secondary = new QVBoxLayout(AddGroup(QStringLiteral("Secondary coil"), coils));
    QGridLayout* secondaryGrid = AddFieldGrid(secondary);
    auto* secondaryLitz = new QVBoxLayout;
    secondary->addLayout(secondaryLitz);
    AddCheck(secondaryLitz, IdSecondaryLitz, QStringLiteral("Litz wire"));
    AddFields(secondaryGrid, SecondaryFields, Rows(SecondaryFields));
    AddFields(AddFieldGrid(secondaryLitz), SecondaryLitzFields, Rows(SecondaryLitzFields));
    coils->addStretch();

    // Forward: the junction, then Is, the quadratic's a, b, c and the power law's a and n.
    auto* forward = new QVBoxLayout(AddGroup(QStringLiteral("Diode forward bias"), diode));
    AddRadio(forward, IdForwardDiode, QStringLiteral("Use diode equation"), 1);
    AddRadio(forward, IdForwardQuadratic, QStringLiteral("Use quadratic"), 1);
    AddRadio(forward, IdForwardPower, QStringLiteral("Use power equation"), 1);
    QGridLayout* forwardGrid = AddFieldGrid(forward);
    AddFields(forwardGrid, ForwardFields, 8);
    AddHeading(forwardGrid, QStringLiteral("Diode equation"));
    AddField(forwardGrid, ForwardFields[8]);
    AddHeading(forwardGrid, QStringLiteral("Quadratic"));
    AddFields(forwardGrid, ForwardFields + 9, 3);
    AddHeading(forwardGrid, QStringLiteral("Power equation"));
    AddFields(forwardGrid, ForwardFields + 12, 2);

    // Reverse: the quadratic's a, b, c, the diode equation's Is and n, the resistance.
    auto* reverse = new QVBoxLayout(AddGroup(QStringLiteral("Diode reverse bias"), diode));
    AddRadio(reverse, IdReverseDiode, QStringLiteral("Use diode equation"), 2);
    AddRadio(reverse, IdReverseQuadratic, QStringLiteral("Use quadratic"), 2);
    AddRadio(reverse, IdReverseResistance, QStringLiteral("Use constant resistance"), 2);
    QGridLayout* reverseGrid = AddFieldGrid(reverse);
    AddHeading(reverseGrid, QStringLiteral("Quadratic"));
    AddFields(reverseGrid, ReverseFields, 3);
    AddHeading(reverseGrid, QStringLiteral("Diode equation"));
    AddFields(reverseGrid, ReverseFields + 3, 2);
    AddHeading(reverseGrid, QStringLiteral("Constant resistance"));
    AddField(reverseGrid, ReverseFields[5]);
    diode->addStretch();

    auto* load = new QGridLayout(AddGroup(QStringLiteral("Load"), working));
    AddFields(load, LoadFields, Rows(LoadFields));

    auto* core = new QVBoxLayout(AddGroup(QString(), working));
    AddCheck(core, IdHasCore, QStringLiteral("Has core"));
    AddFields(AddFieldGrid(core), CoreFields, Rows(CoreFields));

    auto* mode = new QGridLayout(AddGroup(QStringLiteral("Working mode"), working));
    AddFields(mode, WorkingFields, Rows(WorkingFields));
    working->addStretch();

    AddResultsAndActions(MainLayout());
}

std::span<const CFieldHelp> CMutualInductanceDlg::FieldHelp() const
{
    return ReceiverHelp;
}

std::span<const CFormAction> CMutualInductanceDlg::Actions() const
{
    return ReceiverActions;
}

void CMutualInductanceDlg::SetupFields()
{
    setWindowTitle(QStringLiteral("Mutual Inductance"));
    CVKFormView::SetupFields(SourceFields, Rows(SourceFields));
    CVKFormView::SetupFields(PrimaryFields, Rows(PrimaryFields));
    SetCheck(IdResonant, false);
    CVKFormView::SetupFields(SecondaryFields, Rows(SecondaryFields));
    SetCheck(IdPrimaryLitz, false);
    CVKFormView::SetupFields(PrimaryLitzFields, Rows(PrimaryLitzFields));
    SetCheck(IdSecondaryLitz, false);
    CVKFormView::SetupFields(SecondaryLitzFields, Rows(SecondaryLitzFields));
    m_ForwardLaw = LawDiodeEquation;
    m_ReverseLaw = LawQuadratic;
    SetCheck(IdForwardDiode, true);
    SetCheck(IdReverseQuadratic, true);
    CVKFormView::SetupFields(ForwardFields, Rows(ForwardFields));
    CVKFormView::SetupFields(ReverseFields, Rows(ReverseFields));
    CVKFormView::SetupFields(LoadFields, Rows(LoadFields));
    CVKFormView::SetupFields(WorkingFields, Rows(WorkingFields));
    for (int id : UnreadIds)
    {
        MarkUnused(id, QString::fromUtf8(
                           id == IdPrimaryPermeability || id == IdSecondaryPermeability
                               ? "Not read: does not enter the air-core calculation; a ferrite "
                                 "rod is described under \"Has core\"."
                               : "Not read: does not enter the air-core calculation."));
        EnableControl(id, false);
    }
    ApplyEnableRule(DiodeLawRules, IdForwardDiode);
    ApplyEnableRule(DiodeLawRules, IdReverseQuadratic);
}

bool CMutualInductanceDlg::OnCommand(int id)
{
    switch (id)
    {
    case IdAnalyseNoLoad:
    case IdSplEachLoop:
    case IdMaxSplOverDistance:
    case IdSplAtLoopOverDistance:
        RunAction(id);
        return true;
    case IdForwardDiode:
        return SetForwardLaw(id, LawDiodeEquation);
    case IdForwardQuadratic:
        return SetForwardLaw(id, LawQuadratic);
    case IdForwardPower:
        return SetForwardLaw(id, LawPower);
    case IdReverseDiode:
        return SetReverseLaw(id, LawDiodeEquation);
    case IdReverseQuadratic:
        return SetReverseLaw(id, LawQuadratic);
    case IdReverseResistance:
        return SetReverseLaw(id, LawConstantResistance);
    default:
        return CVKFormView::OnCommand(id);
    }
}

// The radio buttons only record the law; the button clicked is the one checked.
bool CMutualInductanceDlg::SetForwardLaw(int id, int law)
{
    m_ForwardLaw = law;
    SetCheck(id, true);
    ApplyEnableRule(DiodeLawRules, id);
    return true;
}

bool CMutualInductanceDlg::SetReverseLaw(int id, int law)
{
    m_ReverseLaw = law;
    SetCheck(id, true);
    ApplyEnableRule(DiodeLawRules, id);
    return true;
}

void CMutualInductanceDlg::RunAction(int id)
{
    CWaitCursor wait;
    if (!ReadInputs() || (m_HasCore && !CheckFields(CoreChecks)))
        return;
    // Only a sweep that shows a tap's row needs what the detector divides by.
    const double turns = m_Circuit.m_Secondary.m_Turns;
    const bool detector = (id == IdSplEachLoop || id == IdMaxSplOverDistance) ? turns >= 1
                          : id == IdSplAtLoopOverDistance ? m_TapLoop > 0 && m_TapLoop <= turns
                                                          : false;
    if (detector && !CheckDetectorInputs())
        return;
    switch (id)
    {
    case IdAnalyseNoLoad:
        NoLoadSweep();
        break;
    case IdSplEachLoop:
        TapSweepAtStart();
        break;
    case IdMaxSplOverDistance:
        BestTapSweep();
        break;
    default:
        if (m_TapLoop > 0)
            GivenTapSweep();
        break;
    }
}

namespace
{
// Inductance, diameter, length, turns, conductor diameter, resistivity, former permittivity,
// dissipation factor.
const CFieldBinding<CCoil> PrimaryCoil[] = {
    {Dlg::IdPrimaryInductance, &CCoil::m_Inductance},
    {Dlg::IdPrimaryDiameter, &CCoil::m_Diameter},
    {Dlg::IdPrimaryLength, &CCoil::m_Length},
    {Dlg::IdPrimaryTurns, &CCoil::m_Turns},
    {Dlg::IdPrimaryConductorDiameter, &CCoil::m_ConductorDiameter},
    {Dlg::IdPrimaryResistivity, &CCoil::m_Resistivity},
    {Dlg::IdPrimaryPermittivity, &CCoil::m_FormerPermittivity},
    {Dlg::IdPrimaryDissipation, &CCoil::m_DissipationFactor},
};
const CFieldBinding<CCoil> SecondaryCoil[] = {
    {Dlg::IdSecondaryInductance, &CCoil::m_Inductance},
    {Dlg::IdSecondaryDiameter, &CCoil::m_Diameter},
    {Dlg::IdSecondaryLength, &CCoil::m_Length},
    {Dlg::IdSecondaryTurns, &CCoil::m_Turns},
    {Dlg::IdSecondaryConductorDiameter, &CCoil::m_ConductorDiameter},
    {Dlg::IdSecondaryResistivity, &CCoil::m_Resistivity},
    {Dlg::IdSecondaryPermittivity, &CCoil::m_FormerPermittivity},
    {Dlg::IdSecondaryDissipation, &CCoil::m_DissipationFactor},
};

// Strand diameter, number of strands and the proximity effect reduction, which the reading
// raises to the working frequency in MHz.
const CFieldBinding<CCoil> PrimaryLitz[] = {
    {Dlg::IdPrimaryStrandDiameter, &CCoil::m_StrandDiameter},
    {Dlg::IdPrimaryStrandCount, &CCoil::m_StrandCount},
    {Dlg::IdPrimaryProximity, &CCoil::m_LitzFactor},
};
const CFieldBinding<CCoil> SecondaryLitz[] = {
    {Dlg::IdSecondaryStrandDiameter, &CCoil::m_StrandDiameter},
    {Dlg::IdSecondaryStrandCount, &CCoil::m_StrandCount},
    {Dlg::IdSecondaryProximity, &CCoil::m_LitzFactor},
};

// The rod the two coils share, read straight into what the receiver engine takes.
const CFieldBinding<CCoreParameters> CoreInputs[] = {
    {Dlg::IdCoreDiameter, &CCoreParameters::m_Diameter},
    {Dlg::IdCoreLength, &CCoreParameters::m_Length},
    {Dlg::IdCoreGapExponent, &CCoreParameters::m_GapExponent},
    {Dlg::IdCoreLengthExponent, &CCoreParameters::m_LengthExponent},
    {Dlg::IdCoreInitialPermeability, &CCoreParameters::m_InitialPermeability},
    {Dlg::IdCoreLossFactor, &CCoreParameters::m_LossFactor},
    {Dlg::IdCoreLossFrequency, &CCoreParameters::m_LossFactorFrequency},
};
} // namespace

bool CMutualInductanceDlg::ReadInputs()
{
    using D = CMutualInductanceDlg;
    static const CFieldBinding<D> LoadInputs[] = {
        {IdAudioResistor, &D::m_AudioResistor},
        {IdAudioCapacitor, &D::m_AudioCapacitor},
        {IdEarphoneCapacitance, &D::m_EarphoneCapacitance},
        {IdRevResistance, &D::m_RevResistance},
        {IdOtherLosses, &D::m_OtherLosses},
        {IdConstantLoss, &D::m_ConstantLoss},
    };
    // The tap loop number, a whole number, is read after them.
    static const CFieldBinding<D> WorkingInputs[] = {
        {IdFrequency, &D::m_Frequency},
        {IdStartDistance, &D::m_StartDistance},
        {IdEndDistance, &D::m_EndDistance},
        {IdStep, &D::m_Step},
    };
    if (!ReadSource() || !ReadCoil(m_Circuit.m_Primary, true) ||
        !ReadCoil(m_Circuit.m_Secondary, false) || !ReadCore() || !ReadDiode() ||
        !ReadFields(*this, LoadInputs) || !ReadFields(*this, WorkingInputs))
        return false;
    // The given-tap action alone uses it, but a field that was refused refuses the action:
    // a report never stands beside an error about its own inputs.
    m_TapLoop = 0;
    return Field(IdTapLoop)->ValidateInput(m_TapLoop);
}

bool CMutualInductanceDlg::ReadSource()
{
    using D = CMutualInductanceDlg;
    static const CFieldBinding<D> SourceInputs[] = {
        {IdSourceVoltage, &D::m_SourceVoltage},
        {IdSourceResistance, &D::m_SourceResistance},
        {IdSourceCapacitance, &D::m_SourceCapacitance},
        {IdSourceInductance, &D::m_SourceInductance},
    };
    return ReadFields(*this, SourceInputs);
}

// The nine coil fields and the wall thickness of one coil, in SI units into the engine's coil;
// then "Resonant" and the unused turns of the primary, and the litz wire.
bool CMutualInductanceDlg::ReadCoil(CCoil& coil, bool primary)
{
    if (!ReadFields(coil, primary ? PrimaryCoil : SecondaryCoil))
        return false;
    coil.m_WirePermeability = 1.0;
    coil.m_CExtra = 0.0;
    coil.m_CoreCoilDiameter = coil.m_Diameter;
    // No range: any text reads.
    (void)ReadField(primary ? IdPrimaryWall : IdSecondaryWall, coil.m_WallThickness,
                    EFieldRead::Always);
    if (primary)
    {
        m_Resonant = IsChecked(IdResonant);
        (void)ReadField(IdUnusedTurns, m_Circuit.m_UnusedTurns, EFieldRead::IfValid);
    }

    coil.m_IsLitz = false;
    if (!IsChecked(primary ? IdPrimaryLitz : IdSecondaryLitz))
        return true;
    double frequency = 0.0;
    if (!ReadFields(coil, primary ? PrimaryLitz : SecondaryLitz) ||
        !ReadField(IdFrequency, frequency))
        return false;
    coil.m_IsLitz = true;
    coil.m_LitzFactor = CCoil::LitzFactor(coil.m_LitzFactor, frequency / 1000.0);
    return true;
}

bool CMutualInductanceDlg::ReadCore()
{
    m_HasCore = false;
    m_Circuit.m_Primary.ResetCore();
    m_Circuit.m_Secondary.ResetCore();
    if (!IsChecked(IdHasCore))
        return true;
    CCoreParameters core;
    if (!ReadFields(core, CoreInputs))
        return false;
    m_HasCore = true;
    m_Circuit.SetCore(core);
    return true;
}

bool CMutualInductanceDlg::ReadDiode()
{
    using D = CMutualInductanceDlg;
    // The negative quotient reads as 0 when empty: the fixed quotient everywhere.
    static const CFieldBinding<D> JunctionInputs[] = {
        {IdTurnOnVoltage, &D::m_TurnOnVoltage},
        {IdJunctionCap, &D::m_JunctionCap},
        {IdJunctionVoltage, &D::m_JunctionVoltage},
        {IdParasiticCap, &D::m_ParasiticCap},
        {IdTransitTime, &D::m_TransitTime},
        {IdIdeality, &D::m_Ideality},
        {IdCapQuotient, &D::m_CapQuotient},
        {IdNegCapQuotient, &D::m_NegCapQuotient, EFieldRead::Always},
    };
    static const CFieldBinding<D> ForwardDiodeInputs[] = {{IdSatCurrent, &D::m_SatCurrent}};
    static const CFieldBinding<D> ForwardPowerInputs[] = {{IdPowerA, &D::m_QuadA},
                                                          {IdPowerN, &D::m_QuadB}};
    static const CFieldBinding<D> ForwardQuadraticInputs[] = {
        {IdQuadA, &D::m_QuadA}, {IdQuadB, &D::m_QuadB}, {IdQuadC, &D::m_QuadC}};
    static const CFieldBinding<D> ReverseDiodeInputs[] = {{IdRevSatCurrent, &D::m_RevSatCurrent},
                                                          {IdRevN, &D::m_RevN}};
    static const CFieldBinding<D> ReverseQuadraticInputs[] = {
        {IdRevQuadA, &D::m_RevQuadA}, {IdRevQuadB, &D::m_RevQuadB}, {IdRevQuadC, &D::m_RevQuadC}};
    static const CFieldBinding<D> ReverseResistanceInputs[] = {
        {IdRevResistance, &D::m_RevResistance}};

    // The coefficients of the laws not chosen stay 0.
    m_JunctionCap = m_JunctionVoltage = 0.0;
    m_SatCurrent = m_QuadA = m_QuadB = m_QuadC = 0.0;
    m_RevSatCurrent = m_RevN = m_RevQuadA = m_RevQuadB = m_RevQuadC = m_RevResistance = 0.0;
    m_NegCapQuotient = 0.0;
    if (!ReadFields(*this, JunctionInputs))
        return false;

    const bool forward = m_ForwardLaw == LawDiodeEquation ? ReadFields(*this, ForwardDiodeInputs)
                         : m_ForwardLaw == LawPower       ? ReadFields(*this, ForwardPowerInputs)
                                                    : ReadFields(*this, ForwardQuadraticInputs);
    if (!forward)
        return false;
    switch (m_ReverseLaw)
    {
    case LawDiodeEquation:
        return ReadFields(*this, ReverseDiodeInputs);
    case LawQuadratic:
        return ReadFields(*this, ReverseQuadraticInputs);
    default:
        return ReadFields(*this, ReverseResistanceInputs);
    }
}

bool CMutualInductanceDlg::CheckDetectorInputs()
{
    return CheckFields(DetectorChecks) && (m_HasCore || CheckFields(AirCoreChecks)) &&
           (m_ForwardLaw != LawDiodeEquation || CheckFields(DiodeEquationChecks)) &&
           (m_ForwardLaw != LawPower || CheckFields(PowerLawChecks));
}

std::vector<double> CMutualInductanceDlg::Distances(double start, double end, double step)
{
    std::vector<double> distances{start};
    if (!(step > 0.0) || !std::isfinite(start) || !std::isfinite(end))
        return distances;
    // Counted rather than summed, so that rounding never brings in the end distance itself.
    const double last = end - step * 1e-6;
    for (int k = 1;; ++k)
    {
        const double d = start + k * step;
        if (!(d < last))
            break;
        distances.push_back(d);
    }
    return distances;
}

int CMutualInductanceDlg::DistanceCount() const
{
    return static_cast<int>(
        Distances(m_StartDistance * Milli, m_EndDistance * Milli, m_Step * Milli).size());
}

bool CMutualInductanceDlg::Refuse(const CRefusal& refusal)
{
    if (refusal.m_Field)
        return RefuseField(refusal.m_Field, refusal.m_Text.c_str());
    CError::DisplayError(refusal.m_Text);
    return false;
}

template <typename Evaluate> bool CMutualInductanceDlg::ForEachDistance(Evaluate evaluate)
{
    const std::vector<double> distances =
        Distances(m_StartDistance * Milli, m_EndDistance * Milli, m_Step * Milli);
    // Every distance starts from the receiver as it stands now, so each works on a copy of
    // its own and the distances can be worked out side by side.
    return StepsSideBySide(
        static_cast<int>(distances.size()),
        [&](int i)
        {
            return [this, &evaluate, run = CDistanceRun{m_Circuit, m_SourceImpedance},
                    d = distances[i]](const std::atomic<bool>& stop) mutable
            {
                const CStopsAt stops(run.m_Circuit, stop);
                return evaluate(run, d, stop);
            };
        },
        [this](int, CDistanceOutcome outcome)
        {
            for (std::vector<CReportCell>& row : outcome.m_Rows)
                AddRow(std::move(row));
            return !outcome.m_Refusal || Refuse(*outcome.m_Refusal);
        });
}

std::optional<CMutualInductanceDlg::CRefusal>
CMutualInductanceDlg::SetUpDistance(CDistanceRun& run, double distance) const
{
    CReceiverCircuit& circuit = run.m_Circuit;
    if (m_HasCore)
    {
        circuit.MoveCores(distance * 0.5);
        // The rod's law shortens the rod with the offset of each winding; far enough out it
        // has no length left and no permeability.
        if (!std::isfinite(circuit.m_Primary.m_ApparentPermeability) ||
            !std::isfinite(circuit.m_Secondary.m_ApparentPermeability))
            return CRefusal{0, "Error: At " + FormatNumber(distance / Milli, 2) +
                                   " mm the coils lie too far out on the core for its "
                                   "permeability to be defined"};
    }
    circuit.SetDistance(distance, m_HasCore);
    // Turns, lengths and diameters that do not make coils of the inductances entered can
    // couple them by more than the whole of their flux.
    if (circuit.m_Coupling > 1)
        return CRefusal{0, "Error: At " + FormatNumber(distance / Milli, 2) +
                               " mm the coupling coefficient comes to " +
                               FormatNumber(circuit.m_Coupling, 4) +
                               ", but it cannot exceed 1: the Number of Turns, Diameter (mm) and "
                               "Length of the primary and secondary coils do not make coils of "
                               "their Start inductance (uH), or the coils overlap"};
    const double frequency = m_Frequency * 1000.0;
    if (m_SourceCapacitance > 0.0)
        run.m_Source.SetComponent(CImpedance::Capacitor, m_SourceCapacitance * Pico,
                                  m_SourceResistance, frequency);
    else
        run.m_Source.SetComponent(CImpedance::Inductor, m_SourceInductance * Micro,
                                  m_SourceResistance, frequency);
    circuit.SetSource(m_SourceVoltage, run.m_Source);
    circuit.AnalyseNoLoad(m_Frequency, m_ConstantLoss, m_Resonant);
    // The self-resonance of the secondary, which its Q follows, is a root of its self
    // capacitance; a former wall beyond the coil's diameter (or of a negative thickness) takes
    // that below zero.
    if (!(circuit.m_Secondary.m_CSelfResonant > 0))
        return CRefusal{
            IdSecondaryWall,
            "of the secondary coil must lie between 0 and its diameter for this calculation"};
    return std::nullopt;
}

void CMutualInductanceDlg::SetUpDetector(CReceiverCircuit& circuit) const
{
    circuit.SetDiode({.m_TurnOnVoltage = m_TurnOnVoltage,
                      .m_JunctionCap = m_JunctionCap * Pico,
                      .m_JunctionCapVoltage = m_JunctionVoltage,
                      .m_ParasiticCap = m_ParasiticCap * Pico,
                      .m_ForwardLaw = m_ForwardLaw,
                      .m_SatCurrent = m_SatCurrent,
                      .m_Ideality = m_Ideality,
                      .m_A = m_QuadA,
                      .m_B = m_QuadB,
                      .m_C = m_QuadC,
                      .m_ReverseLaw = m_ReverseLaw,
                      .m_RevSatCurrent = m_RevSatCurrent,
                      .m_RevIdeality = m_RevN,
                      .m_RevA = m_RevQuadA,
                      .m_RevB = m_RevQuadB,
                      .m_RevC = m_RevQuadC,
                      .m_RevResistance = m_RevResistance,
                      .m_TransitTimeNs = m_TransitTime,
                      .m_CapQuotient = m_CapQuotient,
                      .m_NegCapQuotient = m_NegCapQuotient});
    circuit.SetLoad(m_AudioResistor, m_AudioCapacitor * Pico, m_EarphoneCapacitance * Pico, 0.0);
    circuit.m_QMax = QLimit;
}

template <typename Keep, typename Going>
std::optional<CMutualInductanceDlg::CRefusal>
CMutualInductanceDlg::SweepTaps(CReceiverCircuit& circuit, double distance, Keep keep, Going going)
{
    const double turns = circuit.m_Secondary.m_Turns;
    // A secondary that picks up nothing leaves the detector without a signal to solve for.
    if (turns >= 1 && !(circuit.m_SecondaryEmf.m_Magnitude > 0))
        return CRefusal{0, "Error: The coils are not coupled at " +
                               FormatNumber(distance / Milli, 2) +
                               " mm, so the detector has no signal to work on"};
    for (int w = 1; w <= turns && going(w); ++w)
    {
        circuit.SetTap(w);
        circuit.AnalyseDetector();
        if (!keep(w))
            break;
    }
    return std::nullopt;
}

template <typename Keep>
CMutualInductanceDlg::CDistanceOutcome
CMutualInductanceDlg::TapsAtDistance(CDistanceRun& run, double distance,
                                     const std::atomic<bool>& stop, Keep keep) const
{
    CDistanceOutcome outcome;
    if ((outcome.m_Refusal = SetUpDistance(run, distance)))
        return outcome;
    SetUpDetector(run.m_Circuit);
    if (std::optional<CRefusal> uncoupled = SweepTaps(
            run.m_Circuit, distance, [&](int w) { return keep(w, outcome); },
            [&stop](int) { return !stop; }))
        outcome.m_Refusal = uncoupled;
    return outcome;
}

CMutualInductanceDlg::EDetectorResult
CMutualInductanceDlg::DetectorResult(const CReceiverCircuit& c)
{
    const CDiode& diode = c.m_Diode;
    const double shown[] = {
        c.m_LoadedQ,
        c.m_CoilVoltage.m_Magnitude,
        c.m_TapVoltage,
        c.m_DcVoltage,
        c.m_AudioVoltage,
        diode.m_FwdVoltage.m_Magnitude,
        diode.m_FwdResistance.m_Magnitude,
        diode.m_FwdCap.m_Value,
        diode.m_FwdDiffCap.m_Value,
        diode.m_FwdImpedance.m_Real,
        diode.m_FwdImpedance.m_Imag,
        diode.m_RevVoltage,
        diode.m_RevDiodeResistance,
        diode.m_RevCap.m_Value,
        diode.m_RevImpedance.m_Real,
        diode.m_RevImpedance.m_Imag,
    };
    for (double value : shown)
        if (!std::isfinite(value))
            return EDetectorResult::NotFinite;
    // The sound pressure level is a logarithm of the audio voltage.
    return std::isfinite(c.m_Spl) ? EDetectorResult::Finite : EDetectorResult::NoAudio;
}

CMutualInductanceDlg::CRefusal CMutualInductanceDlg::RefuseDetector(EDetectorResult result,
                                                                    double distance, int turn)
{
    const std::string where =
        FormatNumber(distance / Milli, 2) + " mm, tap " + std::to_string(turn);
    // Such as a diode driven so far forward that its current overflows.
    if (result == EDetectorResult::NotFinite)
        return {0, "Error: The detector has no finite solution at " + where + " for this design"};
    return {0, "Error: The detector gives no audio voltage at " + where +
                   ", so the SPL is not defined"};
}

void CMutualInductanceDlg::NoLoadSweep()
{
    SetTabStops({40});
    const CLongAction progress(*this, IdAnalyseNoLoad, DistanceCount());
    BeginTable(NoLoadTable());
    m_Circuit.SetFrequency(m_Frequency * 1000.0, m_OtherLosses);
    const bool reported = ForEachDistance(
        [this](CDistanceRun& run, double d, const std::atomic<bool>&)
        {
            CDistanceOutcome outcome;
            outcome.m_Refusal = SetUpDistance(run, d);
            if (!outcome.m_Refusal)
                outcome.m_Rows.push_back(NoLoadCells(run.m_Circuit, d));
            return outcome;
        });
    if (reported || Cancelled())
        EndTable();
    else
        DiscardTable();
}

void CMutualInductanceDlg::TapSweepAtStart()
{
    SetTabStops({30});
    m_Circuit.SetFrequency(m_Frequency * 1000.0, m_OtherLosses);
    const double distance = m_StartDistance * Milli;
    const CLongAction progress(*this, IdSplEachLoop,
                               static_cast<int>(std::max(0.0, m_Circuit.m_Secondary.m_Turns)));
    // The coupling of large coils takes seconds: it is worked out beside the window, which
    // keeps painting and can cancel it.
    CDistanceRun run{m_Circuit, m_SourceImpedance};
    std::optional<CRefusal> refusal;
    const bool coupled = StepsSideBySide(
        1,
        [&](int)
        {
            return [&](const std::atomic<bool>& stop)
            {
                const CStopsAt stops(run.m_Circuit, stop);
                refusal = SetUpDistance(run, distance);
                return true;
            };
        },
        [](int, bool) { return true; });
    if (!coupled)
        return;
    if (refusal)
    {
        Refuse(*refusal);
        return;
    }
    m_Circuit = run.m_Circuit;
    m_SourceImpedance = run.m_Source;
    // Every loop row sets the same 16 stops: once is enough, the box is laid out again each time.
    SetTabStops(LoopRowTabStops);
    std::vector<CReportCell> zero = LoopZeroCells();
    SetUpDetector(m_Circuit);
    std::vector<std::vector<CReportCell>> rows;
    std::optional<CRefusal> refused;
    if (std::optional<CRefusal> uncoupled = SweepTaps(
            m_Circuit, distance,
            [&](int w)
            {
                const EDetectorResult result = DetectorResult(m_Circuit);
                if (result != EDetectorResult::Finite)
                {
                    refused = RefuseDetector(result, distance, w);
                    return false;
                }
                rows.push_back(LoopCells(w));
                return true;
            },
            [this](int w) { return Step(w); }))
        refused = uncoupled;
    if (refused)
    {
        Refuse(*refused);
        return;
    }
    // Loop 0 and the taps go into the box together, or not at all; a cancelled sweep keeps
    // the loops it finished.
    BeginTable(LoopZeroTable());
    AddRow(std::move(zero));
    EndTable();
    CReportTable taps = LoopTable();
    taps.m_Continues = true;
    BeginTable(std::move(taps));
    for (std::vector<CReportCell>& row : rows)
        AddRow(std::move(row));
    EndTable();
}

void CMutualInductanceDlg::BestTapSweep()
{
    SetTabStops(DistanceTabStops);
    const CLongAction progress(*this, IdMaxSplOverDistance, DistanceCount());
    BeginTable(DistanceTable(Caption(IdMaxSplOverDistance)));
    // Without a tap there is no row to show.
    if (!(m_Circuit.m_Secondary.m_Turns >= 1))
    {
        EndTable();
        return;
    }
    m_Circuit.SetFrequency(m_Frequency * 1000.0, m_OtherLosses);
    const bool reported = ForEachDistance(
        [this](CDistanceRun& run, double d, const std::atomic<bool>& stop)
        {
            const CReceiverCircuit& circuit = run.m_Circuit;
            // The last tap before the DC voltage first falls.
            double previous = 0.0;
            std::vector<CReportCell> row;
            int kept = 0;
            EDetectorResult result = EDetectorResult::Finite;
            CDistanceOutcome outcome = TapsAtDistance(run, d, stop,
                                                      [&](int w, CDistanceOutcome&)
                                                      {
                                                          if (previous > circuit.m_DcVoltage)
                                                              return false;
                                                          row = DistanceCells(circuit, d, w);
                                                          kept = w;
                                                          result = DetectorResult(circuit);
                                                          previous = circuit.m_DcVoltage;
                                                          return true;
                                                      });
            if (outcome.m_Refusal)
                return outcome;
            if (result != EDetectorResult::Finite)
                outcome.m_Refusal = RefuseDetector(result, d, kept);
            else if (!row.empty())
                outcome.m_Rows.push_back(std::move(row));
            return outcome;
        });
    if (reported || Cancelled())
        EndTable();
    else
        DiscardTable();
}

void CMutualInductanceDlg::GivenTapSweep()
{
    SetTabStops(DistanceTabStops);
    const CLongAction progress(*this, IdSplAtLoopOverDistance, DistanceCount());
    BeginTable(DistanceTable(Caption(IdSplAtLoopOverDistance)));
    // A tap beyond the secondary's turns is never reached: there is no row to show.
    if (m_TapLoop > m_Circuit.m_Secondary.m_Turns)
    {
        EndTable();
        return;
    }
    m_Circuit.SetFrequency(m_Frequency * 1000.0, m_OtherLosses);
    const bool reported = ForEachDistance(
        [this](CDistanceRun& run, double d, const std::atomic<bool>& stop)
        {
            // Each tap depends on the ones below it, so the sweep runs up from tap 1.
            return TapsAtDistance(run, d, stop,
                                  [&](int w, CDistanceOutcome& outcome)
                                  {
                                      if (w != m_TapLoop)
                                          return true;
                                      const EDetectorResult result = DetectorResult(run.m_Circuit);
                                      if (result != EDetectorResult::Finite)
                                          outcome.m_Refusal = RefuseDetector(result, d, w);
                                      else
                                          outcome.m_Rows.push_back(
                                              DistanceCells(run.m_Circuit, d, w));
                                      return false;
                                  });
        });
    if (reported || Cancelled())
        EndTable();
    else
        DiscardTable();
}

std::vector<CReportCell> CMutualInductanceDlg::NoLoadCells(const CReceiverCircuit& c,
                                                           double distance)
{
    return {CReportCell::Number(distance / Milli),
            CReportCell::Number(c.m_Mutual.m_Value / Micro),
            CReportCell::Number(c.m_Coupling),
            CReportCell::Number(c.m_QNoLoad),
            CReportCell::Number(c.m_TransformationRatio),
            CReportCell::Number(c.m_PrimaryVoltage.m_Magnitude),
            Rectangular(c.m_ZinOpen),
            Rectangular(c.m_ReflectedImpedance),
            Rectangular(c.m_ZinResonant),
            Required(c.m_RequiredComponent),
            CReportCell::Number(c.m_SecondaryEmf.m_Magnitude),
            CReportCell::Number(c.m_CoilVoltage.m_Magnitude),
            CReportCell::Number(c.m_TuningComponent.m_Value / Pico)};
}

// No tap yet: no tap voltage.
std::vector<CReportCell> CMutualInductanceDlg::LoopZeroCells() const
{
    return {CReportCell::Number(0), CReportCell::Number(m_Circuit.m_QNoLoad),
            CReportCell::Number(m_Circuit.m_CoilVoltage.m_Magnitude), CReportCell::Number(0.0)};
}

// The cells from Vtap to Zd(r) after the given ones.
std::vector<CReportCell> CMutualInductanceDlg::WithDetectorCells(const CReceiverCircuit& c,
                                                                 std::vector<CReportCell> cells)
{
    const CDiode& diode = c.m_Diode;
    cells.insert(
        cells.end(),
        {CReportCell::Number(c.m_TapVoltage), CReportCell::Number(c.m_DcVoltage),
         CReportCell::Number(c.m_AudioVoltage), CReportCell::Number(c.m_Spl),
         CReportCell::Number(diode.m_FwdVoltage.m_Magnitude),
         CReportCell::Number(diode.m_FwdResistance.m_Magnitude),
         CReportCell::Number(diode.m_FwdCap.m_Value / Pico),
         CReportCell::Number(diode.m_FwdDiffCap.m_Value / Pico), Rectangular(diode.m_FwdImpedance),
         CReportCell::Number(diode.m_RevVoltage), CReportCell::Number(diode.m_RevDiodeResistance),
         CReportCell::Number(diode.m_RevCap.m_Value / Pico), Rectangular(diode.m_RevImpedance)});
    return cells;
}

std::vector<CReportCell> CMutualInductanceDlg::LoopCells(int turn) const
{
    return WithDetectorCells(m_Circuit,
                             {CReportCell::Number(turn), CReportCell::Number(m_Circuit.m_LoadedQ),
                              CReportCell::Number(m_Circuit.m_CoilVoltage.m_Magnitude)});
}

std::vector<CReportCell> CMutualInductanceDlg::DistanceCells(const CReceiverCircuit& c,
                                                             double distance, int turn)
{
    return WithDetectorCells(c, {CReportCell::Number(distance / Milli), CReportCell::Number(turn),
                                 CReportCell::Number(c.m_LoadedQ),
                                 CReportCell::Number(c.m_CoilVoltage.m_Magnitude)});
}

QString CMutualInductanceDlg::LoopRow(int turn) const
{
    return RowText(LoopTable(), LoopCells(turn));
}

QString CMutualInductanceDlg::DistanceRow(double distance, int turn) const
{
    return RowText(DistanceTable(QString()), DistanceCells(m_Circuit, distance, turn));
}
