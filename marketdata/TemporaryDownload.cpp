#include "marketdata/TemporaryDownload.h"

#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace strikeline {

namespace {

constexpr std::string_view kTemporaryPrefix = "qdl_";

} // namespace

CTemporaryDownload::CTemporaryDownload(const std::string& folder, const std::string& prefix)
    : m_Path(CreateTemporaryFile(PathInFolder(folder, prefix))) {
    if (m_Path.empty()) {
        return;
    }
    m_Lock = ::open(m_Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_Lock >= 0) {
        ::flock(m_Lock, LOCK_EX);
    }
}

CTemporaryDownload::~CTemporaryDownload() {
    if (!m_Path.empty()) {
        ::unlink(m_Path.c_str());
    }
    if (m_Lock >= 0) {
        ::close(m_Lock);
    }
}

bool CTemporaryDownload::InstallAs(const std::string& target, std::string& error) {
    if (::rename(m_Path.c_str(), target.c_str()) != 0) {
        error = "Unable to replace " + target + ": " + std::strerror(errno);
        return false;
    }
    m_Path.clear();
    return true;
}

void RemoveLeftoverDownloads(const std::string& folder) {
    std::error_code failure;
    const std::filesystem::directory_iterator end;
    for (std::filesystem::directory_iterator it(folder, failure); !failure && it != end;
         it.increment(failure)) {
        const std::filesystem::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        std::error_code ignored;
        if (!name.starts_with(kTemporaryPrefix) || !entry.is_regular_file(ignored)) {
            continue;
        }
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            continue;
        }
        // A file locked by a downloader at work (the headless command beside the program,
        // say) is not a leftover.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(entry.path().c_str());
        }
        ::close(fd);
    }
}

} // namespace strikeline
