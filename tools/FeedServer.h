#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace strikeline {

struct CFeedServerOptions {
    // The folder served; GET /a/b.csv answers with the file root/a/b.csv.
    std::string root;
    std::string bind = "127.0.0.1";
    // 0 picks a free port; Port() tells which.
    int port = 8642;
    // One line per request ("GET /t20.txt 200"); nothing is logged when null. Written from
    // the server's threads under a lock, so the stream needs no locking of its own.
    std::ostream* log = nullptr;
    // The last day of the chart's year; when empty, today (local time) at each request.
    std::optional<std::chrono::sys_days> chartLastDay;
};

// Test aids: ways for a path to fail, so the downloader's error handling can be tried
// against a real connection.
enum class FeedFault {
    // Answers 500 with a short text body.
    Status500,
    // Sends headers announcing more bytes than follow, then closes the connection.
    CutBody,
    // Accepts the request and never answers; Stop() releases it.
    Hang,
};

// The local feed: serves a folder laid out like the market data feed, plus the trend
// chart page /call/chart.php?code=CODE&span=year1. Only GET; anything else is 404.
class CFeedServer {
public:
    CFeedServer();
    ~CFeedServer();
    CFeedServer(const CFeedServer&) = delete;
    CFeedServer& operator=(const CFeedServer&) = delete;

    // Listens on a background thread and returns once connections are accepted. False with
    // a reason when the root is not a folder, the address cannot be bound, or the server
    // is already running.
    bool Start(const CFeedServerOptions& options, std::string& error);
    // The port listened on, 0 when not running.
    int Port() const { return m_Port; }
    // Releases hanging requests, closes the listener and waits for the threads. Safe to
    // call more than once.
    void Stop();

    // Test aid: every request whose path starts with `pathPrefix` fails as `fault` says,
    // from now on (the latest setting for the same prefix wins; the first matching prefix
    // in setting order applies). Safe to call while running.
    void SetFault(std::string pathPrefix, FeedFault fault);
    void ClearFaults();

private:
    void Handle(const httplib::Request& request, httplib::Response& response);
    bool ApplyFault(const httplib::Request& request, httplib::Response& response);
    void Log(const httplib::Request& request, const httplib::Response& response);

    std::unique_ptr<httplib::Server> m_Server;
    std::thread m_Thread;
    std::atomic<bool> m_ListenEnded{false};
    std::string m_Root;
    std::optional<std::chrono::sys_days> m_ChartLastDay;
    std::ostream* m_LogStream = nullptr;
    std::mutex m_LogMutex;
    int m_Port = 0;

    std::mutex m_FaultMutex;
    std::condition_variable m_StopSignal;
    bool m_Stopping = false;
    std::vector<std::pair<std::string, FeedFault>> m_Faults;
};

} // namespace strikeline
