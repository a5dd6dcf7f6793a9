// The command line: what each command prints, against the independent listing writer and against
// the core's pass over every number, and how bad input is turned away.
#include "cli/command_line.h"
#include "core/pair_sequence.h"
#include "core/pass.h"
#include "core/run_counts.h"
#include "support/listing_oracle.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cmath>

#include <sstream>

namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome run(const QStringList &args)
{
    std::vector<std::string> list;
    for (const QString &a : args)
        list.push_back(a.toStdString());
    std::ostringstream out, err;
    const int code = cli::Run(list, out, err);
    return {code, out.str(), err.str()};
}

QStringList words(const char *line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The number a window's search ends at, by a pass over every candidate.
core::AnalysisState searchedByPasses(std::int64_t from, int wanted)
{
    core::AnalysisState s;
    for (s.n = double(from) + 1;; s.n += 1) {
        core::RunPass(s, s.n + 1, {}, {});
        if (s.pairCount >= wanted)
            return s;
    }
}

std::string lines(const std::vector<std::string> &each)
{
    std::string text;
    for (const std::string &line : each)
        text += line + std::string(core::PlatformLineEnd());
    return text;
}

} // namespace

class tst_Cli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listing_data();
    void listing();
    void badInput_data();
    void badInput();
    void searchAgainstPasses_data();
    void searchAgainstPasses();
    void searchFar_data();
    void searchFar();
    void searchMeetsTheRangeEnd_data();
    void searchMeetsTheRangeEnd();
    void sequenceAgainstPasses_data();
    void sequenceAgainstPasses();
    void sequenceOfTheWholeRange_data();
    void sequenceOfTheWholeRange();
    void help();
};

void tst_Cli::listing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");
    // The analysis button's pass: the scan bound is n itself, and below 1 there is no run.
    const auto printed = [](const std::string &listing) {
        return QByteArray::fromStdString(core::WithPlatformLineEnds(listing) + std::string(core::PlatformLineEnd()));
    };
    for (const std::int64_t n : {0ll, -5ll, 1ll, 3ll, 9ll, 15ll, 64ll, 75ll, 105ll, 945ll, 1576575ll, 2147483647ll,
                                 -2147483648ll}) {
        const QByteArray text = QByteArray::number(n);
        QTest::newRow(text.constData()) << QStringList{QStringLiteral("--liste"), QString::fromLatin1(text)}
                                        << printed(listing_oracle::listingOf(n, n).text);
    }
    QTest::newRow("--list=75") << QStringList{QStringLiteral("--list=75")} << printed(listing_oracle::listingOf(75, 75).text);
    QTest::newRow("+75") << QStringList{QStringLiteral("--liste"), QStringLiteral("+75")}
                         << printed(listing_oracle::listingOf(75, 75).text);
    QTest::newRow("7.5e1") << QStringList{QStringLiteral("--list"), QStringLiteral("7.5e1")}
                           << printed(listing_oracle::listingOf(75, 75).text);
    QTest::newRow("-2147483648.4") << QStringList{QStringLiteral("--liste"), QStringLiteral("-2147483648.4")}
                                   << printed(listing_oracle::listingOf(-1, -1).text);
    QTest::newRow("7.5") << QStringList{QStringLiteral("--liste"), QStringLiteral("7.5")}
                         << printed("\r\n 7.5 = 7.5\r\n\r\nhalbierbare Sequenzen:\r\n\r\nkeine");
    // Rounded to the prime 2^31 - 1, whose second run is not whole: as the core's pass writes it.
    core::AnalysisState s;
    s.n = 2147483647.4;
    core::RunPass(s, s.n, {}, {});
    QTest::newRow("2147483647.4") << QStringList{QStringLiteral("--liste"), QStringLiteral("2147483647.4")}
                                  << printed(s.listing);
}

void tst_Cli::listing()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);
    const Outcome o = run(args);
    QCOMPARE(o.code, 0);
    QCOMPARE(o.err, std::string());
    QCOMPARE(QByteArray::fromStdString(o.out), expected);
#ifndef _WIN32
    QVERIFY(!expected.contains('\r'));
#endif
}

void tst_Cli::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("nothing") << QStringList{} << QStringLiteral("--liste, --suche oder --folge");
    QTest::newRow("--liste") << words("--liste") << QStringLiteral("braucht einen Wert");
    QTest::newRow("--liste abc") << words("--liste abc") << QStringLiteral("keine Zahl");
    QTest::newRow("--liste 7,5") << words("--liste 7,5") << QStringLiteral("keine Zahl");
    QTest::newRow("--liste 75abc") << words("--liste 75abc") << QStringLiteral("keine Zahl");
    QTest::newRow("--liste=") << words("--liste=") << QStringLiteral("keine Zahl");
    QTest::newRow("--liste 3000000000") << words("--liste 3000000000") << QStringLiteral("-2147483648 bis 2147483647");
    QTest::newRow("--liste 2147483647.5") << words("--liste 2147483647.5") << QStringLiteral("-2147483648 bis");
    QTest::newRow("--liste -2147483649") << words("--liste -2147483649") << QStringLiteral("-2147483648 bis");
    QTest::newRow("--liste 1e400") << words("--liste 1e400") << QStringLiteral("-2147483648 bis");
    QTest::newRow("--suche 3") << words("--suche 3 --von 5") << QStringLiteral("1 oder 2");
    QTest::newRow("--suche without --von") << words("--suche 1") << QStringLiteral("braucht --von");
    QTest::newRow("--von 7.5") << words("--suche 1 --von 7.5") << QStringLiteral("keine ganze Zahl");
    QTest::newRow("--from 2147483648") << words("--search 2 --from 2147483648") << QStringLiteral("-2147483648 bis");
    QTest::newRow("--anzahl 0") << words("--suche 1 --von 5 --anzahl 0") << QStringLiteral("ab 1");
    QTest::newRow("--count x") << words("--search 1 --from 5 --count x") << QStringLiteral("keine Zahl");
    QTest::newRow("--folge 0") << words("--folge 0 --bis 100") << QStringLiteral("1 oder 2");
    QTest::newRow("--folge without --bis") << words("--folge 2") << QStringLiteral("braucht --bis");
    QTest::newRow("--to 1e10") << words("--sequence 2 --to 1e10") << QStringLiteral("-2147483648 bis");
    QTest::newRow("--foo") << words("--foo 3") << QStringLiteral("unbekannte Option \u201E--foo\u201C");
    QTest::newRow("--liste=75 --platform") << words("--liste=75 --platform") << QStringLiteral("unbekannte Option");
    QTest::newRow("75") << words("--liste 75 76") << QStringLiteral("unerwartetes Argument");
    QTest::newRow("two commands") << words("--liste 75 --suche 1 --von 3") << QStringLiteral("nur eines");
    QTest::newRow("--von with --liste") << words("--liste 75 --von 3") << QStringLiteral("--von geh\u00F6rt nicht");
    QTest::newRow("twice") << words("--liste 75 --list 76") << QStringLiteral("mehr als einmal");
}

void tst_Cli::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    const Outcome o = run(args);
    QCOMPARE(o.code, 2);
    QCOMPARE(o.out, std::string());
    const QString err = QString::fromStdString(o.err);
    QVERIFY2(err.startsWith(QLatin1String("summenleiter: ")) && err.count(QLatin1Char('\n')) == 1
                 && err.endsWith(QLatin1Char('\n')),
             qPrintable(err));
    QVERIFY2(err.contains(says), qPrintable(err));
}

void tst_Cli::searchAgainstPasses_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("count");
    QTest::newRow("one from 75") << 1 << 75 << 1;
    QTest::newRow("two from 75") << 2 << 75 << 1;
    QTest::newRow("two from 105") << 2 << 105 << 1;
    QTest::newRow("one from 0") << 1 << 0 << 4;
    QTest::newRow("one from -1") << 1 << -1 << 3;
    QTest::newRow("two from -1") << 2 << -1 << 2;
    QTest::newRow("one from -2147483648") << 1 << -2147483647 - 1 << 2;
    QTest::newRow("one from 90, ten") << 1 << 90 << 10;
    QTest::newRow("two from 998, twelve") << 2 << 998 << 12;
}

void tst_Cli::searchAgainstPasses()
{
    QFETCH(int, wanted);
    QFETCH(int, from);
    QFETCH(int, count);
    QStringList args{QStringLiteral("--suche"), QString::number(wanted), QStringLiteral("--von"), QString::number(from)};
    if (count != 1)
        args << QStringLiteral("--anzahl") << QString::number(count);
    const Outcome o = run(args);
    QCOMPARE(o.code, 0);
    std::vector<std::string> expected;
    std::int64_t at = std::max(from, -2);
    for (int i = 0; i < count; ++i) {
        const core::AnalysisState s = searchedByPasses(at, wanted);
        expected.push_back(std::to_string(std::int64_t(s.n)) + " " + std::to_string(s.runCount) + " "
                           + std::to_string(s.pairCount));
        at = std::int64_t(s.n);
    }
    QCOMPARE(o.out, lines(expected));
}

void tst_Cli::searchFar_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("found");
    QTest::newRow("two from 10^9") << QStringLiteral("--suche 2 --von 1000000000") << QStringLiteral("1000383615");
    QTest::newRow("the longest two-pair search")
        << QStringLiteral("--search 2 --from=2106451305") << QStringLiteral("2108332905");
}

void tst_Cli::searchFar()
{
    QFETCH(QString, args);
    QFETCH(QString, found);
    const Outcome o = run(args.split(QLatin1Char(' ')));
    QCOMPARE(o.code, 0);
    core::DivisorSieve sieve;
    const core::RunCounts counts = core::CountRuns(found.toUInt(), sieve);
    QCOMPARE(o.out, lines({found.toStdString() + " " + std::to_string(counts.runs) + " " + std::to_string(counts.pairs)}));
    // Nothing in between has two pairs.
    for (std::uint32_t n = args.section(QRegularExpression(QStringLiteral("[ =]")), -1).toUInt() + 1; n < found.toUInt(); ++n)
        QVERIFY2(core::CountRuns(n, sieve).pairs < 2, qPrintable(QString::number(n)));
}

void tst_Cli::searchMeetsTheRangeEnd_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("printed");
    QTest::newRow("from the end") << QStringLiteral("--suche 1 --von 2147483647") << QString();
    QTest::newRow("from below the end") << QStringLiteral("--suche 2 --von 2147087250") << QString();
    // The last two-pair number below 2^31, and then none.
    QTest::newRow("two of them") << QStringLiteral("--suche 2 --von 2147000000 --anzahl 2")
                                 << QStringLiteral("2147087250");
}

void tst_Cli::searchMeetsTheRangeEnd()
{
    QFETCH(QString, args);
    QFETCH(QString, printed);
    const Outcome o = run(args.split(QLatin1Char(' ')));
    QCOMPARE(o.code, 1);
    QCOMPARE(QString::fromStdString(o.out).section(QLatin1Char(' '), 0, 0), printed);
    QCOMPARE(QString::fromStdString(o.err),
             QStringLiteral("summenleiter: Die Suche ist bei 2147483647 angekommen, der gr\u00F6\u00DFten Zahl, die das "
                            "Programm untersuchen kann.\n"));
}

void tst_Cli::sequenceAgainstPasses_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("last");
    QTest::newRow("one to 20000") << 1 << 20000;
    QTest::newRow("two to 20000") << 2 << 20000;
    QTest::newRow("two to 945") << 2 << 945;
    QTest::newRow("two to 944") << 2 << 944;
    QTest::newRow("one to 0") << 1 << 0;
    QTest::newRow("one to -7") << 1 << -7;
}

void tst_Cli::sequenceAgainstPasses()
{
    QFETCH(int, wanted);
    QFETCH(int, last);
    const Outcome o = run({QStringLiteral("--folge"), QString::number(wanted), QStringLiteral("--bis"), QString::number(last)});
    QCOMPARE(o.code, 0);
    std::vector<std::string> expected;
    core::AnalysisState s;
    for (int n = 1; n <= last; ++n) {
        s.n = n;
        core::RunPass(s, n + 1, {}, {});
        if (s.pairCount >= wanted)
            expected.push_back(std::to_string(expected.size() + 1) + " " + std::to_string(n));
    }
    QCOMPARE(o.out, lines(expected));
}

void tst_Cli::sequenceOfTheWholeRange_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("gapFrom");
    QTest::addColumn<qint64>("gapTo");
    QTest::newRow("two") << 2 << 6703 << qint64(2106451305) << qint64(2108332905);
    QTest::newRow("one") << 1 << 168029 << qint64(-1) << qint64(-1);
}

void tst_Cli::sequenceOfTheWholeRange()
{
    QFETCH(int, wanted);
    QFETCH(int, count);
    QFETCH(qint64, gapFrom);
    QFETCH(qint64, gapTo);
    const Outcome o = run({QStringLiteral("--sequence"), QString::number(wanted), QStringLiteral("--to=2147483647")});
    QCOMPARE(o.code, 0);
    std::vector<std::uint32_t> numbers;
    std::istringstream in(o.out);
    std::int64_t index = 0, n = 0;
    while (in >> index >> n) {
        QCOMPARE(index, std::int64_t(numbers.size() + 1));
        QVERIFY(numbers.empty() || n > numbers.back());
        numbers.push_back(std::uint32_t(n));
    }
    QCOMPARE(int(numbers.size()), count);
    if (gapFrom > 0) {
        std::size_t widest = 1;
        for (std::size_t i = 1; i < numbers.size(); ++i)
            if (numbers[i] - numbers[i - 1] > numbers[widest] - numbers[widest - 1])
                widest = i;
        QCOMPARE(qint64(numbers[widest - 1]), gapFrom);
        QCOMPARE(qint64(numbers[widest]), gapTo);
    }
    // In every tenth of the range, a stretch counted number by number: its numbers are exactly
    // those of the sequence that fall into it.
    core::DivisorSieve sieve;
    constexpr std::uint32_t Stretch = 1u << 17;
    for (int tenth = 0; tenth < 10; ++tenth) {
        const std::uint32_t first = std::uint32_t(1 + (2147483647ull - Stretch) * tenth / 9);
        std::vector<std::uint32_t> counted;
        for (std::uint32_t m = first; m < first + Stretch; ++m)
            if (core::CountRuns(m, sieve).pairs >= wanted)
                counted.push_back(m);
        const auto from = std::lower_bound(numbers.begin(), numbers.end(), first);
        const auto to = std::lower_bound(numbers.begin(), numbers.end(), first + Stretch);
        QCOMPARE(std::vector<std::uint32_t>(from, to), counted);
    }
}

void tst_Cli::help()
{
    for (const char *flag : {"--help", "-h", "--hilfe"}) {
        const Outcome o = run({QString::fromLatin1(flag)});
        QCOMPARE(o.code, 0);
        QCOMPARE(o.err, std::string());
        const QString text = QString::fromStdString(o.out);
        for (const char *option : {"--liste N", "--suche 1|2 --von N", "--anzahl K", "--folge 1|2 --bis N", "--list",
                                   "--search", "--from", "--count", "--sequence", "--to"})
            QVERIFY2(text.contains(QLatin1String(option)), option);
    }
}

QTEST_APPLESS_MAIN(tst_Cli)
#include "tst_cli.moc"
