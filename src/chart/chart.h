#pragma once

#include "core/analysis_state.h"
#include "rules/rnd.h"
#include "runtime/canvas_image.h"

#include <cstdint>

namespace chart {

constexpr std::int32_t AnalysisGridColour = 100 + 256 * 100 + 65536 * 200; // RGB(100, 100, 200)
constexpr std::int32_t SearchGridColour = 65536 * 255;                     // RGB(0, 0, 255)

// Clears the canvas, scales it to (0, 0)-(scaleRight, 10) and draws a grid line at every integer
// from 0 to gridEnd. The grid loop's counter is the state's divisor.
void PrepareChart(rt::CanvasImage &canvas, core::AnalysisState &state, double scaleRight, double gridEnd,
                  std::int32_t gridColour);

// Draws run k as a bar in row runCount Mod 10, coloured from three draws of Rnd, and with a
// white label " start - end " at its top-left corner when withLabel is set.
void DrawRun(rt::CanvasImage &canvas, const core::AnalysisState &state, rt::Rnd &rnd, int k, bool withLabel);

} // namespace chart
