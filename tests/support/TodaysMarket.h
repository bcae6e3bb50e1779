#pragma once

#include "tools/MarketGenerator.h"

#include <chrono>

namespace strikeline::test {

// The generated market of today's date, so that its series have not expired when the
// program under test looks at them.
inline CMarketGeneratorSettings TodaysMarketSettings() {
    const std::chrono::year_month_day today{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    CMarketGeneratorSettings settings;
    settings.m_Year = static_cast<int>(today.year());
    settings.m_Month = static_cast<unsigned>(today.month());
    settings.m_Day = static_cast<unsigned>(today.day());
    return settings;
}

} // namespace strikeline::test
