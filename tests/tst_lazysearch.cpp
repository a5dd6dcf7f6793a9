// A search whose listing, chart and number box text are made only when read, against the search
// that made them for every candidate: stopped at random candidates, read in the middle, with an
// analysis pass nested in its yield, the state, the listing, the chart, the number box and the
// random colours must be exactly those of the eager search.
#include "chart/chart.h"
#include "core/pass.h"
#include "rules/numrules.h"
#include "state_compare.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QtTest>

#include <random>

namespace {

bool sameOps(const rt::Canvas &a, const rt::Canvas &b)
{
    const auto &x = a.operations(), &y = b.operations();
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const auto &p, const auto &q) {
        return p.kind == q.kind && p.x1 == q.x1 && p.y1 == q.y1 && p.x2 == q.x2 && p.y2 == q.y2 && p.colour == q.colour
            && p.text == q.text;
    });
}

// The search as it ran before, every candidate's pass drawn and listed at once.
struct EagerSearch {
    core::AnalysisState state;
    rt::Rnd rnd;
    rt::Canvas canvas;
    bool labels = false;

    void candidate(double n)
    {
        state.n = n;
        core::RunPass(
            state, n + 1, [&] { chart::PrepareChart(canvas, state, 1000, n, chart::SearchGridColour); },
            [&](int k) { chart::DrawRun(canvas, state, rnd, k, labels); });
    }
    // The analysis button's pass, for a number below the width cap's reach.
    void analysis(double n)
    {
        state.n = n;
        const double right = std::min(rt::CLng(n), 5000) + 10.0;
        core::RunPass(
            state, n, [&] { chart::PrepareChart(canvas, state, right, n, chart::AnalysisGridColour); },
            [&](int k) { chart::DrawRun(canvas, state, rnd, k, true); });
    }
};

} // namespace

class tst_LazySearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup() { form.reset(); }
    void againstEagerSearch_data();
    void againstEagerSearch();
    void unwatchedAgainstEagerSearch_data();
    void unwatchedAgainstEagerSearch();
    void searchFromTheEnd_data();
    void searchFromTheEnd();

private:
    // Starts the eager search where the window stands.
    void startFromWindow(EagerSearch &eager, bool labels) const;
    // The window after a search that ended at `last` against the eager search: the listing, the
    // number box, Rnd, the chart, and the colour of the next analysis's bars.
    void windowMatchesEager(EagerSearch &eager, double last);
    // Runs at every yield of the search: the action at the given yield, the stop at `stopAt`.
    void hop(int yield);
    std::unique_ptr<ui::Form1> form;
    QList<QString> hints;
    int stopAt = 0, readAt = -1, analyseAt = -1;
    QList<double> analysedAt;
    int reads = 0;
    QString failure;
};

void tst_LazySearch::init()
{
    form = std::make_unique<ui::Form1>(rt::ScreenSize{15360, 11520});
    hints.clear();
    form->errorReporter().setHandler([this](const rt::RuntimeError &, const QString &hint) { hints << hint; });
    form->resize(800, 600);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void tst_LazySearch::startFromWindow(EagerSearch &eager, bool labels) const
{
    eager.labels = labels;
    eager.rnd = form->rnd();
    eager.canvas.resize(form->picGraph->size());
    eager.canvas.setForeColor(form->picGraph->ForeColor());
    eager.state = form->state();
}

void tst_LazySearch::windowMatchesEager(EagerSearch &eager, double last)
{
    QCOMPARE(form->txtSequenz->Text(), QString::fromStdString(eager.state.listing));
    QCOMPARE(form->Text1->Text(), QString::fromStdString(rt::Str(last)));
    QVERIFY(form->rnd() == eager.rnd);
    QVERIFY(sameOps(*form->picGraph, eager.canvas));
    QCOMPARE(form->picGraph->CurrentX(), eager.canvas.CurrentX());
    QCOMPARE(form->picGraph->CurrentY(), eager.canvas.CurrentY());
    QCOMPARE(form->picGraph->ForeColor(), eager.canvas.ForeColor());
    // The next bar's colour comes from where both sequences stand.
    form->Command1->click();
    eager.analysis(last);
    QVERIFY(sameOps(*form->picGraph, eager.canvas));
}

void tst_LazySearch::hop(int yield)
{
    if (!form->commands().searching())
        return;
    if (yield == readAt) {
        // A read in the middle: the state, the listing and the chart of the candidate just passed.
        const double n = form->state().n;
        core::AnalysisState fresh;
        fresh.n = n;
        core::RunPass(fresh, n + 1, {}, {});
        if (form->txtSequenz->Text() != QString::fromStdString(fresh.listing) || form->state().listing != fresh.listing
            || form->state().pairCount != fresh.pairCount || form->Text1->Text() != QString::fromStdString(rt::Str(n)))
            failure = QStringLiteral("read in the middle at %1").arg(n, 0, 'f', 0);
        // Reading the chart makes its records; the search must go on from there unchanged.
        reads += form->picGraph->operations().empty() ? 0 : 1;
    }
    if (yield == analyseAt) {
        analysedAt << form->state().n;
        form->Command1->click();
    }
    if (yield == stopAt) {
        form->Command3->click();
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, yield] { hop(yield + 1); }, Qt::QueuedConnection);
}

void tst_LazySearch::againstEagerSearch_data()
{
    QTest::addColumn<qlonglong>("start");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("analyse");
    // Fixed rows for the seams, then random starts and stops from a fixed seed.
    QTest::newRow("1000000000 stopped, no reads") << 1000000000LL << false << 500 << -1 << -1;
    QTest::newRow("1000000000 read in the middle") << 1000000000LL << false << 400 << 150 << -1;
    QTest::newRow("2106451305 analysis nested, then read") << 2106451305LL << false << 300 << 200 << 100;
    QTest::newRow("5000 with labels, analysis nested") << 5000LL << true << 60 << 10 << 30;
    QTest::newRow("2147480000 to the end of the range") << 2147480000LL << false << 100000 << 2000 << -1;
    std::mt19937 rng(2026);
    for (int i = 0; i < 8; ++i) {
        const qlonglong start = 1000 + qlonglong(rng() % 2146000000u);
        const bool labels = rng() % 2;
        const int stop = 1 + int(rng() % 3000);
        const int read = rng() % 2 ? int(rng() % unsigned(stop)) : -1;
        const int analyse = rng() % 3 == 0 ? int(rng() % unsigned(stop)) : -1;
        QTest::addRow("random %lld%s stop %d read %d analyse %d", start, labels ? " labels" : "", stop, read, analyse)
            << start << labels << stop << read << analyse;
    }
}

void tst_LazySearch::againstEagerSearch()
{
    QFETCH(qlonglong, start);
    QFETCH(bool, labels);
    QFETCH(int, stop);
    QFETCH(int, read);
    QFETCH(int, analyse);
    stopAt = stop;
    readAt = read;
    analyseAt = analyse;
    analysedAt.clear();
    reads = 0;
    failure.clear();

    EagerSearch eager;
    startFromWindow(eager, labels);

    form->Text1->setText(QString::number(start));
    QMetaObject::invokeMethod(
        this, [this] { hop(0); }, Qt::QueuedConnection);
    (labels ? form->Command4 : form->Command5)->click();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    if (read >= 0 && read < stop)
        QVERIFY(reads > 0 || form->state().n - start <= read);

    // The eager search over the same candidates, with the analysis where it ran.
    const double last = form->state().n;
    double n = double(start);
    for (const double at : std::as_const(analysedAt)) {
        for (; n < at;)
            eager.candidate(++n);
        eager.analysis(at);
    }
    while (n < last)
        eager.candidate(++n);
    eager.state.stopRequested = form->state().stopRequested;

    QVERIFY2(sameState(form->state(), eager.state),
             qPrintable(QStringLiteral("at %1, runs %2 / %3, pairs %4 / %5")
                            .arg(last, 0, 'f', 0)
                            .arg(form->state().runCount)
                            .arg(eager.state.runCount)
                            .arg(form->state().pairCount)
                            .arg(eager.state.pairCount)));
    QCOMPARE(form->picGraph->scaleRect(), eager.canvas.scaleRect());
    windowMatchesEager(eager, last);
}

void tst_LazySearch::unwatchedAgainstEagerSearch_data()
{
    QTest::addColumn<qlonglong>("start");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<int>("stop"); // candidates, at least
    QTest::addColumn<int>("read"); // candidates, at least; -1 for none
    QTest::newRow("1000000000, read at 20000") << 1000000000LL << false << 60000 << 20000;
    QTest::newRow("2106451305 with labels") << 2106451305LL << true << 40000 << -1;
    QTest::newRow("1000 with labels, read at 3000") << 1000LL << true << 8000 << 3000;
}

void tst_LazySearch::unwatchedAgainstEagerSearch()
{
    // Queued calls and input bring the widgets up to date at every candidate; a timer does not,
    // so here the search skips the listing and the chart of thousands of candidates between the
    // frames, and the reads and the stop meet values that nobody has made yet.
    QFETCH(qlonglong, start);
    QFETCH(bool, labels);
    QFETCH(int, stop);
    QFETCH(int, read);
    EagerSearch eager;
    startFromWindow(eager, labels);

    int reads = 0;
    QTimer probe;
    probe.setInterval(0);
    connect(&probe, &QTimer::timeout, this, [&] {
        if (!form->commands().searching())
            return;
        const double tried = form->Text1->Val() - double(start);
        if (read >= 0 && reads == 0 && tried >= read) {
            ++reads;
            const double n = form->state().n;
            core::AnalysisState fresh;
            fresh.n = n;
            core::RunPass(fresh, n + 1, {}, {});
            if (form->txtSequenz->Text() != QString::fromStdString(fresh.listing)
                || form->state().listing != fresh.listing || form->state().runCount != fresh.runCount
                || form->Text1->Text() != QString::fromStdString(rt::Str(n)))
                failure = QStringLiteral("read in the middle at %1").arg(n, 0, 'f', 0);
            reads += form->picGraph->operations().empty() ? 0 : 1;
        }
        if (tried >= stop) {
            probe.stop();
            form->Command3->click();
        }
    });
    failure.clear();
    form->Text1->setText(QString::number(start));
    probe.start();
    (labels ? form->Command4 : form->Command5)->click();
    probe.stop();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    if (read >= 0 && form->state().n - double(start) > read)
        QCOMPARE(reads, 2);

    const double last = form->state().n;
    for (double n = double(start); n < last;)
        eager.candidate(++n);
    eager.state.stopRequested = form->state().stopRequested;
    QVERIFY(sameState(form->state(), eager.state));
    windowMatchesEager(eager, last);
}

void tst_LazySearch::searchFromTheEnd_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("candidates");
    QTest::addColumn<QString>("hint");
    const QString end = QStringLiteral("Die Suche ist bei 2147483647 angekommen");
    const QString range = QStringLiteral("Die Zahl n muss gerundet im Bereich");
    // From the range's last number (or one that rounds to it) the first candidate is past the end.
    QTest::newRow("2147483647") << "2147483647" << 0 << end;
    QTest::newRow("2147483646.6") << "2147483646.6" << 0 << end;
    QTest::newRow("2147483645") << "2147483645" << 2 << end;
    // A start out of the range is the number's own fault.
    QTest::newRow("2147483648") << "2147483648" << 0 << range;
    QTest::newRow("3e9") << "3e9" << 0 << range;
}

void tst_LazySearch::searchFromTheEnd()
{
    QFETCH(QString, start);
    QFETCH(int, candidates);
    QFETCH(QString, hint);
    const std::string before = form->state().listing;
    form->Text1->setText(start);
    form->Command5->click();
    QCOMPARE(hints.size(), 1);
    QVERIFY2(hints.front().startsWith(hint), qPrintable(hints.front()));
    if (candidates == 0) {
        // Nothing is lost: the number box, n and the listing stay as they were.
        QCOMPARE(form->Text1->Text(), start);
        QCOMPARE(form->state().listing, before);
    } else {
        QCOMPARE(form->state().n, 2147483647.0);
    }
}

QTEST_MAIN(tst_LazySearch)
#include "tst_lazysearch.moc"
