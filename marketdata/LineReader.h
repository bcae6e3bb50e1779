#pragma once

#include "platform/FileHandle.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// Reads the market data files line by line as they have always been read: a line ends at
// LF; a CR or LF and whatever follows it is cut off; only the first 1023 characters of a
// line count. Memory stays bounded whatever the file holds, a line of gigabytes included.
class CLineReader {
public:
    static constexpr std::size_t kMaxLineLength = 1023;

    // Reads from an open file, which the caller closes.
    explicit CLineReader(std::FILE* file);

    // The next line; false at the end of the file. The text stays valid until the next call.
    bool Next(std::string_view& line);
    // The number of the line Next gave last, counting every line from 1.
    unsigned LineNumber() const { return m_LineNumber; }
    // True when reading stopped on an input error rather than at the end of the file.
    bool Failed() const { return m_Failed; }

private:
    bool Fill();

    std::FILE* m_File;
    std::vector<char> m_Buffer;
    std::size_t m_Position = 0;
    std::size_t m_End = 0;
    // Where the first CR in the buffer at or after the lines given lies (the buffer's end
    // when there is none), or kNotLooked.
    static constexpr std::size_t kNotLooked = static_cast<std::size_t>(-1);
    std::size_t m_Return = kNotLooked;
    std::string m_Carry;
    unsigned m_LineNumber = 0;
    bool m_Failed = false;
};

// Opens a market data file for reading, but only a regular file: a FIFO in its place would
// hold the reader until someone writes to it, and a device could feed it without end.
// Null when the path cannot be opened or is anything else than a regular file.
CFileHandle OpenDataFile(const std::string& path);

} // namespace strikeline
