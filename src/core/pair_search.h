#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace core {

// The first number of a stretch with enough halvable pairs, and how many it has.
struct PairHit {
    std::uint32_t n = 0;
    int pairs = 0;
};

// The numbers with halvable pairs, found by making them rather than by trying every number. The
// pairs of n are the ways to write n = k^2 * b with k odd and b = m * l * (m - l) * (m + l) / 2
// for coprime m > l >= 1 of unlike parity, so a stretch holds, once per pair, the k^2 * b that
// fall into it. These are few: some 80 in the two million numbers after 2106451305, and some 3500
// in the first two million.
class PairEnumerator {
public:
    // The largest number a search tries: the one below 2^31 - 1, whose successor ends the range.
    static constexpr std::uint32_t Largest = 2147483646;

    // Lists the bases up to Largest, some 34000 of them; a few milliseconds.
    PairEnumerator();

    // Every n in [first, last] once for each of its halvable pairs, ascending, into out (which is
    // cleared first). 1 <= first, last <= Largest; an empty stretch gives nothing.
    void pairsIn(std::uint32_t first, std::uint32_t last, std::vector<std::uint32_t> &out) const;

    // The halvable pairs of n, as CountRuns counts them. 1 <= n <= Largest.
    int pairsOf(std::uint32_t n) const;

    // The smallest n in [first, last] with at least `wanted` halvable pairs, or nothing.
    // 1 <= first, last <= Largest, wanted >= 1; the cost hardly depends on the stretch's length.
    std::optional<PairHit> firstWith(int wanted, std::uint32_t first, std::uint32_t last) const;

private:
    void collect(std::uint32_t first, std::uint32_t last, std::vector<std::uint32_t> &out) const;

    // Every b = m * l * (m - l) * (m + l) / 2 up to Largest, ascending, once for each (m, l): a few
    // different primitive Pythagorean triangles share an area, and then b repeats.
    std::vector<std::uint32_t> bases_;
};

// The odd divisors of every c in [1, x] added up: the sum over odd d <= x of floor(x / d).
// x <= 2^31 - 1; takes some sqrt(x) divisions.
std::uint64_t OddDivisorCountUpTo(std::uint32_t x);

// The odd divisors of every c in (a, b] added up, 0 when a >= b. b <= 2^31 - 1. What a search
// that skips the numbers (a, b] would have spent on them: each run is counted by its divisor.
std::uint64_t OddDivisorCountSum(std::uint32_t a, std::uint32_t b);

} // namespace core
