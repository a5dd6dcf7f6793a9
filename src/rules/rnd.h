#pragma once

#include <cstdint>

namespace rt {

// The runtime's Rnd: uniform single-precision numbers in [0, 1). Every program start begins in the
// same state and nothing reseeds it, so the n-th draw of a run is the same on every start.
// splitmix64 gives well-mixed 64-bit words; the top 24 bits fill a float's mantissa exactly.
class Rnd {
public:
    float next()
    {
        state_ += Step;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<float>(z >> 40) * (1.0f / 16777216.0f);
    }

    // Where `draws` calls of next() would leave the sequence: its state is a counter, so the
    // colours of charts that nobody sees cost nothing, and a copy taken before replays them.
    void skip(std::uint64_t draws) { state_ += draws * Step; }

    bool operator==(const Rnd &) const = default;

private:
    static constexpr std::uint64_t Step = 0x9E3779B97F4A7C15ull;
    std::uint64_t state_ = 0x5375'6D6D'656E'6C65ull;
};

} // namespace rt
