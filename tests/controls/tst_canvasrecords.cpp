// The canvas's compact records against the single drawing calls they stand for: a run of vertical
// lines against a loop of Line, a Print list against the text it writes. The same image, the same
// current position, the same pixels, also after a rescale; and which kept texts reach into the
// area, which takes the widget's size and font.
#include "controls/canvas.h"
#include "rules/numrules.h"

#include <QFontMetrics>
#include <QTest>

namespace {

constexpr std::int32_t Blue = rt::RGB(0, 0, 255);
constexpr std::int32_t Cyan = rt::RGB(128, 255, 255);
constexpr std::int32_t White = rt::RGB(255, 255, 255);

void prepare(rt::Canvas &c, const QRectF &scale)
{
    c.resize(300, 80);
    c.setBackColor(rt::RGB(128, 255, 255));
    c.draw().Scale(scale.left(), scale.top(), scale.right(), scale.bottom());
}

} // namespace

class tst_CanvasRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void verticalLines_data();
    void verticalLines();
    void printList_data();
    void printList();
    void textReachesArea_data();
    void textReachesArea();
    void textWithoutSizeKept();
};

void tst_CanvasRecords::verticalLines_data()
{
    // Scale corners, first and last x, the lines' y range.
    QTest::addColumn<QRectF>("scale");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::addColumn<QPointF>("ys");
    QTest::newRow("search grid to 1500") << QRectF(QPointF(0, 0), QPointF(1000, 10)) << 0.0 << 1500.0 << QPointF(0, 10);
    QTest::newRow("analysis grid of 75") << QRectF(QPointF(0, 0), QPointF(85, 10)) << 0.0 << 75.0 << QPointF(0, 10);
    QTest::newRow("grid of 7.5") << QRectF(QPointF(0, 0), QPointF(18, 10)) << 0.0 << 7.5 << QPointF(0, 10);
    QTest::newRow("flipped scale") << QRectF(QPointF(20, 10), QPointF(0, 0)) << -5.0 << 30.0 << QPointF(0, 10);
    QTest::newRow("half-unit starts") << QRectF(QPointF(0, 0), QPointF(3.5, 1)) << -2.5 << 9.0 << QPointF(0.25, 0.5);
    QTest::newRow("left of the area") << QRectF(QPointF(100, 0), QPointF(200, 10)) << 0.0 << 99.0 << QPointF(0, 10);
    QTest::newRow("touching the left edge")
        << QRectF(QPointF(100, 0), QPointF(200, 10)) << 0.0 << 100.0 << QPointF(0, 10);
    QTest::newRow("touching the bottom edge")
        << QRectF(QPointF(0, 0), QPointF(10, 10)) << 0.0 << 5.0 << QPointF(10, 12);
    QTest::newRow("a single line") << QRectF(QPointF(0, 0), QPointF(10, 10)) << 2.0 << 2.0 << QPointF(0, 10);
    QTest::newRow("below the area") << QRectF(QPointF(0, 0), QPointF(100, 10)) << 0.0 << 50.0 << QPointF(11, 12);
    QTest::newRow("scale without width") << QRectF(QPointF(5, 0), QPointF(5, 10)) << 0.0 << 10.0 << QPointF(0, 10);
    QTest::newRow("last before first") << QRectF(QPointF(0, 0), QPointF(10, 10)) << 4.0 << 3.0 << QPointF(0, 10);
}

void tst_CanvasRecords::verticalLines()
{
    QFETCH(QRectF, scale);
    QFETCH(double, first);
    QFETCH(double, last);
    QFETCH(QPointF, ys);
    rt::Canvas runs, loop;
    prepare(runs, scale);
    prepare(loop, scale);
    runs.draw().VerticalLines(first, last, ys.x(), ys.y(), Blue);
    for (double x = first; x <= last; x += 1)
        loop.draw().Line(x, ys.x(), x, ys.y(), Blue);
    // One record at most, standing for exactly the lines the loop keeps.
    QVERIFY(runs.image().records().size() <= 1);
    QCOMPARE(runs.image().records().empty(), loop.image().records().empty());
    QVERIFY(runs.image() == loop.image());
    QCOMPARE(runs.image().CurrentX(), loop.image().CurrentX());
    QCOMPARE(runs.image().CurrentY(), loop.image().CurrentY());
    QCOMPARE(runs.grab().toImage(), loop.grab().toImage());
    // What is drawn stays in place when the scale changes.
    runs.draw().Scale(0, 0, scale.width() * 2 + 1, 20);
    loop.draw().Scale(0, 0, scale.width() * 2 + 1, 20);
    QVERIFY(runs.image() == loop.image());
    QCOMPARE(runs.grab().toImage(), loop.grab().toImage());
}

void tst_CanvasRecords::printList_data()
{
    // charsLeft: the corner lies that many of the font's widest characters left of the area.
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("end");
    QTest::addColumn<QPointF>("corner");
    QTest::addColumn<double>("charsLeft");
    QTest::addColumn<bool>("shown"); // kept, and reaching into the area
    QTest::newRow("24 - 26") << 24.0 << 26.0 << QPointF(23, 2) << 0.0 << true;
    QTest::newRow("fractions") << 7.5 << 0.25 << QPointF(6.5, 1) << 0.0 << true;
    QTest::newRow("negative") << -3.0 << 1e15 << QPointF(0, 0) << 0.0 << true;
    QTest::newRow("long label reaching in") << 999999999.0 << 1000000001.0 << QPointF(0, 3) << 12.0 << true;
    QTest::newRow("short label not reaching in") << 1.0 << 2.0 << QPointF(0, 3) << 12.0 << false;
    QTest::newRow("right of the area") << 1.0 << 2.0 << QPointF(90.5, 3) << 0.0 << false;
}

void tst_CanvasRecords::printList()
{
    QFETCH(double, start);
    QFETCH(double, end);
    QFETCH(QPointF, corner);
    QFETCH(double, charsLeft);
    QFETCH(bool, shown);
    rt::Canvas list, text;
    for (rt::Canvas *c : {&list, &text}) {
        prepare(*c, QRectF(0, 0, 86, 10));
        const double x = corner.x() - charsLeft * QFontMetrics(c->font()).maxWidth() * 86 / c->width();
        rt::CanvasImage &image = c->draw();
        image.setCurrentX(x);
        image.setCurrentY(corner.y());
        image.setForeColor(rt::RGB(255, 255, 255));
    }
    list.draw().Print({start, "-", end});
    text.draw().Print(rt::PrintNumber(start) + "-" + rt::PrintNumber(end));
    QVERIFY(list.image() == text.image());
    // Whether the text reaches into the area takes the font, and is the same for both.
    for (const rt::Canvas *c : {&list, &text}) {
        const auto &records = c->image().records();
        QCOMPARE(!records.empty() && c->textReachesArea(records.front()), shown);
    }
    QCOMPARE(list.grab().toImage(), text.grab().toImage());
}

void tst_CanvasRecords::textReachesArea_data()
{
    // In a scale of one unit to the pixel: the corner lies that many of the font's widest
    // characters left of the area and that many line heights above it.
    QTest::addColumn<double>("charsLeft");
    QTest::addColumn<double>("linesUp");
    QTest::addColumn<bool>("reaches");
    QTest::newRow("inside") << 0.0 << 0.0 << true;
    QTest::newRow("12 characters left") << 12.0 << 0.0 << true;
    QTest::newRow("13 characters left") << 13.0 << 0.0 << true;
    QTest::newRow("13 characters and a bit left") << 13.0 + 1e-3 << 0.0 << false;
    QTest::newRow("20000 characters left") << 20000.0 << 0.0 << false;
    QTest::newRow("a line up") << 0.0 << 1.0 << true;
    QTest::newRow("a line and a bit up") << 0.0 << 1.25 << false;
    QTest::newRow("12 characters left, a line up") << 12.0 << 1.0 << true;
}

void tst_CanvasRecords::textReachesArea()
{
    QFETCH(double, charsLeft);
    QFETCH(double, linesUp);
    QFETCH(bool, reaches);
    const std::string text = " 1001 - 1002 "; // 13 characters
    rt::Canvas canvas;
    canvas.resize(500, 60);
    canvas.setBackColor(Cyan);
    rt::CanvasImage &image = canvas.draw();
    image.Scale(0, 0, 500, 60);
    const QFontMetrics fm(canvas.font());
    QVERIFY(fm.maxWidth() > 0);
    image.setCurrentX(-charsLeft * fm.maxWidth());
    image.setCurrentY(-linesUp * fm.height());
    image.setForeColor(White);
    image.Print(text);
    // The image keeps every text left of or above the area; how far it reaches takes the font.
    QCOMPARE(canvas.image().records().size(), 1u);
    QCOMPARE(canvas.textReachesArea(canvas.image().records().front()), reaches);
}

void tst_CanvasRecords::textWithoutSizeKept()
{
    // Before it has a size the canvas cannot tell how far a text reaches: it keeps it.
    rt::Canvas canvas;
    canvas.resize(0, 0);
    rt::CanvasImage &image = canvas.draw();
    image.Scale(0, 0, 1000, 10);
    image.setCurrentX(-100000);
    image.Print("x");
    QCOMPARE(canvas.image().records().size(), 1u);
    QVERIFY(canvas.textReachesArea(canvas.image().records().front()));
    canvas.resize(500, 60);
    QVERIFY(!canvas.textReachesArea(canvas.image().records().front()));
}

QTEST_MAIN(tst_CanvasRecords)
#include "tst_canvasrecords.moc"
