#include "models/ReceiverCircuit.h"

#include <benchmark/benchmark.h>

namespace
{

void SetReceiverCoil(CCoil& coil, double inductance, double length, double turns)
{
    coil.m_Inductance = inductance;
    coil.m_Diameter = 0.103;
    coil.m_Length = length;
    coil.m_Turns = turns;
    coil.m_ConductorDiameter = 0.5e-3;
    coil.m_Resistivity = 0.0168e-6;
    coil.m_FormerPermittivity = 2.7;
    coil.m_CoreCoilDiameter = 0.103;
    coil.m_WallThickness = 2e-3;
}

// The air-core receiver calculator's defaults: 12 and 48 turns on 103 mm formers, 8 and
// 28 mm long, 50 mm apart; 0.1 V from 50 ohm and 2200 pF at 1000 kHz.
void SetUpDistance(CReceiverCircuit& radio)
{
    SetReceiverCoil(radio.m_Primary, 33.3e-6, 0.008, 12.0);
    SetReceiverCoil(radio.m_Secondary, 331.2e-6, 0.028, 48.0);
    radio.SetFrequency(1e6, 0.0);
    radio.SetDistance(0.05, false);
    CImpedance source;
    source.SetComponent(CImpedance::Capacitor, 2200e-12, 50.0, 1e6);
    radio.SetSource(0.1, source);
}

// Default diode (diode equation forward, quadratic reverse) and 47 kOhm with 15 nF.
void SetUpDetector(CReceiverCircuit& radio)
{
    radio.SetDiode({.m_TurnOnVoltage = 0.43,
                    .m_JunctionCap = 3.38e-12,
                    .m_JunctionCapVoltage = -1.0,
                    .m_ParasiticCap = 0.1e-12,
                    .m_ForwardLaw = CDiode::ForwardDiodeEquation,
                    .m_SatCurrent = 1.61,
                    .m_Ideality = 1.1,
                    .m_ReverseLaw = CDiode::ReverseQuadratic,
                    .m_RevA = -0.0763,
                    .m_RevB = 0.6965,
                    .m_RevC = -1.8365,
                    .m_RevResistance = 338000.0,
                    .m_TransitTimeNs = 1.0,
                    .m_CapQuotient = 2.0});
    radio.SetLoad(47000.0, 0.0, 15000e-12, 0.0);
    radio.m_QMax = 10000.0;
}

void BM_AirCoreMutualInductance(benchmark::State& state)
{
    CReceiverCircuit radio;
    SetUpDistance(radio);
    for (auto _ : state)
        benchmark::DoNotOptimize(radio.AirCoreMutualInductance(0.05));
}
BENCHMARK(BM_AirCoreMutualInductance)->Unit(benchmark::kMillisecond);

// The detector at tap 10 after the no-load analysis of the defaults.
void SetUpTenthTap(CReceiverCircuit& radio)
{
    SetUpDistance(radio);
    radio.AnalyseNoLoad(1000.0, 0.0, false);
    SetUpDetector(radio);
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
        radio.AnalyseNoLoad(1000.0, 0.0, false);
        SetUpDetector(radio);
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
    SetUpDistance(radio);
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
    SetUpDistance(radio);
    radio.SetCore({.m_Diameter = 9.68e-3,
                   .m_Length = 0.18,
                   .m_InitialPermeability = 120.0,
                   .m_GapExponent = 0.8453,
                   .m_LengthExponent = 0.3598,
                   .m_LossFactor = 68.3,
                   .m_LossFactorFrequency = 1.5e6});
    radio.SetFrequency(1e6, 0.0);
    radio.MoveCores(0.025);
    radio.SetDistance(0.05, true);
    SweepTaps(state, radio);
}
BENCHMARK(BM_TapSweepWithoutCoupling)->Unit(benchmark::kMillisecond);

} // namespace
