#pragma once

#include "controls/framepacer.h"
#include "runtime/canvas_image.h"
#include "runtime/canvas_svg.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <utility>

class QPainter;

namespace rt {

// A picture box that keeps a persistent image (a CanvasImage): what is drawn is recorded in the
// canvas's own scale and replayed for the exposed rectangle on every paint.
class Canvas : public QWidget, public PacedView {
    Q_OBJECT
public:
    explicit Canvas(QWidget *parent = nullptr);

    // The image to draw on. The widget shows what is drawn on it at its next frame: when the
    // pacer's work ends, or at the next turn of the event loop if no work runs.
    CanvasImage &draw();
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
    PixelMap pixelMap() const;
    bool textReachesArea(const Record &text, const PixelMap &map) const;
    QString labelText(const Record &text) const;
    // A frame is asked for once, however many drawing calls it covers.
    void askForFrame();
    void paintImage(QPainter &painter, const QRect &exposed) const;
    // Paints the ground and the grid lines that open the image; returns the first record not painted.
    std::size_t paintGround(QPainter &painter, const QRect &exposed, const PixelMap &map) const;

    CanvasImage image_;
    bool updatePending_ = false;
    std::int32_t backColor_ = 0xFFFFFF;
    // The font's widest character and line height, bounding any text without shaping it.
    int charWidth_ = 0;
    int lineHeight_ = 0;
};

} // namespace rt
