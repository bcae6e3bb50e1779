#pragma once

#include <cstdint>
#include <cstdio>

namespace strikeline::fuzz {

// A fuzzer's bytes as a read-only file, so the parsers read them exactly as they read
// files on disk.
class CMemoryFile {
public:
    CMemoryFile(const std::uint8_t* data, std::size_t size)
        : m_File(size > 0 ? ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb") : nullptr) {}
    ~CMemoryFile() {
        if (m_File != nullptr) {
            std::fclose(m_File);
        }
    }
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;

    explicit operator bool() const { return m_File != nullptr; }
    std::FILE* Get() const { return m_File; }

private:
    std::FILE* m_File;
};

} // namespace strikeline::fuzz
