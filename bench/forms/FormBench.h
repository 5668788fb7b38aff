#pragma once

// Runs one action of a form end to end with the form's shipped default design: the fields
// are read and checked, the models run and the report is written into the results box.

#include "database/MessagePresenter.h"
#include "forms/DesignFile.h"
#include "forms/VKFormView.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

// The forms are widgets: one offscreen application for the whole program.
inline void EnsureBenchApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon_bench_forms";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// design: the file below app/Data/, e.g. "Coil/Coil_Default.qwf".
template <class TForm>
void RunFormAction(benchmark::State& state, const char* key, const char* design, int action)
{
    EnsureBenchApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    TForm form;
    form.OnInitialUpdate();
    const QString path = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../app/Data/") +
                         QString::fromUtf8(design);
    if (!LoadDesign(&form, QString::fromLatin1(key), path)) {
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
