#include "commands/commands.h"

#include "chart/chart.h"
#include "core/pass.h"
#include "core/run_counts.h"
#include "rules/numrules.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace commands {

namespace {
const QString RangeHint = QStringLiteral("Die Zahl n muss gerundet im Bereich von -2147483648 bis 2147483647 liegen.");
const QString SearchEndHint =
    QStringLiteral("Die Suche ist bei 2147483647 angekommen, der größten Zahl, die das Programm untersuchen kann.");
constexpr std::int32_t WidthCap = 5000;
// The number box's change runs an analysis for the numbers below this; from here on it only
// changes the text, so that the numbers a search goes over leave nothing behind but their count.
constexpr double FirstQuietCandidate = 1000;
// The last number that can be stepped over: the range's end itself is always analysed in full.
constexpr std::uint32_t LastSteppable = 2147483646;
// Numbers enumerated at a time: the enumeration's cost per call is spread over many, and a slice
// still looks at the clock a few times.
constexpr std::uint32_t Stretch = 1u << 22;
// Numbers counted one after another between two looks at the clock.
constexpr std::uint32_t ClockEvery = 1024;
} // namespace

Commands::Commands(Controls controls, core::AnalysisState &state, rt::Rnd &rnd, const rt::ErrorReporter &errors,
                   rt::FramePacer &pacer, SearchOptions options, QObject *parent)
    : QObject(parent), c_(controls), state_(state), rnd_(rnd), errors_(errors), pacer_(pacer), options_(options)
{
    slices_.setInterval(0);
    // Nothing may escape into Qt's event loop.
    connect(&slices_, &QTimer::timeout, this, [this] { errors_.guard([this] { advance(); }); });
    clock_.start();
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

    rt::CanvasImage &image = c_.picGraph.draw();
    core::RunPass(
        state_, n, [&] { chart::PrepareChart(image, state_, scaleRight, n, chart::AnalysisGridColour); },
        [&](int k) { chart::DrawRun(image, state_, rnd_, k, true); }, &sieve_);
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

void Commands::cancelSearches()
{
    searches_.clear();
    slices_.stop();
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
    state_.stopRequested = 0;
    state_.n = start;
    searches_.push_back({pairsWanted, withLabels, passes_, clock_.nsecsElapsed()});
    slices_.start();
    // The first slice runs within the click, as the click's own loop would begin: a search that
    // fits in one slice then ends before the event loop turns again, and nothing queued meanwhile
    // (a screen reader's questions about the pressed button) comes first.
    advance();
}

bool Commands::canStepFrom(double n) const
{
    return n >= FirstQuietCandidate - 1 && n < LastSteppable && n == static_cast<double>(static_cast<std::uint32_t>(n));
}

void Commands::stepOver(const Search &search, std::uint32_t most)
{
    const auto from = static_cast<std::uint32_t>(state_.n);
    const std::uint32_t first = from + 1;
    const std::uint32_t last = from + std::min(most, LastSteppable - from);
    std::uint32_t next = last;
    std::uint64_t draws = 0;
    if (options_.stepping == Stepping::Skipping) {
        if (const std::optional<core::PairHit> hit = pairs_.firstWith(search.pairsWanted, first, last))
            next = hit->n;
        draws = 3 * core::OddDivisorCountSum(from, next - 1);
    } else {
        const qint64 deadline = clock_.nsecsElapsed() + SliceBudget;
        for (next = first; next < last; ++next) {
            const core::RunCounts counts = core::CountRuns(next, sieve_);
            if (counts.pairs >= search.pairsWanted)
                break;
            draws += 3 * static_cast<std::uint64_t>(counts.runs);
            if (next % ClockEvery == 0 && clock_.nsecsElapsed() >= deadline) {
                ++next;
                break;
            }
        }
    }
    // Every number before `next` would have drawn its bars and been analysed, and left nothing
    // else that the pass over `next` does not overwrite.
    rnd_.skip(draws);
    passes_ += next - first;
    state_.n = static_cast<double>(next - 1);
}

Commands::Step Commands::candidate(const Search &search)
{
    const double candidate = state_.n + 1;
    core::CheckScanRange(candidate, candidate + 1);
    state_.n = candidate;
    // Writing the number box may run an analysis pass through the number scroll bar, which
    // stores its own reading of the box in n; the search goes on from that.
    c_.text1.setStr(state_.n);
    const double n = state_.n;
    rt::CanvasImage &image = c_.picGraph.draw();
    core::RunPass(
        state_, n + 1, [&] { chart::PrepareChart(image, state_, 1000, n, chart::SearchGridColour); },
        [&](int k) { chart::DrawRun(image, state_, rnd_, k, search.withLabels); }, &sieve_);
    c_.txtSequenz.setText(std::string_view(state_.listing));
    ++passes_;
    return state_.pairCount >= search.pairsWanted || state_.stopRequested == 1 ? Step::Ended : Step::GoOn;
}

bool Commands::advance()
{
    if (inSlice_ || searches_.empty())
        return searching();
    inSlice_ = true;
    // A view that throws as it shows the slice's end leaves through the work's end below, to the
    // guard of the event procedure: the next slice must still run, accessibility hear again, and
    // the timer stop once no search is left.
    struct SliceEnd {
        Commands &commands;
        ~SliceEnd()
        {
            commands.inSlice_ = false;
            commands.pacer_.setQuiet(false);
            if (commands.searches_.empty())
                commands.slices_.stop();
        }
    } sliceEnd{*this};
    const Search search = searches_.back();
    const qint64 deadline = clock_.nsecsElapsed() + SliceBudget;
    Step step = Step::GoOn;
    qint64 took = 0;
    std::optional<rt::RuntimeError> failure;
    {
        const rt::FramePacer::Work work(pacer_);
        try {
            std::uint64_t left =
                options_.sliceCandidates ? options_.sliceCandidates : std::numeric_limits<std::uint64_t>::max();
            while (step == Step::GoOn && left > 0) {
                // A stop asked for is seen after one more number, which is analysed in full.
                if (state_.stopRequested != 1 && left > 1 && canStepFrom(state_.n)) {
                    const double before = state_.n;
                    stepOver(search, static_cast<std::uint32_t>(std::min<std::uint64_t>(left - 1, Stretch)));
                    left -= static_cast<std::uint64_t>(state_.n - before);
                }
                step = candidate(search);
                --left;
                if (clock_.nsecsElapsed() >= deadline)
                    break;
            }
        } catch (const rt::RuntimeError &e) {
            // The last number that could be analysed stays on display.
            failure = e;
            step = Step::Failed;
        } catch (...) {
            searches_.pop_back();
            throw;
        }
        if (step != Step::GoOn) {
            searches_.pop_back();
            took = clock_.nsecsElapsed() - search.startedAt;
        }
        // The window shows every slice's number, but only the search's end is told to a screen
        // reader, which cannot follow sixty changes a second.
        pacer_.setQuiet(searching());
    }
    pacer_.setQuiet(false);
    if (step != Step::GoOn) {
        // No slice runs while a message box waits for the user: the search below goes on after it.
        slices_.stop();
        const auto goOn = [this] {
            if (searching())
                slices_.start();
        };
        if (failure)
            errors_.report(*failure, SearchEndHint, goOn);
        else
            goOn();
        inSlice_ = false;
        Q_EMIT searchEnded(search.pairsWanted, passes_ != search.passesAtStart, took);
        return searching();
    }
    return true;
}

} // namespace commands
