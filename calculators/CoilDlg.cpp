// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/CoilDlg.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/ReportTable.h"
#include "forms/WaitCursor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>

namespace
{
constexpr double Unlimited = 0.0;

// In set-up order. The end inductance, the extra capacitance and the offset take any number;
// the wall thickness keeps the control's own digit rules.
const CFieldRow CoilFields[] = {
    {CCoilDlg::IdStartInductance, "Start inductance (uH)", 9, 3, false, 0.001, 999999999.99,
     "Given inductance", "300", "uH", FieldReal, Times(1e-6)},
    {CCoilDlg::IdEndInductance, "End inductance (uH)", 9, 3, false, Unlimited, Unlimited, "", "300",
     "uH", FieldUnchecked, Times(1e-6)},
    {CCoilDlg::IdConductorDiameter, "Conductor diameter (mm)", 2, 3, false, 0.001, 99.999,
     "Conductor diameter", "0.63", "mm", FieldReal, Times(0.001)},
    {CCoilDlg::IdWireDiameter, "Wire diameter with insulation (mm)", 2, 3, false, 0.001, 99.999,
     "Wire diameter", "0.68", "mm", FieldReal, Times(0.001)},
    {CCoilDlg::IdResistivity, "Resistivity (uOhms-metre)", 2, 4, false, 0.0001, 999.9999,
     "Wire resistivity", "0.0168", "uOhms-metre", FieldReal, Over(1e6)},
    {CCoilDlg::IdStrandDiameter, "Conductor diameter (mm)", 2, 4, false, 0.0001, 999.9999,
     "litz wire diameter", "0.0375", "mm", FieldReal, Times(0.001)},
    {CCoilDlg::IdStrandCount, "Number of wires", 3, 0, false, 1.0, 999.0,
     "litz wire number of conductors", "178", "", FieldReal},
    {CCoilDlg::IdLitzFactor, "AC resistance factor (at 1 MHz)", 2, 3, false, 0.001, 99.999,
     "litz wire AC resistance factor", "1.6", "", FieldReal},
    {CCoilDlg::IdPitch, "Pitch (mm)", 2, 3, false, 0.001, 99.999, "Pitch", "0.68", "mm", FieldReal,
     Times(0.001)},
    {CCoilDlg::IdDiameter, "Diameter (mm)", 3, 2, false, 1.0, 999.99, "Coil diameter", "17.18",
     "mm", FieldReal, Times(0.001)},
    {CCoilDlg::IdTurns, "Number of Turns", 5, 2, false, 1.0, 99999.0, "Number of turns", "", "",
     FieldReal},
    {CCoilDlg::IdLength, "Coil length (mm)", 3, 2, false, 0.001, 999.99, "Length t", "0.0", "mm",
     FieldReal, Times(0.001)},
    {CCoilDlg::IdLengthToDiameter, "l/D ratio", 2, 4, false, 0.0001, 99.9999,
     "Length to diameter ratio", "0.407", "", FieldReal},
    {CCoilDlg::IdExtraCapacitance, "Extra Cricuit Self Capacitance (pF)", 2, 2, false, Unlimited,
     Unlimited, "", "0.0", "pF", FieldUnchecked, Times(1e-12)},
    {CCoilDlg::IdWallThickness, "Wall thickness (mm)", 0, 0, false, Unlimited, Unlimited, "", "2.0",
     "mm", FieldTextOnly, Times(0.001)},
    {CCoilDlg::IdFormerPermeability, "Relative permeability", 4, 4, false, 0.0001, 9999.9999,
     "Former relative permeability", "1.0", "", FieldReal},
    {CCoilDlg::IdFormerPermittivity, "Relative permittivity", 4, 4, false, 0.0001, 9999.9999,
     "Former relative permittivity", "3.0", "", FieldReal},
    {CCoilDlg::IdDissipationFactor, "Dissipation factor", 4, 4, false, 0.0, 9999.9999,
     "Dielectric loss", "0.0", "", FieldReal},
    {CCoilDlg::IdInitialPermeabilityValue, "", 4, 4, false, 0.0001, 9999.9999,
     "Core relative permeability", "120.0", "", FieldReal},
    {CCoilDlg::IdApparentPermeabilityValue, "", 4, 4, false, 1.0, 9999.9999,
     "Apparent relative permeability", "16.9", "", FieldReal},
    {CCoilDlg::IdGapExponent, "Gap exponent", 4, 4, false, 0.0001, 9999.9999, "Gap coefficient",
     "0.8453", "", FieldReal},
    {CCoilDlg::IdLengthExponent, "Length exponent", 4, 4, false, 0.0001, 9999.9999,
     "Length coefficient", "0.3598", "", FieldReal},
    {CCoilDlg::IdLossFactor, "Relative loss factor (10^-6)", 4, 4, false, 0.0, 9999.9999,
     "Loss factor", "68.3", "", FieldReal},
    {CCoilDlg::IdLossFactorFrequency, "RL Factor frequency (kHz)", 4, 4, false, 0.0001, 9999.9999,
     "Loss factor frequency", "1500.0", "kHz", FieldReal, Times(1000)},
    {CCoilDlg::IdRodDiameter, "Diameter (mm)", 4, 4, false, 0.0, 9999.9999, "Rod diameter", "9.68",
     "mm", FieldReal, Over(1000)},
    {CCoilDlg::IdRodLength, "Length (mm)", 4, 4, false, 0.0, 9999.9999, "Rod length", "180.0", "mm",
     FieldReal, Over(1000)},
    {CCoilDlg::IdFrequency, "Working frequency(kHz)", 6, 3, false, 0.001, 999999.999, "frequency",
     "1000.0", "kHz", FieldReal, Times(1000)},
    {CCoilDlg::IdOffset, "Offset (mm)", 3, 2, false, Unlimited, Unlimited, "", "0.0", "mm",
     FieldUnchecked, Times(0.001)},
};

const CFieldHelp CoilHelp[] = {
    {CCoilDlg::IdStartInductance,
     "The first inductance to find a coil for, with \"Use given inductance\"."},
    {CCoilDlg::IdEndInductance,
     "The last inductance to find a coil for, going up from the start in 50 uH steps."},
    {CCoilDlg::IdConductorDiameter, "The bare diameter of the solid wire, without its insulation."},
    {CCoilDlg::IdWireDiameter,
     "The diameter of the wire over its insulation, the pitch of a close-wound coil."},
    {CCoilDlg::IdResistivity,
     "The resistivity of the wire's metal (copper 0.0168), which sets the coil's resistance."},
    {CCoilDlg::IdStrandDiameter, "The bare diameter of one strand of the litz wire."},
    {CCoilDlg::IdStrandCount, "The number of insulated strands that make up the litz wire."},
    {CCoilDlg::IdLitzFactor,
     "The litz wire's AC resistance factor as quoted at 1 MHz, scaled to the working frequency."},
    {CCoilDlg::IdPitch, "The turn spacing: the distance from the centre of one turn to the next."},
    {CCoilDlg::IdDiameter, "The diameter of the coil, measured to the centre of the wire."},
    {CCoilDlg::IdTurns, "The number of turns in the winding; it need not be a whole number."},
    {CCoilDlg::IdLength, "The length of the winding along the coil's axis."},
    {CCoilDlg::IdLengthToDiameter, "The coil's shape: its winding length divided by its diameter."},
    {CCoilDlg::IdExtraCapacitance,
     "Capacitance of the rest of the circuit across the coil, added to its self-capacitance."},
    {CCoilDlg::IdWallThickness,
     "The wall thickness of the coil former, used for the former's loss and self-capacitance."},
    {CCoilDlg::IdFormerPermeability,
     "The relative permeability of the former material, 1 for a non-magnetic former."},
    {CCoilDlg::IdFormerPermittivity,
     "The relative permittivity of the former material, which raises the coil's self-capacitance."},
    {CCoilDlg::IdDissipationFactor,
     "The loss tangent of the former material, which sets the former's loss R(former)."},
    {CCoilDlg::IdInitialPermeabilityValue,
     "The initial permeability of the ferrite rod's material, from its data sheet."},
    {CCoilDlg::IdApparentPermeabilityValue,
     "The coil's inductance with the rod divided by that without, for \"Use apparent "
     "permeability\"."},
    {CCoilDlg::IdGapExponent,
     "The rod's gap exponent, Alpha of the Ferrite rod calculator, for the apparent permeability."},
    {CCoilDlg::IdLengthExponent,
     "The rod's length exponent, Beta0 of the Ferrite rod calculator, for the apparent "
     "permeability."},
    {CCoilDlg::IdLossFactor,
     "The relative loss factor of the ferrite material, which sets the core loss R(core)."},
    {CCoilDlg::IdLossFactorFrequency,
     "The frequency at which the ferrite's relative loss factor is quoted."},
    {CCoilDlg::IdRodDiameter, "The diameter of the ferrite rod inside the winding."},
    {CCoilDlg::IdRodLength, "The length of the ferrite rod inside the winding."},
    {CCoilDlg::IdFrequency,
     "The frequency at which the coil's resistances, reactance and Q are found."},
    {CCoilDlg::IdOffset,
     "The winding's distance along the rod from its centre, for the apparent permeability."},
};

const CFieldRow& FieldRow(int id)
{
    return *FindFieldRow(CoilFields, id);
}

} // namespace

CCoilDlg::CCoilDlg(QWidget* parent) : CVKFormView(QStringLiteral("Coil"), 16004, parent)
{
    setEnterMovesFocus(true);
}

// Template order: design files list the controls in this order.
void CCoilDlg::BuildForm()
{
    auto* columns = new QHBoxLayout;
    MainLayout()->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    QGroupBox* mode = AddGroup(QStringLiteral("Working mode"), left);
    auto* modeLayout = new QVBoxLayout(mode);
    AddRadio(modeLayout, IdUseGivenInductance, QStringLiteral("Use given inductance"), 1);
    AddRadio(modeLayout, IdCalculateInductance, QStringLiteral("Calculate inductance"), 1);
    AddField(AddFieldGrid(modeLayout), FieldRow(IdFrequency));

    QGroupBox* given = AddGroup(QStringLiteral("Use given inductance"), left);
    auto* givenLayout = new QVBoxLayout(given);
    QGridLayout* givenGrid = AddFieldGrid(givenLayout);
    AddField(givenGrid, FieldRow(IdStartInductance));
    AddField(givenGrid, FieldRow(IdEndInductance));
    AddRadio(givenLayout, IdDiameterAndPitch, QStringLiteral("Enter diameter and pitch"), 2);
    AddRadio(givenLayout, IdRatioAndPitch, QStringLiteral("Enter l/d ratio and pitch"), 2);

    QGroupBox* calculate = AddGroup(QStringLiteral("Calculate inductance"), left);
    auto* calculateLayout = new QVBoxLayout(calculate);
    AddRadio(calculateLayout, IdEnterLength, QStringLiteral("Enter length"), 3);
    AddRadio(calculateLayout, IdEnterPitch, QStringLiteral("Enter pitch"), 3);
    AddRadio(calculateLayout, IdEnterRatio, QStringLiteral("Enter l/d ratio"), 3);

    QGroupBox* wire = AddGroup(QStringLiteral("Wire "), left);
    auto* wireLayout = new QVBoxLayout(wire);
    QGridLayout* wireGrid = AddFieldGrid(wireLayout);
    AddPicker(wireGrid, IdWirePart);
    AddField(wireGrid, FieldRow(IdConductorDiameter));
    AddField(wireGrid, FieldRow(IdWireDiameter));
    AddField(wireGrid, FieldRow(IdResistivity));
    AddCheck(wireLayout, IdLitz, QStringLiteral("Litz wire"));
    QGridLayout* litzGrid = AddFieldGrid(wireLayout);
    AddPicker(litzGrid, IdLitzPart);
    AddField(litzGrid, FieldRow(IdStrandDiameter));
    AddField(litzGrid, FieldRow(IdStrandCount));
    AddField(litzGrid, FieldRow(IdLitzFactor));
    left->addStretch();

    QGroupBox* geometry = AddGroup(QStringLiteral("Coil geometry"), right);
    auto* geometryGrid = new QGridLayout(geometry);
    for (int id : {IdPitch, IdDiameter, IdTurns, IdLength, IdLengthToDiameter, IdExtraCapacitance})
        AddField(geometryGrid, FieldRow(id));

    QGroupBox* former = AddGroup(QStringLiteral("Former"), right);
    auto* formerGrid = new QGridLayout(former);
    for (int id :
         {IdWallThickness, IdFormerPermeability, IdFormerPermittivity, IdDissipationFactor})
        AddField(formerGrid, FieldRow(id));

    QGroupBox* core = AddGroup(QString(), right);
    auto* coreLayout = new QVBoxLayout(core);
    AddCheck(coreLayout, IdHasCore, QStringLiteral("Has core"));
    auto* permeabilityGrid = new QGridLayout;
    coreLayout->addLayout(permeabilityGrid);
    auto* initial = new QHBoxLayout;
    permeabilityGrid->addLayout(initial, 0, 0);
    AddRadio(initial, IdInitialPermeability, QStringLiteral("Initial permeability"), 4);
    auto* initialValue = new QGridLayout;
    permeabilityGrid->addLayout(initialValue, 0, 1);
    AddField(initialValue, FieldRow(IdInitialPermeabilityValue));
    auto* apparent = new QHBoxLayout;
    permeabilityGrid->addLayout(apparent, 1, 0);
    AddRadio(apparent, IdApparentPermeability, QStringLiteral("Use apparent permeability"), 4);
    auto* apparentValue = new QGridLayout;
    permeabilityGrid->addLayout(apparentValue, 1, 1);
    AddField(apparentValue, FieldRow(IdApparentPermeabilityValue));
    QGridLayout* coreGrid = AddFieldGrid(coreLayout);
    for (int id : {IdFerritePart, IdRodPart})
        AddPicker(coreGrid, id);
    for (int id : {IdGapExponent, IdLengthExponent, IdLossFactor, IdLossFactorFrequency,
                   IdRodDiameter, IdRodLength, IdOffset})
        AddField(coreGrid, FieldRow(id));
    right->addStretch();
    AddResultsAndActions(MainLayout());
}

std::span<const CFieldHelp> CCoilDlg::FieldHelp() const
{
    return CoilHelp;
}

const CFormAction CCoilDlg::ActionTable[] = {
    {CCoilDlg::IdAnalyse,
     "Analyse",
     "inductance",
     "L",
     {"Q", "Wire length"},
     RunHandler<&CCoilDlg::OnAnalyse>},
    {CCoilDlg::IdAnalyseRatioRange,
     "Analyse using  l/d range",
     "l/D ratio",
     "l/D",
     {"Q", "Wire length"},
     RunHandler<&CCoilDlg::OnAnalyseRatioRange>},
};

std::span<const CFormAction> CCoilDlg::Actions() const
{
    return ActionTable;
}

const CFormRule CCoilDlg::RuleTable[] = {
    {"C(sr) is the bare winding's self-capacitance on an air or thin-wall former: for l/D below "
     "3.5 it comes out 19 % to 43 % below Medhurst's measurements (his coils, on solid formers, "
     "measured about 1.5 times this), and leads, taps and wiring add to it",
     RuleCheck<&CCoilDlg::SelfCapacitanceHint>},
    {"Q above 300 is an upper bound: real coils lose Q to their supports, leads and plating "
     "(the model gives one measured solid-wire coil 75 % more Q than it has)",
     RuleCheck<&CCoilDlg::HighQHint>},
};

std::span<const CFormRule> CCoilDlg::Rules() const
{
    return RuleTable;
}

// Medhurst's coils were wound on solid rods; a wall of a quarter of the diameter or more
// comes close to one.
bool CCoilDlg::SelfCapacitanceHint(const CReportTable& table, CTableHint& hint) const
{
    const int ratio = table.ColumnNamed(QStringLiteral("l/D"));
    const int diameter = table.ColumnNamed(QStringLiteral("Diam"));
    if (table.ColumnNamed(QStringLiteral("C(sr)")) < 0)
        return false;
    for (size_t row = 0; row < table.m_Rows.size(); ++row)
    {
        double lOverD = 0.0;
        double diameterMm = 0.0;
        if (table.NumberAt(row, ratio, lOverD) && table.NumberAt(row, diameter, diameterMm) &&
            lOverD < 3.5 && m_Coil.m_WallThickness * 1000.0 < diameterMm / 4.0)
            hint.m_Rows.push_back(row);
    }
    return !hint.m_Rows.empty();
}

bool CCoilDlg::HighQHint(const CReportTable& table, CTableHint& hint) const
{
    const int q = table.ColumnNamed(QStringLiteral("Q"));
    for (size_t row = 0; row < table.m_Rows.size(); ++row)
        if (double value = 0.0; table.NumberAt(row, q, value) && value > 300.0)
            hint.m_Rows.push_back(row);
    return !hint.m_Rows.empty();
}

void CCoilDlg::SetupFields()
{
    SetCheck(IdUseGivenInductance, true);
    SetupRows(IdStartInductance, IdResistivity);
    SetCheck(IdLitz, false);
    SetupRows(IdStrandDiameter, IdDissipationFactor);
    SetCheck(IdHasCore, true);
    SetCheck(IdInitialPermeability, true);
    SetupField(FieldRow(IdInitialPermeabilityValue));
    SetCheck(IdApparentPermeability, false);
    SetupRows(IdApparentPermeabilityValue, IdFrequency);
    // The fields of the checked permeability choice, as its click gives them.
    OnInitialPermeability();
    // Kept in design files, but the coil model only stores them.
    for (int id : {IdWireDiameter, IdFormerPermeability})
        MarkUnused(id, QStringLiteral("Not read: no calculation uses it."));
    OnUseGivenInductance();
    SetCheck(IdDiameterAndPitch, true);
    SetupField(FieldRow(IdOffset));
    OnDiameterAndPitch();
}

// The rows from one id to another, inclusive, in table order.
void CCoilDlg::SetupRows(int first, int last)
{
    const CFieldRow* from = &FieldRow(first);
    CVKFormView::SetupFields(from, static_cast<int>(&FieldRow(last) - from) + 1);
}

bool CCoilDlg::OnCommand(int id)
{
    switch (id)
    {
    case IdUseGivenInductance:
        OnUseGivenInductance();
        return true;
    case IdCalculateInductance:
        OnCalculateInductance();
        return true;
    case IdDiameterAndPitch:
        OnDiameterAndPitch();
        return true;
    case IdRatioAndPitch:
        OnRatioAndPitch();
        return true;
    case IdEnterLength:
    case IdEnterPitch:
    case IdEnterRatio:
        OnCalculatedChoice(id);
        return true;
    case IdInitialPermeability:
        OnInitialPermeability();
        return true;
    case IdApparentPermeability:
        OnApparentPermeability();
        return true;
    case IdLitz:
    case IdHasCore:
        return true; // read at analysis time
    default:
        return CVKFormView::OnCommand(id);
    }
}

namespace
{
using C = CCoilDlg;

// What each handler enables and disables.
const CEnableRule CoilEnableRules[] = {
    {C::IdUseGivenInductance,
     {C::IdDiameterAndPitch, C::IdRatioAndPitch},
     {C::IdEnterLength, C::IdEnterPitch, C::IdEnterRatio}},
    {C::IdDiameterAndPitch,
     {C::IdDiameter, C::IdPitch, C::IdStartInductance, C::IdEndInductance},
     {C::IdTurns, C::IdLength, C::IdLengthToDiameter, C::IdAnalyseRatioRange}},
    {C::IdRatioAndPitch,
     {C::IdLengthToDiameter, C::IdPitch, C::IdAnalyseRatioRange},
     {C::IdDiameter, C::IdTurns, C::IdLength}},
    {C::IdCalculateInductance,
     {C::IdEnterLength, C::IdEnterPitch, C::IdEnterRatio, C::IdDiameter, C::IdAnalyse},
     {C::IdDiameterAndPitch, C::IdRatioAndPitch}},
    {C::IdEnterLength,
     {C::IdDiameter, C::IdTurns, C::IdLength},
     {C::IdPitch, C::IdLengthToDiameter, C::IdStartInductance, C::IdEndInductance,
      C::IdAnalyseRatioRange}},
    {C::IdEnterPitch,
     {C::IdDiameter, C::IdTurns, C::IdPitch},
     {C::IdLength, C::IdLengthToDiameter, C::IdAnalyseRatioRange}},
    {C::IdEnterRatio,
     {C::IdDiameter, C::IdTurns, C::IdLengthToDiameter},
     {C::IdPitch, C::IdLength, C::IdAnalyseRatioRange}},
    {C::IdInitialPermeability,
     {C::IdOffset, C::IdInitialPermeabilityValue, C::IdGapExponent, C::IdLengthExponent},
     {C::IdApparentPermeabilityValue}},
    {C::IdApparentPermeability,
     {C::IdApparentPermeabilityValue},
     {C::IdOffset, C::IdInitialPermeabilityValue, C::IdGapExponent, C::IdLengthExponent}},
};

// The coil dimensions each input choice takes from its fields.
struct CInputChoice
{
    int m_Choice;
    bool m_Diameter;
    bool m_Length;
    bool m_Ratio;
    bool m_Pitch;
};
const CInputChoice InputChoices[] = {
    {C::IdDiameterAndPitch, true, false, false, true},
    {C::IdRatioAndPitch, false, false, true, true},
    {C::IdEnterLength, true, true, false, false},
    {C::IdEnterPitch, true, false, false, true},
    {C::IdEnterRatio, true, false, true, false},
};

} // namespace

void CCoilDlg::SetChoice(int choice)
{
    for (const CInputChoice& inputs : InputChoices)
    {
        if (inputs.m_Choice != choice)
            continue;
        m_Choice = choice;
        m_DiameterInput = inputs.m_Diameter;
        m_LengthInput = inputs.m_Length;
        m_RatioInput = inputs.m_Ratio;
        m_PitchInput = inputs.m_Pitch;
    }
    ApplyEnableRule(CoilEnableRules, choice);
}

void CCoilDlg::OnUseGivenInductance()
{
    m_InductanceGiven = true;
    ApplyEnableRule(CoilEnableRules, IdUseGivenInductance);
    SetCheck(IdCalculateInductance, false);
    OnDiameterAndPitch();
}

// The choices of the other working mode keep their (disabled) check marks; a design file
// restores those too, and their handlers must then not change the current mode's inputs.
void CCoilDlg::OnDiameterAndPitch()
{
    if (!m_InductanceGiven)
        return;
    SetChoice(IdDiameterAndPitch);
    if (!IsChecked(IdRatioAndPitch))
    {
        SetCheck(IdDiameterAndPitch, true);
        SetCheck(IdRatioAndPitch, false);
    }
    else
    {
        SetCheck(IdDiameterAndPitch, false);
    }
}

void CCoilDlg::OnRatioAndPitch()
{
    if (!m_InductanceGiven)
        return;
    SetChoice(IdRatioAndPitch);
    SetCheck(IdDiameterAndPitch, false);
}

void CCoilDlg::OnCalculateInductance()
{
    m_InductanceGiven = false;
    ApplyEnableRule(CoilEnableRules, IdCalculateInductance);
    SetCheck(IdEnterLength, true);
    SetCheck(IdEnterPitch, false);
    SetCheck(IdEnterRatio, false);
    OnCalculatedChoice(IdEnterLength);
    SetCheck(IdUseGivenInductance, false);
}

void CCoilDlg::OnCalculatedChoice(int choice)
{
    if (!m_InductanceGiven)
        SetChoice(choice);
}

void CCoilDlg::OnInitialPermeability()
{
    ApplyEnableRule(CoilEnableRules, IdInitialPermeability);
}

void CCoilDlg::OnApparentPermeability()
{
    if (IsChecked(IdApparentPermeability))
        ApplyEnableRule(CoilEnableRules, IdApparentPermeability);
}
