#pragma once

#include <atomic>
#include <string>

namespace strikeline {

// HTTP GET of one address into a file, over one reused connection where the server
// allows. A transfer fails on a network error, on any HTTP status other than 2xx (so an
// error page is never installed as data), when the connection takes longer than
// kConnectTimeoutSeconds, when fewer than kLowSpeedBytes a second arrive for
// kLowSpeedSeconds, or as soon as `abort` is set. Proxies come from the usual environment
// variables. Not thread-safe: one object per thread.
class CHttpTransfer {
public:
    static constexpr long kConnectTimeoutSeconds = 10;
    static constexpr long kLowSpeedBytes = 1;
    static constexpr long kLowSpeedSeconds = 30;

    explicit CHttpTransfer(const std::atomic<bool>* abort = nullptr);
    ~CHttpTransfer();
    CHttpTransfer(const CHttpTransfer&) = delete;
    CHttpTransfer& operator=(const CHttpTransfer&) = delete;

    // Writes the body to `path` (created or truncated). False with a reason on failure;
    // the file may then hold part of a body, and the caller deletes it.
    bool DownloadToFile(const std::string& url, const std::string& path, std::string& error);
    // The last transfer failed before any answer: the server could not be found, refused
    // the connection or stayed silent. Other addresses on it will fare no better.
    bool LastFailureWasUnreachable() const { return m_Unreachable; }

private:
    void* m_Handle;
    bool m_Unreachable = false;
    const std::atomic<bool>* m_Abort;
};

} // namespace strikeline
