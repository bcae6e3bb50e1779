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
    struct stat source {};
    std::string contents;
    std::string error;
    if (::stat(path.c_str(), &source) != 0 || !ReadWholeFile(path, contents, error) ||
        contents.size() != static_cast<std::size_t>(source.st_size)) {
        return {};
    }
    // The copy is written whole under a temporary name and only then given its own, so a
    // full disk never leaves a partial copy that looks like a kept file.
    const std::string base = path + "." + std::string(tag);
    const std::string temporary = CreateTemporaryFile(base);
    if (temporary.empty()) {
        return {};
    }
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < contents.size();) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        written = n > 0;
        done += written ? static_cast<std::size_t>(n) : 0;
    }
    struct stat copy {};
    written =
        written && ::fsync(fd) == 0 && ::fstat(fd, &copy) == 0 && copy.st_size == source.st_size;
    if (fd >= 0 && ::close(fd) != 0) {
        written = false;
    }
    std::string kept;
    for (int n = 0; written && n < 1000; ++n) {
        const std::string target = n == 0 ? base : base + "." + std::to_string(n);
        // link rather than rename: rename would silently replace a file of that name.
        if (::link(temporary.c_str(), target.c_str()) == 0) {
            kept = target;
            break;
        }
        if (errno == EEXIST) {
            continue;
        }
        // File systems without hard links: rename onto a free name.
        if (!PathExists(target) && ::rename(temporary.c_str(), target.c_str()) == 0) {
            return target;
        }
        break;
    }
    ::unlink(temporary.c_str());
    return kept;
}

} // namespace strikeline
