#include "controls/scrollbar.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <memory>

namespace {

// Exposes the style option Qt itself lays the bar out with, so clicks hit the real sub-controls.
class Probe : public rt::ScrollBar {
public:
    using rt::ScrollBar::ScrollBar;
    QRect rectOf(QStyle::SubControl control) const
    {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        return style()->subControlRect(QStyle::CC_ScrollBar, &opt, control, this);
    }
};

// The number scroll bar as the window designs it: 1000 at the top, 3 at the bottom, at 75.
std::unique_ptr<Probe> numberBar(int pageStep = 1)
{
    auto bar = std::make_unique<Probe>(Qt::Vertical);
    bar->setMin(1000);
    bar->setMax(3);
    bar->setValue(75);
    bar->setSmallChange(1);
    bar->setLargeChange(pageStep);
    bar->resize(33, 97);
    bar->show();
    return bar;
}

void click(Probe &bar, QStyle::SubControl control)
{
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.rectOf(control).center());
}

void sendMouse(QWidget &w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w.mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

} // namespace

class tst_ScrollBar : public QObject {
    Q_OBJECT
private slots:
    void startsAsDesigned();
    void clickOnPart_data();
    void clickOnPart();
    void arrowAtEndChangesNothing_data();
    void arrowAtEndChangesNothing();
    void key_data();
    void key();
    void assignment_data();
    void assignment();
    void handlerSeesNewValueInsideAssignment();
    void mouseDragScrollsThenChangesOnce();
    void sliderDownDragScrollsThenChangesOnce();
    void dragBackToStartRaisesNoChange();
    void ranges_data();
    void ranges();
    void rangeChange_data();
    void rangeChange();
    void accessibleValue_data();
    void accessibleValue();
};

void tst_ScrollBar::startsAsDesigned()
{
    auto bar = numberBar();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QCOMPARE(bar->Min(), 1000);
    QCOMPARE(bar->Max(), 3);
    QCOMPARE(bar->Value(), 75);
    // 75 lies near the bottom end of 1000..3, so the thumb sits in the lower part of the trough.
    const QRect thumb = bar->rectOf(QStyle::SC_ScrollBarSlider);
    const QRect groove = bar->rectOf(QStyle::SC_ScrollBarGroove);
    QVERIFY2(thumb.center().y() > groove.center().y(), "thumb of 75 should be low");
}

void tst_ScrollBar::clickOnPart_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("expected");
    QTest::newRow("up arrow") << int(QStyle::SC_ScrollBarSubLine) << 76;
    QTest::newRow("down arrow") << int(QStyle::SC_ScrollBarAddLine) << 74;
    QTest::newRow("trough above thumb") << int(QStyle::SC_ScrollBarSubPage) << 85;
    QTest::newRow("trough below thumb") << int(QStyle::SC_ScrollBarAddPage) << 65;
}

void tst_ScrollBar::clickOnPart()
{
    QFETCH(int, control);
    QFETCH(int, expected);
    auto bar = numberBar(10);
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    QSignalSpy scrolls(bar.get(), &rt::ScrollBar::scroll);
    click(*bar, QStyle::SubControl(control));
    QCOMPARE(bar->Value(), expected);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(scrolls.count(), 0);
}

void tst_ScrollBar::arrowAtEndChangesNothing_data()
{
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("control");
    QTest::newRow("1000 up arrow") << 1000 << int(QStyle::SC_ScrollBarSubLine);
    QTest::newRow("3 down arrow") << 3 << int(QStyle::SC_ScrollBarAddLine);
}

void tst_ScrollBar::arrowAtEndChangesNothing()
{
    QFETCH(int, end);
    QFETCH(int, control);
    auto bar = numberBar();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    bar->setValue(std::int16_t(end));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(bar->sliderPosition(), end == 1000 ? bar->QScrollBar::minimum() : bar->QScrollBar::maximum());
    click(*bar, QStyle::SubControl(control));
    QCOMPARE(bar->Value(), end);
    QCOMPARE(changes.count(), 1);
}

void tst_ScrollBar::key_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("Up") << int(Qt::Key_Up) << 76;
    QTest::newRow("Down") << int(Qt::Key_Down) << 74;
    QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 85;
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 65;
    QTest::newRow("Home") << int(Qt::Key_Home) << 1000;
    QTest::newRow("End") << int(Qt::Key_End) << 3;
}

void tst_ScrollBar::key()
{
    QFETCH(int, key);
    QFETCH(int, expected);
    auto bar = numberBar(10);
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    QTest::keyClick(bar.get(), Qt::Key(key));
    QCOMPARE(bar->Value(), expected);
    QCOMPARE(changes.count(), 1);
}

void tst_ScrollBar::assignment_data()
{
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("changes");
    QTest::newRow("75 (unchanged)") << 75 << 75 << 0;
    QTest::newRow("76") << 76 << 76 << 1;
    QTest::newRow("1000") << 1000 << 1000 << 1;
    QTest::newRow("3") << 3 << 3 << 1;
    QTest::newRow("1001 (clamped)") << 1001 << 1000 << 1;
    QTest::newRow("2 (clamped)") << 2 << 3 << 1;
    QTest::newRow("-32768 (clamped)") << -32768 << 3 << 1;
}

void tst_ScrollBar::assignment()
{
    QFETCH(int, assigned);
    QFETCH(int, expected);
    QFETCH(int, changes);
    auto bar = numberBar();
    QSignalSpy spy(bar.get(), &rt::ScrollBar::change);
    bar->setValue(std::int16_t(assigned));
    QCOMPARE(bar->Value(), expected);
    QCOMPARE(spy.count(), changes);
    QCOMPARE(bar->sliderPosition(), 1000 - expected);
}

void tst_ScrollBar::handlerSeesNewValueInsideAssignment()
{
    auto bar = numberBar();
    std::vector<int> seen;
    // The handler assigns the value it already holds, as the number box does; that must not
    // raise a further change.
    connect(bar.get(), &rt::ScrollBar::change, bar.get(), [&] {
        seen.push_back(bar->Value());
        bar->setValue(bar->Value());
    });
    bar->setValue(500);
    QCOMPARE(seen, std::vector<int>{500});
    bar->setValue(501);
    QCOMPARE(seen, (std::vector<int>{500, 501}));
}

void tst_ScrollBar::mouseDragScrollsThenChangesOnce()
{
    auto bar = numberBar();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    QSignalSpy scrolls(bar.get(), &rt::ScrollBar::scroll);
    const QPoint start = bar->rectOf(QStyle::SC_ScrollBarSlider).center();
    const int grooveTop = bar->rectOf(QStyle::SC_ScrollBarGroove).top();
    sendMouse(*bar, QEvent::MouseButtonPress, start, Qt::LeftButton);
    QVERIFY(bar->isSliderDown());
    int dragged = 0;
    for (int y = start.y() - 4; y > grooveTop; y -= 4) {
        sendMouse(*bar, QEvent::MouseMove, QPoint(start.x(), y), Qt::LeftButton);
        dragged = bar->Value();
    }
    QVERIFY(scrolls.count() > 0);
    QCOMPARE(changes.count(), 0);
    // Dragging upwards raises the number; the thumb at the top stands for 1000.
    QVERIFY2(dragged > 75, qPrintable(QString::number(dragged)));
    sendMouse(*bar, QEvent::MouseButtonRelease, QPoint(start.x(), grooveTop + 1), Qt::NoButton);
    QVERIFY(!bar->isSliderDown());
    QCOMPARE(changes.count(), 1);
    QCOMPARE(bar->Value(), dragged);
}

void tst_ScrollBar::sliderDownDragScrollsThenChangesOnce()
{
    auto bar = numberBar();
    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    QSignalSpy scrolls(bar.get(), &rt::ScrollBar::scroll);
    bar->setSliderDown(true);
    bar->setSliderPosition(1000 - 300);
    QCOMPARE(bar->Value(), 300);
    bar->setSliderPosition(1000 - 400);
    QCOMPARE(bar->Value(), 400);
    QCOMPARE(scrolls.count(), 2);
    QCOMPARE(changes.count(), 0);
    bar->setSliderDown(false);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(bar->Value(), 400);
}

void tst_ScrollBar::dragBackToStartRaisesNoChange()
{
    auto bar = numberBar();
    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    bar->setSliderDown(true);
    bar->setSliderPosition(1000 - 300);
    bar->setSliderPosition(1000 - 75);
    bar->setSliderDown(false);
    QCOMPARE(bar->Value(), 75);
    QCOMPARE(changes.count(), 0);
}

void tst_ScrollBar::ranges_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");
    QTest::newRow("1000..3 at 75") << 1000 << 3 << 75;
    QTest::newRow("3..1000 at 75") << 3 << 1000 << 75;
    QTest::newRow("5..-5 at 0") << 5 << -5 << 0;
    QTest::newRow("-5..5 at 0") << -5 << 5 << 0;
    QTest::newRow("32767..-32768 at 0") << 32767 << -32768 << 0;
    QTest::newRow("-32768..32767 at 0") << -32768 << 32767 << 0;
}

void tst_ScrollBar::ranges()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);
    auto bar = std::make_unique<Probe>(Qt::Vertical);
    bar->resize(33, 97);
    bar->setMin(std::int16_t(min));
    bar->setMax(std::int16_t(max));
    bar->setValue(std::int16_t(value));
    bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QCOMPARE(bar->Min(), min);
    QCOMPARE(bar->Max(), max);
    QCOMPARE(bar->Value(), value);
    QCOMPARE(bar->QScrollBar::maximum() - bar->QScrollBar::minimum(), std::abs(max - min));
    QCOMPARE(bar->sliderPosition(), std::abs(value - min));
    // The top arrow steps towards Min, whichever end is larger.
    click(*bar, QStyle::SC_ScrollBarSubLine);
    QCOMPARE(bar->Value(), value + (min > max ? 1 : -1));
    bar->setValue(std::int16_t(min));
    QCOMPARE(bar->sliderPosition(), bar->QScrollBar::minimum());
    bar->setValue(std::int16_t(max));
    QCOMPARE(bar->sliderPosition(), bar->QScrollBar::maximum());
}

void tst_ScrollBar::rangeChange_data()
{
    QTest::addColumn<bool>("setsMax");
    QTest::addColumn<int>("bound");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("changes");
    QTest::newRow("Max 100") << true << 100 << 100 << 1;
    QTest::newRow("Max 50") << true << 50 << 75 << 0;
    QTest::newRow("Max 75") << true << 75 << 75 << 0;
    QTest::newRow("Min 60") << false << 60 << 60 << 1;
    QTest::newRow("Min 500") << false << 500 << 75 << 0;
    QTest::newRow("Min -32768") << false << -32768 << 3 << 1;
}

void tst_ScrollBar::rangeChange()
{
    QFETCH(bool, setsMax);
    QFETCH(int, bound);
    QFETCH(int, expected);
    QFETCH(int, changes);
    auto bar = numberBar();
    std::vector<int> seen;
    connect(bar.get(), &rt::ScrollBar::change, bar.get(), [&] { seen.push_back(bar->Value()); });
    if (setsMax)
        bar->setMax(std::int16_t(bound));
    else
        bar->setMin(std::int16_t(bound));
    QCOMPARE(bar->Value(), expected);
    QCOMPARE(int(seen.size()), changes);
    if (changes > 0)
        QCOMPARE(seen.front(), expected);
    QCOMPARE(bar->sliderPosition(), std::abs(expected - bar->Min()));
    QCOMPARE(bar->QScrollBar::maximum(), std::abs(bar->Max() - bar->Min()));
}

void tst_ScrollBar::accessibleValue_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::newRow("1000..3") << 1000 << 3;
    QTest::newRow("3..1000") << 3 << 1000;
}

void tst_ScrollBar::accessibleValue()
{
    // A screen reader reads and sets the bar's own value, whichever end is the larger.
    QFETCH(int, min);
    QFETCH(int, max);
    auto bar = std::make_unique<Probe>(Qt::Vertical);
    bar->setMin(std::int16_t(min));
    bar->setMax(std::int16_t(max));
    bar->setValue(75);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(bar.get());
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::ScrollBar);
    QAccessibleValueInterface *value = iface->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->currentValue().toInt(), 75);
    QCOMPARE(value->minimumValue().toInt(), 3);
    QCOMPARE(value->maximumValue().toInt(), 1000);
    QCOMPARE(value->minimumStepSize().toInt(), 1);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("75"));

    QSignalSpy changes(bar.get(), &rt::ScrollBar::change);
    value->setCurrentValue(500);
    QCOMPARE(bar->Value(), 500);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(value->currentValue().toInt(), 500);
    value->setCurrentValue(40000.0);
    QCOMPARE(bar->Value(), 1000);
    value->setCurrentValue(-1e300);
    QCOMPARE(bar->Value(), 3);
    value->setCurrentValue(qQNaN());
    QCOMPARE(bar->Value(), 3);
    QCOMPARE(changes.count(), 3);
}

QTEST_MAIN(tst_ScrollBar)
#include "tst_scrollbar.moc"
