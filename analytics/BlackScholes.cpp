#include "analytics/BlackScholes.h"

#include <cmath>
#include <numbers>

namespace strikeline {

namespace {

struct CD1D2 {
    double d1;
    double d2;
};

CD1D2 D1D2(const CEuropeanOption& option, double volatility) {
    const double spread = volatility * std::sqrt(option.years);
    const double d1 = (std::log(option.spot / option.strike) +
                       (option.rate + 0.5 * volatility * volatility) * option.years) /
                      spread;
    return {d1, d1 - spread};
}

} // namespace

double NormalCdf(double x) {
    return 0.5 * std::erfc(-x / std::numbers::sqrt2);
}

double EuropeanPrice(const CEuropeanOption& option, double volatility) {
    const auto [d1, d2] = D1D2(option, volatility);
    const double discountedStrike = option.strike * std::exp(-option.rate * option.years);
    return option.isCall ? option.spot * NormalCdf(d1) - discountedStrike * NormalCdf(d2)
                         : discountedStrike * NormalCdf(-d2) - option.spot * NormalCdf(-d1);
}

double EuropeanVega(const CEuropeanOption& option, double volatility) {
    const double d1 = D1D2(option, volatility).d1;
    return option.spot * std::sqrt(option.years) * std::exp(-0.5 * d1 * d1) /
           std::sqrt(2.0 * std::numbers::pi);
}

double EuropeanDelta(const CEuropeanOption& option, double volatility) {
    const double d1 = D1D2(option, volatility).d1;
    return option.isCall ? NormalCdf(d1) : NormalCdf(d1) - 1.0;
}

double ChanceInTheMoney(const CEuropeanOption& option, double volatility) {
    const double d2 = D1D2(option, volatility).d2;
    return option.isCall ? NormalCdf(d2) : NormalCdf(-d2);
}

} // namespace strikeline
