#include "platform/canvas.h"
#include "platform/runtime.h"
#include "rules/numrules.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

using rt::Canvas;
using rt::RGB;

constexpr std::int32_t Cyan = RGB(128, 255, 255);
constexpr std::int32_t Red = RGB(200, 0, 0);
constexpr std::int32_t Blue = RGB(0, 0, 255);
constexpr std::int32_t White = RGB(255, 255, 255);

QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// 200 x 100 pixels scaled 20 x 10, so one unit is ten pixels either way.
std::unique_ptr<Canvas> smallCanvas()
{
    auto canvas = std::make_unique<Canvas>();
    canvas->resize(200, 100);
    canvas->setBackColor(Cyan);
    canvas->Scale(0, 0, 20, 10);
    return canvas;
}

// What the window system shows of a top-level window; the plain render path when the platform
// cannot grab its screen.
QImage shown(QWidget &window)
{
    const QPixmap screen = window.screen()->grabWindow(window.winId());
    return screen.isNull() ? window.grab().toImage() : screen.toImage();
}

// A bar at x, counting how often it is drawn.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : -1;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void recordsOrDrops_data();
    void recordsOrDrops();
    void gridLoopKeepsOnlyVisibleLines();
    void flippedScale();
    void scaleWithoutAreaDrawsNothing();
    void clsClearsAndKeepsBackground();
    void currentPositionAfterLine_data();
    void currentPositionAfterLine();
    void printAtCurrentPositionInForeColor();
    void printBeyondEdgeDropped_data();
    void printBeyondEdgeDropped();
    void toQColor_data();
    void toQColor();
    void paintsBackgroundBoxLineAndLabel();
    void rescaleKeepsDrawingInPlace();
    void farAwayLineEndsPaint();
    void imageSurvivesMove();
    void wideCanvasPaintsVisibleStrip();
    void doEventsRepaints();
};

void TestCanvas::recordsOrDrops_data()
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
    row("line (0,11)-(5,11) below", false, 0, 11, 5, 11, false);
    row("line (2000,-5)-(-5,20) across", false, 2000, -5, -5, 20, true);
    row("box (1004,1)-(1010,2) beyond", true, 1004, 1, 1010, 2, false);
    row("box (-3,0)-(0,1) touching left edge", true, -3, 0, 0, 1, true);
    row("box (999,1)-(1010,2) across right edge", true, 999, 1, 1010, 2, true);
    row("box (5,-2)-(6,-1) above", true, 5, -2, 6, -1, false);
    row("line (nan,0)-(5,5)", false, std::nan(""), 0, 5, 5, false);
}

void TestCanvas::recordsOrDrops()
{
    QFETCH(bool, box);
    QFETCH(QRectF, corners);
    QFETCH(bool, kept);
    Canvas canvas;
    canvas.Scale(0, 0, 1000, 10);
    const QPointF a = corners.topLeft(), b = corners.bottomRight();
    if (box)
        canvas.LineBox(a.x(), a.y(), b.x(), b.y(), Red);
    else
        canvas.Line(a.x(), a.y(), b.x(), b.y(), Blue);
    QCOMPARE(canvas.operations().size(), kept ? 1u : 0u);
    if (kept) {
        const Canvas::Op &op = canvas.operations().front();
        QCOMPARE(op.kind, box ? Canvas::Kind::Box : Canvas::Kind::Line);
        QCOMPARE(op.x1, a.x());
        QCOMPARE(op.y2, b.y());
        QCOMPARE(op.colour, box ? Red : Blue);
    }
}

void TestCanvas::gridLoopKeepsOnlyVisibleLines()
{
    Canvas canvas;
    canvas.Scale(0, 0, 1000, 10);
    for (int i = 0; i <= 99999; ++i)
        canvas.Line(i, 0, i, 10, Blue);
    QCOMPARE(canvas.operations().size(), 1001u);
    QCOMPARE(canvas.operations().back().x1, 1000.0);
    QCOMPARE(canvas.CurrentX(), 99999.0);
}

void TestCanvas::flippedScale()
{
    auto canvas = smallCanvas();
    canvas->Scale(20, 10, 0, 0);
    canvas->Line(25, 0, 25, 10, Blue);
    QCOMPARE(canvas->operations().size(), 0u);
    canvas->LineBox(0, 0, 5, 5, Red);
    QCOMPARE(canvas->operations().size(), 1u);
    // With both axes flipped, (0, 0)-(5, 5) is the bottom-right quarter.
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 190, 90), Canvas::toQColor(Red));
    QCOMPARE(at(image, 150, 50), Canvas::toQColor(Red));
    QCOMPARE(at(image, 149, 49), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 10, 10), Canvas::toQColor(Cyan));
}

void TestCanvas::scaleWithoutAreaDrawsNothing()
{
    auto canvas = smallCanvas();
    canvas->Scale(0, 0, 0, 10);
    canvas->Line(0, 0, 0, 10, Blue);
    canvas->LineBox(0, 0, 1, 1, Red);
    canvas->setCurrentY(1);
    canvas->Print(QStringLiteral("x"));
    QCOMPARE(canvas->operations().size(), 0u);
    QCOMPARE(canvas->CurrentX(), 1.0);
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 0, 0), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 199, 99), Canvas::toQColor(Cyan));
}

void TestCanvas::clsClearsAndKeepsBackground()
{
    auto canvas = smallCanvas();
    canvas->LineBox(0, 0, 20, 10, Red);
    canvas->Line(3, 4, 5, 6, Blue);
    QCOMPARE(at(canvas->grab().toImage(), 100, 50), Canvas::toQColor(Red));
    canvas->Cls();
    QCOMPARE(canvas->operations().size(), 0u);
    QCOMPARE(canvas->CurrentX(), 0.0);
    QCOMPARE(canvas->CurrentY(), 0.0);
    QCOMPARE(at(canvas->grab().toImage(), 100, 50), Canvas::toQColor(Cyan));
}

void TestCanvas::currentPositionAfterLine_data()
{
    QTest::addColumn<bool>("box");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    QTest::newRow("line to (26, 2)") << false << 26.0 << 2.0;
    QTest::newRow("box to (26, 2)") << true << 26.0 << 2.0;
    QTest::newRow("box to (1e6, 0.1) off the area") << true << 1e6 << 0.1;
    QTest::newRow("line to (0.3, 7.7)") << false << 0.3 << 7.7;
}

void TestCanvas::currentPositionAfterLine()
{
    QFETCH(bool, box);
    QFETCH(double, x2);
    QFETCH(double, y2);
    Canvas canvas;
    canvas.Scale(0, 0, 86, 10);
    if (box)
        canvas.LineBox(23, 1, x2, y2, Red);
    else
        canvas.Line(23, 1, x2, y2, Red);
    // The position is kept in single precision.
    QCOMPARE(canvas.CurrentX(), double(float(x2)));
    QCOMPARE(canvas.CurrentY(), double(float(y2)));
}

void TestCanvas::printAtCurrentPositionInForeColor()
{
    Canvas canvas;
    canvas.Scale(0, 0, 86, 10);
    canvas.LineBox(23, 2, 26, 3, Red);
    canvas.setCurrentX(23);
    canvas.setCurrentY(canvas.CurrentY() - 1);
    canvas.setForeColor(White);
    canvas.Print(QStringLiteral(" 24 - 26 "));
    canvas.setForeColor(Blue);
    QCOMPARE(canvas.operations().size(), 2u);
    const Canvas::Op &label = canvas.operations().back();
    QCOMPARE(label.kind, Canvas::Kind::Text);
    QCOMPARE(label.x1, 23.0);
    QCOMPARE(label.y1, 2.0);
    QCOMPARE(label.colour, White);
    QCOMPARE(label.text, QStringLiteral(" 24 - 26 "));
}

void TestCanvas::printBeyondEdgeDropped_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("kept");
    QTest::newRow("(999, 1)") << 999.0 << 1.0 << true;
    QTest::newRow("(1005, 1)") << 1005.0 << 1.0 << false;
    QTest::newRow("(10, 11)") << 10.0 << 11.0 << false;
    QTest::newRow("(-100000, 1)") << -100000.0 << 1.0 << false;
}

void TestCanvas::printBeyondEdgeDropped()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, kept);
    Canvas canvas;
    canvas.resize(500, 60);
    canvas.Scale(0, 0, 1000, 10);
    canvas.setCurrentX(x);
    canvas.setCurrentY(y);
    canvas.Print(QStringLiteral(" 1001 - 1002 "));
    QCOMPARE(canvas.operations().size(), kept ? 1u : 0u);
}

void TestCanvas::toQColor_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("RGB(128, 255, 255)") << int(RGB(128, 255, 255)) << QColor(128, 255, 255);
    QTest::newRow("RGB(100, 100, 200)") << int(RGB(100, 100, 200)) << QColor(100, 100, 200);
    QTest::newRow("RGB(1, 2, 3)") << int(RGB(1, 2, 3)) << QColor(1, 2, 3);
    QTest::newRow("RGB(0, 0, 255)") << int(RGB(0, 0, 255)) << QColor(0, 0, 255);
    QTest::newRow("RGB(255, 255, 255)") << int(RGB(255, 255, 255)) << QColor(255, 255, 255);
}

void TestCanvas::toQColor()
{
    QFETCH(int, colour);
    QFETCH(QColor, expected);
    QCOMPARE(Canvas::toQColor(colour), expected);
}

void TestCanvas::paintsBackgroundBoxLineAndLabel()
{
    auto canvas = smallCanvas();
    canvas->show();
    QVERIFY(QTest::qWaitForWindowExposed(canvas.get()));
    canvas->LineBox(2, 1, 8, 6, Red);  // pixels 20..79 x 10..59
    canvas->Line(10, 0, 10, 10, Blue); // column 100
    canvas->setCurrentX(2);
    canvas->setCurrentY(1);
    canvas->setForeColor(White);
    canvas->Print(QStringLiteral("88"));
    const QImage image = canvas->grab().toImage();

    QCOMPARE(at(image, 150, 80), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 75, 55), Canvas::toQColor(Red));
    QCOMPARE(at(image, 20, 55), Canvas::toQColor(Red));
    QCOMPARE(at(image, 79, 55), Canvas::toQColor(Red));
    QCOMPARE(at(image, 19, 55), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 80, 55), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 75, 60), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 100, 50), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 99, 50), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 101, 50), Canvas::toQColor(Cyan));

    // The label lies inside the bar from its top-left corner on.
    const QFontMetrics fm(canvas->font());
    int white = 0, whiteOutsideLabel = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == Canvas::toQColor(White)) {
                ++white;
                if (x < 20 || y < 10 || x >= 20 + fm.horizontalAdvance(QStringLiteral("88")) + 2
                    || y >= 10 + fm.height())
                    ++whiteOutsideLabel;
            }
    QVERIFY(white > 0);
    QCOMPARE(whiteOutsideLabel, 0);
}

void TestCanvas::rescaleKeepsDrawingInPlace()
{
    auto canvas = smallCanvas();
    canvas->LineBox(2, 1, 8, 6, Red);
    const QImage before = canvas->grab().toImage();
    canvas->Scale(0, 0, 40, 20);
    QCOMPARE(canvas->operations().front().x2, 16.0);
    QCOMPARE(canvas->operations().front().y2, 12.0);
    QCOMPARE(canvas->grab().toImage(), before);
    // A scale without area leaves what is drawn where it is.
    canvas->Scale(5, 5, 5, 5);
    QCOMPARE(canvas->grab().toImage(), before);
}

void TestCanvas::farAwayLineEndsPaint()
{
    auto canvas = smallCanvas();
    canvas->Line(-1e12, 5, 1e12, 5, Blue);
    QCOMPARE(canvas->operations().size(), 1u);
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 0, 50), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 199, 50), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 100, 49), Canvas::toQColor(Cyan));
}

void TestCanvas::imageSurvivesMove()
{
    QWidget frame;
    frame.resize(300, 120);
    auto *canvas = new Canvas(&frame);
    canvas->setGeometry(0, 0, 200, 100);
    canvas->setBackColor(Cyan);
    canvas->Scale(0, 0, 20, 10);
    for (int i = 0; i <= 20; ++i)
        canvas->Line(i, 0, i, 10, Blue);
    canvas->LineBox(6, 2, 9, 4, Red);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE(at(shown(frame), 65, 30), Canvas::toQColor(Red));
    const QImage before = shown(frame);

    // Panning by 50 pixels: nothing is drawn again, the canvas repaints itself from its image.
    canvas->move(-50, 0);
    QTRY_COMPARE(at(shown(frame), 15, 30), Canvas::toQColor(Red));
    const QImage after = shown(frame);
    for (int y : {5, 30, 95})
        for (int x = 0; x < 150; ++x)
            QCOMPARE(at(after, x, y), at(before, x + 50, y));
    QCOMPARE(canvas->operations().size(), 22u);
}

void TestCanvas::wideCanvasPaintsVisibleStrip()
{
    QWidget frame;
    frame.resize(400, 100);
    auto *canvas = new Canvas(&frame);
    // 30000 x 2000 pixels: as one image buffer that would be some 240 MB.
    canvas->setGeometry(-20000, 0, 30000, 2000);
    canvas->setBackColor(Cyan);
    canvas->Scale(0, 0, 3000, 200); // ten pixels to the unit
    const qint64 rssBefore = residentBytes();
    for (int i = 0; i <= 3000; ++i)
        canvas->Line(i, 0, i, 200, Blue);
    canvas->LineBox(2010, 2, 2015, 5, Red); // frame pixels 100..149 x 20..49
    canvas->setCurrentX(2010);
    canvas->setCurrentY(2);
    canvas->setForeColor(White);
    canvas->Print(QStringLiteral(" 2011 - 2015 "));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(!canvas->testAttribute(Qt::WA_NativeWindow));
    QCOMPARE(canvas->internalWinId(), WId(0));

    QTRY_COMPARE(at(shown(frame), 140, 45), Canvas::toQColor(Red));
    const QImage image = shown(frame);
    QCOMPARE(at(image, 0, 70), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 10, 70), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 390, 70), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 5, 70), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 99, 45), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 150, 45), Canvas::toQColor(Blue)); // the grid line at 2015
    QCOMPARE(at(image, 151, 45), Canvas::toQColor(Cyan));
    bool label = false;
    for (int x = 100; x < 150 && !label; ++x)
        for (int y = 20; y < 50 && !label; ++y)
            label = at(image, x, y) == Canvas::toQColor(White);
    QVERIFY(label);

    const qint64 rssAfter = residentBytes();
    if (rssBefore < 0 || rssAfter < 0)
        QSKIP("no resident size to compare on this system");
    QVERIFY2(rssAfter - rssBefore < 64 * 1024 * 1024,
             qPrintable(QStringLiteral("grew by %1 bytes").arg(rssAfter - rssBefore)));
}

void TestCanvas::doEventsRepaints()
{
    QWidget frame;
    frame.resize(200, 100);
    auto *canvas = new Canvas(&frame);
    canvas->setGeometry(0, 0, 200, 100);
    canvas->setBackColor(Cyan);
    canvas->Scale(0, 0, 20, 10);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE(at(shown(frame), 50, 50), Canvas::toQColor(Cyan));
    canvas->LineBox(0, 0, 20, 10, Red);
    // Drawing only asks for a repaint; one turn of the event loop, as between two slices of a
    // search, must carry it out.
    QCOMPARE(at(shown(frame), 50, 50), Canvas::toQColor(Cyan));
    QCoreApplication::processEvents();
    QCOMPARE(at(shown(frame), 50, 50), Canvas::toQColor(Red));
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
