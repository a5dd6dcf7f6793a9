#include "core/run_counts.h"

#include <bit>
#include <cmath>

namespace core {

bool FollowedByRun(std::uint64_t e, std::uint64_t n)
{
    // With y = 2e + 1 and z = 2b + 1, z^2 - y^2 = 8n means t(t + 2y) = 8n for t = z - y. t is the
    // root of t^2 + 2yt - 8n, 8n / (y + sqrt(y^2 + 8n)) without cancellation; in doubles it lies
    // within 1e-9 of the true root, so rounding it finds a whole t if there is one, which the
    // product then settles exactly (t stays below 2^17, t + 2y below 2^34).
    const std::uint64_t y = 2 * e + 1;
    const double eightN = 8.0 * static_cast<double>(n);
    const double yd = static_cast<double>(y);
    const double root = eightN / (yd + std::sqrt(yd * yd + eightN));
    const auto t = static_cast<std::uint64_t>(root + 0.5);
    return t != 0 && t * (t + 2 * y) == 8 * n;
}

RunCounts CountRuns(std::uint32_t n, DivisorSieve &sieve)
{
    RunCounts counts;
    const int twos = std::countr_zero(n);
    counts.largestOdd = n >> twos;
    if (n % 3 != 0) {
        const DivisorSieve::OddFactors odd = sieve.oddFactors(n);
        counts.runs = 1;
        for (int i = 0; i < odd.count; ++i)
            counts.runs *= odd.exponent[i] + 1;
        return counts;
    }
    // Divisor d and its partner at the mirrored index multiply to the odd part, so n / d is the
    // partner times 2^twos without a division. The run of d ends at n / d + (d - 1) / 2, whether
    // it starts there or, folded over zero, begins at 1 - (n / d - (d - 1) / 2).
    const std::vector<std::int64_t> &divisors = sieve.oddDivisorsUnsorted(n);
    const std::size_t count = divisors.size();
    counts.runs = static_cast<std::int32_t>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto d = static_cast<std::uint64_t>(divisors[i]);
        const auto quotient = static_cast<std::uint64_t>(divisors[count - 1 - i]) << twos;
        counts.pairs += FollowedByRun(quotient + (d - 1) / 2, n) ? 1 : 0;
    }
    return counts;
}

} // namespace core
