// SPDX-License-Identifier: GPL-3.0-or-later
// The coil form's two actions with the shipped default design, end to end through the form.
#include "bench/forms/FormBench.h"
#include "calculators/CoilDlg.h"

namespace
{
// Five rows, 200 to 400 uH, each solved by bisection on the length.
void BM_CoilAnalyse(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Coil"), CCoilDlg::IdAnalyse);
}
BENCHMARK(BM_CoilAnalyse)->Unit(benchmark::kMicrosecond);

// Ten rows, l/D from 1.0 to 1.9 at 200 uH.
void BM_CoilAnalyseRatioRange(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Coil"), CCoilDlg::IdAnalyseRatioRange);
}
BENCHMARK(BM_CoilAnalyseRatioRange)->Unit(benchmark::kMicrosecond);
} // namespace
