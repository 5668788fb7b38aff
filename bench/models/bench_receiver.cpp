// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReceiverCircuit.h"
#include "tests/models/ReceiverDefaults.h"

#include <benchmark/benchmark.h>

#include <cmath>

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

// The largest coils the calculator takes: 999.9 turns each, at one distance.
void BM_AirCoreMutualInductanceLargestCoils(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetReceiverDefaults(radio);
    radio.m_Primary.m_Turns = 999.9;
    radio.m_Secondary.m_Turns = 999.9;
    for (auto _ : state)
        benchmark::DoNotOptimize(radio.AirCoreMutualInductance(0.05));
}
BENCHMARK(BM_AirCoreMutualInductanceLargestCoils)->Unit(benchmark::kMillisecond)->UseRealTime();

// What any sum of the loop fields costs at the least: the default coils' mutual inductance at
// the seven distances of the default sweep (50 to 110 mm), written straight from the
// Biot-Savart integral of each primary turn over 50 points, with the angles' cosines and
// sines tabulated, on one processor.
void BM_LoopFieldFloor(benchmark::State& state)
{
    constexpr int Points = 50;
    constexpr int Rings = 16;
    constexpr double Pi = 3.141592653589793;
    double cosine[Points];
    double sine[Points];
    for (int n = 0; n < Points; ++n)
    {
        cosine[n] = std::cos(2.0 * Pi * n / Points);
        sine[n] = std::sin(2.0 * Pi * n / Points);
    }
    const double a = 0.0515; // both coils' radius, m
    const double l1 = 0.008, l2 = 0.028;
    const int n1 = 12, n2 = 48;
    const double dr = a / Rings;
    for (auto _ : state)
    {
        double total = 0.0;
        for (int step = 0; step < 7; ++step)
        {
            const double distance = 0.05 + 0.01 * step;
            double mutual = 0.0;
            for (int i = 0; i < n1; ++i)
                for (int j = 0; j < n2; ++j)
                {
                    const double z = l1 + distance - i * l1 / n1 + j * l2 / n2;
                    for (int k = 1; k <= Rings; ++k)
                    {
                        const double rho = a - k * dr; // the ring's inner edge
                        double field = 0.0;
                        for (int n = 0; n < Points; ++n)
                        {
                            const double dx = rho - a * cosine[n];
                            const double dy = a * sine[n];
                            const double r2 = dx * dx + dy * dy + z * z;
                            field += (a - rho * cosine[n]) / (r2 * std::sqrt(r2));
                        }
                        const double area =
                            Pi * ((a - (k - 1) * dr) * (a - (k - 1) * dr) - rho * rho);
                        mutual += 1e-7 * a * (2.0 * Pi / Points) * field * area;
                    }
                }
            total += mutual;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_LoopFieldFloor)->Unit(benchmark::kMillisecond);

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
