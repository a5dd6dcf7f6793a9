#include "core/quiet_pass.h"

#include "core/pass.h"
#include "core/run_counts.h"

#include <cmath>

namespace core {

namespace {

// A whole n from 1 up whose scan reaches all its odd divisors: its runs can be counted.
bool countable(double n, double bound)
{
    // Whole by a round trip through an integer, which the range makes safe: std::floor is a call
    // into the maths library on the baseline x86-64.
    return n >= 1 && n < DivisorSieve::Largest && n == static_cast<double>(static_cast<std::uint32_t>(n)) && bound >= n;
}

} // namespace

void QuietPass(AnalysisState &s, double bound, DivisorSieve *sieve)
{
    if (!countable(s.n, bound)) {
        RunPass(s, bound, {}, {}, sieve);
        return;
    }
    const auto m = static_cast<std::uint32_t>(s.n);
    RunCounts counts;
    if (sieve) {
        counts = CountRuns(m, *sieve);
    } else {
        DivisorSieve own(64);
        counts = CountRuns(m, own);
    }
    s.listing.clear();
    s.runCount = static_cast<std::int16_t>(counts.runs);
    s.pairCount = static_cast<std::int16_t>(counts.pairs);
    // Where FindRuns leaves the quotient (its last divisor is the largest odd one) and where the
    // pair scan's counted loops leave their counters.
    s.quotient = s.n / static_cast<double>(counts.largestOdd);
    s.divisor = counts.runs + 1;
    s.innerIndex = counts.runs + 1;
    while (!s.unwritten.empty() && s.unwritten.back().runCount <= counts.runs)
        s.unwritten.pop_back();
    s.unwritten.push_back({s.n, bound, counts.runs});
}

void Settle(AnalysisState &s)
{
    if (s.unwritten.empty())
        return;
    AnalysisState scratch;
    for (const AnalysisState::UnwrittenPass &pass : s.unwritten) {
        scratch.n = pass.n;
        RunPass(scratch, pass.bound, {}, {});
        for (std::size_t k = 1; k <= static_cast<std::size_t>(pass.runCount); ++k) {
            // As StoreRun grows the tables, so that they end at the same length.
            if (k >= s.runStart.size()) {
                s.runStart.resize(2 * k);
                s.runEnd.resize(2 * k);
            }
            s.runStart[k] = scratch.runStart[k];
            s.runEnd[k] = scratch.runEnd[k];
        }
    }
    s.listing = std::move(scratch.listing);
    s.unwritten.clear();
}

std::string ListingOf(double n, double bound)
{
    AnalysisState scratch;
    scratch.n = n;
    RunPass(scratch, bound, {}, {});
    return std::move(scratch.listing);
}

} // namespace core
