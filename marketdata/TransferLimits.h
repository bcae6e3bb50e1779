#pragma once

#include <chrono>
#include <cstdint>

namespace strikeline {

// How long one file's transfer may take from start to end, and how large its body may be.
// A real market file is a few megabytes and arrives in seconds; anything far beyond that
// is a misbehaving server, which must not hold the search or fill the disk.
struct CTransferLimits {
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{120'000};
    static constexpr std::uint64_t kDefaultSizeLimit = std::uint64_t{64} << 20;

    std::chrono::milliseconds timeLimit = kDefaultTimeLimit;
    std::uint64_t sizeLimit = kDefaultSizeLimit; // bytes
};

} // namespace strikeline
