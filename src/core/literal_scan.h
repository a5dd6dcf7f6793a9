#pragma once

#include "core/analysis_state.h"
#include "core/find_runs.h"

namespace core {

// The scan as the old program ran it: every odd number up to the bound is tried with Mod, and
// every ordered combination of runs is tested for a pair. The reference that the fast scan must
// match exactly; far too slow for large n (a billion remainders at n = 2147483647).
void FindRunsLiteral(AnalysisState &state, double bound, const RunStep &step);
void ListHalvablePairsLiteral(AnalysisState &state);

} // namespace core
