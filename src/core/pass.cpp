#include "core/pass.h"

#include "core/halvable_pairs.h"

namespace core {

void StartPass(AnalysisState &s)
{
    s.listing.clear();
    s.runCount = 0;
    s.pairCount = 0;
}

void RunPass(AnalysisState &s, double bound, const std::function<void()> &prepare, const RunStep &step,
             DivisorSieve *sieve)
{
    CheckScanRange(s.n, bound);
    StartPass(s);
    if (prepare)
        prepare();
    FindRuns(s, bound, step, sieve);
    ListHalvablePairs(s);
}

} // namespace core
