#pragma once

// The check every fuzzer of a user file makes: the reader refuses what it cannot read with
// a reason, and whatever it did read writes back as a file that reads again, and from then
// on writes the same bytes, so a file never drifts by being opened and closed.

#include "platform/AtomicFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace strikeline::fuzz {

// The readers take paths: the bytes go to files of this process's own, removed after each
// input (libFuzzer ends without running exit handlers). They are in memory where the system
// offers a folder there, since every save flushes its file to disk.
inline std::string FuzzFile(const char* name) {
    std::error_code failed;
    const std::filesystem::path folder =
        std::filesystem::is_directory("/dev/shm", failed) ? "/dev/shm" : "/tmp";
    return (folder / ("strikeline-fuzz-" + std::to_string(::getpid()) + "-" + name)).string();
}

struct CRemoveFiles {
    std::vector<std::string> paths;
    ~CRemoveFiles() {
        for (const std::string& path : paths) {
            std::error_code failed;
            std::filesystem::remove(path, failed);
        }
    }
};

inline std::string ReadBack(const std::string& path) {
    std::string text;
    std::string error;
    if (!ReadWholeFile(path, text, error)) {
        std::abort();
    }
    return text;
}

// `Document` is made afresh for each read; `load(document, path, error)` and
// `save(document, path)` are its reader and writer.
template <typename Document, typename Load, typename Save>
void CheckUserFile(const std::uint8_t* data, std::size_t size, Load load, Save save) {
    const std::string input = FuzzFile("input");
    const std::string first = FuzzFile("first");
    const std::string second = FuzzFile("second");
    const CRemoveFiles remove{{input, first, second}};
    std::string error;
    if (!WriteFileAtomically(input, {reinterpret_cast<const char*>(data), size}, error)) {
        std::abort();
    }
    auto document = std::make_unique<Document>();
    if (!load(*document, input, error) && error.empty()) {
        std::abort();
    }
    if (!save(*document, first)) {
        std::abort();
    }
    document = std::make_unique<Document>();
    if (!load(*document, first, error) || !save(*document, second)) {
        std::abort();
    }
    document = std::make_unique<Document>();
    if (!load(*document, second, error) || !save(*document, first) ||
        ReadBack(first) != ReadBack(second)) {
        std::abort();
    }
}

} // namespace strikeline::fuzz
