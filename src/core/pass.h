#pragma once

#include "core/analysis_state.h"
#include "core/find_runs.h"

#include <functional>

namespace core {

// Empties the listing and sets both counters to 0; nothing else is reset.
void StartPass(AnalysisState &state);

// One analysis pass over state.n: the pass start, the caller's preparation (the chart), the runs
// with the step after each, the pair section. Raises Overflow before anything changes when n
// cannot be scanned up to the bound. A search passes its sieve for the numbers it tries.
void RunPass(AnalysisState &state, double bound, const std::function<void()> &prepare, const RunStep &step,
             DivisorSieve *sieve = nullptr);

} // namespace core
