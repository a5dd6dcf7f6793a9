// The canvas's compact records against the single drawing calls they stand for: a run of vertical
// lines against a loop of Line, a Print list against the text it writes. The same image, the same
// current position, the same pixels, also after a rescale.
#include "platform/canvas.h"
#include "rules/numrules.h"

#include <QFontMetrics>
#include <QTest>

namespace {

constexpr std::int32_t Blue = rt::RGB(0, 0, 255);

void prepare(rt::Canvas &c, const QRectF &scale)
{
    c.resize(300, 80);
    c.setBackColor(rt::RGB(128, 255, 255));
    c.Scale(scale.left(), scale.top(), scale.right(), scale.bottom());
}

} // namespace

class tst_CanvasRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void verticalLines_data();
    void verticalLines();
    void printList_data();
    void printList();
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
    QTest::newRow("touching the left edge") << QRectF(QPointF(100, 0), QPointF(200, 10)) << 0.0 << 100.0 << QPointF(0, 10);
    QTest::newRow("touching the bottom edge") << QRectF(QPointF(0, 0), QPointF(10, 10)) << 0.0 << 5.0 << QPointF(10, 12);
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
    runs.VerticalLines(first, last, ys.x(), ys.y(), Blue);
    for (double x = first; x <= last; x += 1)
        loop.Line(x, ys.x(), x, ys.y(), Blue);
    // One record at most, standing for exactly the lines the loop keeps.
    QVERIFY(runs.image().records().size() <= 1);
    QCOMPARE(runs.image().records().empty(), loop.image().records().empty());
    QVERIFY(runs.image() == loop.image());
    QCOMPARE(runs.CurrentX(), loop.CurrentX());
    QCOMPARE(runs.CurrentY(), loop.CurrentY());
    QCOMPARE(runs.grab().toImage(), loop.grab().toImage());
    // What is drawn stays in place when the scale changes.
    runs.Scale(0, 0, scale.width() * 2 + 1, 20);
    loop.Scale(0, 0, scale.width() * 2 + 1, 20);
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
        c->setCurrentX(x);
        c->setCurrentY(corner.y());
        c->setForeColor(rt::RGB(255, 255, 255));
    }
    list.Print({start, QStringLiteral("-"), end});
    text.Print(QString::fromStdString(rt::PrintNumber(start) + "-" + rt::PrintNumber(end)));
    QVERIFY(list.image() == text.image());
    // Whether the text reaches into the area takes the font, and is the same for both.
    for (const rt::Canvas *c : {&list, &text}) {
        const auto &records = c->image().records();
        QCOMPARE(!records.empty() && c->textReachesArea(records.front()), shown);
    }
    QCOMPARE(list.grab().toImage(), text.grab().toImage());
}

QTEST_MAIN(tst_CanvasRecords)
#include "tst_canvasrecords.moc"
