#include "reports/SeriesFigures.h"

#include <cmath>
#include <initializer_list>

namespace strikeline {

namespace {

constexpr double kLeverageInterest = 9.0 / 100.0;
constexpr std::uint64_t kTicksPerDay = 864000000000ULL;

bool AllValues(std::initializer_list<double> inputs) {
    for (const double x : inputs) {
        if (!IsValue(x) || !std::isfinite(x)) {
            return false;
        }
    }
    return true;
}

// A quotient, or no value when an input is missing or the divisor is 0.
double Divide(double numerator, double denominator) {
    if (!AllValues({numerator, denominator}) || denominator == 0.0) {
        return UNSET_VALUE;
    }
    return numerator / denominator;
}

double Multiply(double a, double b) {
    return AllValues({a, b}) ? a * b : UNSET_VALUE;
}

} // namespace

CSeriesFigures ComputeSeriesFigures(const CCompanyInfo& company, const CContractInfo& series) {
    const double last = company.Last();
    const double premium = series.Last();
    const double size = series.ContractSize();
    const double strike = series.Exercise();
    const bool call = company.IsCall();

    CSeriesFigures figures;
    figures.notExercisedProfit = Multiply(premium, size);
    figures.notExercisedReturn = Multiply(Divide(premium, last), 100.0);
    if (AllValues({strike, last, premium})) {
        figures.exercisedProfit =
            Multiply(call ? strike - last + premium : last - strike + premium, size);
        figures.breakEven = call ? last - premium : strike - premium;
    }
    figures.exercisedReturn = Divide(Multiply(Divide(figures.exercisedProfit, last), 100.0), size);
    return figures;
}

double CostOfLeverage(const CCompanyInfo& company, const CContractInfo& first, FileTime now) {
    if (now > first.Expiry()) {
        return 0.0;
    }
    const double days = static_cast<double>((first.Expiry() - now) / kTicksPerDay);
    const double value = Multiply(first.ContractSize(), company.Last());
    return IsValue(value) ? value * kLeverageInterest / 365.0 * days : UNSET_VALUE;
}

CLeveragedFigures ComputeLeveragedFigures(const CCompanyInfo& company,
                                          const CContractInfo& atTheMoney, double costOfLeverage) {
    const CSeriesFigures series = ComputeSeriesFigures(company, atTheMoney);
    CLeveragedFigures figures;
    if (!IsValue(costOfLeverage)) {
        return figures;
    }
    if (IsValue(series.notExercisedProfit)) {
        figures.notExercisedProfit = 2.0 * series.notExercisedProfit - costOfLeverage;
        figures.notExercisedReturn =
            Multiply(series.notExercisedReturn,
                     Divide(figures.notExercisedProfit, series.notExercisedProfit));
    }
    if (IsValue(series.exercisedProfit)) {
        figures.exercisedProfit = 2.0 * series.exercisedProfit - costOfLeverage;
        figures.exercisedReturn = Multiply(series.exercisedReturn,
                                           Divide(figures.exercisedProfit, series.exercisedProfit));
    }
    return figures;
}

} // namespace strikeline
