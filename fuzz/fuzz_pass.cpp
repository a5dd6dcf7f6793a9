// A complete analysis pass on arbitrary doubles with the scan bound n or n + 1.
//
// Input bytes:
//   0      bits 0-2 how n is made (see number()), bit 3 bound n + 1 instead of n,
//          bit 4 run an earlier pass on the same state first (its n from the last 4 bytes)
//          bit 5 go on as a search does, through the sieve (see followCandidates())
//   1...   what number() reads; the last 4 bytes give the earlier pass's n
//
// Checked: nothing but Overflow is raised, exactly when the bound is at least 1 and n rounded lies
// outside the 32-bit range, and then the state is untouched. Otherwise the runs are those of the
// odd divisors of n rounded up to the bound, in divisor order; for a whole n >= 1 every run lies
// between 1 and n and sums to n, runCount is the number of odd divisors of n, and pairCount is
// both the number of adjacent runs and the number of pair lines. For small n the whole state and
// listing equal those of the literal scan that tries every odd number. A search's candidates run
// through the sieve leave every field of the state exactly as the pass without it does, and the
// counts of runs and pairs that a search steps over numbers with, and the enumeration of the
// numbers with pairs, agree with the pass.

#include "core/analysis_state.h"
#include "core/divisor_sieve.h"
#include "core/find_runs.h"
#include "core/halvable_pairs.h"
#include "core/literal_scan.h"
#include "core/pass.h"
#include "core/pair_search.h"
#include "core/run_counts.h"
#include "fuzz_input.h"
#include "rules/numrules.h"
#include "rules/runtime_error.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

__extension__ typedef __int128 Int128;

double number(std::uint8_t mode, fuzz::Input &in)
{
    switch (mode % 8) {
    case 0:
        return static_cast<double>(in.u32() & 0x7FFFFFFFu);
    case 1:
        return static_cast<double>(static_cast<std::int16_t>(in.u16()));
    case 2:
        return in.raw();
    case 3:
        return static_cast<double>(static_cast<std::int32_t>(in.u32())) / 2.0;
    case 4: {
        // Around the ends of the 32-bit range, in quarter steps across the rounding ties.
        const double end = (in.u8() & 1) ? 2147483647.0 : -2147483648.0;
        return end + static_cast<std::int8_t>(in.u8()) * 0.25;
    }
    case 5: {
        // Many odd divisors, hence many runs and pairs; may well leave the 32-bit range.
        static constexpr double primes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23};
        double v = 1;
        for (double p : primes)
            for (int e = in.u8() % 5; e > 0; --e)
                v *= p;
        return v;
    }
    case 6:
        return fuzz::special(in.u8());
    default: {
        try {
            return rt::Val(in.rest());
        } catch (const rt::RuntimeError &) {
            return HUGE_VAL;
        }
    }
    }
}

bool sameTable(const std::vector<double> &a, const std::vector<double> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), fuzz::same);
}

bool sameState(const core::AnalysisState &a, const core::AnalysisState &b)
{
    return fuzz::same(a.n, b.n) && fuzz::same(a.divisor, b.divisor) && fuzz::same(a.innerIndex, b.innerIndex)
        && fuzz::same(a.quotient, b.quotient) && a.runCount == b.runCount && a.pairCount == b.pairCount
        && sameTable(a.runStart, b.runStart) && sameTable(a.runEnd, b.runEnd) && a.stopRequested == b.stopRequested
        && a.listing == b.listing;
}

// Only the entries 1 to runCount mean anything; the literal scan may leave the tables at another
// length.
bool sameRuns(const core::AnalysisState &a, const core::AnalysisState &b)
{
    if (a.runCount != b.runCount || a.pairCount != b.pairCount || a.listing != b.listing
        || !fuzz::same(a.divisor, b.divisor) || !fuzz::same(a.innerIndex, b.innerIndex)
        || !fuzz::same(a.quotient, b.quotient))
        return false;
    for (std::size_t k = 1; k <= static_cast<std::size_t>(a.runCount); ++k)
        if (!fuzz::same(a.runStart[k], b.runStart[k]) || !fuzz::same(a.runEnd[k], b.runEnd[k]))
            return false;
    return true;
}

// The odd divisors of m not above the bound, found by plain trial division.
std::vector<std::int64_t> oddDivisorsUpTo(std::int64_t m, double bound)
{
    std::vector<std::int64_t> found;
    if (m == 0) {
        for (std::int64_t d = 1; d <= bound; d += 2)
            found.push_back(d);
        return found;
    }
    // m lies within the 32-bit range here; 32-bit division keeps the trial loop fast.
    auto odd = static_cast<std::uint32_t>(m < 0 ? -m : m);
    while (odd % 2 == 0)
        odd /= 2;
    for (std::uint32_t d = 1; d <= odd / d; d += 2)
        if (odd % d == 0) {
            found.push_back(d);
            if (d != odd / d)
                found.push_back(odd / d);
        }
    std::sort(found.begin(), found.end());
    found.erase(std::upper_bound(found.begin(), found.end(), bound,
                                 [](double b, std::int64_t d) { return b < static_cast<double>(d); }),
                found.end());
    return found;
}

std::size_t countAfter(const std::string &listing, const std::string &heading)
{
    const std::size_t at = listing.find(heading);
    fuzz::check(at != std::string::npos, "the pair heading is missing");
    std::size_t lines = 0;
    for (std::size_t pos = listing.find("\r\n", at); pos != std::string::npos; pos = listing.find("\r\n", pos + 2)) {
        const std::size_t next = listing.find("\r\n", pos + 2);
        const std::string line = listing.substr(pos + 2, next == std::string::npos ? next : next - pos - 2);
        if (!line.empty() && line != "keine")
            ++lines;
    }
    return lines;
}

void checkWholeRuns(const core::AnalysisState &s, std::int64_t n)
{
    std::int64_t lastDivisor = 0;
    for (std::size_t k = 1; k <= static_cast<std::size_t>(s.runCount); ++k) {
        const double start = s.runStart[k];
        const double end = s.runEnd[k];
        fuzz::check(start == std::trunc(start) && end == std::trunc(end), "a run of a whole n is not whole", start);
        fuzz::check(1 <= start && start <= end && end <= static_cast<double>(n), "a run outside 1 to n", start);
        const auto a = static_cast<std::int64_t>(start);
        const auto b = static_cast<std::int64_t>(end);
        const Int128 sum = Int128(a + b) * Int128(b - a + 1) / 2;
        fuzz::check(sum == Int128(n), "a run does not sum to n", start);
        // A run of odd length belongs to its length, one of even length to first + last term.
        const std::int64_t length = b - a + 1;
        const std::int64_t divisor = length % 2 ? length : a + b;
        fuzz::check(divisor > lastDivisor, "the runs are not in divisor order", start);
        lastDivisor = divisor;
    }
}

void checkPass(const core::AnalysisState &s, double bound, const std::vector<int> &steps)
{
    fuzz::check(s.runStart.size() == s.runEnd.size() && s.runStart.size() > static_cast<std::size_t>(s.runCount),
                "the run tables are too short", s.runCount);
    fuzz::check(steps.size() == static_cast<std::size_t>(s.runCount), "one step per run", s.runCount);
    for (std::size_t i = 0; i < steps.size(); ++i)
        fuzz::check(steps[i] == static_cast<int>(i) + 1, "the steps are not 1 to runCount in order", steps[i]);

    // The remainders round n to the nearest whole number, ties to even (the default FE mode).
    const std::int64_t m = bound >= 1 ? static_cast<std::int64_t>(std::nearbyint(s.n)) : 0;
    const auto divisors = bound >= 1 ? oddDivisorsUpTo(m, bound) : std::vector<std::int64_t>{};
    fuzz::check(static_cast<std::size_t>(s.runCount) == divisors.size(), "runCount is not the number of odd divisors",
                s.n);
    for (std::size_t k = 1; k <= divisors.size(); ++k) {
        const double d = static_cast<double>(divisors[k - 1]);
        double start = s.n / d - (d - 1) / 2;
        if (start <= 0)
            start = 1 - start;
        fuzz::check(fuzz::same(s.runStart[k], start) && fuzz::same(s.runEnd[k], s.n / d + (d - 1) / 2),
                    "a run is not that of its divisor", d);
    }
    if (s.n >= 1 && s.n == std::trunc(s.n))
        checkWholeRuns(s, static_cast<std::int64_t>(s.n));

    std::int64_t pairs = 0;
    for (std::size_t i = 1; i <= divisors.size(); ++i)
        for (std::size_t j = 1; j <= divisors.size(); ++j)
            pairs += s.runEnd[j] + 1 == s.runStart[i];
    fuzz::check(s.pairCount == pairs, "pairCount is not the number of adjacent runs", s.pairCount);
    fuzz::check(countAfter(s.listing, "halbierbare Sequenzen:") == static_cast<std::size_t>(s.pairCount),
                "pairCount is not the number of pair lines", s.pairCount);
    fuzz::check((s.listing.size() >= 7 && s.listing.compare(s.listing.size() - 7, 7, "\r\nkeine") == 0) == (pairs == 0),
                "\"keine\" ends the listing exactly when there is no pair", s.pairCount);
    if (divisors.empty())
        fuzz::check(s.listing == "\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine", "the listing without runs is wrong");
}

// Built once: the enumeration's table of bases is the same for every input.
core::PairEnumerator &enumerator()
{
    static core::PairEnumerator e;
    return e;
}

// Candidates as a search tries them, n + 1, n + 2, ..., now and then jumping as a typed number or
// the scroll bar makes them, each passed once through the sieve and once by trial division. The
// jumps come from the input's bytes: a step of one mostly, else a jump to a new number (near the
// last one, anywhere in range, or down below it).
void followCandidates(double n, fuzz::Input &in)
{
    // Small blocks, so that the candidates cross block boundaries often.
    core::DivisorSieve sieve(1 + in.u8() % 128);
    core::DivisorSieve countSieve(1 + in.u8() % 128);
    core::AnalysisState viaSieve, direct;
    const int count = 1 + in.u8() % 32;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t how = in.u8();
        if (how < 200)
            n += 1;
        else if (how < 220)
            n += static_cast<double>(in.u16()) - 32768;
        else if (how < 240)
            n = static_cast<double>(in.u32() & 0x7FFFFFFFu) - (how & 1 ? 2147483648.0 : 0);
        else
            n = -n;
        if (!(n >= -2147483648.5 && n < 2147483647.5))
            return;
        viaSieve.n = direct.n = n;
        core::RunPass(viaSieve, n + 1, {}, {}, &sieve);
        core::RunPass(direct, n + 1, {}, {});
        fuzz::check(sameState(viaSieve, direct), "a candidate through the sieve differs", n);
        if (n >= 1 && n == std::floor(n)) {
            const auto whole = static_cast<std::uint32_t>(n);
            const core::RunCounts counts = core::CountRuns(whole, countSieve);
            fuzz::check(counts.runs == direct.runCount && counts.pairs == direct.pairCount,
                        "the counts a search steps over a number with differ from its pass", n);
            fuzz::check(enumerator().pairsOf(whole) == direct.pairCount,
                        "the enumeration of numbers with pairs differs from the pass", n);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t control = in.u8();
    core::AnalysisState s;
    if (control & 0x10) {
        const std::uint8_t *tail = size >= 5 ? data + size - 4 : data;
        fuzz::Input earlier(tail, size >= 5 ? 4 : 0);
        s.n = static_cast<double>(earlier.u32() % 100000);
        core::RunPass(s, s.n + 1, {}, {});
        s.innerIndex = 7; // the literal scan's inner counter keeps its value without a pair test
        s.stopRequested = 1;
    }
    const double n = number(control, in);
    const double bound = (control & 0x08) ? n + 1 : n;
    const bool outOfRange = bound >= 1 && !(n >= -2147483648.5 && n < 2147483647.5);

    s.n = n;
    const core::AnalysisState before = s;
    std::vector<int> steps;
    bool prepared = false;
    const auto prepare = [&] {
        fuzz::check(s.listing.empty() && s.runCount == 0 && s.pairCount == 0, "the pass did not start afresh");
        prepared = true;
    };
    const auto step = [&](int k) {
        fuzz::check(k == s.runCount && prepared, "a step out of turn", k);
        const std::string tail = rt::Str(s.runEnd[static_cast<std::size_t>(k)]);
        fuzz::check(s.listing.size() >= tail.size()
                        && s.listing.compare(s.listing.size() - tail.size(), tail.size(), tail) == 0,
                    "a step before its run line", k);
        steps.push_back(k);
    };
    try {
        core::RunPass(s, bound, prepare, step);
    } catch (const rt::RuntimeError &e) {
        fuzz::check(e.code() == rt::ErrorCode::Overflow, "a pass raised an error other than Overflow", e.number());
        fuzz::check(outOfRange, "a pass within range overflowed", n);
        fuzz::check(sameState(s, before) && !prepared && steps.empty(), "an overflowing pass changed something", n);
        return 0;
    }
    fuzz::check(!outOfRange, "a pass out of range did not overflow", n);
    checkPass(s, bound, steps);
    if (control & 0x20)
        followCandidates(n, in);

    if (std::fabs(n) <= 4096) {
        core::AnalysisState literal = before;
        core::StartPass(literal);
        core::FindRunsLiteral(literal, bound, {});
        core::ListHalvablePairsLiteral(literal);
        fuzz::check(sameRuns(s, literal), "the pass differs from the literal scan", n);
    }
    return 0;
}
