// The number box and the number scroll bar follow each other; the pan bar moves the canvas.
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "ui/application.h"

#include <QtTest>

class tst_Coupling : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup();
    void typingDigitByDigit();
    void replaceText_data();
    void replaceText();
    void arrowsAtTheEnds_data();
    void arrowsAtTheEnds();
    void arrowClickRunsOnePass();
    void thumbDragRunsOnePassAtTheEnd();
    void panning_data();
    void panning();
    void panningFollowsTheDrag();

private:
    QString firstLine() const { return form.txtSequenz()->Text().section(QStringLiteral("\r\n"), 1, 1); }
    support::Form1Fixture form;
};

void tst_Coupling::init()
{
    QVERIFY(form.open());
}

void tst_Coupling::cleanup()
{
    form.reset();
}

void tst_Coupling::typingDigitByDigit()
{
    form.Text1()->setFocus();
    form.Text1()->selectAll();
    QTest::keyClick(form.Text1(), Qt::Key_Delete);
    QCOMPARE(form.Text1()->Text(), QString());
    QCOMPARE(form.VScroll1()->Value(), 75); // the empty box reads 0: out of bounds, nothing runs
    const char *steps[][2] = {{"9", " 9 = 9"}, {"99", " 99 = 99"}, {"999", " 999 = 999"}};
    for (auto &[text, line] : steps) {
        QTest::keyClick(form.Text1(), text[qstrlen(text) - 1]);
        QCOMPARE(form.Text1()->Text(), QString::fromLatin1(text));
        QCOMPARE(form.VScroll1()->Value(), QString::fromLatin1(text).toInt());
        QCOMPARE(firstLine(), QString::fromLatin1(line));
        QCOMPARE(form->state().n, QString::fromLatin1(text).toDouble());
    }
}

void tst_Coupling::replaceText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("box");      // the box afterwards
    QTest::addColumn<int>("scrollBar");    // the scroll bar afterwards
    QTest::addColumn<QString>("analysed"); // first run line afterwards

    QTest::newRow("999.5") << "999.5"
                           << "1000" << 1000 << " 1000 = 1000";
    QTest::newRow("80abc") << "80abc"
                           << "80" << 80 << " 80 = 80";
    QTest::newRow(" 80") << " 80"
                         << "80" << 80 << " 80 = 80";
    QTest::newRow("75.6") << "75.6"
                          << "76" << 76 << " 76 = 76";
    QTest::newRow("75.4") << "75.4"
                          << "75.4" << 75 << " 75 = 75";
    QTest::newRow("75abc") << "75abc"
                           << "75abc" << 75 << " 75 = 75";
    QTest::newRow("2") << "2"
                       << "2" << 75 << " 75 = 75";
    QTest::newRow("2.4") << "2.4"
                         << "2.4" << 75 << " 75 = 75";
    QTest::newRow("2.5") << "2.5"
                         << "2.5" << 75 << " 75 = 75";
    QTest::newRow("2.6") << "2.6"
                         << "3" << 3 << " 3 = 3";
    QTest::newRow("3") << "3"
                       << "3" << 3 << " 3 = 3";
    QTest::newRow("1000") << "1000"
                          << "1000" << 75 << " 75 = 75";
    QTest::newRow("123456") << "123456"
                            << "123456" << 75 << " 75 = 75";
    QTest::newRow("1e400") << "1e400"
                           << "1e400" << 75 << " 75 = 75";
    QTest::newRow("-7") << "-7"
                        << "-7" << 75 << " 75 = 75";
}

void tst_Coupling::replaceText()
{
    QFETCH(QString, text);
    QFETCH(QString, box);
    QFETCH(int, scrollBar);
    QFETCH(QString, analysed);
    form.Text1()->setText(text);
    QCOMPARE(form.Text1()->Text(), box);
    QCOMPARE(form.VScroll1()->Value(), scrollBar);
    QCOMPARE(firstLine(), analysed);
}

void tst_Coupling::arrowsAtTheEnds_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("arrow");
    QTest::newRow("1000 up") << 1000 << int(QStyle::SC_ScrollBarSubLine);
    QTest::newRow("3 down") << 3 << int(QStyle::SC_ScrollBarAddLine);
}

void tst_Coupling::arrowsAtTheEnds()
{
    QFETCH(int, value);
    QFETCH(int, arrow);
    form.VScroll1()->setValue(std::int16_t(value));
    QCOMPARE(form.Text1()->Text(), QString::number(value));
    const std::string listing = form->state().listing;
    QSignalSpy changes(form.VScroll1(), &rt::ScrollBar::change);
    const QRect r = form.VScroll1()->subControlRect(QStyle::SubControl(arrow));
    QTest::mouseClick(form.VScroll1(), Qt::LeftButton, {}, r.center());
    QCOMPARE(changes.count(), 0);
    QCOMPARE(form.VScroll1()->Value(), value);
    QCOMPARE(form->state().listing, listing);
}

void tst_Coupling::arrowClickRunsOnePass()
{
    const QRect up = form.VScroll1()->subControlRect(QStyle::SC_ScrollBarSubLine);
    QSignalSpy listings(form.txtSequenz(), &QPlainTextEdit::textChanged);
    QTest::mouseClick(form.VScroll1(), Qt::LeftButton, {}, up.center());
    QCOMPARE(form.VScroll1()->Value(), 76);
    QCOMPARE(form.Text1()->Text(), QStringLiteral("76"));
    QCOMPARE(firstLine(), QStringLiteral(" 76 = 76"));
    QCOMPARE(form.txtSequenz()->Text().section(QStringLiteral("\r\n"), 2, 2), QStringLiteral(" 76 = 6 +...+  13"));
    QVERIFY(form.txtSequenz()->Text().endsWith(QStringLiteral("halbierbare Sequenzen:\r\n\r\nkeine")));
    QCOMPARE(form->placement(form.picGraph()).Width(), 86.0f);
    QCOMPARE(form.HScroll1()->Max(), 76);
}

void tst_Coupling::thumbDragRunsOnePassAtTheEnd()
{
    QSignalSpy changes(form.VScroll1(), &rt::ScrollBar::change);
    form.VScroll1()->setSliderDown(true);
    form.VScroll1()->setSliderPosition(form.VScroll1()->sliderPosition() - 10);
    form.VScroll1()->setSliderPosition(form.VScroll1()->sliderPosition() - 10);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(form.Text1()->Text(), QStringLiteral("75"));
    form.VScroll1()->setSliderDown(false);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(form.VScroll1()->Value(), 95);
    QCOMPARE(form.Text1()->Text(), QStringLiteral("95"));
    QCOMPARE(firstLine(), QStringLiteral(" 95 = 95"));
}

void tst_Coupling::panning_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("40") << 40;
    QTest::newRow("75") << 75;
}

void tst_Coupling::panning()
{
    QFETCH(int, value);
    form.HScroll1()->setValue(std::int16_t(value));
    QCOMPARE(form->placement(form.picGraph()).Left(), -float(value));
    QCOMPARE(form.picGraph()->x(), -qRound(value * 100 / rt::TwipsPerPixel()));
}

void tst_Coupling::panningFollowsTheDrag()
{
    QSignalSpy scrolls(form.HScroll1(), &rt::ScrollBar::scroll);
    form.HScroll1()->setSliderDown(true);
    form.HScroll1()->setSliderPosition(30);
    // While the thumb is dragged the canvas follows it.
    QVERIFY(scrolls.count() >= 1);
    QCOMPARE(form->placement(form.picGraph()).Left(), -30.0f);
    form.HScroll1()->setSliderPosition(50);
    QCOMPARE(form->placement(form.picGraph()).Left(), -50.0f);
    form.HScroll1()->setSliderDown(false);
    QCOMPARE(form.HScroll1()->Value(), 50);
    QCOMPARE(form->placement(form.picGraph()).Left(), -50.0f);
}

QTEST_MAIN(tst_Coupling)
#include "tst_coupling.moc"
