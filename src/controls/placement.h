#pragma once

#include "controls/framepacer.h"

class QWidget;

namespace rt {

// A container's coordinate system: how many twips one unit is along each axis, and where its
// origin (the inner top-left corner) lies in the container widget's pixels.
struct Units {
    double twipsPerUnitX = 1.0;
    double twipsPerUnitY = 1.0;
    int originX = 0;
    int originY = 0;
};

// Twips per device-independent pixel, from the primary screen's logical dpi (15 at 96 dpi).
double TwipsPerPixel();

// Left, Top, Width and Height of one control in its container's units. Each reports back exactly
// what was assigned (single precision); the widget sits at the rounded pixel position, or, while a
// pacer lets it lag, gets there at the next frame.
class Placement : public PacedView {
public:
    Placement(QWidget &widget, const Units &units);
    Placement(QWidget &widget, const Units &units, float left, float top, float width, float height);

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);

    // Moves the widget again, for a container whose units have changed.
    void apply();

protected:
    void showValues() override { apply(); }

private:
    QWidget &widget_;
    const Units &units_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

} // namespace rt
