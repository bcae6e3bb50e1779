#pragma once

#include "marketdata/PriceHistory.h"
#include "tools/SharePriceModel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace strikeline {

struct CMarketGeneratorSettings {
    std::uint64_t m_Seed = 1;
    // The trading day; a weekend or holiday stands for the trading day before it.
    int m_Year = 2010;
    unsigned m_Month = 6;
    unsigned m_Day = 24;
    // Scale N lists N times as many companies (see BuildListedCompanies), so about N
    // times the series.
    int m_Scale = 1;
    // The moment of the day the files show, in minutes after local midnight: the close
    // gives the day's final files, an earlier hour what the feed published at that hour.
    int m_SnapshotMinute = kMarketCloseMinute;
};

// The data files of one market, as texts with LF line ends.
struct CGeneratedMarket {
    std::chrono::sys_days m_TradingDay{};
    std::string m_CallFile;
    std::string m_PutFile;
    std::string m_DividendsFile;
    std::string m_CompanyNames;
    std::string m_Top20;
    std::size_t m_CallSeries = 0;
    std::size_t m_PutSeries = 0;
};

// Writes a deterministic option market: the same settings give byte-identical files.
class CMarketGenerator {
public:
    static constexpr int kMaximumScale = 100;

    // False with a reason when the date does not exist, the scale is out of range or the
    // moment is not within the day.
    static bool CheckSettings(const CMarketGeneratorSettings& settings, std::string& error);
    // The trading day the settings stand for.
    static std::chrono::sys_days TradingDay(const CMarketGeneratorSettings& settings);

    explicit CMarketGenerator(const CMarketGeneratorSettings& settings);

    CGeneratedMarket Generate() const;
    // Every share's last sale and volume at the close of each trading day of the year up
    // to the trading day (that day at the settings' moment, as Generate shows it), oldest
    // first: a new user's price history.
    std::vector<CPriceHistoryList> GenerateHistory() const;

private:
    CMarketGeneratorSettings m_Settings;
};

} // namespace strikeline
