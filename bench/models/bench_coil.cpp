// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Coil.h"

#include <benchmark/benchmark.h>

namespace
{

// The coil calculator's defaults: 0.63 mm copper, 0.68 mm pitch, 17.18 mm diameter,
// former permittivity 3.0 and 2 mm wall, 1000 kHz.
void SetDefaults(CCoil& coil)
{
    coil.Reset();
    coil.m_ConductorDiameter = 0.63e-3;
    coil.m_WireDiameter = 0.68e-3;
    coil.m_Resistivity = 0.0168e-6;
    coil.m_FormerPermeability = 1.0;
    coil.m_FormerPermittivity = 3.0;
    coil.m_DissipationFactor = 0.0;
    coil.m_Frequency = 1000.0e3;
    coil.m_WallThickness = 2.0e-3;
    coil.m_Pitch = 0.68e-3;
    coil.m_Diameter = 17.18e-3;
}

// Times one full analysis (SolveGeometry, ComputeLosses, Analyse). Each pass starts from the
// defaults; `choose` enters what the calculator's input choice adds and sets the model's mode.
void RunAnalysis(benchmark::State& state, void (*choose)(CCoil&))
{
    CCoil coil;
    for (auto _ : state)
    {
        SetDefaults(coil);
        choose(coil);
        if (!(coil.SolveGeometry() && coil.ComputeLosses() && coil.Analyse()))
        {
            state.SkipWithError("the coil could not be solved");
            break;
        }
        benchmark::DoNotOptimize(coil.m_QEff);
    }
}

// "Enter pitch": 40 turns on the default diameter and pitch.
void ChooseFortyTurns(CCoil& coil)
{
    coil.m_Turns = 40;
    coil.SetMode(CCoil::ModeDiameterTurnsPitch);
}

// Mode 0, "Enter l/d ratio and pitch" at the default 300 uH and l/D 0.407: the diameter in
// closed form, then the losses and the self-resonance.
void BM_CoilAnalysisGivenRatio(benchmark::State& state)
{
    RunAnalysis(state,
                [](CCoil& coil)
                {
                    coil.m_Inductance = 300e-6;
                    coil.m_LengthToDiameter = 0.407;
                    coil.SetMode(CCoil::ModeInductancePitchRatio);
                });
}
BENCHMARK(BM_CoilAnalysisGivenRatio);

// Mode 1, one analysis row of "Enter diameter and pitch" at the default 300 uH: the bisection
// on the length, then the losses and the self-resonance.
void BM_CoilAnalysisGivenInductance(benchmark::State& state)
{
    RunAnalysis(state,
                [](CCoil& coil)
                {
                    coil.m_Inductance = 300e-6;
                    coil.SetMode(CCoil::ModeInductancePitchDiameter);
                });
}
BENCHMARK(BM_CoilAnalysisGivenInductance);

// Mode 2 without a core: the inductance from the geometry.
void BM_CoilAnalysisGivenTurns(benchmark::State& state)
{
    RunAnalysis(state, ChooseFortyTurns);
}
BENCHMARK(BM_CoilAnalysisGivenTurns);

// Mode 2 as the calculator starts it, "Has core" checked: the same coil over the default
// ferrite rod, initial permeability 120.
void BM_CoilAnalysisWithCore(benchmark::State& state)
{
    RunAnalysis(state,
                [](CCoil& coil)
                {
                    ChooseFortyTurns(coil);
                    coil.m_HasCore = true;
                    coil.m_RodDiameter = 9.68e-3;
                    coil.m_RodLength = 180.0e-3;
                    coil.m_CoreCoilDiameter = 17.18e-3;
                    coil.m_Length = coil.m_Pitch * coil.m_Turns;
                    coil.ComputeApparentPermeability(120.0, 0.8453, 0.3598, 0.0);
                    coil.m_LossFactor = 68.3;
                    coil.m_LossFactorFrequency = 1500.0e3;
                });
}
BENCHMARK(BM_CoilAnalysisWithCore);

// The Nagaoka-corrected inductance of 40 turns, 17.18 mm by 27.2 mm.
void BM_NagaokaInductance(benchmark::State& state)
{
    double diameter = 17.18e-3;
    double length = 27.2e-3;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(diameter);
        benchmark::DoNotOptimize(length);
        const double k = CEquations::NagaokaCoefficient(length / diameter);
        double inductance = CEquations::SolenoidInductance(40.0, diameter, length, k, 1.0);
        benchmark::DoNotOptimize(inductance);
    }
}
BENCHMARK(BM_NagaokaInductance);

void BM_ProximityFactor(benchmark::State& state)
{
    double ratio = 0.68 / 0.63;
    double lengthToDiameter = 1.5832;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(ratio);
        benchmark::DoNotOptimize(lengthToDiameter);
        double factor = CCoil::ProximityFactor(ratio, lengthToDiameter);
        benchmark::DoNotOptimize(factor);
    }
}
BENCHMARK(BM_ProximityFactor);

} // namespace
