#include "core/analysis_state.h"
#include "core/find_runs.h"
#include "core/halvable_pairs.h"
#include "core/literal_scan.h"
#include "core/pass.h"
#include "support/listing_oracle.h"
#include "rules/runtime_error.h"
#include "support/state_compare.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

// The fast scan (odd divisors of n, sorted pair index) must leave exactly the state that the
// literal scan (every odd number tried with Mod, every ordered pair of runs tested) leaves:
// every number, every table entry, every character of the listing and every per-run step.
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

QString number(double v)
{
    return QString::number(v, 'g', 17);
}

// The literal scan tries every odd number up to n: the rows with large n take most of a minute
// together and run in the slow tier (SUMMENLEITER_TEST_TIER=slow), the others in the fast one.
constexpr double SlowFrom = 20000;
bool slowTier()
{
    return qEnvironmentVariable("SUMMENLEITER_TEST_TIER") == QLatin1String("slow");
}
bool inThisTier(double largestN)
{
    return (std::fabs(largestN) > SlowFrom) == slowTier();
}

QString firstDifference(const std::string &a, const std::string &b, const char *aName = "fast",
                        const char *bName = "literal")
{
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const std::size_t from = i < 40 ? 0 : i - 40;
    // Line breaks shown as \r\n keep a difference in them visible on one line of the report.
    auto excerpt = [from](const std::string &s) {
        return QString::fromStdString(s.substr(std::min(from, s.size()), 80)).replace("\r", "\\r").replace("\n", "\\n");
    };
    return QString("listings part at character %1: %2 \"...%3\", %4 \"...%5\"")
        .arg(i)
        .arg(aName, excerpt(a), bName, excerpt(b));
}

// Empty when both states are the same in every field.
QString differences(const core::AnalysisState &f, const core::AnalysisState &l)
{
    QStringList d;
    auto field = [&d](const char *name, double a, double b) {
        if (!same(a, b))
            d << QString("%1: fast %2, literal %3").arg(name, number(a), number(b));
    };
    field("n", f.n, l.n);
    field("divisor", f.divisor, l.divisor);
    field("innerIndex", f.innerIndex, l.innerIndex);
    field("quotient", f.quotient, l.quotient);
    field("runCount", f.runCount, l.runCount);
    field("pairCount", f.pairCount, l.pairCount);
    field("stopRequested", f.stopRequested, l.stopRequested);
    // Both start from the same tables, so even the entries above runCount must agree.
    if (f.runStart.size() != l.runStart.size() || f.runEnd.size() != l.runEnd.size())
        d << QString("table sizes: fast %1, literal %2").arg(f.runStart.size()).arg(l.runStart.size());
    const std::size_t common = std::min(f.runStart.size(), l.runStart.size());
    for (std::size_t k = 0; k < common && d.size() < 8; ++k) {
        if (!same(f.runStart[k], l.runStart[k]) || !same(f.runEnd[k], l.runEnd[k]))
            d << QString("run %1: fast %2 to %3, literal %4 to %5")
                     .arg(k)
                     .arg(number(f.runStart[k]), number(f.runEnd[k]), number(l.runStart[k]), number(l.runEnd[k]));
    }
    if (f.listing != l.listing)
        d << firstDifference(f.listing, l.listing);
    return d.join("; ");
}

struct Side {
    core::AnalysisState state;
    std::vector<int> steps;
    int error = 0;
};

template <typename F>
void attempt(Side &side, F f)
{
    try {
        f();
    } catch (const rt::RuntimeError &e) {
        side.error = e.number();
    }
}

// Both scans carry their state from one n to the next, as the window's state is carried from one
// pass to the next; after a disagreement the fast side takes the literal state so that one fault
// is reported once.
class Comparison {
public:
    // Empty when both agree for this n and bound.
    QString check(double n, double bound)
    {
        for (Side *side : {&fast_, &literal_}) {
            side->state.n = n;
            side->steps.clear();
            side->error = 0;
            core::StartPass(side->state);
        }
        attempt(fast_, [&] { core::FindRuns(fast_.state, bound, recorder(fast_)); });
        attempt(literal_, [&] { core::FindRunsLiteral(literal_.state, bound, recorder(literal_)); });
        QString problem = compare("the scan");
        if (problem.isEmpty() && fast_.error == 0) {
            attempt(fast_, [&] { core::ListHalvablePairs(fast_.state); });
            attempt(literal_, [&] { core::ListHalvablePairsLiteral(literal_.state); });
            problem = compare("the pair section");
            if (problem.isEmpty() && literal_.error == 0)
                problem = againstTheWriter(n, bound);
        }
        if (!problem.isEmpty() || fast_.error != 0)
            fast_.state = literal_.state;
        if (problem.isEmpty())
            return problem;
        return QString("n = %1, bound = %2: %3").arg(number(n), number(bound), problem);
    }
    int lastError() const { return literal_.error; }

private:
    static core::RunStep recorder(Side &side)
    {
        return [&side](int k) { side.steps.push_back(k); };
    }
    // The literal scan writes its lines with the program's own code, as the fast one does; where
    // the independent writer knows the listing, the format is checked against it.
    QString againstTheWriter(double n, double bound) const
    {
        if (!listing_oracle::covers(n, bound))
            return {};
        const listing_oracle::Listing expected = listing_oracle::listingOf(std::int64_t(n), std::int64_t(bound));
        const core::AnalysisState &l = literal_.state;
        if (l.listing != expected.text)
            return firstDifference(l.listing, expected.text, "literal", "independent writer");
        if (l.runCount != int(expected.runs.size()) || l.pairCount != expected.pairs)
            return QString("literal scan counts %1 runs and %2 pairs, the independent writer %3 and %4")
                .arg(l.runCount)
                .arg(l.pairCount)
                .arg(expected.runs.size())
                .arg(expected.pairs);
        return {};
    }
    QString compare(const char *stage) const
    {
        if (fast_.error != literal_.error)
            return QString("after %1: fast raised %2, literal raised %3 (0: none)")
                .arg(stage)
                .arg(fast_.error)
                .arg(literal_.error);
        // A raised error ends the pass; only the agreement on raising it matters then.
        if (fast_.error != 0)
            return {};
        if (fast_.steps != literal_.steps)
            return QString("after %1: per-run steps differ (fast %2 calls, literal %3)")
                .arg(stage)
                .arg(fast_.steps.size())
                .arg(literal_.steps.size());
        const QString d = differences(fast_.state, literal_.state);
        return d.isEmpty() ? d : QString("after %1: %2").arg(stage, d);
    }

    Side fast_;
    Side literal_;
};

// Collects at most a handful of disagreements, so that a systematic fault stays readable.
class Failures {
public:
    void add(const QString &problem)
    {
        if (problem.isEmpty())
            return;
        if (++count_ <= 5)
            shown_ << problem;
    }
    bool none() const { return count_ == 0; }
    QByteArray report() const
    {
        return (QString("%1 disagreements, the first:\n").arg(count_) + shown_.join("\n")).toUtf8();
    }

private:
    int count_ = 0;
    QStringList shown_;
};

} // namespace

class tst_Literal : public QObject {
    Q_OBJECT

private slots:
    void ranges_data();
    void ranges();
    void singleNumbers_data();
    void singleNumbers();
    void overflowAgreement_data();
    void overflowAgreement();
    void pairsOnArbitraryTables_data();
    void pairsOnArbitraryTables();
};

void tst_Literal::ranges_data()
{
    // n = k + fraction for every whole k from first to last.
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<double>("boundOffset");
    for (double offset : {0.0, 1.0}) {
        const char *bound = offset == 0 ? "n" : "n+1";
        if (slowTier()) {
            QTest::addRow("%d..100000, bound %s", int(SlowFrom) + 1, bound)
                << int(SlowFrom) + 1 << 100000 << 0.0 << offset;
            continue;
        }
        QTest::addRow("-10..%d, bound %s", int(SlowFrom), bound) << -10 << int(SlowFrom) << 0.0 << offset;
        QTest::addRow("-10.5..1999.5, bound %s", bound) << -11 << 1999 << 0.5 << offset;
        QTest::addRow("-9.75..2000.25, bound %s", bound) << -10 << 2000 << 0.25 << offset;
        QTest::addRow("-9.25..2000.75, bound %s", bound) << -10 << 2000 << 0.75 << offset;
        QTest::addRow("-9.9..2000.1, bound %s", bound) << -10 << 2000 << 0.1 << offset;
        QTest::addRow("-9.5000001..2000.4999999, bound %s", bound) << -10 << 2000 << 0.4999999 << offset;
        QTest::addRow("-9.4999999..2000.5000001, bound %s", bound) << -10 << 2000 << 0.5000001 << offset;
    }
}

void tst_Literal::ranges()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(double, fraction);
    QFETCH(double, boundOffset);
    Comparison comparison;
    Failures failures;
    for (int k = first; k <= last; ++k) {
        const double n = k + fraction;
        failures.add(comparison.check(n, n + boundOffset));
    }
    QVERIFY2(failures.none(), failures.report().constData());
}

void tst_Literal::singleNumbers_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("bound");
    auto both = [](double n) {
        if (!inThisTier(n))
            return;
        QTest::addRow("%s bound n", qPrintable(number(n))) << n << n;
        QTest::addRow("%s bound n+1", qPrintable(number(n))) << n << n + 1;
    };
    for (double n : {-0.0, 1e-300, -1e-300, 0.5, -0.5, 1.5, 2.5, 0.9999999999999999, 1576575.0,
                     3 * 5 * 7 * 9 * 11 * 13 * 2.0, 2027025.0, 4194304.0, 9999991.0})
        both(n);

    // The literal scan costs about n / 2 remainders, some 7 ns each in an optimised build: one n
    // near 2^31 takes about 7 s, and the whole ranges above take most of a minute already. So the
    // random numbers stay below 10^7, and the top of the 32-bit range is covered by the largest n
    // a search can reach, with its bound 2^31.
    std::mt19937 random(20240517);
    for (int i = 0; i < 200; ++i) {
        const double whole = double(random() % 10'000'000 + 1);
        const double n = i % 4 == 3 ? whole + 0.5 : whole;
        if (!inThisTier(n))
            continue;
        QTest::addRow("%s bound %s", qPrintable(number(n)), i % 2 ? "n+1" : "n") << n << n + (i % 2);
    }
    if (inThisTier(2147483647.0))
        QTest::newRow("2147483647 bound n+1") << 2147483647.0 << 2147483648.0;
}

void tst_Literal::singleNumbers()
{
    QFETCH(double, n);
    QFETCH(double, bound);
    Comparison comparison;
    const QString problem = comparison.check(n, bound);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void tst_Literal::overflowAgreement_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("bound");
    QTest::addColumn<bool>("overflows");
    auto row = [](double n, double bound, const char *name, bool overflows) {
        QTest::addRow("%s bound %s", qPrintable(number(n)), name) << n << bound << overflows;
    };
    for (double n : {2147483647.5, 2147483648.0, 3e9, 1e300, inf}) {
        row(n, n, "n", true);
        row(n, n + 1, "n+1", true);
    }
    row(-2147483648.5, -2147483648.5, "n", false);
    row(-3e9, -3e9 + 1, "n+1", false);
    row(-inf, -inf, "n", false);
    row(notANumber, notANumber, "n", false);
    row(notANumber, notANumber + 1, "n+1", false);
}

void tst_Literal::overflowAgreement()
{
    QFETCH(double, n);
    QFETCH(double, bound);
    QFETCH(bool, overflows);
    Comparison comparison;
    const QString problem = comparison.check(n, bound);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(comparison.lastError(), overflows ? int(rt::ErrorCode::Overflow) : 0);
}

void tst_Literal::pairsOnArbitraryTables_data()
{
    // Real runs of one n never share a start or an end; arbitrary tables do, which tries the
    // ordering of the fast pair index where several earlier runs meet one later run.
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("range");
    QTest::addColumn<bool>("allAlike");
    QTest::newRow("0 runs") << 0 << 1 << false;
    QTest::newRow("1 run, terms 0..2") << 1 << 3 << false;
    QTest::newRow("10 runs, terms 0..4") << 10 << 5 << false;
    QTest::newRow("100 runs, terms 0..9") << 100 << 10 << false;
    QTest::newRow("300 runs, terms 0..29") << 300 << 30 << false;
    QTest::newRow("1000 runs, terms 0..199") << 1000 << 200 << false;
    QTest::newRow("200 runs, all 1 to 0") << 200 << 1 << true;
}

void tst_Literal::pairsOnArbitraryTables()
{
    QFETCH(int, runs);
    QFETCH(int, range);
    QFETCH(bool, allAlike);
    std::mt19937 random(std::uint32_t(runs * 1000 + range));
    core::AnalysisState fast;
    fast.runCount = std::int16_t(runs);
    fast.runStart.assign(std::size_t(runs) + 1, -7);
    fast.runEnd.assign(std::size_t(runs) + 1, -7);
    for (std::size_t k = 1; k <= std::size_t(runs); ++k) {
        fast.runStart[k] = allAlike ? 1 : double(random() % std::uint32_t(range));
        fast.runEnd[k] = allAlike ? 0 : double(random() % std::uint32_t(range));
    }
    core::AnalysisState literal = fast;
    int fastError = 0;
    int literalError = 0;
    try {
        core::ListHalvablePairs(fast);
    } catch (const rt::RuntimeError &e) {
        fastError = e.number();
    }
    try {
        core::ListHalvablePairsLiteral(literal);
    } catch (const rt::RuntimeError &e) {
        literalError = e.number();
    }
    QCOMPARE(fastError, literalError);
    // 200 runs that all pair with each other make 40000 pairs, beyond the 16-bit pair count.
    QCOMPARE(literalError, allAlike ? int(rt::ErrorCode::Overflow) : 0);
    QCOMPARE(fast.pairCount, literal.pairCount);
    QCOMPARE(QByteArray::fromStdString(fast.listing), QByteArray::fromStdString(literal.listing));
    if (literalError == 0) {
        const QString d = differences(fast, literal);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }
}

QTEST_APPLESS_MAIN(tst_Literal)
#include "tst_literal.moc"
