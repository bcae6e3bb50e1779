#include "tools/MarketRandom.h"

#include <cmath>
#include <numbers>

namespace strikeline {

double CMarketRandom::Uniform() {
    return static_cast<double>(m_Engine() >> 11) * 0x1.0p-53;
}

int CMarketRandom::UniformInt(int low, int high) {
    if (high <= low) {
        return low;
    }
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
    // The bias of the remainder is far below anything a sample market could show.
    return static_cast<int>(low + static_cast<std::int64_t>(m_Engine() % span));
}

double CMarketRandom::Normal() {
    const double u1 = 1.0 - Uniform(); // (0, 1], so the logarithm is finite
    const double u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t key) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (key + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t key1, std::uint64_t key2) {
    return MixSeed(MixSeed(seed, key1), key2);
}

} // namespace strikeline
