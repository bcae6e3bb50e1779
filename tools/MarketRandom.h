#pragma once

#include <cstdint>
#include <random>

namespace strikeline {

// Random draws for the sample market. The standard distributions may give different
// numbers from one library version to the next, so every draw here is built from the raw
// output of the engine, which the standard fixes: the same seed gives the same market on
// every machine.
class CMarketRandom {
public:
    explicit CMarketRandom(std::uint64_t seed) : m_Engine(seed) {}

    std::uint64_t NextRaw() { return m_Engine(); }
    // In [0, 1), with the 53 bits a double holds.
    double Uniform();
    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
    // In [low, high], both included.
    int UniformInt(int low, int high);
    bool Chance(double probability) { return Uniform() < probability; }
    // Standard normal (Box-Muller; one value per call keeps the draw count fixed).
    double Normal();

private:
    std::mt19937_64 m_Engine;
};

// Combines a seed with further keys into a new seed (splitmix64 steps), so that each
// company, day and series has its own stream and adding one does not shift the others.
std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t key);
std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t key1, std::uint64_t key2);

} // namespace strikeline
