#pragma once

#include "core/analysis_state.h"
#include "core/divisor_sieve.h"
#include "platform/canvas.h"
#include "platform/framepacer.h"
#include "platform/listingbox.h"
#include "platform/placement.h"
#include "platform/runtime.h"
#include "platform/scrollbar.h"
#include "platform/textbox.h"
#include "rules/rnd.h"

#include <cstdint>

namespace commands {

// The controls the commands read and write.
struct Controls {
    rt::TextBox &text1;
    rt::ListingBox &txtSequenz;
    rt::Canvas &picGraph;
    rt::Placement &picGraphPlacement;
    rt::ScrollBar &hScroll1;
};

// The analysis command, the two forward searches and the stop button. All of them share the one
// analysis state; a search yields once per candidate, so any of them may run inside another.
// While a search runs, the window's widgets catch up with its candidates once per frame.
class Commands {
public:
    Commands(Controls controls, core::AnalysisState &state, rt::Rnd &rnd, const rt::ErrorReporter &errors,
             rt::FramePacer &pacer);

    // One analysis pass for the number in the number box; fits the canvas and the pan range to it.
    void Command1_Click();
    void Command3_Click();
    // Step n upwards until a number with at least one (Command4) or two (Command5) halvable pairs.
    void Command4_Click();
    void Command5_Click();

    bool searching() const { return searchDepth_ > 0; }
    // Analysis passes completed since construction, a search's candidates included: tells the
    // window whether a command got as far as analysing anything.
    std::uint64_t passes() const { return passes_; }
    // Ends every running search at its next yield, with no further pass; used when the window closes.
    void cancelSearches() { cancelled_ = searching(); }

private:
    void search(std::int16_t pairsWanted, bool withLabels);
    // Reads the number box; an unreadable number is reported and gives false.
    bool readNumber(double &n);
    // Whether n rounded lies within the 32-bit range.
    static bool withinRange(double n);

    Controls c_;
    core::AnalysisState &state_;
    rt::Rnd &rnd_;
    const rt::ErrorReporter &errors_;
    rt::FramePacer &pacer_;
    // Shared by every pass, so that a search's candidates are factored a block at a time.
    core::DivisorSieve sieve_;
    int searchDepth_ = 0;
    std::uint64_t passes_ = 0;
    bool cancelled_ = false;
};

} // namespace commands
