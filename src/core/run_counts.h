#pragma once

#include "core/divisor_sieve.h"

#include <cstdint>

namespace core {

// What a pass over a whole n >= 1 with a scan bound of at least n counts, found without listing or
// storing a run. Two runs [a, e] and [e + 1, b] of n are a halvable pair exactly when (2a - 1)^2,
// (2e + 1)^2 and (2b + 1)^2 step by 8n. Then n = k^2 * m * l * (m - l) * (m + l) / 2 with k odd
// and m > l >= 1, and one of m, l, m - l, m + l is a multiple of 3: only multiples of 3 have
// pairs, and for them each run is tested by whether (2e + 1)^2 + 8n is a square.
struct RunCounts {
    std::int32_t runs = 0;        // the odd divisors of n
    std::int32_t pairs = 0;       // the halvable pairs
    std::uint32_t largestOdd = 0; // n's largest odd divisor, the divisor of the last run
};

// 1 <= n < 2^31.
RunCounts CountRuns(std::uint32_t n, DivisorSieve &sieve);

// Whether some run [e + 1, b] of n follows a run ending at e: (2e + 1)^2 + 8n is an odd square.
// 0 <= e < 2^31, 1 <= n < 2^31.
bool FollowedByRun(std::uint64_t e, std::uint64_t n);

} // namespace core
