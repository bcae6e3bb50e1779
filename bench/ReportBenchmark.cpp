// What building a report costs next to parsing the files it is built from: the snapshot
// copy, the selection and order of the companies and every series list, with and without
// the texts the window shows.

#include "GeneratedMarket.h"
#include "marketdata/MarketDataLoaders.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportTexts.h"
#include "session/Notifier.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

namespace strikeline {
namespace {

class CSilentNotifier : public CNotifier {
public:
    void RequestRefresh(RefreshKind) override {}
    void StatusChanged() override {}
    void ShowMessage(const std::string& text, MessageIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
};

// The loaded market of a scale, kept for the whole run.
struct CLoadedMarket {
    CCompanyList calls;
    CCompanyList puts;
    CSharedNameTable names;
    CSharedNameTable top20;
};

CLoadedMarket& LoadedMarket(int scale) {
    static std::map<int, std::unique_ptr<CLoadedMarket>> markets;
    auto& market = markets[scale];
    if (!market) {
        market = std::make_unique<CLoadedMarket>();
        const std::string& folder = bench::GeneratedFolder(scale).folder;
        CSilentNotifier notifier;
        LoadOptionFile(true, folder, market->calls, notifier);
        LoadOptionFile(false, folder, market->puts, notifier);
        LoadCompanyNamesFile(folder, market->names, notifier);
        LoadTop20File(folder, market->top20, notifier);
    }
    return *market;
}

// 2010-06-24 06:00 UTC, the close of the generated trading day in Sydney.
const FileTime kNow = FileTimeFromUnix(1277359200);

void BuildCallReport(benchmark::State& state, bool allExpiries, bool withTexts) {
    CLoadedMarket& market = LoadedMarket(static_cast<int>(state.range(0)));
    const auto top20 = market.top20.Get();
    const auto names = market.names.Get();
    CReportSettings settings;
    if (allExpiries) {
        settings.SetExpire(CReportSettings::AllMonths);
    }
    settings.SetDisplayLeveragedBar(withTexts);
    std::size_t series = 0;
    for (auto _ : state) {
        const CReport report =
            BuildReport(ReportKind::Call, settings, {market.calls, market.puts, *top20}, kNow);
        series = 0;
        for (const CReportBlock& block : report.blocks) {
            series += block.series.size();
            if (withTexts) {
                benchmark::DoNotOptimize(CompanyValueTexts(block.company, *names));
                for (std::size_t i = 0; i < block.series.size(); ++i) {
                    benchmark::DoNotOptimize(SeriesRowTexts(block.company, block.Series(i)));
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
