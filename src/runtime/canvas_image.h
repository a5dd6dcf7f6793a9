#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace rt {

// What a picture box has drawn, apart from any widget: its records, the scale they are in, and
// what the next drawing call starts from (the current scale, position and ForeColor). Lines and
// boxes that lie wholly outside the drawing area are dropped when they are drawn, so the image
// never holds more than what can be seen, however wide the canvas or however far a loop draws.
// Recording is kept cheap (a run of grid lines is one record, a printed number is written out only
// when it is shown or read), since a search may draw a whole chart for many numbers in a slice.
// How far a text reaches depends on pixels and a font, so that is left to the widget.
class CanvasImage {
public:
    // A drawing area by its top-left (x1, y1) and bottom-right (x2, y2) corner in user units.
    struct Corners {
        double x1 = 0, y1 = 0, x2 = 1, y2 = 1;
    };

    enum class Kind : std::uint8_t { Line, Box, Text, VerticalLines };
    // Line and Box: from (x1, y1) to (x2, y2). VerticalLines: one line from y1 to y2 at every x
    // from x1 to x2 in steps of 1. Text: its top-left corner is (x1, y1), the same as (x2, y2), and
    // labelText writes it.
    struct Record {
        Kind kind;
        // Text: it is written from the pieces label to label + count - 1 that Print was given.
        std::uint32_t count;
        std::uint32_t label;
        double x1, y1, x2, y2;
        std::int32_t colour; // the runtime's RGB value
    };

    // One item of a Print list: a number, written the way Print writes numbers (Str and one blank
    // behind it), or a text in UTF-8 as it stands.
    struct Piece {
        Piece(double v) : number(v), isNumber(true) {}
        Piece(std::string t) : text(std::move(t)) {}
        Piece(const char *t) : text(t) {}
        double number = 0;
        std::string text;
        bool isNumber = false;
    };

    // Clears the records and the position; the records take the current scale if it has an area.
    void Cls();
    // The other drawing calls return whether they changed the records.
    // What is already drawn keeps its place: the records move into the new units. A scale without
    // width or height draws nothing, and the records stay in the last scale that had an area.
    bool Scale(double x1, double y1, double x2, double y2);
    // Afterwards the current position is (x2, y2).
    bool Line(double x1, double y1, double x2, double y2, std::int32_t colour);
    // What Line(x, y1, x, y2, colour) draws for x = first, first + 1, ... while x <= last, and
    // where it leaves the current position.
    bool VerticalLines(double first, double last, double y1, double y2, std::int32_t colour);
    // The rectangle with these opposite corners, filled with its colour.
    bool LineBox(double x1, double y1, double x2, double y2, std::int32_t colour);
    // Text with its top-left corner at the current position, in ForeColor. The position stays.
    bool Print(std::string text);
    // The pieces written one after another, as one text.
    bool Print(std::initializer_list<Piece> pieces);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    // The position is kept in single precision, as the runtime keeps it.
    void setCurrentX(double v) { currentX_ = static_cast<float>(v); }
    void setCurrentY(double v) { currentY_ = static_cast<float>(v); }
    std::int32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::int32_t c) { foreColor_ = c; }

    // The scale last set, usable or not.
    const Corners &scale() const { return scale_; }
    // The scale the records are in: the current one, or the last one that had an area.
    const Corners &recordScale() const { return recordScale_; }
    // In the order drawn.
    const std::vector<Record> &records() const { return records_; }
    // What a text record writes, in UTF-8; empty for the other records.
    std::string labelText(const Record &record) const;

    // The same lines, boxes and texts in the same order and scale, and the same current scale,
    // position and ForeColor: a run of vertical lines counts as its single lines, a text as what
    // it writes, however it was printed.
    friend bool operator==(const CanvasImage &a, const CanvasImage &b);

private:
    bool visible(double xa, double ya, double xb, double yb) const;
    bool textMayShow() const;
    // Records the text written from the pieces label onwards.
    bool recordText(std::uint32_t label);
    // A line or box: kept if it meets the area; the position moves to its second corner.
    bool shape(const Record &record);
    // Each run of vertical lines as that many single lines, so that every record can be rescaled.
    void spreadVerticalLines();

    std::vector<Record> records_;
    // What Print was given, kept as it came: numbers are written out only to be shown or read.
    std::vector<Piece> pieces_;
    Corners recordScale_;
    Corners scale_;
    // Of the current scale: whether it has an area, and its width and height.
    bool usable_ = true;
    double scaleW_ = 1, scaleH_ = 1;
    float currentX_ = 0, currentY_ = 0;
    std::int32_t foreColor_ = 0;
};

} // namespace rt
