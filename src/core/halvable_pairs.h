#pragma once

#include "core/analysis_state.h"

namespace core {

// Appends the pair section for the stored runs and counts the pairs in pairCount. Pair lines come
// in the order of the later run, and for one later run in the order of the earlier run; the
// result is that of testing every ordered combination of runs, found with a sorted index instead.
void ListHalvablePairs(AnalysisState &state);

// The line for the earlier run j and the later run i, with its leading line break.
void AppendPairLine(AnalysisState &state, int j, int i);

} // namespace core
