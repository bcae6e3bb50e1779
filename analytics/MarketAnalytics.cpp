#include "analytics/MarketAnalytics.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace strikeline {

namespace {

// Calls `work(i)` for every i below `count`, on `threads` threads (0: one per core), until
// `cancel` is set. Small batches keep every core busy to the end (series on the grid cost
// far more than those in closed form) and let a cancel take effect soon.
template <typename Work>
void RunInBatches(std::size_t count, unsigned threads, const std::atomic<bool>* cancel,
                  const Work& work) {
    std::atomic<std::size_t> next{0};
    constexpr std::size_t kBatch = 16;
    auto run = [&] {
        for (;;) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                return;
            }
            const std::size_t start = next.fetch_add(kBatch);
            if (start >= count) {
                return;
            }
            for (std::size_t i = start; i < std::min(start + kBatch, count); ++i) {
                work(i);
            }
        }
    };
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    std::vector<std::jthread> pool;
    for (unsigned t = 1; t < threads && t < count; ++t) {
        pool.emplace_back(run);
    }
    run();
}

CMarketAnalytics::CModelRecord PackModel(const CSeriesAnalytics& analytics) {
    CMarketAnalytics::CModelRecord record;
    const CImpliedVolatility& volatility = analytics.volatility;
    record.hasVolatility = volatility.volatility.has_value();
    record.volatility = volatility.volatility.value_or(0.0);
    record.delta = volatility.delta;
    if (volatility.absence) {
        record.absence = static_cast<std::int8_t>(*volatility.absence);
    }
    record.hasChance = analytics.chanceOfExercise.has_value();
    record.chanceOfExercise = analytics.chanceOfExercise.value_or(0.0);
    if (const auto& early = analytics.earlyExercise) {
        const auto found = std::find_if(
            analytics.dividends.begin(), analytics.dividends.end(), [&](const CDividend& d) {
                return d.date == early->exDate && d.amount == early->dividend;
            });
        record.earlyExercise = static_cast<std::int8_t>(found - analytics.dividends.begin());
    }
    return record;
}

void UnpackModel(const CMarketAnalytics::CModelRecord& record, CSeriesAnalytics& analytics) {
    CImpliedVolatility& volatility = analytics.volatility;
    if (record.hasVolatility) {
        volatility.volatility = record.volatility;
    }
    volatility.delta = record.delta;
    if (record.absence >= 0) {
        volatility.absence = static_cast<VolatilityAbsence>(record.absence);
    }
    if (record.hasChance) {
        analytics.chanceOfExercise = record.chanceOfExercise;
    }
    if (record.earlyExercise >= 0) {
        const CDividend& dividend =
            analytics.dividends[static_cast<std::size_t>(record.earlyExercise)];
        analytics.earlyExercise = CEarlyExercise{dividend.date, dividend.amount};
    }
}

} // namespace

CMarketAnalytics::CMarketAnalytics(const CMarketSnapshot& market, const CAnalyticsContext& context)
    : m_Market(market), m_Dividends(market.Dividends()), m_Context(context) {}

std::optional<CSeriesAnalytics> CMarketAnalytics::Find(bool isCall,
                                                       std::string_view seriesCode) const {
    const std::vector<CEntry>& table = isCall ? m_Calls : m_Puts;
    const auto found = std::lower_bound(table.begin(), table.end(), seriesCode,
                                        [](const CEntry& entry, std::string_view code) {
                                            return std::string_view(entry.series->Code()) < code;
                                        });
    if (found == table.end() || found->series->Code() != seriesCode) {
        return std::nullopt;
    }
    const CCompanyInfo& company = *found->series->Company();
    CSeriesAnalytics analytics = ComputeClosedFormAnalytics(
        company, *found->series, m_Dividends.Of(company.Code()), m_Context);
    UnpackModel(found->model, analytics);
    return analytics;
}

std::vector<CSeriesAnalytics> ComputeSeriesAnalytics(const std::vector<CSeriesRef>& work,
                                                     const CDividendIndex& dividends,
                                                     const CAnalyticsContext& context,
                                                     unsigned threads,
                                                     const std::atomic<bool>* cancel) {
    std::vector<CSeriesAnalytics> results(work.size());
    RunInBatches(work.size(), threads, cancel, [&](std::size_t i) {
        results[i] = ComputeSeriesAnalytics(*work[i].company, *work[i].series,
                                            dividends.Of(work[i].company->Code()), context);
    });
    return results;
}

std::shared_ptr<const CMarketAnalytics> ComputeMarketAnalytics(const CMarketSnapshot& market,
                                                               const CAnalyticsContext& context,
                                                               unsigned threads,
                                                               const std::atomic<bool>* cancel) {
    // Not make_shared: the constructor is the class's own.
    std::shared_ptr<CMarketAnalytics> analytics(new CMarketAnalytics(market, context));
    for (const bool isCall : {true, false}) {
        std::vector<CMarketAnalytics::CEntry>& table =
            isCall ? analytics->m_Calls : analytics->m_Puts;
        std::size_t count = 0;
        for (const CCompanyInfo& company : analytics->m_Market.Companies(isCall)) {
            count += company.Contracts().size();
        }
        table.reserve(count);
        for (const CCompanyInfo& company : analytics->m_Market.Companies(isCall)) {
            for (const CContractInfo& series : company.Contracts()) {
                table.push_back({&series, {}});
            }
        }
        // Stable, so that of two series with one code the first is found, as before.
        std::stable_sort(table.begin(), table.end(), [](const auto& a, const auto& b) {
            return a.series->Code() < b.series->Code();
        });
        RunInBatches(table.size(), threads, cancel, [&](std::size_t i) {
            CMarketAnalytics::CEntry& entry = table[i];
            const CCompanyInfo& company = *entry.series->Company();
            entry.model = PackModel(ComputeSeriesAnalytics(
                company, *entry.series, analytics->m_Dividends.Of(company.Code()), context));
        });
        if (cancel != nullptr && cancel->load()) {
            return nullptr;
        }
    }
    return analytics;
}

} // namespace strikeline
