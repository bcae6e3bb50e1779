#include "marketdata/HttpTransfer.h"

#include "platform/FileHandle.h"

#include <cstdio>
#include <curl/curl.h>
#include <memory>

namespace strikeline {

namespace {

// libcurl is set up once for the process before any thread uses it.
void InitialiseCurl() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

// A non-zero answer aborts the transfer: that is how a stop request reaches a transfer.
int Progress(void* abort, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* flag = static_cast<const std::atomic<bool>*>(abort);
    return flag != nullptr && flag->load() ? 1 : 0;
}

} // namespace

CHttpTransfer::CHttpTransfer(const std::atomic<bool>* abort) : m_Handle(nullptr), m_Abort(abort) {
    InitialiseCurl();
    m_Handle = curl_easy_init();
}

CHttpTransfer::~CHttpTransfer() {
    if (m_Handle != nullptr) {
        curl_easy_cleanup(static_cast<CURL*>(m_Handle));
    }
}

bool CHttpTransfer::DownloadToFile(const std::string& url, const std::string& path,
                                   std::string& error) {
    auto* curl = static_cast<CURL*>(m_Handle);
    m_Unreachable = false;
    if (curl == nullptr) {
        error = "Unable to start an HTTP transfer";
        return false;
    }
    const CFileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "Unable to write " + path;
        return false;
    }
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Strikeline");
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(m_Abort));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (result != CURLE_OK) {
        m_Unreachable = result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_CONNECT ||
                        result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_OPERATION_TIMEDOUT;
        error = url + ": " + (message[0] != '\0' ? message : curl_easy_strerror(result));
        return false;
    }
    if (std::fflush(file.get()) != 0) {
        error = "Unable to write " + path;
        return false;
    }
    return true;
}

} // namespace strikeline
