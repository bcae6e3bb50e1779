#include "marketdata/LineReader.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::string_view CutAtReturn(std::string_view line) {
    const std::size_t cr = line.find('\r');
    return cr == std::string_view::npos ? line : line.substr(0, cr);
}

} // namespace

CFileHandle OpenDataFile(const std::string& path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer before the type can be checked.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    CFileHandle file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
    }
    return file;
}

CLineReader::CLineReader(std::FILE* file) : m_File(file), m_Buffer(kBufferSize) {}

bool CLineReader::Fill() {
    if (m_File == nullptr) {
        return false;
    }
    m_Position = 0;
    m_End = std::fread(m_Buffer.data(), 1, m_Buffer.size(), m_File);
    m_Return = kNotLooked;
    if (m_End == 0 && std::ferror(m_File)) {
        m_Failed = true;
    }
    return m_End > 0;
}

bool CLineReader::Next(std::string_view& line) {
    m_Carry.clear();
    bool started = false;
    for (;;) {
        if (m_Position == m_End && !Fill()) {
            if (!started) {
                return false;
            }
            break; // the last line has no LF
        }
        started = true;
        const char* begin = m_Buffer.data() + m_Position;
        const std::size_t available = m_End - m_Position;
        const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', available));
        const std::size_t length =
            newline != nullptr ? static_cast<std::size_t>(newline - begin) : available;
        m_Position += newline != nullptr ? length + 1 : length;
        if (newline != nullptr && m_Carry.empty()) {
            // The usual case: the whole line is in the buffer and needs no copy. A file with
            // LF line ends has no CR to look for in most of its lines: the next CR in the
            // buffer is found once and lines before it are not searched.
            ++m_LineNumber;
            line = std::string_view(begin, std::min(length, kMaxLineLength));
            const auto at = static_cast<std::size_t>(begin - m_Buffer.data());
            if (m_Return == kNotLooked || m_Return < at) {
                const auto* found = static_cast<const char*>(std::memchr(begin, '\r', m_End - at));
                m_Return =
                    found != nullptr ? static_cast<std::size_t>(found - m_Buffer.data()) : m_End;
            }
            if (m_Return < at + line.size()) {
                line = line.substr(0, m_Return - at);
            }
            return true;
        }
        const std::size_t room = kMaxLineLength - std::min(m_Carry.size(), kMaxLineLength);
        m_Carry.append(begin, std::min(length, room));
        if (newline != nullptr) {
            break;
        }
    }
    ++m_LineNumber;
    line = CutAtReturn(m_Carry);
    return true;
}

} // namespace strikeline
