#include "tools/MarketFiles.h"

#include "platform/AtomicFile.h"
#include "tools/MarketCalendar.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace strikeline {

namespace {

constexpr std::array<int, 4> kPublishedHours = {10, 12, 14, 16};

bool WriteFile(const std::filesystem::path& folder, const std::string& relative,
               std::string_view contents, std::string& error) {
    const std::filesystem::path path = folder / relative;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) {
        error = "Unable to create folder " + path.parent_path().string() + ": " + ec.message();
        return false;
    }
    std::string reason;
    if (!WriteFileAtomically(path.string(), contents, reason)) {
        error = "Unable to write " + path.string() + ": " + reason;
        return false;
    }
    return true;
}

bool WriteOptionFiles(const std::filesystem::path& folder, const CMarketGeneratorSettings& settings,
                      std::chrono::sys_days day, int minute, std::string_view suffix,
                      std::string& error) {
    CMarketGeneratorSettings moment = settings;
    const std::chrono::year_month_day date{day};
    moment.m_Year = static_cast<int>(date.year());
    moment.m_Month = static_cast<unsigned>(date.month());
    moment.m_Day = static_cast<unsigned>(date.day());
    moment.m_SnapshotMinute = minute;
    const CGeneratedMarket market = CMarketGenerator(moment).Generate();
    return WriteFile(folder, FeedCallPath(day, suffix), market.m_CallFile, error) &&
           WriteFile(folder, FeedPutPath(day, suffix), market.m_PutFile, error);
}

} // namespace

std::string FeedCallPath(std::chrono::sys_days day, std::string_view suffix) {
    return "datafeed/velomir/velomir.asx." + FormatCompactDate(day) + std::string(suffix) + ".csv";
}

std::string FeedPutPath(std::chrono::sys_days day, std::string_view suffix) {
    return "datafeed/velomir/put/velomir.asx.put." + FormatCompactDate(day) + std::string(suffix) +
           ".csv";
}

std::string FeedDividendsPath(std::chrono::sys_days day) {
    return "datafeed/velomirdiv/velomir.asxdividend." + FormatCompactDate(day) + ".csv";
}

bool WriteDataFolder(const std::string& folder, const CGeneratedMarket& market,
                     std::string& error) {
    const std::filesystem::path root(folder);
    return WriteFile(root, "call.csv", market.m_CallFile, error) &&
           WriteFile(root, "put.csv", market.m_PutFile, error) &&
           WriteFile(root, "dividends.csv", market.m_DividendsFile, error) &&
           WriteFile(root, "companyname.txt", market.m_CompanyNames, error) &&
           WriteFile(root, "top20.txt", market.m_Top20, error);
}

bool WriteFeedFolder(const std::string& folder, const CMarketGeneratorSettings& settings,
                     int publishedUntilMinute, std::string& error) {
    const std::filesystem::path root(folder);
    const std::chrono::sys_days day = CMarketGenerator::TradingDay(settings);
    const std::chrono::sys_days previous = PreviousTradingDay(day);
    if (!WriteOptionFiles(root, settings, previous, kMarketCloseMinute, ".final", error)) {
        return false;
    }
    for (const int hour : kPublishedHours) {
        if (publishedUntilMinute >= hour * 60) {
            const std::string suffix = "." + std::to_string(hour) + "00";
            if (!WriteOptionFiles(root, settings, day, hour * 60, suffix, error)) {
                return false;
            }
        }
    }
    if (publishedUntilMinute >= kMarketCloseMinute &&
        !WriteOptionFiles(root, settings, day, kMarketCloseMinute, ".final", error)) {
        return false;
    }
    // The names and dividends do not change during the day.
    CMarketGeneratorSettings closing = settings;
    closing.m_SnapshotMinute = kMarketCloseMinute;
    const CGeneratedMarket market = CMarketGenerator(closing).Generate();
    return WriteFile(root, FeedDividendsPath(day), market.m_DividendsFile, error) &&
           WriteFile(root, "compcodes.txt", market.m_CompanyNames, error) &&
           WriteFile(root, "t20.txt", market.m_Top20, error);
}

} // namespace strikeline
