// The downloader against a feed that misbehaves in every way a real one has been seen to,
// served from raw sockets on 127.0.0.1 so that nothing tidies the answers: a body that
// drips, one without end, one too large, an HTML page or garbage answered with 200, a
// body longer than its announced length, redirects to ftp://, to file:// and between
// ports, connections reset before and during the answer, and errors. For a fixed budget of
// passes and seconds, every pass must leave the data files byte for byte as they were, the
// lists as they were, no temporary download behind, and an outcome that says why it
// failed.

#include "marketdata/Downloader.h"
#include "marketdata/HttpTransfer.h"
#include "session/ApplicationState.h"
#include "support/TempFolder.h"
#include "tools/MarketFiles.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace strikeline {
namespace {

using namespace std::chrono_literals;

// A fixed budget, so that the run takes the same bounded time on a loaded machine: at most
// this many passes and this many seconds, whichever ends first (the environment may lower
// or raise them for a longer soak).
constexpr int kDefaultPasses = 300;
constexpr int kDefaultSeconds = 90;

int Budget(const char* variable, int fallback) {
    const char* value = std::getenv(variable);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

class CQuietObserver final : public CDownloaderObserver {
public:
    void OnFetchOutcome(const CFetchOutcome&) override {}
    void OnMarketPublished(MarketPart) override {}
    void OnLoadProblem(const std::string& message) override { messages.push_back(message); }
    void OnStatusChanged() override {}
    std::vector<std::string> messages;
};

class CFixedClock final : public CDownloaderClock {
public:
    std::int64_t Now() const override { return m_Now; }
    std::uint64_t TickCount() const override { return 1'000'000; }
    void Sleep(std::chrono::milliseconds) override {}
    std::int64_t m_Now = 0;
};

// Sends what it can; false once the client has gone.
bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// True when the client closed its side, or sent something, within `wait`.
bool ClientLeft(int fd, std::chrono::milliseconds wait) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(wait.count())) != 0;
}

// Closes with a reset instead of an orderly end.
void Reset(int fd) {
    const linger hard{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(fd);
}

// One listening socket on 127.0.0.1 and one thread that takes the connections in turn:
// reads a request's head and hands the path to the answer, which writes whatever it likes
// and closes or resets. Every answer closes its connection, so one at a time suffices.
class CRawServer {
public:
    using Answer = std::function<void(int fd, const std::string& path)>;

    explicit CRawServer(Answer answer) : m_Answer(std::move(answer)) {}
    ~CRawServer() { Stop(); }

    bool Start() {
        m_Listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_Listener < 0 ||
            ::bind(m_Listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_Listener, 64) != 0 ||
            ::getsockname(m_Listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return false;
        }
        m_Port = ntohs(address.sin_port);
        m_Thread = std::thread([this] { Serve(); });
        return true;
    }
    void Stop() {
        m_Stop = true;
        if (m_Thread.joinable()) {
            m_Thread.join();
        }
        if (m_Listener >= 0) {
            ::close(m_Listener);
            m_Listener = -1;
        }
    }
    int Port() const { return m_Port; }
    bool Stopping() const { return m_Stop; }

private:
    void Serve() {
        while (!m_Stop) {
            pollfd entry{m_Listener, POLLIN, 0};
            if (::poll(&entry, 1, 50) <= 0) {
                continue;
            }
            const int fd = ::accept4(m_Listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) {
                continue;
            }
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos && ClientLeft(fd, 2000ms)) {
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                head.append(buffer, static_cast<std::size_t>(got));
            }
            const std::size_t start = head.find(' ');
            const std::size_t end = head.find(' ', start + 1);
            if (start == std::string::npos || end == std::string::npos) {
                ::close(fd);
                continue;
            }
            m_Answer(fd, head.substr(start + 1, end - start - 1));
        }
    }

    Answer m_Answer;
    int m_Listener = -1;
    int m_Port = 0;
    std::atomic<bool> m_Stop{false};
    std::thread m_Thread;
};

enum class Hostility {
    Drip,            // a few bytes a second
    Endless,         // no length, no end
    HugeAnnounced,   // announces 500 MB
    HtmlPage,        // 200 with a captive portal's page
    Garbage,         // 200 with random bytes
    LongerThanSaid,  // a good file's first lines announced, the whole file sent
    RedirectFtp,     // 302 to ftp://
    RedirectFile,    // 302 to file:// naming a good market file on this disk
    RedirectLoop,    // 302 to another port, which sends it back, without end
    RedirectNowhere, // 302 to a port where nobody listens
    ResetAtOnce,     // the connection reset before any answer
    ResetMidBody,    // part of the body, then a reset
    ServerError,     // 500
    // Not hostile: a redirect whose answer has a body of its own, as web servers send, to
    // the file with one name more.
    HonestRedirect,
};
constexpr Hostility kHostilities[] = {Hostility::Drip,          Hostility::Endless,
                                      Hostility::HugeAnnounced, Hostility::HtmlPage,
                                      Hostility::Garbage,       Hostility::LongerThanSaid,
                                      Hostility::RedirectFtp,   Hostility::RedirectFile,
                                      Hostility::RedirectLoop,  Hostility::RedirectNowhere,
                                      Hostility::ResetAtOnce,   Hostility::ResetMidBody,
                                      Hostility::ServerError};
constexpr std::size_t kHostilityCount = std::size(kHostilities);

// Which data file an address of the feed or the site is for.
const char* FileOfPath(const std::string& path) {
    if (path.starts_with("/datafeed/velomir/put/")) {
        return "put.csv";
    }
    if (path.starts_with("/datafeed/velomir/")) {
        return "call.csv";
    }
    if (path.starts_with("/datafeed/velomirdiv/")) {
        return "dividends.csv";
    }
    return path == "/compcodes.txt" ? "companyname.txt" : path == "/t20.txt" ? "top20.txt" : "";
}

constexpr const char* kDataFiles[] = {"call.csv", "put.csv", "dividends.csv", "companyname.txt",
                                      "top20.txt"};

class HostileFeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Market = CMarketGenerator(CMarketGeneratorSettings{}).Generate();
        std::string error;
        ASSERT_TRUE(WriteDataFolder(m_Data.Path().string(), m_Market, error)) << error;
        ASSERT_TRUE(WriteDataFolder(m_Elsewhere.Path().string(), m_Market, error)) << error;
        for (const char* file : kDataFiles) {
            m_Held[file] = test::ReadTextFile(m_Data.File(file));
        }
        // The first lines of the call file, up to a line end: a file that reads well, sent
        // as the announced length ahead of the rest.
        const std::size_t cut = m_Market.m_CallFile.find('\n', 2000);
        ASSERT_NE(cut, std::string::npos);
        m_CallHead = m_Market.m_CallFile.substr(0, cut + 1);

        m_Main = std::make_unique<CRawServer>(
            [this](int fd, const std::string& path) { Answer(fd, path, false); });
        m_Other = std::make_unique<CRawServer>(
            [this](int fd, const std::string& path) { Answer(fd, path, true); });
        ASSERT_TRUE(m_Main->Start());
        ASSERT_TRUE(m_Other->Start());
        // A port nobody listens on: bound, then let go.
        CRawServer closed([](int fd, const std::string&) { ::close(fd); });
        ASSERT_TRUE(closed.Start());
        m_ClosedPort = closed.Port();
        closed.Stop();

        const std::string url = "http://127.0.0.1:" + std::to_string(m_Main->Port());
        CTransferLimits limits;
        limits.timeLimit = 2s;
        limits.sizeLimit = 1 << 20;
        m_Downloader = std::make_unique<CDownloader>(
            CDownloaderConfig{m_Data.Path().string(), url, url, limits}, m_Published, m_State,
            m_Clock, m_Observer);
        // Thursday 24 June 2010, 10:30 in Sydney.
        m_Clock.m_Now = 1277339400;
    }

    void TearDown() override {
        m_Main->Stop();
        m_Other->Stop();
    }

    // The hostile answer for the target file's addresses; every other address is not
    // published, so the other files end unchanged.
    void Answer(int fd, const std::string& path, bool other) {
        const std::string here = "http://127.0.0.1:" + std::to_string(m_Main->Port());
        if (other) {
            // The second port only ever sends a request back.
            SendAll(fd, "HTTP/1.1 302 Found\r\nLocation: " + here + path +
                            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            ::close(fd);
            return;
        }
        const std::string target = kDataFiles[m_Target];
        const bool moved = path.ends_with(".moved");
        if (FileOfPath(moved ? path.substr(0, path.size() - 6) : path) != target) {
            SendAll(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            ::close(fd);
            return;
        }
        const auto ok = [](std::size_t length) {
            return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(length) +
                   "\r\nConnection: close\r\n\r\n";
        };
        const auto redirect = [&](const std::string& location) {
            SendAll(fd, "HTTP/1.1 302 Found\r\nLocation: " + location +
                            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        };
        switch (m_Hostility) {
        case Hostility::Drip: {
            const std::string& body = m_Held.at(target);
            if (SendAll(fd, ok(body.size()))) {
                for (std::size_t at = 0; at < body.size() && !m_Main->Stopping(); at += 3) {
                    if (ClientLeft(fd, 300ms) || !SendAll(fd, body.substr(at, 3))) {
                        break;
                    }
                }
            }
            break;
        }
        case Hostility::Endless:
        case Hostility::HugeAnnounced: {
            std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
            head += m_Hostility == Hostility::HugeAnnounced ? "Content-Length: 524288000\r\n\r\n"
                                                            : "\r\n";
            const std::string block = m_Held.at(target);
            // Bounded here too, so that a downloader without a limit fails the test rather
            // than the disk.
            bool open = SendAll(fd, head);
            for (std::size_t sent = 0; open && sent < (std::size_t{64} << 20);
                 sent += block.size()) {
                open = SendAll(fd, block);
            }
            break;
        }
        case Hostility::HtmlPage: {
            const std::string page = "<!DOCTYPE html>\n<html><head><title>Sign in</title></head>"
                                     "<body><form>Please sign in to use this network</form>"
                                     "</body></html>\n";
            SendAll(fd, ok(page.size()) + page);
            break;
        }
        case Hostility::Garbage: {
            std::string bytes(1 + m_Random() % 20000, '\0');
            for (char& byte : bytes) {
                byte = static_cast<char>(m_Random());
            }
            SendAll(fd, ok(bytes.size()) + bytes);
            break;
        }
        case Hostility::LongerThanSaid:
            SendAll(fd, ok(m_CallHead.size()) + m_Market.m_CallFile);
            break;
        case Hostility::RedirectFtp:
            redirect("ftp://127.0.0.1:" + std::to_string(m_Main->Port()) + path);
            break;
        case Hostility::RedirectFile:
            redirect("file://" + m_Elsewhere.File(target));
            break;
        case Hostility::RedirectLoop:
            redirect("http://127.0.0.1:" + std::to_string(m_Other->Port()) + path);
            break;
        case Hostility::RedirectNowhere:
            redirect("http://127.0.0.1:" + std::to_string(m_ClosedPort) + path);
            break;
        case Hostility::ResetAtOnce:
            Reset(fd);
            return;
        case Hostility::ResetMidBody: {
            const std::string& body = m_Held.at(target);
            SendAll(fd, ok(body.size()) + body.substr(0, body.size() / 2));
            Reset(fd);
            return;
        }
        case Hostility::HonestRedirect:
            if (moved) {
                const std::string body = m_Held.at(target) + "'ZZZ' = 'Moved Company'\n";
                SendAll(fd, ok(body.size()) + body);
            } else {
                const std::string page =
                    "<html><body>Moved <a href=\"" + path + ".moved\">here</a></body></html>\n";
                SendAll(fd, "HTTP/1.1 301 Moved Permanently\r\nLocation: " + here + path +
                                ".moved\r\nContent-Length: " + std::to_string(page.size()) +
                                "\r\nConnection: close\r\n\r\n" + page);
            }
            break;
        case Hostility::ServerError:
            SendAll(fd, "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 5\r\n"
                        "Connection: close\r\n\r\noops\n");
            break;
        }
        ::close(fd);
    }

    // Peak resident memory of this process, in kilobytes.
    static long PeakMemory() {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }

    test::CTempFolder m_Data;
    test::CTempFolder m_Elsewhere;
    CGeneratedMarket m_Market;
    std::map<std::string, std::string> m_Held;
    std::string m_CallHead;
    std::unique_ptr<CRawServer> m_Main;
    std::unique_ptr<CRawServer> m_Other;
    int m_ClosedPort = 0;
    // Set between passes only, while the server thread waits for a connection.
    std::atomic<Hostility> m_Hostility{Hostility::Drip};
    // Index in kDataFiles of the file whose addresses answer with the hostility.
    std::atomic<std::size_t> m_Target{0};
    std::minstd_rand m_Random{20100624};

    CQuietObserver m_Observer;
    CFixedClock m_Clock;
    CApplicationState m_State;
    CMarketData m_Published;
    std::unique_ptr<CDownloader> m_Downloader;
};

TEST_F(HostileFeedTest, NoPassEverInstallsABadFile) {
    const int passes = Budget("STRIKELINE_HOSTILE_FEED_PASSES", kDefaultPasses);
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::seconds(Budget("STRIKELINE_HOSTILE_FEED_SECONDS", kDefaultSeconds));
    std::map<Hostility, int> tried;
    [[maybe_unused]] long memoryAfterFirstRound = 0; // read only without sanitizers
    int pass = 0;
    for (; pass < passes && std::chrono::steady_clock::now() < deadline; ++pass) {
        const Hostility hostility = kHostilities[pass % kHostilityCount];
        const std::size_t round = pass / kHostilityCount;
        m_Target = round % std::size(kDataFiles);
        m_Hostility = hostility;
        const std::string target = kDataFiles[m_Target];
        SCOPED_TRACE("pass " + std::to_string(pass) + ", " + target + ", hostility " +
                     std::to_string(static_cast<int>(hostility)));
        m_Downloader->RequestFullDownload();
        const std::vector<CFetchOutcome> outcomes = m_Downloader->RunPass();

        ASSERT_EQ(outcomes.size(), std::size(kDataFiles));
        for (const CFetchOutcome& outcome : outcomes) {
            if (outcome.fileName == target) {
                EXPECT_EQ(outcome.result, FetchResult::Failed);
                EXPECT_FALSE(outcome.reason.empty());
            } else {
                EXPECT_EQ(outcome.result, FetchResult::Unchanged) << outcome.fileName;
            }
        }
        for (const auto& [file, text] : m_Held) {
            ASSERT_EQ(test::ReadTextFile(m_Data.File(file)), text) << file;
        }
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(m_Data.Path())) {
            ++entries;
            EXPECT_FALSE(entry.path().filename().string().starts_with("qdl_")) << entry.path();
        }
        EXPECT_EQ(entries, std::size(kDataFiles));
        ASSERT_TRUE(m_Published.Current()->Calls().empty()) << "nothing may reach the market";
        ASSERT_TRUE(m_Published.Current()->Dividends().empty());
        ASSERT_EQ(m_Published.Current()->CompanyNames().GetCount(), 0u);
        ++tried[hostility];
        if (pass + 1 == static_cast<int>(kHostilityCount)) {
            memoryAfterFirstRound = PeakMemory();
        }
    }
    EXPECT_TRUE(m_Observer.messages.empty());
    EXPECT_GE(pass, static_cast<int>(kHostilityCount))
        << "the budget must leave room for every hostility at least once";
    EXPECT_EQ(tried.size(), kHostilityCount);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // Sanitizers keep freed memory aside on purpose; without them, hundreds of passes of
    // bodies up to the size limit must not make the process grow.
    if (memoryAfterFirstRound > 0) {
        EXPECT_LT(PeakMemory() - memoryAfterFirstRound, 64 * 1024) << "kilobytes";
    }
#endif
    std::cout << "[          ] " << pass << " hostile passes\n";
}

// The limits and the length check must not refuse an honest answer: a redirect that comes
// with a page of its own, then the file.
TEST_F(HostileFeedTest, AnHonestRedirectIsFollowed) {
    m_Target = 3; // companyname.txt
    m_Hostility = Hostility::HonestRedirect;
    const std::vector<CFetchOutcome> outcomes = m_Downloader->RunPass();
    ASSERT_EQ(outcomes.size(), std::size(kDataFiles));
    EXPECT_EQ(outcomes[3].result, FetchResult::Fetched) << outcomes[3].reason;
    EXPECT_EQ(outcomes[3].url,
              "http://127.0.0.1:" + std::to_string(m_Main->Port()) + "/compcodes.txt");
    EXPECT_EQ(m_Published.Current()->CompanyNames().GetName("ZZZ"), "Moved Company");
    EXPECT_EQ(test::ReadTextFile(m_Data.File("companyname.txt")),
              m_Held["companyname.txt"] + "'ZZZ' = 'Moved Company'\n");
}

// An answer whose first header line is a folded continuation holding a bare carriage
// return, after an ordinary answer to the same transfer object: the fold must not reach back into
// the headers of the answer before (freed memory; the sanitizer build sees it). Refused or read,
// the transfer ends with its outcome.
TEST(HttpTransfer, AFoldedFirstHeaderAfterAnotherAnswerIsHandledAlone) {
    int served = 0;
    CRawServer server([&served](int fd, const std::string&) {
        static constexpr std::string_view kPlain =
            "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nBHP\n";
        static constexpr std::string_view kFolded =
            "HTTP/1.1 200 OK\r\n O\rX-A: 1\r\nContent-Length: 4\r\n\r\nRIO\n";
        SendAll(fd, served++ % 2 == 0 ? kPlain : kFolded);
        ::shutdown(fd, SHUT_WR);
        ClientLeft(fd, 1000ms);
        ::close(fd);
    });
    ASSERT_TRUE(server.Start());
    test::CTempFolder folder;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/call.csv";
    CHttpTransfer transfer;
    for (int round = 0; round < 3; ++round) {
        std::string error;
        ASSERT_TRUE(transfer.DownloadToFile(url, folder.File("plain"), error)) << error;
        EXPECT_EQ(test::ReadTextFile(folder.File("plain")), "BHP\n");
        error.clear();
        if (transfer.DownloadToFile(url, folder.File("folded"), error)) {
            EXPECT_EQ(test::ReadTextFile(folder.File("folded")), "RIO\n");
        } else {
            EXPECT_NE(transfer.LastFailure(), TransferFailure::None);
            EXPECT_FALSE(error.empty());
        }
    }
}

} // namespace
} // namespace strikeline
