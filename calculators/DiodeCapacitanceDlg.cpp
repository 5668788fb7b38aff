// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/DiodeCapacitanceDlg.h"

#include "controls/VKEdit.h"
#include "models/Equations.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>
#include <iterator>

namespace
{

constexpr CToSI Degrees = {CEquations::Pi, 180};

// In set-up order, which is also the reading order. Only the frequency has a range; the
// other fields take any number their digits allow, an empty one reading as 0.
const CFieldRow DiodeFields[] = {
    {DiodeCapacitanceDlg::IdSourceVoltage, "Source ac voltage (pp)", 9, 4, false, 0, 0, "", "0.050",
     "V", FieldUnchecked},
    {DiodeCapacitanceDlg::IdFrequency, "Frequency (kHz)", 9, 4, false, 0.0, 999999999.9999,
     "Frequency kHz", "1000.0", "", FieldReal, Times(1000)},
    {DiodeCapacitanceDlg::IdLoadResistance, "Load resistor (kOhms)", 9, 3, false, 0, 0, "", "20.0",
     "", FieldUnchecked, Times(1000)},
    {DiodeCapacitanceDlg::IdScopeCap, "Osc cap (pF)", 9, 3, false, 0, 0, "", "15.0", "",
     FieldUnchecked, Times(1e-12)},
    {DiodeCapacitanceDlg::IdParasiticCap, "Cp (pF)", 9, 3, false, 0, 0, "", "0.5", "",
     FieldUnchecked, Times(1e-12)},
    {DiodeCapacitanceDlg::IdBias1, "Diode V1dc", 9, 4, true, 0, 0, "", "0.05", "V", FieldUnchecked},
    {DiodeCapacitanceDlg::IdSourceResistance1, "DC source resistance", 9, 4, false, 0, 0, "",
     "124000.0", "ohm", FieldUnchecked},
    {DiodeCapacitanceDlg::IdBias2, "Diode V2dc", 9, 4, true, 0, 0, "", "0.1", "V", FieldUnchecked},
    {DiodeCapacitanceDlg::IdSourceResistance2, "DC source resistance", 9, 4, false, 0, 0, "",
     "124000.0", "ohm", FieldUnchecked},
    {DiodeCapacitanceDlg::IdLoadVoltage1, "Load V1ac(pp)", 9, 4, true, 0, 0, "", "0.0456", "V",
     FieldUnchecked},
    {DiodeCapacitanceDlg::IdLoadVoltage2, "Load V2ac(pp)", 9, 4, true, 0, 0, "", "0.0484", "V",
     FieldUnchecked},
    {DiodeCapacitanceDlg::IdPhase1, "Phase angle (degrees)", 3, 3, true, 0, 0, "", "9.0", "",
     FieldUnchecked, Degrees},
    {DiodeCapacitanceDlg::IdPhase2, "Phase angle (degrees)", 3, 3, true, 0, 0, "", "0.0", "",
     FieldUnchecked, Degrees},
    {DiodeCapacitanceDlg::IdQuotient, "Power", 2, 3, false, 0, 0, "", "2.0", "", FieldUnchecked},
    {DiodeCapacitanceDlg::IdBuiltInVoltage, "Vbi", 2, 3, false, 0, 0, "", "0.33", "V",
     FieldUnchecked},
    {DiodeCapacitanceDlg::IdJunctionCap, "Cj(pF)", 4, 3, false, 0, 0, "", "1.0", "", FieldUnchecked,
     Times(1e-12)},
    {DiodeCapacitanceDlg::IdJunctionCapVoltage, "V at Cj", 2, 3, true, 0, 0, "", "-1.0", "V",
     FieldUnchecked},
};

const CFieldHelp DiodeHelp[] = {
    {DiodeCapacitanceDlg::IdSourceVoltage,
     "The peak-to-peak voltage of the sine source driving the diode and load resistor."},
    {DiodeCapacitanceDlg::IdFrequency,
     "The frequency of the sine source, the same for both bias points."},
    {DiodeCapacitanceDlg::IdLoadResistance,
     "The resistor in series with the diode, across which the oscilloscope reads the voltage."},
    {DiodeCapacitanceDlg::IdScopeCap,
     "The oscilloscope's input capacitance, which lies across the load resistor."},
    {DiodeCapacitanceDlg::IdParasiticCap,
     "The diode's parasitic capacitance, taken off the capacitance measured at each bias point."},
    {DiodeCapacitanceDlg::IdBias1, "The DC bias voltage across the diode at the first bias point."},
    {DiodeCapacitanceDlg::IdSourceResistance1,
     "The resistance of the DC source that biases the diode at the first bias point."},
    {DiodeCapacitanceDlg::IdBias2,
     "The DC bias voltage across the diode at the second bias point."},
    {DiodeCapacitanceDlg::IdSourceResistance2,
     "The resistance of the DC source that biases the diode at the second bias point."},
    {DiodeCapacitanceDlg::IdLoadVoltage1,
     "The peak-to-peak ac voltage across the load resistor at the first bias point."},
    {DiodeCapacitanceDlg::IdLoadVoltage2,
     "The peak-to-peak ac voltage across the load resistor at the second bias point."},
    {DiodeCapacitanceDlg::IdPhase1,
     "The phase of the load voltage against the source at the first bias point."},
    {DiodeCapacitanceDlg::IdPhase2,
     "The phase of the load voltage against the source at the second bias point."},
    {DiodeCapacitanceDlg::IdQuotient,
     "The capacitance quotient m: the junction capacitance varies as the m-th root of "
     "1/(Vbi - V)."},
    {DiodeCapacitanceDlg::IdBuiltInVoltage,
     "The diode's built-in voltage, used by the diffusion calculation."},
    {DiodeCapacitanceDlg::IdJunctionCap,
     "The diode's junction capacitance at the voltage \"V at Cj\", for the diffusion "
     "calculation."},
    {DiodeCapacitanceDlg::IdJunctionCapVoltage,
     "The bias voltage at which the diode has the junction capacitance Cj."},
};

using D = DiodeCapacitanceDlg;
const char* const NotZero = "must not be zero for this calculation";

// A measured capacitance divides by the frequency, the load and DC source resistances and
// (through the divider) the load voltage of its point; both reports show both points.
const CFieldCheck MeasurementChecks[] = {
    {D::IdFrequency, EFieldCondition::NotZero, NotZero},
    {D::IdLoadResistance, EFieldCondition::NotZero, NotZero},
    // Both rows carry the same label.
    {D::IdSourceResistance1, EFieldCondition::NotZero,
     "of the first bias point must not be zero for this calculation"},
    {D::IdSourceResistance2, EFieldCondition::NotZero,
     "of the second bias point must not be zero for this calculation"},
    {D::IdLoadVoltage1, EFieldCondition::NotZero, NotZero},
    {D::IdLoadVoltage2, EFieldCondition::NotZero, NotZero},
};

// The fit of the built-in voltage divides by the difference of the bias voltages and by the
// slope of 1/C^m, which is flat for m = 0.
const CFieldCheck JunctionChecks[] = {
    {D::IdBias2, EFieldCondition::DiffersFrom, "must differ from %s for this calculation",
     D::IdBias1},
    {D::IdQuotient, EFieldCondition::NotZero, NotZero},
};

// The transit time divides by the bias voltage.
const CFieldCheck DiffusionChecks[] = {
    {D::IdBias1, EFieldCondition::NotZero, NotZero},
    {D::IdBias2, EFieldCondition::NotZero, NotZero},
};

} // namespace

DiodeCapacitanceDlg::DiodeCapacitanceDlg(QWidget* parent)
    : CVKFormView(QStringLiteral("DiodeCapacitance"), 211, parent)
{
}

// Template order is the set-up order; the measurements are laid out a bias point per row.
void DiodeCapacitanceDlg::BuildForm()
{
    // Where each field sits: grid row and column block.
    const std::pair<int, int> configurationPlaces[] = {
        {0, 0},
        {0, 1}, // source voltage, frequency
        {1, 0},
        {1, 1}, // load resistor, scope capacitance
    };
    const std::pair<int, int> measurementPlaces[] = {
        {3, 0},         // Cp
        {0, 0}, {0, 1}, // V1, its DC source resistance
        {1, 0}, {1, 1}, // V2, its DC source resistance
        {0, 2}, {1, 2}, // load voltages
        {0, 3}, {1, 3}, // phases
        {2, 3}, {2, 2}, // power, Vbi
        {2, 0}, {2, 1}, // Cj and its voltage
    };
    static_assert(std::size(configurationPlaces) + std::size(measurementPlaces) ==
                  std::size(DiodeFields));

    const CFieldRow* row = DiodeFields;
    auto* configuration = new QGridLayout(AddGroup(QStringLiteral("Configuration")));
    for (const auto& [line, block] : configurationPlaces)
        PlaceField(configuration, *row++, line, block);
    auto* measurements = new QGridLayout(AddGroup(QStringLiteral("Diode measurements")));
    for (const auto& [line, block] : measurementPlaces)
        PlaceField(measurements, *row++, line, block);
    // Spare width goes to the right of the fields.
    for (QGridLayout* grid : {configuration, measurements})
        grid->setColumnStretch(grid->columnCount(), 1);

    AddResultsAndActions(MainLayout());
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
}

// AddField lays a field out on the next row of a grid; this puts its label, field and unit
// in a column block of a given row instead.
void DiodeCapacitanceDlg::PlaceField(QGridLayout* grid, const CFieldRow& row, int line, int block)
{
    constexpr int BlockWidth = 3; // label, field, unit
    QGridLayout single;
    AddField(&single, row);
    for (int column = 0; column < BlockWidth; ++column)
    {
        QLayoutItem* item = single.itemAtPosition(0, column);
        if (QWidget* widget = item ? item->widget() : nullptr)
        {
            single.removeWidget(widget);
            grid->addWidget(widget, line, block * BlockWidth + column);
        }
    }
}

std::span<const CFieldHelp> DiodeCapacitanceDlg::FieldHelp() const
{
    return DiodeHelp;
}

const CFormAction DiodeCapacitanceDlg::ActionTable[] = {
    {DiodeCapacitanceDlg::IdCalcJunction,
     "Calc Junction Cap",
     nullptr,
     "Bias",
     {"Capactance"},
     RunHandler<&DiodeCapacitanceDlg::OnCalcJunction>},
    {DiodeCapacitanceDlg::IdCalcDiffusion,
     "Calc diffusion cap",
     nullptr,
     "Bias",
     {"Total", "Junction", "Diff"},
     RunHandler<&DiodeCapacitanceDlg::OnCalcDiffusion>},
};

std::span<const CFormAction> DiodeCapacitanceDlg::Actions() const
{
    return ActionTable;
}

void DiodeCapacitanceDlg::SetupFields()
{
    CVKFormView::SetupFields(DiodeFields, static_cast<int>(std::size(DiodeFields)));
}

bool DiodeCapacitanceDlg::ReadInputs()
{
    using D = DiodeCapacitanceDlg;
    static const CFieldBinding<D> ConfigurationInputs[] = {
        {IdSourceVoltage, &D::m_SourceVoltage},   {IdFrequency, &D::m_Frequency},
        {IdLoadResistance, &D::m_LoadResistance}, {IdScopeCap, &D::m_ScopeCap},
        {IdParasiticCap, &D::m_ParasiticCap},
    };
    static const CFieldPartBinding<D, CBiasPoint> PointInputs[] = {
        {IdBias1, &D::m_Point1, &CBiasPoint::m_Bias},
        {IdSourceResistance1, &D::m_Point1, &CBiasPoint::m_SourceResistance},
        {IdBias2, &D::m_Point2, &CBiasPoint::m_Bias},
        {IdSourceResistance2, &D::m_Point2, &CBiasPoint::m_SourceResistance},
        {IdLoadVoltage1, &D::m_Point1, &CBiasPoint::m_LoadVoltage},
        {IdLoadVoltage2, &D::m_Point2, &CBiasPoint::m_LoadVoltage},
        {IdPhase1, &D::m_Point1, &CBiasPoint::m_Phase},
        {IdPhase2, &D::m_Point2, &CBiasPoint::m_Phase},
    };
    static const CFieldBinding<D> JunctionInputs[] = {
        {IdQuotient, &D::m_Quotient},
        {IdBuiltInVoltage, &D::m_BuiltInVoltage},
        {IdJunctionCap, &D::m_JunctionCap},
        {IdJunctionCapVoltage, &D::m_RefVoltage},
    };
    return ReadFields(*this, ConfigurationInputs) && ReadFields(*this, PointInputs) &&
           ReadFields(*this, JunctionInputs);
}

CScopeMeasurement DiodeCapacitanceDlg::Measurement(const CBiasPoint& point) const
{
    return {.m_Vdc = point.m_Bias,
            .m_SourceVoltagePp = m_SourceVoltage,
            .m_LoadVoltagePp = point.m_LoadVoltage,
            .m_LoadResistance = m_LoadResistance,
            .m_ScopeCap = m_ScopeCap,
            .m_ParasiticCap = m_ParasiticCap,
            .m_Phase = point.m_Phase,
            .m_Frequency = m_Frequency,
            .m_DcSourceResistance = point.m_SourceResistance};
}

// A load voltage equal in size and phase to the source leaves the diode branch no impedance,
// so its capacitance is infinite.
bool DiodeCapacitanceDlg::CheckMeasured()
{
    if (!std::isfinite(m_Point1.m_Measured))
        return RefuseField(IdLoadVoltage1, "must differ from %s for this calculation",
                           IdSourceVoltage);
    if (!std::isfinite(m_Point2.m_Measured))
        return RefuseField(IdLoadVoltage2, "must differ from %s for this calculation",
                           IdSourceVoltage);
    return true;
}

// The frequency, then a row per bias point, each starting with its bias.
void DiodeCapacitanceDlg::BeginPointsTable(const QString& title, std::vector<CReportColumn> columns)
{
    CReportTable table;
    table.m_Title = title;
    table.m_Header = QString::asprintf("Frequency: %s kHz \r\n",
                                       qPrintable(FormatNumberText(m_Frequency / 1000, 0)));
    table.m_RowStart = QStringLiteral("Capactance at ");
    table.m_Columns = std::move(columns);
    BeginTable(std::move(table));
}

void DiodeCapacitanceDlg::OnCalcJunction()
{
    if (!ReadInputs() || !CheckFields(MeasurementChecks) || !CheckFields(JunctionChecks))
        return;

    m_Point1.m_Measured = CDiode::MeasuredCapacitance(Measurement(m_Point1));
    m_Point2.m_Measured = CDiode::MeasuredCapacitance(Measurement(m_Point2));
    if (!CheckMeasured())
        return;
    m_FittedBuiltInVoltage = CDiode::BuiltInVoltage(
        m_Point1.m_Bias, m_Point2.m_Bias, m_Point1.m_Measured, m_Point2.m_Measured, m_Quotient);
    // The fit draws a line through 1/C^m at the two points: it needs two different positive
    // capacitances whose powers stay within the doubles.
    if (!std::isfinite(m_FittedBuiltInVoltage))
    {
        const double c1 = m_Point1.m_Measured;
        const double c2 = m_Point2.m_Measured;
        if (m_SourceVoltage == 0)
            RefuseField(IdSourceVoltage, NotZero);
        else if (!(c1 > 0 && c2 > 0))
            RefuseField(IdParasiticCap,
                        "must be less than the capacitance measured at each bias point");
        else if (c1 == c2)
            RefuseField(IdBias2,
                        "measures the same capacitance as %s, so no built-in voltage can be fitted",
                        IdBias1);
        else
            RefuseField(IdQuotient, "is too large in size for the capacitances measured");
        return;
    }

    const QString title = ActionCaption(IdCalcJunction);
    BeginPointsTable(
        title, {{QStringLiteral("Bias"), QStringLiteral("V"), 2, QStringLiteral(" volts: ")},
                {QStringLiteral("Capactance"), QStringLiteral("pF"), 2, QStringLiteral(" pF ")}});
    for (const CBiasPoint* point : {&m_Point1, &m_Point2})
        AddRow(
            {CReportCell::Number(point->m_Bias), CReportCell::Number(point->m_Measured / 1e-12)});
    EndTable();
    AppendValueLine(
        title, QStringLiteral("Built-in voltage: "),
        {QStringLiteral("Built-in voltage"), QStringLiteral("V"), 2, QStringLiteral(" volts")},
        m_FittedBuiltInVoltage);
}

void DiodeCapacitanceDlg::OnCalcDiffusion()
{
    if (!ReadInputs() || !CheckFields(MeasurementChecks) || !CheckFields(DiffusionChecks))
        return;

    // The entered built-in voltage, not the fitted one; the quotient also serves below Vref.
    m_Diode.SetJunction({.m_JunctionCap = m_JunctionCap,
                         .m_BuiltInVoltage = m_BuiltInVoltage,
                         .m_RefVoltage = m_RefVoltage,
                         .m_ParasiticCap = m_ParasiticCap,
                         .m_TransitTimeNs = 0.0,
                         .m_Ideality = 1.0,
                         .m_CapQuotient = m_Quotient,
                         .m_NegCapQuotient = m_Quotient});

    const QString title = ActionCaption(IdCalcDiffusion);
    const QString pF = QStringLiteral("pF");
    BeginPointsTable(
        title,
        {{QStringLiteral("Bias"), QStringLiteral("V"), 2, QStringLiteral(" volts: Total: ")},
         {QStringLiteral("Total"), pF, 2, QStringLiteral(" pF Junction: ")},
         {QStringLiteral("Junction"), pF, 2, QStringLiteral(" Diff: ")},
         {QStringLiteral("Diff"), pF, 2, QStringLiteral(" \r\nTransit time: ")},
         {QStringLiteral("Transit time"), QStringLiteral("ns"), 2, QStringLiteral(" nSeconds")}});
    for (CBiasPoint* point : {&m_Point1, &m_Point2})
    {
        point->m_Diffusion = m_Diode.DiffusionFromMeasurement(Measurement(*point),
                                                              point->m_Measured, point->m_Junction);
        point->m_TransitTime =
            CDiode::TransitTime(point->m_Bias, point->m_Diffusion, point->m_SourceResistance);

        AddRow({CReportCell::Number(point->m_Bias), CReportCell::Number(point->m_Measured / 1e-12),
                CReportCell::Number(point->m_Junction / 1e-12),
                CReportCell::Number(point->m_Diffusion / 1e-12),
                CReportCell::Number(point->m_TransitTime / 1e-9)});
    }
    if (!CheckMeasured())
        return DiscardTable();
    // The junction law divides by the distance of the bias from Vbi, and raises to the power
    // 1/m.
    for (const auto& [point, id] : {std::pair(&m_Point1, IdBias1), std::pair(&m_Point2, IdBias2)})
    {
        if (std::isfinite(point->m_Junction))
            continue;
        if (point->m_Bias == m_BuiltInVoltage)
            RefuseField(id, "must differ from %s for this calculation", IdBuiltInVoltage);
        else if (m_Quotient == 0)
            RefuseField(IdQuotient, NotZero);
        else
            continue;
        return DiscardTable();
    }
    EndTable();
    AppendValueLine(title, QStringLiteral("Forward power: "),
                    {QStringLiteral("Forward power"), QString(), 2, QStringLiteral(" ")},
                    m_Quotient);
}

// A value on a line of its own after the rows, and the blank line that ends the report.
void DiodeCapacitanceDlg::AppendValueLine(const QString& title, const QString& label,
                                          const CReportColumn& column, double value)
{
    CReportTable table;
    table.m_Title = title;
    table.m_RowStart = label;
    table.m_Columns = {column};
    table.m_Footer = QStringLiteral("\r\n");
    BeginTable(std::move(table));
    AddRow({CReportCell::Number(value)});
    EndTable();
}
