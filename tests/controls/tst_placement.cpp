#include "controls/placement.h"
#include "controls/runtime.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace {
const rt::Units Twips{1.0, 1.0, 0, 0};
// The chart frame: 100 twips across and 20 down to the unit, inside a one-pixel border.
const rt::Units Frame{100.0, 20.0, 2, 2};

void skipUnless15()
{
    if (rt::TwipsPerPixel() != 15.0)
        QSKIP("the pixel rows assume a 96 dpi screen");
}
} // namespace

class tst_Placement : public QObject {
    Q_OBJECT
private slots:
    void twipsPerPixel();
    void reportsBackAsAssigned_data();
    void reportsBackAsAssigned();
    void pixels_data();
    void pixels();
    void applyFollowsNewUnits();
    void takesOverWidgetGeometry();
    void screenInTwips();
};

void tst_Placement::twipsPerPixel()
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    QCOMPARE(rt::TwipsPerPixel(), 1440.0 / dpi);
}

void tst_Placement::reportsBackAsAssigned_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("512.25") << 512.25;
    QTest::newRow("19465.5") << 19465.5;
    QTest::newRow("93.15") << 93.15;
    QTest::newRow("-37.75") << -37.75;
    QTest::newRow("0.1") << 0.1;
    QTest::newRow("-5010") << -5010.0;
    QTest::newRow("-1") << -1.0;
}

void tst_Placement::reportsBackAsAssigned()
{
    QFETCH(double, value);
    QWidget widget;
    for (const rt::Units *units : {&Twips, &Frame}) {
        rt::Placement p(widget, *units);
        p.setLeft(value);
        p.setTop(value);
        p.setWidth(value);
        p.setHeight(value);
        const float expected = static_cast<float>(value);
        QCOMPARE(p.Left(), expected);
        QCOMPARE(p.Top(), expected);
        QCOMPARE(p.Width(), expected);
        QCOMPARE(p.Height(), expected);
        QVERIFY(widget.width() >= 0 && widget.height() >= 0);
    }
}

void tst_Placement::pixels_data()
{
    QTest::addColumn<bool>("frame");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("twips 360, 240, 9855, 495") << false << 360.0 << 240.0 << 9855.0 << 495.0 << QRect(24, 16, 657, 33);
    QTest::newRow("twips 512.25, 19465.5, 22.5, 7.5")
        << false << 512.25 << 19465.5 << 22.5 << 7.5 << QRect(34, 1298, 2, 1);
    QTest::newRow("twips 7.4, 7.6, 14, 16") << false << 7.4 << 7.6 << 14.0 << 16.0 << QRect(0, 1, 1, 1);
    QTest::newRow("twips width -30, height -0.1") << false << 0.0 << 0.0 << -30.0 << -0.1 << QRect(0, 0, 0, 0);
    QTest::newRow("frame 0, 0, 93.15, 30.75") << true << 0.0 << 0.0 << 93.15 << 30.75 << QRect(2, 2, 621, 41);
    QTest::newRow("frame -10, 36, 86, 18.75") << true << -10.0 << 36.0 << 86.0 << 18.75 << QRect(-65, 50, 573, 25);
}

void tst_Placement::pixels()
{
    skipUnless15();
    QFETCH(bool, frame);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QRect, expected);
    QWidget widget;
    rt::Placement p(widget, frame ? Frame : Twips, float(left), float(top), float(width), float(height));
    QCOMPARE(widget.geometry(), expected);
    // Assigning one by one ends in the same place.
    QWidget other;
    rt::Placement q(other, frame ? Frame : Twips);
    q.setLeft(left);
    q.setTop(top);
    q.setWidth(width);
    q.setHeight(height);
    QCOMPARE(other.geometry(), expected);
}

void tst_Placement::applyFollowsNewUnits()
{
    skipUnless15();
    QWidget widget;
    rt::Units units{100.0, 20.0, 0, 0};
    rt::Placement p(widget, units, 3, 15, 45, 30);
    QCOMPARE(widget.geometry(), QRect(20, 20, 300, 40));
    units.twipsPerUnitX = 200.0;
    units.originY = 5;
    p.apply();
    QCOMPARE(widget.geometry(), QRect(40, 25, 600, 40));
    QCOMPARE(p.Left(), 3.0f);
    QCOMPARE(p.Width(), 45.0f);
}

void tst_Placement::takesOverWidgetGeometry()
{
    skipUnless15();
    QWidget widget;
    widget.setGeometry(26, 18, 657, 33);
    rt::Placement p(widget, Frame);
    QCOMPARE(p.Left(), 3.6f);
    QCOMPARE(p.Top(), 12.0f);
    QCOMPARE(p.Width(), 98.55f);
    QCOMPARE(p.Height(), 24.75f);
    QCOMPARE(widget.geometry(), QRect(26, 18, 657, 33));
}

void tst_Placement::screenInTwips()
{
    const QSize px = QGuiApplication::primaryScreen()->geometry().size();
    QVERIFY(!px.isEmpty());
    const rt::ScreenSize screen = rt::PrimaryScreenTwips();
    QCOMPARE(screen.width, float(px.width() * rt::TwipsPerPixel()));
    QCOMPARE(screen.height, float(px.height() * rt::TwipsPerPixel()));
}

QTEST_MAIN(tst_Placement)
#include "tst_placement.moc"
