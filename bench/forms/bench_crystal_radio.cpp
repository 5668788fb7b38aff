// SPDX-License-Identifier: GPL-3.0-or-later
// The air-core receiver's actions, end to end through the form with its shipped default
// design: the fields are read and checked, the engine sweeps the distances (and the taps)
// and the report is written into the results box.
#include "bench/forms/FormBench.h"
#include "calculators/MutualInductanceDlg.h"

namespace
{
void RunCrystalRadio(benchmark::State& state, int action)
{
    RunFormAction(state, QStringLiteral("CrystalRadio"), action);
}

void BM_CrystalRadioAnalyseNoLoad(benchmark::State& state)
{
    RunCrystalRadio(state, CMutualInductanceDlg::IdAnalyseNoLoad);
}

void BM_CrystalRadioSplEachLoop(benchmark::State& state)
{
    RunCrystalRadio(state, CMutualInductanceDlg::IdSplEachLoop);
}

void BM_CrystalRadioMaxSplOverDistance(benchmark::State& state)
{
    RunCrystalRadio(state, CMutualInductanceDlg::IdMaxSplOverDistance);
}

void BM_CrystalRadioSplAtLoopOverDistance(benchmark::State& state)
{
    RunCrystalRadio(state, CMutualInductanceDlg::IdSplAtLoopOverDistance);
}
} // namespace

void BM_CrystalRadioSelectivity(benchmark::State& state)
{
    RunCrystalRadio(state, CMutualInductanceDlg::IdSelectivity);
}

void BM_CrystalRadioSelectivityOverDistance(benchmark::State& state)
{
    RunCrystalRadio(state, CMutualInductanceDlg::IdSelectivityOverDistance);
}

BENCHMARK(BM_CrystalRadioAnalyseNoLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioSplEachLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioMaxSplOverDistance)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioSplAtLoopOverDistance)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioSelectivity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioSelectivityOverDistance)->Unit(benchmark::kMillisecond);
