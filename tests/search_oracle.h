#pragma once

#include "core/pass.h"

// Where a forward search from start ends, by the core alone: the first number above start whose
// pass (scan bound one above it) finds at least `pairs` halvable pairs.
inline double nextWithPairs(double start, int pairs)
{
    core::AnalysisState s;
    for (s.n = start + 1;; s.n += 1) {
        core::RunPass(s, s.n + 1, {}, {});
        if (s.pairCount >= pairs)
            return s.n;
    }
}
