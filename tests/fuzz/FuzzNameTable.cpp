// Feeds arbitrary bytes to the company names and Top 20 parser.

#include "marketdata/NameTableParser.h"
#include "support/FuzzInput.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    const fuzz::CMemoryFile file(data, size);
    if (!file) {
        return 0;
    }
    CCompanyNameTable table;
    std::string error;
    const bool ok = ParseNameTableStream(table, file.Get(), error);
    if (!ok && error.rfind("Unexpected data at line ", 0) != 0) {
        std::abort();
    }
    // The lookup keeps the first name given for a code.
    const std::size_t checked = std::min<std::size_t>(table.GetCount(), 200);
    for (std::size_t i = 0; i < checked; ++i) {
        std::size_t first = 0;
        while (table.GetCodeAt(first) != table.GetCodeAt(i)) {
            ++first;
        }
        if (table.GetName(table.GetCodeAt(i)) != table.GetNameAt(first)) {
            std::abort();
        }
    }
    return 0;
}
