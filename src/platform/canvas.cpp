#include "platform/canvas.h"

#include "rules/numrules.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <utility>

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

} // namespace

Canvas::Canvas(QWidget *parent) : QWidget(parent)
{
    // Every exposed pixel is painted, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    measureFont();
}

void Canvas::measureFont()
{
    const QFontMetrics fm(font());
    charWidth_ = fm.maxWidth();
    lineHeight_ = fm.height();
}

QColor Canvas::toQColor(std::int32_t colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void Canvas::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        measureFont();
        opsStale_ = true;
    }
    QWidget::changeEvent(event);
}

void Canvas::Cls()
{
    keepFrame();
    image_.items.clear();
    image_.printed.clear();
    currentX_ = 0;
    currentY_ = 0;
    if (usable_) {
        image_.x1 = scaleX1_;
        image_.y1 = scaleY1_;
        image_.x2 = scaleX2_;
        image_.y2 = scaleY2_;
    }
    changed();
}

void Canvas::Scale(double x1, double y1, double x2, double y2)
{
    // The same scale again, as every pass of a search sets it: nothing moves.
    if (x1 == scaleX1_ && y1 == scaleY1_ && x2 == scaleX2_ && y2 == scaleY2_ && x1 == image_.x1 && y1 == image_.y1
        && x2 == image_.x2 && y2 == image_.y2)
        return;
    scaleX1_ = x1;
    scaleY1_ = y1;
    scaleX2_ = x2;
    scaleY2_ = y2;
    scaleW_ = x2 - x1;
    scaleH_ = y2 - y1;
    usable_ = finite(x1, y1, x2, y2) && scaleW_ != 0 && scaleH_ != 0;
    if (!usable_)
        return;
    // The persistent image stays where it was drawn, so what is recorded moves into the new units.
    if (!image_.items.empty() && (x1 != image_.x1 || y1 != image_.y1 || x2 != image_.x2 || y2 != image_.y2)) {
        keepFrame();
        spreadVerticalLines();
        const double kx = (x2 - x1) / (image_.x2 - image_.x1);
        const double ky = (y2 - y1) / (image_.y2 - image_.y1);
        for (Item &item : image_.items) {
            item.x1 = x1 + (item.x1 - image_.x1) * kx;
            item.x2 = x1 + (item.x2 - image_.x1) * kx;
            item.y1 = y1 + (item.y1 - image_.y1) * ky;
            item.y2 = y1 + (item.y2 - image_.y1) * ky;
        }
        opsStale_ = true;
    }
    image_.x1 = x1;
    image_.y1 = y1;
    image_.x2 = x2;
    image_.y2 = y2;
}

void Canvas::spreadVerticalLines()
{
    std::vector<Item> spread;
    spread.reserve(image_.items.size());
    for (const Item &item : image_.items) {
        if (item.kind != ItemKind::VerticalLines) {
            spread.push_back(item);
            continue;
        }
        for (double x = item.x1; x <= item.x2; x += 1)
            spread.push_back({ItemKind::Line, 0, 0, x, item.y1, x, item.y2, item.colour});
    }
    image_.items = std::move(spread);
}

void Canvas::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (visible(x1, y1, x2, y2))
        record({ItemKind::Line, 0, 0, x1, y1, x2, y2, colour});
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
}

void Canvas::VerticalLines(double first, double last, double y1, double y2, std::int32_t colour)
{
    if (!(first <= last))
        return;
    const double count = std::isfinite(last - first) ? std::floor(last - first) + 1 : HUGE_VAL;
    if (std::isfinite(count)) {
        currentX_ = static_cast<float>(first + (count - 1));
        currentY_ = static_cast<float>(y2);
    }
    if (!usable_ || !finite(first, y1, y2, 0) || !meetsUnit((y1 - scaleY1_) / scaleH_, (y2 - scaleY1_) / scaleH_))
        return;
    // The lines the area shows are one stretch of them: found by arithmetic, then settled with
    // the same test a single line meets, so that exactly the lines Line would keep are kept.
    const auto seen = [&](double k) {
        const double f = (first + k - scaleX1_) / scaleW_;
        return f >= 0.0 && f <= 1.0;
    };
    double from = 0, to = count - 1;
    if (!seen(from))
        from = std::max(0.0, std::ceil(std::min(scaleX1_, scaleX2_) - first));
    if (!seen(to))
        to = std::min(to, std::floor(std::max(scaleX1_, scaleX2_) - first));
    while (from <= to && !seen(from))
        ++from;
    while (from > 0 && seen(from - 1))
        --from;
    while (to >= from && !seen(to))
        --to;
    while (to < count - 1 && seen(to + 1))
        ++to;
    if (from <= to)
        record({ItemKind::VerticalLines, 0, 0, first + from, y1, first + to, y2, colour});
}

void Canvas::LineBox(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (visible(x1, y1, x2, y2))
        record({ItemKind::Box, 0, 0, x1, y1, x2, y2, colour});
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
}

void Canvas::Print(const QString &text)
{
    if (text.isEmpty() || !textMayShow(currentX_, currentY_))
        return;
    image_.printed.emplace_back(text);
    record({ItemKind::Text, 1, static_cast<std::uint32_t>(image_.printed.size() - 1), currentX_, currentY_, currentX_,
            currentY_, foreColor_});
}

void Canvas::Print(std::initializer_list<PrintItem> items)
{
    if (items.size() == 0 || !textMayShow(currentX_, currentY_))
        return;
    const auto first = static_cast<std::uint32_t>(image_.printed.size());
    image_.printed.insert(image_.printed.end(), items);
    record({ItemKind::Text, static_cast<std::uint32_t>(items.size()), first, currentX_, currentY_, currentX_, currentY_,
            foreColor_});
}

void Canvas::setBackColor(std::int32_t c)
{
    backColor_ = c;
    update();
}

bool Canvas::visible(double xa, double ya, double xb, double yb) const
{
    if (!usable_ || !finite(xa, ya, xb, yb))
        return false;
    // As fractions of the drawing area, a flipped scale needs no case of its own.
    return meetsUnit((xa - scaleX1_) / scaleW_, (xb - scaleX1_) / scaleW_)
        && meetsUnit((ya - scaleY1_) / scaleH_, (yb - scaleY1_) / scaleH_);
}

bool Canvas::textMayShow(double x, double y) const
{
    // Text reaches right and down from its corner: beyond the right or bottom edge it cannot show.
    if (!usable_ || !std::isfinite(x) || !std::isfinite(y))
        return false;
    return (x - scaleX1_) / scaleW_ <= 1.0 && (y - scaleY1_) / scaleH_ <= 1.0;
}

Canvas::PixelMap Canvas::pixelMap(const Image &image) const
{
    return {image.x1, image.y1, width() / (image.x2 - image.x1), height() / (image.y2 - image.y1)};
}

bool Canvas::textReachesArea(const Image &image, const Item &item, const PixelMap &map) const
{
    // How far it reaches depends on the canvas's size in pixels; without one it is kept.
    if (width() <= 0 || height() <= 0)
        return true;
    // No character is wider than the widest; measuring the text itself would shape it.
    return map.x(item.x1) + double(charWidth_) * labelText(image, item).size() >= 0.0
        && map.y(item.y1) + double(lineHeight_) >= 0.0;
}

QString Canvas::labelText(const Image &image, const Item &item)
{
    QString text;
    for (std::size_t i = item.label; i < item.label + item.count; ++i) {
        const PrintItem &p = image.printed[i];
        text += p.isNumber ? QString::fromStdString(PrintNumber(p.number)) : p.text;
    }
    return text;
}

void Canvas::record(const Item &item)
{
    keepFrame();
    image_.items.push_back(item);
    changed();
}

void Canvas::keepFrame()
{
    if (!widgetLags() && deferToNextFrame())
        frame_ = image_;
}

void Canvas::changed()
{
    opsStale_ = true;
    // A pass records thousands of operations; one pending update covers them all.
    if (updatePending_ || widgetLags())
        return;
    updatePending_ = true;
    update();
}

void Canvas::showValues()
{
    if (!updatePending_) {
        updatePending_ = true;
        update();
    }
}

const std::vector<Canvas::Op> &Canvas::operations() const
{
    if (!opsStale_)
        return ops_;
    ops_.clear();
    const PixelMap map = pixelMap(image_);
    for (const Item &item : image_.items) {
        switch (item.kind) {
        case ItemKind::Line:
            ops_.push_back({Kind::Line, item.x1, item.y1, item.x2, item.y2, item.colour, {}});
            break;
        case ItemKind::Box:
            ops_.push_back({Kind::Box, item.x1, item.y1, item.x2, item.y2, item.colour, {}});
            break;
        case ItemKind::VerticalLines:
            for (double x = item.x1; x <= item.x2; x += 1)
                ops_.push_back({Kind::Line, x, item.y1, x, item.y2, item.colour, {}});
            break;
        case ItemKind::Text:
            if (textReachesArea(image_, item, map))
                ops_.push_back({Kind::Text, item.x1, item.y1, item.x1, item.y1, item.colour, labelText(image_, item)});
            break;
        }
    }
    opsStale_ = false;
    return ops_;
}

} // namespace rt
