#pragma once

#include <chrono>
#include <cstdint>

namespace strikeline {

// The downloader's sense of time, passed in so that tests can stand at any moment
// without waiting.
class CDownloaderClock {
public:
    virtual ~CDownloaderClock() = default;
    // Seconds since 1970-01-01 UTC.
    virtual std::int64_t Now() const = 0;
    // A steady millisecond count, for the pace of the passes.
    virtual std::uint64_t TickCount() const = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

class CSystemClock final : public CDownloaderClock {
public:
    std::int64_t Now() const override {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    std::uint64_t TickCount() const override {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
    void Sleep(std::chrono::milliseconds duration) override;
};

} // namespace strikeline
