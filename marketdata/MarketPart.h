#pragma once

namespace strikeline {

// The parts of the market a data file fills; each file replaces one.
enum class MarketPart { Calls, Puts, Dividends, CompanyNames, Top20 };

} // namespace strikeline
