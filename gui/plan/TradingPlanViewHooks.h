#pragma once

#include <functional>
#include <string>

namespace strikeline {

class CAnalyticsWorker;
class CTradingPlanView;

// What the plan window needs from the rest of the program.
struct CTradingPlanViewHooks {
    // A closed row left no row of its series in the plan: the Short List clears the
    // series' plan box.
    std::function<void(const std::string& companyCode, const std::string& contractId, bool isCall)>
        untickSeries;
    // A new plan view, before it is shown (tests fix its clock and seams here).
    std::function<void(CTradingPlanView& view)> onCreated;
    // An undone close put such a series' row back: the Short List ticks its box again
    // (without adding a row).
    std::function<void(const std::string& companyCode, const std::string& contractId, bool isCall)>
        tickSeries;
    // Tells when the market's analytics are new: the plan's analytics columns fill in.
    CAnalyticsWorker* analytics = nullptr;
};

} // namespace strikeline
