#include "plan/PlanEntryType.h"

namespace strikeline {

std::string_view PlanTypeLabel(std::uint32_t type) {
    switch (type) {
    case TYPE_CALL:
        return "C";
    case TYPE_SELL_PUT:
        return "P (Sell)";
    case TYPE_BUY_PUT:
        return "P (Buy)";
    case TYPE_SELL_CALL:
        return "C (Sell)";
    case TYPE_BUY_CALL:
        return "C (Buy)";
    default:
        return "?";
    }
}

bool IsBuyType(std::uint32_t type) {
    return type == TYPE_BUY_PUT || type == TYPE_BUY_CALL;
}

PlanFamily PlanFamilyOf(std::uint32_t type) {
    switch (type) {
    case TYPE_CALL:
    case TYPE_SELL_CALL:
    case TYPE_BUY_CALL:
        return PlanFamily::Call;
    case TYPE_SELL_PUT:
    case TYPE_BUY_PUT:
        return PlanFamily::Put;
    default:
        return PlanFamily::None;
    }
}

std::vector<CPlanTypeChoice> PlanTypeChoices(std::uint32_t type) {
    switch (PlanFamilyOf(type)) {
    case PlanFamily::Call:
        return {{"Sell a Call", TYPE_SELL_CALL, type == TYPE_SELL_CALL},
                {"Buy a Call", TYPE_BUY_CALL, type == TYPE_BUY_CALL}};
    case PlanFamily::Put:
        return {{"Sell a Put", TYPE_SELL_PUT, type == TYPE_SELL_PUT},
                {"Buy a Put", TYPE_BUY_PUT, type == TYPE_BUY_PUT}};
    default:
        return {};
    }
}

} // namespace strikeline
