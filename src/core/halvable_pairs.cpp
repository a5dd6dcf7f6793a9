#include "core/halvable_pairs.h"

#include "rules/numrules.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace core {

namespace {
constexpr int SmallRunCount = 24;
} // namespace

void AppendPairLine(AnalysisState &s, int j, int i)
{
    const auto uj = static_cast<std::size_t>(j);
    const auto ui = static_cast<std::size_t>(i);
    s.listing += "\r\n";
    s.listing += rt::Str(s.runStart[uj]);
    s.listing += '_';
    s.listing += rt::Str(s.runEnd[uj]);
    s.listing += " = ";
    s.listing += rt::Str(s.runStart[ui]);
    s.listing += '_';
    s.listing += rt::Str(s.runEnd[ui]);
}

void ListHalvablePairs(AnalysisState &s)
{
    s.listing += "\r\n";
    s.listing += "\r\nhalbierbare Sequenzen:";
    const int count = s.runCount;
    auto pair = [&s](int j, int i) {
        if (s.pairCount == std::numeric_limits<std::int16_t>::max())
            throw rt::RuntimeError(rt::ErrorCode::Overflow);
        ++s.pairCount;
        AppendPairLine(s, j, i);
    };

    if (count <= SmallRunCount) {
        // Few runs, as nearly every number has: testing every combination costs less than
        // building the index.
        for (int i = 1; i <= count; ++i) {
            const double start = s.runStart[static_cast<std::size_t>(i)];
            for (int j = 1; j <= count; ++j)
                if (s.runEnd[static_cast<std::size_t>(j)] + 1 == start)
                    pair(j, i);
        }
    } else {
        // (end + 1, index) of every run, so that the earlier runs meeting a start are one range.
        std::vector<std::pair<double, int>> nextAfter;
        nextAfter.reserve(static_cast<std::size_t>(count));
        for (int j = 1; j <= count; ++j)
            nextAfter.emplace_back(s.runEnd[static_cast<std::size_t>(j)] + 1, j);
        std::sort(nextAfter.begin(), nextAfter.end());

        for (int i = 1; i <= count; ++i) {
            const double start = s.runStart[static_cast<std::size_t>(i)];
            auto it = std::lower_bound(nextAfter.begin(), nextAfter.end(), std::pair(start, 0));
            for (; it != nextAfter.end() && it->first == start; ++it)
                pair(it->second, i);
        }
    }
    // Where the two counted loops of the combination test leave their counters.
    if (count >= 1) {
        s.divisor = count + 1;
        s.innerIndex = count + 1;
    } else {
        s.divisor = 1;
    }

    if (s.pairCount == 0) {
        s.listing += "\r\n";
        s.listing += "\r\nkeine";
    }
}

} // namespace core
