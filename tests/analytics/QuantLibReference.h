#pragma once

#include <vector>

namespace strikeline::test {

// The independent reference the option analytics are checked and timed against. Only this
// adapter sees the reference library, whose interface for dividends changes between
// versions; callers give plain terms and get plain figures.

// A cash dividend whose ex-date is `days` calendar days from today.
struct CReferenceDividend {
    int days = 0;
    double amount = 0.0;
};

// An American option on a share: exercisable any day up to expiry, `days` calendar days
// away; the rate continuously compounded on a 365-day year, the share paying no yield but
// dropping by each cash dividend on its ex-date.
struct CReferenceOption {
    bool isCall = true;
    double spot = 0.0;
    double strike = 0.0;
    int days = 0;
    double rate = 0.0;
    std::vector<CReferenceDividend> dividends;
};

struct CReferenceValue {
    double price = 0.0;
    double delta = 0.0; // per share
};

// Finite differences, 400 time steps by 400 share prices.
CReferenceValue ReferenceValue(const CReferenceOption& option, double volatility);

// The volatility from 0.001 to 5 at which ReferenceValue gives `premium`, to 1e-7; throws
// std::exception when there is none.
double ReferenceImpliedVolatility(const CReferenceOption& option, double premium);

} // namespace strikeline::test
