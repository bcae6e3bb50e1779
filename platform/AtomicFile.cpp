#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t DefaultMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = SystemError("Unable to create a temporary file for", path);
        return false;
    }
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode();
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    if (!ok) {
        error = SystemError("Unable to write", path);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = SystemError("Unable to write", path);
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = SystemError("Unable to replace", path);
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here leaves a good file, so it is not fatal.
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

std::string CreateTemporaryFile(const std::string& prefix) {
    std::string path = prefix + ".XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) {
        return {};
    }
    ::fchmod(fd, DefaultMode()); // mkstemp makes it private; data files are ordinary files
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

} // namespace strikeline
