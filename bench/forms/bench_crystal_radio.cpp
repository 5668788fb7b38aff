// The air-core receiver's four actions, end to end through the form with its shipped default
// design: the fields are read and checked, the engine sweeps the distances (and the taps)
// and the report is written into the results box.
#include "database/MessagePresenter.h"
#include "forms/DesignFile.h"
#include "forms/MutualInductanceDlg.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace
{
// The form is a widget: an offscreen application, unless the program already has one.
void Application()
{
    static int argc = 1;
    static char name[] = "bench_crystal_radio";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
}

void RunCrystalRadio(benchmark::State& state, int action)
{
    Application();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    CMutualInductanceDlg form;
    form.OnInitialUpdate();
    const QString design = QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
                           QStringLiteral("/../../app/Data/CrystalRadio/Air-core crystal radio_Default.qwf");
    if (!LoadDesign(&form, form.m_strFormKey, design)) {
        state.SkipWithError("default design file not loaded");
        return;
    }
    for (auto _ : state) {
        form.OnCommand(CVKFormView::IdClear);
        form.OnCommand(action);
        benchmark::DoNotOptimize(form.ResultsText().size());
    }
    if (form.ResultsText().isEmpty() || !messages.m_Messages.empty())
        state.SkipWithError("the action wrote no report");
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

BENCHMARK(BM_CrystalRadioAnalyseNoLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioSplEachLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioMaxSplOverDistance)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrystalRadioSplAtLoopOverDistance)->Unit(benchmark::kMillisecond);
