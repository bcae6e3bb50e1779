#include "platform/AtomicFileWriter.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool CAtomicFileWriter::Fail(std::string& error) {
    m_ErrorNumber = errno;
    error = std::strerror(m_ErrorNumber);
    return false;
}

CAtomicFileWriter::CAtomicFileWriter(std::string path) : m_Path(std::move(path)) {}

CAtomicFileWriter::~CAtomicFileWriter() {
    if (m_Descriptor >= 0) {
        ::close(m_Descriptor);
    }
    if (!m_Committed && !m_Temporary.empty()) {
        ::unlink(m_Temporary.c_str());
    }
}

bool CAtomicFileWriter::Open(std::string& error) {
    std::string name = m_Path + ".XXXXXX";
    m_Descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_Descriptor < 0) {
        return Fail(error);
    }
    m_Temporary = std::move(name);
    return true;
}

bool CAtomicFileWriter::Write(std::string_view contents, std::string& error) {
    while (!contents.empty()) {
        const ssize_t written = ::write(m_Descriptor, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(error);
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CAtomicFileWriter::Commit(std::string& error) {
    // A library may have replaced the temporary file by its own: flush what is there now.
    if (m_Descriptor >= 0) {
        const int descriptor = m_Descriptor;
        m_Descriptor = -1;
        if (::close(descriptor) != 0) {
            return Fail(error);
        }
    }
    const int descriptor = ::open(m_Temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return Fail(error);
    }
    struct stat old {};
    const mode_t mode = ::stat(m_Path.c_str(), &old) == 0 ? (old.st_mode & 07777)
                                                          : static_cast<mode_t>(DefaultFileMode());
    const bool flushed = ::fchmod(descriptor, mode) == 0 && ::fsync(descriptor) == 0;
    const int savedErrno = errno;
    ::close(descriptor);
    if (!flushed) {
        errno = savedErrno;
        return Fail(error);
    }
    if (::rename(m_Temporary.c_str(), m_Path.c_str()) != 0) {
        return Fail(error);
    }
    m_Committed = true;
    // Make the rename itself durable; a failure here leaves a good file, so it is not fatal.
    const int folder = ::open(FolderOf(m_Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace strikeline
