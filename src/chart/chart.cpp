#include "chart/chart.h"

#include "core/pass.h"
#include "rules/numrules.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {
std::int16_t component(float draw)
{
    // Single times Integer stays Single in the old runtime; the product is rounded half to even.
    const float product = draw * 200.0f;
    return rt::CInt(static_cast<double>(product));
}
} // namespace

void PrepareChart(rt::CanvasImage &canvas, core::AnalysisState &state, double scaleRight, double gridEnd,
                  std::int32_t gridColour)
{
    canvas.Cls();
    canvas.Scale(0, 0, scaleRight, 10);
    // Lines beyond the scale's right edge cannot be seen, and gridEnd reaches two billion: the
    // loop stops at the edge, and the counter and the position are left where the full loop, its
    // last line at gridEnd's whole part, would leave them.
    const double lastVisible = std::min(gridEnd, std::max(scaleRight, 0.0));
    canvas.VerticalLines(0, lastVisible, 0, 10, gridColour);
    if (!(gridEnd >= 0)) {
        state.divisor = 0;
        return;
    }
    state.divisor = std::floor(gridEnd) + 1;
    canvas.setCurrentX(std::floor(gridEnd));
    canvas.setCurrentY(10);
}

void DrawRun(rt::CanvasImage &canvas, const core::AnalysisState &state, rt::Rnd &rnd, int k, bool withLabel)
{
    const std::int16_t red = component(rnd.next());
    const std::int16_t green = component(rnd.next());
    const std::int16_t blue = component(rnd.next());
    // runCount Mod 10: for a whole, non-negative count that is the plain remainder.
    const double row = state.runCount % 10;
    const double start = state.runStart[static_cast<std::size_t>(k)];
    const double end = state.runEnd[static_cast<std::size_t>(k)];
    canvas.LineBox(start - 1, row, end, row + 1, rt::RGB(red, green, blue));
    if (!withLabel)
        return;
    canvas.setCurrentX(start - 1);
    canvas.setCurrentY(canvas.CurrentY() - 1);
    canvas.setForeColor(rt::RGB(255, 255, 255));
    canvas.Print({start, "-", end});
}

} // namespace chart
