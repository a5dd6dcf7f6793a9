#pragma once

#include "controls/framepacer.h"

#include <QScrollBar>
#include <QStyle>

#include <cstdint>

namespace rt {

// A scroll bar with the old runtime's Min, Max and Value: 16-bit integers, Value always between
// Min and Max, either of which may be the larger. Min stands at the top (or left) end. Qt's own
// range is kept as 0..|Max - Min| with a sign, since a QScrollBar cannot hold Min > Max and its
// top arrow always lowers the Qt value. While a pacer lets the bar lag, its thumb catches up with
// the value at the next frame.
class ScrollBar : public QScrollBar, public PacedView {
    Q_OBJECT
public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Qt's own range and value are the widget's: 0 to |Max - Min| from the Min end. Code that
    // means them says QScrollBar::value() and so on.
    int value() const = delete;
    int minimum() const = delete;
    int maximum() const = delete;
    void setMinimum(int) = delete;
    void setMaximum(int) = delete;
    void setRange(int, int) = delete;

    std::int16_t Min() const { return min_; }
    std::int16_t Max() const { return max_; }
    // While the thumb is dragged, the value the thumb stands for.
    std::int16_t Value() const;
    void setMin(std::int16_t v);
    void setMax(std::int16_t v);
    // Raises change() only when the value really changes. A value outside the range is clamped to
    // the nearer end instead of being refused. Min and Max move Value to the nearer end, with
    // change(), when it would fall outside.
    void setValue(std::int16_t v);
    void setSmallChange(int v) { setSingleStep(v); }
    void setLargeChange(int v) { setPageStep(v); }
    // Where the style lays out a part of the bar (an arrow, the trough, the thumb), in its pixels.
    QRect subControlRect(QStyle::SubControl control) const;

protected:
    void showValues() override { applyRange(); }
    // Left and Up go towards Min, Right and Down towards Max, on either kind of bar.
    void keyPressEvent(QKeyEvent *event) override;

Q_SIGNALS:
    // The value has changed: an arrow, a trough click, the keyboard, the end of a drag, or code.
    void change();
    // The thumb is being dragged.
    void scroll();

private:
    void rangeChanged();
    void applyRange();
    std::int16_t fromQt(int q) const;
    int toQt(std::int16_t v) const;
    std::int16_t min_ = 0;
    std::int16_t max_ = 32767;
    std::int16_t value_ = 0;
    bool applying_ = false;
};

} // namespace rt
