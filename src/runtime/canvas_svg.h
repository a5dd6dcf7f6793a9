#pragma once

#include "runtime/canvas_image.h"

#include <cstdint>
#include <string>

namespace rt {

// How a canvas shows its image: its size in pixels, its ground and its font.
struct CanvasLook {
    int width = 0;
    int height = 0;
    std::int32_t backColour = 0xFFFFFF; // the runtime's RGB value
    std::string fontFamily;             // UTF-8
    double fontPixelSize = 12;
    bool bold = false;
    // From a text's top to its baseline, in pixels.
    double ascent = 10;
};

// The image as an SVG document of the canvas's size: the ground as one rect, every line (a run of
// grid lines as its single lines) as a line, every box as a rect and every text as a text, in
// the order drawn and where the canvas paints them. Texts stay text, in the canvas's font.
std::string CanvasSvg(const CanvasImage &image, const CanvasLook &look);

} // namespace rt
