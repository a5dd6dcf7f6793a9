#include "controls/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace rt {

namespace {

// Keeps absurd or non-finite geometry from overflowing the int conversion; a widget cannot be
// larger than this anyway.
int toPixels(double v)
{
    if (!std::isfinite(v))
        return 0;
    return qRound(std::clamp(v, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX)));
}

double fromPixels(int px, double twipsPerUnit)
{
    return twipsPerUnit == 0 ? 0.0 : px * TwipsPerPixel() / twipsPerUnit;
}

} // namespace

double TwipsPerPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 0.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

Placement::Placement(QWidget &widget, const Units &units) : widget_(widget), units_(units)
{
    // Takes over where the widget already stands, so that creating the placement moves nothing.
    const QRect g = widget.geometry();
    left_ = static_cast<float>(fromPixels(g.x() - units.originX, units.twipsPerUnitX));
    top_ = static_cast<float>(fromPixels(g.y() - units.originY, units.twipsPerUnitY));
    width_ = static_cast<float>(fromPixels(g.width(), units.twipsPerUnitX));
    height_ = static_cast<float>(fromPixels(g.height(), units.twipsPerUnitY));
}

Placement::Placement(QWidget &widget, const Units &units, float left, float top, float width, float height)
    : widget_(widget), units_(units), left_(left), top_(top), width_(width), height_(height)
{
    apply();
}

void Placement::setLeft(double v)
{
    left_ = static_cast<float>(v);
    if (!deferToNextFrame())
        apply();
}

void Placement::setTop(double v)
{
    top_ = static_cast<float>(v);
    if (!deferToNextFrame())
        apply();
}

void Placement::setWidth(double v)
{
    width_ = static_cast<float>(v);
    if (!deferToNextFrame())
        apply();
}

void Placement::setHeight(double v)
{
    height_ = static_cast<float>(v);
    if (!deferToNextFrame())
        apply();
}

void Placement::apply()
{
    const double tpp = TwipsPerPixel();
    const int x = toPixels(left_ * units_.twipsPerUnitX / tpp) + units_.originX;
    const int y = toPixels(top_ * units_.twipsPerUnitY / tpp) + units_.originY;
    const int w = std::max(0, toPixels(width_ * units_.twipsPerUnitX / tpp));
    const int h = std::max(0, toPixels(height_ * units_.twipsPerUnitY / tpp));
    widget_.setGeometry(x, y, w, h);
}

} // namespace rt
