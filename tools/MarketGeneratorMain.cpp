// strikeline-market: writes a sample option market as the program's data files, or as the
// folder the local feed server serves.

#include "tools/MarketFiles.h"
#include "tools/MarketGenerator.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <iostream>
#include <string>
#include <string_view>

namespace {

using namespace strikeline;

constexpr const char* kUsage =
    "Usage: strikeline-market --out DIR [--date YYYY-MM-DD] [--seed N] [--scale N] [--feed]\n"
    "                         [--history]\n"
    "\n"
    "Writes a deterministic sample option market for the trading day DATE (default: today;\n"
    "a weekend or holiday stands for the trading day before it).\n"
    "  --out DIR    folder to write (created when missing)\n"
    "  --date DATE  the trading day\n"
    "  --seed N     random seed (default 1); the same seed and day give the same files\n"
    "  --scale N    1 to 100: N times as many companies, so about N times the series\n"
    "  --feed       lay DIR out as the feed server serves it instead of as a data folder\n"
    "  --history    also fill DIR's price history with the year up to DATE (a data folder's\n"
    "               other days and shares are kept)\n";

template <typename T> bool ParseInteger(std::string_view text, T& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size() && !text.empty();
}

bool ParseDate(std::string_view text, CMarketGeneratorSettings& settings) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    return ParseInteger(text.substr(0, 4), settings.m_Year) &&
           ParseInteger(text.substr(5, 2), settings.m_Month) &&
           ParseInteger(text.substr(8, 2), settings.m_Day);
}

struct CLocalNow {
    std::chrono::sys_days m_Day{};
    int m_Minute = 0;
};

CLocalNow LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CLocalNow result;
    result.m_Day = std::chrono::sys_days{std::chrono::year{local.tm_year + 1900} /
                                         static_cast<unsigned>(local.tm_mon + 1) /
                                         static_cast<unsigned>(local.tm_mday)};
    result.m_Minute = local.tm_hour * 60 + local.tm_min;
    return result;
}

int UsageError(const std::string& message) {
    std::cerr << "strikeline-market: " << message << "\n\n" << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const CLocalNow now = LocalNow();
    CMarketGeneratorSettings settings;
    const std::chrono::year_month_day today{now.m_Day};
    settings.m_Year = static_cast<int>(today.year());
    settings.m_Month = static_cast<unsigned>(today.month());
    settings.m_Day = static_cast<unsigned>(today.day());
    std::string folder;
    bool feed = false;
    bool history = false;

    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--feed") {
            feed = true;
            continue;
        }
        if (argument == "--history") {
            history = true;
            continue;
        }
        if (argument != "--out" && argument != "--date" && argument != "--seed" &&
            argument != "--scale") {
            return UsageError("unknown argument \"" + std::string(argument) + "\"");
        }
        if (i + 1 >= argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        const std::string_view value = argv[++i];
        bool good = true;
        if (argument == "--out") {
            folder = value;
            good = !folder.empty();
        } else if (argument == "--date") {
            good = ParseDate(value, settings);
        } else if (argument == "--seed") {
            good = ParseInteger(value, settings.m_Seed);
        } else {
            good = ParseInteger(value, settings.m_Scale);
        }
        if (!good) {
            return UsageError("bad value \"" + std::string(value) + "\" for " +
                              std::string(argument));
        }
    }
    if (folder.empty()) {
        return UsageError("--out is required");
    }
    if (feed && history) {
        return UsageError("--history fills a data folder, not a feed");
    }
    std::string error;
    if (!CMarketGenerator::CheckSettings(settings, error)) {
        return UsageError(error);
    }

    if (feed) {
        // The feed has published the whole of a day that is over, and today only the hours passed.
        const std::chrono::sys_days day = CMarketGenerator::TradingDay(settings);
        const int publishedUntil = day == now.m_Day ? now.m_Minute : 24 * 60;
        if (!WriteFeedFolder(folder, settings, publishedUntil, error)) {
            std::cerr << "strikeline-market: " << error << '\n';
            return 1;
        }
        return 0;
    }
    const CMarketGenerator generator(settings);
    const CGeneratedMarket market = generator.Generate();
    if (!WriteDataFolder(folder, market, error) ||
        (history && !RecordPriceHistory(folder, generator.GenerateHistory(), error))) {
        std::cerr << "strikeline-market: " << error << '\n';
        return 1;
    }
    std::cout << "Wrote " << market.m_CallSeries << " call and " << market.m_PutSeries
              << " put series to " << folder << '\n';
    return 0;
}
