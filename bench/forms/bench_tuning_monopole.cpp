// The tuning capacitor and monopole actions, end to end through the form: the fields of the
// shipped default design are read and checked, the models run and the report is written
// into the results box.
#include "database/MessagePresenter.h"
#include "forms/DesignFile.h"
#include "forms/MonopoleDlg.h"
#include "forms/TuningCapDlg.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// The forms are widgets: one offscreen application for the whole program.
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

QString DefaultDesign(const char* relative)
{
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../app/Data/") +
           QString::fromUtf8(relative);
}

template <class TForm>
void RunAction(benchmark::State& state, const char* key, const char* design, int action)
{
    EnsureApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    TForm form;
    form.OnInitialUpdate();
    if (!LoadDesign(&form, QString::fromLatin1(key), DefaultDesign(design))) {
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

void BM_TuningCapCalculate(benchmark::State& state)
{
    RunAction<CTuningCapDlg>(state, "TuningCap", "TuningCap/Tuning Cap_Default.qwf", CVKFormView::IdMainAction);
}

void BM_MonopoleAnalyse(benchmark::State& state)
{
    RunAction<CMonopoleDlg>(state, "Monopole", "Monopole/Monopole_Default.qwf", CVKFormView::IdMainAction);
}

void BM_MonopoleResonantLoadSweep(benchmark::State& state)
{
    RunAction<CMonopoleDlg>(state, "Monopole", "Monopole/Monopole_Default.qwf", CMonopoleDlg::IdResonantSweep);
}

void BM_MonopoleEnteredLoadSweep(benchmark::State& state)
{
    RunAction<CMonopoleDlg>(state, "Monopole", "Monopole/Monopole_Default.qwf", CMonopoleDlg::IdLoadSweep);
}

} // namespace

BENCHMARK(BM_TuningCapCalculate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonopoleAnalyse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonopoleResonantLoadSweep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonopoleEnteredLoadSweep)->Unit(benchmark::kMicrosecond);
