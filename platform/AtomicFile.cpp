#include "platform/AtomicFile.h"

#include "platform/AtomicFileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

unsigned DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error) {
    CAtomicFileWriter file(path);
    std::string reason;
    if (!file.Open(reason)) {
        error = "Unable to create a temporary file for " + path + ": " + reason;
        return false;
    }
    if (!file.Write(contents, reason) || !file.Commit(reason)) {
        error = "Unable to write " + path + ": " + reason;
        return false;
    }
    return true;
}

std::string CreateTemporaryFile(const std::string& prefix) {
    std::string path = prefix + ".XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) {
        return {};
    }
    ::fchmod(fd, static_cast<mode_t>(
                     DefaultFileMode())); // mkstemp makes it private; data files are ordinary files
    ::close(fd);
    return path;
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = SystemError("Unable to open", path);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = SystemError("Unable to read", path);
        return false;
    }
    contents = std::move(buffer).str();
    return true;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string MoveAside(const std::string& path, std::string_view tag) {
    const std::string base = path + "." + std::string(tag);
    for (int n = 0; n < 1000; ++n) {
        const std::string target = n == 0 ? base : base + "." + std::to_string(n);
        // link + unlink rather than rename: rename would silently replace a file of that
        // name, and the point is never to lose one.
        if (::link(path.c_str(), target.c_str()) == 0) {
            ::unlink(path.c_str());
            return target;
        }
        if (errno == EEXIST) {
            continue;
        }
        // File systems without hard links: fall back to rename onto a free name.
        if (!PathExists(target) && ::rename(path.c_str(), target.c_str()) == 0) {
            return target;
        }
        return {};
    }
    return {};
}

std::string CopyAside(const std::string& path, std::string_view tag) {
    const std::string base = path + "." + std::string(tag);
    for (int n = 0; n < 1000; ++n) {
        const std::string target = n == 0 ? base : base + "." + std::to_string(n);
        std::error_code failed;
        if (std::filesystem::copy_file(path, target, std::filesystem::copy_options::none, failed)) {
            return target;
        }
        if (failed != std::errc::file_exists) {
            return {};
        }
    }
    return {};
}

} // namespace strikeline
