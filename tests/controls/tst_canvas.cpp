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
    canvas->draw().Scale(0, 0, 20, 10);
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
    void drawingIsShown_data();
    void drawingIsShown();
};

void tst_Canvas::flippedScale()
{
    auto canvas = smallCanvas();
    canvas->draw().Scale(20, 10, 0, 0);
    canvas->draw().LineBox(0, 0, 5, 5, Red);
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
    rt::CanvasImage &chart = canvas->draw();
    chart.Scale(0, 0, 0, 10);
    chart.Line(0, 0, 0, 10, Blue);
    chart.LineBox(0, 0, 1, 1, Red);
    chart.setCurrentY(1);
    chart.Print("x");
    const QImage image = canvas->grab().toImage();
    QCOMPARE(at(image, 0, 0), Canvas::toQColor(Cyan));
    QCOMPARE(at(image, 199, 99), Canvas::toQColor(Cyan));
}

void tst_Canvas::clsClearsAndKeepsBackground()
{
    auto canvas = smallCanvas();
    canvas->draw().LineBox(0, 0, 20, 10, Red);
    canvas->draw().Line(3, 4, 5, 6, Blue);
    QCOMPARE(at(canvas->grab().toImage(), 100, 50), Canvas::toQColor(Red));
    canvas->draw().Cls();
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
    rt::CanvasImage &chart = canvas->draw();
    chart.LineBox(2, 1, 8, 6, Red);  // pixels 20..79 x 10..59
    chart.Line(10, 0, 10, 10, Blue); // column 100
    chart.setCurrentX(2);
    chart.setCurrentY(1);
    chart.setForeColor(White);
    chart.Print("88");
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
    canvas->draw().LineBox(2, 1, 8, 6, Red);
    const QImage before = canvas->grab().toImage();
    canvas->draw().Scale(0, 0, 40, 20);
    QCOMPARE(canvas->grab().toImage(), before);
    // A scale without area leaves what is drawn where it is.
    canvas->draw().Scale(5, 5, 5, 5);
    QCOMPARE(canvas->grab().toImage(), before);
}

void tst_Canvas::farAwayLineEndsPaint()
{
    auto canvas = smallCanvas();
    canvas->draw().Line(-1e12, 5, 1e12, 5, Blue);
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
    canvas->draw().Scale(0, 0, 20, 10);
    for (int i = 0; i <= 20; ++i)
        canvas->draw().Line(i, 0, i, 10, Blue);
    canvas->draw().LineBox(6, 2, 9, 4, Red);
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
    rt::CanvasImage &chart = canvas->draw();
    chart.Scale(0, 0, 3000, 200); // ten pixels to the unit
    const qint64 rssBefore = residentBytes();
    for (int i = 0; i <= 3000; ++i)
        chart.Line(i, 0, i, 200, Blue);
    chart.LineBox(2010, 2, 2015, 5, Red); // frame pixels 100..149 x 20..49
    chart.setCurrentX(2010);
    chart.setCurrentY(2);
    chart.setForeColor(White);
    chart.Print(" 2011 - 2015 ");
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

void tst_Canvas::drawingIsShown_data()
{
    // What is drawn on the canvas of smallCanvas with a red box, each change visible; and whether
    // it is drawn as the slice of a search draws, while the pacer's work runs.
    QTest::addColumn<int>("drawing");
    QTest::addColumn<bool>("paced");
    const char *drawings[] = {"Cls, a blue box", "another scale, a line", "a label", "a line, then Cls"};
    for (int d = 0; d < 4; ++d)
        for (const bool paced : {false, true})
            QTest::addRow("%s, %s", drawings[d], paced ? "in a slice" : "at once") << d << paced;
}

void tst_Canvas::drawingIsShown()
{
    QFETCH(int, drawing);
    QFETCH(bool, paced);
    // Each drawing call asks the canvas for its image, as the chart does for every bar.
    const auto draw = [drawing](Canvas &c) {
        switch (drawing) {
        case 0:
            c.draw().Cls();
            c.draw().LineBox(0, 0, 10, 5, Blue);
            break;
        case 1:
            c.draw().Scale(0, 0, 40, 20);
            c.draw().Line(0, 10, 40, 10, Blue);
            break;
        case 2:
            c.draw().setCurrentX(10);
            c.draw().setCurrentY(7);
            c.draw().setForeColor(White);
            c.draw().Print({1.0, "-", 2.0});
            break;
        case 3:
            c.draw().Line(0, 5, 20, 5, Blue);
            c.draw().Cls();
            break;
        }
    };
    // The window on the screen, and how often its canvas has painted.
    QWidget frame;
    frame.resize(200, 100);
    auto *canvas = new Canvas(&frame);
    canvas->setGeometry(0, 0, 200, 100);
    canvas->setBackColor(Cyan);
    rt::FramePacer pacer;
    canvas->setPacer(pacer);
    canvas->draw().Scale(0, 0, 20, 10);
    canvas->draw().LineBox(2, 1, 8, 6, Red);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE(at(shown(frame), 50, 30), Canvas::toQColor(Red));
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    canvas->installEventFilter(&paints);
    // The same drawing on a canvas of its own, as the screen must come to show it.
    auto reference = smallCanvas();
    reference->draw().LineBox(2, 1, 8, 6, Red);
    draw(*reference);
    const QImage expected = reference->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(shown(frame).convertToFormat(QImage::Format_RGB32) != expected);

    if (paced) {
        const rt::FramePacer::Work work(pacer);
        draw(*canvas);
    } else {
        draw(*canvas);
    }
    QTRY_COMPARE(shown(frame).convertToFormat(QImage::Format_RGB32), expected);
    // However many calls drew it, it takes one paint.
    QTest::qWait(50);
    QCOMPARE(paints.count, 1);
}

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
