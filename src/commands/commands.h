#pragma once

#include "controls/canvas.h"
#include "controls/framepacer.h"
#include "controls/listingbox.h"
#include "controls/placement.h"
#include "controls/runtime.h"
#include "controls/scrollbar.h"
#include "controls/textbox.h"
#include "core/analysis_state.h"
#include "core/divisor_sieve.h"
#include "core/pair_search.h"
#include "rules/rnd.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <vector>

namespace commands {

// The controls the commands read and write.
struct Controls {
    rt::TextBox &text1;
    rt::ListingBox &txtSequenz;
    rt::Canvas &picGraph;
    rt::Placement &picGraphPlacement;
    rt::ScrollBar &hScroll1;
};

// How a search gets over the numbers that cannot stop it. Either way it ends every slice, and the
// search, on a number it has analysed in full, and leaves everything that anything reads as if it
// had analysed every number on the way.
enum class Stepping {
    // The numbers with enough halvable pairs are enumerated, the rest are stepped over at once.
    Skipping,
    // Every number's runs and pairs are counted, one after another: the reference a skipping
    // search is compared with, in tests and in the benchmark.
    PerCandidate,
};

// How the searches run: the program's own way by default.
struct SearchOptions {
    Stepping stepping = Stepping::Skipping;
    // At most this many numbers per slice, 0 for as many as the slice's time allows; a test cuts
    // searches into slices of its choosing with it.
    std::uint32_t sliceCandidates = 0;
};

// Lets a test run a search's slices by hand; defined by the tests alone.
struct SliceDriver;

// The analysis command, the two forward searches and the stop button. All of them share the one
// analysis state. A search is work that the event loop advances a slice at a time; between two
// slices every event is served, any command included, and a search started then runs on top of
// the one under way, which goes on from the shared state once it has ended.
class Commands : public QObject {
    Q_OBJECT
public:
    Commands(Controls controls, core::AnalysisState &state, rt::Rnd &rnd, const rt::ErrorReporter &errors,
             rt::FramePacer &pacer, SearchOptions options = {}, QObject *parent = nullptr);

    // One analysis pass for the number in the number box; fits the canvas and the pan range to it.
    void Command1_Click();
    void Command3_Click();
    // Step n upwards until a number with at least one (Command4) or two (Command5) halvable pairs.
    void Command4_Click();
    void Command5_Click();

    bool searching() const { return !searches_.empty(); }
    // Analysis passes since construction, every number a search went over included: tells the
    // window whether a command got as far as analysing anything.
    std::uint64_t passes() const { return passes_; }
    // Ends every search at once, with no further pass; used when the window closes.
    void cancelSearches();

    // Time a slice may take before the event loop gets its turn: well inside a screen frame.
    static constexpr qint64 SliceBudget = 5'000'000; // ns

Q_SIGNALS:
    // A search has ended (found, stopped or at the end of the range) or was refused; triedAny
    // tells whether it analysed a number, and nanoseconds how long it took from its click to its end.
    void searchEnded(int pairsWanted, bool triedAny, qint64 nanoseconds);

private:
    friend struct SliceDriver;

    struct Search {
        std::int16_t pairsWanted;
        bool withLabels;
        std::uint64_t passesAtStart;
        qint64 startedAt; // ns on clock_
    };
    enum class Step { GoOn, Ended, Failed };

    // Runs one slice of the innermost search now; the event loop calls it. Returns whether a
    // search is left.
    bool advance();

    void search(std::int16_t pairsWanted, bool withLabels);
    // The next number in full, as every step of a search takes it: n + 1, written to the
    // number box, analysed with its chart and listing, and the stop test.
    Step candidate(const Search &search);
    // Steps over the numbers after n that cannot stop the search, at most `most` of them, so
    // that the next candidate is the one that stops it or the last one allowed.
    void stepOver(const Search &search, std::uint32_t most);
    // Whether n is a whole number from which the numbers up to the range's end can be stepped
    // over: above the numbers whose box change runs an analysis, below the range's end.
    bool canStepFrom(double n) const;
    // Reads the number box; an unreadable number is reported and gives false.
    bool readNumber(double &n);
    // Whether n rounded lies within the 32-bit range.
    static bool withinRange(double n);

    Controls c_;
    core::AnalysisState &state_;
    rt::Rnd &rnd_;
    const rt::ErrorReporter &errors_;
    rt::FramePacer &pacer_;
    // Shared by every pass, so that numbers that follow one another are factored a block at a time.
    core::DivisorSieve sieve_;
    core::PairEnumerator pairs_;
    std::vector<Search> searches_;
    QTimer slices_;
    QElapsedTimer clock_;
    SearchOptions options_;
    std::uint64_t passes_ = 0;
    bool inSlice_ = false;
};

} // namespace commands
