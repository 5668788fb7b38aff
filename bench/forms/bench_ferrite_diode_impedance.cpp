// SPDX-License-Identifier: GPL-3.0-or-later
// The ferrite rod, diode capacitance and impedance actions, end to end through the form made
// by the factory: the default design of the calculator is loaded, then each press reads and
// checks the fields, runs the model and appends the report to the results box.
#include "bench/forms/FormBench.h"
#include "calculators/DiodeCapacitanceDlg.h"
#include "calculators/FerriteDlg.h"
#include "calculators/ImpedanceDlg.h"

namespace
{
void BM_FerriteCalcInductance(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Ferrite"), FerriteDlg::IdCalcInductance);
}

void BM_DiodeCalcJunctionCap(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("DiodeCapacitance"), DiodeCapacitanceDlg::IdCalcJunction);
}

void BM_DiodeCalcDiffusionCap(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("DiodeCapacitance"), DiodeCapacitanceDlg::IdCalcDiffusion);
}

void BM_ImpedanceCalImpedance(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Impedance"), CImpedanceDlg::IdCalcImpedance);
}

void BM_ImpedanceCalResonance(benchmark::State& state)
{
    RunFormAction(state, QStringLiteral("Impedance"), CImpedanceDlg::IdCalcResonance);
}
} // namespace

BENCHMARK(BM_FerriteCalcInductance)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiodeCalcJunctionCap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiodeCalcDiffusionCap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImpedanceCalImpedance)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImpedanceCalResonance)->Unit(benchmark::kMicrosecond);
