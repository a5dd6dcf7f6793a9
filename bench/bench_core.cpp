// Times one complete core pass (runs, pairs, listing text) with the fast scan and with the
// literal scan, and prints one line per n; then the command line's sequence of the numbers with
// two halvable pairs over the whole range, as `summenleiter --folge 2` prints it.
#include "cli/command_line.h"
#include "core/find_runs.h"
#include "core/halvable_pairs.h"
#include "core/literal_scan.h"
#include "core/pass.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Pass>
double medianMicros(int repetitions, Pass pass)
{
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        const auto t0 = Clock::now();
        pass();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::size_t sink = 0;

void fastPass(core::AnalysisState &s, double n)
{
    s.n = n;
    core::StartPass(s);
    core::FindRuns(s, n, {});
    core::ListHalvablePairs(s);
    sink += s.listing.size();
}

void literalPass(core::AnalysisState &s, double n)
{
    s.n = n;
    core::StartPass(s);
    core::FindRunsLiteral(s, n, {});
    core::ListHalvablePairsLiteral(s);
    sink += s.listing.size();
}

} // namespace

int main()
{
    const double numbers[] = {75, 1000, 1576575, 1673196525, 2147483647};
    core::AnalysisState state;
    for (double n : numbers) {
        const double fast = medianMicros(201, [&] { fastPass(state, n); });
        const int literalReps = n > 1e8 ? 3 : 31;
        const double literal = medianMicros(literalReps, [&] { literalPass(state, n); });
        std::printf("n=%.0f fast_us=%.2f literal_us=%.2f ratio=%.0f\n", n, fast, literal, literal / fast);
        std::fflush(stdout);
    }
    // The whole command, from the enumeration's set-up to the last line written.
    std::size_t lines = 0;
    const double sequence = medianMicros(11, [&] {
        std::ostringstream out, err;
        cli::Run({"--folge", "2", "--bis", "2147483647"}, out, err);
        const std::string text = out.str();
        lines = std::size_t(std::count(text.begin(), text.end(), '\n'));
        sink += text.size();
    });
    std::printf("folge k=2 to=2147483647 ms=%.1f numbers=%zu\n", sequence / 1000, lines);
    return sink == 0;
}
