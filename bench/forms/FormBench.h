// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs one action of a form end to end with the form's shipped default design: the fields
// are read and checked, the models run and the report is written into the results box.

#include "app/DesignFile.h"
#include "calculators/FormFactory.h"
#include "database/MessagePresenter.h"
#include "forms/VKFormView.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <memory>

// The forms are widgets: one offscreen application for the whole program.
inline void EnsureBenchApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon_bench_forms";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's input devices would go after the platform they belong to.
    new QApplication(argc, argv);
}

// Loads the shipped default design of calculator `key` (below app/Data) into the form.
inline bool LoadDefaultDesign(CVKFormView* form, const QString& key)
{
    const CFormEntry* entry = FindFormEntry(key);
    const QString app =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../app");
    return entry && form && LoadDesign(form, key, DefaultDesignPath(app, *entry));
}

// The form of calculator `key` as the factory makes it, loaded with the default design below
// app/Data; null when that design is not found.
inline std::unique_ptr<CVKFormView> DefaultForm(const QString& key)
{
    std::unique_ptr<CVKFormView> form = CreateForm(key);
    if (!LoadDefaultDesign(form.get(), key))
        return nullptr;
    return form;
}

// The default form of calculator `key`; each pass clears the results and runs `action`.
inline void RunFormAction(benchmark::State& state, const QString& key, int action)
{
    EnsureBenchApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    std::unique_ptr<CVKFormView> form = DefaultForm(key);
    if (!form)
    {
        state.SkipWithError("default design file not loaded");
        return;
    }
    for (auto _ : state)
    {
        form->OnCommand(CVKFormView::IdClear);
        form->OnCommand(action);
        benchmark::DoNotOptimize(form->ResultsText().size());
    }
    if (form->ResultsText().isEmpty() || !messages.m_Messages.empty())
        state.SkipWithError("the action wrote no report");
}
