#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace strikeline {

// One underlying share of the sample market, with the figures its prices are drawn around.
struct CListedCompany {
    std::string m_Code;        // three characters, as the exchange writes them
    std::string m_Name;        // never holds a single quote, which the name files cannot carry
    double m_Price = 0.0;      // typical share price in dollars
    double m_Eps = 0.0;        // earnings per share; 0 or negative for loss-makers
    double m_Volatility = 0.0; // annual, at the money
    // 1 for the largest and most traded, 2 for the next, 3 for the rest: decides how many
    // expiries and strikes are listed and how busy the series are.
    int m_Tier = 3;
};

// About a hundred real underlyings of exchange-traded options, largest first.
const std::vector<CListedCompany>& RealListedCompanies();

// The companies of a market of the given scale: the real ones, then (scale - 1) times as
// many synthetic companies with three-letter codes that no real one uses. Each synthetic
// company copies the size, price band and volatility of a real one with some variation,
// so the number of series grows in proportion to the scale.
std::vector<CListedCompany> BuildListedCompanies(std::uint64_t seed, int scale);

} // namespace strikeline
