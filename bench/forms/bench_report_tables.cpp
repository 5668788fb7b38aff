// SPDX-License-Identifier: GPL-3.0-or-later
// What keeping the reports as tables costs: the largest table a form can write (the coil's
// inductance sweep at its 100,000-row guard) rendered to CSV, and a row added to a form.

#include "forms/ReportTable.h"
#include "forms/ResultsExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace
{
// A coil sweep's table: 19 number columns, rows as many as asked.
CReportTable CoilSweep(int rows)
{
    CReportTable table;
    table.m_Title = QStringLiteral("Analyse");
    for (int column = 0; column < 19; ++column)
        table.m_Columns.push_back({QStringLiteral("C%1").arg(column), QStringLiteral("ohm"), 4});
    table.m_Rows.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
    {
        std::vector<CReportCell> cells;
        for (int column = 0; column < 19; ++column)
            cells.push_back(CReportCell::Number(200.0 + row * 50.0 + column / 7.0));
        table.m_Rows.push_back(std::move(cells));
    }
    return table;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// The export itself: the table exists already; what the file writing adds is the peak over it.
void BM_CsvExportOfTheLargestSweep(benchmark::State& state)
{
    const std::vector<CReportTable> tables{CoilSweep(static_cast<int>(state.range(0)))};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sweep.csv"));
    const double before = ResidentMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportResultsCsv(tables, path));
    state.counters["table_MB"] = before;
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["file_MB"] = static_cast<double>(QFile(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_CsvExportOfTheLargestSweep)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CsvOfTheLargestSweep(benchmark::State& state)
{
    const std::vector<CReportTable> tables{CoilSweep(static_cast<int>(state.range(0)))};
    for (auto _ : state)
        benchmark::DoNotOptimize(TablesAsCsv(tables).size());
}
BENCHMARK(BM_CsvOfTheLargestSweep)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RenderOneRow(benchmark::State& state)
{
    const CReportTable table = CoilSweep(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(table.RowText(0).size());
}
BENCHMARK(BM_RenderOneRow);
} // namespace
