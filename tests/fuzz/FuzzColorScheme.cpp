// Feeds arbitrary bytes to the reader of the colour scheme file (.slclr); see FuzzUserFile.h.

#include "fuzz/FuzzUserFile.h"
#include "storage/ColorScheme.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    fuzz::CheckUserFile<CColorScheme>(
        data, size,
        [](CColorScheme& document, const std::string& path, std::string& error) {
            return document.LoadFromFile(path, error);
        },
        [](const CColorScheme& document, const std::string& path) {
            return document.SaveToFile(path);
        });
    return 0;
}
