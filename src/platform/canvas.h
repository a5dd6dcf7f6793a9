#pragma once

#include "platform/framepacer.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QPainter;

namespace rt {

// One item of a Print list: a number, written the way Print writes numbers (Str and one blank
// behind it), or a text as it stands.
struct PrintItem {
    PrintItem(double v) : number(v), isNumber(true) {}
    PrintItem(QString t) : text(std::move(t)) {}
    double number = 0;
    QString text;
    bool isNumber = false;
};

// A picture box that keeps a persistent image: what is drawn is recorded in the canvas's own
// scale and replayed for the exposed rectangle on every paint. Lines and boxes that lie wholly
// outside the drawing area are dropped when they are drawn, so the image never holds more than
// what can be seen, however wide the canvas or however far a loop draws. Recording is kept cheap
// (a run of grid lines is one record, a printed number is written out only when it is shown or
// read), since a search may draw a whole chart for many numbers in a slice. While a pacer lets the
// canvas lag, it repaints when the work ends.
class Canvas : public QWidget, public PacedView {
    Q_OBJECT
public:
    enum class Kind { Line, Box, Text };
    struct Op {
        Kind kind;
        double x1, y1, x2, y2; // Text: x1, y1 is the top-left corner
        std::int32_t colour;   // the runtime's RGB value
        QString text;
    };

    explicit Canvas(QWidget *parent = nullptr);

    void Cls();
    // The drawing area's top-left (x1, y1) and bottom-right (x2, y2) corner in user units. What is
    // already drawn keeps its place on the canvas. A scale without width or height draws nothing.
    void Scale(double x1, double y1, double x2, double y2);
    // A line from (x1, y1) to (x2, y2); afterwards the current position is (x2, y2).
    void Line(double x1, double y1, double x2, double y2, std::int32_t colour);
    // What Line(x, y1, x, y2, colour) draws for x = first, first + 1, ... while x <= last, and
    // where it leaves the current position.
    void VerticalLines(double first, double last, double y1, double y2, std::int32_t colour);
    // The rectangle with these opposite corners, filled with its colour.
    void LineBox(double x1, double y1, double x2, double y2, std::int32_t colour);
    // Text with its top-left corner at the current position, in ForeColor and the canvas's font.
    // The current position stays where it was.
    void Print(const QString &text);
    // The items written one after another, as one text.
    void Print(std::initializer_list<PrintItem> items);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void setCurrentX(double v) { currentX_ = static_cast<float>(v); }
    void setCurrentY(double v) { currentY_ = static_cast<float>(v); }
    std::int32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::int32_t c) { foreColor_ = c; }
    // The colour Cls leaves.
    void setBackColor(std::int32_t c);

    // What the image holds, one operation per line, box or text, in the order drawn.
    const std::vector<Op> &operations() const;
    QRectF scaleRect() const { return QRectF(scaleX1_, scaleY1_, scaleX2_ - scaleX1_, scaleY2_ - scaleY1_); }

    static QColor toQColor(std::int32_t colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showValues() override;

private:
    enum class ItemKind : std::uint8_t { Line, Box, Text, VerticalLines };
    // VerticalLines: one line at every x from x1 to x2 in steps of 1. Text: the items
    // printed[label] to printed[label + count - 1] of its image, written one after another.
    struct Item {
        ItemKind kind;
        std::uint32_t count;
        std::uint32_t label;
        double x1, y1, x2, y2;
        std::int32_t colour;
    };

    // What the canvas holds: its records and the scale they are in (the current one, except while
    // the current one has no area, when the image drawn before keeps the last usable scale).
    struct Image {
        std::vector<Item> items;
        // What Print was given, kept as it came: numbers are written out only to be shown or read.
        std::vector<PrintItem> printed;
        double x1 = 0, y1 = 0, x2 = 1, y2 = 1;
    };

    void measureFont();
    bool visible(double xa, double ya, double xb, double yb) const;
    bool textMayShow(double x, double y) const;
    // Where the units of an image's scale land in the widget's pixels: the one mapping that
    // painting and the bounds of labels use.
    struct PixelMap {
        double x0, y0, kx, ky;
        double x(double unitX) const { return (unitX - x0) * kx; }
        double y(double unitY) const { return (unitY - y0) * ky; }
        double unitX(double pixelX) const { return pixelX / kx + x0; }
        // Of the lines at x1, x1 + 1, ..., x2, the steps k whose pixel column lies within
        // [left, right]; empty when from > to.
        std::pair<double, double> stepsWithin(double x1, double x2, double left, double right) const;
    };
    PixelMap pixelMap(const Image &image) const;
    bool textReachesArea(const Image &image, const Item &item, const PixelMap &map) const;
    void record(const Item &item);
    // Before the image changes while the widget may lag: the widget keeps painting what it showed.
    void keepFrame();
    void changed();
    // Each run of vertical lines as that many single lines, so that every record can be rescaled.
    void spreadVerticalLines();
    static QString labelText(const Image &image, const Item &item);
    // Paints the ground and the grid lines that open the image; returns the first item not painted.
    std::size_t paintGround(const Image &image, QPainter &painter, const QRect &exposed, const PixelMap &map) const;

    Image image_;
    // While the widget lags: the image as it was at the last frame.
    Image frame_;
    mutable std::vector<Op> ops_;
    mutable bool opsStale_ = false;
    bool updatePending_ = false;
    double scaleX1_ = 0, scaleY1_ = 0, scaleX2_ = 1, scaleY2_ = 1;
    // Of the current scale: whether it has an area, and its width and height.
    bool usable_ = true;
    double scaleW_ = 1, scaleH_ = 1;
    float currentX_ = 0, currentY_ = 0;
    std::int32_t foreColor_ = 0;
    std::int32_t backColor_ = 0xFFFFFF;
    // The font's widest character and line height, bounding any text without shaping it.
    int charWidth_ = 0;
    int lineHeight_ = 0;
};

} // namespace rt
