// strikeline-feed: serves a feed folder (see strikeline-market --feed) on a local address
// until interrupted.

#include "tools/FeedServer.h"

#include <charconv>
#include <csignal>
#include <iostream>
#include <pthread.h>
#include <string>
#include <string_view>

namespace {

using namespace strikeline;

constexpr const char* kUsage =
    "Usage: strikeline-feed --root DIR [--port N] [--bind ADDR]\n"
    "\n"
    "Serves the folder DIR as the market data feed, with the trend chart page\n"
    "/call/chart.php?code=CODE&span=year1, until interrupted (Ctrl+C or SIGTERM).\n"
    "  --root DIR   folder to serve, as written by strikeline-market --feed\n"
    "  --port N     port to listen on (default 8642; 0 picks a free one)\n"
    "  --bind ADDR  address to listen on (default 127.0.0.1)\n";

int UsageError(const std::string& message) {
    std::cerr << "strikeline-feed: " << message << "\n\n" << kUsage;
    return 2;
}

bool ParsePort(std::string_view text, int& port) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), port);
    return !text.empty() && result.ec == std::errc{} && result.ptr == text.data() + text.size() &&
           port >= 0 && port <= 65535;
}

} // namespace

int main(int argc, char** argv) {
    CFeedServerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument != "--root" && argument != "--port" && argument != "--bind") {
            return UsageError("unknown argument \"" + std::string(argument) + "\"");
        }
        if (i + 1 >= argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        const std::string_view value = argv[++i];
        bool good = !value.empty();
        if (argument == "--root") {
            options.root = value;
        } else if (argument == "--bind") {
            options.bind = value;
        } else {
            good = ParsePort(value, options.port);
        }
        if (!good) {
            return UsageError("bad value \"" + std::string(value) + "\" for " +
                              std::string(argument));
        }
    }
    if (options.root.empty()) {
        return UsageError("--root is required");
    }
    options.log = &std::cerr;

    // Blocked before the server's threads start, so they inherit the mask and the signals
    // reach only the sigwait below, where stopping is not restricted to signal-safe calls.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CFeedServer server;
    std::string error;
    if (!server.Start(options, error)) {
        std::cerr << "strikeline-feed: " << error << '\n';
        return 1;
    }
    std::cerr << "Serving " << options.root << " on http://" << options.bind << ':' << server.Port()
              << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    std::cerr << "strikeline-feed: stopping\n";
    server.Stop();
    return 0;
}
