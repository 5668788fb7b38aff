// SPDX-License-Identifier: GPL-3.0-or-later
// The "Plot" tab after a sweep: from the end of the action to the chart painted, for the
// largest sweep of each calculator with its shipped default design, and for the largest table
// a form can hold (100,000 rows of the coil's layout).
#include "bench/forms/FormBench.h"
#include "forms/ResultsPlot.h"

#include <QImage>
#include <QPainter>

#include <qcustomplot.h>

namespace
{
// Takes the tables as the tab does once the action is over, and paints the chart.
void PlotAndPaint(benchmark::State& state, CPlotView& view, const std::vector<CReportTable>& tables)
{
    view.resize(1000, 600);
    QImage picture(view.Chart()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        view.SetTables(&tables);
        view.UpdatePlot();
        view.Chart()->replot(QCustomPlot::rpImmediateRefresh);
        QPainter painter(&picture);
        view.Chart()->render(&painter);
    }
    state.counters["rows"] = static_cast<double>(view.Data().Rows());
    state.counters["series"] = view.Chart()->plottableCount();
    if (view.Chart()->plottableCount() == 0)
        state.SkipWithError("nothing was plotted");
}

void PlotSweep(benchmark::State& state, const QString& key, int action,
               const std::vector<std::pair<int, QString>>& fields = {})
{
    EnsureBenchApplication();
    CRecordingPresenter messages;
    CScopedPresenter scope(messages);
    std::unique_ptr<CVKFormView> form = DefaultForm(key);
    if (!form)
        return state.SkipWithError("default design file not loaded");
    for (const auto& [id, value] : fields)
        ApplyControlRecord(*form, (QString::number(id) + QLatin1Char(',') + value).toStdString(),
                           ENotation::Fixed);
    form->OnCommand(action);
    if (!messages.m_Messages.empty())
        return state.SkipWithError(messages.m_Messages.front().text.c_str());
    CPlotView view(key);
    PlotAndPaint(state, view, form->Tables());
}

// The coil's sweep near its guard: from the default start to 499,000 uH in 50 uH steps.
void BM_PlotCoilSweep(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("Coil"), 3, {{1216, QStringLiteral("499000")}});
}
BENCHMARK(BM_PlotCoilSweep)->Unit(benchmark::kMillisecond);

void BM_PlotCoilRatioRange(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("Coil"), 4);
}
BENCHMARK(BM_PlotCoilRatioRange)->Unit(benchmark::kMillisecond);

void BM_PlotReceiverNoLoad(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("CrystalRadio"), 3);
}
BENCHMARK(BM_PlotReceiverNoLoad)->Unit(benchmark::kMillisecond);

void BM_PlotReceiverEachLoop(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("CrystalRadio"), 4);
}
BENCHMARK(BM_PlotReceiverEachLoop)->Unit(benchmark::kMillisecond);

void BM_PlotReceiverMaxSpl(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("CrystalRadio"), 6);
}
BENCHMARK(BM_PlotReceiverMaxSpl)->Unit(benchmark::kMillisecond);

void BM_PlotMonopoleBand(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("Monopole"), 4);
}
BENCHMARK(BM_PlotMonopoleBand)->Unit(benchmark::kMillisecond);

void BM_PlotDiodeDiffusion(benchmark::State& state)
{
    PlotSweep(state, QStringLiteral("DiodeCapacitance"), 4);
}
BENCHMARK(BM_PlotDiodeDiffusion)->Unit(benchmark::kMillisecond);

// A table of the coil sweep's layout with as many rows as asked.
std::vector<CReportTable> CoilTable(int rows)
{
    CReportTable table;
    table.m_Title = QStringLiteral("Analyse");
    for (const char* name :
         {"L", "Wire length", "R(DC)", "R(AC) wire", "R(AC) coil", "R(former)", "R(core)", "X", "Q",
          "Diam", "Length", "l/D", "Pitch", "Turns", "C(axial)", "C(sr)", "F(sr)", "Alpha", "Qeff"})
        table.m_Columns.push_back({QString::fromLatin1(name), QString(), 2});
    table.m_Columns[0].m_Unit = QStringLiteral("uH");
    table.m_Columns[1].m_Unit = QStringLiteral("m");
    for (int row = 0; row < rows; ++row)
    {
        std::vector<CReportCell> cells;
        const double inductance = 200.0 + 0.05 * row;
        for (size_t column = 0; column < table.m_Columns.size(); ++column)
            cells.push_back(CReportCell::Number(column == 8 ? 150.0 + std::sin(row * 1e-3) * 40.0
                                                            : inductance * (1.0 + column)));
        table.m_Rows.push_back(std::move(cells));
    }
    return {table};
}

void BM_PlotLargestTable(benchmark::State& state)
{
    EnsureBenchApplication();
    const std::vector<CReportTable> tables = CoilTable(static_cast<int>(state.range(0)));
    CPlotView view(QStringLiteral("Coil"));
    PlotAndPaint(state, view, tables);
}
BENCHMARK(BM_PlotLargestTable)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace
