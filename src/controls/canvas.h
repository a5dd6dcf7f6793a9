#pragma once

#include "runtime/canvas_image.h"
#include "runtime/canvas_svg.h"
#include "controls/framepacer.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <initializer_list>
#include <utility>

class QPainter;

namespace rt {

// One item of a Print list: a number, written the way Print writes numbers (Str and one blank
// behind it), or a text as it stands.
struct PrintItem : CanvasImage::Piece {
    PrintItem(double v) : Piece(v) {}
    PrintItem(const QString &t);
};

// A picture box that keeps a persistent image (a CanvasImage): what is drawn is recorded in the
// canvas's own scale and replayed for the exposed rectangle on every paint. While a pacer lets the
// canvas lag, it goes on painting the image as it was at the first change, and repaints when the
// work ends.
class Canvas : public QWidget, public PacedView {
    Q_OBJECT
public:
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

    double CurrentX() const { return image_.CurrentX(); }
    double CurrentY() const { return image_.CurrentY(); }
    void setCurrentX(double v) { image_.setCurrentX(v); }
    void setCurrentY(double v) { image_.setCurrentY(v); }
    std::int32_t ForeColor() const { return image_.ForeColor(); }
    void setForeColor(std::int32_t c) { image_.setForeColor(c); }
    // The colour Cls leaves.
    void setBackColor(std::int32_t c);

    // What the canvas holds, whether or not the widget shows it yet.
    const CanvasImage &image() const { return image_; }
    // The whole canvas as it paints its image, the parts its frame hides included, with `scale`
    // device pixels to each of the widget's pixels.
    QImage picture(qreal scale) const;
    // Its size, ground and font, for an SVG of its image.
    CanvasLook look() const;
    QRectF scaleRect() const
    {
        const CanvasImage::Corners &s = image_.scale();
        return QRectF(s.x1, s.y1, s.x2 - s.x1, s.y2 - s.y1);
    }
    // Whether a text record of the image can reach into the drawing area at the canvas's size and
    // font; painting skips the others without writing them out.
    bool textReachesArea(const CanvasImage::Record &text) const;

    static QColor toQColor(std::int32_t colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showValues() override;

private:
    using Record = CanvasImage::Record;

    void measureFont();
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
    PixelMap pixelMap(const CanvasImage &image) const;
    bool textReachesArea(const CanvasImage &image, const Record &text, const PixelMap &map) const;
    static QString labelText(const CanvasImage &image, const Record &text);
    // For the image's drawing calls: before the image changes while the widget may lag, the widget
    // keeps painting what it showed.
    CanvasImage::BeforeChange keeper();
    void keepFrame();
    void changed();
    void paintImage(const CanvasImage &image, QPainter &painter, const QRect &exposed) const;
    // Paints the ground and the grid lines that open the image; returns the first record not painted.
    std::size_t paintGround(const CanvasImage &image, QPainter &painter, const QRect &exposed,
                            const PixelMap &map) const;

    CanvasImage image_;
    // While the widget lags: the image as it was at the last frame.
    CanvasImage frame_;
    bool updatePending_ = false;
    std::int32_t backColor_ = 0xFFFFFF;
    // The font's widest character and line height, bounding any text without shaping it.
    int charWidth_ = 0;
    int lineHeight_ = 0;
};

} // namespace rt
