// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReceiverCircuit.h"
#include "tests/models/ReceiverDefaults.h"

#include <benchmark/benchmark.h>

namespace
{

void BM_AirCoreMutualInductance(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetReceiverDefaults(radio);
    for (auto _ : state)
        benchmark::DoNotOptimize(radio.AirCoreMutualInductance(0.05));
}
BENCHMARK(BM_AirCoreMutualInductance)->Unit(benchmark::kMillisecond);

// The detector at tap 10 after the no-load analysis of the defaults.
void SetUpTenthTap(CReceiverCircuit& radio)
{
    SetReceiverDefaults(radio);
    radio.AnalyseNoLoad(1e6, 0.0, false);
    SetReceiverDetector(radio);
    radio.SetTap(10);
}

// One detector analysis at tap 10, each pass starting from the no-load state.
void BM_AnalyseDetector(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetUpTenthTap(radio);
    for (auto _ : state)
    {
        radio.m_LoadedQ = radio.m_QNoLoad;
        radio.m_QMax = 10000.0;
        radio.m_PrevTapVoltage = 0.0;
        radio.m_TapClamped = false;
        benchmark::DoNotOptimize(radio.AnalyseDetector());
    }
}
BENCHMARK(BM_AnalyseDetector)->Unit(benchmark::kMicrosecond);

// What the calculator does per distance after the coupling: the no-load analysis, the
// detector set-up and taps 1 to 48.
void SweepTaps(benchmark::State& state, CReceiverCircuit& radio)
{
    for (auto _ : state)
    {
        radio.AnalyseNoLoad(1e6, 0.0, false);
        SetReceiverDetector(radio);
        for (int w = 1; w <= 48; ++w)
        {
            radio.SetTap(w);
            radio.AnalyseDetector();
        }
        benchmark::DoNotOptimize(radio.m_Spl);
    }
}

void BM_TapSweep(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetReceiverDefaults(radio);
    SweepTaps(state, radio);
}
BENCHMARK(BM_TapSweep)->Unit(benchmark::kMillisecond);

// The degenerate solve: no RF at the detector, as when nothing couples the coils.
void BM_SolveDetectorWithoutSignal(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetUpTenthTap(radio);
    for (auto _ : state)
        benchmark::DoNotOptimize(radio.SolveDetector(0.0));
}
BENCHMARK(BM_SolveDetectorWithoutSignal)->Unit(benchmark::kMicrosecond);

// The defaults with "Has core": the 9.68 mm rod in the 103 mm coils couples nothing, and
// each of the 48 taps meets a detector with no signal (then a not-a-number Q).
void BM_TapSweepWithoutCoupling(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetReceiverDefaults(radio);
    SetReceiverCore(radio);
    radio.SetFrequency(1e6, 0.0);
    radio.MoveCores(0.025);
    radio.SetDistance(0.05, true);
    SweepTaps(state, radio);
}
BENCHMARK(BM_TapSweepWithoutCoupling)->Unit(benchmark::kMillisecond);

} // namespace
