#pragma once

#include <string>

namespace strikeline {

// The Leverage Calculator's inputs as typed. The price may carry "$" signs and the rate
// "%" signs, which are ignored.
struct CLeverageInputs {
    std::string shares;
    std::string pricePerShare;
    std::string interestRate = "9"; // percent per year
    std::string periodDays;
};

// The results as shown, dollars with up to five decimals.
struct CLeverageResults {
    std::string totalPurchasePrice;
    // One month of interest per share.
    std::string costPerShare;
    // Interest over the whole period.
    std::string costOfLeverage;

    bool operator==(const CLeverageResults&) const = default;
};

enum class LeverageField { Shares, PricePerShare, InterestRate, PeriodDays };

struct CLeverageError {
    LeverageField field = LeverageField::Shares;
    std::string message;
};

// Prices a margin-funded share purchase. Every input must hold a number not cut short
// (thousands separators are read; a marker value counts as none) and the share count
// must be above 0; price,
// rate and days may be 0 or negative. On the first input that fails, returns false with that field
// and its message
// ("Invalid number of shares", "Invalid price per share", "Invalid interest rate",
// "Invalid period of margin") and leaves `results` as they were.
bool CalculateLeverage(const CLeverageInputs& inputs, CLeverageResults& results,
                       CLeverageError& error);

} // namespace strikeline
