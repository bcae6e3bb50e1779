#pragma once

#include "marketdata/TransferLimits.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace strikeline {

// Why a transfer failed; the downloader decides from it whether another address on the
// same server is worth trying.
enum class TransferFailure {
    None,
    // No answer at all: the server could not be found, refused the connection or stayed
    // silent. Other addresses on it will fare no better.
    Unreachable,
    // The server answered 404 or 410: nothing is published at this address.
    NotFound,
    // Any other answer outside 2xx.
    HttpError,
    // The whole transfer took longer than the time limit.
    TooSlow,
    // The body was announced, or grew, beyond the size limit.
    TooLarge,
    // The connection broke, the body was shorter or longer than announced, a redirect went
    // to a scheme other than http or https, or more than kMaxRedirects redirects followed.
    Broken,
    // The body could not be written (a full disk, a file-size limit).
    WriteFailed,
    // The abort flag was set.
    Aborted,
};

// HTTP GET of one address into a file, each on a connection of its own. A transfer fails
// on a network error, on any HTTP status other than 2xx (so an error page is never
// installed as data), when the connection takes longer than kConnectTimeoutSeconds, when
// fewer than kLowSpeedBytes a second arrive for kLowSpeedSeconds, when the whole transfer
// outlasts the time limit or the body outgrows the size limit, or as soon as `abort` is
// set. Only http and https are spoken, redirects included, and at most kMaxRedirects
// redirects are followed. Proxies come from the usual environment variables. Not
// thread-safe: one object per thread.
//
// The transfers themselves run in the module strikeline-http, the one part of the program
// that links the HTTP library, opened on the first transfer. A module that cannot be found
// or loaded fails every transfer as Unreachable, with the reason.
class CHttpTransfer {
public:
    static constexpr long kConnectTimeoutSeconds = 10;
    static constexpr long kLowSpeedBytes = 1;
    static constexpr long kLowSpeedSeconds = 30;
    static constexpr long kMaxRedirects = 5;

    explicit CHttpTransfer(const std::atomic<bool>* abort = nullptr, CTransferLimits limits = {});
    CHttpTransfer(const CHttpTransfer&) = delete;
    CHttpTransfer& operator=(const CHttpTransfer&) = delete;

    // Writes the body to `path` (created or truncated) and flushes it to the disk. False
    // with a reason on failure; the file may then hold part of a body, and the caller
    // deletes it.
    bool DownloadToFile(const std::string& url, const std::string& path, std::string& error);
    // Why the last transfer failed; None after a success.
    TransferFailure LastFailure() const { return m_Failure; }
    // The HTTP status of the last answer, 0 when none came.
    long LastStatus() const { return m_Status; }

    const CTransferLimits& Limits() const { return m_Limits; }

private:
    const std::atomic<bool>* m_Abort;
    CTransferLimits m_Limits;
    TransferFailure m_Failure = TransferFailure::None;
    long m_Status = 0;
};

// One transfer as CHttpTransfer hands it to the module's entry kHttpDownloadEntry, a
// `bool(CHttpDownload*)` with C linkage: the request, then the answer the module fills in.
struct CHttpDownload {
    const char* url = nullptr;
    const char* path = nullptr;
    const std::atomic<bool>* abort = nullptr;
    CTransferLimits limits;
    TransferFailure failure = TransferFailure::Broken;
    long status = 0;
    std::string error;
};
inline constexpr const char* kHttpModule = "strikeline-http";
inline constexpr const char* kHttpDownloadEntry = "StrikelineHttpDownload";

} // namespace strikeline
