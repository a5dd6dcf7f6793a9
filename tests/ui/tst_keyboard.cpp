// The window with the keyboard only, as on the classic desktop: Tab and Shift+Tab move on from the
// listing box, Left and Right on a scroll bar go towards Min and Max like Up and Down, Home and
// End to the ends, and Return presses a focused button as Space does.
#include "core/pass.h"
#include "support/form1_fixture.h"
#include "support/search_oracle.h"
#include "ui/application.h"

#include <QtTest>

class tst_Keyboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void keys_data();
    void keys();
    void typingInTheListingIsReplacedByAPass();
    void tabGoesRoundTheWindow();
};

void tst_Keyboard::keys_data()
{
    // The focused control and, for a scroll bar, its value before the key; after it, which control
    // has the focus, the scroll bar's value, and n (-1 where it does not matter; -2 and -3 for where
    // a search for one or two pairs from the typed 1155 ends).
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("n");
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier;

    QTest::newRow("Tab in the listing") << "txtSequenz" << 0 << int(Qt::Key_Tab) << none << "VScroll1" << -1 << -1.0;
    QTest::newRow("Ctrl+Tab in the listing")
        << "txtSequenz" << 0 << int(Qt::Key_Tab) << int(Qt::ControlModifier) << "VScroll1" << -1 << -1.0;
    QTest::newRow("Shift+Tab in the listing")
        << "txtSequenz" << 0 << int(Qt::Key_Backtab) << shift << "picGraph" << -1 << -1.0;
    QTest::newRow("Shift+Tab on the number bar")
        << "VScroll1" << 75 << int(Qt::Key_Backtab) << shift << "txtSequenz" << 75 << 75.0;
    QTest::newRow("Tab on the number bar") << "VScroll1" << 75 << int(Qt::Key_Tab) << none << "Command1" << 75 << 75.0;

    // The number bar: 1000 (Min) at the top, 3 (Max) at the bottom.
    QTest::newRow("Up on the number bar") << "VScroll1" << 75 << int(Qt::Key_Up) << none << "VScroll1" << 76 << 76.0;
    QTest::newRow("Down on the number bar")
        << "VScroll1" << 75 << int(Qt::Key_Down) << none << "VScroll1" << 74 << 74.0;
    QTest::newRow("Left on the number bar")
        << "VScroll1" << 75 << int(Qt::Key_Left) << none << "VScroll1" << 76 << 76.0;
    QTest::newRow("Right on the number bar")
        << "VScroll1" << 75 << int(Qt::Key_Right) << none << "VScroll1" << 74 << 74.0;
    QTest::newRow("Home on the number bar")
        << "VScroll1" << 75 << int(Qt::Key_Home) << none << "VScroll1" << 1000 << 1000.0;
    QTest::newRow("End on the number bar") << "VScroll1" << 75 << int(Qt::Key_End) << none << "VScroll1" << 3 << 3.0;
    QTest::newRow("PageUp on the number bar")
        << "VScroll1" << 75 << int(Qt::Key_PageUp) << none << "VScroll1" << 76 << 76.0;

    // The pan bar: 0 (Min) at the left, 75 (Max, fitted to 75) at the right; arrows step 1, pages 10.
    QTest::newRow("Left on the pan bar") << "HScroll1" << 20 << int(Qt::Key_Left) << none << "HScroll1" << 19 << -1.0;
    QTest::newRow("Right on the pan bar") << "HScroll1" << 20 << int(Qt::Key_Right) << none << "HScroll1" << 21 << -1.0;
    QTest::newRow("Up on the pan bar") << "HScroll1" << 20 << int(Qt::Key_Up) << none << "HScroll1" << 19 << -1.0;
    QTest::newRow("Down on the pan bar") << "HScroll1" << 20 << int(Qt::Key_Down) << none << "HScroll1" << 21 << -1.0;
    QTest::newRow("Home on the pan bar") << "HScroll1" << 20 << int(Qt::Key_Home) << none << "HScroll1" << 0 << -1.0;
    QTest::newRow("End on the pan bar") << "HScroll1" << 20 << int(Qt::Key_End) << none << "HScroll1" << 75 << -1.0;
    QTest::newRow("PageDown on the pan bar")
        << "HScroll1" << 20 << int(Qt::Key_PageDown) << none << "HScroll1" << 30 << -1.0;
    QTest::newRow("Left on the pan bar at 0")
        << "HScroll1" << 0 << int(Qt::Key_Left) << none << "HScroll1" << 0 << -1.0;

    // The buttons, with 1155 typed into the number box (beyond the scroll bar, so not yet analysed).
    QTest::newRow("Return on the analysis button")
        << "Command1" << 0 << int(Qt::Key_Return) << none << "Command1" << -1 << 1155.0;
    QTest::newRow("Enter on the analysis button")
        << "Command1" << 0 << int(Qt::Key_Enter) << none << "Command1" << -1 << 1155.0;
    QTest::newRow("Space on the analysis button")
        << "Command1" << 0 << int(Qt::Key_Space) << none << "Command1" << -1 << 1155.0;
    QTest::newRow("Return on the one-pair search")
        << "Command4" << 0 << int(Qt::Key_Return) << none << "Command4" << -1 << -2.0;
    QTest::newRow("Return on the two-pair search")
        << "Command5" << 0 << int(Qt::Key_Return) << none << "Command5" << -1 << -3.0;
    QTest::newRow("Return on the caption box") << "Text2" << 0 << int(Qt::Key_Return) << none << "Text2" << -1 << 75.0;
}

void tst_Keyboard::keys()
{
    QFETCH(QString, control);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, focus);
    QFETCH(int, value);
    QFETCH(double, n);

    support::Form1Fixture form;
    QVERIFY(form.open());
    form->errorReporter().setHandler([](const rt::RuntimeError &e, const QString &) { QFAIL(e.what()); });
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form.Text1()->setText(QStringLiteral("1155"));
    QWidget *w = form->findChild<QWidget *>(control);
    QVERIFY(w);
    auto *bar = qobject_cast<rt::ScrollBar *>(w);
    if (bar)
        bar->setValue(std::int16_t(start));
    w->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), w);

    QTest::keyClick(w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    if (bar && value >= 0)
        QCOMPARE(int(bar->Value()), value);
    if (n == -2 || n == -3)
        n = nextWithPairs(1155, n == -2 ? 1 : 2);
    if (n >= 0)
        QCOMPARE(form->state().n, n);
    // The listing never takes a Tab character.
    QVERIFY(!form.txtSequenz()->Text().contains(QLatin1Char('\t')));
}

void tst_Keyboard::typingInTheListingIsReplacedByAPass()
{
    support::Form1Fixture form;
    QVERIFY(form.open());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form.txtSequenz()->setFocus();
    QTest::keyClicks(form.txtSequenz(), QStringLiteral("Notiz"));
    QVERIFY(form.txtSequenz()->Text().contains(QStringLiteral("Notiz")));
    form.Text1()->setText(QStringLiteral("15"));
    core::AnalysisState s;
    s.n = 15;
    core::RunPass(s, 15, {}, {});
    QCOMPARE(form.txtSequenz()->Text(), QString::fromStdString(s.listing));
}

void tst_Keyboard::tabGoesRoundTheWindow()
{
    // From the listing box, where the window opens, Tab visits every control in the designed
    // order and comes back; Shift+Tab goes the same way back.
    support::Form1Fixture form;
    QVERIFY(form.open());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.txtSequenz()));
    const QStringList order = {"VScroll1", "Command1",     "Text1",    "Text2",    "Command4",  "Command5",
                               "Command3", "picContainer", "HScroll1", "picGraph", "txtSequenz"};
    QStringList forwards, backwards;
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forwards << QApplication::focusWidget()->objectName();
    }
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backwards.prepend(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(forwards, order);
    QCOMPARE(backwards, QStringList{"txtSequenz"} + order.mid(0, order.size() - 1));
    // Nothing on the way was typed into or changed.
    QCOMPARE(form.Text1()->Text(), QStringLiteral("75"));
    QVERIFY(!form.txtSequenz()->Text().contains(QLatin1Char('\t')));
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
