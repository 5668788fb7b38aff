// The coil form's two actions with the shipped default design, end to end through the form:
// the fields are read and checked, the coil model solves each row and the report is written
// into the results box.
#include "database/MessagePresenter.h"
#include "forms/CoilDlg.h"
#include "forms/DesignFile.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace
{
void EnsureApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon_bench_forms";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

void RunCoilAction(benchmark::State& state, int action)
{
    EnsureApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    CCoilDlg form;
    form.OnInitialUpdate();
    const QString design =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../app/Data/Coil/Coil_Default.qwf");
    if (!LoadDesign(&form, QStringLiteral("Coil"), design)) {
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

// Five rows, 200 to 400 uH, each solved by bisection on the length.
void BM_CoilAnalyse(benchmark::State& state)
{
    RunCoilAction(state, CCoilDlg::IdAnalyse);
}
BENCHMARK(BM_CoilAnalyse)->Unit(benchmark::kMicrosecond);

// Ten rows, l/D from 1.0 to 1.9 at 200 uH.
void BM_CoilAnalyseRatioRange(benchmark::State& state)
{
    RunCoilAction(state, CCoilDlg::IdAnalyseRatioRange);
}
BENCHMARK(BM_CoilAnalyseRatioRange)->Unit(benchmark::kMicrosecond);
} // namespace
