#include "tools/SharePriceModel.h"

#include "tools/MarketCalendar.h"
#include "tools/MarketRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace strikeline {

using namespace std::chrono;

namespace {

constexpr int kIntradaySteps = (kMarketCloseMinute - kMarketOpenMinute) / 10;
constexpr double kTradingDaysPerYear = 252.0;

std::uint64_t CodeKey(const std::string& code) {
    std::uint64_t hash = 0xCBF29CE484222325ull; // FNV-1a
    for (const char c : code) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    }
    return hash;
}

std::uint64_t DayKey(sys_days day) {
    return static_cast<std::uint64_t>(day.time_since_epoch().count() + 1000000);
}

} // namespace

CSharePriceModel::CSharePriceModel(std::uint64_t seed, const CListedCompany& company)
    : m_Key(MixSeed(seed, CodeKey(company.m_Code))), m_BasePrice(company.m_Price),
      m_Volatility(company.m_Volatility), m_Tier(company.m_Tier), m_Periods{}, m_Phases{} {
    CMarketRandom random(MixSeed(m_Key, 0x50415448));
    for (int i = 0; i < 3; ++i) {
        m_Periods[i] = random.Uniform(25.0, 400.0);
        m_Phases[i] = random.Uniform(0.0, 2.0 * std::numbers::pi);
    }
}

double CSharePriceModel::TickSize(double price) {
    return price < 0.10 ? 0.001 : price < 2.00 ? 0.005 : 0.01;
}

double CSharePriceModel::RoundToTick(double price) {
    const double tick = TickSize(price);
    return std::max(tick, std::round(price / tick) * tick);
}

double CSharePriceModel::ClosePrice(sys_days day) const {
    // A few slow waves give trends over weeks and months; a daily draw adds the noise.
    const auto n = static_cast<double>(day.time_since_epoch().count());
    static constexpr std::array<double, 3> kWeights = {0.45, 0.30, 0.20};
    double offset = 0.0;
    for (int i = 0; i < 3; ++i) {
        offset += kWeights[i] * std::sin(2.0 * std::numbers::pi * n / m_Periods[i] + m_Phases[i]);
    }
    CMarketRandom random(MixSeed(m_Key, DayKey(day), 0x434C4F53));
    const double daily = m_Volatility / std::sqrt(kTradingDaysPerYear);
    const double logPrice =
        std::log(m_BasePrice) + m_Volatility * offset + 0.8 * daily * random.Normal();
    return RoundToTick(std::exp(logPrice));
}

CShareQuote CSharePriceModel::Quote(sys_days day, int minute) const {
    CShareQuote quote;
    quote.m_PreviousClose = ClosePrice(PreviousTradingDay(day));
    const double close = ClosePrice(day);

    // Every draw is made whatever the moment, so the moments of one day share one path.
    CMarketRandom random(MixSeed(m_Key, DayKey(day), 0x44415920));
    const double daily = m_Volatility / std::sqrt(kTradingDaysPerYear);
    const double open = quote.m_PreviousClose * std::exp(0.3 * daily * random.Normal());
    std::array<double, kIntradaySteps + 1> walk{};
    const double step = daily / std::sqrt(static_cast<double>(kIntradaySteps));
    for (int i = 1; i <= kIntradaySteps; ++i) {
        walk[i] = walk[i - 1] + step * random.Normal();
    }
    // A Brownian bridge from the open to the close.
    std::array<double, kIntradaySteps + 1> path{};
    for (int i = 0; i <= kIntradaySteps; ++i) {
        const double t = static_cast<double>(i) / kIntradaySteps;
        const double bridge = walk[i] - t * walk[kIntradaySteps];
        path[i] = RoundToTick(std::exp((1.0 - t) * std::log(open) + t * std::log(close) + bridge));
    }
    path[kIntradaySteps] = close;
    static constexpr std::array<double, 3> kDailyTurnover = {150e6, 30e6, 6e6};
    const double turnover =
        kDailyTurnover[std::clamp(m_Tier, 1, 3) - 1] * std::exp(0.35 * random.Normal());
    const double dayVolume = std::round(turnover / m_BasePrice / 100.0) * 100.0;
    const bool lastAtBid = random.Chance(0.5);

    if (minute < kMarketOpenMinute) {
        quote.m_Last = quote.m_Open = quote.m_High = quote.m_Low = quote.m_PreviousClose;
        quote.m_Volume = 0;
    } else {
        const int last = std::min(kIntradaySteps, (minute - kMarketOpenMinute) / 10);
        quote.m_Last = path[last];
        quote.m_Open = path[0];
        quote.m_High = *std::max_element(path.begin(), path.begin() + last + 1);
        quote.m_Low = *std::min_element(path.begin(), path.begin() + last + 1);
        quote.m_Volume = static_cast<long long>(dayVolume * (last + 1) / (kIntradaySteps + 1));
    }
    const double tick = TickSize(quote.m_Last);
    quote.m_Bid = lastAtBid ? quote.m_Last : std::max(tick, quote.m_Last - tick);
    quote.m_Offer = quote.m_Bid + tick;
    return quote;
}

} // namespace strikeline
