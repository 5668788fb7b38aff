// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculators/TuningCapDlg.h"

#include "controls/VKEdit.h"
#include "database/MessagePresenter.h"
#include "models/Equations.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace
{

constexpr double NoLimit = 999999999.99;

// In set-up order. The self-capacitance is read without a range check, and the inductance
// has no default text.
const CFieldRow TuningCapFields[] = {
    {CTuningCapDlg::IdLowFrequency, "Low(kHz)", 9, 0, false, 100, NoLimit, "Low frequency", "525",
     "kHz", FieldReal},
    {CTuningCapDlg::IdHighFrequency, "High (kHz)", 9, 0, false, 100, NoLimit, "High frequency",
     "1,706", "kHz", FieldReal},
    {CTuningCapDlg::IdCapLow, "Low (pf)", 9, 0, false, 1, NoLimit, "Tuning capacitor low value",
     "7", "pf", FieldReal},
    {CTuningCapDlg::IdCapHigh, "High (pF)", 9, 0, false, 1, NoLimit, "Tuning capacitor high value",
     "360", "pF", FieldReal},
    {CTuningCapDlg::IdSelfCapacitance, "Coil self-res cap (pF)", 9, 0, false, 0, 0, "", "3", "pF",
     FieldUnchecked},
    {CTuningCapDlg::IdStrayCapacitance, "Stray capacitance (pF)", 9, 0, false, 0, NoLimit,
     "Stray capacitance", "2", "pF", FieldReal},
    {CTuningCapDlg::IdInductance, "Inductance", 9, 3, false, 0.001, NoLimit, "Coil inductance", "",
     "µH", FieldDigitRange | FieldRealRange},
};

const CFieldHelp TuningCapHelp[] = {
    {CTuningCapDlg::IdLowFrequency, "The bottom of the band the set is to tune."},
    {CTuningCapDlg::IdHighFrequency, "The top of the band the set is to tune."},
    {CTuningCapDlg::IdCapLow, "The tuning capacitor with its plates fully open."},
    {CTuningCapDlg::IdCapHigh, "The tuning capacitor with its plates fully meshed."},
    {CTuningCapDlg::IdSelfCapacitance,
     "The coil's self-capacitance, added to the capacitor at every setting."},
    {CTuningCapDlg::IdStrayCapacitance,
     "The capacitance of the wiring, added to the capacitor at every setting."},
    {CTuningCapDlg::IdInductance, "The inductance of your coil, read with \"Use inductance\"."},
};

// The part of the swing the band uses is divided by the swing itself.
const CFieldCheck TuningCapChecks[] = {
    {CTuningCapDlg::IdCapHigh, EFieldCondition::DiffersFrom,
     "must differ from %s for this calculation", CTuningCapDlg::IdCapLow},
};

const CFieldRow& Row(int id)
{
    return *FindFieldRow(TuningCapFields, id);
}

// "Use inductance" checked or cleared.
constexpr int GivenInductance = 1;
constexpr int MatchedInductance = 0;
const CEnableRule TuningCapEnableRules[] = {
    {GivenInductance,
     {CTuningCapDlg::IdInductance},
     {CTuningCapDlg::IdMatchLow, CTuningCapDlg::IdMatchHigh}},
    {MatchedInductance,
     {CTuningCapDlg::IdMatchLow, CTuningCapDlg::IdMatchHigh},
     {CTuningCapDlg::IdInductance}},
};

} // namespace

CTuningCapDlg::CTuningCapDlg(QWidget* parent)
    : CVKFormView(QStringLiteral("TuningCap"), 16003, parent)
{
    setEnterMovesFocus(true);
}

// Template order: the design files list the controls in this order.
void CTuningCapDlg::BuildForm()
{
    auto* groups = new QHBoxLayout;
    MainLayout()->addLayout(groups);
    QGroupBox* band = AddGroup(QStringLiteral("Design frequency range"), groups);
    auto* bandLayout = new QVBoxLayout(band);
    QGridLayout* bandGrid = AddFieldGrid(bandLayout);
    AddField(bandGrid, Row(IdLowFrequency));
    AddField(bandGrid, Row(IdHighFrequency));
    AddField(bandGrid, Row(IdInductance));
    AddCheck(bandLayout, IdUseInductance, QStringLiteral("Use inductance"));
    AddRadio(bandLayout, IdMatchLow, QStringLiteral("Match inductance to low freqency"), 1);
    AddRadio(bandLayout, IdMatchHigh, QStringLiteral("Match inductance to high freqency"), 1);

    QGroupBox* capacitor = AddGroup(QStringLiteral("Tuning capacitor range"), groups);
    auto* capLayout = new QVBoxLayout(capacitor);
    QGridLayout* capGrid = AddFieldGrid(capLayout);
    capLayout->addStretch();
    AddField(capGrid, Row(IdCapLow));
    AddField(capGrid, Row(IdCapHigh));
    AddField(capGrid, Row(IdSelfCapacitance));
    AddField(capGrid, Row(IdStrayCapacitance));

    AddResultsAndActions(MainLayout());
    // Extra height goes to the reports.
    MainLayout()->setStretchFactor(ResultsBox()->parentWidget(), 1);
}

std::span<const CFieldHelp> CTuningCapDlg::FieldHelp() const
{
    return TuningCapHelp;
}

const CFormAction CTuningCapDlg::ActionTable[] = {
    {CTuningCapDlg::IdMainAction,
     "Calculate results",
     nullptr,
     "Cap max",
     {"Inductance requried"},
     RunHandler<&CTuningCapDlg::OnCalculate>},
};

std::span<const CFormAction> CTuningCapDlg::Actions() const
{
    return ActionTable;
}

void CTuningCapDlg::SetupFields()
{
    setWindowTitle(QStringLiteral("Tuning capacitor"));
    CVKFormView::SetupFields(TuningCapFields, static_cast<int>(std::size(TuningCapFields)));
    SetCheck(IdMatchLow, true);
    SetCheck(IdUseInductance, false);
    EnableControl(IdInductance, false);
}

bool CTuningCapDlg::OnCommand(int id)
{
    switch (id)
    {
    case IdUseInductance:
        OnUseInductance();
        return true;
    default:
        return CVKFormView::OnCommand(id);
    }
}

void CTuningCapDlg::OnUseInductance()
{
    ApplyEnableRule(TuningCapEnableRules,
                    IsChecked(IdUseInductance) ? GivenInductance : MatchedInductance);
}

CTuningCapDlg::EMode CTuningCapDlg::Mode() const
{
    if (IsChecked(IdUseInductance))
        return EMode::GivenInductance;
    if (IsChecked(IdMatchLow))
        return EMode::MatchLow;
    return EMode::MatchHigh;
}

bool CTuningCapDlg::ReadInputs()
{
    using T = CTuningCapDlg;
    static const CFieldBinding<T> BandFields[] = {
        {IdLowFrequency, &T::m_LowFrequency},
        {IdHighFrequency, &T::m_HighFrequency},
    };
    static const CFieldBinding<T> CapacitorFields[] = {
        {IdCapLow, &T::m_CapLow},
        {IdCapHigh, &T::m_CapHigh},
        {IdSelfCapacitance, &T::m_SelfCapacitance},
        {IdStrayCapacitance, &T::m_StrayCapacitance},
    };
    if (!ReadFields(*this, BandFields))
        return false;
    if (!(m_HighFrequency > m_LowFrequency))
    {
        ShowMessage("ERROR", "High frequency can not be lower or equal to the low frequency!",
                    EMessageIcon::None);
        return false;
    }
    if (!ReadFields(*this, CapacitorFields))
        return false;
    m_Mode = Mode();
    return m_Mode != EMode::GivenInductance || ReadField(IdInductance, m_Inductance);
}

void CTuningCapDlg::OnCalculate()
{
    if (!ReadInputs() || !CheckFields(TuningCapChecks))
        return;

    // The self-capacitance and the strays sit across the capacitor at every setting.
    m_CapMin = m_CapLow + m_SelfCapacitance + m_StrayCapacitance;
    m_CapMax = m_CapHigh + m_SelfCapacitance + m_StrayCapacitance;
    m_RatioSquared = m_HighFrequency * m_HighFrequency / (m_LowFrequency * m_LowFrequency);

    switch (m_Mode)
    {
    case EMode::GivenInductance:
        m_CapAtLow = CEquations::TuningCapacitance(m_Inductance, m_LowFrequency);
        m_CapAtHigh = CEquations::TuningCapacitance(m_Inductance, m_HighFrequency);
        break;
    case EMode::MatchLow:
        m_CapAtLow = m_CapMax;
        m_CapAtHigh = m_CapMax / m_RatioSquared;
        m_Inductance = CEquations::TuningCapacitance(m_CapMax, m_LowFrequency);
        break;
    case EMode::MatchHigh:
        m_CapAtHigh = m_CapMin;
        m_CapAtLow = m_RatioSquared * m_CapMin;
        m_Inductance = CEquations::TuningCapacitance(m_CapMin, m_HighFrequency);
        break;
    }

    m_LowestResonance = CEquations::TuningFrequency(m_Inductance, m_CapMax);
    m_HighestResonance = CEquations::TuningFrequency(m_Inductance, m_CapMin);
    m_Rotation = (m_CapAtLow - m_CapAtHigh) / (m_CapMax - m_CapMin) * 100;
    // Only the self-capacitance, which has no range, can take the circuit capacitances to zero
    // or below, where the resonances lose their root.
    const double results[] = {m_Inductance, m_LowestResonance, m_HighestResonance, m_CapAtLow,
                              m_CapAtHigh};
    if (!(m_CapMin > 0 && m_CapMax > 0) &&
        !std::all_of(std::begin(results), std::end(results),
                     [](double value) { return std::isfinite(value); }))
    {
        RefuseField(IdSelfCapacitance, "must not make the circuit capacitance zero or negative");
        return;
    }

    WriteReport();
}

// One row of the values; the labels between them, which repeat the band edges, follow the cells.
void CTuningCapDlg::WriteReport()
{
    static const char* const ModeHeaders[] = {
        "Results (given inductance)",
        "Results (matched to low frequency)",
        "Results (matched to high frequency)",
    };
    const auto required = [](double frequency)
    {
        return QStringLiteral("\tCapacitance required for ") + FormatNumberText(frequency, 0) +
               QStringLiteral(" kHz: \t ");
    };
    const QString pF = QStringLiteral("pF");
    const QString kHz = QStringLiteral("kHz");

    CReportTable table;
    table.m_Title = ActionCaption(IdMainAction);
    table.m_Header = QStringLiteral("Tuning capacitor analysis \r\n");
    table.m_RowStart = QStringLiteral("\tCap min: ");
    table.m_Columns = {
        {QStringLiteral("Cap min"), pF, 0, QStringLiteral("pF \t\tCap max: ")},
        {QStringLiteral("Cap max"), pF, 0, QStringLiteral("pF\r\n\tFreq min: ")},
        {QStringLiteral("Freq min"), kHz, 0, QStringLiteral("kHz \t\tFreq max: ")},
        {QStringLiteral("Freq max"), kHz, 0,
         QStringLiteral("kHz\r\n\r\n") + QLatin1String(ModeHeaders[static_cast<int>(m_Mode)]) +
             QStringLiteral("\r\n\tInductance requried: \t\t ")},
        {QStringLiteral("Inductance requried"), QStringLiteral("uH"), 3,
         QStringLiteral(" uH \r\n\tLowest resonant frequency: \t\t ")},
        {QStringLiteral("Lowest resonant frequency"), kHz, 0,
         QStringLiteral(" kHz \r\n\tHighest resonant frequency: \t\t ")},
        {QStringLiteral("Highest resonant frequency"), kHz, 0,
         QStringLiteral(" kHz \r\n") + required(m_LowFrequency)},
        {QStringLiteral("Capacitance required for Freq min"), pF, 0,
         QStringLiteral(" pF. \r\n") + required(m_HighFrequency)},
        {QStringLiteral("Capacitance required for Freq max"), pF, 0,
         QStringLiteral(" pF. \r\n\t% of Capaitor rotation:         \t \t ")},
        {QStringLiteral("Capaitor rotation"), QStringLiteral("%"), 0, QStringLiteral(". ")},
    };
    if (m_CapAtLow > m_CapMax || m_CapAtHigh < m_CapMin)
        table.m_Footer = QStringLiteral("**Note: \r\n\tThe entire frequency range can not be "
                                        "spanned by this tuning capacitor. \r\n");
    table.m_Footer += QStringLiteral("\r\n");
    BeginTable(std::move(table));
    AddRow({CReportCell::Number(m_CapMin), CReportCell::Number(m_CapMax),
            CReportCell::Number(m_LowFrequency), CReportCell::Number(m_HighFrequency),
            CReportCell::Number(m_Inductance), CReportCell::Number(m_LowestResonance),
            CReportCell::Number(m_HighestResonance), CReportCell::Number(m_CapAtLow),
            CReportCell::Number(m_CapAtHigh), CReportCell::Number(m_Rotation)});
    EndTable();
}
