// Feeds arbitrary bytes to the reader of the average trades file (averagetrades.xml); see
// FuzzUserFile.h.

#include "fuzz/FuzzUserFile.h"
#include "journal/AverageTradesDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    fuzz::CheckUserFile<CAverageTradesDatabase>(
        data, size,
        [](CAverageTradesDatabase& document, const std::string& path, std::string& error) {
            return document.Load(path, error);
        },
        [](const CAverageTradesDatabase& document, const std::string& path) {
            return document.Save(path);
        });
    return 0;
}
