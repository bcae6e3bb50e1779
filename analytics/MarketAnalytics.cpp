#include "analytics/MarketAnalytics.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace strikeline {

const CSeriesAnalytics* CMarketAnalytics::Find(bool isCall, std::string_view seriesCode) const {
    const auto& table = isCall ? m_Calls : m_Puts;
    const auto found = table.find(std::string(seriesCode));
    return found == table.end() ? nullptr : &found->second;
}

std::vector<CSeriesAnalytics> ComputeSeriesAnalytics(const std::vector<CSeriesRef>& work,
                                                     const CDividendIndex& dividends,
                                                     const CAnalyticsContext& context,
                                                     unsigned threads,
                                                     const std::atomic<bool>* cancel) {
    std::vector<CSeriesAnalytics> results(work.size());
    std::atomic<std::size_t> next{0};
    // Small batches keep every core busy to the end (series on the grid cost far more than
    // those in closed form) and let a cancel take effect soon.
    constexpr std::size_t kBatch = 16;
    auto run = [&] {
        for (;;) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                return;
            }
            const std::size_t start = next.fetch_add(kBatch);
            if (start >= work.size()) {
                return;
            }
            for (std::size_t i = start; i < std::min(start + kBatch, work.size()); ++i) {
                results[i] = ComputeSeriesAnalytics(*work[i].company, *work[i].series,
                                                    dividends.Of(work[i].company->Code()), context);
            }
        }
    };
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    std::vector<std::jthread> pool;
    for (unsigned t = 1; t < threads && t < work.size(); ++t) {
        pool.emplace_back(run);
    }
    run();
    return results;
}

std::shared_ptr<const CMarketAnalytics> ComputeMarketAnalytics(const CMarketSnapshot& market,
                                                               const CAnalyticsContext& context,
                                                               unsigned threads,
                                                               const std::atomic<bool>* cancel) {
    std::vector<CSeriesRef> work;
    for (const bool isCall : {true, false}) {
        for (const CCompanyInfo& company : market.Companies(isCall)) {
            for (const CContractInfo& series : company.Contracts()) {
                work.push_back({&company, &series});
            }
        }
    }
    std::vector<CSeriesAnalytics> results =
        ComputeSeriesAnalytics(work, CDividendIndex(market.Dividends()), context, threads, cancel);
    if (cancel != nullptr && cancel->load()) {
        return nullptr;
    }

    auto analytics = std::make_shared<CMarketAnalytics>();
    analytics->m_Context = context;
    for (std::size_t i = 0; i < work.size(); ++i) {
        auto& table = work[i].company->IsCall() ? analytics->m_Calls : analytics->m_Puts;
        table.try_emplace(work[i].series->Code(), std::move(results[i]));
    }
    return analytics;
}

} // namespace strikeline
