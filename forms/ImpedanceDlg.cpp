#include "forms/ImpedanceDlg.h"

#include "controls/VKEdit.h"
#include "forms/FormatNumber.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
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
     NoDefault},
    {CImpedanceDlg::IdCapacitorResistance, "Resistance (ohms)", 9, 2, false, 0, FieldMax,
     "Capacitor Resistance", "", "", NoDefault},
    {CImpedanceDlg::IdCapacitance, "Capacitance (pF)", 9, 3, false, 0, FieldMax, "Capacitor", "",
     "", NoDefault},
    {CImpedanceDlg::IdFrequency, "Frequency (kHz)", 9, 3, false, 0, 999999999.999, "Frequency kHz",
     "1000.0", "", FieldReal},
};

// The resonant frequency divides by the root of the product of the inductance and capacitance.
const CFieldCheck ResonantFrequencyChecks[] = {
    {CImpedanceDlg::IdInductance, EFieldCondition::NotZero,
     "must not be zero for this calculation"},
    {CImpedanceDlg::IdCapacitance, EFieldCondition::NotZero,
     "must not be zero for this calculation"},
};

std::string N(double value, int decimals)
{
    return FormatNumber(value, decimals);
}

std::string Rectangular(const CComponant& part)
{
    return part.m_Impedance.FormatRectangular();
}

std::string Polar(const CComponant& part)
{
    return part.m_Impedance.FormatPolar();
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

    AddResultsAndActions(MainLayout(), {{IdCalcImpedance, QStringLiteral("Cal impedance")},
                                        {IdCalcResonance, QStringLiteral("Cal resonance")}});
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
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
    case IdCalcImpedance:
        OnCalcImpedance();
        return true;
    case IdCalcResonance:
        OnCalcResonance();
        return true;
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
    double resistance = 0, inductorResistance = 0, inductance = 0, capacitorResistance = 0,
           capacitance = 0;
    double frequency = 0;
    if (!Field(IdResistance)->ValidateInput(resistance) ||
        !Field(IdInductorResistance)->ValidateInput(inductorResistance) ||
        !Field(IdInductance)->ValidateInput(inductance) ||
        !Field(IdCapacitorResistance)->ValidateInput(capacitorResistance) ||
        !Field(IdCapacitance)->ValidateInput(capacitance) ||
        !Field(IdFrequency)->ValidateInput(frequency))
        return false;

    m_Frequency = frequency * 1000;
    m_Resistor.Set(CComponant::Resistor, 0, resistance);
    m_Inductor.Set(CComponant::Inductor, inductance * 1e-6, inductorResistance);
    m_Capacitor.Set(CComponant::Capacitor, capacitance * 1e-12, capacitorResistance);
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

QString CImpedanceDlg::EquivalentText() const
{
    switch (m_Equivalent.m_Kind)
    {
    case CComponant::Capacitor:
        return QString::fromStdString(N(m_Equivalent.m_Value / 1e-12, 2) + "pF");
    case CComponant::Inductor:
        return QString::fromStdString(N(m_Equivalent.m_Value / 1e-6, 2) + "uH");
    default:
        return QString::fromStdString(N(m_Equivalent.m_Value, 2) + "Ohms");
    }
}

void CImpedanceDlg::OnCalcImpedance()
{
    if (!ReadInputs() || !CheckFields(ResonantFrequencyChecks))
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
        // The lossy resonance has a root of (L - RL^2 C) / (L - RC^2 C): a loss too large for
        // the circuit leaves it without one.
        if (!std::isfinite(m_ResonantFrequency))
        {
            const double inductorLoss =
                m_Inductor.m_Resistance * m_Inductor.m_Resistance * capacitance;
            RefuseField(inductance < inductorLoss ? IdInductorResistance : IdCapacitorResistance,
                        "is too large for a resonance of this inductor and capacitor");
            return;
        }
    }
    m_Equivalent.SetFromImpedance(m_Total, m_Frequency);

    QString text =
        QString::asprintf("Impedances at %s kHz \r\n ", N(m_Frequency / 1000, 0).c_str());
    text += QString::asprintf(
        "  Component impedances: \r\n \t resistor: \t\t %s (%s)\r\n \t inductor: \t %s  "
        "(%s)\r\n \t capacitor: \t %s  (%s) \r\n",
        Rectangular(m_Resistor).c_str(), Polar(m_Resistor).c_str(), Rectangular(m_Inductor).c_str(),
        Polar(m_Inductor).c_str(), Rectangular(m_Capacitor).c_str(), Polar(m_Capacitor).c_str());
    const char* label = m_Connection == ConnectionSeries ? "  Total series impedance:"
                                                         : "  Total parallel impedance:";
    text +=
        QString::asprintf("  %s \t %s  (%s) (%s) \r\n", label, m_Total.FormatRectangular().c_str(),
                          m_Total.FormatPolar().c_str(), EquivalentText().toStdString().c_str());
    text += QString::asprintf("    Resonant frequency (kHz):  %s \r\n\r\n",
                              N(m_ResonantFrequency / 1000, 3).c_str());
    AppendReport(text);
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

    QString text = QString::asprintf(series ? "Series resonant frequency at %s kHz \r\n "
                                            : "Parallel resonant frequency at %s kHz \r\n ",
                                     N(m_Frequency / 1000, 0).c_str());
    text += QString::asprintf(
        " given cap: %spF \t ind requred: %suH\r\n  given ind: %suH \t cap required: %spF \r\n\r\n",
        N(capacitance / 1e-12, 2).c_str(), N(m_RequiredInductance.m_Value / 1e-6, 2).c_str(),
        N(inductance / 1e-6, 2).c_str(), N(m_RequiredCapacitance.m_Value / 1e-12, 2).c_str());
    AppendReport(text);
}
