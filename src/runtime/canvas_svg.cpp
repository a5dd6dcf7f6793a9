#include "runtime/canvas_svg.h"

#include "rules/numrules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rt {

namespace {

int roundToInt(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

std::string colour(std::int32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    return text;
}

std::string escaped(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

} // namespace

std::string CanvasSvg(const CanvasImage &image, const CanvasLook &look)
{
    const std::string w = std::to_string(look.width), h = std::to_string(look.height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
        + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"" + colour(look.backColour)
        + "\"/>\n";
    const CanvasImage::Corners &s = image.recordScale();
    const double sw = s.x2 - s.x1, sh = s.y2 - s.y1;
    if (image.records().empty() || sw == 0 || sh == 0 || look.width <= 0 || look.height <= 0)
        return svg + "</svg>\n";
    const double kx = look.width / sw, ky = look.height / sh;
    auto px = [&](double x) { return (x - s.x1) * kx; };
    auto py = [&](double y) { return (y - s.y1) * ky; };
    // Where the canvas paints: ends far outside are brought in, as the painter cuts them.
    const double reach = 2.0 * std::max(look.width, look.height) + 16;
    auto in = [&](double v) { return std::clamp(v, -reach, reach); };

    // In the order drawn, as the canvas paints them: a later bar covers an earlier label.
    svg += "<g shape-rendering=\"crispEdges\" stroke-width=\"1\" font-family=\"" + escaped(look.fontFamily)
        + "\" font-size=\"" + number(look.fontPixelSize) + "px\"" + (look.bold ? " font-weight=\"bold\"" : "")
        + " style=\"white-space: pre\" xml:space=\"preserve\">\n";
    auto line = [&](double x1, double y1, double x2, double y2, std::int32_t rgb) {
        const double xa = px(x1), ya = py(y1), xb = px(x2), yb = py(y2);
        if (!std::isfinite(xa) || !std::isfinite(ya) || !std::isfinite(xb) || !std::isfinite(yb))
            return;
        // Through the pixels' middles, as a one-pixel pen covers them.
        svg += "<line x1=\"" + number(roundToInt(in(xa)) + 0.5) + "\" y1=\"" + number(roundToInt(in(ya)) + 0.5)
            + "\" x2=\"" + number(roundToInt(in(xb)) + 0.5) + "\" y2=\"" + number(roundToInt(in(yb)) + 0.5)
            + "\" stroke=\"" + colour(rgb) + "\"/>\n";
    };
    for (const CanvasImage::Record &r : image.records()) {
        switch (r.kind) {
        case CanvasImage::Kind::Line:
            line(r.x1, r.y1, r.x2, r.y2, r.colour);
            break;
        case CanvasImage::Kind::VerticalLines: {
            // Only the lines that land on the canvas: a run may reach far beyond it.
            const double ua = s.x1 - 1 / kx, ub = s.x1 + (look.width + 1) / kx;
            const double from = std::max(0.0, std::ceil(std::min(ua, ub) - r.x1));
            const double to = std::min(std::floor(r.x2 - r.x1), std::floor(std::max(ua, ub) - r.x1));
            for (double k = from; k <= to; k += 1)
                line(r.x1 + k, r.y1, r.x1 + k, r.y2, r.colour);
            break;
        }
        case CanvasImage::Kind::Box: {
            const double xa = in(px(r.x1)), xb = in(px(r.x2)), ya = in(py(r.y1)), yb = in(py(r.y2));
            const int left = roundToInt(std::min(xa, xb)), top = roundToInt(std::min(ya, yb));
            // A box narrower than a pixel still shows as one pixel.
            const int right = std::max(left + 1, roundToInt(std::max(xa, xb)));
            const int bottom = std::max(top + 1, roundToInt(std::max(ya, yb)));
            svg += "<rect x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) + "\" width=\""
                + std::to_string(right - left) + "\" height=\"" + std::to_string(bottom - top) + "\" fill=\""
                + colour(r.colour) + "\"/>\n";
            break;
        }
        case CanvasImage::Kind::Text: {
            const double x = px(r.x1), y = py(r.y1);
            if (!std::isfinite(x) || !std::isfinite(y))
                break;
            svg += "<text x=\"" + std::to_string(roundToInt(in(x))) + "\" y=\""
                + number(roundToInt(in(y)) + look.ascent) + "\" fill=\"" + colour(r.colour) + "\">"
                + escaped(image.labelText(r)) + "</text>\n";
            break;
        }
        }
    }
    return svg + "</g>\n</svg>\n";
}

} // namespace rt
