// Linked into every Qt Test program. Qt Test's watchdog thread is still ending when main
// returns: its thread data is freed only once the thread is gone, and the leak check,
// which runs at exit after this, may find it lost on a busy machine. This waits, at most
// a second, until the test program's other threads have ended.

#include <chrono>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <thread>

namespace {

std::ptrdiff_t ThreadCount() {
    std::error_code error;
    std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 1 : std::distance(tasks, std::filesystem::directory_iterator());
}

struct CThreadsEndedAtExit {
    CThreadsEndedAtExit() = default;
    CThreadsEndedAtExit(const CThreadsEndedAtExit&) = delete;
    CThreadsEndedAtExit& operator=(const CThreadsEndedAtExit&) = delete;
    ~CThreadsEndedAtExit() {
        using namespace std::chrono_literals;
        for (int waited = 0; waited < 100 && ThreadCount() > 1; ++waited) {
            std::this_thread::sleep_for(10ms);
        }
    }
};

const CThreadsEndedAtExit threadsEndedAtExit;

} // namespace
