#pragma once

#include "analytics/DividendIndex.h"
#include "analytics/SeriesAnalytics.h"
#include "marketdata/MarketSnapshot.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace strikeline {

// The analytics of every series of one market, found by kind and series code. Built once
// per market, off the windows' thread, and never changed after.
class CMarketAnalytics {
public:
    // Null when the series is not in the market analysed.
    const CSeriesAnalytics* Find(bool isCall, std::string_view seriesCode) const;
    std::size_t Size() const { return m_Calls.size() + m_Puts.size(); }
    const CAnalyticsContext& Context() const { return m_Context; }

private:
    friend std::shared_ptr<const CMarketAnalytics> ComputeMarketAnalytics(const CMarketSnapshot&,
                                                                          const CAnalyticsContext&,
                                                                          unsigned,
                                                                          const std::atomic<bool>*);

    CAnalyticsContext m_Context;
    std::unordered_map<std::string, CSeriesAnalytics> m_Calls;
    std::unordered_map<std::string, CSeriesAnalytics> m_Puts;
};

// One series to work out, with its share.
struct CSeriesRef {
    const CCompanyInfo* company = nullptr;
    const CContractInfo* series = nullptr;
};

// The analytics of each series of `work`, in its order, on `threads` threads (0: one per
// core). Stops early, leaving the rest default, when `cancel` is set on the way.
std::vector<CSeriesAnalytics> ComputeSeriesAnalytics(const std::vector<CSeriesRef>& work,
                                                     const CDividendIndex& dividends,
                                                     const CAnalyticsContext& context,
                                                     unsigned threads = 0,
                                                     const std::atomic<bool>* cancel = nullptr);

// Every series of both option lists, on `threads` threads (0: one per core). Returns null
// when `cancel` is set on the way, as a newer market makes the work moot.
std::shared_ptr<const CMarketAnalytics>
ComputeMarketAnalytics(const CMarketSnapshot& market, const CAnalyticsContext& context,
                       unsigned threads = 0, const std::atomic<bool>* cancel = nullptr);

} // namespace strikeline
