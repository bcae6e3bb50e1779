#include "journal/LeverageCalculator.h"

#include "journal/CascadeOffset.h"

#include <gtest/gtest.h>
#include <vector>

namespace strikeline {
namespace {

CLeverageInputs Inputs(const char* shares, const char* price, const char* rate, const char* days) {
    return {shares, price, rate, days};
}

TEST(LeverageCalculator, PricesAMarginLoan) {
    const CLeverageResults expected = {"$2500", "$0.01875", "$18.49315"};
    for (const CLeverageInputs& inputs :
         {Inputs("1000", "2.50", "9", "30"), Inputs("1000", "$2.50", "9", "30"),
          Inputs(" 1000 ", "$$2.50", "9%", "30 days"), Inputs("1,000", "2.50", "9", "30")}) {
        CLeverageResults results;
        CLeverageError error;
        ASSERT_TRUE(CalculateLeverage(inputs, results, error)) << error.message;
        EXPECT_EQ(results, expected) << inputs.pricePerShare << " " << inputs.interestRate;
    }
}

TEST(LeverageCalculator, StartsWithNinepercentInterest) {
    EXPECT_EQ(CLeverageInputs{}.interestRate, "9");
}

TEST(LeverageCalculator, OnlyTheShareCountMustBePositive) {
    CLeverageResults results;
    CLeverageError error;
    ASSERT_TRUE(CalculateLeverage(Inputs("0.5", "-2", "0", "-10"), results, error))
        << error.message;
    EXPECT_EQ(results, (CLeverageResults{"$-1", "$0", "$0"}));

    ASSERT_TRUE(CalculateLeverage(Inputs("200", "-2", "12", "-365"), results, error))
        << error.message;
    EXPECT_EQ(results, (CLeverageResults{"$-400", "$-0.02", "$48"}));
}

TEST(LeverageCalculator, RefusesTheFirstBadFieldAndKeepsTheResults) {
    struct Case {
        CLeverageInputs inputs;
        LeverageField field;
        const char* message;
    };
    const Case cases[] = {
        {Inputs("0", "2.5", "9", "30"), LeverageField::Shares, "Invalid number of shares"},
        {Inputs("-5", "2.5", "9", "30"), LeverageField::Shares, "Invalid number of shares"},
        {Inputs("", "2.5", "9", "30"), LeverageField::Shares, "Invalid number of shares"},
        {Inputs("many", "x", "x", "x"), LeverageField::Shares, "Invalid number of shares"},
        {Inputs("1000", "abc", "x", "x"), LeverageField::PricePerShare, "Invalid price per share"},
        {Inputs("1000", "$", "9", "30"), LeverageField::PricePerShare, "Invalid price per share"},
        {Inputs("1000", "-1000000000", "9", "30"), LeverageField::PricePerShare,
         "Invalid price per share"},
        {Inputs("1000", "2.5", "%", "30"), LeverageField::InterestRate, "Invalid interest rate"},
        {Inputs("1000", "2.5", "$9", "30"), LeverageField::InterestRate, "Invalid interest rate"},
        {Inputs("1000", "2.5", "9", ""), LeverageField::PeriodDays, "Invalid period of margin"},
        {Inputs("1000", "2.5", "9", "N/A"), LeverageField::PeriodDays, "Invalid period of margin"},
        // Read up to the comma these would be 1 share and $1.
        {Inputs("1,00", "2.5", "9", "30"), LeverageField::Shares, "Invalid number of shares"},
        {Inputs("1000", "$1,2345", "9", "30"), LeverageField::PricePerShare,
         "Invalid price per share"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CLeverageResults results = {"a", "b", "c"};
        CLeverageError error;
        EXPECT_FALSE(CalculateLeverage(c.inputs, results, error));
        EXPECT_EQ(error.field, c.field);
        EXPECT_EQ(error.message, c.message);
        EXPECT_EQ(results, (CLeverageResults{"a", "b", "c"}));
    }
}

TEST(CascadeOffset, ShiftsEachWindowTenFurtherAndStartsAgainAfter110) {
    CCascadeOffset offset;
    std::vector<int> shifts;
    for (int i = 0; i < 13; ++i) {
        shifts.push_back(offset.Next());
    }
    EXPECT_EQ(shifts, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 10, 20}));
}

} // namespace
} // namespace strikeline
