#pragma once

#include <string>

namespace strikeline {

// A download's temporary file in the data folder ("qdl_..." + ".XXXXXX"), so that
// installing it is one atomic rename. It is locked (flock) for as long as this object
// lives, which tells RemoveLeftoverDownloads that it is in use, and it is deleted at the
// end unless it was installed.
class CTemporaryDownload {
public:
    // Makes a new file `prefix` + ".XXXXXX" in `folder`; Path() is empty when none could
    // be made.
    CTemporaryDownload(const std::string& folder, const std::string& prefix);
    ~CTemporaryDownload();
    CTemporaryDownload(const CTemporaryDownload&) = delete;
    CTemporaryDownload& operator=(const CTemporaryDownload&) = delete;

    const std::string& Path() const { return m_Path; }
    // Renames the file over `target`. False with the reason when the rename failed; the
    // file is then still deleted at the end.
    bool InstallAs(const std::string& target, std::string& error);

private:
    std::string m_Path;
    int m_Lock = -1;
};

// Deletes the temporary downloads ("qdl_*") that a run killed during a transfer left in
// `folder`, sparing those another downloader is still writing.
void RemoveLeftoverDownloads(const std::string& folder);

} // namespace strikeline
