#include "ui/stopsign.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace ui {
namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 23;

// The sign is 23 x 23 pixels centred on this pixel; the rightmost column stays background.
constexpr int kCentre = 11;
constexpr int kHalf = 11;

// For a regular octagon of apothem h the slanted edges lie on |dx| + |dy| = h * sqrt(2).
constexpr double kSqrt2 = 1.4142135623730951;

// Depth of a pixel inside the sign: 0 on the outermost ring, 1 on the next one inside, and so
// on; -1 outside. Each ring is one pixel wide on the straight edges and the same width,
// measured across the edge, on the slanted ones.
int ringDepth(int x, int y)
{
    const int dx = std::abs(x - kCentre);
    const int dy = std::abs(y - kCentre);
    for (int depth = 0;; ++depth) {
        const int h = kHalf - depth;
        if (h < 0)
            return depth - 1;
        const bool inside = dx <= h && dy <= h && dx + dy <= static_cast<int>(h * kSqrt2 + 0.5);
        if (!inside)
            return depth - 1;
    }
}

// A 3 x 5 pixel font: each row is three bits, the highest bit the leftmost pixel.
using Glyph = std::array<unsigned, 5>;
constexpr Glyph kS = {0b111, 0b100, 0b111, 0b001, 0b111};
constexpr Glyph kT = {0b111, 0b010, 0b010, 0b010, 0b010};
constexpr Glyph kO = {0b111, 0b101, 0b101, 0b101, 0b111};
constexpr Glyph kP = {0b111, 0b101, 0b111, 0b100, 0b100};

constexpr int kGlyphWidth = 3;
constexpr int kGlyphHeight = 5;
constexpr int kGlyphGap = 1;

void drawGlyph(QPainter &painter, const Glyph &glyph, int left, int top)
{
    for (int row = 0; row < kGlyphHeight; ++row) {
        for (int col = 0; col < kGlyphWidth; ++col) {
            if (glyph[row] & (1u << (kGlyphWidth - 1 - col)))
                painter.fillRect(left + col, top + row, 1, 1, Qt::black);
        }
    }
}

} // namespace

QPixmap StopSignPixmap()
{
    // Painted on a 32-bit image rather than straight on a pixmap: a pixmap may take the
    // screen's depth, and a 16-bit one would shift silver away from RGB(192, 192, 192).
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Rings from the outside in: black outline, white rim, black outline, then red.
    const std::array<QColor, 4> ringColours = {QColor(Qt::black), QColor(Qt::white), QColor(Qt::black),
                                               QColor(255, 0, 0)};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int depth = ringDepth(x, y);
            if (depth < 0)
                continue;
            const auto ring = static_cast<std::size_t>(depth);
            painter.fillRect(x, y, 1, 1, ringColours[std::min(ring, ringColours.size() - 1)]);
        }
    }

    const std::array<const Glyph *, 4> word = {&kS, &kT, &kO, &kP};
    const int wordWidth = static_cast<int>(word.size()) * (kGlyphWidth + kGlyphGap) - kGlyphGap;
    int left = kCentre - wordWidth / 2;
    const int top = kCentre - kGlyphHeight / 2;
    for (const Glyph *glyph : word) {
        drawGlyph(painter, *glyph, left, top);
        left += kGlyphWidth + kGlyphGap;
    }
    painter.end();

    return QPixmap::fromImage(image);
}

} // namespace ui
