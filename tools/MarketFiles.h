#pragma once

#include "tools/MarketGenerator.h"

#include <chrono>
#include <string>
#include <string_view>

namespace strikeline {

// Writes call.csv, put.csv, dividends.csv, companyname.txt and top20.txt into `folder`,
// creating it when missing. Each file is replaced atomically. Returns false with a reason.
bool WriteDataFolder(const std::string& folder, const CGeneratedMarket& market, std::string& error);

// Lays `folder` out as the feed server serves it for the trading day of `settings`
// (their moment is ignored): the day's ".final" files once `publishedUntilMinute`
// (minutes after local midnight) has passed the close, the hourly files ".1000" to
// ".1600" for the hours passed, the previous trading day's ".final" files, the day's
// dividends file, and compcodes.txt and t20.txt at the top. A day that is over passes
// 24 * 60.
bool WriteFeedFolder(const std::string& folder, const CMarketGeneratorSettings& settings,
                     int publishedUntilMinute, std::string& error);

// Paths below the served folder; `suffix` is ".final" or ".HH00".
std::string FeedCallPath(std::chrono::sys_days day, std::string_view suffix);
std::string FeedPutPath(std::chrono::sys_days day, std::string_view suffix);
std::string FeedDividendsPath(std::chrono::sys_days day);

} // namespace strikeline
