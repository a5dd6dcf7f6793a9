#pragma once

#include "core/analysis_state.h"
#include "core/divisor_sieve.h"

#include <string>

namespace core {

// The pass that a search runs for a candidate: every number of the state exactly as RunPass
// leaves it, but for a whole n >= 1 the runs are only counted; the run tables and the listing are
// written when Settle asks for them. Any other n takes the full pass. Raises Overflow before
// anything changes, as RunPass does.
void QuietPass(AnalysisState &state, double bound, DivisorSieve *sieve = nullptr);

// Writes what quiet passes left unwritten: the run tables as the full passes would have left
// them, entries above runCount included, and the listing of the last pass. Everything that reads
// the tables or the listing of a state that quiet passes may have run on calls it first; a full
// pass calls it at its start.
void Settle(AnalysisState &state);

// The listing that a pass over n with this scan bound writes. Raises Overflow as RunPass does.
std::string ListingOf(double n, double bound);

} // namespace core
