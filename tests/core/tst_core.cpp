#include "core/analysis_state.h"
#include "core/find_runs.h"
#include "core/halvable_pairs.h"
#include "core/pass.h"
#include "support/listing_oracle.h"
#include "rules/numrules.h"
#include "rules/runtime_error.h"
#include "support/state_compare.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

QByteArray exact(double v)
{
    return QByteArray::number(v, 'g', 17);
}

QByteArray bytes(const std::string &s)
{
    return QByteArray::fromStdString(s);
}

// A state in which every field holds something a pass would visibly change or keep.
core::AnalysisState usedState()
{
    core::AnalysisState s;
    s.n = 75;
    core::RunPass(s, s.n, {}, {});
    s.innerIndex = 42;
    s.stopRequested = 1;
    return s;
}

// One pass as the analysis command or a search runs it, with the per-run steps recorded.
struct Pass {
    core::AnalysisState state;
    std::vector<int> steps;
};

Pass runPass(double n, double bound)
{
    Pass p;
    p.state.n = n;
    core::RunPass(p.state, bound, {}, [&p](int k) { p.steps.push_back(k); });
    return p;
}

// The number of odd divisors, counted apart from the writer, which finds one run for each of them.
int oddDivisorCount(std::int64_t n)
{
    while (n % 2 == 0)
        n /= 2;
    int count = 0;
    for (std::int64_t d = 1; d * d <= n; d += 2)
        if (n % d == 0)
            count += d * d == n ? 1 : 2;
    return count;
}

// Empty when the pass for a whole n found exactly the independent writer's runs, lines and pairs.
QString mismatchWithOracle(const Pass &p, std::int64_t n, std::int64_t bound)
{
    const listing_oracle::Listing expected = listing_oracle::listingOf(n, bound);
    const std::vector<listing_oracle::Run> &runs = expected.runs;
    if (n >= 1 && static_cast<int>(runs.size()) != oddDivisorCount(n))
        return QString("the writer found %1 runs for %2 odd divisors").arg(runs.size()).arg(oddDivisorCount(n));
    if (p.state.runCount != static_cast<int>(runs.size()))
        return QString("runCount %1, expected %2").arg(p.state.runCount).arg(runs.size());
    for (std::size_t k = 1; k <= runs.size(); ++k) {
        const double start = p.state.runStart[k];
        const double end = p.state.runEnd[k];
        if (start != double(runs[k - 1].start) || end != double(runs[k - 1].end))
            return QString("run %1 is %2 to %3, expected %4 to %5")
                .arg(k)
                .arg(start)
                .arg(end)
                .arg(runs[k - 1].start)
                .arg(runs[k - 1].end);
    }
    if (p.state.listing != expected.text)
        return "listing differs:\n" + QString::fromStdString(p.state.listing) + "\nexpected:\n"
            + QString::fromStdString(expected.text);
    if (p.state.pairCount != expected.pairs)
        return QString("pairCount %1, expected %2").arg(p.state.pairCount).arg(expected.pairs);
    std::vector<int> oneToCount(runs.size());
    std::iota(oneToCount.begin(), oneToCount.end(), 1);
    if (p.steps != oneToCount)
        return "the per-run step did not run once per run in order";
    return {};
}

// Listings written out by hand, with what the pass leaves in the state.
struct HandWritten {
    QByteArray tag;
    double n, bound;
    QByteArray listing;
    int runs, pairs;
    double quotient;
};

std::vector<HandWritten> handWrittenListings()
{
    const QByteArray pairs = "\r\n\r\nhalbierbare Sequenzen:";
    const QByteArray keine = pairs + "\r\n\r\nkeine";
    const QByteArray l75 = "\r\n 75 = 75\r\n 75 = 24 +...+  26\r\n 75 = 13 +...+  17"
                           "\r\n 75 = 3 +...+  12\r\n 75 = 10 +...+  15\r\n 75 = 37 +...+  38"
        + pairs + "\r\n 3_ 12 =  13_ 17";
    const QByteArray l15 = "\r\n 15 = 15\r\n 15 = 4 +...+  6\r\n 15 = 1 +...+  5"
                           "\r\n 15 = 7 +...+  8"
        + pairs + "\r\n 4_ 6 =  7_ 8";
    const QByteArray l9 = "\r\n 9 = 9\r\n 9 = 2 +...+  4\r\n 9 = 4 +...+  5" + keine;
    const QByteArray l105 = "\r\n 105 = 105\r\n 105 = 34 +...+  36\r\n 105 = 19 +...+  23"
                            "\r\n 105 = 12 +...+  18\r\n 105 = 1 +...+  14\r\n 105 = 6 +...+  15"
                            "\r\n 105 = 15 +...+  20\r\n 105 = 52 +...+  53"
        + pairs + "\r\n 12_ 18 =  19_ 23\r\n 1_ 14 =  15_ 20";
    const QByteArray l3 = "\r\n 3 = 3\r\n 3 = 1 +...+  2" + pairs + "\r\n 1_ 2 =  3_ 3";
    const QByteArray l6_5 = "\r\n 6.5 = 6.5\r\n 6.5 = 1.16666666666667 +...+  3.16666666666667";
    const QByteArray lMax = "\r\n 2147483647 = 2147483647"
                            "\r\n 2147483647 = 1073741823 +...+  1073741824";

    std::vector<HandWritten> rows;
    // Whole n >= 1 get the same runs with either bound, since n + 1 never divides n.
    const struct {
        double n;
        QByteArray listing;
        int runs, pairs;
        double quotient;
    } examples[] = {
        {75, l75, 6, 1, 1},
        {15, l15, 4, 1, 1},
        {9, l9, 3, 0, 1},
        {105, l105, 8, 2, 1},
        {3, l3, 2, 1, 1},
        {64, "\r\n 64 = 64" + keine, 1, 0, 64},
        {1, "\r\n 1 = 1" + keine, 1, 0, 1},
        {7.5, "\r\n 7.5 = 7.5" + keine, 1, 0, 7.5},
        {6.5, l6_5 + keine, 2, 0, 6.5 / 3},
        {2147483647, lMax + keine, 2, 0, 1},
    };
    for (const auto &r : examples) {
        const QByteArray n = QByteArray::number(r.n, 'g', 12);
        rows.push_back({n + " bound n", r.n, r.n, r.listing, r.runs, r.pairs, r.quotient});
        rows.push_back({n + " bound n+1", r.n, r.n + 1, r.listing, r.runs, r.pairs, r.quotient});
    }
    rows.push_back({"0 bound n+1", 0.0, 1.0, "\r\n 0 = 1 +...+  0" + pairs + "\r\n 1_ 0 =  1_ 0", 1, 1, 0.0});

    // No scan at all: the quotient keeps the 1 that the earlier pass for 75 left.
    const struct {
        const char *tag;
        double n, bound;
    } empty[] = {
        {"0 bound n", 0, 0},
        {"-5 bound n", -5, -5},
        {"-5 bound n+1", -5, -4},
        {"0.5 bound n", 0.5, 0.5},
        {"0.9 bound n", 0.9, 0.9},
        {"-0.5 bound n+1", -0.5, 0.5},
        {"NaN bound n", notANumber, notANumber},
        {"NaN bound n+1", notANumber, notANumber + 1},
        {"-1e300 bound n", -1e300, -1e300},
        {"-1e300 bound n+1", -1e300, -1e300 + 1},
        {"-inf bound n+1", -inf, -inf + 1},
        {"-2147483649 bound n+1", -2147483649.0, -2147483648.0},
        {"-2147483648.5 bound n", -2147483648.5, -2147483648.5},
    };
    for (const auto &r : empty)
        rows.push_back({r.tag, r.n, r.bound, keine, 0, 0, 1.0});
    return rows;
}

} // namespace

class tst_Core : public QObject {
    Q_OBJECT

private slots:
    void oracleWritesTheHandWrittenListings_data();
    void oracleWritesTheHandWrittenListings();
    void listingAndState_data();
    void listingAndState();
    void stepsFollowTheRunLines_data();
    void stepsFollowTheRunLines();
    void startPassResetsOnlyListingAndCounters();
    void manyRunsAreListedInFull_data();
    void manyRunsAreListedInFull();
    void wholeNumbersMatchTheOracle_data();
    void wholeNumbersMatchTheOracle();
    void largeNumbersMatchTheOracle_data();
    void largeNumbersMatchTheOracle();
    void overflowChangesNothing_data();
    void overflowChangesNothing();
};

void tst_Core::oracleWritesTheHandWrittenListings_data()
{
    // First, so that the writer the scans are compared with below is itself pinned down.
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("bound");
    QTest::addColumn<QByteArray>("listing");
    QTest::addColumn<int>("pairCount");
    for (const HandWritten &r : handWrittenListings())
        if (listing_oracle::covers(r.n, r.bound))
            QTest::newRow(r.tag.constData()) << r.n << r.bound << r.listing << r.pairs;
}

void tst_Core::oracleWritesTheHandWrittenListings()
{
    QFETCH(double, n);
    QFETCH(double, bound);
    QFETCH(QByteArray, listing);
    QFETCH(int, pairCount);
    const listing_oracle::Listing l = listing_oracle::listingOf(std::int64_t(n), std::int64_t(bound));
    QCOMPARE(bytes(l.text), listing);
    QCOMPARE(l.pairs, pairCount);
}

void tst_Core::listingAndState_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("bound");
    QTest::addColumn<QByteArray>("listing");
    QTest::addColumn<int>("runCount");
    QTest::addColumn<int>("pairCount");
    QTest::addColumn<double>("quotient");
    for (const HandWritten &r : handWrittenListings())
        QTest::newRow(r.tag.constData()) << r.n << r.bound << r.listing << r.runs << r.pairs << r.quotient;
}

void tst_Core::listingAndState()
{
    QFETCH(double, n);
    QFETCH(double, bound);
    QFETCH(QByteArray, listing);
    QFETCH(int, runCount);
    QFETCH(int, pairCount);
    QFETCH(double, quotient);

    const core::AnalysisState before = usedState();
    core::AnalysisState s = before;
    s.n = n;
    std::vector<int> steps;
    core::RunPass(s, bound, {}, [&steps](int k) { steps.push_back(k); });

    QCOMPARE(bytes(s.listing), listing);
    QCOMPARE(int(s.runCount), runCount);
    QCOMPARE(int(s.pairCount), pairCount);
    QCOMPARE(exact(s.quotient), exact(quotient));
    QCOMPARE(int(steps.size()), runCount);
    // The counters of the pair scan stop one beyond the run count; with no run the outer one stays
    // at its first value and the inner one is never entered.
    QCOMPARE(exact(s.divisor), exact(runCount >= 1 ? runCount + 1 : 1));
    QCOMPARE(exact(s.innerIndex), exact(runCount >= 1 ? runCount + 1 : 42));
    QCOMPARE(exact(s.n), exact(n));
    QCOMPARE(int(s.stopRequested), 1);
    // Table entries beyond this pass's runs keep what the pass for 75 stored there.
    for (std::size_t k = std::size_t(runCount) + 1; k < before.runStart.size(); ++k) {
        QCOMPARE(exact(s.runStart[k]), exact(before.runStart[k]));
        QCOMPARE(exact(s.runEnd[k]), exact(before.runEnd[k]));
    }
}

void tst_Core::stepsFollowTheRunLines_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("bound");
    QTest::newRow("75 bound n") << 75.0 << 75.0;
    QTest::newRow("105 bound n") << 105.0 << 105.0;
    QTest::newRow("6.5 bound n") << 6.5 << 6.5;
    QTest::newRow("0 bound n+1") << 0.0 << 1.0;
    QTest::newRow("1576575 bound n") << 1576575.0 << 1576575.0;
}

void tst_Core::stepsFollowTheRunLines()
{
    QFETCH(double, n);
    QFETCH(double, bound);
    core::AnalysisState s = usedState();
    s.n = n;
    std::vector<int> steps;
    std::vector<std::string> listingAtStep;
    std::vector<int> runCountAtStep;
    // The chart's preparation comes once, after the pass start and before the first run.
    int prepares = 0;
    bool preparedAfterStart = false;
    auto prepare = [&] {
        ++prepares;
        preparedAfterStart = s.listing.empty() && s.runCount == 0 && s.pairCount == 0;
        preparedAfterStart = preparedAfterStart && steps.empty();
    };
    core::RunPass(s, bound, prepare, [&](int k) {
        steps.push_back(k);
        listingAtStep.push_back(s.listing);
        runCountAtStep.push_back(s.runCount);
    });
    QCOMPARE(prepares, 1);
    QVERIFY(preparedAfterStart);

    QVERIFY(s.runCount >= 1);
    QCOMPARE(int(steps.size()), int(s.runCount));
    // At step k the listing is the final listing cut before the line break that opens run k + 1
    // (or the pair section): run k's line is complete and nothing of later runs is there yet.
    std::size_t cut = 0;
    for (int k = 1; k <= s.runCount; ++k) {
        QCOMPARE(steps[k - 1], k);
        QCOMPARE(runCountAtStep[k - 1], k);
        cut = s.listing.find("\r\n", cut + 2);
        QVERIFY(cut != std::string::npos);
        QCOMPARE(bytes(listingAtStep[k - 1]), bytes(s.listing.substr(0, cut)));
        std::string line = rt::Str(n) + " =" + rt::Str(s.runStart[k]);
        if (s.runStart[k] != s.runEnd[k])
            line += " +...+ " + rt::Str(s.runEnd[k]);
        QVERIFY(listingAtStep[k - 1].ends_with("\r\n" + line));
    }
}

void tst_Core::startPassResetsOnlyListingAndCounters()
{
    core::AnalysisState s = usedState();
    s.quotient = 2.5;
    s.divisor = 77;
    const core::AnalysisState before = s;
    core::StartPass(s);
    core::AnalysisState expected = before;
    expected.listing.clear();
    expected.runCount = 0;
    expected.pairCount = 0;
    QVERIFY(sameState(s, expected));
}

void tst_Core::manyRunsAreListedInFull_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<int>("runs");
    QTest::newRow("1576575") << 1576575.0 << 108;
    QTest::newRow("1673196525") << 1673196525.0 << 576;
}

void tst_Core::manyRunsAreListedInFull()
{
    QFETCH(double, n);
    QFETCH(int, runs);
    for (double bound : {n, n + 1}) {
        const Pass p = runPass(n, bound);
        QCOMPARE(int(p.state.runCount), runs);
        QVERIFY(p.state.runStart.size() > std::size_t(runs));
        const QString mismatch = mismatchWithOracle(p, std::int64_t(n), std::int64_t(bound));
        QVERIFY2(mismatch.isEmpty(), qPrintable(QString("bound %1: %2").arg(bound, 0, 'f', 0).arg(mismatch)));
    }
}

void tst_Core::wholeNumbersMatchTheOracle_data()
{
    QTest::addColumn<int>("boundOffset");
    QTest::newRow("-50..5000 bound n") << 0;
    QTest::newRow("-50..5000 bound n+1") << 1;
}

void tst_Core::wholeNumbersMatchTheOracle()
{
    QFETCH(int, boundOffset);
    for (int n = -50; n <= 5000; ++n) {
        const Pass p = runPass(n, n + boundOffset);
        for (int k = 1; k <= p.state.runCount; ++k) {
            const double start = p.state.runStart[std::size_t(k)];
            const double end = p.state.runEnd[std::size_t(k)];
            // 0's one run is the empty one from 1 to 0.
            const bool inside = 1 <= start && start <= end + (n == 0) && end <= n;
            QVERIFY2(inside && (end - start + 1) * (start + end) / 2 == n,
                     qPrintable(QString("n = %1, run %2: %3 to %4").arg(n).arg(k).arg(start).arg(end)));
        }
        const QString mismatch = mismatchWithOracle(p, n, n + boundOffset);
        QVERIFY2(mismatch.isEmpty(), qPrintable(QString("n = %1: %2").arg(n).arg(mismatch)));
    }
}

void tst_Core::largeNumbersMatchTheOracle_data()
{
    QTest::addColumn<double>("n");
    // The top of the range, the longest two-pair search's end, powers of two and of ten, and a
    // number with two halvable pairs.
    for (double n : {2147483647.0, 2147483646.0, 2147483645.0, 2106451305.0, 1073741824.0, 1000000000.0, 999999999.0,
                     1000383615.0, 123456789.0})
        QTest::addRow("%.0f", n) << n;
}

void tst_Core::largeNumbersMatchTheOracle()
{
    QFETCH(double, n);
    for (double bound : {n, n + 1}) {
        const QString mismatch = mismatchWithOracle(runPass(n, bound), std::int64_t(n), std::int64_t(bound));
        QVERIFY2(mismatch.isEmpty(), qPrintable(QString("bound %1: %2").arg(bound, 0, 'f', 0).arg(mismatch)));
    }
}

void tst_Core::overflowChangesNothing_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("bound");
    const struct {
        const char *tag;
        double n, bound;
    } rows[] = {
        {"2147483647.5 bound n", 2147483647.5, 2147483647.5},
        {"2147483647.5 bound n+1", 2147483647.5, 2147483648.5},
        {"2147483648 bound n", 2147483648.0, 2147483648.0},
        {"3e9 bound n", 3e9, 3e9},
        {"3e9 bound n+1", 3e9, 3e9 + 1},
        {"1e300 bound n", 1e300, 1e300},
        {"inf bound n", inf, inf},
        {"inf bound n+1", inf, inf + 1},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << r.n << r.bound;
}

void tst_Core::overflowChangesNothing()
{
    QFETCH(double, n);
    QFETCH(double, bound);
    core::AnalysisState s = usedState();
    s.n = n;
    const core::AnalysisState before = s;
    int calls = 0;
    int error = 0;
    try {
        core::RunPass(
            s, bound, [&] { ++calls; }, [&](int) { ++calls; });
    } catch (const rt::RuntimeError &e) {
        error = e.number();
    }
    QCOMPARE(error, int(rt::ErrorCode::Overflow));
    QCOMPARE(calls, 0);
    QVERIFY(sameState(s, before));

    // The scan on its own makes the same promise.
    error = 0;
    try {
        core::FindRuns(s, bound, [&](int) { ++calls; });
    } catch (const rt::RuntimeError &e) {
        error = e.number();
    }
    QCOMPARE(error, int(rt::ErrorCode::Overflow));
    QCOMPARE(calls, 0);
    QVERIFY(sameState(s, before));
}

QTEST_APPLESS_MAIN(tst_Core)
#include "tst_core.moc"
