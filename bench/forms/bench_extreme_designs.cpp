// SPDX-License-Identifier: GPL-3.0-or-later
// Every action of every calculator on its shipped default design, and on designs at the edges
// of what its fields accept: the default design with one ranged field at its minimum or at its
// maximum, every field at 0, and every field at 0 with every check box set. Each edge case
// runs once; at the end the default design's time of each action is listed, then the slowest
// case of each action, slowest first.
#include "bench/forms/FormBench.h"
#include "controls/VKEdit.h"

#include <QAbstractButton>
#include <QPushButton>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace
{
// The case of the shipped default design, which runs as often as the timing needs.
const std::string DefaultDesign = "default";

struct CExtremeCase
{
    QString m_Key;
    int m_Action = 0;
    std::string m_Design; // what differs from the default design, for the case's name
    std::vector<std::string> m_Records;
};

// One form per calculator for the whole program: the forms are costly to build, and the
// default design loaded before each case puts every field and choice back.
std::map<QString, std::unique_ptr<CVKFormView>>& Forms()
{
    static std::map<QString, std::unique_ptr<CVKFormView>> forms;
    return forms;
}

// The shortest plain decimal text that reads back as the same double.
std::string PlainNumber(double value)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, end.ptr);
}

std::string Record(int id, const std::string& value)
{
    return std::to_string(id) + "," + value;
}

std::vector<int> Actions(const CVKFormView& form)
{
    std::vector<int> actions;
    const QWidget* frame = form.Control(CVKFormView::IdActionFrame);
    if (!frame)
        return actions;
    for (const QPushButton* button : frame->findChildren<QPushButton*>())
    {
        const int id = CVKFormView::ControlId(button);
        if (id != 0 && id != CVKFormView::IdClear && id != CVKFormView::IdExit)
            actions.push_back(id);
    }
    return actions;
}

void AddCases(const QString& key, const CVKFormView& form, std::vector<CExtremeCase>& cases)
{
    std::vector<std::pair<std::string, std::string>> extremes; // (name, record)
    std::vector<std::string> zeros;
    std::vector<std::string> options;
    for (QWidget* control : form.Controls())
    {
        const int id = CVKFormView::ControlId(control);
        if (ClassifyControl(control) == EControlKind::Check)
            options.push_back(Record(id, "1"));
        const auto* field = qobject_cast<const CVKEdit*>(control);
        if (!field || ClassifyControl(control) != EControlKind::Edit)
            continue;
        zeros.push_back(Record(id, "0"));
        if (!field->RangeCheck())
            continue;
        const bool real = field->DecimalsAllowed();
        const std::string min =
            real ? PlainNumber(field->RealMin()) : std::to_string(field->IntMin());
        const std::string max =
            real ? PlainNumber(field->RealMax()) : std::to_string(field->IntMax());
        extremes.emplace_back(std::to_string(id) + "=min", Record(id, min));
        extremes.emplace_back(std::to_string(id) + "=max", Record(id, max));
    }
    std::vector<std::string> zerosWithOptions = options;
    zerosWithOptions.insert(zerosWithOptions.end(), zeros.begin(), zeros.end());

    for (int action : Actions(form))
    {
        cases.push_back({key, action, DefaultDesign, {}});
        for (const auto& [name, record] : extremes)
            cases.push_back({key, action, name, {record}});
        cases.push_back({key, action, "all-zero", zeros});
        cases.push_back({key, action, "all-zero+options", zerosWithOptions});
    }
}

void RunCase(benchmark::State& state, const CExtremeCase& c)
{
    CVKFormView* form = Forms()[c.m_Key].get();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    if (!LoadDefaultDesign(form, c.m_Key))
    {
        state.SkipWithError("default design file not loaded");
        return;
    }
    for (const std::string& record : c.m_Records)
        ApplyControlRecord(*form, record, ENotation::Fixed);
    for (auto _ : state)
    {
        // Each pass starts from an empty results box, as a single one does.
        form->OnCommand(CVKFormView::IdClear);
        form->OnCommand(c.m_Action);
    }
    // Which cases end in a refusal rather than a report.
    if (!messages.m_Messages.empty())
        state.SetLabel(messages.m_Messages.front().text.substr(0, 60));
}

// The console report, and then the slowest case of each calculator action.
class CWorstCaseReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
        {
            if (run.error_occurred || run.iterations == 0)
                continue;
            std::string name = run.benchmark_name();
            for (const char* tail : {"/iterations:", "/process_time"})
                name = name.substr(0, name.find(tail));
            const std::string action = name.substr(0, name.rfind('/'));
            const double count = static_cast<double>(run.iterations);
            // The wall clock is what the user waits; the processor time of every thread tells
            // whether a slow case was only a busy machine.
            const CTimes times{run.real_accumulated_time / count, run.cpu_accumulated_time / count};
            if (name.ends_with("/" + DefaultDesign))
                m_Default[action] = {times, name};
            CWorst& worst = m_Worst[action];
            if (times.m_Real >= worst.m_Times.m_Real)
                worst = {times, name + (run.report_label.empty() ? "" : "  " + run.report_label)};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintWorst() const
    {
        Print("The default design of each action", m_Default);
        Print("Slowest case of each action", m_Worst);
    }

private:
    struct CTimes
    {
        double m_Real = 0.0; // s
        double m_Cpu = 0.0;  // s
    };
    struct CWorst
    {
        CTimes m_Times;
        std::string m_Case;
    };

    static void Print(const char* title, const std::map<std::string, CWorst>& cases)
    {
        std::vector<CWorst> worst;
        for (const auto& [action, entry] : cases)
            worst.push_back(entry);
        std::sort(worst.begin(), worst.end(),
                  [](const CWorst& a, const CWorst& b)
                  { return a.m_Times.m_Real > b.m_Times.m_Real; });
        std::printf("\n%s (wall-clock and processor time):\n", title);
        for (const CWorst& w : worst)
            std::printf("%10.1f ms %10.1f ms  %s\n", w.m_Times.m_Real * 1000.0,
                        w.m_Times.m_Cpu * 1000.0, w.m_Case.c_str());
    }

    std::map<std::string, CWorst> m_Default;
    std::map<std::string, CWorst> m_Worst;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    EnsureBenchApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);

    static std::vector<CExtremeCase> cases;
    for (const CFormEntry& entry : FormEntries())
    {
        std::unique_ptr<CVKFormView> form = CreateForm(entry.m_Key);
        if (!form || !LoadDefaultDesign(form.get(), entry.m_Key))
            continue;
        AddCases(entry.m_Key, *form, cases);
        Forms()[entry.m_Key] = std::move(form);
    }
    for (const CExtremeCase& c : cases)
    {
        const std::string name =
            c.m_Key.toStdString() + "/" + std::to_string(c.m_Action) + "/" + c.m_Design;
        benchmark::internal::Benchmark* bench = benchmark::RegisterBenchmark(
            name.c_str(), [&c](benchmark::State& state) { RunCase(state, c); });
        bench
            ->MeasureProcessCPUTime() // the sweeps work on every processor
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        if (c.m_Design != DefaultDesign)
            bench->Iterations(1);
    }

    CWorstCaseReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintWorst();
    Forms().clear();
    benchmark::Shutdown();
    return 0;
}
