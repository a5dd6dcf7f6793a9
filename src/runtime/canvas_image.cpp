#include "runtime/canvas_image.h"

#include "rules/numrules.h"

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

// Equal, or both NaN: a scale or position set to NaN is still the same one on both sides.
bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool same(const CanvasImage::Corners &a, const CanvasImage::Corners &b)
{
    return same(a.x1, b.x1) && same(a.y1, b.y1) && same(a.x2, b.x2) && same(a.y2, b.y2);
}

// Walks what an image's records draw: a run of vertical lines one single line at a time.
class Drawn {
public:
    explicit Drawn(const std::vector<CanvasImage::Record> &records) : records_(records) { settle(); }
    bool done() const { return i_ == records_.size(); }
    const CanvasImage::Record &record() const { return records_[i_]; }
    CanvasImage::Record current() const
    {
        const CanvasImage::Record &r = records_[i_];
        if (r.kind != CanvasImage::Kind::VerticalLines)
            return r;
        return {CanvasImage::Kind::Line, 0, 0, x_, r.y1, x_, r.y2, r.colour};
    }
    void next()
    {
        const CanvasImage::Record &r = records_[i_];
        // Stepped as a loop of Line steps, so that the x values are the ones it draws.
        if (r.kind == CanvasImage::Kind::VerticalLines) {
            x_ += 1;
            if (x_ <= r.x2)
                return;
        }
        ++i_;
        settle();
    }

private:
    void settle()
    {
        while (i_ < records_.size() && records_[i_].kind == CanvasImage::Kind::VerticalLines
               && !(records_[i_].x1 <= records_[i_].x2))
            ++i_;
        if (i_ < records_.size())
            x_ = records_[i_].x1;
    }

    const std::vector<CanvasImage::Record> &records_;
    std::size_t i_ = 0;
    double x_ = 0;
};

} // namespace

void CanvasImage::Cls()
{
    records_.clear();
    pieces_.clear();
    currentX_ = 0;
    currentY_ = 0;
    if (usable_)
        recordScale_ = scale_;
}

bool CanvasImage::Scale(double x1, double y1, double x2, double y2)
{
    Corners &was = recordScale_;
    // The same scale again, as every pass of a search sets it: nothing moves.
    if (x1 == scale_.x1 && y1 == scale_.y1 && x2 == scale_.x2 && y2 == scale_.y2 && x1 == was.x1 && y1 == was.y1
        && x2 == was.x2 && y2 == was.y2)
        return false;
    scale_ = {x1, y1, x2, y2};
    scaleW_ = x2 - x1;
    scaleH_ = y2 - y1;
    usable_ = finite(x1, y1, x2, y2) && scaleW_ != 0 && scaleH_ != 0;
    if (!usable_)
        return false;
    bool moved = false;
    if (!records_.empty() && (x1 != was.x1 || y1 != was.y1 || x2 != was.x2 || y2 != was.y2)) {
        spreadVerticalLines();
        const double kx = (x2 - x1) / (was.x2 - was.x1);
        const double ky = (y2 - y1) / (was.y2 - was.y1);
        for (Record &r : records_) {
            r.x1 = x1 + (r.x1 - was.x1) * kx;
            r.x2 = x1 + (r.x2 - was.x1) * kx;
            r.y1 = y1 + (r.y1 - was.y1) * ky;
            r.y2 = y1 + (r.y2 - was.y1) * ky;
        }
        moved = true;
    }
    recordScale_ = scale_;
    return moved;
}

void CanvasImage::spreadVerticalLines()
{
    std::vector<Record> spread;
    spread.reserve(records_.size());
    for (const Record &r : records_) {
        if (r.kind != Kind::VerticalLines) {
            spread.push_back(r);
            continue;
        }
        for (double x = r.x1; x <= r.x2; x += 1)
            spread.push_back({Kind::Line, 0, 0, x, r.y1, x, r.y2, r.colour});
    }
    records_ = std::move(spread);
}

bool CanvasImage::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    return shape({Kind::Line, 0, 0, x1, y1, x2, y2, colour});
}

bool CanvasImage::shape(const Record &r)
{
    const bool kept = visible(r.x1, r.y1, r.x2, r.y2);
    if (kept)
        records_.push_back(r);
    currentX_ = static_cast<float>(r.x2);
    currentY_ = static_cast<float>(r.y2);
    return kept;
}

bool CanvasImage::VerticalLines(double first, double last, double y1, double y2, std::int32_t colour)
{
    if (!(first <= last))
        return false;
    const double count = std::isfinite(last - first) ? std::floor(last - first) + 1 : HUGE_VAL;
    if (std::isfinite(count)) {
        currentX_ = static_cast<float>(first + (count - 1));
        currentY_ = static_cast<float>(y2);
    }
    if (!usable_ || !finite(first, y1, y2, 0) || !meetsUnit((y1 - scale_.y1) / scaleH_, (y2 - scale_.y1) / scaleH_))
        return false;
    // The lines the area shows are one stretch of them: found by arithmetic, then settled with
    // the same test a single line meets, so that exactly the lines Line would keep are kept.
    const auto seen = [&](double k) {
        const double f = (first + k - scale_.x1) / scaleW_;
        return f >= 0.0 && f <= 1.0;
    };
    double from = 0, to = count - 1;
    if (!seen(from))
        from = std::max(0.0, std::ceil(std::min(scale_.x1, scale_.x2) - first));
    if (!seen(to))
        to = std::min(to, std::floor(std::max(scale_.x1, scale_.x2) - first));
    while (from <= to && !seen(from))
        ++from;
    while (from > 0 && seen(from - 1))
        --from;
    while (to >= from && !seen(to))
        --to;
    while (to < count - 1 && seen(to + 1))
        ++to;
    if (from > to)
        return false;
    records_.push_back({Kind::VerticalLines, 0, 0, first + from, y1, first + to, y2, colour});
    return true;
}

bool CanvasImage::LineBox(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    return shape({Kind::Box, 0, 0, x1, y1, x2, y2, colour});
}

bool CanvasImage::Print(std::string text)
{
    if (text.empty() || !textMayShow())
        return false;
    const auto label = static_cast<std::uint32_t>(pieces_.size());
    pieces_.emplace_back(std::move(text));
    return recordText(label);
}

bool CanvasImage::Print(std::initializer_list<Piece> pieces)
{
    if (pieces.size() == 0 || !textMayShow())
        return false;
    const auto label = static_cast<std::uint32_t>(pieces_.size());
    pieces_.insert(pieces_.end(), pieces.begin(), pieces.end());
    return recordText(label);
}

bool CanvasImage::recordText(std::uint32_t label)
{
    const auto count = static_cast<std::uint32_t>(pieces_.size() - label);
    records_.push_back({Kind::Text, count, label, currentX_, currentY_, currentX_, currentY_, foreColor_});
    return true;
}

bool CanvasImage::visible(double xa, double ya, double xb, double yb) const
{
    if (!usable_ || !finite(xa, ya, xb, yb))
        return false;
    // As fractions of the drawing area, a flipped scale needs no case of its own.
    return meetsUnit((xa - scale_.x1) / scaleW_, (xb - scale_.x1) / scaleW_)
        && meetsUnit((ya - scale_.y1) / scaleH_, (yb - scale_.y1) / scaleH_);
}

bool CanvasImage::textMayShow() const
{
    // Text reaches right and down from its corner: beyond the right or bottom edge it cannot show.
    const double x = currentX_, y = currentY_;
    if (!usable_ || !std::isfinite(x) || !std::isfinite(y))
        return false;
    return (x - scale_.x1) / scaleW_ <= 1.0 && (y - scale_.y1) / scaleH_ <= 1.0;
}

std::string CanvasImage::labelText(const Record &record) const
{
    std::string text;
    if (record.kind != Kind::Text)
        return text;
    for (std::size_t i = record.label; i < std::size_t(record.label) + record.count; ++i) {
        const Piece &p = pieces_[i];
        text += p.isNumber ? PrintNumber(p.number) : p.text;
    }
    return text;
}

bool operator==(const CanvasImage &a, const CanvasImage &b)
{
    if (!same(a.scale_, b.scale_) || !same(a.recordScale_, b.recordScale_) || !same(a.currentX_, b.currentX_)
        || !same(a.currentY_, b.currentY_) || a.foreColor_ != b.foreColor_)
        return false;
    Drawn x(a.records_), y(b.records_);
    for (; !x.done() && !y.done(); x.next(), y.next()) {
        const CanvasImage::Record p = x.current(), q = y.current();
        if (p.kind != q.kind || p.x1 != q.x1 || p.y1 != q.y1 || p.x2 != q.x2 || p.y2 != q.y2 || p.colour != q.colour)
            return false;
        if (p.kind == CanvasImage::Kind::Text && a.labelText(x.record()) != b.labelText(y.record()))
            return false;
    }
    return x.done() && y.done();
}

} // namespace rt
