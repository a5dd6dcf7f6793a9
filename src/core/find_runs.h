#pragma once

#include "core/analysis_state.h"
#include "core/divisor_sieve.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace core {

// Called with the index of each run right after its line has been appended to the listing.
using RunStep = std::function<void(int k)>;

// Raises Overflow when a scan of n up to this bound cannot take place: the scan's first remainder
// needs n rounded within the 32-bit range, and there is a first remainder whenever bound >= 1.
void CheckScanRange(double n, double bound);

// Finds every run of state.n whose odd divisor is not above the bound, in ascending divisor
// order, stores and lists each and runs the step for it. The result, every number of the state
// and every character of the listing included, is that of trying each odd number 1, 3, 5, ...
// up to the bound; the runs come from the odd divisors of n rounded instead, which costs
// O(sqrt n) rather than O(n), or next to nothing with a sieve over the numbers a search tries.
// Raises Overflow before it changes anything.
void FindRuns(AnalysisState &state, double bound, const RunStep &step, DivisorSieve *sieve = nullptr);

// The odd divisors of m, ascending. m = 0 has none here; its caller treats it apart.
std::vector<std::int64_t> OddDivisors(std::uint32_t m);

// Divides the prime p out of rest as often as it goes, and adds to the divisors found so far
// each of them times p, p^2, ... as often.
void TakePrimeFactor(std::vector<std::int64_t> &divisors, std::uint32_t &rest, std::uint32_t p);

// What one found divisor does to the state; shared with the literal scan so both agree.
void StoreRun(AnalysisState &state, double divisor, const std::string &nText, const RunStep &step);

} // namespace core
