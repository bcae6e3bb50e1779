#pragma once

#include "tools/ListedCompanies.h"

#include <chrono>
#include <cstdint>

namespace strikeline {

inline constexpr int kMarketOpenMinute = 10 * 60;
// The close, after the closing auction: trading moments lie between the open and this.
inline constexpr int kMarketCloseMinute = 16 * 60 + 20;

// What a share line shows at one moment of a trading day.
struct CShareQuote {
    double m_PreviousClose = 0.0;
    double m_Last = 0.0;
    double m_Bid = 0.0;
    double m_Offer = 0.0;
    double m_Open = 0.0;
    double m_High = 0.0;
    double m_Low = 0.0;
    long long m_Volume = 0;
};

// The price history of one share, a deterministic function of the seed and the day: each
// day's close is the same whichever day's market asks for it, so the previous close of a
// day is the close of the trading day before, and the intraday path of a day runs from its
// open to its close whatever moment the market is taken at.
class CSharePriceModel {
public:
    CSharePriceModel(std::uint64_t seed, const CListedCompany& company);

    // The company's own seed, for the other draws made about it.
    std::uint64_t Key() const { return m_Key; }

    double ClosePrice(std::chrono::sys_days day) const;
    // The day's trading up to `minute` (minutes after local midnight); before the open
    // the share shows the previous close and no volume.
    CShareQuote Quote(std::chrono::sys_days day, int minute) const;

    // The exchange's price steps for shares.
    static double TickSize(double price);
    static double RoundToTick(double price);

private:
    std::uint64_t m_Key;
    double m_BasePrice;
    double m_Volatility;
    int m_Tier;
    double m_Periods[3];
    double m_Phases[3];
};

} // namespace strikeline
