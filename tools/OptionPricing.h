#pragma once

namespace strikeline {

enum class OptionRight { Call, Put };

// Black-Scholes value of a European option without dividends. `years` is the time to
// expiry; at or below zero the option is worth its intrinsic value.
double BlackScholesPrice(OptionRight right, double spot, double strike, double years, double rate,
                         double volatility);

// A mild volatility smile: puts below the money trade richer than calls above it, and both
// wings a little above the at-the-money level.
double SmileVolatility(double atTheMoneyVolatility, double spot, double strike);

} // namespace strikeline
