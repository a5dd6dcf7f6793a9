// The forward searches, the stop button, re-entry and closing during a search.
#include "core/pass.h"
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "support/search_oracle.h"
#include "ui/application.h"

#include <QtTest>

class tst_Search : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup();
    void searches_data();
    void searches();
    void searchFromMinusOne();
    void stopBetweenCandidates();
    void stopBeforeSearch();
    void searchInsideSearch();
    void analysisDuringSearch();
    void closeDuringSearch();
    void endOfTheRange();
    void moreThanHundredRuns();

private:
    // Runs f once the number box shows `text`, between that slice of the search and the next: in
    // a window whose searches run in slices of one number each, every number is shown.
    void when(const QString &text, std::function<void()> f);
    support::Form1Fixture form;
};

void tst_Search::init()
{
    QVERIFY(form.open());
}

void tst_Search::cleanup()
{
    form.reset();
}

// Slices of one number each, so that what `when` queues runs right after the number it waits for.
constexpr commands::SearchOptions OneNumberASlice{commands::Stepping::Skipping, 1};

void tst_Search::when(const QString &text, std::function<void()> f)
{
    auto *conn = new QMetaObject::Connection;
    *conn = connect(form.Text1(), &QLineEdit::textChanged, this, [conn, text, f](const QString &now) {
        if (now != text)
            return;
        QObject::disconnect(*conn);
        delete conn;
        // Queued, so it runs between two slices, as a user's click would.
        QMetaObject::invokeMethod(qApp, f, Qt::QueuedConnection);
    });
}

void tst_Search::searches_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pairSection");

    QTest::newRow("75 one") << "75" << 1 << "90"
                            << "halbierbare Sequenzen:\r\n 16_ 20 =  21_ 24";
    QTest::newRow("75 two") << "75" << 2 << "105"
                            << "halbierbare Sequenzen:\r\n 12_ 18 =  19_ 23\r\n 1_ 14 =  15_ 20";
    QTest::newRow("105 two") << "105" << 2 << "945"
                             << "";
    QTest::newRow("0 one") << "0" << 1 << "3"
                           << "halbierbare Sequenzen:\r\n 1_ 2 =  3_ 3";
    QTest::newRow("abc one") << "abc" << 1 << "3"
                             << "halbierbare Sequenzen:\r\n 1_ 2 =  3_ 3";
    QTest::newRow("90 one") << "90" << 1 << "105"
                            << "";
    QTest::newRow("3 one") << "3" << 1 << "15"
                           << "halbierbare Sequenzen:\r\n 4_ 6 =  7_ 8";
    QTest::newRow("-1 two") << "-1" << 2 << "105"
                            << "";
    QTest::newRow("1000 one") << "1000" << 1 << ""
                              << "";
    QTest::newRow("8505 two") << "8505" << 2 << ""
                              << "";
}

void tst_Search::searches()
{
    QFETCH(QString, start);
    QFETCH(int, pairs);
    QFETCH(QString, box);
    QFETCH(QString, pairSection);
    form.Text1()->setText(start);
    (pairs == 1 ? form.Command4() : form.Command5())->click();
    QVERIFY(finishSearches(form->commands()));
    const double expected = nextWithPairs(rt::Val(start.toStdString()), pairs);
    QCOMPARE(form->state().n, expected);
    if (!box.isEmpty())
        QCOMPARE(form.Text1()->Text(), box);
    // Above 999 the box keeps the search's own text, with its leading blank.
    const std::string shown = expected > 999 ? rt::Str(expected) : rt::CStr(expected);
    QCOMPARE(form.Text1()->Text().toStdString(), shown);
    QVERIFY(form->state().pairCount >= pairs);
    if (!pairSection.isEmpty())
        QVERIFY2(form.txtSequenz()->Text().endsWith(pairSection), qPrintable(form.txtSequenz()->Text()));
    // The search's chart: scale 1000 wide, grid in pure blue.
    QCOMPARE(form.picGraph()->scaleRect().right(), 1000.0);
    QVERIFY(form.errors().isEmpty());
}

void tst_Search::searchFromMinusOne()
{
    form.Text1()->setText(QStringLiteral("-1"));
    form.Command4()->click();
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form->state().n, 0.0);
    QCOMPARE(form.Text1()->Text(), QStringLiteral(" 0"));
    QCOMPARE(form.txtSequenz()->Text(),
             QStringLiteral("\r\n 0 = 1 +...+  0\r\n\r\nhalbierbare Sequenzen:\r\n 1_ 0 =  1_ 0"));
}

void tst_Search::stopBetweenCandidates()
{
    QVERIFY(form.open(OneNumberASlice));
    form.Text1()->setText(QStringLiteral("1000"));
    when(QStringLiteral(" 1003"), [this] { form.Command3()->click(); });
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    // The stop is seen after one more candidate.
    QCOMPARE(form->state().n, 1004.0);
    QCOMPARE(form.Text1()->Text(), QStringLiteral(" 1004"));
    QVERIFY(form.txtSequenz()->Text().startsWith(QStringLiteral("\r\n 1004 = 1004")));
}

void tst_Search::stopBeforeSearch()
{
    form.Command3()->click();
    QCOMPARE(form->state().stopRequested, 1);
    form.Command4()->click();
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form->state().n, 90.0);
    QCOMPARE(form.Text1()->Text(), QStringLiteral("90"));
}

void tst_Search::searchInsideSearch()
{
    QVERIFY(form.open(OneNumberASlice));
    form.Text1()->setText(QStringLiteral("1000"));
    when(QStringLiteral(" 1002"), [this] { form.Command4()->click(); });
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    // The inner search ran from 1002 to the next number with a pair; the outer one went on from
    // there to the next number with two.
    const double inner = nextWithPairs(1002, 1);
    QCOMPARE(form->state().n, nextWithPairs(inner, 2));
    QVERIFY(form->state().pairCount >= 2);
}

void tst_Search::analysisDuringSearch()
{
    QVERIFY(form.open(OneNumberASlice));
    form.Text1()->setText(QStringLiteral("1000"));
    // Typing a number in the scroll bar's range runs an analysis; the search goes on from it.
    when(QStringLiteral(" 1002"), [this] { form.Text1()->setText(QStringLiteral("500")); });
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form->state().n, nextWithPairs(500, 2));
}

void tst_Search::closeDuringSearch()
{
    QVERIFY(form.open(OneNumberASlice));
    form.Text1()->setText(QStringLiteral("1000"));
    when(QStringLiteral(" 1002"), [this] { form->close(); });
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    // Not one more candidate after the close, and the window is gone once the search returned.
    QCOMPARE(form->state().n, 1002.0);
    QVERIFY(!form->isVisible());
    QVERIFY(form.errors().isEmpty());
}

void tst_Search::endOfTheRange()
{
    form.Text1()->setText(QStringLiteral("2147483645"));
    form.Command4()->click();
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form.errors(), QList<int>{6});
    QCOMPARE(form->state().n, 2147483647.0);
    QCOMPARE(form.Text1()->Text(), QStringLiteral(" 2147483647"));
    QVERIFY(form.txtSequenz()->Text().startsWith(QStringLiteral("\r\n 2147483647 = 2147483647")));
    // The program goes on: another analysis works.
    form.Text1()->setText(QStringLiteral("15"));
    form.Command1()->click();
    QVERIFY(form.txtSequenz()->Text().endsWith(QStringLiteral(" 4_ 6 =  7_ 8")));
}

void tst_Search::moreThanHundredRuns()
{
    QVERIFY(form.open(OneNumberASlice));
    form.Text1()->setText(QStringLiteral("1576574"));
    when(QStringLiteral(" 1576575"), [this] { form.Command3()->click(); });
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form->state().n, 1576576.0);
    QVERIFY(form.errors().isEmpty());
}

QTEST_MAIN(tst_Search)
#include "tst_search.moc"
