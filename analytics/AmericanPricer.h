#pragma once

#include <vector>

namespace strikeline {

// A cash dividend: the share price drops by `amount` dollars `years` from today.
struct CCashDividend {
    double years = 0.0;
    double amount = 0.0;
};

// An exchange-traded option on a share, exercisable any day up to expiry. Dividends fall
// after today and on or before expiry; the rate is continuously compounded.
struct COptionTerms {
    bool isCall = true;
    double spot = 0.0;
    double strike = 0.0;
    double years = 0.0;
    double rate = 0.0;
    std::vector<CCashDividend> dividends;
};

struct COptionValue {
    double price = 0.0;
    double delta = 0.0; // per share
};

// True when the holder may gain by exercising before expiry: puts always, calls only
// ahead of a dividend.
bool MayExerciseEarly(const COptionTerms& terms);

// The option's value and delta at `volatility` (a fraction a year), in the model where the
// share price drops by each cash dividend on its ex-date. A call that cannot be exercised
// early to advantage is priced in closed form; every other option on a finite-difference
// grid (Crank–Nicolson in the log of the share price, exercise checked every step, each
// dividend a jump of the grid).
COptionValue AmericanValue(const COptionTerms& terms, double volatility);

// The grid sizes AmericanValue prices on, and the coarse one the implied volatility is
// first searched on.
inline constexpr int kFineSpaceNodes = 121;
inline constexpr int kFineTimeSteps = 40;
inline constexpr int kCoarseSpaceNodes = 41;
inline constexpr int kCoarseTimeSteps = 20;

// The grid alone, with its size given: what AmericanValue uses, open to accuracy checks.
COptionValue GridValue(const COptionTerms& terms, double volatility, int spaceNodes, int timeSteps);

// The present value of the dividends in `terms`.
double PresentValueOfDividends(const COptionTerms& terms);

} // namespace strikeline
