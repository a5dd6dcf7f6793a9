#pragma once

#include "core/divisor_sieve.h"
#include "core/pair_search.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// A number with the runs and halvable pairs that a search's pass over it finds.
struct Counted {
    std::int32_t n = 0;
    std::int32_t runs = 0;
    std::int32_t pairs = 0;
};

// The forward search of the window without the window: the candidates after `from`, each
// analysed with the scan bound one above it, up to the first with at least `wanted` pairs. What
// it finds is where the window's search ends; nothing when the range ends first, after
// 2147483647 has been tried. wanted >= 1.
std::optional<Counted> NextWithPairs(const PairEnumerator &pairs, DivisorSieve &sieve, int wanted, std::int64_t from);

// Every n from 1 to last with at least `wanted` halvable pairs, ascending, with its pair count.
// last <= 2147483647, wanted >= 1.
void ForEachWithPairs(const PairEnumerator &pairs, int wanted, std::uint32_t last,
                      const std::function<void(std::uint32_t n, int pairs)> &each);

// A listing (lines broken by CR LF) with the line ends of the platform: CR LF on Windows, LF
// elsewhere.
std::string WithPlatformLineEnds(std::string_view listing);
// The line end of the platform.
std::string_view PlatformLineEnd();

} // namespace core
