#include "core/literal_scan.h"

#include "core/halvable_pairs.h"
#include "rules/numrules.h"

#include <limits>

namespace core {

void FindRunsLiteral(AnalysisState &s, double bound, const RunStep &step)
{
    const std::string nText = rt::Str(s.n);
    for (s.divisor = 1; s.divisor <= bound; s.divisor += 2) {
        if (rt::Mod(s.n, s.divisor) != 0)
            continue;
        StoreRun(s, s.divisor, nText, step);
    }
}

void ListHalvablePairsLiteral(AnalysisState &s)
{
    s.listing += "\r\n";
    s.listing += "\r\nhalbierbare Sequenzen:";
    const int count = s.runCount;
    for (s.divisor = 1; s.divisor <= count; s.divisor += 1) {
        for (s.innerIndex = 1; s.innerIndex <= count; s.innerIndex += 1) {
            const auto i = static_cast<std::size_t>(s.divisor);
            const auto j = static_cast<std::size_t>(s.innerIndex);
            if (s.runEnd[j] + 1 == s.runStart[i]) {
                if (s.pairCount == std::numeric_limits<std::int16_t>::max())
                    throw rt::RuntimeError(rt::ErrorCode::Overflow);
                ++s.pairCount;
                AppendPairLine(s, static_cast<int>(j), static_cast<int>(i));
            }
        }
    }
    if (s.pairCount == 0) {
        s.listing += "\r\n";
        s.listing += "\r\nkeine";
    }
}

} // namespace core
