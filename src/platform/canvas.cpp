#include "canvas.h"

#include "numrules.h"

#include <QFontMetrics>
#include <QImage>
#include <QLineF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace rt {

namespace {

bool finite(double a, double b, double c, double d)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Both ends of [a, b] (in either order) against the unit interval, ends touching counted in.
bool meetsUnit(double a, double b)
{
    return std::min(a, b) <= 1.0 && std::max(a, b) >= 0.0;
}

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

Canvas::Canvas(QWidget *parent)
    : QWidget(parent)
{
    // Every exposed pixel is painted, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor Canvas::toQColor(std::int32_t colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void Canvas::Cls()
{
    ops_.clear();
    currentX_ = 0;
    currentY_ = 0;
    if (scaleUsable()) {
        opsX1_ = scaleX1_;
        opsY1_ = scaleY1_;
        opsX2_ = scaleX2_;
        opsY2_ = scaleY2_;
    }
    update();
}

void Canvas::Scale(double x1, double y1, double x2, double y2)
{
    scaleX1_ = x1;
    scaleY1_ = y1;
    scaleX2_ = x2;
    scaleY2_ = y2;
    if (!scaleUsable())
        return;
    // The persistent image stays where it was drawn, so what is recorded moves into the new units.
    if (!ops_.empty() && (x1 != opsX1_ || y1 != opsY1_ || x2 != opsX2_ || y2 != opsY2_)) {
        const double kx = (x2 - x1) / (opsX2_ - opsX1_);
        const double ky = (y2 - y1) / (opsY2_ - opsY1_);
        for (Op &op : ops_) {
            op.x1 = x1 + (op.x1 - opsX1_) * kx;
            op.x2 = x1 + (op.x2 - opsX1_) * kx;
            op.y1 = y1 + (op.y1 - opsY1_) * ky;
            op.y2 = y1 + (op.y2 - opsY1_) * ky;
        }
    }
    opsX1_ = x1;
    opsY1_ = y1;
    opsX2_ = x2;
    opsY2_ = y2;
}

void Canvas::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (visible(x1, y1, x2, y2))
        record({Kind::Line, x1, y1, x2, y2, colour, {}});
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
}

void Canvas::LineBox(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (visible(x1, y1, x2, y2))
        record({Kind::Box, x1, y1, x2, y2, colour, {}});
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
}

void Canvas::Print(const QString &text)
{
    if (!text.isEmpty() && textVisible(currentX_, currentY_, text))
        record({Kind::Text, currentX_, currentY_, currentX_, currentY_, foreColor_, text});
}

void Canvas::setBackColor(std::int32_t c)
{
    backColor_ = c;
    update();
}

bool Canvas::scaleUsable() const
{
    return finite(scaleX1_, scaleY1_, scaleX2_, scaleY2_) && scaleX2_ != scaleX1_
        && scaleY2_ != scaleY1_;
}

bool Canvas::visible(double xa, double ya, double xb, double yb) const
{
    if (!scaleUsable() || !finite(xa, ya, xb, yb))
        return false;
    // As fractions of the drawing area, a flipped scale needs no case of its own.
    const double w = scaleX2_ - scaleX1_, h = scaleY2_ - scaleY1_;
    return meetsUnit((xa - scaleX1_) / w, (xb - scaleX1_) / w)
        && meetsUnit((ya - scaleY1_) / h, (yb - scaleY1_) / h);
}

bool Canvas::textVisible(double x, double y, const QString &text) const
{
    if (!scaleUsable() || !std::isfinite(x) || !std::isfinite(y))
        return false;
    const double fx = (x - scaleX1_) / (scaleX2_ - scaleX1_);
    const double fy = (y - scaleY1_) / (scaleY2_ - scaleY1_);
    if (fx > 1.0 || fy > 1.0)
        return false;
    // Text reaches right and down from its corner by its size in pixels; without a size yet the
    // canvas cannot tell how far, so it keeps the text.
    if (width() <= 0 || height() <= 0)
        return true;
    const QFontMetrics fm(font());
    // No character is wider than maxWidth; measuring the text itself would shape it, once for
    // every label of every pass.
    return fx + double(fm.maxWidth()) * double(text.size()) / width() >= 0.0
        && fy + double(fm.height()) / height() >= 0.0;
}

void Canvas::record(Op op)
{
    ops_.push_back(std::move(op));
    // A pass records thousands of operations; one pending update covers them all.
    if (!updatePending_) {
        updatePending_ = true;
        update();
    }
}

std::size_t Canvas::paintGround(QPainter &painter, const QRect &exposed, double kx, double ky) const
{
    // The vertical lines that open the image and cross the whole exposed height (the grid) are
    // painted as one band: a row of ground and lines, copied downwards. A fill per one-pixel
    // column costs a call per pixel row, and a search repaints the grid for every candidate.
    QImage band(exposed.size(), QImage::Format_RGB32);
    auto *row = reinterpret_cast<QRgb *>(band.scanLine(0));
    std::fill(row, row + band.width(), toQColor(backColor_).rgb());
    std::size_t first = 0;
    for (; first < ops_.size(); ++first) {
        const Op &op = ops_[first];
        const double x = (op.x1 - opsX1_) * kx;
        if (op.kind != Kind::Line || op.x1 != op.x2 || !std::isfinite(x))
            break;
        const int ya = roundToInt((op.y1 - opsY1_) * ky), yb = roundToInt((op.y2 - opsY1_) * ky);
        if (std::min(ya, yb) > exposed.top() || std::max(ya, yb) < exposed.bottom())
            break;
        if (x < exposed.left() - 1 || x > exposed.right() + 1)
            continue;
        const int column = roundToInt(x) - exposed.left();
        if (column >= 0 && column < band.width())
            row[column] = toQColor(op.colour).rgb();
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
    const double sw = opsX2_ - opsX1_, sh = opsY2_ - opsY1_;
    if (ops_.empty() || sw == 0 || sh == 0) {
        painter.fillRect(exposed, toQColor(backColor_));
        return;
    }
    const double kx = width() / sw, ky = height() / sh;
    auto px = [&](double x) { return (x - opsX1_) * kx; };
    auto py = [&](double y) { return (y - opsY1_) * ky; };

    const std::size_t first = paintGround(painter, exposed, kx, ky);
    // A little beyond the exposed rectangle, so that rounding never loses an edge pixel.
    const QRectF reach = QRectF(exposed).adjusted(-2, -2, 2, 2);
    const QFontMetrics fm(font());
    painter.setFont(font());

    for (std::size_t i = first; i < ops_.size(); ++i) {
        const Op &op = ops_[i];
        const QColor colour = toQColor(op.colour);
        switch (op.kind) {
        case Kind::Line: {
            QLineF line(px(op.x1), py(op.y1), px(op.x2), py(op.y2));
            if (!clipLine(line, reach))
                break;
            if (op.x1 == op.x2) {
                // A vertical one-pixel line is a one-pixel-wide rectangle, far cheaper to fill.
                const int x = roundToInt(line.x1());
                const int ya = roundToInt(line.y1()), yb = roundToInt(line.y2());
                painter.fillRect(QRect(x, std::min(ya, yb), 1, std::abs(yb - ya) + 1), colour);
                break;
            }
            painter.setPen(QPen(colour, 0));
            painter.drawLine(QPoint(roundToInt(line.x1()), roundToInt(line.y1())),
                             QPoint(roundToInt(line.x2()), roundToInt(line.y2())));
            break;
        }
        case Kind::Box: {
            auto clampX = [&](double v) { return std::clamp(v, reach.left(), reach.right()); };
            auto clampY = [&](double v) { return std::clamp(v, reach.top(), reach.bottom()); };
            const double xa = px(op.x1), xb = px(op.x2), ya = py(op.y1), yb = py(op.y2);
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
        case Kind::Text: {
            const double x = px(op.x1), y = py(op.y1);
            if (x > reach.right() || y > reach.bottom() || x < reach.left() - 1e6
                || y < reach.top() - 1e6)
                break;
            const QPoint corner(roundToInt(x), roundToInt(y));
            const QRect bounds(corner, QSize(fm.maxWidth() * int(op.text.size()), fm.height()));
            if (!bounds.adjusted(-4, -4, 4, 4).intersects(exposed))
                break;
            painter.setPen(colour);
            painter.drawText(corner + QPoint(0, fm.ascent()), op.text);
            break;
        }
        }
    }
}

} // namespace rt
