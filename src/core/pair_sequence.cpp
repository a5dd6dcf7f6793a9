#include "core/pair_sequence.h"

#include "core/pass.h"
#include "core/run_counts.h"

#include <algorithm>
#include <vector>

namespace core {

namespace {
constexpr std::int64_t RangeEnd = 2147483647;
// Numbers enumerated at a time: the pairs found in one piece are sorted together, and near 2^31
// a piece this long holds a few hundred.
constexpr std::uint32_t PieceLength = 1u << 22;

// The counts of a whole candidate c >= 1, from its divisors.
Counted counted(DivisorSieve &sieve, std::uint32_t c)
{
    const RunCounts counts = CountRuns(c, sieve);
    return {static_cast<std::int32_t>(c), counts.runs, counts.pairs};
}
} // namespace

std::optional<Counted> NextWithPairs(const PairEnumerator &pairs, DivisorSieve &sieve, int wanted, std::int64_t from)
{
    // Below 0 the scan bound is below 1: no divisor is tried, no run found.
    std::int64_t c = std::max<std::int64_t>(from + 1, 0);
    if (c == 0) {
        // The bound 1 lets the divisor 1 through: every odd number divides 0, and the one run,
        // from 1 to 0, pairs with itself.
        AnalysisState s;
        RunPass(s, 1, {}, {});
        if (s.pairCount >= wanted)
            return Counted{0, s.runCount, s.pairCount};
        c = 1;
    }
    if (c <= PairEnumerator::Largest) {
        if (const std::optional<PairHit> hit =
                pairs.firstWith(wanted, static_cast<std::uint32_t>(c), PairEnumerator::Largest))
            return counted(sieve, hit->n);
        c = RangeEnd;
    }
    if (c == RangeEnd) {
        const Counted last = counted(sieve, static_cast<std::uint32_t>(RangeEnd));
        if (last.pairs >= wanted)
            return last;
    }
    return std::nullopt;
}

void ForEachWithPairs(const PairEnumerator &pairs, int wanted, std::uint32_t last,
                      const std::function<void(std::uint32_t n, int pairs)> &each)
{
    std::vector<std::uint32_t> found;
    const std::uint32_t enumerated = std::min(last, PairEnumerator::Largest);
    for (std::uint64_t from = 1; from <= enumerated; from += PieceLength) {
        const auto to = static_cast<std::uint32_t>(std::min<std::uint64_t>(enumerated, from + PieceLength - 1));
        pairs.pairsIn(static_cast<std::uint32_t>(from), to, found);
        for (std::size_t i = 0; i < found.size();) {
            std::size_t j = i + 1;
            while (j < found.size() && found[j] == found[i])
                ++j;
            if (static_cast<int>(j - i) >= wanted)
                each(found[i], static_cast<int>(j - i));
            i = j;
        }
    }
    if (last > PairEnumerator::Largest) {
        DivisorSieve sieve(1);
        const RunCounts end = CountRuns(last, sieve);
        if (end.pairs >= wanted)
            each(last, end.pairs);
    }
}

std::string_view PlatformLineEnd()
{
#ifdef _WIN32
    return "\r\n";
#else
    return "\n";
#endif
}

std::string WithPlatformLineEnds(std::string_view listing)
{
    const std::string_view end = PlatformLineEnd();
    if (end == "\r\n")
        return std::string(listing);
    std::string text;
    text.reserve(listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (listing[i] == '\r' && i + 1 < listing.size() && listing[i + 1] == '\n') {
            text += end;
            ++i;
        } else {
            text += listing[i];
        }
    }
    return text;
}

} // namespace core
