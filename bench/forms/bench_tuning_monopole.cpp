// SPDX-License-Identifier: GPL-3.0-or-later
// The tuning capacitor and monopole actions with their shipped default designs.
#include "bench/forms/FormBench.h"
#include "calculators/MonopoleDlg.h"
#include "calculators/TuningCapDlg.h"

namespace
{
void BM_TuningCapCalculate(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("TuningCap"), CVKFormView::IdMainAction);
}

void BM_MonopoleAnalyse(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Monopole"), CVKFormView::IdMainAction);
}

void BM_MonopoleResonantLoadSweep(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Monopole"), CMonopoleDlg::IdResonantSweep);
}

void BM_MonopoleEnteredLoadSweep(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Monopole"), CMonopoleDlg::IdLoadSweep);
}
} // namespace

BENCHMARK(BM_TuningCapCalculate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonopoleAnalyse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonopoleResonantLoadSweep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonopoleEnteredLoadSweep)->Unit(benchmark::kMicrosecond);
