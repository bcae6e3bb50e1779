#pragma once

namespace strikeline {

// The standard normal distribution function.
double NormalCdf(double x);

// A European option on a share paying no dividend, continuously compounded rate `rate`,
// `years` to expiry and annual volatility `volatility`; `years` and `volatility` above 0.
struct CEuropeanOption {
    bool isCall = true;
    double spot = 0.0;
    double strike = 0.0;
    double years = 0.0;
    double rate = 0.0;
};

double EuropeanPrice(const CEuropeanOption& option, double volatility);
// ∂price/∂volatility, the same for calls and puts.
double EuropeanVega(const CEuropeanOption& option, double volatility);
// Per share: 0..1 for calls, −1..0 for puts.
double EuropeanDelta(const CEuropeanOption& option, double volatility);
// The risk-neutral chance of finishing in the money: N(d2) for calls, N(−d2) for puts.
double ChanceInTheMoney(const CEuropeanOption& option, double volatility);

} // namespace strikeline
