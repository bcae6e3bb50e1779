#include "journal/LeverageCalculator.h"

#include "storage/NumberText.h"

#include <algorithm>
#include <string_view>

namespace strikeline {

namespace {

constexpr int kDecimals = 5;
constexpr double kMonthsPerYear = 12.0;
constexpr double kDaysPerYear = 365.0;

std::string Without(std::string text, char sign) {
    text.erase(std::remove(text.begin(), text.end(), sign), text.end());
    return text;
}

// A marker value typed in would print as no figure at all, so it is no number here either.
// "1,000" is a thousand, and "1,00" no number rather than the 1 before the comma.
bool ReadNumber(std::string_view text, double& value) {
    return ParseTypedNumber(text, value, TypedNumberEnd::WordsMayFollow) && IsValue(value);
}

} // namespace

bool CalculateLeverage(const CLeverageInputs& inputs, CLeverageResults& results,
                       CLeverageError& error) {
    double shares = 0.0;
    double price = 0.0;
    double rate = 0.0;
    double days = 0.0;
    if (!ReadNumber(inputs.shares, shares) || shares <= 0.0) {
        error = {LeverageField::Shares, "Invalid number of shares"};
        return false;
    }
    if (!ReadNumber(Without(inputs.pricePerShare, '$'), price)) {
        error = {LeverageField::PricePerShare, "Invalid price per share"};
        return false;
    }
    if (!ReadNumber(Without(inputs.interestRate, '%'), rate)) {
        error = {LeverageField::InterestRate, "Invalid interest rate"};
        return false;
    }
    if (!ReadNumber(inputs.periodDays, days)) {
        error = {LeverageField::PeriodDays, "Invalid period of margin"};
        return false;
    }
    const double total = price * shares;
    const double costPerShare = total * rate / 100 / kMonthsPerYear / shares;
    const double costOfLeverage = total * rate / 100 / kDaysPerYear * days;
    results = {FormatMoney(total, kDecimals), FormatMoney(costPerShare, kDecimals),
               FormatMoney(costOfLeverage, kDecimals)};
    return true;
}

} // namespace strikeline
