#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

// The window-level variables that every procedure shares. The run tables grow as needed and
// store runs from index 1; entries above runCount keep what an earlier pass left there, which
// nothing reads.
struct AnalysisState {
    double n = 0;
    double divisor = 0;
    double innerIndex = 0;
    double quotient = 0;
    std::int16_t runCount = 0;
    std::int16_t pairCount = 0;
    std::vector<double> runStart = std::vector<double>(101);
    std::vector<double> runEnd = std::vector<double>(101);
    std::int16_t stopRequested = 0;
    // The listing of the current pass, written to the listing box when the pass is complete.
    std::string listing;
};

} // namespace core
