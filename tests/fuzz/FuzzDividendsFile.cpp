// Feeds arbitrary bytes to the dividends parser.

#include "marketdata/DividendsFileParser.h"
#include "support/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    const fuzz::CMemoryFile file(data, size);
    if (!file) {
        return 0;
    }
    std::vector<CDividend> entries;
    std::string error;
    const bool ok = ParseDividendsStream(entries, file.Get(), error);
    if (!ok && error.rfind("Unexpected data at line ", 0) != 0) {
        std::abort();
    }
    for (const CDividend& entry : entries) {
        if (entry.code.empty() || entry.date == kNoDate) {
            std::abort();
        }
    }
    return 0;
}
