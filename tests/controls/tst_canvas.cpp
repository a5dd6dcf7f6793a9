#include "controls/canvas.h"
#include "controls/framepacer.h"
#include "controls/runtime.h"
#include "rules/numrules.h"

#include <QFile>
#include <QFontMetrics>
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

class tst_Canvas : public QObject {
    Q_OBJECT
private slots:
    void drawingReachesTheImage();
    void flippedScale();
    void scaleWithoutAreaDrawsNothing();
    void clsClearsAndKeepsBackground();
    void toQColor_data();
    void toQColor();
    void paintsBackgroundBoxLineAndLabel();
    void rescaleKeepsDrawingInPlace();
    void farAwayLineEndsPaint();
    void imageSurvivesMove();
    void wideCanvasPaintsVisibleStrip();
    void doEventsRepaints();
    void lagsWhilePaced_data();
    void lagsWhilePaced();
};

void tst_Canvas::drawingReachesTheImage()
{
    // Every drawing call of the widget does to its image what the same call does to an image,
    // texts beyond ASCII included.
    const auto draw = [](auto &c, auto text) {
        c.Scale(0, 0, 86, 10);
        c.VerticalLines(-3, 90, 0, 10, Blue);
        c.Line(1, 2, 30, 4, Red);
        c.LineBox(23, 2, 26, 3, Red);
        c.setCurrentX(23);
        c.setCurrentY(c.CurrentY() - 1);
        c.setForeColor(White);
        c.Print({24.0, text("-"), 26.0});
        c.Print(text("Größe €"));
        c.Print({text("ä"), 1.5});
    };
    Canvas canvas;
    rt::CanvasImage image;
    draw(canvas, [](const char *t) { return QString::fromUtf8(t); });
    draw(image, [](const char *t) { return std::string(t); });
    QCOMPARE(canvas.image().records().size(), 6u);
    QVERIFY(canvas.image() == image);
    QCOMPARE(canvas.image().labelText(canvas.image().records().back()), std::string("ä 1.5 "));
    canvas.Scale(0, 0, 43, 20);
    image.Scale(0, 0, 43, 20);
    QCOMPARE(canvas.scaleRect(), QRectF(0, 0, 43, 20));
    QVERIFY(canvas.image() == image);
    canvas.Cls();
    QVERIFY(!(canvas.image() == image));
    image.Cls();
    QVERIFY(canvas.image() == image);
}

void tst_Canvas::flippedScale()
{
    auto canvas = smallCanvas();
    canvas->Scale(20, 10, 0, 0);
    canvas->LineBox(0, 0, 5, 5, Red);
    // With both axes flipped, (0, 0)-(5, 5) is the bottom-right quarter.
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 190, 90), Canvas::toQColor(Red));
    QCOMPARE(at(image, 150, 50), Canvas::toQColor(Red));
    QCOMPARE(at(image, 149, 49), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 10, 10), Canvas::toQColor(Cyan));
}

void tst_Canvas::scaleWithoutAreaDrawsNothing()
{
    auto canvas = smallCanvas();
    canvas->Scale(0, 0, 0, 10);
    canvas->Line(0, 0, 0, 10, Blue);
    canvas->LineBox(0, 0, 1, 1, Red);
    canvas->setCurrentY(1);
    canvas->Print(QStringLiteral("x"));
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 0, 0), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 199, 99), Canvas::toQColor(Cyan));
}

void tst_Canvas::clsClearsAndKeepsBackground()
{
    auto canvas = smallCanvas();
    canvas->LineBox(0, 0, 20, 10, Red);
    canvas->Line(3, 4, 5, 6, Blue);
    QCOMPARE(at(canvas->grab().toImage(), 100, 50), Canvas::toQColor(Red));
    canvas->Cls();
    QCOMPARE(at(canvas->grab().toImage(), 100, 50), Canvas::toQColor(Cyan));
}

void tst_Canvas::toQColor_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("RGB(128, 255, 255)") << int(RGB(128, 255, 255)) << QColor(128, 255, 255);
    QTest::newRow("RGB(100, 100, 200)") << int(RGB(100, 100, 200)) << QColor(100, 100, 200);
    QTest::newRow("RGB(1, 2, 3)") << int(RGB(1, 2, 3)) << QColor(1, 2, 3);
    QTest::newRow("RGB(0, 0, 255)") << int(RGB(0, 0, 255)) << QColor(0, 0, 255);
    QTest::newRow("RGB(255, 255, 255)") << int(RGB(255, 255, 255)) << QColor(255, 255, 255);
}

void tst_Canvas::toQColor()
{
    QFETCH(int, colour);
    QFETCH(QColor, expected);
    QCOMPARE(Canvas::toQColor(colour), expected);
}

void tst_Canvas::paintsBackgroundBoxLineAndLabel()
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

void tst_Canvas::rescaleKeepsDrawingInPlace()
{
    auto canvas = smallCanvas();
    canvas->LineBox(2, 1, 8, 6, Red);
    const QImage before = canvas->grab().toImage();
    canvas->Scale(0, 0, 40, 20);
    QCOMPARE(canvas->grab().toImage(), before);
    // A scale without area leaves what is drawn where it is.
    canvas->Scale(5, 5, 5, 5);
    QCOMPARE(canvas->grab().toImage(), before);
}

void tst_Canvas::farAwayLineEndsPaint()
{
    auto canvas = smallCanvas();
    canvas->Line(-1e12, 5, 1e12, 5, Blue);
    QCOMPARE(canvas->image().records().size(), 1u);
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 0, 50), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 199, 50), Canvas::toQColor(Blue));
    QCOMPARE(at(image, 100, 49), Canvas::toQColor(Cyan));
}

void tst_Canvas::imageSurvivesMove()
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
    QCOMPARE(canvas->image().records().size(), 22u);
}

void tst_Canvas::wideCanvasPaintsVisibleStrip()
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

void tst_Canvas::doEventsRepaints()
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

void tst_Canvas::lagsWhilePaced_data()
{
    // What is drawn while the pacer's work runs, on the canvas of smallCanvas with a red box, and
    // whether the widget lags for it and so catches up when the work ends.
    QTest::addColumn<int>("drawing");
    QTest::addColumn<bool>("lags");
    QTest::newRow("Cls, a blue box") << 0 << true;
    QTest::newRow("a line beyond the right edge") << 1 << false;
    QTest::newRow("the same scale again") << 2 << false;
    QTest::newRow("a text below the area") << 3 << false;
    QTest::newRow("another scale") << 4 << true;
    QTest::newRow("a line, then Cls") << 5 << true;
}

void tst_Canvas::lagsWhilePaced()
{
    QFETCH(int, drawing);
    QFETCH(bool, lags);
    auto draw = [drawing](Canvas &c) {
        switch (drawing) {
        case 0:
            c.Cls();
            c.LineBox(0, 0, 10, 5, Blue);
            break;
        case 1:
            c.Line(30, 0, 30, 10, Blue);
            break;
        case 2:
            c.Scale(0, 0, 20, 10);
            break;
        case 3:
            c.setCurrentY(11);
            c.Print(QStringLiteral("x"));
            break;
        case 4:
            c.Scale(0, 0, 40, 20);
            break;
        case 5:
            c.Line(0, 5, 20, 5, Blue);
            c.Cls();
            break;
        }
    };
    rt::FramePacer pacer;
    auto canvas = smallCanvas();
    canvas->setPacer(&pacer);
    canvas->LineBox(2, 1, 8, 6, Red);
    auto reference = smallCanvas();
    reference->LineBox(2, 1, 8, 6, Red);
    draw(*reference);
    const QImage before = canvas->grab().toImage();
    const quint64 frames = pacer.framesShown();
    {
        const rt::FramePacer::Work work(pacer);
        draw(*canvas);
        // Until the work ends the widget shows what it showed before.
        QCOMPARE(canvas->grab().toImage(), before);
        QVERIFY(canvas->image() == reference->image());
    }
    QCOMPARE(pacer.framesShown() - frames, lags ? 1u : 0u);
    QCOMPARE(canvas->grab().toImage(), reference->grab().toImage());
}

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
