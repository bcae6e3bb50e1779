#pragma once

#include "plan/TradingPlanEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace strikeline {

class CMarketAnalytics;

// What a plan row holds until expiry. Sold calls are buy-writes (the shares bought at the
// row's share price, the call written over them); sold puts are cash-secured (no shares,
// the cash for the strike set aside); the older files' codes 0 and 1 take the sell-side
// rules, so they are buy-writes too.
enum class PlanPosition { BuyWrite, SoldPut, BoughtCall, BoughtPut };
PlanPosition PlanPositionOf(std::uint32_t type);
// Only buy-writes hold shares, and so only they receive the dividends the row enters.
bool HoldsShares(std::uint32_t type);

// What the outcome counts besides the shares and the premium.
struct CPayoffOptions {
    // The equity, option and exercise brokerage the row enters, as the plan counts them: the
    // exercise brokerage only where a sold option is exercised, none for a bought one, and
    // for a bought one no equity brokerage either.
    bool brokerage = true;
    // The row's dividend (dollars a share, as the Short List offers it) times its shares,
    // for rows holding shares, when the dividend's date is on or before expiry.
    bool dividends = true;
};

// A row takes part in the outcome when the figures its line needs are numbers: shares,
// strike and premium, and for a buy-write its share price. Brokerage or a dividend that is
// a marker counts as none.
bool TakesPartInPayoff(const CTradingPlanEntry& row);

// The dollars the row makes or loses when the share price at expiry is `price`: premium,
// brokerage and dividends as `options` say, the option exercised when in the money (a call
// at or above its strike, a put below it). With brokerage and dividends, a buy-write gives
// NotExercisedProfit at its share price below the strike and ExercisedProfit at or above
// it; a sold put gives NotExercisedProfit at or above the strike and ExercisedProfit at its
// share price below it; a bought option gives NotExercisedProfit out of the money. A
// counted dividend lifts a buy-write's whole line by shares × dividend. Before brokerage
// and dividends the outcome is 0 at BreakEvenPrice. UNSET_VALUE for a row that takes no
// part.
double PayoffAtExpiry(const CTradingPlanEntry& row, double price,
                      const CPayoffOptions& options = {});
// The sum over the rows that take part; 0 when none does.
double PayoffAtExpiry(std::span<const CTradingPlanEntry* const> rows, double price,
                      const CPayoffOptions& options = {});

// The prices at which the rows' outcome at expiry crosses zero, ascending, solved on the
// exact piecewise-linear line over all prices from 0 up. The line steps at a strike by the
// exercise brokerage; where that step crosses zero, the strike is the break-even.
std::vector<double> PayoffBreakEvens(std::span<const CTradingPlanEntry* const> rows,
                                     const CPayoffOptions& options = {});

// What pricing a row's option today takes: the series' implied volatility from the
// market's analytics, the years to expiry (calendar days / 365, as the analytics count
// them) and the analytics' rate.
struct CTodayTerms {
    double volatility = 0.0;
    double years = 0.0;
    double rate = 0.0;
    // The analytics' moment: dividends dated on or before it are already the holder's.
    FileTime now = kNoDate;
};
// None for a row whose series has no implied volatility in `market` (not in it, no trade,
// expired, or a row of no family).
std::optional<CTodayTerms> PlanTodayTerms(const CTradingPlanEntry& row,
                                          const CMarketAnalytics& market);

// The dollars the row would make or lose if closed today with the share at `price`: the
// shares (if any) at `price`, the option bought or sold back at its Black–Scholes value,
// the entered equity and option brokerage as `options` say (no exercise brokerage), and a
// buy-write's dividend when dated on or before both today and expiry. UNSET_VALUE for a
// row that takes no part.
double PositionValueToday(const CTradingPlanEntry& row, const CTodayTerms& terms, double price,
                          const CPayoffOptions& options = {});

// One point of the two lines.
struct CPayoffPoint {
    double price = 0.0;
    double atExpiry = 0.0;
    // Absent when any row of the position has no today's terms.
    std::optional<double> today;
};

// Everything the payoff picture draws for a position of rows of one company.
struct CPayoffChart {
    // Indices into the rows given of those that take part.
    std::vector<std::size_t> rows;
    // The price range drawn: 0.6 × the lowest to 1.4 × the highest of the strikes, the
    // rows' share prices and the break-evens.
    double low = 0.0;
    double high = 0.0;
    // Ascending by price; the strikes, share prices and break-evens in range are points, so
    // joining the points draws the line exactly. Where the line steps at a strike the
    // price comes twice: the outcome just below it, then at it.
    std::vector<CPayoffPoint> points;
    // Ascending and without repeats.
    std::vector<double> strikes;
    std::vector<double> sharePrices;
    std::vector<double> breakEvens;
    bool hasToday = false;
};

// `market` may be null: then there is no today's line.
CPayoffChart BuildPayoffChart(std::span<const CTradingPlanEntry* const> rows,
                              const CMarketAnalytics* market, const CPayoffOptions& options = {});

} // namespace strikeline
