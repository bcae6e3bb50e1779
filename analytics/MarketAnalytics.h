#pragma once

#include "analytics/DividendIndex.h"
#include "analytics/SeriesAnalytics.h"
#include "marketdata/MarketSnapshot.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// The analytics of every series of one market, found by kind and series code. Built once
// per market, off the windows' thread, and never changed after.
//
// A whole market has some hundred thousand series, so only what the model gave each one
// is kept, in a compact record beside the market's own series; the figures in closed form
// are worked out again, in the same way, when a series is asked for.
class CMarketAnalytics {
public:
    // Empty when the series is not in the market analysed.
    std::optional<CSeriesAnalytics> Find(bool isCall, std::string_view seriesCode) const;
    std::size_t Size() const { return m_Calls.size() + m_Puts.size(); }
    const CAnalyticsContext& Context() const { return m_Context; }

    // What the model gave one series: its implied volatility and delta (or why it has
    // none), the chance of exercise and which of the series' dividends, if any, invites an
    // early exercise.
    struct CModelRecord {
        double volatility = 0.0;
        double delta = 0.0;
        double chanceOfExercise = 0.0;
        bool hasVolatility = false;
        bool hasChance = false;
        std::int8_t absence = -1;       // a VolatilityAbsence, or none
        std::int8_t earlyExercise = -1; // position in the series' dividends, or none
    };

private:
    friend std::shared_ptr<const CMarketAnalytics> ComputeMarketAnalytics(const CMarketSnapshot&,
                                                                          const CAnalyticsContext&,
                                                                          unsigned,
                                                                          const std::atomic<bool>*);

    struct CEntry {
        const CContractInfo* series = nullptr; // which refers to its share
        CModelRecord model;
    };

    CMarketAnalytics(const CMarketSnapshot& market, const CAnalyticsContext& context);

    // The market analysed, held so that the entries' companies and series stay alive: its
    // option lists are shared with the market, not copied.
    CMarketSnapshot m_Market;
    CDividendIndex m_Dividends;
    CAnalyticsContext m_Context;
    std::vector<CEntry> m_Calls; // by series code
    std::vector<CEntry> m_Puts;
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
