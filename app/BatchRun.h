// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The batch mode: quillon --batch KEY [--load FILE] [--set ID=VALUE]... [--press ID]...
// [--save FILE] [--export-csv FILE] [--export-pdf FILE] [--progress] [--plot FILE]
// [--plot-size WxH]. Creates form KEY as the window would (with its default design file
// where FindDefaultDesign finds one), applies the options in the order given, and returns the
// results-box text with "\n" line ends in out. Every message becomes one line "TITLE: TEXT" in
// err. Needs a QApplication (main selects the offscreen platform).
//
// args are the whole command line, program name first. Returns the exit status: 0, 1 when
// a message titled "Error" or "ERROR" was shown, 2 for bad usage (a usage line in err).
// --help and --version put their text in out and return 0. With --progress a long action
// writes a line of how far it has got through `progress` as it runs (standard error when
// none is given).
int RunBatch(const QStringList& args, QString& out, QString& err,
             const std::function<void(const QString&)>& progress = {});

// One option of a batch run.
enum class EBatchStep
{
    Load,
    Set,
    Press,
    Part,
    Save,
    ExportCsv,
    ExportPdf,
    Plot,
};

struct CBatchStep
{
    EBatchStep m_Kind;
    QString m_Text; // file path, the record line "ID,VALUE", or "GROUP=NAME" of a part
    int m_Id = 0;   // button to press
};

// What a batch command line asks for: the form key and the options in the order given.
struct CBatchPlan
{
    QString m_Key;
    std::vector<CBatchStep> m_Steps;
    bool m_Progress = false; // --progress
    QSize m_PlotSize;        // --plot-size, or the default
};

inline constexpr int BatchPlanReady = -1;

// Reads a batch command line without running anything: BatchPlanReady with the plan filled
// when there is a form to run; otherwise the exit status RunBatch returns, with the --help or
// --version text in out or the usage in err.
int ParseBatchArgs(const QStringList& args, CBatchPlan& plan, QString& out, QString& err);

// True when the command line asks for the batch mode, --help or --version: no window then.
bool WantsBatch(const QStringList& args);
