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
// What a search's pass over n draws, its bars coloured from draws of rnd. Plain values, so that
// the canvas can take the next candidate's chart in place. The flag keeps n and rnd apart: copied
// together, they were read back as one 16-byte word just after being written as two, a stall
// that cost more than the rest of the copy.
struct SearchPassChart {
    double n;
    bool withLabel;
    rt::Rnd rnd;

    void operator()(rt::Canvas &canvas) const
    {
        core::AnalysisState pass;
        pass.n = n;
        rt::Rnd colours = rnd;
        core::RunPass(
            pass, n + 1, [&] { PrepareChart(canvas, pass, 1000, n, SearchGridColour); },
            [&](int k) { DrawRun(canvas, pass, colours, k, withLabel); });
    }
};

} // namespace

void PrepareChart(rt::Canvas &canvas, core::AnalysisState &state, double scaleRight, double gridEnd,
                  std::int32_t gridColour)
{
    canvas.Cls();
    canvas.Scale(0, 0, scaleRight, 10);
    // Lines beyond the scale's right edge cannot be seen, and gridEnd reaches two billion: the
    // loop stops at the edge, and the counter is left where the full loop would leave it.
    const double lastVisible = std::min(gridEnd, std::max(scaleRight, 0.0));
    canvas.VerticalLines(0, lastVisible, 0, 10, gridColour);
    state.divisor = gridEnd >= 0 ? std::floor(gridEnd) + 1 : 0;
}

void DrawRun(rt::Canvas &canvas, const core::AnalysisState &state, rt::Rnd &rnd, int k, bool withLabel)
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
    canvas.Print({start, QStringLiteral("-"), end});
}

void DeferSearchChart(rt::Canvas &canvas, double n, const rt::Rnd &rnd, bool withLabel, int runCount)
{
    canvas.Redraw<SearchPassChart>(0, 0, 1000, 10, n, withLabel, rnd);
    // Every label sets it; nothing else the drawing changes outlives the next Cls.
    if (withLabel && runCount > 0)
        canvas.setForeColor(rt::RGB(255, 255, 255));
}

} // namespace chart
