// Prints what the core gives for the end-to-end tests to compare with what the window shows:
//   listing_tool N BOUND          the listing of one pass over N
//   listing_tool --next N PAIRS   where a forward search from N ends: the first number above N
//                                 whose pass (bound one above it) finds at least PAIRS pairs
#include "core/pass.h"
#include "rules/numrules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int searchEnd(const char *startText, const char *pairsText)
{
    char *end = nullptr;
    const long pairs = std::strtol(pairsText, &end, 10);
    if (*end != '\0' || pairs < 1 || pairs > 100) {
        std::fprintf(stderr, "listing_tool: PAIRS must be a whole number from 1 to 100\n");
        return 2;
    }
    const double start = rt::Val(startText);
    // The longest two-pair search below 2^31 tries 1881600 candidates; a core that never finds
    // the pairs must not hang the test.
    constexpr int MaxCandidates = 2000000;
    // As the window's search does: the candidates' divisors from a sieve, a block at a time.
    core::DivisorSieve sieve;
    core::AnalysisState s;
    for (int i = 1; i <= MaxCandidates; ++i) {
        s.n = start + i;
        core::RunPass(s, s.n + 1, {}, {}, &sieve);
        if (s.pairCount >= pairs) {
            std::printf("%.0f\n", s.n);
            return 0;
        }
    }
    std::fprintf(stderr, "listing_tool: no number up to %d above the start has %ld pairs\n", MaxCandidates, pairs);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--next") == 0)
        return searchEnd(argv[2], argv[3]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: listing_tool N BOUND\n       listing_tool --next N PAIRS\n");
        return 2;
    }
    core::AnalysisState s;
    s.n = rt::Val(argv[1]);
    core::RunPass(s, rt::Val(argv[2]), {}, {});
    std::fwrite(s.listing.data(), 1, s.listing.size(), stdout);
    return 0;
}
