#include "analytics/AmericanPricer.h"

#include "analytics/BlackScholes.h"

#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

// Implicit steps after the start and after each dividend, which damp the kinks the
// payoff and the exercise boundary leave (Rannacher's start).
constexpr int kSmoothingSteps = 2;
// How far the grid reaches beyond the prices that matter, in standard deviations of the
// log price at expiry.
constexpr double kReach = 5.5;

double Payoff(bool isCall, double spot, double strike) {
    return std::max(isCall ? spot - strike : strike - spot, 0.0);
}

// The log-price grid: node i is exp(low + i × step); the strike is a node, which keeps the
// error smooth in the step, and the spot is read off by cubic interpolation.
struct CGrid {
    double low = 0.0;
    double step = 0.0;
    std::vector<double> prices;
    std::vector<double> payoffs;
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
    const double strikeNode = std::floor((logStrike - low) / grid.step);
    grid.low = logStrike - strikeNode * grid.step;
    const auto n = static_cast<std::size_t>(nodes);
    grid.prices.resize(n);
    grid.payoffs.resize(n);
    // Each price a constant ratio above the last: one exponential for the whole grid, and
    // the strike's node still lands on the strike to the last few bits.
    const double ratio = std::exp(grid.step);
    double price = std::exp(grid.low);
    for (std::size_t i = 0; i < n; ++i) {
        grid.prices[i] = price;
        grid.payoffs[i] = Payoff(terms.isCall, price, terms.strike);
        price *= ratio;
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

// The value and delta at the spot from the four nodes around it (cubic Lagrange).
COptionValue ReadAtSpot(const CGrid& grid, const std::vector<double>& values, double spot) {
    const double position = (std::log(spot) - grid.low) / grid.step;
    const auto first = static_cast<std::size_t>(
        std::clamp(std::floor(position) - 1.0, 0.0, static_cast<double>(values.size() - 4)));
    const double u = position - static_cast<double>(first); // 1..2 inside
    const double* v = &values[first];
    // Lagrange weights on nodes 0..3 at u, and their derivatives.
    const double w0 = -(u - 1) * (u - 2) * (u - 3) / 6.0;
    const double w1 = u * (u - 2) * (u - 3) / 2.0;
    const double w2 = -u * (u - 1) * (u - 3) / 2.0;
    const double w3 = u * (u - 1) * (u - 2) / 6.0;
    const double d0 = -((u - 2) * (u - 3) + (u - 1) * (u - 3) + (u - 1) * (u - 2)) / 6.0;
    const double d1 = ((u - 2) * (u - 3) + u * (u - 3) + u * (u - 2)) / 2.0;
    const double d2 = -((u - 1) * (u - 3) + u * (u - 3) + u * (u - 1)) / 2.0;
    const double d3 = ((u - 1) * (u - 2) + u * (u - 2) + u * (u - 1)) / 6.0;
    const double price = w0 * v[0] + w1 * v[1] + w2 * v[2] + w3 * v[3];
    const double slope = (d0 * v[0] + d1 * v[1] + d2 * v[2] + d3 * v[3]) / grid.step; // dV/dx
    return {price, slope / spot};
}

// One step (I − θ dt L) V' = (I + (1 − θ) dt L) V for the constant coefficients of L, with
// the exercise value imposed as the solution is substituted back (Brennan and Schwartz):
// substitution starts at the end where exercise is due (low prices for a put, high for a
// call), so each node sees the exercise decision of its neighbour. The tridiagonal system is
// factorised once for all the steps of a stretch.
class CStepper {
public:
    // `fromLow`: substitute from the lowest price up (puts).
    CStepper(std::size_t n, double theta, double dt, double down, double centre, double up,
             bool fromLow)
        : m_FromLow(fromLow), m_Down(fromLow ? up : down), m_Centre(centre),
          m_Up(fromLow ? down : up), m_Explicit((1.0 - theta) * dt), m_Lower(-theta * dt * m_Down),
          m_Upper(-theta * dt * m_Up), m_InversePivots(n), m_Factors(n) {
        const double diagonal = 1.0 - theta * dt * centre;
        double pivot = diagonal;
        m_InversePivots[1] = 1.0 / pivot;
        for (std::size_t k = 2; k + 1 < n; ++k) {
            m_Factors[k] = m_Lower / pivot;
            pivot = diagonal - m_Factors[k] * m_Upper;
            m_InversePivots[k] = 1.0 / pivot;
        }
    }

    // The inner nodes of `values` one step on, never below `payoffs`; the ends stay as they
    // are.
    void Step(std::vector<double>& values, std::vector<double>& rhs,
              const std::vector<double>& payoffs) const {
        const std::size_t n = values.size();
        // Node k of the elimination order is node At(k) of the grid.
        const auto at = [&](std::size_t k) {
            return m_FromLow ? n - 1 - k : k;
        };
        double previous = 0.0;
        for (std::size_t k = 1; k + 1 < n; ++k) {
            const double below = values[at(k - 1)], here = values[at(k)], above = values[at(k + 1)];
            double r = here + m_Explicit * (m_Down * below + m_Centre * here + m_Up * above);
            r -= k == 1 ? m_Lower * below : m_Factors[k] * previous;
            if (k == n - 2) {
                r -= m_Upper * above;
            }
            rhs[k] = r;
            previous = r;
        }
        double next = 0.0;
        for (std::size_t k = n - 1; k-- > 1;) {
            const double coupling = k == n - 2 ? 0.0 : m_Upper * next;
            const std::size_t i = at(k);
            next = std::max((rhs[k] - coupling) * m_InversePivots[k], payoffs[i]);
            values[i] = next;
        }
    }

private:
    bool m_FromLow;
    double m_Down, m_Centre, m_Up, m_Explicit, m_Lower, m_Upper;
    std::vector<double> m_InversePivots;
    std::vector<double> m_Factors;
};

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
    std::vector<double> values = grid.payoffs, scratch(n), rhs(n);

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

    auto exercise = [&] {
        for (std::size_t i = 0; i < n; ++i) {
            values[i] = std::max(values[i], grid.payoffs[i]);
        }
    };
    const double stepLength = terms.years / timeSteps;
    double time = terms.years;
    std::size_t nextDividend = 0;
    for (;;) {
        while (nextDividend < dividends.size() && dividends[nextDividend].years >= time - 1e-12) {
            ApplyDividend(terms, grid, dividends[nextDividend].amount, values, scratch);
            exercise();
            ++nextDividend;
        }
        if (time <= 0.0) {
            break;
        }
        const double until =
            nextDividend < dividends.size() ? std::max(dividends[nextDividend].years, 0.0) : 0.0;
        // Steps of about the standard length that land on the next ex-date; the first few
        // after the start or a dividend are implicit.
        const double span = time - until;
        const int steps =
            std::max(kSmoothingSteps + 1, static_cast<int>(std::ceil(span / stepLength - 1e-9)));
        const double dt = span / steps;
        // Rannacher's start: each of the first steps is taken as two implicit half steps.
        const bool fromLow = !terms.isCall;
        const CStepper implicit(n, 1.0, 0.5 * dt, down, centre, up, fromLow);
        const CStepper crankNicolson(n, 0.5, dt, down, centre, up, fromLow);
        for (int step = 0; step < steps; ++step) {
            if (step < kSmoothingSteps) {
                implicit.Step(values, rhs, grid.payoffs);
                implicit.Step(values, rhs, grid.payoffs);
            } else {
                crankNicolson.Step(values, rhs, grid.payoffs);
            }
        }
        time = until;
    }
    // Interpolation across the exercise boundary's kink may overshoot a little; a delta
    // outside what an option can have is that error, not a figure.
    COptionValue value = ReadAtSpot(grid, values, terms.spot);
    value.price = std::max(value.price, Payoff(terms.isCall, terms.spot, terms.strike));
    value.delta =
        terms.isCall ? std::clamp(value.delta, 0.0, 1.0) : std::clamp(value.delta, -1.0, 0.0);
    return value;
}

COptionValue AmericanValue(const COptionTerms& terms, double volatility) {
    if (!MayExerciseEarly(terms)) {
        const CEuropeanOption european{terms.isCall, terms.spot, terms.strike, terms.years,
                                       terms.rate};
        return {EuropeanPrice(european, volatility), EuropeanDelta(european, volatility)};
    }
    return GridValue(terms, volatility, kFineSpaceNodes, kFineTimeSteps);
}

} // namespace strikeline
