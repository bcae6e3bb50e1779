// Feeds arbitrary bytes to the reader of the trading plan file (tradingplan.xml); see
// FuzzUserFile.h.

#include "fuzz/FuzzUserFile.h"
#include "plan/TradingPlan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    fuzz::CheckUserFile<CTradingPlan>(
        data, size,
        [](CTradingPlan& document, const std::string& path, std::string& error) {
            return document.Load(path, error);
        },
        [](const CTradingPlan& document, const std::string& path) { return document.Save(path); });
    return 0;
}
