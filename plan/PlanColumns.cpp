#include "plan/PlanColumns.h"

#include "storage/BuiltInSchemes.h"
#include "storage/ColorScheme.h"

namespace strikeline {

Color PlanCellPalette(const CColorScheme& scheme, std::int32_t index) {
    switch (index) {
    case 1:
        return scheme.Get(SchemeColor::ReturnPercentsBk);
    case 2:
        return scheme.Get(SchemeColor::StrikePriceBk);
    case 3:
        return PlanRedHighlight(scheme);
    case 4:
        return PlanCyanHighlight(scheme);
    default:
        return scheme.Get(SchemeColor::ReportBk);
    }
}

} // namespace strikeline
