#include "tools/FeedServer.h"

#include "tools/PriceChartPage.h"
#include "tools/ServedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <httplib.h>
#include <iterator>
#include <sys/socket.h>
#include <system_error>

namespace strikeline {

namespace {

constexpr const char* kChartPath = "/call/chart.php";
// How many bytes a CutBody answer announces, and how many of them it sends.
constexpr std::size_t kCutBodyAnnounced = 64 * 1024;
constexpr std::size_t kCutBodySent = 1024;
constexpr auto kStartTimeout = std::chrono::seconds(10);

void NotFound(httplib::Response& response) {
    response.status = 404;
    response.set_content("Not Found\n", "text/plain");
}

std::chrono::sys_days LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::chrono::sys_days{std::chrono::year{local.tm_year + 1900} /
                                 static_cast<unsigned>(local.tm_mon + 1) /
                                 static_cast<unsigned>(local.tm_mday)};
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& content) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return false;
    }
    content.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

} // namespace

CFeedServer::CFeedServer() = default;

CFeedServer::~CFeedServer() {
    Stop();
}

bool CFeedServer::Start(const CFeedServerOptions& options, std::string& error) {
    if (m_Server) {
        error = "the feed server is already running";
        return false;
    }
    std::error_code fileError;
    const std::filesystem::path root = std::filesystem::canonical(options.root, fileError);
    if (fileError || !std::filesystem::is_directory(root, fileError)) {
        error = "\"" + options.root + "\" is not a folder";
        return false;
    }
    m_Root = root.string();
    m_ChartLastDay = options.chartLastDay;
    m_LogStream = options.log;
    {
        std::lock_guard lock(m_FaultMutex);
        m_Stopping = false;
    }

    auto server = std::make_unique<httplib::Server>();
    // Idle keep-alive connections hold stop() up until they time out.
    server->set_keep_alive_timeout(1);
    // Without SO_REUSEPORT (the library's default), so a port in use is reported instead
    // of being shared with another listener.
    server->set_socket_options([](socket_t socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    server->set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            return ApplyFault(request, response) ? httplib::Server::HandlerResponse::Handled
                                                 : httplib::Server::HandlerResponse::Unhandled;
        });
    server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Handle(request, response);
    });
    server->set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        Log(request, response);
    });

    errno = 0;
    int port = options.port;
    bool bound = false;
    if (port == 0) {
        port = server->bind_to_any_port(options.bind);
        bound = port > 0;
    } else {
        bound = port > 0 && port <= 65535 && server->bind_to_port(options.bind, port);
    }
    if (!bound) {
        const int code = errno;
        error = "cannot listen on " + options.bind + ":" + std::to_string(options.port);
        if (code != 0) {
            error += ": " + std::string(std::strerror(code));
        }
        return false;
    }

    m_Server = std::move(server);
    m_ListenEnded = false;
    m_Thread = std::thread([this] {
        m_Server->listen_after_bind();
        m_ListenEnded = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!m_Server->is_running()) {
        if (m_ListenEnded || std::chrono::steady_clock::now() > deadline) {
            Stop();
            error = "the feed server did not start listening";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_Port = port;
    return true;
}

void CFeedServer::Stop() {
    if (!m_Server) {
        return;
    }
    {
        // First release hanging requests: the server waits for its workers when it stops.
        std::lock_guard lock(m_FaultMutex);
        m_Stopping = true;
    }
    m_StopSignal.notify_all();
    // stop() does nothing before the listening loop runs, so wait for it or for its end.
    while (!m_Server->is_running() && !m_ListenEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_Server->stop();
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
    m_Server.reset();
    m_Port = 0;
}

void CFeedServer::SetFault(std::string pathPrefix, FeedFault fault) {
    std::lock_guard lock(m_FaultMutex);
    const auto existing = std::find_if(m_Faults.begin(), m_Faults.end(), [&](const auto& entry) {
        return entry.first == pathPrefix;
    });
    if (existing != m_Faults.end()) {
        existing->second = fault;
    } else {
        m_Faults.emplace_back(std::move(pathPrefix), fault);
    }
}

void CFeedServer::ClearFaults() {
    std::lock_guard lock(m_FaultMutex);
    m_Faults.clear();
}

bool CFeedServer::ApplyFault(const httplib::Request& request, httplib::Response& response) {
    std::unique_lock lock(m_FaultMutex);
    const auto match = std::find_if(m_Faults.begin(), m_Faults.end(), [&](const auto& entry) {
        return request.path.compare(0, entry.first.size(), entry.first) == 0;
    });
    if (match == m_Faults.end()) {
        return false;
    }
    switch (match->second) {
    case FeedFault::Status500:
        response.status = 500;
        response.set_content("Internal Server Error\n", "text/plain");
        break;
    case FeedFault::CutBody:
        response.status = 200;
        // Returning false after the first bytes makes the server drop the connection with
        // the rest of the announced length missing.
        response.set_content_provider(kCutBodyAnnounced, "text/csv",
                                      [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                          const std::string part(kCutBodySent, 'x');
                                          sink.write(part.data(), part.size());
                                          return false;
                                      });
        break;
    case FeedFault::Hang:
        m_StopSignal.wait(lock, [this] { return m_Stopping; });
        response.status = 503;
        response.set_content("Stopped\n", "text/plain");
        break;
    }
    return true;
}

void CFeedServer::Handle(const httplib::Request& request, httplib::Response& response) {
    if (request.path == kChartPath) {
        const std::string code = request.get_param_value("code");
        const std::string span = request.get_param_value("span");
        // The program only asks for one year; another span is a wrong address.
        if (code.empty() || (request.has_param("span") && span != "year1")) {
            NotFound(response);
            return;
        }
        const std::chrono::sys_days lastDay = m_ChartLastDay ? *m_ChartLastDay : LocalToday();
        response.status = 200;
        response.set_content(BuildPriceChartPage(code, lastDay), "text/html; charset=utf-8");
        return;
    }
    std::filesystem::path file;
    std::string content;
    if (!ResolveServedFile(m_Root, request.path, file) || !ReadWholeFile(file, content)) {
        NotFound(response);
        return;
    }
    response.status = 200;
    response.set_content(content, ServedContentType(file));
}

void CFeedServer::Log(const httplib::Request& request, const httplib::Response& response) {
    if (m_LogStream == nullptr) {
        return;
    }
    std::lock_guard lock(m_LogMutex);
    *m_LogStream << request.method << ' ' << request.target << ' ' << response.status << std::endl;
}

} // namespace strikeline
