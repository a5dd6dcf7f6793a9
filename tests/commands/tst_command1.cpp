// The analysis button: width bound, canvas width, pan range, listing and chart for one number.
#include "chart/chart.h"
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "ui/application.h"

#include <QtTest>

using Record = rt::CanvasImage::Record;
using Kind = rt::CanvasImage::Kind;

class tst_Command1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup();
    void pass_data();
    void pass();
    void chartOf75();
    void runsBeyondTheOldTableLimit();
    void overflowChangesNothing_data();
    void overflowChangesNothing();
    void pixels();
    void imageSurvivesPanning();

private:
    void analyse(const QString &text);
    // The chart's records of one kind, a run of vertical lines as its single lines.
    std::vector<Record> ops(Kind kind) const;
    QString labelText(const Record &text) const;
    support::Form1Fixture form;
};

void tst_Command1::init()
{
    QVERIFY(form.open());
}

void tst_Command1::cleanup()
{
    form.reset();
}

void tst_Command1::analyse(const QString &text)
{
    // With the scroll bar already at the rounded number, typing runs nothing by itself (as it
    // does out of the scroll bar's bounds); the click does.
    double v = 0;
    try {
        v = rt::Val(text.toStdString());
    } catch (const rt::RuntimeError &) {
    }
    if (v > 2.5 && v < 999.5)
        form.VScroll1()->setValue(rt::CInt(v));
    form.Text1()->setText(text);
    form.Command1()->click();
}

std::vector<Record> tst_Command1::ops(Kind kind) const
{
    std::vector<Record> out;
    for (const Record &r : form.picGraph()->image().records()) {
        if (r.kind == Kind::VerticalLines && kind == Kind::Line) {
            for (double x = r.x1; x <= r.x2; x += 1)
                out.push_back({Kind::Line, 0, 0, x, r.y1, x, r.y2, r.colour});
        } else if (r.kind == kind && (kind != Kind::Text || form.picGraph()->textReachesArea(r))) {
            out.push_back(r);
        }
    }
    return out;
}

QString tst_Command1::labelText(const Record &text) const
{
    return QString::fromStdString(form.picGraph()->image().labelText(text));
}

void tst_Command1::pass_data()
{
    QTest::addColumn<double>("canvasWidth");
    QTest::addColumn<int>("panMax");
    QTest::addColumn<int>("gridLines"); // recorded: those within the scale's width
    QTest::addColumn<QString>("listingStart");
    QTest::addColumn<int>("bars"); // recorded: those that begin within the scale's width

    QTest::newRow("75") << 85.0 << 75 << 76 << "\r\n 75 = 75\r\n 75 = 24 +...+  26" << 6;
    QTest::newRow("6000") << 5010.0 << 5000 << 5011 << "\r\n 6000 = 6000\r\n 6000 = 1999 +...+  2001" << 7;
    QTest::newRow("7.5") << 18.0 << 8 << 8 << "\r\n 7.5 = 7.5\r\n\r\nhalbierbare" << 1;
    QTest::newRow("6.5") << 16.0 << 6 << 7 << "\r\n 6.5 = 6.5\r\n 6.5 = 1.16666666666667 +...+  3.16666666666667" << 2;
    QTest::newRow("abc") << 10.0 << 0 << 1 << "\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine" << 0;
    QTest::newRow("empty") << 10.0 << 0 << 1 << "\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine" << 0;
    QTest::newRow("-5") << 5.0 << -5 << 0 << "\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine" << 0;
    // Below -10 the canvas stops at width 0; below -32768 the pan range at its end.
    QTest::newRow("-20") << 0.0 << -20 << 0 << "\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine" << 0;
    QTest::newRow("-40000") << 0.0 << -32768 << 0 << "\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine" << 0;
    QTest::newRow("2147483647") << 5010.0 << 5000 << 5011
                                << "\r\n 2147483647 = 2147483647\r\n 2147483647 = 1073741823 +...+  1073741824" << 0;
}

void tst_Command1::pass()
{
    QFETCH(double, canvasWidth);
    QFETCH(int, panMax);
    QFETCH(int, gridLines);
    QFETCH(QString, listingStart);
    QFETCH(int, bars);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    analyse(tag == QLatin1String("empty") ? QString() : tag);
    QVERIFY(form.errors().isEmpty());
    QCOMPARE(form->placement(form.picGraph()).Width(), float(canvasWidth));
    QCOMPARE(form.HScroll1()->Max(), panMax);
    QCOMPARE(int(ops(Kind::Line).size()), gridLines);
    QCOMPARE(int(ops(Kind::Box).size()), bars);
    QVERIFY2(form.txtSequenz()->Text().startsWith(listingStart), qPrintable(form.txtSequenz()->Text()));
    const std::string expected = form->state().listing;
    QCOMPARE(form.txtSequenz()->Text().toStdString(), expected);
    // The analysis scale: (0, 0) to (a + 10, 10).
    if (canvasWidth > 0) {
        const QRectF scale = form.picGraph()->scaleRect();
        QCOMPARE(scale.left(), 0.0);
        QCOMPARE(scale.top(), 0.0);
        QCOMPARE(scale.bottom(), 10.0);
        QCOMPARE(scale.right(), canvasWidth);
    }
    for (const Record &line : ops(Kind::Line))
        QCOMPARE(line.colour, chart::AnalysisGridColour);
}

void tst_Command1::chartOf75()
{
    analyse(QStringLiteral("75"));
    const auto lines = ops(Kind::Line);
    QCOMPARE(int(lines.size()), 76);
    for (int i = 0; i <= 75; ++i) {
        QCOMPARE(lines[std::size_t(i)].x1, double(i));
        QCOMPARE(lines[std::size_t(i)].x2, double(i));
        QCOMPARE(lines[std::size_t(i)].y1, 0.0);
        QCOMPARE(lines[std::size_t(i)].y2, 10.0);
    }
    struct Bar {
        double start, end;
        const char *label;
    };
    const Bar expected[] = {{75, 75, " 75 - 75 "}, {24, 26, " 24 - 26 "}, {13, 17, " 13 - 17 "},
                            {3, 12, " 3 - 12 "},   {10, 15, " 10 - 15 "}, {37, 38, " 37 - 38 "}};
    const auto boxes = ops(Kind::Box);
    const auto labels = ops(Kind::Text);
    QCOMPARE(int(boxes.size()), 6);
    QCOMPARE(int(labels.size()), 6);
    for (int k = 0; k < 6; ++k) {
        const Record &b = boxes[std::size_t(k)];
        const Bar &e = expected[k];
        QCOMPARE(b.x1, e.start - 1);
        QCOMPARE(b.x2, e.end);
        QCOMPARE(b.y1, double(k + 1)); // run k + 1 lies in row (k + 1) Mod 10
        QCOMPARE(b.y2, double(k + 2));
        QVERIFY(rt::RedOf(b.colour) <= 200 && rt::GreenOf(b.colour) <= 200 && rt::BlueOf(b.colour) <= 200);
        const Record &l = labels[std::size_t(k)];
        QCOMPARE(labelText(l), QString::fromLatin1(e.label));
        QCOMPARE(l.x1, e.start - 1);
        QCOMPARE(l.y1, double(k + 1));
        QCOMPARE(l.colour, rt::RGB(255, 255, 255));
    }
    // Every bar draws three fresh numbers: the same n again gets other colours.
    const std::int32_t first = boxes[0].colour;
    analyse(QStringLiteral("75"));
    QVERIFY(ops(Kind::Box)[0].colour != first || ops(Kind::Box)[1].colour != boxes[1].colour);
}

void tst_Command1::runsBeyondTheOldTableLimit()
{
    analyse(QStringLiteral("1576575"));
    QVERIFY(form.errors().isEmpty());
    QCOMPARE(int(form->state().runCount), 108);
    // Bars that begin beyond the scale's right edge cannot be seen and are not kept; the others
    // lie in row k Mod 10, so runs k and k + 10 share a row.
    std::vector<int> withinScale;
    for (int k = 1; k <= 108; ++k)
        if (form->state().runStart[std::size_t(k)] - 1 <= 5010)
            withinScale.push_back(k);
    const auto boxes = ops(Kind::Box);
    QCOMPARE(boxes.size(), withinScale.size());
    QVERIFY(withinScale.size() < 108);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        QCOMPARE(boxes[i].y1, double(withinScale[i] % 10));
    const QStringList lines = form.txtSequenz()->Text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^ 1576575 = "))).size(), 108);
}

void tst_Command1::overflowChangesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("2147483647.5") << "2147483647.5";
    QTest::newRow("3e9") << "3e9";
    QTest::newRow("-3e9") << "-3e9";
    QTest::newRow("1e400") << "1e400";
}

void tst_Command1::overflowChangesNothing()
{
    QFETCH(QString, text);
    analyse(QStringLiteral("6000"));
    const QString listing = form.txtSequenz()->Text();
    const rt::CanvasImage before = form.picGraph()->image();
    const double n = form->state().n;
    analyse(text);
    QCOMPARE(form.errors(), QList<int>{6});
    QCOMPARE(form.txtSequenz()->Text(), listing);
    QVERIFY(form.picGraph()->image() == before);
    QCOMPARE(form->placement(form.picGraph()).Width(), 5010.0f);
    QCOMPARE(form.HScroll1()->Max(), 5000);
    QCOMPARE(form->state().n, n);
}

void tst_Command1::pixels()
{
    analyse(QStringLiteral("75"));
    const QImage img = form.picGraph()->grab().toImage();
    const double unitX = img.width() / 85.0;
    const double unitY = img.height() / 10.0;
    auto at = [&](double x, double y) { return img.pixelColor(int(x * unitX), int(y * unitY)); };
    const auto boxes = ops(Kind::Box);
    // The lower right part of the bar of 3 to 12 (row 4), clear of its label and the grid.
    QCOMPARE(at(11.5, 4.9), rt::Canvas::toQColor(boxes[3].colour));
    // The ground between two grid lines in row 0, and beyond the grid's end.
    QCOMPARE(at(44.5, 0.5), rt::Canvas::toQColor(rt::RGB(128, 255, 255)));
    QCOMPARE(at(80.5, 5.5), rt::Canvas::toQColor(rt::RGB(128, 255, 255)));
    // A grid line in row 0 is drawn in the grid colour.
    bool gridSeen = false;
    for (int x = int(44 * unitX) - 1; x <= int(44 * unitX) + 1; ++x)
        gridSeen |= img.pixelColor(x, int(0.5 * unitY)) == rt::Canvas::toQColor(chart::AnalysisGridColour);
    QVERIFY(gridSeen);
    // The white label lies at the top-left of the bar of 24 to 26 (row 2).
    bool whiteSeen = false;
    for (int x = int(23 * unitX); x < int(26 * unitX); ++x)
        for (int y = int(2 * unitY); y < int(3 * unitY); ++y)
            whiteSeen |= img.pixelColor(x, y) == QColor(Qt::white);
    QVERIFY(whiteSeen);
}

void tst_Command1::imageSurvivesPanning()
{
    analyse(QStringLiteral("5000"));
    const QImage before = form.picGraph()->grab(QRect(0, 0, 600, 50)).toImage();
    const int leftBefore = form.picGraph()->x();
    form.HScroll1()->setValue(300);
    QCOMPARE(form->placement(form.picGraph()).Left(), -300.0f);
    QVERIFY(form.picGraph()->x() < leftBefore);
    QCoreApplication::processEvents();
    form.HScroll1()->setValue(0);
    QCoreApplication::processEvents();
    QCOMPARE(form.picGraph()->grab(QRect(0, 0, 600, 50)).toImage(), before);
    // A part that lay outside the frame when it was drawn is complete when panned into view:
    // the grid line at 4600 stands at the frame's left edge, and the ground right of it.
    form.HScroll1()->setValue(4600);
    QCOMPARE(form->placement(form.picGraph()).Left(), -4600.0f);
    const QImage frame = form.picContainer()->grab().toImage();
    const int inner = form.picContainer()->frameWidth();
    const double unit = 100 / rt::TwipsPerPixel();
    QCOMPARE(frame.pixelColor(inner, inner + 5), rt::Canvas::toQColor(chart::AnalysisGridColour));
    QCOMPARE(frame.pixelColor(inner + int(unit / 2), inner + 5), rt::Canvas::toQColor(rt::RGB(128, 255, 255)));
    QCOMPARE(frame.pixelColor(inner + int(unit * 10), inner + 5), rt::Canvas::toQColor(chart::AnalysisGridColour));
}

QTEST_MAIN(tst_Command1)
#include "tst_command1.moc"
