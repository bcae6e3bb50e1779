#pragma once

#include "marketdata/CompanyInfo.h"
#include "storage/FileTime.h"

namespace strikeline {

// What writing one option series yields, per series (the share's last sale is the price
// paid, the series' last price the premium received). Every figure whose inputs are
// missing, or that would divide by zero, holds UNSET_VALUE and shows as empty text.
struct CSeriesFigures {
    double notExercisedProfit = UNSET_VALUE; // premium × size
    double notExercisedReturn = UNSET_VALUE; // premium / last × 100
    double exercisedProfit = UNSET_VALUE;    // E: (strike − last + premium) × size for calls,
                                             //    (last − strike + premium) × size for puts
    double exercisedReturn = UNSET_VALUE;    // E / last × 100 / size
    double breakEven = UNSET_VALUE; // last − premium for calls, strike − premium for puts
};

// The call or put column applies by the kind of the series' share.
CSeriesFigures ComputeSeriesFigures(const CCompanyInfo& company, const CContractInfo& series);

// The 50% leveraged position under a share's at-the-money series.
struct CLeveragedFigures {
    double notExercisedProfit = UNSET_VALUE; // NL = 2 × premium × size − cost
    double notExercisedReturn = UNSET_VALUE; // (premium / last × 100) × (NL / (premium × size))
    double exercisedProfit = UNSET_VALUE;    // EL = 2 × E − cost
    double exercisedReturn = UNSET_VALUE;    // (E / last × 100 / size) × (EL / E)
};

// The interest on borrowing half the position at 9% a year until the expiry of `first`
// (the share's lowest-strike series), whole days; 0 once that series has expired.
double CostOfLeverage(const CCompanyInfo& company, const CContractInfo& first, FileTime now);
CLeveragedFigures ComputeLeveragedFigures(const CCompanyInfo& company,
                                          const CContractInfo& atTheMoney, double costOfLeverage);

} // namespace strikeline
