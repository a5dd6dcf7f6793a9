#pragma once

#include "core/analysis_state.h"

#include <algorithm>
#include <cmath>
#include <vector>

// The same value, NaN with NaN and each zero with its own sign.
inline bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

// Every field of two states alike, the run tables to their whole length.
inline bool sameState(const core::AnalysisState &a, const core::AnalysisState &b)
{
    auto sameTable = [](const std::vector<double> &x, const std::vector<double> &y) {
        return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), same);
    };
    return same(a.n, b.n) && same(a.divisor, b.divisor) && same(a.innerIndex, b.innerIndex)
        && same(a.quotient, b.quotient) && a.runCount == b.runCount && a.pairCount == b.pairCount
        && sameTable(a.runStart, b.runStart) && sameTable(a.runEnd, b.runEnd) && a.stopRequested == b.stopRequested
        && a.listing == b.listing;
}
