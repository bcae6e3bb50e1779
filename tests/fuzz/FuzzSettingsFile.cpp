// Feeds arbitrary bytes to the settings file reader. What it reads must write back as a
// file that reads again to the same text, so a settings file never changes from one run to
// the next by being read and written.

#include "storage/RegistryFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CRegistryFile registry;
    std::string error;
    if (!registry.Parse(text, error)) {
        if (error.rfind("line ", 0) != 0 || !registry.CurrentUser()->Children().empty() ||
            !registry.CurrentUser()->Values().empty()) {
            std::abort();
        }
        return 0;
    }
    const std::string written = registry.ToText();
    CRegistryFile again;
    if (!again.Parse(written, error) || again.ToText() != written) {
        std::abort();
    }
    return 0;
}
