#pragma once

#include "core/analysis_state.h"
#include "platform/canvas.h"
#include "rules/rnd.h"

#include <cstdint>

namespace chart {

constexpr std::int32_t AnalysisGridColour = 100 + 256 * 100 + 65536 * 200; // RGB(100, 100, 200)
constexpr std::int32_t SearchGridColour = 65536 * 255;                     // RGB(0, 0, 255)

// Clears the canvas, scales it to (0, 0)-(scaleRight, 10) and draws a grid line at every integer
// from 0 to gridEnd. The grid loop's counter is the state's divisor.
void PrepareChart(rt::Canvas &canvas, core::AnalysisState &state, double scaleRight, double gridEnd,
                  std::int32_t gridColour);

// Draws run k as a bar in row runCount Mod 10, coloured from three draws of Rnd, and with a
// white label " start - end " at its top-left corner when withLabel is set.
void DrawRun(rt::Canvas &canvas, const core::AnalysisState &state, rt::Rnd &rnd, int k, bool withLabel);

// What the chart of one pass is made from: PrepareChart's settings, the pass's number and scan
// bound, whether the runs carry labels, and Rnd as it stood before the pass drew its first bar.
struct PassChart {
    double n;
    double bound;
    double scaleRight;
    std::int32_t gridColour;
    bool withLabel;
    rt::Rnd rnd;
};

// The chart that a pass with these settings draws, PrepareChart and a DrawRun for each of its
// runCount runs, deferred until the canvas is painted or read. The scale and ForeColor are set at
// once; the caller moves Rnd on by the three draws per run (Rnd::skip).
void DeferChart(rt::Canvas &canvas, const PassChart &chart, int runCount);

} // namespace chart
