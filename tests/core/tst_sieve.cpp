// Passes through the sieve against passes by trial division and the literal scan: every field of
// the state, every character of the listing and every per-run step must be the same, however the
// numbers come (up one at a time, across blocks, jumping, in half steps, through zero).
#include "core/divisor_sieve.h"
#include "core/find_runs.h"
#include "core/halvable_pairs.h"
#include "core/literal_scan.h"
#include "core/pass.h"
#include "support/state_compare.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace core {
// What a jump in the numbers costs: the blocks the sieve has had to fill.
struct DivisorSieveProbe {
    static std::uint64_t blocksSieved(const DivisorSieve &sieve) { return sieve.blocksSieved_; }
};
} // namespace core

class tst_Sieve : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void candidates_data();
    void candidates();
    void divisorsAgree_data();
    void divisorsAgree();
    void oddDivisorsByEveryOddNumber_data();
    void oddDivisorsByEveryOddNumber();
};

void tst_Sieve::candidates_data()
{
    // Each stretch is tried from its first number upwards, one after another through one sieve,
    // so a new stretch is a jump; blocks is how many blocks that must sieve.
    QTest::addColumn<QList<double>>("stretches");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("searchBound"); // n + 1 as a search scans; else n as the analysis
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("blockSize");
    const int usual = int(core::DivisorSieve::DefaultBlockSize);

    QTest::newRow("1 to 40000") << QList<double>{1} << 40000 << true << 3 << usual;
    QTest::newRow("1 to 3000, bound n") << QList<double>{1} << 3000 << false << 1 << usual;
    QTest::newRow("106 to 945") << QList<double>{106} << 840 << true << 1 << usual;
    QTest::newRow("8506 to 12285") << QList<double>{8506} << 3780 << true << 1 << usual;
    QTest::newRow("across 10^9") << QList<double>{999990000} << 30000 << true << 2 << usual;
    QTest::newRow("up to 2147483647") << QList<double>{2147463648} << 20000 << true << 2 << usual;
    // Below 0 the scan bound n + 1 admits no divisor at all.
    QTest::newRow("-20000 upwards") << QList<double>{-20000} << 20000 << true << 0 << usual;
    QTest::newRow("through zero") << QList<double>{-40} << 80 << true << 1 << usual;
    QTest::newRow("through zero, bound n") << QList<double>{-40} << 80 << false << 1 << usual;
    QTest::newRow("half steps") << QList<double>{7.5, 1000000.5} << 2000 << true << 2 << usual;
    QTest::newRow("quarter steps") << QList<double>{2.25, 2147483000.75} << 500 << true << 2 << usual;
    QTest::newRow("jumps") << QList<double>{1000, 2000000000, 1010, 1576570, 1576580} << 20 << true << 4 << usual;
    QTest::newRow("1 to 3000 in blocks of 7") << QList<double>{1} << 3000 << true << 429 << 7;
    QTest::newRow("across 10^9 in blocks of 100") << QList<double>{999999950} << 1000 << true << 10 << 100;
    QTest::newRow("many runs") << QList<double>{1576570, 1673196520} << 20 << true << 2 << usual;
}

void tst_Sieve::candidates()
{
    QFETCH(QList<double>, stretches);
    QFETCH(int, length);
    QFETCH(bool, searchBound);
    QFETCH(int, blocks);
    QFETCH(int, blockSize);

    core::DivisorSieve sieve(static_cast<std::uint32_t>(blockSize));
    core::AnalysisState viaSieve, direct;
    std::vector<int> sieveSteps, directSteps;
    int literalChecks = 0;
    for (double first : stretches) {
        for (int i = 0; i < length; ++i) {
            const double n = first + i;
            const double bound = searchBound ? n + 1 : n;
            viaSieve.n = direct.n = n;
            sieveSteps.clear();
            directSteps.clear();
            core::RunPass(
                viaSieve, bound, {}, [&](int k) { sieveSteps.push_back(k); }, &sieve);
            core::RunPass(direct, bound, {}, [&](int k) { directSteps.push_back(k); });
            if (!sameState(viaSieve, direct) || sieveSteps != directSteps)
                QFAIL(qPrintable(
                    QStringLiteral("n = %1: through the sieve\n%2\nby trial division\n%3")
                        .arg(n, 0, 'f', 2)
                        .arg(QString::fromStdString(viaSieve.listing), QString::fromStdString(direct.listing))));
            if (std::fabs(n) <= 3000) {
                core::AnalysisState literal = direct;
                core::StartPass(literal);
                core::FindRunsLiteral(literal, bound, {});
                core::ListHalvablePairsLiteral(literal);
                QVERIFY2(literal.listing == viaSieve.listing && literal.pairCount == viaSieve.pairCount
                             && same(literal.divisor, viaSieve.divisor) && same(literal.quotient, viaSieve.quotient),
                         qPrintable(QString::number(n)));
                ++literalChecks;
            }
        }
    }
    QCOMPARE(int(core::DivisorSieveProbe::blocksSieved(sieve)), blocks);
    if (std::fabs(stretches.front()) <= 3000)
        QVERIFY(literalChecks > 0);
}

void tst_Sieve::divisorsAgree_data()
{
    QTest::addColumn<qlonglong>("first");
    QTest::addColumn<int>("length");
    QTest::newRow("1 to 70000") << 1LL << 70000;
    QTest::newRow("square of the largest prime") << 2147117000LL << 1000; // 46337^2 = 2147117569
    QTest::newRow("2^31 itself") << 2147483648LL << 1;
    QTest::newRow("odd part with eight small primes") << 111546435LL << 5;
}

void tst_Sieve::divisorsAgree()
{
    // The sieve's divisors against trial division, number by number, however large.
    QFETCH(qlonglong, first);
    QFETCH(int, length);
    core::DivisorSieve sieve;
    for (qlonglong m = first; m < first + length; ++m) {
        const auto expected = core::OddDivisors(static_cast<std::uint32_t>(m));
        const auto &got = sieve.oddDivisors(static_cast<std::uint32_t>(m));
        QVERIFY2(got == expected, qPrintable(QString::number(m)));
    }
}

void tst_Sieve::oddDivisorsByEveryOddNumber_data()
{
    QTest::addColumn<qlonglong>("m");
    // Factoring goes by a table of primes: its last prime squared, the products of two primes
    // beyond it (only above 2^31), the largest numbers and the most factors.
    for (const qlonglong m : {1LL, 9LL, 2147117569LL, 2147395599LL, 2147483647LL, 2147483648LL, 111546435LL,
                              46349LL * 46351LL, 4294836225LL, 4294967291LL, 4294967295LL})
        QTest::newRow(qPrintable(QString::number(m))) << m;
}

void tst_Sieve::oddDivisorsByEveryOddNumber()
{
    QFETCH(qlonglong, m);
    qlonglong odd = m;
    while (odd % 2 == 0)
        odd /= 2;
    std::vector<std::int64_t> expected;
    for (qlonglong d = 1; d * d <= odd; d += 2) {
        if (odd % d == 0) {
            expected.push_back(d);
            if (d * d != odd)
                expected.push_back(odd / d);
        }
    }
    std::sort(expected.begin(), expected.end());
    QCOMPARE(core::OddDivisors(static_cast<std::uint32_t>(m)), expected);
}

QTEST_MAIN(tst_Sieve)
#include "tst_sieve.moc"
