// The start-up layout from the screen's size.
#include "support/form1_fixture.h"
#include "ui/application.h"

#include <QtTest>

class tst_Layout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void layout_data();
    void layout();
    void chartFrameInside();
};

void tst_Layout::layout_data()
{
    QTest::addColumn<float>("screenWidth");
    QTest::addColumn<float>("screenHeight");
    QTest::addColumn<QRectF>("label");
    QTest::addColumn<QRectF>("chartFrame");
    QTest::addColumn<QRectF>("listing");
    QTest::addColumn<QPointF>("searchFrame");

    QTest::newRow("15360x11520") << 15360.f << 11520.f << QRectF(384, 576, 14592, 576) << QRectF(384, 1152, 14592, 2304)
                                 << QRectF(384, 3776, 3648, 6912) << QPointF(4352, 3776);
    QTest::newRow("12000x9000") << 12000.f << 9000.f << QRectF(300, 450, 11400, 450) << QRectF(300, 900, 11400, 1800)
                                << QRectF(300, 3020, 2850, 5400) << QPointF(3470, 3020);
    QTest::newRow("20490x15360") << 20490.f << 15360.f << QRectF(512.25, 768, 19465.5, 768)
                                 << QRectF(512.25, 1536, 19465.5, 3072) << QRectF(512.25, 4928, 4866.375, 9216)
                                 << QPointF(5698.625, 4928);
}

void tst_Layout::layout()
{
    QFETCH(float, screenWidth);
    QFETCH(float, screenHeight);
    QFETCH(QRectF, label);
    QFETCH(QRectF, chartFrame);
    QFETCH(QRectF, listing);
    QFETCH(QPointF, searchFrame);
    support::Form1Fixture form;
    QVERIFY(form.open({}, rt::ScreenSize{screenWidth, screenHeight}));
    auto check = [&](QWidget *w, const QRectF &r) {
        const rt::Placement &p = form->placement(w);
        QCOMPARE(p.Left(), float(r.left()));
        QCOMPARE(p.Top(), float(r.top()));
        QCOMPARE(p.Width(), float(r.width()));
        QCOMPARE(p.Height(), float(r.height()));
    };
    check(form.lblProg(), label);
    check(form.picContainer(), chartFrame);
    check(form.txtSequenz(), listing);
    QCOMPARE(form->placement(form.Frame1()).Left(), float(searchFrame.x()));
    QCOMPARE(form->placement(form.Frame1()).Top(), float(searchFrame.y()));
    // The search frame keeps its designed size, and nothing inside it moves.
    QCOMPARE(form->placement(form.Frame1()).Width(), 5055.0f);
    QCOMPARE(form->placement(form.Frame1()).Height(), 4455.0f);
    QCOMPARE(form->placement(form.Text1()).Left(), 1320.0f);

    // Inside the chart frame: canvas over the upper 8/10, pan bar over the lower 2/10.
    const float sw = form->ScaleWidth();
    const float sh = form->ScaleHeight();
    QCOMPARE(sw, float((chartFrame.width() - 60) / 100));
    QCOMPARE(sh, float((chartFrame.height() - 60) / 20));
    const rt::Placement &pan = form->placement(form.HScroll1());
    const rt::Placement &canvas = form->placement(form.picGraph());
    // The pan bar begins exactly where the canvas ends.
    QCOMPARE(canvas.Height(), pan.Top());
    // On the screen: the frame's inner area is the frame less its border of 30 twips a side; the
    // canvas covers its upper eight tenths from the top edge, the pan bar the lower two tenths
    // and its full width, to within the pixel each edge is rounded to.
    const double tpp = rt::TwipsPerPixel();
    const double innerWidth = (chartFrame.width() - 60) / tpp;
    const double innerHeight = (chartFrame.height() - 60) / tpp;
    const QRect canvasOnScreen = form.picGraph()->geometry();
    const QRect panOnScreen = form.HScroll1()->geometry();
    const auto near = [](double actual, double expected) { return qAbs(actual - expected) <= 1; };
    const QString where = QStringLiteral("canvas (%1, %2, %3 x %4), pan bar (%5, %6, %7 x %8) in %9 x %10")
                              .arg(canvasOnScreen.x())
                              .arg(canvasOnScreen.y())
                              .arg(canvasOnScreen.width())
                              .arg(canvasOnScreen.height())
                              .arg(panOnScreen.x())
                              .arg(panOnScreen.y())
                              .arg(panOnScreen.width())
                              .arg(panOnScreen.height())
                              .arg(innerWidth)
                              .arg(innerHeight);
    QVERIFY2(canvasOnScreen.top() == 0 && near(canvasOnScreen.height(), innerHeight * 8 / 10), qPrintable(where));
    QVERIFY2(panOnScreen.left() == 0 && near(panOnScreen.width(), innerWidth), qPrintable(where));
    QVERIFY2(near(panOnScreen.top(), innerHeight * 8 / 10) && near(panOnScreen.height(), innerHeight * 2 / 10),
             qPrintable(where));
    QVERIFY2(near(panOnScreen.y() + panOnScreen.height(), innerHeight), qPrintable(where));
    // The start-up pass has given the canvas the width for 75.
    QCOMPARE(canvas.Width(), 85.0f);
    QCOMPARE(form.Text1()->Text(), QStringLiteral("75"));
    QVERIFY(form.txtSequenz()->Text().endsWith(QStringLiteral("\r\n 3_ 12 =  13_ 17")));
}

void tst_Layout::chartFrameInside()
{
    support::Form1Fixture form;
    QVERIFY(form.open());
    // The canvas and the pan bar lie in the frame's inner area, the pan bar right below the canvas.
    const QRect canvas = form.picGraph()->geometry();
    const QRect pan = form.HScroll1()->geometry();
    QCOMPARE(canvas.top(), 0);
    QVERIFY(qAbs(pan.top() - canvas.bottom() - 1) <= 1);
    QCOMPARE(form.HScroll1()->parentWidget()->mapTo(form.get(), QPoint(0, 0)).x(),
             form.picContainer()->x() + form.picContainer()->frameWidth());
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
