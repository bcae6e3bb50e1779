// Feeds arbitrary bytes to the option file parser: it must end with success or its
// message, never crash, hang or grow without bound, and what it keeps must hang together.

#include "marketdata/OptionFileParser.h"
#include "support/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    const fuzz::CMemoryFile file(data, size);
    if (!file) {
        return 0;
    }
    std::vector<CCompanyInfo> companies;
    std::string error;
    const bool ok = ParseOptionStream(companies, file.Get(), true, error);
    if (!ok && error.rfind("Unexpected data at line ", 0) != 0) {
        std::abort();
    }
    for (const CCompanyInfo& company : companies) {
        for (const CContractInfo& contract : company.Contracts()) {
            if (contract.Company() != &company || contract.Code().empty()) {
                std::abort();
            }
        }
    }
    return 0;
}
