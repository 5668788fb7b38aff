// SPDX-License-Identifier: GPL-3.0-or-later
// The air-core receiver's selectivity: the set tuned once at the working frequency and held,
// answering a station at another frequency.
#include "calculators/MutualInductanceDlg.h"

#include "calculators/MutualInductanceDistances.h"
#include "calculators/MutualInductanceReports.h"
#include "models/ReceiverSelectivity.h"

#include <algorithm>
#include <cmath>

namespace
{
using namespace receiver;

constexpr double Kilo = 1000.0;
// The step of "Selectivity around the working frequency".
constexpr double FrequencyStep = 1000.0;

// The -3 dB bandwidth in kHz, or how far the search went when an edge lies beyond it.
CReportCell BandwidthCell(const CSelectivity& selectivity, double f0)
{
    if (std::isfinite(selectivity.m_Bandwidth))
        return CReportCell::Number(selectivity.m_Bandwidth / Kilo);
    return CReportCell::Text(QStringLiteral("> ") + FormatNumberText(f0 / Kilo, 2));
}

QString BandwidthText(const CSelectivity& selectivity, double f0)
{
    const CReportCell cell = BandwidthCell(selectivity, f0);
    return cell.m_Kind == CReportCell::EKind::Text ? cell.m_Text
                                                   : FormatNumberText(cell.m_Value, 2);
}

CReportTable AroundTable(const CReceiverCircuit& c, const CHeldTuning& held,
                         const CSelectivity& selectivity, double distance, int tap)
{
    CReportTable table;
    table.m_Title = ReceiverCaption(CMutualInductanceDlg::IdSelectivity);
    table.m_Header =
        QStringLiteral("\r\nDist (mm): \t%1 \tW#: \t%2 \tQ: \t%3 \tR(det) at tap (ohm): \t%4 "
                       "\r\n\r\nFreq \tVtap \tVdc \tSPL \tRel(f0) \r\n")
            .arg(FormatNumberText(distance / Milli, 2))
            .arg(tap)
            .arg(FormatNumberText(c.m_LoadedQ, 2), FormatNumberText(held.TapResistance(), 0));
    table.m_Columns = {{"Freq", "kHz", 1},
                       {"Vtap", "V", 4},
                       {"Vdc", "V", 4},
                       {"SPL", "dB", 2},
                       {"Rel(f0)", "dB", 2, " "}};
    const auto rejection = [&selectivity](size_t i)
    { return FormatNumberText(selectivity.m_Rejection[i], 2); };
    table.m_Footer = QStringLiteral("\r\n-3 dB bandwidth (kHz): \t%1 \r\n"
                                    "Rejection at -9 / +9 kHz (dB): \t%2 \t%3 \r\n"
                                    "Rejection at -10 / +10 kHz (dB): \t%4 \t%5 \r\n")
                         .arg(BandwidthText(selectivity, held.m_WorkingFrequency), rejection(0),
                              rejection(1), rejection(2), rejection(3));
    table.m_PlotRemark = QStringLiteral("-3 dB bandwidth %1 kHz")
                             .arg(BandwidthText(selectivity, held.m_WorkingFrequency));
    return table;
}

CReportTable OverDistanceTable()
{
    CReportTable table;
    table.m_Title = ReceiverCaption(CMutualInductanceDlg::IdSelectivityOverDistance);
    table.m_Header = QStringLiteral("\r\nDist \tW# \tQ \tSPL \tBW \tRej(-9) \tRej(+9) \tRej(-10) "
                                    "\tRej(+10) \r\n");
    table.m_Columns = {{"Dist", "mm", 2},    {"W#", "", 0},         {"Q", "", 2},
                       {"SPL", "dB", 2},     {"BW", "kHz", 2},      {"Rej(-9)", "dB", 2},
                       {"Rej(+9)", "dB", 2}, {"Rej(-10)", "dB", 2}, {"Rej(+10)", "dB", 2, " "}};
    return table;
}
} // namespace

bool CMutualInductanceDlg::CheckSelectivityInputs()
{
    if (m_TapLoop < 1 || m_TapLoop > m_Circuit.m_Secondary.m_Turns)
        return RefuseField(IdTapLoop, "must be a turn of the secondary for the selectivity");
    // Every frequency of the table and of the rejection lies above zero.
    if (!(m_Frequency > std::max(m_SelectivitySpan, 10.0 * Kilo)))
        return RefuseField(IdFrequency,
                           "must be above 10 kHz and above the Selectivity span (kHz) for the "
                           "selectivity");
    return true;
}

std::optional<CHeldTuning> CMutualInductanceDlg::HeldTuning(double distance)
{
    if (!ReadInputs() || !CheckCoreInputs() || !CheckSelectivityInputs() || !CheckDetectorInputs())
        return std::nullopt;
    m_Circuit.SetFrequency(m_Frequency, m_OtherLosses);
    CDistanceRun run{m_Circuit, m_SourceImpedance};
    const std::atomic<bool> stop{false};
    if (std::optional<CRefusal> refusal = TuneAtTap(run, distance, stop))
    {
        Refuse(*refusal);
        return std::nullopt;
    }
    return run.m_Circuit.HoldTuning();
}

void CMutualInductanceDlg::SelectivitySweep()
{
    SetTabStops({40});
    const int steps = static_cast<int>(std::floor(m_SelectivitySpan / FrequencyStep + 1e-9));
    const CLongAction progress(*this, IdSelectivity, 2 * steps + 2);
    m_Circuit.SetFrequency(m_Frequency, m_OtherLosses);
    CDistanceRun run{m_Circuit, m_SourceImpedance};
    std::optional<CRefusal> refusal;
    // The coupling of large coils takes seconds: worked out beside the window, as the sweeps.
    if (!StepsSideBySide(
            1,
            [&](int)
            {
                return [&](const std::atomic<bool>& stop)
                {
                    const CStopsAt stops(run.m_Circuit, stop);
                    refusal = TuneAtTap(run, m_StartDistance, stop);
                    return !stop;
                };
            },
            [](int, bool tuned) { return tuned; }))
        return;
    if (refusal)
    {
        Refuse(*refusal);
        return;
    }
    const CReceiverCircuit& tuned = run.m_Circuit;
    const CHeldTuning held = tuned.HoldTuning();
    const CSelectivity selectivity = MeasureSelectivity(held);
    const double f0 = held.m_WorkingFrequency;
    const double atF0 = std::abs(held.TapVoltage(f0));
    if (!Step(1))
        return;
    // The level of the design's own tap analysis at f0, shaped by the held network. The rows
    // are independent: each detector works on a copy of its own, side by side.
    std::vector<std::vector<CReportCell>> rows;
    RunSideBySide(
        2 * steps + 1,
        [&](int i)
        {
            return [&tuned, &held, atF0,
                    f = f0 + (i - steps) * FrequencyStep](const std::atomic<bool>&)
            {
                const double response = std::abs(held.TapVoltage(f)) / atF0;
                const double vtap = tuned.m_TapVoltage * response;
                const CDetectorOutput out = DetectAt(tuned, vtap);
                return std::vector<CReportCell>{
                    CReportCell::Number(f / Kilo), CReportCell::Number(vtap),
                    CReportCell::Number(out.m_DcVoltage),
                    std::isfinite(out.m_Spl) ? CReportCell::Number(out.m_Spl)
                                             : CReportCell::Empty(),
                    CReportCell::Number(20.0 * std::log10(response))};
            };
        },
        [&rows](int, std::vector<CReportCell> row)
        {
            rows.push_back(std::move(row));
            return true;
        },
        [this](int step) { return Step(step + 1); }, [this] { return Step(); });
    BeginTable(AroundTable(tuned, held, selectivity, m_StartDistance, m_TapLoop));
    for (std::vector<CReportCell>& row : rows)
        AddRow(std::move(row));
    EndTable();
}

void CMutualInductanceDlg::SelectivityOverDistance()
{
    SweepDistances(IdSelectivityOverDistance, OverDistanceTable(), {40},
                   [this](CDistanceRun& run, double d, const std::atomic<bool>& stop)
                   {
                       CDistanceOutcome outcome;
                       if ((outcome.m_Refusal = TuneAtTap(run, d, stop)) || stop)
                           return outcome;
                       const CReceiverCircuit& c = run.m_Circuit;
                       const CSelectivity selectivity = MeasureSelectivity(c.HoldTuning());
                       std::vector<CReportCell> row = {
                           CReportCell::Number(d / Milli), CReportCell::Number(m_TapLoop),
                           CReportCell::Number(c.m_LoadedQ), CReportCell::Number(c.m_Spl),
                           BandwidthCell(selectivity, c.m_Frequency)};
                       for (double rejection : selectivity.m_Rejection)
                           row.push_back(CReportCell::Number(rejection));
                       outcome.m_Rows.push_back(std::move(row));
                       return outcome;
                   });
}
