#pragma once

namespace strikeline {

// The views a refresh request names.
enum class RefreshKind { CallReport, PutReport, ShortList, Dividends, TradingPlan };

} // namespace strikeline
