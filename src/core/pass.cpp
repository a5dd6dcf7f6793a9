#include "core/pass.h"

#include "core/halvable_pairs.h"
#include "core/quiet_pass.h"

namespace core {

void StartPass(AnalysisState &s)
{
    // The tables' entries above this pass's runs must be what the passes before left there.
    Settle(s);
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
