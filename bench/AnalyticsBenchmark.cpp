// What the option analytics cost: one implied volatility by the independent reference for
// scale, one series of the generated market on average, and the whole ten-times market on
// the two threads a worker gets.

#include "GeneratedMarket.h"
#include "QuantLibReference.h"
#include "analytics/DividendIndex.h"
#include "analytics/MarketAnalytics.h"
#include "analytics/SeriesAnalytics.h"

#include <benchmark/benchmark.h>

namespace strikeline {
namespace {

// 2010-06-24 06:00 UTC, the close of the generated trading day in Sydney.
const FileTime kNow = FileTimeFromUnix(1277359200);

// A typical written put: a little in the money, three months, a dividend on the way.
void BM_ReferenceImpliedVolatility(benchmark::State& state) {
    const test::CReferenceOption put{false, 20.0, 21.0, 90, 0.04, {{40, 0.5}}};
    const double premium = test::ReferenceValue(put, 0.3).price;
    for (auto _ : state) {
        benchmark::DoNotOptimize(test::ReferenceImpliedVolatility(put, premium));
    }
}

void BM_SeriesAnalytics(benchmark::State& state) {
    const CMarketSnapshot& market = bench::LoadedMarket(1);
    const CDividendIndex dividends(market.Dividends());
    const CAnalyticsContext context = MakeAnalyticsContext(kNow, CAnalyticsSettings());
    std::size_t series = 0;
    for (const bool isCall : {true, false}) {
        for (const CCompanyInfo& company : market.Companies(isCall)) {
            series += company.Contracts().size();
        }
    }
    for (auto _ : state) {
        for (const bool isCall : {true, false}) {
            for (const CCompanyInfo& company : market.Companies(isCall)) {
                const auto shareDividends = dividends.Of(company.Code());
                for (const CContractInfo& contract : company.Contracts()) {
                    benchmark::DoNotOptimize(
                        ComputeSeriesAnalytics(company, contract, shareDividends, context));
                }
            }
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * series));
    // Seconds per series, the average over the market.
    state.counters["per_series"] = benchmark::Counter(
        static_cast<double>(series),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MarketAnalytics(benchmark::State& state) {
    const CMarketSnapshot& market = bench::LoadedMarket(static_cast<int>(state.range(0)));
    const CAnalyticsContext context = MakeAnalyticsContext(kNow, CAnalyticsSettings());
    std::size_t series = 0;
    for (auto _ : state) {
        const auto analytics = ComputeMarketAnalytics(market, context, 2);
        series = analytics->Size();
    }
    state.counters["series"] = static_cast<double>(series);
}

BENCHMARK(BM_ReferenceImpliedVolatility)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesAnalytics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarketAnalytics)->Arg(10)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strikeline
