#pragma once

namespace strikeline::test {

// The plan's pictures price options today in closed form; this is the independent
// reference they are checked against. Only this adapter sees the reference library.

// A European option on a share paying no dividend, `days` calendar days to expiry, the rate
// continuously compounded on a 365-day year.
struct CEuropeanReferenceOption {
    bool isCall = true;
    double spot = 0.0;
    double strike = 0.0;
    int days = 0;
    double rate = 0.0;
};

double EuropeanReferencePrice(const CEuropeanReferenceOption& option, double volatility);

} // namespace strikeline::test
