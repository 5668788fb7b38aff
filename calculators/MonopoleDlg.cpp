// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/MonopoleDlg.h"

#include "controls/VKEdit.h"
#include "database/Error.h"
#include "forms/ReportTable.h"
#include "models/Equations.h"
#include "models/FormatNumber.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace
{

constexpr CToSI Degrees = {CEquations::Pi, 180};
constexpr double NoLimit = 999999999.99;
constexpr unsigned Ranged = FieldDigitRange | FieldRealRange; // no default texts on this form

using M = CMonopoleDlg;

// In set-up order; "Use cable electrical charcateristics" is checked after the ground rows.
const CFieldRow AerialFields[] = {
    {M::IdLength1, "Length (metres)", 9, 2, false, 0.1, NoLimit, "Length", "", "m", Ranged},
    {M::IdAngle1, "Angle (degrees)", 3, 3, false, 0, 999.999, "Angle", "", "degree", Ranged,
     Degrees},
    {M::IdLength2, "Length (metres)", 9, 2, false, 0, NoLimit, "Length", "", "m", Ranged},
    {M::IdAngle2, "Angle (degrees)", 3, 3, false, 0, 999.999, "Angle", "", "degree", Ranged,
     Degrees},
    {M::IdDiameter, "Diameter (mm)", 9, 2, false, 0.1, NoLimit, "width", "", "mm", Ranged,
     Over(1000)},
    {M::IdDepth, "Depth (mm)", 9, 3, false, 0, NoLimit, "depth", "", "mm", Ranged, Over(1000)},
    {M::IdPermittivity, "Relative permittivity", 9, 2, false, 0.1, 99.99, "Relative permittivity",
     "", "", Ranged},
    {M::IdPermeability, "Relative permeability", 9, 2, false, 0.1, 99.99, "Relative permeability",
     "", "", Ranged},
    {M::IdResistivity, "Resistivity (ohm-metres 10^-8)", 9, 3, false, 0.1, 99.999, "Resistivity",
     "", "ohm-metres 10^-8", Ranged, Times(1e-8)},
    {M::IdGroundDepth, "Depth (metres)", 9, 2, false, 0.1, NoLimit, "Ground depth", "", "m",
     Ranged},
    {M::IdGroundDiameter, "Diameter (mm)", 4, 3, false, 0.001, 999.999, "Ground diameter", "", "mm",
     Ranged, Over(1000)},
    {M::IdGroundResistivity, "Resistivity (ohm-metres)", 9, 3, false, 0.1, NoLimit,
     "Ground Resistivity", "", "ohm-metres", Ranged},
    {M::IdGroundPermittivity, "Relative permittivity", 9, 3, false, 0.1, 999.999,
     "Ground relative permittivity", "", "", Ranged},
    {M::IdGroundLossFactor, "Ground loss factor", 1, 3, false, 0.001, 1.0, "Ground efficiency", "",
     "", Ranged},
};

const CFieldRow LineAndStationFields[] = {
    {M::IdLineLength, "Length (metres)", 9, 2, false, 0, NoLimit, "Transmission line length", "",
     "m", Ranged},
    {M::IdLineInductance, "Inducttance (uH)", 9, 2, false, 0.1, NoLimit, "Inductance", "", "uH",
     Ranged},
    {M::IdLineCapacitance, "Cacpacitance (pF)", 9, 2, false, 0.1, NoLimit, "Capacitance", "", "pF",
     Ranged},
    {M::IdLineWireDiameter, "Wire diameter (mm)", 9, 2, false, 0.1, NoLimit, "Wire diameter", "",
     "mm", Ranged, Over(1000)},
    {M::IdLineSpacing, "Wire spacing (mm)", 9, 2, false, 0, NoLimit, "Wire spacing", "", "mm",
     Ranged, Over(1000)},
    {M::IdLinePermittivity, "Relative permittivity", 3, 2, false, 0, 999.99, "Wire permittivity",
     "", "", Ranged},
    {M::IdLinePermeability, "Relative permeability", 3, 2, false, 0, 999.99, "Wire permiability",
     "", "", Ranged},
    {M::IdLinePairs, "Treat as # pairs", 2, 0, false, 1, 9, "pairs", "", "", Ranged},
    {M::IdFrequency, "Frequency (kHz)", 6, 3, false, 0.001, 999999.999, "Frequency kHz", "", "kHz",
     Ranged, Times(1000)},
    {M::IdStationPower, "Station power (watts)", 7, 3, false, 0, 9999999.999, "Station power", "",
     "watts", Ranged},
    {M::IdStationDistance, "Station distance (km)", 6, 3, false, 0, 999999.999, "Station distance",
     "", "km", Ranged, Times(1000)},
    {M::IdStationGain, "Station gain", 2, 2, false, 0, 99.99, "Station gain", "", "", Ranged},
    {M::IdLoadResistance, "Load ac resistance", 7, 2, false, 0, 9999999.99, "Load ac resistance",
     "", "ohm", Ranged},
    {M::IdLoadInductance, "Load inductance (uH)", 6, 2, false, 0, 999999.99, "Load inductance", "",
     "uH", Ranged, Times(1e-6)},
    {M::IdLoadCapacitance, "Load capacitance (pF)", 6, 2, false, 0, 999999.99, "Load capacitance",
     "", "pF", Ranged, Times(1e-12)},
};

const char* const NotZero = "must not be zero for this calculation";

// A flat conductor of no depth has no cross-section for its DC resistance (which only the full
// report shows).
const CFieldCheck FlatConductorChecks[] = {
    {M::IdDepth, EFieldCondition::NotZero, NotZero},
};

// A twin line by its geometry: arcosh(spacing / diameter) must be above zero, and the
// characteristic impedance divides by the capacitance.
const CFieldCheck LineGeometryChecks[] = {
    {M::IdLineSpacing, EFieldCondition::Above, "must be greater than %s for this calculation",
     M::IdLineWireDiameter},
    {M::IdLinePermittivity, EFieldCondition::NotZero, NotZero},
};

// Keeps the control's own defaults: any number, no range.
const CFieldRow ConductanceField = {
    M::IdLineConductance, "Conductance (u-siemans)", 6, 6, true, 0, 0, "", "", "u-siemans", 0};

const CFieldHelp MonopoleHelp[] = {
    {M::IdLength1, "The length of the first straight element of the aerial, such as the lead-in."},
    {M::IdAngle1,
     "The angle of element 1 above the ground, which sets how much signal it picks up."},
    {M::IdLength2, "The length of the second straight element of the aerial, such as the top."},
    {M::IdAngle2,
     "The angle of element 2 above the ground, which sets how much signal it picks up."},
    {M::IdDiameter, "The diameter of a circular aerial conductor, or the width of a flat one."},
    {M::IdDepth, "The thickness of a flat aerial conductor, used only with \"Flat conductor\"."},
    {M::IdPermittivity,
     "The relative permittivity around the aerial conductor, which sets its velocity factor."},
    {M::IdPermeability,
     "The relative permeability of the aerial conductor, for its inductance and skin effect."},
    {M::IdResistivity,
     "The resistivity of the aerial conductor's metal (copper about 1.7), for its resistance."},
    {M::IdGroundDepth, "How deep the earth rod goes into the soil, for the earth resistance."},
    {M::IdGroundDiameter, "The diameter of the earth rod, for the earth resistance."},
    {M::IdGroundResistivity,
     "The resistivity of the soil around the earth rod, which sets the earth resistance."},
    {M::IdGroundPermittivity, "The relative permittivity of the soil around the earth rod."},
    {M::IdGroundLossFactor,
     "How much lossy ground on the way weakens the station's signal with distance."},
    {M::IdLineLength, "The length of the two-wire feed line to the set; 0 feeds the set directly."},
    {M::IdLineInductance,
     "The total inductance of the whole feed line, from the cable's electrical characteristics."},
    {M::IdLineCapacitance,
     "The total capacitance of the whole feed line, from the cable's electrical characteristics."},
    {M::IdLineWireDiameter, "The diameter of each wire of the feed line, for its resistance."},
    {M::IdLineSpacing, "The distance between the centres of the feed line's two wires."},
    {M::IdLinePermittivity,
     "The relative permittivity of the feed line's insulation, which sets its capacitance."},
    {M::IdLinePermeability,
     "The relative permeability of the feed line, which sets its inductance."},
    {M::IdLinePairs, "How many identical wire pairs run in parallel to make the feed line."},
    {M::IdFrequency, "The frequency at which Analyse works out the aerial, feed line and load."},
    {M::IdStationPower, "The power of the broadcast station that lights up the aerial."},
    {M::IdStationDistance, "How far the broadcast station is from the aerial."},
    {M::IdStationGain,
     "The gain of the station's transmitting aerial, which multiplies its power."},
    {M::IdLoadResistance,
     "The ac resistance of the load at the receiver end, alone or with its coil or capacitor."},
    {M::IdLoadInductance, "The inductance of the load at the receiver end; used when not 0."},
    {M::IdLoadCapacitance,
     "The capacitance of the load at the receiver end, when no load inductance is given."},
    {M::IdLineConductance,
     "The total leakage conductance between the wires of the whole feed line."},
};

const CFieldRow& Row(int id)
{
    if (const CFieldRow* aerial = FindFieldRow(AerialFields, id))
        return *aerial;
    const CFieldRow* other = FindFieldRow(LineAndStationFields, id);
    return other ? *other : ConductanceField;
}

const CEnableRule MonopoleEnableRules[] = {
    {M::IdCircular, {}, {M::IdDepth}},
    {M::IdFlat, {M::IdDepth}, {}},
    {M::IdLineElectrical,
     {M::IdLineInductance, M::IdLineCapacitance, M::IdLineConductance},
     {M::IdLineSpacing, M::IdLinePermittivity, M::IdLinePermeability, M::IdLinePairs}},
    {M::IdLineGeometry,
     {M::IdLineSpacing, M::IdLinePermittivity, M::IdLinePermeability, M::IdLinePairs},
     {M::IdLineInductance, M::IdLineCapacitance, M::IdLineConductance}},
};

const CFieldBinding<CMonopole> StationFields[] = {
    {M::IdFrequency, &CMonopole::m_Frequency},
    {M::IdStationPower, &CMonopole::m_StationPower},
    {M::IdStationDistance, &CMonopole::m_StationDistance},
    {M::IdStationGain, &CMonopole::m_StationGain},
};

// The load's fields as entered; one of them makes the load.
struct CLoadEntry
{
    double m_Resistance = 0.0;  // ohm
    double m_Inductance = 0.0;  // H
    double m_Capacitance = 0.0; // F
};
const CFieldBinding<CLoadEntry> LoadFields[] = {
    {M::IdLoadResistance, &CLoadEntry::m_Resistance},
    {M::IdLoadInductance, &CLoadEntry::m_Inductance},
    {M::IdLoadCapacitance, &CLoadEntry::m_Capacitance},
};

const CFieldBinding<CMonopole> AerialAndGroundFields[] = {
    {M::IdLength1, &CMonopole::m_Length1},
    {M::IdLength2, &CMonopole::m_Length2},
    {M::IdDiameter, &CMonopole::m_Diameter},
    {M::IdDepth, &CMonopole::m_Depth},
    {M::IdAngle1, &CMonopole::m_Angle1},
    {M::IdAngle2, &CMonopole::m_Angle2},
    {M::IdPermittivity, &CMonopole::m_RelPermittivity},
    {M::IdPermeability, &CMonopole::m_RelPermeability},
    {M::IdResistivity, &CMonopole::m_Resistivity},
    {M::IdGroundDepth, &CMonopole::m_GroundDepth},
    {M::IdGroundDiameter, &CMonopole::m_GroundDiameter},
    {M::IdGroundResistivity, &CMonopole::m_GroundResistivity},
    {M::IdGroundPermittivity, &CMonopole::m_GroundPermittivity},
    {M::IdGroundLossFactor, &CMonopole::m_GroundLossFactor},
    {M::IdFrequency, &CMonopole::m_Frequency},
};

const CFieldBinding<CTransmissionLine> LineFields[] = {
    {M::IdLineLength, &CTransmissionLine::m_Length},
    {M::IdLineWireDiameter, &CTransmissionLine::m_WireDiameter},
};

// The electrical totals of the whole line, as entered: they are converted per metre once the
// length is known.
struct CLineTotals
{
    double m_Inductance = 0.0;  // uH
    double m_Capacitance = 0.0; // pF
    double m_Conductance = 0.0; // uS
};
const CFieldBinding<CLineTotals> LineTotalFields[] = {
    {M::IdLineInductance, &CLineTotals::m_Inductance},
    {M::IdLineCapacitance, &CLineTotals::m_Capacitance},
    {M::IdLineConductance, &CLineTotals::m_Conductance},
};

const CFieldBinding<CTransmissionLine> LineGeometryFields[] = {
    {M::IdLineSpacing, &CTransmissionLine::m_Spacing},
    {M::IdLinePermittivity, &CTransmissionLine::m_RelPermittivity},
    {M::IdLinePermeability, &CTransmissionLine::m_RelPermeability},
    {M::IdLinePairs, &CTransmissionLine::m_Pairs},
};

// The static text in the same grid row as a field, before it.
QLabel* LabelOf(QGridLayout* grid, QWidget* field)
{
    const int index = grid->indexOf(field);
    if (index < 0)
        return nullptr;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    for (int c = 0; c < column; ++c)
        if (QLayoutItem* item = grid->itemAtPosition(row, c))
            if (auto* label = qobject_cast<QLabel*>(item->widget()))
                return label;
    return nullptr;
}

} // namespace

CMonopoleDlg::CMonopoleDlg(QWidget* parent) : CVKFormView(QStringLiteral("Monopole"), 16007, parent)
{
    setEnterMovesFocus(true);
}

// Template order: the design files list the controls in this order.
void CMonopoleDlg::BuildForm()
{
    auto* columns = new QHBoxLayout;
    MainLayout()->addLayout(columns);
    auto addGrid = [this](QBoxLayout* into, std::initializer_list<int> ids)
    {
        QGridLayout* grid = AddFieldGrid(into);
        for (int id : ids)
            AddField(grid, Row(id));
        return grid;
    };
    auto addColumn = [columns]()
    {
        auto* column = new QVBoxLayout;
        columns->addLayout(column);
        return column;
    };

    QVBoxLayout* first = addColumn();
    auto* monopole = new QVBoxLayout(AddGroup(QStringLiteral("Monopole"), first));
    addGrid(new QVBoxLayout(AddGroup(QStringLiteral("Element 1"), monopole)),
            {IdLength1, IdAngle1});
    addGrid(new QVBoxLayout(AddGroup(QStringLiteral("Element 2"), monopole)),
            {IdLength2, IdAngle2});
    AddRadio(monopole, IdCircular, QStringLiteral("Circular conductor"), 1);
    AddRadio(monopole, IdFlat, QStringLiteral("Flat conductor"), 1);
    QGridLayout* conductor =
        addGrid(monopole, {IdDiameter, IdDepth, IdPermittivity, IdPermeability, IdResistivity});
    m_DiameterLabel = LabelOf(conductor, Field(IdDiameter));
    first->addStretch();

    QVBoxLayout* second = addColumn();
    addGrid(new QVBoxLayout(AddGroup(QStringLiteral("Ground"), second)),
            {IdGroundDepth, IdGroundDiameter, IdGroundPermittivity, IdGroundLossFactor,
             IdGroundResistivity});
    auto* line = new QVBoxLayout(AddGroup(QStringLiteral("Transmission line"), second));
    addGrid(line, {IdLineLength, IdLineWireDiameter});
    AddRadio(line, IdLineElectrical, QStringLiteral("Use cable electrical charcateristics"), 2);
    addGrid(line, {IdLineInductance, IdLineCapacitance, IdLineConductance});
    AddRadio(line, IdLineGeometry, QStringLiteral("Use cable geometry"), 2);
    addGrid(line, {IdLineSpacing, IdLinePermittivity, IdLinePermeability, IdLinePairs});
    second->addStretch();

    QVBoxLayout* third = addColumn();
    addGrid(new QVBoxLayout(AddGroup(QStringLiteral("Station"), third)),
            {IdFrequency, IdStationPower, IdStationDistance, IdStationGain});
    addGrid(new QVBoxLayout(AddGroup(QStringLiteral("Load"), third)),
            {IdLoadResistance, IdLoadInductance, IdLoadCapacitance});
    third->addStretch();

    AddResultsAndActions(MainLayout());
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
}

std::span<const CFieldHelp> CMonopoleDlg::FieldHelp() const
{
    return MonopoleHelp;
}

const CFormRule CMonopoleDlg::RuleTable[] = {
    {"The aerial's %1 m is up to %2 wavelength: above 0.06 wavelength R(rad) is less accurate "
     "(17 % low at 0.17 wavelength) and the aerial's reactance comes out 18 % to 33 % small",
     RuleCheck<&CMonopoleDlg::LongAerialHint>},
};

std::span<const CFormRule> CMonopoleDlg::Rules() const
{
    return RuleTable;
}

// The radiation resistance is that of a short monopole: within 1.5 % below 0.06 wavelength.
bool CMonopoleDlg::LongAerialHint(const CReportTable& table, CTableHint& hint) const
{
    constexpr double ShortAerial = 0.06;
    const double length = m_Monopole.m_Length1 + m_Monopole.m_Length2;
    const int frequency = table.ColumnNamed(QStringLiteral("Freq"));
    double longest = 0.0;
    if (frequency >= 0)
        for (size_t row = 0; row < table.m_Rows.size(); ++row)
        {
            double kHz = 0.0;
            if (!table.NumberAt(row, frequency, kHz))
                continue;
            const double wavelengths = length * kHz * 1000.0 / CEquations::SpeedOfLight;
            if (wavelengths > ShortAerial)
                hint.m_Rows.push_back(row);
            longest = std::max(longest, wavelengths);
        }
    // The analysis at one frequency: its aerial table.
    else if (table.ColumnNamed(QStringLiteral("R(Rad)")) >= 0)
        longest = length * m_Monopole.m_Frequency / CEquations::SpeedOfLight;
    if (!(longest > ShortAerial))
        return false;
    hint.m_Text = hint.m_Text.arg(FormatNumberText(length, 1), FormatNumberText(longest, 3));
    return true;
}

const CFormAction CMonopoleDlg::ActionTable[] = {
    {CMonopoleDlg::IdMainAction,
     "Analyse",
     nullptr,
     nullptr,
     {},
     RunHandler<&CMonopoleDlg::OnAnalyse>},
    {CMonopoleDlg::IdResonantSweep,
     "Calc all resonant loads",
     "frequency",
     "Freq",
     {"Vp(load)", "R(tot)"},
     [](CVKFormView& form, int) { static_cast<CMonopoleDlg&>(form).OnSweep(true); }},
    {CMonopoleDlg::IdLoadSweep,
     "Calc all res use load",
     "frequency",
     "Freq",
     {"Vp(load)", "R(tot)"},
     [](CVKFormView& form, int) { static_cast<CMonopoleDlg&>(form).OnSweep(false); }},
};

std::span<const CFormAction> CMonopoleDlg::Actions() const
{
    return ActionTable;
}

void CMonopoleDlg::SetupFields()
{
    CVKFormView::SetupFields(AerialFields, static_cast<int>(std::size(AerialFields)));
    SetCheck(IdLineElectrical, true);
    OnLineMode(IdLineElectrical);
    CVKFormView::SetupFields(LineAndStationFields,
                             static_cast<int>(std::size(LineAndStationFields)));
    // Neither shape button is checked yet; the form starts as the model does, circular.
    OnChoicesRestored();
    // Kept in design files, but the aerial model only stores it.
    MarkUnused(IdGroundPermittivity, QStringLiteral("Not read: no calculation uses it."));
}

// Without a shape button checked the form is circular, as it starts.
void CMonopoleDlg::OnChoicesRestored()
{
    if (IsChecked(IdCircular) || IsChecked(IdFlat))
        return;
    m_Circular = true;
    if (m_DiameterLabel)
        m_DiameterLabel->setText(QString::fromUtf8(Row(IdDiameter).m_Label));
    ApplyEnableRule(MonopoleEnableRules, IdCircular);
}

bool CMonopoleDlg::OnCommand(int id)
{
    switch (id)
    {
    case IdCircular:
    case IdFlat:
        OnConductorShape(id);
        return true;
    case IdLineElectrical:
    case IdLineGeometry:
        OnLineMode(id);
        return true;
    default:
        return CVKFormView::OnCommand(id);
    }
}

QString CMonopoleDlg::DiameterLabel() const
{
    return m_DiameterLabel ? m_DiameterLabel->text() : QString();
}

void CMonopoleDlg::OnConductorShape(int id)
{
    m_Circular = id == IdCircular;
    if (m_DiameterLabel)
        m_DiameterLabel->setText(m_Circular ? QStringLiteral("Diameter(mm)")
                                            : QStringLiteral("Width(mm)"));
    ApplyEnableRule(MonopoleEnableRules, id);
}

void CMonopoleDlg::OnLineMode(int id)
{
    m_Electrical = id == IdLineElectrical;
    ApplyEnableRule(MonopoleEnableRules, id);
}

bool CMonopoleDlg::ReadAnalysisInputs()
{
    return ReadInputs() && (m_Circular || CheckFields(FlatConductorChecks));
}

bool CMonopoleDlg::ReadInputs()
{
    m_Monopole.Reset();
    // A command with no load fields filled must not report the load of an earlier one.
    m_Monopole.m_Load = CComponant();
    m_Monopole.m_ZTotal = CComplex();
    if (!ReadStationAndLoad() || !ReadAerialAndGround() || !ReadLine())
        return false;
    if (m_Line.m_Length > 0 && !m_Electrical && !CheckFields(LineGeometryChecks))
        return false;
    // The field strength of a radiating station divides by its distance.
    if (m_Monopole.m_StationPower > 0 && m_Monopole.m_StationGain > 0 &&
        m_Monopole.m_StationDistance == 0)
        return RefuseField(IdStationDistance, NotZero);
    return true;
}

bool CMonopoleDlg::ReadStationAndLoad()
{
    CLoadEntry load;
    if (!ReadFields(m_Monopole, StationFields) || !ReadFields(load, LoadFields))
        return false;
    if (load.m_Inductance > 0)
        m_Monopole.m_Load.Set(CComponant::Inductor, load.m_Inductance, load.m_Resistance);
    else if (load.m_Capacitance > 0)
        m_Monopole.m_Load.Set(CComponant::Capacitor, load.m_Capacitance, load.m_Resistance);
    else if (load.m_Resistance > 0)
        m_Monopole.m_Load.Set(CComponant::Resistor, load.m_Resistance, load.m_Resistance);
    return true;
}

bool CMonopoleDlg::ReadAerialAndGround()
{
    if (!ReadFields(m_Monopole, AerialAndGroundFields))
        return false;
    if (m_Circular)
        m_Monopole.m_Depth = 0.0;
    m_Monopole.m_IsCircular = m_Circular;
    return true;
}

bool CMonopoleDlg::ReadLine()
{
    if (!ReadFields(m_Line, LineFields))
        return false;
    if (m_Electrical)
    {
        // Totals for the whole line; spacing, permittivity and pairs keep their last values.
        CLineTotals totals;
        if (!ReadFields(totals, LineTotalFields))
            return false;
        const double length = m_Line.m_Length;
        m_Line.m_UseGeometry = false;
        m_Line.m_InductancePerMetre = totals.m_Inductance / length * 1e-6;
        m_Line.m_CapacitancePerMetre = totals.m_Capacitance / length * 1e-12;
        m_Line.m_ConductancePerMetre = totals.m_Conductance / length * 1e-6;
        m_Line.m_Frequency = m_Monopole.m_Frequency;
        m_Line.m_RelPermeability = 1.0;
        return true;
    }
    if (!ReadFields(m_Line, LineGeometryFields))
        return false;
    m_Line.m_UseGeometry = true;
    m_Line.m_Frequency = m_Monopole.m_Frequency;
    return true;
}
