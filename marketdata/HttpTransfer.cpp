#include "marketdata/HttpTransfer.h"

#include "platform/ModuleLoader.h"

#ifdef STRIKELINE_MODULES_BUILT_IN
extern "C" bool StrikelineHttpDownload(strikeline::CHttpDownload* transfer);
#endif

namespace strikeline {

namespace {

using Download = bool(CHttpDownload*);

Download* FindDownload(std::string& error) {
#ifdef STRIKELINE_MODULES_BUILT_IN
    static_cast<void>(error);
    return &StrikelineHttpDownload;
#else
    return FindModuleFunction<Download>(kHttpModule, kHttpDownloadEntry, error);
#endif
}

} // namespace

CHttpTransfer::CHttpTransfer(const std::atomic<bool>* abort, CTransferLimits limits)
    : m_Abort(abort), m_Limits(limits) {}

bool CHttpTransfer::DownloadToFile(const std::string& url, const std::string& path,
                                   std::string& error) {
    m_Status = 0;
    Download* const download = FindDownload(error);
    if (download == nullptr) {
        // No address fares better without the module.
        m_Failure = TransferFailure::Unreachable;
        return false;
    }
    CHttpDownload transfer;
    transfer.url = url.c_str();
    transfer.path = path.c_str();
    transfer.abort = m_Abort;
    transfer.limits = m_Limits;
    const bool done = download(&transfer);
    m_Failure = transfer.failure;
    m_Status = transfer.status;
    if (!done) {
        error = std::move(transfer.error);
    }
    return done;
}

} // namespace strikeline
