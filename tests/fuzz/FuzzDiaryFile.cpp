// Feeds arbitrary bytes to the reader of the diary file (diary.xml); see FuzzUserFile.h.

#include "fuzz/FuzzUserFile.h"
#include "journal/DiaryDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace strikeline;
    fuzz::CheckUserFile<CDiaryDatabase>(
        data, size,
        [](CDiaryDatabase& document, const std::string& path, std::string& error) {
            return document.Load(path, error);
        },
        [](const CDiaryDatabase& document, const std::string& path) {
            return document.Save(path);
        });
    return 0;
}
