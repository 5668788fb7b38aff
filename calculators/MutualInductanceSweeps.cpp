// SPDX-License-Identifier: GPL-3.0-or-later
// The air-core receiver form's actions: the distance and tap sweeps and the rows they report.
#include "calculators/MutualInductanceDlg.h"

#include "calculators/MutualInductanceDistances.h"
#include "calculators/MutualInductanceReports.h"
#include "database/Error.h"
#include "forms/WaitCursor.h"
#include "models/FormatNumber.h"

#include <atomic>
#include <cmath>
#include <optional>
#include <utility>

namespace
{

using namespace receiver;

// The engine limit of the loaded Q before each tap sweep.
constexpr double QLimit = 10000.0;
} // namespace

void CMutualInductanceDlg::RunAction(int id)
{
    CWaitCursor wait;
    if (!ReadInputs() || !CheckCoreInputs())
        return;
    // Only a sweep that shows a tap's row needs what the detector divides by.
    const double turns = m_Circuit.m_Secondary.m_Turns;
    const bool selectivity = id == IdSelectivity || id == IdSelectivityOverDistance;
    if (selectivity && !CheckSelectivityInputs())
        return;
    const bool detector = (id == IdSplEachLoop || id == IdMaxSplOverDistance) ? turns >= 1
                          : id == IdSplAtLoopOverDistance ? m_TapLoop > 0 && m_TapLoop <= turns
                                                          : selectivity;
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
    case IdSelectivity:
        SelectivitySweep();
        break;
    case IdSelectivityOverDistance:
        SelectivityOverDistance();
        break;
    default:
        if (m_TapLoop > 0)
            GivenTapSweep();
        break;
    }
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
    return static_cast<int>(Distances(m_StartDistance, m_EndDistance, m_Step).size());
}

bool CMutualInductanceDlg::Refuse(const CRefusal& refusal)
{
    if (refusal.m_Field)
        return RefuseField(refusal.m_Field, refusal.m_Text.c_str());
    CError::DisplayError(refusal.m_Text);
    return false;
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
    const double frequency = m_Frequency;
    if (m_SourceCapacitance > 0.0)
        run.m_Source.SetComponent(CImpedance::Capacitor, m_SourceCapacitance, m_SourceResistance,
                                  frequency);
    else
        run.m_Source.SetComponent(CImpedance::Inductor, m_SourceInductance, m_SourceResistance,
                                  frequency);
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
                      .m_JunctionCap = m_JunctionCap,
                      .m_JunctionCapVoltage = m_JunctionVoltage,
                      .m_ParasiticCap = m_ParasiticCap,
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
    circuit.SetLoad(m_AudioResistor, m_AudioCapacitor, m_EarphoneCapacitance, 0.0);
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

std::optional<CMutualInductanceDlg::CRefusal>
CMutualInductanceDlg::TuneAtTap(CDistanceRun& run, double distance,
                                const std::atomic<bool>& stop) const
{
    CDistanceOutcome outcome =
        TapsAtDistance(run, distance, stop,
                       [&](int w, CDistanceOutcome& at)
                       {
                           if (w != m_TapLoop)
                               return true;
                           const EDetectorResult result = DetectorResult(run.m_Circuit);
                           if (result != EDetectorResult::Finite)
                               at.m_Refusal = RefuseDetector(result, distance, w);
                           return false;
                       });
    return outcome.m_Refusal;
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
    SweepDistances(IdAnalyseNoLoad, NoLoadTable(), {40},
                   [this](CDistanceRun& run, double d, const std::atomic<bool>&)
                   {
                       CDistanceOutcome outcome;
                       outcome.m_Refusal = SetUpDistance(run, d);
                       if (!outcome.m_Refusal)
                           outcome.m_Rows.push_back(NoLoadCells(run.m_Circuit, d));
                       return outcome;
                   });
}

void CMutualInductanceDlg::TapSweepAtStart()
{
    SetTabStops({30});
    m_Circuit.SetFrequency(m_Frequency, m_OtherLosses);
    const double distance = m_StartDistance;
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
    BeginTable(DistanceTable(ReceiverCaption(IdMaxSplOverDistance)));
    // Without a tap there is no row to show.
    if (!(m_Circuit.m_Secondary.m_Turns >= 1))
    {
        EndTable();
        return;
    }
    m_Circuit.SetFrequency(m_Frequency, m_OtherLosses);
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
    BeginTable(DistanceTable(ReceiverCaption(IdSplAtLoopOverDistance)));
    // A tap beyond the secondary's turns is never reached: there is no row to show.
    if (m_TapLoop > m_Circuit.m_Secondary.m_Turns)
    {
        EndTable();
        return;
    }
    m_Circuit.SetFrequency(m_Frequency, m_OtherLosses);
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
