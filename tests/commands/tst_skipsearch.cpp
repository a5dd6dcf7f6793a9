// The search that steps over the numbers which cannot stop it, against one that analyses every
// number: whole searches, and searches cut into slices with the user acting between two of them,
// leave everything that a procedure or a control can read alike.
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "support/search_oracle.h"
#include "support/slice_driver.h"
#include "ui/application.h"

#include <QtTest>

#include <random>

namespace {

using commands::Stepping;
using support::Form1Fixture;

// What a procedure or a person can read of the window. Table entries above runCount are left
// out: nothing reads them.
QString readable(const Form1Fixture &f)
{
    const core::AnalysisState &s = f->state();
    QString runs;
    for (int k = 1; k <= s.runCount; ++k)
        runs += QStringLiteral("%1-%2 ").arg(s.runStart[k], 0, 'g', 17).arg(s.runEnd[k], 0, 'g', 17);
    const rt::CanvasImage &canvas = f.picGraph()->image();
    return QStringLiteral("n %1 runs %2 pairs %3 quotient %4 divisor %5 inner %6 stop %7\ntables %8\n"
                          "box '%9' number bar %10 [%11, %12] pan bar %13 [%14, %15] canvas width %16\n"
                          "fore %17 at %18, %19 records %20\n%21")
        .arg(s.n, 0, 'g', 17)
        .arg(s.runCount)
        .arg(s.pairCount)
        .arg(s.quotient, 0, 'g', 17)
        .arg(s.divisor, 0, 'g', 17)
        .arg(s.innerIndex, 0, 'g', 17)
        .arg(s.stopRequested)
        .arg(runs, f.Text1()->Text())
        .arg(f.VScroll1()->Value())
        .arg(f.VScroll1()->Min())
        .arg(f.VScroll1()->Max())
        .arg(f.HScroll1()->Value())
        .arg(f.HScroll1()->Min())
        .arg(f.HScroll1()->Max())
        .arg(double(f->placement(f.picGraph()).Width()))
        .arg(canvas.ForeColor())
        .arg(canvas.CurrentX())
        .arg(canvas.CurrentY())
        .arg(canvas.records().size())
        .arg(f.txtSequenz()->Text());
}

// Both windows alike, the chart and the draws of Rnd so far included.
bool alike(const Form1Fixture &a, const Form1Fixture &b, QString &why)
{
    const QString x = readable(a), y = readable(b);
    if (x != y) {
        why = QStringLiteral("skipping:\n%1\nanalysing every number:\n%2").arg(x, y);
        return false;
    }
    if (!(a.picGraph()->image() == b.picGraph()->image())) {
        why = QStringLiteral("the charts differ at n %1").arg(a->state().n, 0, 'g', 17);
        return false;
    }
    if (!(a->rnd() == b->rnd())) {
        why = QStringLiteral("Rnd has drawn differently at n %1").arg(a->state().n, 0, 'g', 17);
        return false;
    }
    if (a->commands().searching() != b->commands().searching()) {
        why = QStringLiteral("only one is still searching at n %1").arg(a->state().n, 0, 'g', 17);
        return false;
    }
    return true;
}

enum class Event { Stop, TypedNumber, NumberBarStep, PanBarStep, Analysis, OnePairSearch, TwoPairSearch };
constexpr int EventKinds = 7;

struct Window {
    explicit Window(Stepping stepping, std::uint32_t sliceCandidates = 0)
    {
        opened = form.open({stepping, sliceCandidates});
    }
    void act(Event e, int value)
    {
        switch (e) {
        case Event::Stop:
            form.Command3()->click();
            break;
        case Event::TypedNumber:
            form.Text1()->setText(QString::number(value));
            break;
        case Event::NumberBarStep:
            form.VScroll1()->setValue(
                std::int16_t(std::clamp(form.VScroll1()->Value() + (value % 2 ? 1 : -1), 3, 1000)));
            break;
        case Event::PanBarStep:
            form.HScroll1()->setValue(std::int16_t(std::max(0, std::min<int>(form.HScroll1()->Max(), value % 500))));
            break;
        case Event::Analysis:
            form.Command1()->click();
            break;
        case Event::OnePairSearch:
            form.Command4()->click();
            break;
        case Event::TwoPairSearch:
            form.Command5()->click();
            break;
        }
    }
    Form1Fixture form;
    bool opened = false;
};

void startBoth(Window &a, Window &b, const QString &start, int pairs)
{
    for (Window *w : {&a, &b}) {
        w->form.Text1()->setText(start);
        (pairs == 1 ? w->form.Command4() : w->form.Command5())->click();
    }
}

} // namespace

class tst_SkipSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void wholeSearches_data();
    void wholeSearches();
    void everyNumberShown_data();
    void everyNumberShown();
    void interrupted_data();
    void interrupted();
};

void tst_SkipSearch::wholeSearches_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("pairs");
    for (const char *start : {"2106451305", "1000000000", "105", "8505", "999", "998.5", "2147483646", "2147483645",
                              "2147480000", "2108332904", "1000383614", "2108332905"})
        for (int pairs : {1, 2})
            QTest::addRow("%s %d", start, pairs) << QString::fromLatin1(start) << pairs;
    std::mt19937 rng(20261209u);
    for (int i = 0; i < 8; ++i) {
        const auto start = std::uniform_int_distribution<std::uint32_t>(1, 2147483646)(rng);
        QTest::addRow("%u %d", start, 1 + i % 2) << QString::number(start) << 1 + i % 2;
    }
}

void tst_SkipSearch::wholeSearches()
{
    QFETCH(QString, start);
    QFETCH(int, pairs);
    Window skipping(Stepping::Skipping), counting(Stepping::PerCandidate);
    QVERIFY(skipping.opened && counting.opened);
    startBoth(skipping, counting, start, pairs);
    QVERIFY(finishSearches(skipping.form->commands()));
    QVERIFY(finishSearches(counting.form->commands()));
    QString why;
    QVERIFY2(alike(skipping.form, counting.form, why), qPrintable(why));
    QCOMPARE(skipping.form.errors(), counting.form.errors());
    QCOMPARE(skipping.form->commands().passes(), counting.form->commands().passes());
}

void tst_SkipSearch::everyNumberShown_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("pairs");
    QTest::newRow("105 2") << "105" << 2;
    QTest::newRow("995 1") << "995" << 1;
    QTest::newRow("8505 2") << "8505" << 2;
    QTest::newRow("2108327905 2") << "2108327905" << 2;
    QTest::newRow("2147475000 2") << "2147475000" << 2;
}

void tst_SkipSearch::everyNumberShown()
{
    // Slices of one number each: every number is written to the box, analysed with its chart
    // and listing, as a search without any shortcut does it.
    QFETCH(QString, start);
    QFETCH(int, pairs);
    Window skipping(Stepping::Skipping), literal(Stepping::PerCandidate, 1);
    QVERIFY(skipping.opened && literal.opened);
    startBoth(skipping, literal, start, pairs);
    QVERIFY(finishSearches(skipping.form->commands()));
    QVERIFY(finishSearches(literal.form->commands()));
    QString why;
    QVERIFY2(alike(skipping.form, literal.form, why), qPrintable(why));
    QCOMPARE(skipping.form.errors(), literal.form.errors());
}

void tst_SkipSearch::interrupted_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed = 1; seed <= 6; ++seed) {
        QTest::addRow("995 2 seed %u", seed) << "995" << 2 << seed;
        QTest::addRow("1000000 1 seed %u", seed) << "1000000" << 1 << seed;
        QTest::addRow("2108320000 2 seed %u", seed) << "2108320000" << 2 << seed;
    }
}

void tst_SkipSearch::interrupted()
{
    // The skipping search in slices of a random length, the user's event after some of them; the
    // literal one analyses number after number until it has reached the same one, then meets the
    // same event.
    QFETCH(QString, start);
    QFETCH(int, pairs);
    QFETCH(unsigned, seed);
    std::mt19937 rng(seed);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Window skipping(Stepping::Skipping), literal(Stepping::PerCandidate, 1);
    QVERIFY(skipping.opened && literal.opened);
    // The first slice, which runs within the click, short, so that the user meets every search.
    commands::SliceDriver::setSliceCandidates(skipping.form->commands(), std::uint32_t(pick(1, 20)));
    startBoth(skipping, literal, start, pairs);
    QString why;
    int events = 0;
    // The literal search goes on number after number until it has reached the skipping one.
    const auto catchUp = [&] {
        const double reached = skipping.form->state().n;
        for (int guard = 0;
             guard < 100000 && literal.form->commands().searching() && literal.form->state().n != reached; ++guard)
            commands::SliceDriver::advance(literal.form->commands());
    };
    for (int slice = 0; slice < 60 && (slice == 0 || skipping.form->commands().searching()); ++slice) {
        if (slice > 0) {
            commands::SliceDriver::setSliceCandidates(skipping.form->commands(), std::uint32_t(pick(1, 3000)));
            commands::SliceDriver::advance(skipping.form->commands());
        }
        catchUp();
        QVERIFY2(alike(skipping.form, literal.form, why), qPrintable(why));
        if (slice == 0 || pick(0, 2) == 0) {
            const auto e = Event(pick(0, EventKinds - 1));
            // A typed number keeps to where the literal search can follow quickly.
            const int value =
                e == Event::TypedNumber ? int(skipping.form->state().n) + pick(-2000, 2000) : pick(0, 999);
            skipping.act(e, value);
            literal.act(e, value);
            ++events;
            // A search started here has run its first slice in each window.
            catchUp();
            QVERIFY2(alike(skipping.form, literal.form, why), qPrintable(why));
        }
    }
    QCOMPARE(skipping.form.errors(), literal.form.errors());
    QVERIFY(events > 0);
}

QTEST_MAIN(tst_SkipSearch)
#include "tst_skipsearch.moc"
