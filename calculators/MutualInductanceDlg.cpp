// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/MutualInductanceDlg.h"

#include "calculators/MutualInductanceReports.h"
#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/ReportTable.h"
#include "forms/WaitCursor.h"
#include "models/FormatNumber.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <utility>

namespace
{

using Dlg = CMutualInductanceDlg;
using namespace receiver;

// The field table in set-up order, cut where the set-up clears or checks buttons.
const CFieldRow SourceFields[] = {
    {Dlg::IdSourceVoltage, "Voltage (pp)", 9, 4, false, 0.0001, 99.999, "source voltage", "0.10",
     "V", FieldReal},
    {Dlg::IdSourceResistance, "Resistance (ohms)", 6, 3, false, 0.001, 9999.999,
     "source resistance", "50.000", "ohm", FieldReal},
    {Dlg::IdSourceCapacitance, "Capacitance (pF)", 9, 3, false, 0.0, 999999999.999,
     "source capacitance", "2200.000", "pF", FieldReal, Times(Pico)},
    {Dlg::IdSourceInductance, "Inductance (uH)", 9, 3, false, 0.0, 99999.999, "source inductance",
     "0.000", "µH", FieldReal, Times(Micro)},
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
     "3.38", "pF", FieldReal, Times(Pico)},
    {Dlg::IdJunctionVoltage, "At voltage value", 2, 2, true, 0, 0, "", "-1.0", "V", FieldUnchecked},
    {Dlg::IdParasiticCap, "Paraistic Cap", 2, 2, false, 0, 0, "", "0.1", "pF", FieldUnchecked,
     Times(Pico)},
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
     "0.0", "pF", FieldReal, Times(Pico)},
    {Dlg::IdEarphoneCapacitance, "Eaphone capacitance (pF)", 6, 0, false, 0.0, 999999.0,
     "earphone capacitance", "15000.0", "pF", FieldReal, Times(Pico)},
    {Dlg::IdOtherLosses, "Dielectric and other losses (% of Q)", 6, 2, false, 0.0, 99.0,
     "% other losses", "0.0", "%", FieldReal},
    {Dlg::IdConstantLoss, "Constant resistive loss (Ohms)", 4, 2, false, 0.0, 9999.0,
     "% other losses", "0.0", "ohm", FieldReal},
};

const CFieldRow WorkingFields[] = {
    {Dlg::IdFrequency, "Working frequency(kHz)", 9, 3, false, 1.0, 999999999.999, "Frequency kHz",
     "1000.0", "kHz", FieldReal, Times(1000.0)},
    {Dlg::IdStartDistance, "Start distance (mm)", 3, 1, false, 0.1, 999.9, "start distance", "50.0",
     "mm", FieldReal, Times(Milli)},
    {Dlg::IdEndDistance, "End distance (mm)", 3, 1, false, 1.0, 999.9, "end distance", "120.0",
     "mm", FieldReal, Times(Milli)},
    {Dlg::IdStep, "Steps", 2, 0, false, 1.0, 99.0, "steps", "10", "mm", FieldReal, Times(Milli)},
    {Dlg::IdTapLoop, "Tap loop #", 2, 0, false, 0, 99, "loop", "20", "", FieldWhole},
    {Dlg::IdSelectivitySpan, "Selectivity span (kHz)", 3, 0, false, 1.0, 500.0, "selectivity span",
     "30", "kHz", FieldReal, Times(1000.0)},
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
                     "loop over distance range\" and the selectivity."},
    {Dlg::IdSelectivitySpan,
     "How far either side of the working frequency \"Selectivity around the working frequency\" "
     "goes, in steps of 1 kHz."},
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

template <std::size_t Count> constexpr int Rows(const CFieldRow (&)[Count])
{
    return static_cast<int>(Count);
}

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
    AddPicker(primaryGrid, IdPrimaryWirePart);
    auto* primaryLitz = new QVBoxLayout;
    primary->addLayout(primaryLitz);
    AddCheck(primaryLitz, IdPrimaryLitz, QStringLiteral("Litz wire"));
    AddFields(primaryGrid, PrimaryFields, Rows(PrimaryFields));
    AddFields(AddFieldGrid(primaryLitz), PrimaryLitzFields, Rows(PrimaryLitzFields));

    auto* secondary = new QVBoxLayout(AddGroup(QStringLiteral("Secondary coil"), coils));
    QGridLayout* secondaryGrid = AddFieldGrid(secondary);
    AddPicker(secondaryGrid, IdSecondaryWirePart);
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
    AddPicker(forwardGrid, IdDiodePart);
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

const CFormAction CMutualInductanceDlg::ActionTable[] = {
    // K (about 0.03) beside Q (about 150) would be a flat line; it is M over a constant, so
    // the curve of M shows its course.
    {Dlg::IdAnalyseNoLoad,
     "Analyse - no load",
     "distance",
     "D",
     {"M", "Q"},
     RunHandler<&CMutualInductanceDlg::RunAction>},
    {Dlg::IdSplEachLoop,
     "Calc SPL each loop at start distance",
     "loop",
     "W#",
     {"SPL", "Vdc"},
     RunHandler<&CMutualInductanceDlg::RunAction>},
    {Dlg::IdSplAtLoopOverDistance,
     "SPL at given loop over distance range",
     "distance",
     "Dist",
     {"SPL", "Vdc"},
     RunHandler<&CMutualInductanceDlg::RunAction>},
    {Dlg::IdMaxSplOverDistance,
     "Max SPL over distance range",
     "distance",
     "Dist",
     {"SPL", "Vdc"},
     RunHandler<&CMutualInductanceDlg::RunAction>},
    {Dlg::IdSelectivity,
     "Selectivity around the working frequency",
     "frequency",
     "Freq",
     {"Rel(f0)"},
     RunHandler<&CMutualInductanceDlg::RunAction>},
    {Dlg::IdSelectivityOverDistance,
     "Selectivity over distance range",
     "distance",
     "Dist",
     {"SPL", "BW"},
     RunHandler<&CMutualInductanceDlg::RunAction>},
};

const CFormRule CMutualInductanceDlg::RuleTable[] = {
    {"The DC power in the load is up to %1 times the %2 uW that the source can deliver "
     "(Vpp^2/(32 R source)): "
     "the detector model (%3) is outside its range here, and Vdc, Vadio and SPL are not "
     "physical",
     RuleCheck<&CMutualInductanceDlg::DetectorPowerHint>},
    {"The coils' diameters differ (%1 mm and %2 mm): for a small coil inside a large one the "
     "mutual inductance comes out 5 % to 24 % low, and the coupling with it",
     RuleCheck<&CMutualInductanceDlg::CoilDiametersHint>},
};

std::span<const CFormRule> CMutualInductanceDlg::Rules() const
{
    return RuleTable;
}

// No detector can give its load more DC power than the source gives a matched load.
bool CMutualInductanceDlg::DetectorPowerHint(const CReportTable& table, CTableHint& hint) const
{
    const int vdc = table.ColumnNamed(QStringLiteral("Vdc"));
    if (vdc < 0 || !(m_AudioResistor > 0.0) || !(m_SourceResistance > 0.0))
        return false;
    const double available = m_SourceVoltage * m_SourceVoltage / (32.0 * m_SourceResistance);
    double worst = 0.0;
    for (size_t row = 0; row < table.m_Rows.size(); ++row)
    {
        double volts = 0.0;
        if (!table.NumberAt(row, vdc, volts) || !(volts * volts / m_AudioResistor > available))
            continue;
        hint.m_Rows.push_back(row);
        worst = std::max(worst, volts * volts / m_AudioResistor / available);
    }
    if (hint.m_Rows.empty())
        return false;
    const auto value = [](double v) { return QString::number(v, 'g', 6); };
    const QString diode =
        m_ForwardLaw == LawDiodeEquation
            ? QStringLiteral("Is %1 uA, n %2").arg(value(m_SatCurrent), value(m_Ideality))
        : m_ForwardLaw == LawPower
            ? QStringLiteral("power law a %1, n %2").arg(value(m_QuadA), value(m_QuadB))
            : QStringLiteral("quadratic a %1, b %2, c %3")
                  .arg(value(m_QuadA), value(m_QuadB), value(m_QuadC));
    hint.m_Text =
        hint.m_Text.arg(FormatNumberText(worst, 1), FormatNumberText(available * 1e6, 2), diode);
    return true;
}

// The ring rule of the mutual inductance holds for coils of about one diameter.
bool CMutualInductanceDlg::CoilDiametersHint(const CReportTable& /*table*/, CTableHint& hint) const
{
    const double primary = m_Circuit.m_Primary.m_Diameter;
    const double secondary = m_Circuit.m_Secondary.m_Diameter;
    if (m_HasCore || !(primary > 0.0 && secondary > 0.0) ||
        std::min(primary, secondary) >= 0.8 * std::max(primary, secondary))
        return false;
    hint.m_Text = hint.m_Text.arg(FormatNumberText(primary * 1000.0, 2),
                                  FormatNumberText(secondary * 1000.0, 2));
    return true;
}

QString receiver::ReceiverCaption(int action)
{
    for (const CFormAction& entry : Dlg::ActionTable)
        if (entry.m_Id == action)
            return QString::fromUtf8(entry.m_Caption);
    return QString();
}

std::span<const CFormAction> CMutualInductanceDlg::Actions() const
{
    return ActionTable;
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
