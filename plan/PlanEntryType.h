#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace strikeline {

// The kind of trade a plan row stands for, as stored in the plan file. Rows the program
// creates start as a sold call or a sold put; the row's menu switches between selling and
// buying within the family. Codes 0 and 1 only come from older files.
enum PlanEntryType : std::uint32_t {
    TYPE_NONE = 0,
    TYPE_CALL = 1,
    TYPE_SELL_PUT = 2,
    TYPE_BUY_PUT = 3,
    TYPE_SELL_CALL = 4,
    TYPE_BUY_CALL = 5,
};
inline constexpr std::uint32_t kLastPlanEntryType = TYPE_BUY_CALL;

enum class PlanFamily { None, Call, Put };

// "?", "C", "P (Sell)", "P (Buy)", "C (Sell)", "C (Buy)"; any other code shows "?".
std::string_view PlanTypeLabel(std::uint32_t type);
// Bought options have no exercised outcome; every other code takes the sell-side rules.
bool IsBuyType(std::uint32_t type);
PlanFamily PlanFamilyOf(std::uint32_t type);

// The trade sides a row's menu offers: sell or buy within the row's family, the current
// one ticked. Rows of no family get no menu.
struct CPlanTypeChoice {
    std::string_view label;
    std::uint32_t type;
    bool ticked;
};
std::vector<CPlanTypeChoice> PlanTypeChoices(std::uint32_t type);

} // namespace strikeline
