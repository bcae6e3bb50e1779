#include "tools/OptionPricing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace strikeline {

namespace {

double NormalCdf(double x) {
    return 0.5 * std::erfc(-x / std::numbers::sqrt2);
}

} // namespace

double BlackScholesPrice(OptionRight right, double spot, double strike, double years, double rate,
                         double volatility) {
    const bool call = right == OptionRight::Call;
    if (years <= 0.0 || volatility <= 0.0) {
        return std::max(call ? spot - strike : strike - spot, 0.0);
    }
    const double deviation = volatility * std::sqrt(years);
    const double d1 =
        (std::log(spot / strike) + (rate + 0.5 * volatility * volatility) * years) / deviation;
    const double d2 = d1 - deviation;
    const double discountedStrike = strike * std::exp(-rate * years);
    if (call) {
        return spot * NormalCdf(d1) - discountedStrike * NormalCdf(d2);
    }
    return discountedStrike * NormalCdf(-d2) - spot * NormalCdf(-d1);
}

double SmileVolatility(double atTheMoneyVolatility, double spot, double strike) {
    const double moneyness = std::log(strike / spot);
    return atTheMoneyVolatility * (1.0 - 0.3 * moneyness + 1.2 * moneyness * moneyness);
}

} // namespace strikeline
