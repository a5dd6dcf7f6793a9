#include "commands/commands.h"

#include "chart/chart.h"
#include "core/pass.h"
#include "core/quiet_pass.h"
#include "rules/numrules.h"

#include <algorithm>

namespace commands {

namespace {
const QString RangeHint = QStringLiteral("Die Zahl n muss gerundet im Bereich von -2147483648 bis 2147483647 liegen.");
const QString SearchEndHint =
    QStringLiteral("Die Suche ist bei 2147483647 angekommen, der größten Zahl, die das Programm untersuchen kann.");
constexpr std::int32_t WidthCap = 5000;

// The listing of a search's pass over the candidate n, made when it is read.
struct CandidateListing {
    double n;
    std::string operator()() const { return core::ListingOf(n, n + 1); }
};
} // namespace

Commands::Commands(Controls controls, core::AnalysisState &state, rt::Rnd &rnd, const rt::ErrorReporter &errors,
                   rt::FramePacer &pacer)
    : c_(controls), state_(state), rnd_(rnd), errors_(errors), pacer_(pacer)
{
}

bool Commands::withinRange(double n)
{
    try {
        rt::CLng(n);
        return true;
    } catch (const rt::RuntimeError &) {
        return false;
    }
}

bool Commands::readNumber(double &n)
{
    try {
        n = rt::Val(QStringView(c_.text1.Text()));
        return true;
    } catch (const rt::RuntimeError &e) {
        errors_.report(e, RangeHint);
        return false;
    }
}

void Commands::Command1_Click()
{
    double n = 0;
    if (!readNumber(n))
        return;
    std::int32_t widthBound = 0;
    try {
        widthBound = rt::CLng(n);
    } catch (const rt::RuntimeError &e) {
        // Nothing has changed yet: listing, chart, canvas width and pan range stay as they were.
        errors_.report(e, RangeHint);
        return;
    }
    state_.n = n;
    widthBound = std::min(widthBound, WidthCap);
    const double scaleRight = static_cast<double>(widthBound) + 10;
    // Below a width bound of -10 the canvas would get a negative width, below -32768 the pan
    // range would overflow; the canvas stops at width 0 and the pan range at its 16-bit end.
    c_.picGraphPlacement.setWidth(std::max(scaleRight, 0.0));
    c_.hScroll1.setMax(static_cast<std::int16_t>(std::max(widthBound, -32768)));

    core::RunPass(
        state_, n, [&] { chart::PrepareChart(c_.picGraph, state_, scaleRight, n, chart::AnalysisGridColour); },
        [&](int k) { chart::DrawRun(c_.picGraph, state_, rnd_, k, true); }, &sieve_);
    c_.txtSequenz.setText(std::string_view(state_.listing));
    ++passes_;
}

void Commands::Command3_Click()
{
    state_.stopRequested = 1;
}

void Commands::Command4_Click()
{
    search(1, true);
}

void Commands::Command5_Click()
{
    search(2, false);
}

void Commands::search(std::int16_t pairsWanted, bool withLabels)
{
    double start = 0;
    if (!readNumber(start))
        return;
    try {
        // A start whose first candidate is already beyond the range is refused before n takes it,
        // so that n keeps describing the listing on display.
        core::CheckScanRange(start + 1, start + 2);
    } catch (const rt::RuntimeError &e) {
        // From the range's last number the search has arrived at its end, like one that runs
        // into it; only a start outside the range is the number's own fault.
        errors_.report(e, withinRange(start) ? SearchEndHint : RangeHint);
        return;
    }
    const rt::FramePacer::Work work(pacer_);
    ++searchDepth_;
    state_.stopRequested = 0;
    state_.n = start;
    for (;;) {
        pacer_.doEvents();
        if (cancelled_)
            break;
        const double candidate = state_.n + 1;
        try {
            core::CheckScanRange(candidate, candidate + 1);
        } catch (const rt::RuntimeError &e) {
            // The last candidate that could be analysed stays on display.
            errors_.report(e, SearchEndHint);
            break;
        }
        state_.n = candidate;
        // Writing the number box may run an analysis pass through the number scroll bar, which
        // stores its own reading of the box in n; the search goes on from that.
        c_.text1.setStr(state_.n);
        const double n = state_.n;
        // The candidate's pass counts; its listing and chart are made when the window shows or
        // anything reads them, from n and from Rnd as it stands before the pass's bars.
        try {
            core::QuietPass(state_, n + 1, &sieve_);
        } catch (const rt::RuntimeError &e) {
            errors_.report(e, SearchEndHint);
            break;
        }
        chart::DeferSearchChart(c_.picGraph, n, rnd_, withLabels, state_.runCount);
        rnd_.skip(3 * static_cast<std::uint64_t>(state_.runCount));
        c_.txtSequenz.setTextMadeBy(CandidateListing{n});
        ++passes_;
        if (state_.pairCount >= pairsWanted || state_.stopRequested == 1)
            break;
    }
    if (--searchDepth_ == 0)
        cancelled_ = false;
}

} // namespace commands
