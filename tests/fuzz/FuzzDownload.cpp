// Feeds arbitrary bytes to the downloader as a server's whole answer, headers included, and
// reads what it keeps as the market file named by the first byte: a transfer must end with
// success or a reason, never crash or hang, keep no more than was sent or than the size
// limit allows, and only a file that reads to at least one record may be installed.
//
// The answer comes from a server on the loopback address that is also every proxy, so a
// redirect to any other host or port stays on this machine.

#include "marketdata/HttpTransfer.h"
#include "marketdata/MarketFile.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace strikeline;

// Small limits, so that the fuzzer meets them.
constexpr std::uint64_t kSizeLimit = 4096;
constexpr std::chrono::milliseconds kTimeLimit{3000};

std::mutex g_AnswerLock;
std::string g_Answer;
std::string g_Url;
std::string g_Path;

void SetTimeout(int socket, int option, long milliseconds) {
    timeval timeout{milliseconds / 1000, static_cast<suseconds_t>(milliseconds % 1000 * 1000)};
    ::setsockopt(socket, SOL_SOCKET, option, &timeout, sizeof timeout);
}

// Reads the request's head, answers with the current input whole and closes, so every
// transfer ends however its answer is malformed.
void Answer(int client) {
    SetTimeout(client, SO_RCVTIMEO, 1000);
    SetTimeout(client, SO_SNDTIMEO, 1000);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(got));
    }
    std::string answer;
    {
        const std::lock_guard lock(g_AnswerLock);
        answer = g_Answer;
    }
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t put =
            ::send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (put <= 0) {
            break;
        }
        sent += static_cast<std::size_t>(put);
    }
    ::shutdown(client, SHUT_WR);
    // Reading to the client's end avoids a reset that would cut the answer short.
    SetTimeout(client, SO_RCVTIMEO, 200);
    while (::recv(client, buffer, sizeof buffer, 0) > 0) {
    }
    ::close(client);
}

void Serve(int listener) {
    for (;;) {
        const int client = ::accept(listener, nullptr, nullptr);
        if (client >= 0) {
            Answer(client);
        }
    }
}

bool StartServer() {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return false;
    }
    const std::string origin = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    g_Url = origin + "/call.csv";
    for (const char* name :
         {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        ::setenv(name, origin.c_str(), 1);
    }
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        ::unsetenv(name);
    }
    std::thread(Serve, listener).detach();
    return true;
}

std::uintmax_t FileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A folder in memory where there is one: every good transfer is flushed to the disk.
    const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_Path = std::string(folder) + "/strikeline-fuzz-download-" + std::to_string(::getpid());
    if (!StartServer()) {
        std::abort();
    }
    std::atexit([] { std::filesystem::remove(g_Path); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto kind = static_cast<MarketFile>(data[0] % 5);
    {
        const std::lock_guard lock(g_AnswerLock);
        g_Answer.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    }
    static CHttpTransfer transfer(nullptr, CTransferLimits{kTimeLimit, kSizeLimit});
    std::string error;
    const bool fetched = transfer.DownloadToFile(g_Url, g_Path, error);
    if (!fetched) {
        if (error.empty() || transfer.LastFailure() == TransferFailure::None) {
            std::abort();
        }
        return 0;
    }
    const long status = transfer.LastStatus();
    if (!error.empty() || transfer.LastFailure() != TransferFailure::None || status < 200 ||
        status > 299 || FileSize(g_Path) > kSizeLimit || FileSize(g_Path) > size - 1) {
        std::abort();
    }
    CMarketFileContents contents;
    if (!ReadMarketFile(kind, g_Path, contents, error)) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    const bool empty =
        contents.companies.empty() && contents.dividends.empty() && contents.names.GetCount() == 0;
    if (empty) {
        std::abort();
    }
    return 0;
}
