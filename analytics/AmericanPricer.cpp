#include "analytics/AmericanPricer.h"

#include "analytics/BlackScholes.h"

#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

// Enough for the implied volatility to a few hundredths of a point and the delta to a
// thousandth against a fine reference grid (docs/analytics.md).
constexpr int kSpaceNodes = 161;
constexpr int kTimeSteps = 80;
// Implicit steps after the start and after each dividend, which damp the kinks the
// payoff and the exercise boundary leave (Rannacher's start).
constexpr int kSmoothingSteps = 2;
// How far the grid reaches beyond the prices that matter, in standard deviations of the
// log price at expiry.
constexpr double kReach = 5.5;

double Payoff(bool isCall, double spot, double strike) {
    return std::max(isCall ? spot - strike : strike - spot, 0.0);
}

// The log-price grid: node i is exp(low + i × step); the spot is a node.
struct CGrid {
    double low = 0.0;
    double step = 0.0;
    int spotNode = 0;
    std::vector<double> prices;
};

CGrid MakeGrid(const COptionTerms& terms, double volatility, int nodes) {
    double dividends = 0.0;
    for (const CCashDividend& dividend : terms.dividends) {
        dividends += dividend.amount;
    }
    const double spread = volatility * std::sqrt(terms.years);
    const double logSpot = std::log(terms.spot);
    const double logStrike = std::log(terms.strike);
    const double lowest = std::max(terms.spot - dividends, 0.02 * terms.spot);
    const double low = std::min({std::log(lowest), logStrike}) - kReach * spread - 0.1;
    const double high = std::max(logSpot, logStrike) + kReach * spread + 0.1;
    CGrid grid;
    grid.step = (high - low) / (nodes - 1);
    grid.spotNode =
        std::clamp(static_cast<int>(std::lround((logSpot - low) / grid.step)), 1, nodes - 2);
    grid.low = logSpot - grid.spotNode * grid.step;
    grid.prices.resize(static_cast<std::size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        grid.prices[static_cast<std::size_t>(i)] = std::exp(grid.low + i * grid.step);
    }
    return grid;
}

// The values just before an ex-date from those just after: the share at S opens at S − D.
void ApplyDividend(const COptionTerms& terms, const CGrid& grid, double amount,
                   std::vector<double>& values, std::vector<double>& scratch) {
    const std::size_t last = values.size() - 1;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double after = grid.prices[i] - amount;
        if (after <= grid.prices[0]) {
            scratch[i] = terms.isCall ? 0.0 : terms.strike - std::max(after, 0.0);
            continue;
        }
        const double position = (std::log(after) - grid.low) / grid.step;
        const std::size_t below = std::min(static_cast<std::size_t>(position), last - 1);
        const double weight = position - static_cast<double>(below);
        scratch[i] = values[below] + weight * (values[below + 1] - values[below]);
    }
    values.swap(scratch);
}

} // namespace

bool MayExerciseEarly(const COptionTerms& terms) {
    return !terms.isCall || !terms.dividends.empty();
}

double PresentValueOfDividends(const COptionTerms& terms) {
    double value = 0.0;
    for (const CCashDividend& dividend : terms.dividends) {
        value += dividend.amount * std::exp(-terms.rate * dividend.years);
    }
    return value;
}

COptionValue GridValue(const COptionTerms& terms, double volatility, int spaceNodes,
                       int timeSteps) {
    const CGrid grid = MakeGrid(terms, volatility, spaceNodes);
    const auto n = static_cast<std::size_t>(spaceNodes);
    std::vector<double> values(n), scratch(n), lower(n), diagonal(n), upper(n), rhs(n);
    for (std::size_t i = 0; i < n; ++i) {
        values[i] = Payoff(terms.isCall, grid.prices[i], terms.strike);
    }

    // dV/dτ = a V'' + b V' − r V in x = log S, with upwind differences where the drift
    // would otherwise outrun the diffusion on this grid.
    const double a = 0.5 * volatility * volatility;
    const double b = terms.rate - a;
    const double h = grid.step;
    double down = a / (h * h), up = a / (h * h);
    if (std::abs(b) * h <= 2.0 * a) {
        down -= b / (2.0 * h);
        up += b / (2.0 * h);
    } else if (b > 0.0) {
        up += b / h;
    } else {
        down -= b / h;
    }
    const double centre = -(down + up) - terms.rate;

    // Ex-dates from the latest, each a point where the steps stop.
    std::vector<CCashDividend> dividends = terms.dividends;
    std::sort(dividends.begin(), dividends.end(),
              [](const CCashDividend& x, const CCashDividend& y) { return x.years > y.years; });

    double time = terms.years;
    std::size_t nextDividend = 0;
    int smoothing = kSmoothingSteps;
    const double stepLength = terms.years / timeSteps;
    auto exercise = [&] {
        for (std::size_t i = 0; i < n; ++i) {
            values[i] = std::max(values[i], Payoff(terms.isCall, grid.prices[i], terms.strike));
        }
    };
    while (time > 0.0) {
        while (nextDividend < dividends.size() && dividends[nextDividend].years >= time - 1e-12) {
            ApplyDividend(terms, grid, dividends[nextDividend].amount, values, scratch);
            exercise();
            smoothing = kSmoothingSteps;
            ++nextDividend;
        }
        double until = 0.0;
        if (nextDividend < dividends.size()) {
            until = std::max(dividends[nextDividend].years, 0.0);
        }
        // Steps of about the standard length that land on the next ex-date.
        const double span = time - until;
        const int steps = std::max(1, static_cast<int>(std::ceil(span / stepLength - 1e-9)));
        const double dt = span / steps;
        for (int s = 0; s < steps; ++s) {
            const double theta = smoothing > 0 ? 1.0 : 0.5;
            if (smoothing > 0) {
                --smoothing;
            }
            for (std::size_t i = 1; i + 1 < n; ++i) {
                rhs[i] = values[i] +
                         (1.0 - theta) * dt *
                             (down * values[i - 1] + centre * values[i] + up * values[i + 1]);
                lower[i] = -theta * dt * down;
                diagonal[i] = 1.0 - theta * dt * centre;
                upper[i] = -theta * dt * up;
            }
            // The ends keep the exercise value: far in the money the option is worth its
            // exercise, far out of it nothing.
            rhs[1] -= lower[1] * values[0];
            rhs[n - 2] -= upper[n - 2] * values[n - 1];
            for (std::size_t i = 2; i + 1 < n; ++i) {
                const double factor = lower[i] / diagonal[i - 1];
                diagonal[i] -= factor * upper[i - 1];
                rhs[i] -= factor * rhs[i - 1];
            }
            values[n - 2] = rhs[n - 2] / diagonal[n - 2];
            for (std::size_t i = n - 2; i-- > 1;) {
                values[i] = (rhs[i] - upper[i] * values[i + 1]) / diagonal[i];
            }
            exercise();
        }
        time = until;
        if (nextDividend >= dividends.size() && until <= 0.0) {
            break;
        }
    }

    const auto i = static_cast<std::size_t>(grid.spotNode);
    return {values[i], (values[i + 1] - values[i - 1]) / (grid.prices[i + 1] - grid.prices[i - 1])};
}

COptionValue AmericanValue(const COptionTerms& terms, double volatility) {
    if (!MayExerciseEarly(terms)) {
        const CEuropeanOption european{terms.isCall, terms.spot, terms.strike, terms.years,
                                       terms.rate};
        return {EuropeanPrice(european, volatility), EuropeanDelta(european, volatility)};
    }
    return GridValue(terms, volatility, kSpaceNodes, kTimeSteps);
}

} // namespace strikeline
