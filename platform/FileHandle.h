#pragma once

#include <cstdio>
#include <memory>

namespace strikeline {

// A C file that closes itself.
struct CFileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};
using CFileHandle = std::unique_ptr<std::FILE, CFileCloser>;

} // namespace strikeline
