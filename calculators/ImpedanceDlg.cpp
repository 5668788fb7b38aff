// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/ImpedanceDlg.h"

#include "controls/VKEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>
#include <iterator>

namespace
{

constexpr double FieldMax = 999999999.99;
constexpr unsigned NoDefault = FieldDigitRange | FieldRealRange;

// In set-up order, which is also the template and reading order. Only the frequency has a
// default text.
const CFieldRow ImpedanceFields[] = {
    {CImpedanceDlg::IdResistance, "Resistance (ohms)", 9, 2, false, 0, FieldMax, "Resistance", "",
     "", NoDefault},
    {CImpedanceDlg::IdInductorResistance, "Resistance (ohms)", 9, 2, false, 0, FieldMax,
     "Inductor Resistance", "", "", NoDefault},
    {CImpedanceDlg::IdInductance, "Inductance (uH)", 9, 3, false, 0, FieldMax, "Inductor", "", "",
     NoDefault, Times(1e-6)},
    {CImpedanceDlg::IdCapacitorResistance, "Resistance (ohms)", 9, 2, false, 0, FieldMax,
     "Capacitor Resistance", "", "", NoDefault},
    {CImpedanceDlg::IdCapacitance, "Capacitance (pF)", 9, 3, false, 0, FieldMax, "Capacitor", "",
     "", NoDefault, Times(1e-12)},
    {CImpedanceDlg::IdFrequency, "Frequency (kHz)", 9, 3, false, 0, 999999999.999, "Frequency kHz",
     "1000.0", "", FieldReal, Times(1000)},
};

const CFieldHelp ImpedanceHelp[] = {
    {CImpedanceDlg::IdResistance,
     "The resistor's value, connected in series or in parallel with the other two parts."},
    {CImpedanceDlg::IdInductorResistance, "The loss resistance in series with the inductor."},
    {CImpedanceDlg::IdInductance,
     "The inductor's value; \"Cal resonance\" finds the capacitance that resonates with it."},
    {CImpedanceDlg::IdCapacitorResistance, "The loss resistance in series with the capacitor."},
    {CImpedanceDlg::IdCapacitance,
     "The capacitor's value; \"Cal resonance\" finds the inductance that resonates with it."},
    {CImpedanceDlg::IdFrequency,
     "The frequency at which the impedances and the resonating values are worked out."},
};

// The resonant frequency divides by the root of the product of the inductance and capacitance.

// The three parts as entered, in SI units.
struct CPartsEntry
{
    double m_Resistance = 0, m_InductorResistance = 0, m_Inductance = 0;
    double m_CapacitorResistance = 0, m_Capacitance = 0, m_Frequency = 0;
};
const CFieldBinding<CPartsEntry> PartInputs[] = {
    {CImpedanceDlg::IdResistance, &CPartsEntry::m_Resistance},
    {CImpedanceDlg::IdInductorResistance, &CPartsEntry::m_InductorResistance},
    {CImpedanceDlg::IdInductance, &CPartsEntry::m_Inductance},
    {CImpedanceDlg::IdCapacitorResistance, &CPartsEntry::m_CapacitorResistance},
    {CImpedanceDlg::IdCapacitance, &CPartsEntry::m_Capacitance},
    {CImpedanceDlg::IdFrequency, &CPartsEntry::m_Frequency},
};

// A part's impedance as the report writes it, "R + jX (|Z| <phase)": three columns.
void AddImpedanceColumns(std::vector<CReportColumn>& columns, const QString& name,
                         const QString& beforePolar, const QString& after)
{
    const QString ohm = QStringLiteral("ohm");
    columns.push_back({name, ohm, 2, beforePolar});
    columns.push_back({name + QStringLiteral(" |Z|"), ohm, 2, QStringLiteral(" <")});
    columns.push_back({name + QStringLiteral(" phase"), QStringLiteral("deg"), 2, after});
}

void AddImpedanceCells(std::vector<CReportCell>& cells, const CImpedance& impedance)
{
    cells.push_back(CReportCell::Complex(impedance.m_Real, impedance.m_Imag));
    cells.push_back(CReportCell::Number(impedance.m_Magnitude));
    cells.push_back(CReportCell::Number(RadToDeg(impedance.m_Phase)));
}

// The equivalent component's value in the unit of its kind, the unit written straight after
// the number ("1,904.11pF"); a resistive total shows its value, 0, in "Ohms".
CReportCell EquivalentCell(const CComponant& equivalent, const QString& after,
                           CReportColumn& column)
{
    const QString name = QStringLiteral("Equivalent");
    switch (equivalent.m_Kind)
    {
    case CComponant::Capacitor:
        column = {name, QStringLiteral("pF"), 2, QStringLiteral("pF") + after};
        return CReportCell::Number(equivalent.m_Value / 1e-12);
    case CComponant::Inductor:
        column = {name, QStringLiteral("uH"), 2, QStringLiteral("uH") + after};
        return CReportCell::Number(equivalent.m_Value / 1e-6);
    default:
        column = {name, QStringLiteral("ohm"), 2, QStringLiteral("Ohms") + after};
        return CReportCell::Number(equivalent.m_Value);
    }
}

} // namespace

CImpedanceDlg::CImpedanceDlg(QWidget* parent)
    : CVKFormView(QStringLiteral("Impedance"), 16002, parent)
{
    setEnterMovesFocus(true);
    m_Resistor.Set(CComponant::Resistor, 0, 0);
    m_Inductor.Set(CComponant::Inductor, 0, 0);
    m_Capacitor.Set(CComponant::Capacitor, 0, 0);
}

void CImpedanceDlg::BuildForm()
{
    // The three parts side by side, the frequency and the connection below them.
    auto* parts = new QHBoxLayout;
    MainLayout()->addLayout(parts);
    const std::pair<const char*, int> groups[] = {
        {"Resistor", 1}, {"Inductor", 2}, {"Capacitor", 2}};
    const CFieldRow* row = ImpedanceFields;
    for (const auto& [title, count] : groups)
    {
        auto* column = new QVBoxLayout(AddGroup(QString::fromLatin1(title), parts));
        auto* grid = new QGridLayout;
        column->addLayout(grid);
        column->addStretch();
        AddFields(grid, row, count);
        row += count;
    }

    auto* configuration = new QHBoxLayout(AddGroup(QStringLiteral("Configuration")));
    auto* frequency = new QGridLayout;
    configuration->addLayout(frequency);
    AddField(frequency, *row);
    configuration->addSpacing(24);
    AddRadio(configuration, IdSeries, QStringLiteral("Series impedance"), 1);
    AddRadio(configuration, IdParallel, QStringLiteral("Parallel impdance"), 1);
    configuration->addStretch();

    AddResultsAndActions(MainLayout());
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
}

std::span<const CFieldHelp> CImpedanceDlg::FieldHelp() const
{
    return ImpedanceHelp;
}

const CFormAction CImpedanceDlg::ActionTable[] = {
    {CImpedanceDlg::IdCalcImpedance,
     "Cal impedance",
     nullptr,
     "Frequency",
     {"Total series impedance |Z|", "Total parallel impedance |Z|"},
     RunHandler<&CImpedanceDlg::OnCalcImpedance>},
    {CImpedanceDlg::IdCalcResonance,
     "Cal resonance",
     nullptr,
     "Frequency",
     {"ind requred", "cap required"},
     RunHandler<&CImpedanceDlg::OnCalcResonance>},
};

std::span<const CFormAction> CImpedanceDlg::Actions() const
{
    return ActionTable;
}

void CImpedanceDlg::SetupFields()
{
    setWindowTitle(QStringLiteral("Impedance"));
    CVKFormView::SetupFields(ImpedanceFields, static_cast<int>(std::size(ImpedanceFields)));
    SetCheck(IdSeries, true);
}

bool CImpedanceDlg::OnCommand(int id)
{
    switch (id)
    {
    case IdSeries:
        m_Connection = ConnectionSeries;
        return true;
    case IdParallel:
        m_Connection = ConnectionParallel;
        return true;
    default:
        return CVKFormView::OnCommand(id);
    }
}

bool CImpedanceDlg::ReadInputs()
{
    CPartsEntry in;
    if (!ReadFields(in, PartInputs))
        return false;
    m_Frequency = in.m_Frequency;
    m_Resistor.Set(CComponant::Resistor, 0, in.m_Resistance);
    m_Inductor.Set(CComponant::Inductor, in.m_Inductance, in.m_InductorResistance);
    m_Capacitor.Set(CComponant::Capacitor, in.m_Capacitance, in.m_CapacitorResistance);
    // A zero inductance or capacitance adds no reactance: it is not an open circuit.
    for (CComponant* part : {&m_Resistor, &m_Inductor, &m_Capacitor})
        part->ComputeImpedance(m_Frequency);
    return true;
}

// Only the parts that are present take part; with none, the capacitor's impedance stands.
void CImpedanceDlg::ParallelTotal()
{
    const bool hasInductor = m_Inductor.m_Value > 0 || m_Inductor.m_Resistance > 0;
    const bool hasCapacitor = m_Capacitor.m_Value > 0 || m_Capacitor.m_Resistance > 0;
    if (m_Resistor.m_Resistance > 0)
    {
        m_Total = m_Resistor.m_Impedance;
        if (hasInductor)
            m_Total.Parallel(m_Total, m_Inductor.m_Impedance);
    }
    else if (hasInductor)
    {
        m_Total = m_Inductor.m_Impedance;
    }
    else
    {
        m_Total = m_Capacitor.m_Impedance;
        return;
    }
    if (hasCapacitor)
        m_Total.Parallel(m_Total, m_Capacitor.m_Impedance);
}

void CImpedanceDlg::OnCalcImpedance()
{
    if (!ReadInputs())
        return;

    const double inductance = m_Inductor.m_Value;
    const double capacitance = m_Capacitor.m_Value;
    if (m_Connection == ConnectionSeries)
    {
        m_Total.SetRectangular(m_Resistor.m_Impedance.m_Real + m_Inductor.m_Impedance.m_Real +
                                   m_Capacitor.m_Impedance.m_Real,
                               m_Resistor.m_Impedance.m_Imag + m_Inductor.m_Impedance.m_Imag +
                                   m_Capacitor.m_Impedance.m_Imag);
        m_ResonantFrequency = m_Equations.ResonantFrequency(inductance, capacitance);
    }
    else
    {
        ParallelTotal();
        m_ResonantFrequency = m_Equations.ResonantFrequencyLossy(
            inductance, m_Inductor.m_Resistance, capacitance, m_Capacitor.m_Resistance);
    }
    m_Equivalent.SetFromImpedance(m_Total, m_Frequency);

    const QString label = m_Connection == ConnectionSeries
                              ? QStringLiteral("Total series impedance")
                              : QStringLiteral("Total parallel impedance");
    CReportTable table;
    table.m_Title = ActionCaption(IdCalcImpedance);
    table.m_RowStart = QStringLiteral("Impedances at ");
    table.m_Columns.push_back(
        {QStringLiteral("Frequency"), QStringLiteral("kHz"), 0,
         QStringLiteral(" kHz \r\n   Component impedances: \r\n \t resistor: \t\t ")});
    AddImpedanceColumns(table.m_Columns, QStringLiteral("resistor"), QStringLiteral(" ("),
                        QStringLiteral(")\r\n \t inductor: \t "));
    AddImpedanceColumns(table.m_Columns, QStringLiteral("inductor"), QStringLiteral("  ("),
                        QStringLiteral(")\r\n \t capacitor: \t "));
    AddImpedanceColumns(table.m_Columns, QStringLiteral("capacitor"), QStringLiteral("  ("),
                        QStringLiteral(") \r\n    ") + label + QStringLiteral(": \t "));
    AddImpedanceColumns(table.m_Columns, label, QStringLiteral("  ("), QStringLiteral(") ("));
    std::vector<CReportCell> cells{CReportCell::Number(m_Frequency / 1000)};
    for (const CImpedance* impedance :
         {&m_Resistor.m_Impedance, &m_Inductor.m_Impedance, &m_Capacitor.m_Impedance, &m_Total})
        AddImpedanceCells(cells, *impedance);
    CReportColumn equivalent;
    cells.push_back(EquivalentCell(
        m_Equivalent, QStringLiteral(") \r\n    Resonant frequency (kHz):  "), equivalent));
    table.m_Columns.push_back(equivalent);
    table.m_Columns.push_back(
        {QStringLiteral("Resonant frequency"), QStringLiteral("kHz"), 3, QStringLiteral(" ")});
    // Without an inductor or a capacitor, or with losses that leave the lossy formula's
    // quotient (L - RL^2 C) / (L - RC^2 C) below zero, there is no resonance: its impedances
    // are the answer.
    cells.push_back(std::isfinite(m_ResonantFrequency)
                        ? CReportCell::Number(m_ResonantFrequency / 1000)
                        : CReportCell::Text(QStringLiteral("none")));
    table.m_Footer = QStringLiteral("\r\n");
    BeginTable(std::move(table));
    AddRow(std::move(cells));
    EndTable();
}

void CImpedanceDlg::OnCalcResonance()
{
    m_RequiredInductance.Set(CComponant::Inductor, 0, 0);
    m_RequiredCapacitance.Set(CComponant::Capacitor, 0, 0);
    if (!ReadInputs())
        return;

    const bool series = m_Connection == ConnectionSeries;
    const double inductance = m_Inductor.m_Value;
    const double capacitance = m_Capacitor.m_Value;
    const double inductorResistance = m_Inductor.m_Resistance;
    // Only the inductor's loss counts in a parallel circuit.
    if (capacitance > 0)
        m_RequiredInductance.m_Value =
            series
                ? m_Equations.ResonantCapacitance(m_Frequency, capacitance)
                : m_Equations.ResonantInductanceLossy(m_Frequency, capacitance, inductorResistance);
    if (inductance > 0)
        m_RequiredCapacitance.m_Value =
            series
                ? m_Equations.ResonantCapacitance(m_Frequency, inductance)
                : m_Equations.ResonantCapacitanceLossy(m_Frequency, inductance, inductorResistance);
    // At no frequency nothing resonates; in parallel, an inductor loss above 1 / (2 w C) leaves
    // the required inductance without a root.
    if (!std::isfinite(m_RequiredInductance.m_Value) ||
        !std::isfinite(m_RequiredCapacitance.m_Value))
    {
        if (m_Frequency == 0)
            RefuseField(IdFrequency, "must not be zero for this calculation");
        else
            RefuseField(IdInductorResistance,
                        "is too large for a resonance with this capacitor at this frequency");
        return;
    }

    const QString pF = QStringLiteral("pF");
    const QString uH = QStringLiteral("uH");
    CReportTable table;
    table.m_Title = ActionCaption(IdCalcResonance);
    table.m_RowStart = series ? QStringLiteral("Series resonant frequency at ")
                              : QStringLiteral("Parallel resonant frequency at ");
    table.m_Columns = {
        {QStringLiteral("Frequency"), QStringLiteral("kHz"), 0,
         QStringLiteral(" kHz \r\n  given cap: ")},
        {QStringLiteral("given cap"), pF, 2, QStringLiteral("pF \t ind requred: ")},
        {QStringLiteral("ind requred"), uH, 2, QStringLiteral("uH\r\n  given ind: ")},
        {QStringLiteral("given ind"), uH, 2, QStringLiteral("uH \t cap required: ")},
        {QStringLiteral("cap required"), pF, 2, QStringLiteral("pF ")}};
    table.m_Footer = QStringLiteral("\r\n");
    BeginTable(std::move(table));
    AddRow({CReportCell::Number(m_Frequency / 1000), CReportCell::Number(capacitance / 1e-12),
            CReportCell::Number(m_RequiredInductance.m_Value / 1e-6),
            CReportCell::Number(inductance / 1e-6),
            CReportCell::Number(m_RequiredCapacitance.m_Value / 1e-12)});
    EndTable();
}
