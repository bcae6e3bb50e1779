// The downloader's HTTP client, the one part of the program that links libcurl (and with it
// a TLS, Kerberos and LDAP stack): a module of its own, loaded by CHttpTransfer on the first
// transfer.

#include "marketdata/HttpTransfer.h"
#include "platform/FileHandle.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace strikeline {

namespace {

// libcurl is set up once for the process before any thread uses it.
void InitialiseCurl() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

// Where the body goes, and what is known about it while it arrives.
struct CBodySink {
    std::FILE* file;
    std::uint64_t limit;
    std::uint64_t written = 0;
    // Body bytes as they came off the connection, before libcurl cut them to the length
    // the server announced.
    std::uint64_t received = 0;
    bool tooLarge = false;
    int writeError = 0;
};

// libcurl 7.88 checks the size limit only against an announced length; a body without
// one is counted here. Any other answer than `size * count` aborts the transfer.
std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* context) {
    auto& sink = *static_cast<CBodySink*>(context);
    const std::size_t bytes = size * count;
    if (sink.written + bytes > sink.limit) {
        sink.tooLarge = true;
        return 0;
    }
    errno = 0;
    const std::size_t put = std::fwrite(data, 1, bytes, sink.file);
    if (put != bytes) {
        sink.writeError = errno != 0 ? errno : EIO;
    }
    sink.written += put;
    return put;
}

int CountIncoming(CURL*, curl_infotype type, char* data, std::size_t size, void* context) {
    auto& sink = *static_cast<CBodySink*>(context);
    if (type == CURLINFO_DATA_IN) {
        sink.received += size;
    } else if (type == CURLINFO_HEADER_IN && std::string_view(data, size).starts_with("HTTP/")) {
        // A new answer: the body of a redirect before it is not part of the file.
        sink.received = 0;
    }
    return 0;
}

// A non-zero answer aborts the transfer: that is how a stop request reaches a transfer.
int Progress(void* abort, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* flag = static_cast<const std::atomic<bool>*>(abort);
    return flag != nullptr && flag->load() ? 1 : 0;
}

std::string DurationText(std::chrono::milliseconds duration) {
    const auto count = duration.count();
    return count % 1000 == 0 ? std::to_string(count / 1000) + " seconds"
                             : std::to_string(count) + " milliseconds";
}

std::string SizeText(std::uint64_t bytes) {
    if (bytes != 0 && bytes % (std::uint64_t{1} << 20) == 0) {
        return std::to_string(bytes >> 20) + " MB";
    }
    if (bytes != 0 && bytes % 1024 == 0) {
        return std::to_string(bytes >> 10) + " KB";
    }
    return std::to_string(bytes) + " bytes";
}

std::string WriteErrorText(const std::string& path, int error) {
    return "Unable to write " + path + " (" + std::strerror(error) + ")";
}

bool Flush(std::FILE* file, int& error) {
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0) {
        error = errno;
        return false;
    }
    return true;
}

// A libcurl handle that cleans itself up.
struct CCurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

bool Download(CHttpDownload& transfer) {
    const std::string path = transfer.path;
    const CTransferLimits& limits = transfer.limits;
    std::string& error = transfer.error;
    InitialiseCurl();
    // Every transfer on a handle of its own: libcurl 7.88 keeps a pointer to the previous
    // answer's last header in the handle, and an answer whose first header line is a
    // folded continuation writes through it after it was freed.
    const std::unique_ptr<CURL, CCurlCleanup> handle(curl_easy_init());
    CURL* const curl = handle.get();
    transfer.failure = TransferFailure::Broken;
    transfer.status = 0;
    if (curl == nullptr) {
        error = "Unable to start an HTTP transfer";
        return false;
    }
    const CFileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        transfer.failure = TransferFailure::WriteFailed;
        error = WriteErrorText(path, errno);
        return false;
    }
    CBodySink sink{file.get(), limits.sizeLimit};
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, transfer.url);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Strikeline");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, CHttpTransfer::kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, CHttpTransfer::kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, CHttpTransfer::kLowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, CHttpTransfer::kLowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.timeLimit.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.sizeLimit));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    // The debug hook sees the body as it came, before libcurl drops what goes beyond the
    // announced length: the only way to tell a body longer than announced.
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &CountIncoming);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(transfer.abort));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    const auto started = std::chrono::steady_clock::now();
    const CURLcode result = curl_easy_perform(curl);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, nullptr);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &transfer.status);
    long redirects = 0;
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &redirects);
    const bool answered = transfer.status != 0 || redirects > 0;
    const std::string curlText = message[0] != '\0' ? message : curl_easy_strerror(result);

    if (result == CURLE_OK) {
        curl_off_t announced = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        int flushError = 0;
        if (transfer.status < 200 || transfer.status > 299) {
            transfer.failure = TransferFailure::HttpError;
            error = "the server answered " + std::to_string(transfer.status);
        } else if (announced >= 0 && sink.received > sink.written) {
            error = "the server sent more than the " + std::to_string(announced) +
                    " bytes it announced";
        } else if (!Flush(file.get(), flushError)) {
            transfer.failure = TransferFailure::WriteFailed;
            error = WriteErrorText(path, flushError);
        } else {
            transfer.failure = TransferFailure::None;
            return true;
        }
        return false;
    }
    if (transfer.abort != nullptr && transfer.abort->load()) {
        transfer.failure = TransferFailure::Aborted;
        error = "stopped";
    } else if (sink.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        transfer.failure = TransferFailure::TooLarge;
        error = "it is larger than " + SizeText(limits.sizeLimit);
    } else if (sink.writeError != 0) {
        transfer.failure = TransferFailure::WriteFailed;
        error = WriteErrorText(path, sink.writeError);
    } else if (result == CURLE_HTTP_RETURNED_ERROR) {
        transfer.failure = transfer.status == 404 || transfer.status == 410
                               ? TransferFailure::NotFound
                               : TransferFailure::HttpError;
        error = "the server answered " + std::to_string(transfer.status);
    } else if (result == CURLE_OPERATION_TIMEDOUT && answered) {
        transfer.failure = TransferFailure::TooSlow;
        error = elapsed >= limits.timeLimit
                    ? "it took longer than " + DurationText(limits.timeLimit)
                    : curlText;
    } else if (!answered &&
               (result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_CONNECT ||
                result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_OPERATION_TIMEDOUT)) {
        transfer.failure = TransferFailure::Unreachable;
        error = curlText;
    } else {
        transfer.failure = TransferFailure::Broken;
        error = curlText;
    }
    return false;
}

} // namespace

} // namespace strikeline

extern "C" __attribute__((visibility("default"))) bool
StrikelineHttpDownload(strikeline::CHttpDownload* transfer) {
    return strikeline::Download(*transfer);
}
