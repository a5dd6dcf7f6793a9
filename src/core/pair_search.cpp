#include "core/pair_search.h"

#include "core/divisor_sieve.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <numeric>

namespace core {

namespace {

// floor(sqrt(v)) for v < 2^32. v is exact as a double and its root correctly rounded, which
// cannot reach the next integer: that lies at least 1 / 2^17 above it.
std::uint32_t isqrt(std::uint32_t v)
{
    return static_cast<std::uint32_t>(std::sqrt(static_cast<double>(v)));
}

// The largest odd k with k^2 * b <= last, or 0. The quotient's rounding never takes it below a
// square k^2 that the true quotient reaches, since k^2 is a double too, but it may round up onto
// one: then k is one too large.
std::uint32_t largestOddMultiplier(std::uint32_t b, std::uint32_t last)
{
    auto k = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(last) / b));
    if (k * k * b > last)
        --k;
    return static_cast<std::uint32_t>(k % 2 == 0 && k > 0 ? k - 1 : k);
}

// Each piece of a search's stretch costs the same thousand or so steps however long it is, and the
// numbers found in it, which are sorted, grow with its length: near 2^31 a piece this long holds
// about a hundred.
constexpr std::uint32_t PieceLength = 1u << 21;

// A stretch shorter than sqrt(b) / 3 is factored. Near 10^9 and near 2^31 both ways cost the same
// for some 10000 to 15000 numbers, a fifth of a millisecond.
constexpr std::uint64_t ShortStretchFactor = 3;

} // namespace

PairEnumerator::PairEnumerator()
{
    // For a given m, b is least at l = 1, m(m^2 - 1)/2, which grows with m: past Largest, no l
    // gives a base.
    bases_.reserve(35000);
    for (std::uint64_t m = 2; m * (m * m - 1) / 2 <= Largest; ++m) {
        for (std::uint64_t l = 1 + m % 2; l < m; l += 2) {
            const std::uint64_t b = m * l * (m - l) * (m + l) / 2;
            if (b <= Largest && std::gcd(m, l) == 1)
                bases_.push_back(static_cast<std::uint32_t>(b));
        }
    }
    std::sort(bases_.begin(), bases_.end());
}

void PairEnumerator::collect(std::uint32_t first, std::uint32_t last, std::vector<std::uint32_t> &out) const
{
    // Small k by a binary search among the bases, which for k = 1 finds every base of the
    // stretch at once; large k by the bases small enough for them, each with its range of k from
    // a square root. Split at about last^(1/4), both halves take some sqrt(last) / k steps; the
    // factor is the measured best, though half or twice it costs barely more.
    auto split = static_cast<std::uint32_t>(0.8 * std::sqrt(std::sqrt(static_cast<double>(last))));
    split |= 1;
    for (std::uint32_t k = 1; k <= split; k += 2) {
        const std::uint32_t kk = k * k;
        if (kk > last)
            break;
        const std::uint32_t lo = first / kk + (first % kk != 0 ? 1 : 0);
        const std::uint32_t hi = last / kk;
        if (lo > hi)
            continue;
        auto it = std::lower_bound(bases_.begin(), bases_.end(), lo);
        for (; it != bases_.end() && *it <= hi; ++it)
            out.push_back(*it * kk);
    }
    const std::uint64_t low = split + 2;
    const std::uint64_t largestBase = last / (low * low);
    for (auto it = bases_.begin(); it != bases_.end() && *it <= largestBase; ++it) {
        const std::uint32_t b = *it;
        for (std::uint64_t k = largestOddMultiplier(b, last); k >= low; k -= 2) {
            const std::uint64_t n = k * k * b;
            if (n < first)
                break;
            out.push_back(static_cast<std::uint32_t>(n));
        }
    }
}

void PairEnumerator::pairsIn(std::uint32_t first, std::uint32_t last, std::vector<std::uint32_t> &out) const
{
    assert(first >= 1 && last <= Largest);
    out.clear();
    if (first > last)
        return;
    collect(first, last, out);
    std::sort(out.begin(), out.end());
}

int PairEnumerator::pairsOf(std::uint32_t n) const
{
    std::vector<std::uint32_t> found;
    pairsIn(n, n, found);
    return static_cast<int>(found.size());
}

std::optional<PairHit> PairEnumerator::firstWith(int wanted, std::uint32_t first, std::uint32_t last) const
{
    assert(first >= 1 && last <= Largest && wanted >= 1);
    std::vector<std::uint32_t> found;
    found.reserve(1024);
    // Piece by piece from the front, so that a hit near the start is not paid for with the
    // numbers of the whole stretch.
    for (std::uint64_t from = first; from <= last; from += PieceLength) {
        const auto to = static_cast<std::uint32_t>(std::min<std::uint64_t>(last, from + PieceLength - 1));
        found.clear();
        collect(static_cast<std::uint32_t>(from), to, found);
        if (found.empty())
            continue;
        std::sort(found.begin(), found.end());
        for (std::size_t i = 0; i < found.size();) {
            std::size_t j = i + 1;
            while (j < found.size() && found[j] == found[i])
                ++j;
            if (static_cast<int>(j - i) >= wanted)
                return PairHit{found[i], static_cast<int>(j - i)};
            i = j;
        }
    }
    return std::nullopt;
}

std::uint64_t OddDivisorCountUpTo(std::uint32_t x)
{
    // The pairs (d, q) with d odd and d * q <= x: those with d <= s, those with q <= s, less
    // those counted twice; no pair has both above s = floor(sqrt(x)). For q <= s the odd d up to
    // x / q number (x / q + 1) / 2. An odd j serves as d and as q with a single division.
    const std::uint32_t s = isqrt(x);
    std::uint64_t sum = 0;
    std::uint32_t j = 1;
    for (; j + 1 <= s; j += 2) {
        const std::uint32_t odd = x / j;
        const std::uint32_t even = x / (j + 1);
        sum += odd + (odd + 1) / 2 + (even + 1) / 2;
    }
    if (j == s) {
        const std::uint32_t odd = x / j;
        sum += odd + (odd + 1) / 2;
    }
    return sum - std::uint64_t(s) * ((s + 1) / 2);
}

std::uint64_t OddDivisorCountSum(std::uint32_t a, std::uint32_t b)
{
    if (a >= b)
        return 0;
    // A short stretch is cheaper factored: one sieve over it takes a division for each odd prime
    // up to sqrt(b), and each number a few more, where the sums up to a and to b take some
    // sqrt(b) divisions each.
    const std::uint32_t length = b - a;
    if (std::uint64_t(length) * ShortStretchFactor >= isqrt(b))
        return OddDivisorCountUpTo(b) - OddDivisorCountUpTo(a);
    DivisorSieve sieve(length);
    std::uint64_t sum = 0;
    for (std::uint32_t c = a + 1; c <= b; ++c) {
        const DivisorSieve::OddFactors odd = sieve.oddFactors(c);
        std::uint64_t count = 1;
        for (int i = 0; i < odd.count; ++i)
            count *= odd.exponent[i] + 1;
        sum += count;
    }
    return sum;
}

} // namespace core
