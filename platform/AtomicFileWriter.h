#pragma once

#include <string>
#include <string_view>

namespace strikeline {

// A file being replaced: the new contents go to a temporary file in the same folder and
// take the place of the old file only when Commit succeeds, so a crash, a full disk or a
// failed writer never leaves a half-written file where a good one was. An uncommitted
// temporary file is removed when the writer goes away.
//
// The contents can be written through Write, or by a library that writes a file itself:
// it is given TemporaryPath() and overwrites the empty file there.
//
// Errors: Open and Commit return false with the system's description of the failure
// (strerror) in `error`; the old file is then untouched.
class CAtomicFileWriter {
public:
    explicit CAtomicFileWriter(std::string path);
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    bool Open(std::string& error);
    const std::string& Path() const { return m_Path; }
    const std::string& TemporaryPath() const { return m_Temporary; }

    bool Write(std::string_view contents, std::string& error);
    // Flushes the temporary file to disk, gives it the old file's permissions (or the
    // default ones for a new file) and renames it over the path.
    bool Commit(std::string& error);
    // The system's number for the last failure (errno), for messages that show it.
    int ErrorNumber() const { return m_ErrorNumber; }

private:
    bool Fail(std::string& error);

    std::string m_Path;
    std::string m_Temporary;
    int m_Descriptor = -1;
    int m_ErrorNumber = 0;
    bool m_Committed = false;
};

} // namespace strikeline
