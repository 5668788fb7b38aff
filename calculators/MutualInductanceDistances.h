// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The air-core receiver's distance sweeps, for the files of its actions.
#include "calculators/MutualInductanceDlg.h"

#include <atomic>

namespace receiver
{
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
} // namespace receiver

template <typename Evaluate> bool CMutualInductanceDlg::ForEachDistance(Evaluate evaluate)
{
    const std::vector<double> distances = Distances(m_StartDistance, m_EndDistance, m_Step);
    // Every distance starts from the receiver as it stands now, so each works on a copy of
    // its own and the distances can be worked out side by side.
    return StepsSideBySide(
        static_cast<int>(distances.size()),
        [&](int i)
        {
            return [&evaluate, run = CDistanceRun{m_Circuit, m_SourceImpedance},
                    d = distances[i]](const std::atomic<bool>& stop) mutable
            {
                const receiver::CStopsAt stops(run.m_Circuit, stop);
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

template <typename Evaluate>
void CMutualInductanceDlg::SweepDistances(int action, CReportTable table,
                                          const std::vector<int>& tabStops, Evaluate evaluate)
{
    SetTabStops(tabStops);
    const CLongAction progress(*this, action, DistanceCount());
    BeginTable(std::move(table));
    m_Circuit.SetFrequency(m_Frequency, m_OtherLosses);
    // A cancelled sweep keeps the distances it finished.
    if (ForEachDistance(std::move(evaluate)) || Cancelled())
        EndTable();
    else
        DiscardTable();
}
