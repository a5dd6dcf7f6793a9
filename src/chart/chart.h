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

// The chart that a search's pass over the candidate n draws (scale 1000, grid to n, a bar for
// each of its runCount runs, labelled or not), deferred until the canvas is painted or read; rnd
// is Rnd as it stood before the pass's first bar. The scale and ForeColor are set at once; the
// caller moves Rnd on by the three draws per run (Rnd::skip).
void DeferSearchChart(rt::Canvas &canvas, double n, const rt::Rnd &rnd, bool withLabel, int runCount);

} // namespace chart
