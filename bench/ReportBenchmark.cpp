// What building a report costs next to parsing the files it is built from: the snapshot
// copy, the selection and order of the companies and every series list, with and without
// the texts the window shows.

#include "GeneratedMarket.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportTexts.h"

#include <benchmark/benchmark.h>

namespace strikeline {
namespace {

// 2010-06-24 06:00 UTC, the close of the generated trading day in Sydney.
const FileTime kNow = FileTimeFromUnix(1277359200);

void BuildCallReport(benchmark::State& state, bool allExpiries, bool withTexts) {
    const CMarketSnapshot& market = bench::LoadedMarket(static_cast<int>(state.range(0)));
    CReportSettings settings;
    if (allExpiries) {
        settings.SetExpire(CReportSettings::AllMonths);
    }
    settings.SetDisplayLeveragedBar(withTexts);
    std::size_t series = 0;
    for (auto _ : state) {
        const CReport report = BuildReport(ReportKind::Call, settings, market, kNow);
        series = 0;
        for (const CReportBlock& block : report.blocks) {
            series += block.series.size();
            if (withTexts) {
                benchmark::DoNotOptimize(CompanyValueTexts(*block.company, market.CompanyNames()));
                for (std::size_t i = 0; i < block.series.size(); ++i) {
                    benchmark::DoNotOptimize(SeriesRowTexts(*block.company, block.Series(i)));
                }
            }
        }
    }
    const std::size_t fileSeries =
        bench::GeneratedFolder(static_cast<int>(state.range(0))).callSeries;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * fileSeries));
    state.counters["listed_series"] = static_cast<double>(series);
}

void BM_BuildCallReport(benchmark::State& state) {
    BuildCallReport(state, false, false);
}
void BM_BuildCallReportAllExpiries(benchmark::State& state) {
    BuildCallReport(state, true, false);
}
void BM_BuildCallReportAllExpiriesWithTexts(benchmark::State& state) {
    BuildCallReport(state, true, true);
}

BENCHMARK(BM_BuildCallReport)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCallReportAllExpiries)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCallReportAllExpiriesWithTexts)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strikeline

BENCHMARK_MAIN();
