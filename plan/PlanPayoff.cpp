#include "plan/PlanPayoff.h"

#include "analytics/BlackScholes.h"
#include "analytics/MarketAnalytics.h"
#include "journal/JournalCalendar.h"
#include "plan/PlanEntryType.h"

#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

constexpr double kDaysInYear = 365.0;
// Intervals of the even grid the strikes, share prices and break-evens are added to.
constexpr int kGridIntervals = 240;
constexpr double kRangeBelow = 0.6;
constexpr double kRangeAbove = 1.4;

double Amount(double value) {
    return IsValue(value) ? value : 0.0;
}

bool IsCallLike(PlanPosition position) {
    return position == PlanPosition::BuyWrite || position == PlanPosition::BoughtCall;
}

// Whether the option is exercised at `price`; `justBelow` asks for prices a hair under it,
// which only differs at the strike itself.
bool Exercised(PlanPosition position, double price, double strike, bool justBelow) {
    if (IsCallLike(position)) {
        return price > strike || (price == strike && !justBelow);
    }
    return price < strike || (price == strike && justBelow);
}

// The row's dividend in dollars when it counts by the date `until` as well as expiry.
double CountedDividend(const CTradingPlanEntry& row, FileTime until) {
    if (!HoldsShares(row.m_SourceType) || !IsValue(row.m_DividendsValue) ||
        row.m_DividendsDate == kNoDate || row.m_DateExpiry == kNoDate) {
        return 0.0;
    }
    const auto paid = LocalDate(row.m_DividendsDate);
    if (paid > LocalDate(row.m_DateExpiry) || (until != kNoDate && paid > LocalDate(until))) {
        return 0.0;
    }
    return row.m_DividendsValue * row.m_Shares;
}

// What the row has once the option is written or bought: premium and entered brokerage,
// the shares at `price` for a buy-write, and its dividend where `dividendUntil` allows.
double OpeningOutcome(const CTradingPlanEntry& row, PlanPosition position, double price,
                      const CPayoffOptions& options, FileTime dividendUntil) {
    const double shares = row.m_Shares;
    const double premium = shares * row.m_Premium;
    const double optionBrokerage = options.brokerage ? Amount(row.m_NEBrokerage) : 0.0;
    const double equityBrokerage = options.brokerage ? Amount(row.m_Brokerage) : 0.0;
    switch (position) {
    case PlanPosition::BuyWrite:
        return (price - row.m_SharePrice) * shares + premium - optionBrokerage - equityBrokerage +
               (options.dividends ? CountedDividend(row, dividendUntil) : 0.0);
    case PlanPosition::SoldPut:
        return premium - optionBrokerage - equityBrokerage;
    case PlanPosition::BoughtCall:
    case PlanPosition::BoughtPut:
        break;
    }
    // As the plan counts a bought option: its cost and the option brokerage.
    return -premium - optionBrokerage;
}

double RowAtExpiry(const CTradingPlanEntry& row, double price, const CPayoffOptions& options,
                   bool justBelow) {
    const PlanPosition position = PlanPositionOf(row.m_SourceType);
    const double strike = row.m_StrikePrice;
    const double shares = row.m_Shares;
    double outcome = OpeningOutcome(row, position, price, options, kNoDate);
    if (!Exercised(position, price, strike, justBelow)) {
        return outcome;
    }
    // The plan shows no exercise brokerage for a bought option.
    const double exercise = options.brokerage ? Amount(row.m_EBrokerage) : 0.0;
    switch (position) {
    case PlanPosition::BuyWrite:
        outcome -= (price - strike) * shares + exercise;
        break;
    case PlanPosition::SoldPut:
        outcome += (price - strike) * shares - exercise;
        break;
    case PlanPosition::BoughtCall:
        outcome += (price - strike) * shares;
        break;
    case PlanPosition::BoughtPut:
        outcome += (strike - price) * shares;
        break;
    }
    return outcome;
}

double SumAtExpiry(std::span<const CTradingPlanEntry* const> rows, double price,
                   const CPayoffOptions& options, bool justBelow) {
    double sum = 0.0;
    for (const CTradingPlanEntry* row : rows) {
        if (TakesPartInPayoff(*row)) {
            sum += RowAtExpiry(*row, price, options, justBelow);
        }
    }
    return sum;
}

bool OppositeSigns(double a, double b) {
    return (a < 0.0 && b > 0.0) || (a > 0.0 && b < 0.0);
}

void SortUnique(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

double OptionValue(bool isCall, double price, double strike, const CTodayTerms& terms) {
    if (terms.years <= 0.0 || price <= 0.0 || terms.volatility <= 0.0) {
        return std::max(isCall ? price - strike : strike - price, 0.0);
    }
    return EuropeanPrice({isCall, price, strike, terms.years, terms.rate}, terms.volatility);
}

} // namespace

PlanPosition PlanPositionOf(std::uint32_t type) {
    switch (type) {
    case TYPE_SELL_PUT:
        return PlanPosition::SoldPut;
    case TYPE_BUY_PUT:
        return PlanPosition::BoughtPut;
    case TYPE_BUY_CALL:
        return PlanPosition::BoughtCall;
    default:
        return PlanPosition::BuyWrite;
    }
}

bool HoldsShares(std::uint32_t type) {
    return PlanPositionOf(type) == PlanPosition::BuyWrite;
}

bool TakesPartInPayoff(const CTradingPlanEntry& row) {
    if (!IsValue(row.m_Shares) || !IsValue(row.m_StrikePrice) || !IsValue(row.m_Premium)) {
        return false;
    }
    return !HoldsShares(row.m_SourceType) || IsValue(row.m_SharePrice);
}

double PayoffAtExpiry(const CTradingPlanEntry& row, double price, const CPayoffOptions& options) {
    return TakesPartInPayoff(row) ? RowAtExpiry(row, price, options, false) : UNSET_VALUE;
}

double PayoffAtExpiry(std::span<const CTradingPlanEntry* const> rows, double price,
                      const CPayoffOptions& options) {
    return SumAtExpiry(rows, price, options, false);
}

std::vector<double> PayoffBreakEvens(std::span<const CTradingPlanEntry* const> rows,
                                     const CPayoffOptions& options) {
    // Between strikes every row's outcome is linear in the price, so the line is exact from
    // its values at the strikes.
    std::vector<double> knots = {0.0};
    for (const CTradingPlanEntry* row : rows) {
        if (TakesPartInPayoff(*row) && row->m_StrikePrice > 0.0) {
            knots.push_back(row->m_StrikePrice);
        }
    }
    if (knots.size() == 1) {
        return {};
    }
    SortUnique(knots);
    std::vector<double> found;
    const auto at = [&](double price) {
        return SumAtExpiry(rows, price, options, false);
    };
    const auto below = [&](double price) {
        return SumAtExpiry(rows, price, options, true);
    };
    const auto solve = [&](double a, double ya, double b, double yb) {
        if (ya == 0.0) {
            found.push_back(a);
        } else if (OppositeSigns(ya, yb)) {
            found.push_back(a + (0.0 - ya) * (b - a) / (yb - ya));
        }
    };
    for (std::size_t i = 0; i + 1 < knots.size(); ++i) {
        const double a = knots[i];
        const double b = knots[i + 1];
        const double belowB = below(b);
        solve(a, at(a), b, belowB);
        if (OppositeSigns(belowB, at(b))) {
            found.push_back(b);
        }
    }
    // Past the highest strike the line runs on straight.
    const double last = knots.back();
    const double atLast = at(last);
    const double slope = at(last + 1.0) - atLast;
    if (atLast == 0.0) {
        found.push_back(last);
    } else if (slope != 0.0 && -atLast / slope > 0.0) {
        found.push_back(last - atLast / slope);
    }
    SortUnique(found);
    return found;
}

std::optional<CTodayTerms> PlanTodayTerms(const CTradingPlanEntry& row,
                                          const CMarketAnalytics& market) {
    const PlanFamily family = PlanFamilyOf(row.m_SourceType);
    if (family == PlanFamily::None) {
        return std::nullopt;
    }
    // Held by value or by pointer alike: only its presence and two fields are read.
    const auto series = market.Find(family == PlanFamily::Call, row.m_ContractID);
    if (!series || !series->volatility.volatility || series->days <= 0) {
        return std::nullopt;
    }
    return CTodayTerms{*series->volatility.volatility,
                       static_cast<double>(series->days) / kDaysInYear, market.Context().rate,
                       market.Context().now};
}

double PositionValueToday(const CTradingPlanEntry& row, const CTodayTerms& terms, double price,
                          const CPayoffOptions& options) {
    if (!TakesPartInPayoff(row)) {
        return UNSET_VALUE;
    }
    const PlanPosition position = PlanPositionOf(row.m_SourceType);
    const bool isCall = IsCallLike(position);
    const double option = row.m_Shares * OptionValue(isCall, price, row.m_StrikePrice, terms);
    const double opening = OpeningOutcome(row, position, price, options,
                                          terms.now == kNoDate ? row.m_DateExpiry : terms.now);
    const bool sold = position == PlanPosition::BuyWrite || position == PlanPosition::SoldPut;
    return sold ? opening - option : opening + option;
}

CPayoffChart BuildPayoffChart(std::span<const CTradingPlanEntry* const> rows,
                              const CMarketAnalytics* market, const CPayoffOptions& options) {
    CPayoffChart chart;
    std::vector<const CTradingPlanEntry*> taking;
    std::vector<CTodayTerms> terms;
    chart.hasToday = market != nullptr;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CTradingPlanEntry& row = *rows[i];
        if (!TakesPartInPayoff(row)) {
            continue;
        }
        chart.rows.push_back(i);
        taking.push_back(&row);
        if (row.m_StrikePrice > 0.0) {
            chart.strikes.push_back(row.m_StrikePrice);
        }
        if (IsValue(row.m_SharePrice) && row.m_SharePrice > 0.0) {
            chart.sharePrices.push_back(row.m_SharePrice);
        }
        if (chart.hasToday) {
            const std::optional<CTodayTerms> today = PlanTodayTerms(row, *market);
            chart.hasToday = today.has_value();
            if (today) {
                terms.push_back(*today);
            }
        }
    }
    if (taking.empty()) {
        chart.hasToday = false;
        return chart;
    }
    SortUnique(chart.strikes);
    SortUnique(chart.sharePrices);
    for (const double price : PayoffBreakEvens(taking, options)) {
        if (price > 0.0) {
            chart.breakEvens.push_back(price);
        }
    }
    std::vector<double> marks = chart.strikes;
    marks.insert(marks.end(), chart.sharePrices.begin(), chart.sharePrices.end());
    marks.insert(marks.end(), chart.breakEvens.begin(), chart.breakEvens.end());
    if (marks.empty()) {
        return chart;
    }
    chart.low = kRangeBelow * *std::min_element(marks.begin(), marks.end());
    chart.high = kRangeAbove * *std::max_element(marks.begin(), marks.end());
    std::vector<double> prices = marks;
    for (int i = 0; i <= kGridIntervals; ++i) {
        prices.push_back(chart.low + (chart.high - chart.low) * i / kGridIntervals);
    }
    prices.push_back(chart.high);
    SortUnique(prices);
    const auto today = [&](double price) -> std::optional<double> {
        if (!chart.hasToday) {
            return std::nullopt;
        }
        double sum = 0.0;
        for (std::size_t i = 0; i < taking.size(); ++i) {
            sum += PositionValueToday(*taking[i], terms[i], price, options);
        }
        return sum;
    };
    for (const double price : prices) {
        if (price < chart.low || price > chart.high) {
            continue;
        }
        const double value = SumAtExpiry(taking, price, options, false);
        if (std::binary_search(chart.strikes.begin(), chart.strikes.end(), price)) {
            const double justBelow = SumAtExpiry(taking, price, options, true);
            if (justBelow != value) {
                chart.points.push_back({price, justBelow, today(price)});
            }
        }
        chart.points.push_back({price, value, today(price)});
    }
    return chart;
}

} // namespace strikeline
