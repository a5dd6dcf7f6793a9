// The counts of runs and pairs that a search steps over numbers with, against the full pass and
// the literal scan.
#include "core/divisor_sieve.h"
#include "core/literal_scan.h"
#include "core/pass.h"
#include "core/run_counts.h"
#include "support/state_compare.h"

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

class tst_RunCounts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsAgainstLiteral_data();
    void countsAgainstLiteral();
    void countsAgainstFullPass_data();
    void countsAgainstFullPass();
    void followedByRun_data();
    void followedByRun();
};

void tst_RunCounts::countsAgainstLiteral_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("1 to 2500") << 1 << 2500;
    QTest::newRow("945 and around") << 940 << 950;
    QTest::newRow("5000 to 5100") << 5000 << 5100;
}

void tst_RunCounts::countsAgainstLiteral()
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

void tst_RunCounts::countsAgainstFullPass_data()
{
    QTest::addColumn<qlonglong>("first");
    QTest::addColumn<int>("length");
    QTest::newRow("1 to 300000") << 1LL << 300000;
    QTest::newRow("from 10^9") << 1000000000LL << 60000;
    QTest::newRow("two-pair stretch below 2^31") << 2106451305LL << 40000;
    QTest::newRow("up to 2147483647") << 2147443648LL << 40000;
    QTest::newRow("many runs") << 1673196500LL << 50;
}

void tst_RunCounts::countsAgainstFullPass()
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

void tst_RunCounts::followedByRun_data()
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

void tst_RunCounts::followedByRun()
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

QTEST_MAIN(tst_RunCounts)
#include "tst_runcounts.moc"
