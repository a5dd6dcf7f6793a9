// How the canvas paints its recorded image into the exposed rectangle.
#include "controls/canvas.h"

#include <QImage>
#include <QLineF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace rt {

namespace {

int roundToInt(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

// Liang-Barsky: cuts the line to the rectangle, so that far-away ends of a kept line never reach
// the integer pixel conversion.
bool clipLine(QLineF &line, const QRectF &r)
{
    const double x0 = line.x1(), y0 = line.y1();
    const double dx = line.dx(), dy = line.dy();
    double t0 = 0.0, t1 = 1.0;
    auto edge = [&](double p, double q) {
        if (p == 0.0)
            return q >= 0.0;
        const double t = q / p;
        if (p < 0.0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, x0 - r.left()) || !edge(dx, r.right() - x0) || !edge(-dy, y0 - r.top())
        || !edge(dy, r.bottom() - y0))
        return false;
    line = QLineF(x0 + t0 * dx, y0 + t0 * dy, x0 + t1 * dx, y0 + t1 * dy);
    return true;
}

} // namespace

std::pair<double, double> Canvas::PixelMap::stepsWithin(double x1, double x2, double left, double right) const
{
    const double a = unitX(left) - x1, b = unitX(right) - x1;
    const double from = std::max(0.0, std::ceil(std::min(a, b)));
    const double to = std::min(std::floor(x2 - x1), std::floor(std::max(a, b)));
    return {from, to};
}

std::size_t Canvas::paintGround(QPainter &painter, const QRect &exposed, const PixelMap &map) const
{
    // The vertical lines that open the image and cross the whole exposed height (the grid) are
    // painted as one band: a row of ground and lines, copied downwards. A fill per one-pixel
    // column costs a call per pixel row, for each of the five thousand columns of a chart of 5000,
    // at every paint.
    QImage band(exposed.size(), QImage::Format_RGB32);
    auto *row = reinterpret_cast<QRgb *>(band.scanLine(0));
    std::fill(row, row + band.width(), toQColor(backColor_).rgb());
    auto plot = [&](double x, std::int32_t colour) {
        const int column = roundToInt(x) - exposed.left();
        if (column >= 0 && column < band.width())
            row[column] = toQColor(colour).rgb();
    };
    const std::vector<Record> &records = image_.records();
    std::size_t first = 0;
    for (; first < records.size(); ++first) {
        const Record &item = records[first];
        const bool single = item.kind == CanvasImage::Kind::Line && item.x1 == item.x2;
        if ((!single && item.kind != CanvasImage::Kind::VerticalLines) || !std::isfinite(map.x(item.x1)))
            break;
        const int ya = roundToInt(map.y(item.y1)), yb = roundToInt(map.y(item.y2));
        if (std::min(ya, yb) > exposed.top() || std::max(ya, yb) < exposed.bottom())
            break;
        if (single) {
            const double x = map.x(item.x1);
            if (x >= exposed.left() - 1 && x <= exposed.right() + 1)
                plot(x, item.colour);
            continue;
        }
        const auto [from, to] = map.stepsWithin(item.x1, item.x2, exposed.left() - 1, exposed.right() + 1);
        for (double k = from; k <= to; k += 1)
            plot(map.x(item.x1 + k), item.colour);
    }
    for (int y = 1; y < band.height(); ++y)
        std::copy(row, row + band.width(), reinterpret_cast<QRgb *>(band.scanLine(y)));
    painter.drawImage(exposed.topLeft(), band);
    return first;
}

void Canvas::paintEvent(QPaintEvent *event)
{
    updatePending_ = false;
    // After a resize Qt exposes the whole widget, tens of thousands of pixels wide; only the part
    // that the parent (the chart frame) lets through can be seen.
    QRect exposed = event->rect();
    if (const QWidget *parent = parentWidget())
        exposed &= QRect(-pos(), parent->size());
    if (exposed.isEmpty())
        return;
    QPainter painter(this);
    paintImage(painter, exposed);
}

QImage Canvas::picture(qreal scale) const
{
    QImage picture((QSizeF(size()) * scale).toSize(), QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.setDevicePixelRatio(scale);
    // The font keeps the size it has on the screen.
    picture.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    picture.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintImage(painter, rect());
    return picture;
}

void Canvas::paintImage(QPainter &painter, const QRect &exposed) const
{
    const std::vector<Record> &records = image_.records();
    const CanvasImage::Corners &scale = image_.recordScale();
    const double sw = scale.x2 - scale.x1, sh = scale.y2 - scale.y1;
    if (records.empty() || sw == 0 || sh == 0) {
        painter.fillRect(exposed, toQColor(backColor_));
        return;
    }
    const PixelMap map = pixelMap();

    const std::size_t first = paintGround(painter, exposed, map);
    // A little beyond the exposed rectangle, so that rounding never loses an edge pixel.
    const QRectF reach = QRectF(exposed).adjusted(-2, -2, 2, 2);
    painter.setFont(font());

    auto paintLine = [&](double x1, double y1, double x2, double y2, const QColor &colour) {
        QLineF line(map.x(x1), map.y(y1), map.x(x2), map.y(y2));
        if (!clipLine(line, reach))
            return;
        if (x1 == x2) {
            // A vertical one-pixel line is a one-pixel-wide rectangle, far cheaper to fill.
            const int x = roundToInt(line.x1());
            const int ya = roundToInt(line.y1()), yb = roundToInt(line.y2());
            painter.fillRect(QRect(x, std::min(ya, yb), 1, std::abs(yb - ya) + 1), colour);
            return;
        }
        painter.setPen(QPen(colour, 0));
        painter.drawLine(QPoint(roundToInt(line.x1()), roundToInt(line.y1())),
                         QPoint(roundToInt(line.x2()), roundToInt(line.y2())));
    };

    for (std::size_t i = first; i < records.size(); ++i) {
        const Record &item = records[i];
        const QColor colour = toQColor(item.colour);
        switch (item.kind) {
        case CanvasImage::Kind::Line:
            paintLine(item.x1, item.y1, item.x2, item.y2, colour);
            break;
        case CanvasImage::Kind::VerticalLines: {
            const auto [from, to] = map.stepsWithin(item.x1, item.x2, reach.left(), reach.right());
            for (double k = from; k <= to; k += 1)
                paintLine(item.x1 + k, item.y1, item.x1 + k, item.y2, colour);
            break;
        }
        case CanvasImage::Kind::Box: {
            auto clampX = [&](double v) { return std::clamp(v, reach.left(), reach.right()); };
            auto clampY = [&](double v) { return std::clamp(v, reach.top(), reach.bottom()); };
            const double xa = map.x(item.x1), xb = map.x(item.x2), ya = map.y(item.y1), yb = map.y(item.y2);
            const int left = roundToInt(clampX(std::min(xa, xb)));
            const int top = roundToInt(clampY(std::min(ya, yb)));
            // A box narrower than a pixel still shows as one pixel.
            const int right = std::max(left + 1, roundToInt(clampX(std::max(xa, xb))));
            const int bottom = std::max(top + 1, roundToInt(clampY(std::max(ya, yb))));
            const QRect box(QPoint(left, top), QPoint(right - 1, bottom - 1));
            if (box.intersects(exposed))
                painter.fillRect(box, colour);
            break;
        }
        case CanvasImage::Kind::Text: {
            const double x = map.x(item.x1), y = map.y(item.y1);
            if (x > reach.right() || y > reach.bottom() || x < reach.left() - 1e6 || y < reach.top() - 1e6)
                break;
            if (!textReachesArea(item, map))
                break;
            const QString text = labelText(item);
            const QPoint corner(roundToInt(x), roundToInt(y));
            const QRect bounds(corner, QSize(charWidth_ * int(text.size()), lineHeight_));
            if (!bounds.adjusted(-4, -4, 4, 4).intersects(exposed))
                break;
            painter.setPen(colour);
            painter.drawText(corner + QPoint(0, painter.fontMetrics().ascent()), text);
            break;
        }
        }
    }
}

} // namespace rt
