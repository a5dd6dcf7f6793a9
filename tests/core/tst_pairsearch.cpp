// The pairs made from their bases against the pairs counted number by number and the literal scan,
// the searches built on them against a plain forward search, and the sums of odd divisors
// against adding up each number's.
#include "core/divisor_sieve.h"
#include "core/literal_scan.h"
#include "core/pair_search.h"
#include "core/pass.h"
#include "core/run_counts.h"

#include <QTest>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t Largest = core::PairEnumerator::Largest;

// What a search does without the enumeration: every number in turn.
std::optional<core::PairHit> forwardSearch(int wanted, std::uint32_t first, std::uint32_t last)
{
    core::DivisorSieve sieve;
    for (std::uint64_t n = first; n <= last; ++n) {
        const int pairs = core::CountRuns(static_cast<std::uint32_t>(n), sieve).pairs;
        if (pairs >= wanted)
            return core::PairHit{static_cast<std::uint32_t>(n), pairs};
    }
    return std::nullopt;
}

// A caller that hands the stretch over piece by piece, stopping at the first piece with a hit.
std::optional<core::PairHit> searchInPieces(const core::PairEnumerator &enumerator, int wanted, std::uint32_t first,
                                            std::uint32_t last, std::uint32_t piece)
{
    for (std::uint64_t from = first; from <= last; from += piece) {
        const auto to = static_cast<std::uint32_t>(std::min<std::uint64_t>(last, from + piece - 1));
        if (const auto hit = enumerator.firstWith(wanted, static_cast<std::uint32_t>(from), to))
            return hit;
    }
    return std::nullopt;
}

QString describe(const std::optional<core::PairHit> &hit)
{
    return hit ? QStringLiteral("%1 with %2 pairs").arg(hit->n).arg(hit->pairs) : QStringLiteral("none");
}

bool sameHit(const std::optional<core::PairHit> &a, const std::optional<core::PairHit> &b)
{
    return a.has_value() == b.has_value() && (!a || (a->n == b->n && a->pairs == b->pairs));
}

} // namespace

class tst_PairSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pairsAgainstLiteral();
    void pairsAgainstCountRuns_data();
    void pairsAgainstCountRuns();
    void firstWith_data();
    void firstWith();
    void firstWithRandom();
    void oddDivisorCountUpTo();
    void oddDivisorCountSum_data();
    void oddDivisorCountSum();
    void oddDivisorCountSumRandom_data();
    void oddDivisorCountSumRandom();
    void benchmarkFirstWith_data();
    void benchmarkFirstWith();
    void benchmarkOddDivisorCountSum_data();
    void benchmarkOddDivisorCountSum();

private:
    const core::PairEnumerator enumerator;
};

void tst_PairSearch::pairsAgainstLiteral()
{
    // The factorisation into k^2 and a base against trying every combination of runs.
    int withPairs = 0;
    for (int n = 1; n <= 8000; ++n) {
        core::AnalysisState s;
        s.n = n;
        core::StartPass(s);
        core::FindRunsLiteral(s, n + 1, {});
        core::ListHalvablePairsLiteral(s);
        const int pairs = enumerator.pairsOf(static_cast<std::uint32_t>(n));
        if (pairs != s.pairCount)
            QFAIL(qPrintable(
                QStringLiteral("%1: %2 pairs made, %3 by the literal scan").arg(n).arg(pairs).arg(s.pairCount)));
        withPairs += pairs > 0 ? 1 : 0;
    }
    QVERIFY(withPairs > 10);
}

void tst_PairSearch::pairsAgainstCountRuns_data()
{
    QTest::addColumn<qlonglong>("first");
    QTest::addColumn<int>("length");
    QTest::newRow("1 to 300000") << 1LL << 300000;
    QTest::newRow("2^20 from 10^9") << 1000000000LL << (1 << 20);
    QTest::newRow("2^20 up to 2147483646") << 2147483647LL - (1 << 20) << (1 << 20);
    QTest::newRow("2^20 from 2106451305") << 2106451305LL << (1 << 20);
    QTest::newRow("2^20 up to 2108332905") << 2108332906LL - (1 << 20) << (1 << 20);
}

void tst_PairSearch::pairsAgainstCountRuns()
{
    QFETCH(qlonglong, first);
    QFETCH(int, length);
    const auto from = static_cast<std::uint32_t>(first);
    const auto to = static_cast<std::uint32_t>(first + length - 1);
    std::vector<std::uint32_t> whole;
    enumerator.pairsIn(from, to, whole);
    QVERIFY(std::is_sorted(whole.begin(), whole.end()));

    // The same numbers from pieces of every length, from one number to a large part of the window.
    std::mt19937 rng(4711);
    std::vector<std::uint32_t> pieces, piece;
    for (std::uint64_t a = from; a <= to;) {
        const std::uint64_t len = 1 + rng() % (rng() % 4 == 0 ? 40000u : 300u);
        const auto b = static_cast<std::uint32_t>(std::min<std::uint64_t>(to, a + len - 1));
        enumerator.pairsIn(static_cast<std::uint32_t>(a), b, piece);
        pieces.insert(pieces.end(), piece.begin(), piece.end());
        a = std::uint64_t(b) + 1;
    }
    QVERIFY(pieces == whole);

    core::DivisorSieve sieve;
    std::size_t i = 0;
    int withTwo = 0;
    for (std::uint32_t n = from; n <= to; ++n) {
        int made = 0;
        for (; i < whole.size() && whole[i] == n; ++i)
            ++made;
        const int counted = core::CountRuns(n, sieve).pairs;
        if (made != counted)
            QFAIL(qPrintable(QStringLiteral("%1: %2 pairs made, %3 counted").arg(n).arg(made).arg(counted)));
        withTwo += made >= 2 ? 1 : 0;
    }
    QCOMPARE(i, whole.size());
    QVERIFY(!whole.empty());
    if (first == 1)
        QVERIFY(withTwo > 0);
}

void tst_PairSearch::firstWith_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<qlonglong>("first");
    QTest::addColumn<qlonglong>("last");
    auto row = [](int wanted, qlonglong first, qlonglong last) {
        QTest::addRow("%d from %lld to %lld", wanted, first, last) << wanted << first << last;
    };
    for (int wanted : {1, 2}) {
        row(wanted, 2106451305, Largest);
        row(wanted, 2106451306, Largest);
        row(wanted, 1000000001, Largest);
        row(wanted, 1, Largest);
        row(wanted, 1, 2);
        row(wanted, 1, 1);
        row(wanted, 3, 3);
        row(wanted, 5000, 4999);
        row(wanted, 2147483000, Largest);
        row(wanted, Largest, Largest);
    }
    // Around the end of the longest stretch without two pairs, and past the last two-pair number.
    row(2, 2106451305, 2108332904);
    row(2, 2108332904, Largest);
    row(2, 2108332905, 2108332905);
    row(2, 2108332906, Largest);
    row(2, 2147087250, Largest);
    row(2, 2147087251, Largest);
    row(2, 1000383614, 1000383615);
    row(3, 1, 3000000);
}

void tst_PairSearch::firstWith()
{
    QFETCH(int, wanted);
    QFETCH(qlonglong, first);
    QFETCH(qlonglong, last);
    const auto from = static_cast<std::uint32_t>(first);
    const auto to = static_cast<std::uint32_t>(last);
    const std::optional<core::PairHit> expected = forwardSearch(wanted, from, to);
    const std::optional<core::PairHit> found = enumerator.firstWith(wanted, from, to);
    QVERIFY2(sameHit(found, expected), qPrintable(describe(found) + QStringLiteral(", forward ") + describe(expected)));
    for (std::uint32_t piece : {1u << 16, 1u << 22, 1000u}) {
        const auto inPieces = searchInPieces(enumerator, wanted, from, to, piece);
        QVERIFY2(sameHit(inPieces, expected),
                 qPrintable(QString::number(piece) + QLatin1Char(' ') + describe(inPieces)));
    }
}

void tst_PairSearch::firstWithRandom()
{
    // Random stretches anywhere, and each hit approached from just below and from itself.
    std::mt19937 rng(20240611);
    int hits = 0;
    for (int i = 0; i < 300; ++i) {
        const int wanted = 1 + int(rng() % 2);
        const std::uint32_t first = 1 + rng() % Largest;
        const std::uint32_t length = wanted == 1 ? rng() % (1u << 16) : rng() % (1u << 14);
        const auto last = static_cast<std::uint32_t>(std::min<std::uint64_t>(Largest, std::uint64_t(first) + length));
        const auto expected = forwardSearch(wanted, first, last);
        const auto found = enumerator.firstWith(wanted, first, last);
        QVERIFY2(sameHit(found, expected),
                 qPrintable(QStringLiteral("%1 from %2 to %3: ").arg(wanted).arg(first).arg(last) + describe(found)
                            + QStringLiteral(", forward ") + describe(expected)));
        if (!expected)
            continue;
        ++hits;
        QVERIFY(sameHit(enumerator.firstWith(wanted, expected->n, last), expected));
        QVERIFY(sameHit(enumerator.firstWith(wanted, expected->n, expected->n), expected));
        if (expected->n > first)
            QVERIFY(!enumerator.firstWith(wanted, first, expected->n - 1));
        QCOMPARE(enumerator.pairsOf(expected->n), expected->pairs);
    }
    QVERIFY(hits > 30);
}

void tst_PairSearch::oddDivisorCountUpTo()
{
    // Every x, so that every square and every change of floor(sqrt(x)) passes.
    core::DivisorSieve sieve;
    QCOMPARE(core::OddDivisorCountUpTo(0), std::uint64_t(0));
    std::uint64_t sum = 0;
    for (std::uint32_t x = 1; x <= 200000; ++x) {
        sum += std::uint64_t(core::CountRuns(x, sieve).runs);
        if (core::OddDivisorCountUpTo(x) != sum)
            QFAIL(qPrintable(
                QStringLiteral("up to %1: %2, added up %3").arg(x).arg(core::OddDivisorCountUpTo(x)).arg(sum)));
    }
}

void tst_PairSearch::oddDivisorCountSum_data()
{
    QTest::addColumn<qlonglong>("a");
    QTest::addColumn<qlonglong>("b");
    auto row = [](qlonglong a, qlonglong b) { QTest::addRow("(%lld, %lld]", a, b) << a << b; };
    row(0, 0);
    row(0, 1);
    row(7, 7);
    row(8, 7);
    row(0, 100000);
    row(99, 100);
    row(48, 49);
    row(80, 81);
    row(1000000000, 1000000000 + (1 << 18));
    row(999999999, 1000000000);
    // 46340^2 = 2147395600 and 46339^2 = 2147302921, the last squares below 2^31.
    row(2147395600 - 50, 2147395600 + 50);
    row(2147395600 - 1, 2147395600);
    row(2147395600, 2147395601);
    row(2147302921 - 30000, 2147302921 + 30000);
    row(2147483647 - 300000, 2147483647);
    row(2147483640, 2147483647);
    row(2147483646, 2147483647);
}

void tst_PairSearch::oddDivisorCountSum()
{
    QFETCH(qlonglong, a);
    QFETCH(qlonglong, b);
    core::DivisorSieve sieve;
    std::uint64_t sum = 0;
    for (qlonglong c = a + 1; c <= b; ++c)
        sum += std::uint64_t(core::CountRuns(static_cast<std::uint32_t>(c), sieve).runs);
    QCOMPARE(core::OddDivisorCountSum(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)), sum);
}

void tst_PairSearch::oddDivisorCountSumRandom_data()
{
    QTest::addColumn<qlonglong>("start");
    QTest::newRow("0") << 0LL;
    QTest::newRow("999000") << 999000LL;
    QTest::newRow("1500000000") << 1500000000LL;
    QTest::newRow("2147283647") << 2147283647LL;
}

void tst_PairSearch::oddDivisorCountSumRandom()
{
    // Stretches of every length within one window, short ones factored and long ones from the
    // sums up to their ends, against the window's running sum.
    QFETCH(qlonglong, start);
    constexpr int window = 200000;
    core::DivisorSieve sieve;
    std::vector<std::uint64_t> upTo(window + 1, 0); // upTo[i]: the sum over (start, start + i]
    for (int i = 1; i <= window; ++i)
        upTo[i] = upTo[i - 1] + std::uint64_t(core::CountRuns(static_cast<std::uint32_t>(start + i), sieve).runs);
    std::mt19937 rng(99);
    for (int t = 0; t < 2000; ++t) {
        const int length = std::min(window, int(rng() % (2u << (rng() % 18))));
        const int i = int(rng() % std::uint32_t(window - length + 1));
        const auto a = static_cast<std::uint32_t>(start + i);
        const std::uint64_t sum = core::OddDivisorCountSum(a, a + length);
        if (sum != upTo[i + length] - upTo[i])
            QFAIL(qPrintable(QStringLiteral("(%1, %2]: %3, added up %4")
                                 .arg(a)
                                 .arg(a + length)
                                 .arg(sum)
                                 .arg(upTo[i + length] - upTo[i])));
    }
}

void tst_PairSearch::benchmarkFirstWith_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<qlonglong>("first");
    QTest::addColumn<int>("piece");
    for (int wanted : {2, 1}) {
        for (qlonglong first : {2106451306LL, 1000000001LL}) {
            for (int piece : {1 << 16, 0}) {
                QTest::addRow("%d from %lld, pieces of %d", wanted, first, piece) << wanted << first << piece;
            }
        }
    }
}

void tst_PairSearch::benchmarkFirstWith()
{
    QFETCH(int, wanted);
    QFETCH(qlonglong, first);
    QFETCH(int, piece);
    const auto from = static_cast<std::uint32_t>(first);
    std::optional<core::PairHit> hit;
    QBENCHMARK
    {
        hit = piece == 0 ? enumerator.firstWith(wanted, from, Largest)
                         : searchInPieces(enumerator, wanted, from, Largest, std::uint32_t(piece));
    }
    QVERIFY(hit && hit->n > from && hit->pairs >= wanted);
}

void tst_PairSearch::benchmarkOddDivisorCountSum_data()
{
    QTest::addColumn<qlonglong>("a");
    QTest::addColumn<qlonglong>("b");
    auto row = [](qlonglong a, qlonglong b) { QTest::addRow("(%lld, %lld]", a, b) << a << b; };
    row(2106451304, 2108332904);
    row(2147483647 - (1 << 16), 2147483647);
    row(2147483647 - 5000, 2147483647);
    row(1000000000, 1000383614);
}

void tst_PairSearch::benchmarkOddDivisorCountSum()
{
    QFETCH(qlonglong, a);
    QFETCH(qlonglong, b);
    std::uint64_t sum = 0;
    QBENCHMARK
    {
        sum = core::OddDivisorCountSum(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b));
    }
    QVERIFY(sum >= std::uint64_t(b - a));
}

QTEST_MAIN(tst_PairSearch)
#include "tst_pairsearch.moc"
