// The counted pass of a search against the full pass and the literal scan: counts, every number of
// the state, and the tables and listing that Settle writes afterwards, however the passes follow
// one another.
#include "core/divisor_sieve.h"
#include "core/literal_scan.h"
#include "core/pass.h"
#include "core/quiet_pass.h"
#include "core/run_counts.h"
#include "state_compare.h"

#include <QTest>

#include <cmath>
#include <random>
#include <vector>

namespace {

// The literal pass: every odd number up to the bound tried with Mod, every combination of runs.
core::AnalysisState literalPass(double n, double bound)
{
    core::AnalysisState s;
    s.n = n;
    core::StartPass(s);
    core::FindRunsLiteral(s, bound, {});
    core::ListHalvablePairsLiteral(s);
    return s;
}

QString describe(const core::AnalysisState &s)
{
    return QStringLiteral("n %1 runs %2 pairs %3 divisor %4 inner %5 quotient %6\n%7")
        .arg(s.n, 0, 'f', 2)
        .arg(s.runCount)
        .arg(s.pairCount)
        .arg(s.divisor)
        .arg(s.innerIndex)
        .arg(s.quotient)
        .arg(QString::fromStdString(s.listing));
}

} // namespace

class tst_QuietPass : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsAgainstLiteral_data();
    void countsAgainstLiteral();
    void countsAgainstFullPass_data();
    void countsAgainstFullPass();
    void followedByRun_data();
    void followedByRun();
    void sequences_data();
    void sequences();
    void randomSequence();
};

void tst_QuietPass::countsAgainstLiteral_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("1 to 2500") << 1 << 2500;
    QTest::newRow("945 and around") << 940 << 950;
    QTest::newRow("5000 to 5100") << 5000 << 5100;
}

void tst_QuietPass::countsAgainstLiteral()
{
    // Every shortcut of the counting (pairs only for multiples of 3, the square test on run ends,
    // the quotient from the odd part) against trying every odd number and every combination.
    QFETCH(int, first);
    QFETCH(int, last);
    core::DivisorSieve sieve;
    int withPairs = 0;
    for (int n = first; n <= last; ++n) {
        const core::AnalysisState literal = literalPass(n, n + 1);
        const core::RunCounts counts = core::CountRuns(static_cast<std::uint32_t>(n), sieve);
        QVERIFY2(counts.runs == literal.runCount && counts.pairs == literal.pairCount, qPrintable(describe(literal)));
        QCOMPARE(double(n) / counts.largestOdd, literal.quotient);
        withPairs += counts.pairs > 0 ? 1 : 0;
    }
    if (last - first > 1000)
        QVERIFY(withPairs > 10);
}

void tst_QuietPass::countsAgainstFullPass_data()
{
    QTest::addColumn<qlonglong>("first");
    QTest::addColumn<int>("length");
    QTest::newRow("1 to 300000") << 1LL << 300000;
    QTest::newRow("from 10^9") << 1000000000LL << 60000;
    QTest::newRow("two-pair stretch below 2^31") << 2106451305LL << 40000;
    QTest::newRow("up to 2147483647") << 2147443648LL << 40000;
    QTest::newRow("many runs") << 1673196500LL << 50;
}

void tst_QuietPass::countsAgainstFullPass()
{
    // The full pass is the literal scan's equal (tst_literal, tst_sieve); here it checks the
    // counts where the literal scan would take minutes.
    QFETCH(qlonglong, first);
    QFETCH(int, length);
    core::DivisorSieve countSieve, passSieve;
    core::AnalysisState full;
    int withPairs = 0;
    for (qlonglong n = first; n < first + length; ++n) {
        full.n = double(n);
        core::RunPass(full, full.n + 1, {}, {}, &passSieve);
        const core::RunCounts counts = core::CountRuns(static_cast<std::uint32_t>(n), countSieve);
        if (counts.runs != full.runCount || counts.pairs != full.pairCount)
            QFAIL(qPrintable(QStringLiteral("counted %1 runs, %2 pairs; ").arg(counts.runs).arg(counts.pairs)
                             + describe(full)));
        if (full.pairCount > 0 && n % 3 != 0)
            QFAIL(qPrintable(QStringLiteral("a pair for %1, not a multiple of 3").arg(n)));
        withPairs += counts.pairs > 0 ? 1 : 0;
    }
    if (length >= 1000)
        QVERIFY(withPairs > 0);
}

void tst_QuietPass::followedByRun_data()
{
    QTest::addColumn<qlonglong>("e");
    QTest::addColumn<qlonglong>("n");
    QTest::addColumn<bool>("followed");
    // 15: 4..6 is followed by 7..8; 3: 1..2 by 3; 105: 12..18 by 19..23 and 1..14 by 15..20.
    QTest::newRow("15 after 6") << 6LL << 15LL << true;
    QTest::newRow("15 after 5") << 5LL << 15LL << false;
    QTest::newRow("3 after 2") << 2LL << 3LL << true;
    QTest::newRow("3 after 3") << 3LL << 3LL << false;
    QTest::newRow("105 after 18") << 18LL << 105LL << true;
    QTest::newRow("105 after 14") << 14LL << 105LL << true;
    QTest::newRow("105 after 23") << 23LL << 105LL << false;
    QTest::newRow("1 after 0") << 0LL << 1LL << true; // 1 itself follows the empty start
    // At the top of the range the squares pass 2^64.
    QTest::newRow("2147483647 after itself") << 2147483647LL << 2147483647LL << false;
    QTest::newRow("2147483646 after 1073741823") << 1073741823LL << 2147483646LL << false;
    // 2147087250 is the last two-pair number below 2^31; 1073543625 + 1073543625 is one of its runs.
    QTest::newRow("2147087250 after its half") << 1073543625LL << 2147087250LL << false;
}

void tst_QuietPass::followedByRun()
{
    QFETCH(qlonglong, e);
    QFETCH(qlonglong, n);
    QFETCH(bool, followed);
    QCOMPARE(core::FollowedByRun(std::uint64_t(e), std::uint64_t(n)), followed);
    // The definition: the integers from e + 1 on reach exactly n.
    long long sum = 0, b = e;
    while (sum < n)
        sum += ++b;
    QCOMPARE(sum == n, followed);
}

void tst_QuietPass::sequences_data()
{
    // Numbers passed one after another; a "q" before a number makes it a counted pass, "f" a
    // full one, "s" settles before it. The tables' stale entries come from whichever pass last
    // reached them.
    QTest::addColumn<QStringList>("passes");
    QTest::newRow("fewer runs, then more") << QStringList{"q1576575", "q1000", "q1001", "q945", "q1002"};
    QTest::newRow("more runs each time") << QStringList{"q2", "q15", "q105", "q945", "q1576575"};
    QTest::newRow("full pass reads after counted ones") << QStringList{"q1576575", "q16", "f945", "q8"};
    QTest::newRow("counted after a full pass with more runs") << QStringList{"f1576575", "q945", "q1000"};
    QTest::newRow("settled in the middle") << QStringList{"q1576575", "q945", "s", "q16", "q1000000000"};
    QTest::newRow("not countable: zero, halves, negative")
        << QStringList{"q945", "q0", "q7.5", "q-3", "q1576575", "q2.5"};
    QTest::newRow("top of the range") << QStringList{"q2147483646", "q2147483647", "q2147087250"};
    QTest::newRow("growing tables") << QStringList{"q1673196525", "q1000", "q1576575"};
}

void tst_QuietPass::sequences()
{
    QFETCH(QStringList, passes);
    core::AnalysisState quiet, full;
    core::DivisorSieve sieve;
    for (const QString &p : std::as_const(passes)) {
        if (p == QLatin1String("s")) {
            core::Settle(quiet);
            continue;
        }
        const double n = p.mid(1).toDouble();
        quiet.n = full.n = n;
        if (p.startsWith(u'q'))
            core::QuietPass(quiet, n + 1, &sieve);
        else
            core::RunPass(quiet, n + 1, {}, {});
        core::RunPass(full, n + 1, {}, {});
        // The numbers are exact at once, before anything is written.
        QVERIFY2(quiet.runCount == full.runCount && quiet.pairCount == full.pairCount && same(quiet.n, full.n)
                     && same(quiet.divisor, full.divisor) && same(quiet.innerIndex, full.innerIndex)
                     && same(quiet.quotient, full.quotient),
                 qPrintable(p + QLatin1Char(' ') + describe(quiet) + QLatin1Char('\n') + describe(full)));
    }
    QCOMPARE(core::ListingOf(full.n, full.n + 1), full.listing);
    core::Settle(quiet);
    QVERIFY2(sameState(quiet, full), qPrintable(describe(quiet) + QLatin1Char('\n') + describe(full)));
    QVERIFY(quiet.unwritten.empty());
}

void tst_QuietPass::randomSequence()
{
    // A search's pattern: mostly one up, now and then a jump or a full pass, settled at random.
    std::mt19937 rng(1312);
    core::AnalysisState quiet, full;
    core::DivisorSieve sieve;
    double n = 1;
    int settles = 0;
    for (int i = 0; i < 30000; ++i) {
        const int r = int(rng() % 1000);
        if (r < 3)
            n = double(rng() % 2147483647u);
        else if (r < 6)
            n = double(rng() % 3000);
        else
            n += 1;
        quiet.n = full.n = n;
        if (r % 50 == 7)
            core::RunPass(quiet, n + 1, {}, {});
        else
            core::QuietPass(quiet, n + 1, &sieve);
        core::RunPass(full, n + 1, {}, {}, nullptr);
        if (r % 97 == 0 || i == 29999) {
            core::Settle(quiet);
            ++settles;
            QVERIFY2(sameState(quiet, full), qPrintable(describe(quiet) + QLatin1Char('\n') + describe(full)));
        }
    }
    QVERIFY(settles > 100);
}

QTEST_MAIN(tst_QuietPass)
#include "tst_quietpass.moc"
