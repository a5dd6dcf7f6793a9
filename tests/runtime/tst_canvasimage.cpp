// The canvas's image on its own: which lines, boxes and texts it keeps, in which scale, and where
// it leaves the current position. What needs pixels or a font is the widget's (tst_canvas), and a
// run of grid lines against a loop of single lines is tried with pixels (tst_canvasrecords).
#include "rules/numrules.h"
#include "runtime/canvas_image.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

using rt::CanvasImage;
using Kind = CanvasImage::Kind;

constexpr std::int32_t Red = rt::RGB(200, 0, 0);
constexpr std::int32_t Blue = rt::RGB(0, 0, 255);
constexpr std::int32_t White = rt::RGB(255, 255, 255);
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

CanvasImage scaled(double x1, double y1, double x2, double y2)
{
    CanvasImage image;
    image.Scale(x1, y1, x2, y2);
    return image;
}

bool sameCorners(const CanvasImage::Corners &c, double x1, double y1, double x2, double y2)
{
    return c.x1 == x1 && c.y1 == y1 && c.x2 == x2 && c.y2 == y2;
}

} // namespace

class tst_CanvasImage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordsOrDrops_data();
    void recordsOrDrops();
    void gridLoopKeepsOnlyVisibleLines();
    void flippedScale();
    void scaleWithoutArea_data();
    void scaleWithoutArea();
    void clsTakesCurrentScale();
    void sameScaleMovesNothing();
    void rescaleMovesRecords();
    void printAtCurrentPositionInForeColor();
    void printBeyondEdge_data();
    void printBeyondEdge();
    void printedText_data();
    void printedText();
    void nothingToPrint();
    void equalWhenDrawnAlike();
    void unequal_data();
    void unequal();
};

void tst_CanvasImage::recordsOrDrops_data()
{
    QTest::addColumn<bool>("box");
    QTest::addColumn<QRectF>("corners"); // (x1, y1) and (x2, y2) as topLeft and bottomRight
    QTest::addColumn<bool>("kept");
    auto row = [](const char *tag, bool box, double x1, double y1, double x2, double y2, bool kept) {
        QTest::newRow(tag) << box << QRectF(QPointF(x1, y1), QPointF(x2, y2)) << kept;
    };
    row("line (500,0)-(500,10)", false, 500, 0, 500, 10, true);
    row("line (1000,0)-(1000,10) on right edge", false, 1000, 0, 1000, 10, true);
    row("line (1001,0)-(1001,10) beyond right edge", false, 1001, 0, 1001, 10, false);
    row("line (-5,5)-(5,5) in from the left", false, -5, 5, 5, 5, true);
    row("line (-5,5)-(-1,5) left of the area", false, -5, 5, -1, 5, false);
    row("line (-5,5)-(0,5) touching left edge", false, -5, 5, 0, 5, true);
    row("line (0,11)-(5,11) below", false, 0, 11, 5, 11, false);
    row("line (0,10)-(5,10) on bottom edge", false, 0, 10, 5, 10, true);
    row("line (2000,-5)-(-5,20) across", false, 2000, -5, -5, 20, true);
    row("box (1004,1)-(1010,2) beyond", true, 1004, 1, 1010, 2, false);
    row("box (-3,0)-(0,1) touching left edge", true, -3, 0, 0, 1, true);
    row("box (999,1)-(1010,2) across right edge", true, 999, 1, 1010, 2, true);
    row("box (5,-2)-(6,-1) above", true, 5, -2, 6, -1, false);
    row("box (5,-2)-(6,0) touching top edge", true, 5, -2, 6, 0, true);
    row("box (6,0)-(5,-2) touching top edge, corners swapped", true, 6, 0, 5, -2, true);
    row("line (nan,0)-(5,5)", false, NaN, 0, 5, 5, false);
    row("box (0,0)-(inf,5)", true, 0, 0, Inf, 5, false);
    row("box (23,1)-(1e6,0.1) across the area", true, 23, 1, 1e6, 0.1, true);
    row("line (23,1)-(0.3,7.7)", false, 23, 1, 0.3, 7.7, true);
}

void tst_CanvasImage::recordsOrDrops()
{
    QFETCH(bool, box);
    QFETCH(QRectF, corners);
    QFETCH(bool, kept);
    CanvasImage image = scaled(0, 0, 1000, 10);
    const QPointF a = corners.topLeft(), b = corners.bottomRight();
    const bool changed =
        box ? image.LineBox(a.x(), a.y(), b.x(), b.y(), Red) : image.Line(a.x(), a.y(), b.x(), b.y(), Blue);
    QCOMPARE(changed, kept);
    QCOMPARE(image.records().size(), kept ? 1u : 0u);
    // Kept or not, the position moves to the second corner, in single precision.
    if (std::isfinite(b.x()))
        QCOMPARE(image.CurrentX(), double(float(b.x())));
    QCOMPARE(image.CurrentY(), double(float(b.y())));
    if (kept) {
        const CanvasImage::Record &r = image.records().front();
        QCOMPARE(r.kind, box ? Kind::Box : Kind::Line);
        QCOMPARE(r.x1, a.x());
        QCOMPARE(r.y1, a.y());
        QCOMPARE(r.x2, b.x());
        QCOMPARE(r.y2, b.y());
        QCOMPARE(r.colour, box ? Red : Blue);
    }
}

void tst_CanvasImage::gridLoopKeepsOnlyVisibleLines()
{
    CanvasImage image = scaled(0, 0, 1000, 10);
    for (int i = 0; i <= 99999; ++i)
        image.Line(i, 0, i, 10, Blue);
    QCOMPARE(image.records().size(), 1001u);
    QCOMPARE(image.records().back().x1, 1000.0);
    QCOMPARE(image.CurrentX(), 99999.0);
}

void tst_CanvasImage::flippedScale()
{
    CanvasImage image = scaled(20, 10, 0, 0);
    QVERIFY(!image.Line(25, 0, 25, 10, Blue));
    QVERIFY(!image.Line(-0.5, 0, -0.5, 10, Blue));
    QVERIFY(image.Line(20, 0, 20, 10, Blue));
    QVERIFY(image.LineBox(0, 0, 5, 5, Red));
    QVERIFY(!image.LineBox(1, 10.5, 2, 11, Red));
    QCOMPARE(image.records().size(), 2u);
}

void tst_CanvasImage::scaleWithoutArea_data()
{
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    QTest::newRow("(0,0)-(0,10)") << 0.0 << 0.0 << 0.0 << 10.0;
    QTest::newRow("(0,0)-(10,0)") << 0.0 << 0.0 << 10.0 << 0.0;
    QTest::newRow("(5,5)-(5,5)") << 5.0 << 5.0 << 5.0 << 5.0;
    QTest::newRow("(nan,0)-(10,10)") << NaN << 0.0 << 10.0 << 10.0;
    QTest::newRow("(0,0)-(inf,10)") << 0.0 << 0.0 << Inf << 10.0;
}

void tst_CanvasImage::scaleWithoutArea()
{
    QFETCH(double, x1);
    QFETCH(double, y1);
    QFETCH(double, x2);
    QFETCH(double, y2);
    CanvasImage image = scaled(0, 0, 20, 10);
    image.LineBox(2, 1, 8, 6, Red);
    const CanvasImage before = image;
    QVERIFY(!image.Scale(x1, y1, x2, y2));
    // Nothing is drawn, though the position moves as ever.
    QVERIFY(!image.Line(0, 0, 0, 10, Blue));
    QVERIFY(!image.LineBox(0, 0, 1, 1, Red));
    QVERIFY(!image.VerticalLines(0, 3, 0, 10, Blue));
    image.setCurrentY(1);
    QVERIFY(!image.Print("x"));
    QCOMPARE(image.CurrentX(), 3.0);
    QCOMPARE(image.records().size(), 1u);
    QCOMPARE(image.records().front().x2, 8.0);
    // The records stay in the last scale with an area, also through Cls.
    QVERIFY(sameCorners(image.recordScale(), 0, 0, 20, 10));
    image.Cls();
    QVERIFY(image.records().empty());
    QVERIFY(sameCorners(image.recordScale(), 0, 0, 20, 10));
    const CanvasImage::Corners s = image.scale();
    QVERIFY(s.x1 == x1 || (std::isnan(s.x1) && std::isnan(x1)));
    QCOMPARE(s.x2, x2);
    // Back in the scale it had, the image draws as it did.
    image.Scale(0, 0, 20, 10);
    image.LineBox(2, 1, 8, 6, Red);
    image.setCurrentX(before.CurrentX());
    image.setCurrentY(before.CurrentY());
    QVERIFY(image == before);
}

void tst_CanvasImage::clsTakesCurrentScale()
{
    CanvasImage image = scaled(0, 0, 20, 10);
    image.Line(1, 1, 4, 4, Blue);
    image.setForeColor(White);
    image.Scale(0, 0, 40, 20);
    image.Cls();
    QVERIFY(image.records().empty());
    QCOMPARE(image.CurrentX(), 0.0);
    QCOMPARE(image.CurrentY(), 0.0);
    QCOMPARE(image.ForeColor(), White);
    QVERIFY(sameCorners(image.recordScale(), 0, 0, 40, 20));
    CanvasImage fresh = scaled(0, 0, 40, 20);
    fresh.setForeColor(White);
    QVERIFY(image == fresh);
}

void tst_CanvasImage::sameScaleMovesNothing()
{
    CanvasImage image = scaled(0, 0, 20, 10);
    // Without records a new scale only changes the one the next records are in.
    QVERIFY(!image.Scale(0, 0, 40, 10));
    QVERIFY(sameCorners(image.recordScale(), 0, 0, 40, 10));
    QVERIFY(image.VerticalLines(0, 40, 0, 10, Blue));
    const CanvasImage before = image;
    QVERIFY(!image.Scale(0, 0, 40, 10));
    QCOMPARE(image.records().size(), 1u);
    QCOMPARE(image.records().front().kind, Kind::VerticalLines);
    QVERIFY(image == before);
    QVERIFY(image.Scale(0, 0, 80, 10));
    QVERIFY(!(image == before));
}

void tst_CanvasImage::rescaleMovesRecords()
{
    CanvasImage image = scaled(0, 0, 20, 10);
    image.LineBox(2, 1, 8, 6, Red);
    image.VerticalLines(0, 2, 0, 10, Blue);
    image.setCurrentX(3);
    image.setCurrentY(4);
    image.Print({1.0, "-", 2.0});
    QVERIFY(image.Scale(10, 0, 50, 20));
    // The records lie where they did on the canvas: a unit is half as wide and high now.
    const std::vector<CanvasImage::Record> &r = image.records();
    QCOMPARE(r.size(), 5u);
    QCOMPARE(r[0].kind, Kind::Box);
    QCOMPARE(r[0].x1, 14.0);
    QCOMPARE(r[0].y1, 2.0);
    QCOMPARE(r[0].x2, 26.0);
    QCOMPARE(r[0].y2, 12.0);
    // A run is rescaled line by line: its lines no longer lie one unit apart.
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(r[std::size_t(1 + i)].kind, Kind::Line);
        QCOMPARE(r[std::size_t(1 + i)].x1, 10.0 + 2 * i);
        QCOMPARE(r[std::size_t(1 + i)].y2, 20.0);
    }
    QCOMPARE(r[4].kind, Kind::Text);
    QCOMPARE(r[4].x1, 16.0);
    QCOMPARE(r[4].y1, 8.0);
    QCOMPARE(image.labelText(r[4]), std::string(" 1 - 2 "));
    QVERIFY(sameCorners(image.recordScale(), 10, 0, 50, 20));
}

void tst_CanvasImage::printAtCurrentPositionInForeColor()
{
    CanvasImage image = scaled(0, 0, 86, 10);
    image.LineBox(23, 2, 26, 3, Red);
    image.setCurrentX(23);
    image.setCurrentY(image.CurrentY() - 1);
    image.setForeColor(White);
    QVERIFY(image.Print(" 24 - 26 "));
    image.setForeColor(Blue);
    QCOMPARE(image.records().size(), 2u);
    const CanvasImage::Record &label = image.records().back();
    QCOMPARE(label.kind, Kind::Text);
    QCOMPARE(label.x1, 23.0);
    QCOMPARE(label.y1, 2.0);
    QCOMPARE(label.colour, White);
    QCOMPARE(image.labelText(label), std::string(" 24 - 26 "));
    QCOMPARE(image.CurrentX(), 23.0);
    QCOMPARE(image.CurrentY(), 2.0);
    QVERIFY(image.labelText(image.records().front()).empty());
}

void tst_CanvasImage::printBeyondEdge_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("kept");
    QTest::newRow("(999, 1)") << 999.0 << 1.0 << true;
    QTest::newRow("(1000, 10) on the bottom-right corner") << 1000.0 << 10.0 << true;
    QTest::newRow("(1005, 1)") << 1005.0 << 1.0 << false;
    QTest::newRow("(10, 11)") << 10.0 << 11.0 << false;
    // How far left a text reaches in takes its pixels; that is the widget's to tell.
    QTest::newRow("(-100000, 1)") << -100000.0 << 1.0 << true;
    QTest::newRow("(-1, -100000)") << -1.0 << -100000.0 << true;
    QTest::newRow("(nan, 1)") << NaN << 1.0 << false;
}

void tst_CanvasImage::printBeyondEdge()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, kept);
    CanvasImage text = scaled(0, 0, 1000, 10);
    text.setCurrentX(x);
    text.setCurrentY(y);
    CanvasImage list = text;
    QCOMPARE(text.Print(" 1001 - 1002 "), kept);
    QCOMPARE(text.records().size(), kept ? 1u : 0u);
    QCOMPARE(list.Print({1001.0, "-", 1002.0}), kept);
    QCOMPARE(list.records().size(), kept ? 1u : 0u);
}

void tst_CanvasImage::printedText_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("between");
    QTest::addColumn<double>("end");
    QTest::addColumn<QString>("written");
    QTest::newRow("24, -, 26") << 24.0 << "-" << 26.0 << " 24 - 26 ";
    QTest::newRow("7.5, -, 0.25") << 7.5 << "-" << 0.25 << " 7.5 - .25 ";
    QTest::newRow("-3, -, 1e15") << -3.0 << "-" << 1e15 << "-3 - 1E+15 ";
    QTest::newRow("1.16666666666667, bis, 0.00001")
        << 1.16666666666667 << "bis" << 0.00001 << " 1.16666666666667 bis 1E-05 ";
    QTest::newRow("1, empty, 2") << 1.0 << "" << 2.0 << " 1  2 ";
    QTest::newRow("1, Größe, 2") << 1.0 << "Größe" << 2.0 << " 1 Größe 2 ";
}

void tst_CanvasImage::printedText()
{
    QFETCH(double, start);
    QFETCH(QString, between);
    QFETCH(double, end);
    QFETCH(QString, written);
    CanvasImage image = scaled(0, 0, 86, 10);
    image.setCurrentX(3);
    image.Print({start, between.toStdString(), end});
    QCOMPARE(image.records().size(), 1u);
    QCOMPARE(QString::fromStdString(image.labelText(image.records().front())), written);
    // The numbers are written as the runtime's Str writes them, a blank behind each.
    QCOMPARE(image.labelText(image.records().front()),
             rt::Str(start) + ' ' + between.toStdString() + rt::Str(end) + ' ');
}

void tst_CanvasImage::nothingToPrint()
{
    CanvasImage image = scaled(0, 0, 86, 10);
    QVERIFY(!image.Print(""));
    QVERIFY(!image.Print(std::initializer_list<CanvasImage::Piece>{}));
    QVERIFY(image.records().empty());
    // A list of empty texts is still a text, if one that writes nothing.
    QVERIFY(image.Print({"", ""}));
    QCOMPARE(image.records().size(), 1u);
    QVERIFY(image.labelText(image.records().front()).empty());
}

void tst_CanvasImage::equalWhenDrawnAlike()
{
    CanvasImage a = scaled(0, 0, 86, 10), b = a;
    a.VerticalLines(0, 75, 0, 10, Blue);
    for (int x = 0; x <= 75; ++x)
        b.Line(x, 0, x, 10, Blue);
    a.LineBox(23, 2, 26, 3, Red);
    b.LineBox(23, 2, 26, 3, Red);
    for (CanvasImage *image : {&a, &b}) {
        image->setCurrentX(23);
        image->setCurrentY(2);
        image->setForeColor(White);
    }
    a.Print({24.0, "-", 26.0});
    b.Print(" 24 - 26 ");
    QVERIFY(a == b);
    QVERIFY(b == a);
    // A scale or position of NaN is the same as itself.
    a.Scale(NaN, 0, 1, 1);
    a.setCurrentX(NaN);
    const CanvasImage copy = a;
    QVERIFY(a == copy);
}

void tst_CanvasImage::unequal_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("a line more") << 0;
    QTest::newRow("the run one line shorter") << 1;
    QTest::newRow("the box in another colour") << 2;
    QTest::newRow("the box a unit lower") << 3;
    QTest::newRow("another label") << 4;
    QTest::newRow("the label in another colour") << 5;
    QTest::newRow("box and label swapped") << 6;
    QTest::newRow("another current position") << 7;
    QTest::newRow("another ForeColor") << 8;
    QTest::newRow("another scale without area") << 9;
    QTest::newRow("no records, their scale another") << 10;
    QTest::newRow("a text more at the end") << 11;
}

void tst_CanvasImage::unequal()
{
    QFETCH(int, change);
    auto draw = [change](CanvasImage &image, bool changed) {
        const int c = changed ? change : -1;
        image.Scale(0, 0, 86, 10);
        image.VerticalLines(0, c == 1 ? 74 : 75, 0, 10, Blue);
        if (c == 0)
            image.Line(1, 1, 2, 2, Blue);
        auto box = [&] { image.LineBox(23, c == 3 ? 3 : 2, 26, 3, c == 2 ? Blue : Red); };
        auto label = [&] {
            image.setCurrentX(23);
            image.setCurrentY(2);
            image.setForeColor(c == 5 ? Red : White);
            image.Print({24.0, "-", c == 4 ? 25.0 : 26.0});
        };
        if (c == 6) {
            label();
            box();
        } else {
            box();
            label();
        }
        if (c == 11)
            image.Print(" ");
        image.setForeColor(c == 8 ? Red : White);
        image.setCurrentX(c == 7 ? 1 : 0);
        if (c == 9)
            image.Scale(0, 0, 0, 10);
        // The records go, and only the scale the next ones would be in is left to differ.
        if (change == 10) {
            image.Cls();
            if (c == 10)
                image.Scale(0, 0, 43, 5);
            image.Scale(0, 0, 0, 10);
        }
    };
    CanvasImage a, b;
    draw(a, false);
    draw(b, true);
    QVERIFY(!(a == b));
    QVERIFY(!(b == a));
    CanvasImage again;
    draw(again, false);
    QVERIFY(a == again);
}

QTEST_APPLESS_MAIN(tst_CanvasImage)
#include "tst_canvasimage.moc"
