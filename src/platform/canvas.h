#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class QPainter;

namespace rt {

// A picture box that keeps a persistent image: what is drawn is recorded as operations in the
// canvas's own scale and replayed for the exposed rectangle on every paint. Operations that lie
// wholly outside the drawing area are dropped when they are recorded, so the image never holds
// more than what can be seen, however wide the canvas or however far a loop draws.
class Canvas : public QWidget {
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
    // The rectangle with these opposite corners, filled with its colour.
    void LineBox(double x1, double y1, double x2, double y2, std::int32_t colour);
    // Text with its top-left corner at the current position, in ForeColor and the canvas's font.
    // The current position stays where it was.
    void Print(const QString &text);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void setCurrentX(double v) { currentX_ = static_cast<float>(v); }
    void setCurrentY(double v) { currentY_ = static_cast<float>(v); }
    std::int32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::int32_t c) { foreColor_ = c; }
    // The colour Cls leaves.
    void setBackColor(std::int32_t c);

    const std::vector<Op> &operations() const { return ops_; }
    QRectF scaleRect() const { return QRectF(scaleX1_, scaleY1_, scaleX2_ - scaleX1_, scaleY2_ - scaleY1_); }

    static QColor toQColor(std::int32_t colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool visible(double xa, double ya, double xb, double yb) const;
    bool textVisible(double x, double y, const QString &text) const;
    bool scaleUsable() const;
    void record(Op op);
    // Paints the ground and the grid lines that open the image; returns the first op not painted.
    std::size_t paintGround(QPainter &painter, const QRect &exposed, double kx, double ky) const;
    std::vector<Op> ops_;
    bool updatePending_ = false;
    double scaleX1_ = 0, scaleY1_ = 0, scaleX2_ = 1, scaleY2_ = 1;
    // The scale the recorded operations are in: the current one, except while the current one
    // has no area, when the image drawn before keeps the last usable scale.
    double opsX1_ = 0, opsY1_ = 0, opsX2_ = 1, opsY2_ = 1;
    float currentX_ = 0, currentY_ = 0;
    std::int32_t foreColor_ = 0;
    std::int32_t backColor_ = 0xFFFFFF;
};

} // namespace rt
