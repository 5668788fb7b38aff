// The ferrite rod, diode capacitance and impedance actions, end to end through the form made
// by the factory: the default design of the calculator is loaded, then each press reads and
// checks the fields, runs the model and appends the report to the results box.
#include "database/MessagePresenter.h"
#include "forms/DesignFile.h"
#include "forms/DiodeCapacitanceDlg.h"
#include "forms/FerriteDlg.h"
#include "forms/FormFactory.h"
#include "forms/ImpedanceDlg.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// One offscreen application for the forms' widgets.
void StartApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon_bench_forms";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

void PressWithDefaultDesign(benchmark::State& state, const QString& key, int action)
{
    StartApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    const CFormEntry* entry = FindFormEntry(key);
    std::unique_ptr<CVKFormView> form = CreateForm(key);
    const QString data =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../app");
    if (!entry || !form || !LoadDesign(form.get(), key, DefaultDesignPath(data, *entry)))
    {
        state.SkipWithError("default design not loaded");
        return;
    }
    qsizetype reportSize = 0;
    for (auto _ : state)
    {
        form->OnCommand(CVKFormView::IdClear);
        form->OnCommand(action);
        reportSize = form->ResultsText().size();
        benchmark::DoNotOptimize(reportSize);
    }
    if (reportSize == 0 || !messages.m_Messages.empty())
        state.SkipWithError("the action wrote no report");
}

void BM_FerriteCalcInductance(benchmark::State& state)
{
    PressWithDefaultDesign(state, QStringLiteral("Ferrite"), FerriteDlg::IdCalcInductance);
}

void BM_DiodeCalcJunctionCap(benchmark::State& state)
{
    PressWithDefaultDesign(state, QStringLiteral("DiodeCapacitance"),
                           DiodeCapacitanceDlg::IdCalcJunction);
}

void BM_DiodeCalcDiffusionCap(benchmark::State& state)
{
    PressWithDefaultDesign(state, QStringLiteral("DiodeCapacitance"),
                           DiodeCapacitanceDlg::IdCalcDiffusion);
}

void BM_ImpedanceCalImpedance(benchmark::State& state)
{
    PressWithDefaultDesign(state, QStringLiteral("Impedance"), CImpedanceDlg::IdCalcImpedance);
}

void BM_ImpedanceCalResonance(benchmark::State& state)
{
    PressWithDefaultDesign(state, QStringLiteral("Impedance"), CImpedanceDlg::IdCalcResonance);
}
} // namespace

BENCHMARK(BM_FerriteCalcInductance)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiodeCalcJunctionCap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DiodeCalcDiffusionCap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImpedanceCalImpedance)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImpedanceCalResonance)->Unit(benchmark::kMicrosecond);
