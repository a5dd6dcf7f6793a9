#include "rules/numrules.h"
#include "rules/rnd.h"
#include "rules/runtime_error.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// QCOMPARE on doubles is fuzzy; the rules here are exact, down to the sign of zero.
QByteArray exact(double v)
{
    return QByteArray::number(v, 'g', 17);
}

// A row tag that shows the input text with its control characters visible.
QByteArray visible(const QByteArray &text)
{
    if (text.size() > 40)
        return "<" + QByteArray::number(text.size()) + " characters: " + text.left(12) + "...>";
    QByteArray tag = "\"";
    for (char c : text) {
        if (c == '\t')
            tag += "\\t";
        else if (c == '\n')
            tag += "\\n";
        else if (c == '\r')
            tag += "\\r";
        else
            tag += c;
    }
    return tag + "\"";
}

// Runs f and returns the runtime error it raised, or 0 when it raised none.
template <typename F>
int errorOf(F f)
{
    try {
        f();
    } catch (const rt::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

constexpr int Overflow = static_cast<int>(rt::ErrorCode::Overflow);
constexpr int DivisionByZero = static_cast<int>(rt::ErrorCode::DivisionByZero);

} // namespace

class tst_NumRules : public QObject {
    Q_OBJECT

private slots:
    void val_data();
    void val();
    void valOverflow_data();
    void valOverflow();
    void valIgnoresLocale_data();
    void valIgnoresLocale();
    void textForms_data();
    void textForms();
    void roundHalfEven_data();
    void roundHalfEven();
    void cint_data();
    void cint();
    void clng_data();
    void clng();
    void mod_data();
    void mod();
    void rgb_data();
    void rgb();
    void rndGivesSinglesInUnitInterval();
    void rndRepeatsFromAFreshStart();
    void rndIsRoughlyUniform();
    void rndSkipIsDrawing_data();
    void rndSkipIsDrawing();
};

void tst_NumRules::val_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");
    const struct {
        const char *text;
        double expected;
    } rows[] = {
        {"75", 75},     {"  75", 75},   {"7 5", 75},    {"75 ", 75},     {"75abc", 75},  {"7,5", 7},
        {"1,000", 1},   {"7.5", 7.5},   {"", 0},        {"abc", 0},      {"$5", 0},      {"0x10", 0},
        {"+75", 75},    {"-75", -75},   {"- 75", -75},  {"+-5", 0},      {"--5", 0},     {"-0", -0.0},
        {"1e3", 1000},  {"1E3", 1000},  {"1e+3", 1000}, {"1e-3", 0.001}, {"2.5E2", 250}, {"7.5e1", 75},
        {"1 e 2", 100}, {"1d2", 100},   {"1D-2", 0.01}, {"1e", 1},       {"1e+", 1},     {"1e2.5", 100},
        {"1ee2", 1},    {".5", 0.5},    {"-.5", -0.5},  {"5.", 5},       {".", 0},       {"+", 0},
        {"-", 0},       {"1.2.3", 1.2}, {"\t75", 75},   {"7\t5", 75},    {"\n75", 75},   {"7\n5", 75},
        {"\r75", 0},    {"7\r5", 7},    {"&H10", 16},   {"&h10", 16},    {"&HFF", 255},  {"&H1G", 1},
        {"&H", 0},      {"&O17", 15},   {"&o17", 15},   {"&17", 15},     {"&O8", 0},     {"1e308", 1e308},
    };
    auto row = [](const QByteArray &text, double expected) {
        QTest::newRow(visible(text).constData()) << text << expected;
    };
    for (const auto &r : rows)
        row(r.text, r.expected);
    row("1" + QByteArray(308, '0'), 1e308);
    row(QByteArray(400, '0') + "1", 1);
    // Below the smallest double a number reads as zero; the subnormal ones keep their value.
    row("1e-400", 0);
    row("-1e-400", -0.0);
    row("0." + QByteArray(400, '0') + "1", 0);
    row("1e-320", 1e-320);
    row("4.9e-324", 4.9e-324);
    row("0e999", 0);
    row("0.001e311", 1e308);
}

void tst_NumRules::val()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(exact(rt::Val(text.toStdString())), exact(expected));
}

void tst_NumRules::valOverflow_data()
{
    QTest::addColumn<QByteArray>("text");
    for (const QByteArray &text :
         {QByteArray("1e400"), QByteArray("-1e400"), QByteArray("1.8e308"), QByteArray("1d999"), QByteArray(1000, '9'),
          "1" + QByteArray(999, '0'), "-" + QByteArray(1000, '7'), QByteArray("1e99999999999999999999"),
          "0." + QByteArray(20, '0') + "1e330"})
        QTest::newRow(visible(text).constData()) << text;
}

void tst_NumRules::valOverflow()
{
    QFETCH(QByteArray, text);
    QCOMPARE(errorOf([&] { rt::Val(text.toStdString()); }), Overflow);
}

void tst_NumRules::valIgnoresLocale_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::newRow("C") << QByteArray("C");
    // The POSIX name, then the one Windows' C runtime knows.
    QTest::newRow("German") << QByteArray("de_DE.UTF-8|German_Germany.1252");
}

void tst_NumRules::valIgnoresLocale()
{
    QFETCH(QByteArray, locale);
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    bool set = false;
    for (const QByteArray &name : locale.split('|'))
        set = set || std::setlocale(LC_ALL, name.constData());
    if (!set) {
        // scripts/deps.sh makes the German locale; where it ran (CI), a missing one is a fault.
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(qPrintable(QStringLiteral("locale %1 is not installed").arg(QLatin1String(locale))));
        QSKIP("locale not installed on this machine; scripts/deps.sh makes de_DE.UTF-8");
    }
    const double pointText = rt::Val("7.5");
    const double commaText = rt::Val("7,5");
    const std::string printed = rt::Str(7.5);
    const std::string small = rt::Str(1.5e-5);
    std::setlocale(LC_ALL, previous.c_str());

    QCOMPARE(exact(pointText), exact(7.5));
    QCOMPARE(exact(commaText), exact(7));
    QCOMPARE(QByteArray::fromStdString(printed), QByteArray(" 7.5"));
    QCOMPARE(QByteArray::fromStdString(small), QByteArray(" 1.5E-05"));
}

void tst_NumRules::textForms_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");
    const struct {
        const char *tag;
        double value;
        const char *expected;
    } strRows[] = {
        {"75", 75.0, " 75"},
        {"0", 0.0, " 0"},
        {"-0", -0.0, " 0"},
        {"-5", -5.0, "-5"},
        {"7.5", 7.5, " 7.5"},
        {"-7.25", -7.25, "-7.25"},
        {"0.5", 0.5, " .5"},
        {"-0.5", -0.5, "-.5"},
        {"25/3", 25.0 / 3, " 8.33333333333333"},
        {"-25/3", -25.0 / 3, "-8.33333333333333"},
        {"1/3", 1.0 / 3, " .333333333333333"},
        {"2/3", 2.0 / 3, " .666666666666667"},
        {"6.5/3-1", 6.5 / 3 - 1, " 1.16666666666667"},
        {"0.1+0.2", 0.1 + 0.2, " .3"},
        {"0.9999999999999999", 0.9999999999999999, " 1"},
        {"99999.99999999999", 99999.99999999999, " 100000"},
        {"123456789.123456789", 123456789.123456789, " 123456789.123457"},
        {"123456789012345.6", 123456789012345.6, " 123456789012346"},
        {"2147483647", 2147483647.0, " 2147483647"},
        {"-2147483648", -2147483648.0, "-2147483648"},
        {"1e14", 1e14, " 100000000000000"},
        {"999999999999999", 999999999999999.0, " 999999999999999"},
        {"999999999999999.9", 999999999999999.9, " 1E+15"},
        {"1e15", 1e15, " 1E+15"},
        {"-1e15", -1e15, "-1E+15"},
        {"2^53", 9007199254740992.0, " 9.00719925474099E+15"},
        {"1.5e20", 1.5e20, " 1.5E+20"},
        {"1e100", 1e100, " 1E+100"},
        {"0.0001", 0.0001, " .0001"},
        {"-0.0001", -0.0001, "-.0001"},
        {"0.00012345", 0.00012345, " .00012345"},
        {"9.999999999999999e-5", 9.999999999999999e-5, " .0001"},
        {"1e-5", 1e-5, " 1E-05"},
        {"1.5e-5", 1.5e-5, " 1.5E-05"},
        {"-2.5e-7", -2.5e-7, "-2.5E-07"},
        {"1e-300", 1e-300, " 1E-300"},
        {"NaN", notANumber, " NaN"},
        {"inf", inf, " Infinity"},
        {"-inf", -inf, "-Infinity"},
    };
    for (const auto &r : strRows)
        QTest::addRow("Str %s", r.tag) << QByteArray("Str") << r.value << QByteArray(r.expected);
    const struct {
        const char *form;
        double value;
        const char *expected;
    } otherRows[] = {
        {"CStr", 76, "76"},   {"CStr", 0, "0"},           {"CStr", -5, "-5"},    {"CStr", 1000, "1000"},
        {"CStr", 7.5, "7.5"}, {"CStr", -32768, "-32768"}, {"Print", 24, " 24 "}, {"Print", 0, " 0 "},
        {"Print", -5, "-5 "}, {"Print", 7.5, " 7.5 "},
    };
    for (const auto &r : otherRows)
        QTest::addRow("%s %s", r.form, QByteArray::number(r.value).constData())
            << QByteArray(r.form) << r.value << QByteArray(r.expected);
}

void tst_NumRules::textForms()
{
    QFETCH(QByteArray, form);
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    std::string text;
    if (form == "Str")
        text = rt::Str(value);
    else if (form == "CStr")
        text = rt::CStr(value);
    else
        text = rt::PrintNumber(value);
    QCOMPARE(QByteArray::fromStdString(text), expected);
}

void tst_NumRules::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    const struct {
        const char *tag;
        double value;
        double expected;
    } rows[] = {
        {"2.5", 2.5, 2.0},
        {"3.5", 3.5, 4.0},
        {"-2.5", -2.5, -2.0},
        {"-3.5", -3.5, -4.0},
        {"2.4", 2.4, 2.0},
        {"2.6", 2.6, 3.0},
        {"0.49999999999999994", 0.49999999999999994, 0.0},
        {"2^52+1", 4503599627370497.0, 4503599627370497.0},
        {"-(2^52+1)", -4503599627370497.0, -4503599627370497.0},
        {"1e300", 1e300, 1e300},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << r.value << r.expected;
}

void tst_NumRules::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(exact(rt::RoundHalfEven(value)), exact(expected));
}

void tst_NumRules::cint_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("overflows");
    const struct {
        const char *tag;
        double value;
        int expected;
        bool overflows;
    } rows[] = {
        {"0", 0, 0, false},
        {"0.5", 0.5, 0, false},
        {"1.5", 1.5, 2, false},
        {"2.5", 2.5, 2, false},
        {"3.5", 3.5, 4, false},
        {"-0.5", -0.5, 0, false},
        {"-1.5", -1.5, -2, false},
        {"-2.5", -2.5, -2, false},
        {"-3.5", -3.5, -4, false},
        {"0.49999999999999994", 0.49999999999999994, 0, false},
        {"0.5000001", 0.5000001, 1, false},
        {"32767", 32767, 32767, false},
        {"32767.4", 32767.4, 32767, false},
        {"32766.5", 32766.5, 32766, false},
        {"-32768", -32768, -32768, false},
        {"-32768.5", -32768.5, -32768, false},
        {"32767.5", 32767.5, 0, true},
        {"32768", 32768, 0, true},
        {"-32768.6", -32768.6, 0, true},
        {"-32769", -32769, 0, true},
        {"1e10", 1e10, 0, true},
        {"NaN", notANumber, 0, true},
        {"inf", inf, 0, true},
        {"-inf", -inf, 0, true},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << r.value << r.expected << r.overflows;
}

void tst_NumRules::cint()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QFETCH(bool, overflows);
    int result = 0;
    QCOMPARE(errorOf([&] { result = rt::CInt(value); }), overflows ? Overflow : 0);
    QCOMPARE(result, expected);
}

void tst_NumRules::clng_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<bool>("overflows");
    const struct {
        const char *tag;
        double value;
        qint64 expected;
        bool overflows;
    } rows[] = {
        {"2.5", 2.5, 2, false},
        {"-2.5", -2.5, -2, false},
        {"-3.5", -3.5, -4, false},
        {"32767.5", 32767.5, 32768, false},
        {"-32769", -32769, -32769, false},
        {"2147483647", 2147483647.0, 2147483647, false},
        {"2147483647.4", 2147483647.4, 2147483647, false},
        {"2147483646.5", 2147483646.5, 2147483646, false},
        {"-2147483648", -2147483648.0, -2147483648LL, false},
        {"-2147483648.5", -2147483648.5, -2147483648LL, false},
        {"-2147483647.5", -2147483647.5, -2147483648LL, false},
        {"2147483647.5", 2147483647.5, 0, true},
        {"2147483648", 2147483648.0, 0, true},
        {"-2147483648.51", -2147483648.51, 0, true},
        {"-2147483649", -2147483649.0, 0, true},
        {"3e9", 3e9, 0, true},
        {"2^52+1", 4503599627370497.0, 0, true},
        {"NaN", notANumber, 0, true},
        {"inf", inf, 0, true},
        {"-inf", -inf, 0, true},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << r.value << r.expected << r.overflows;
}

void tst_NumRules::clng()
{
    QFETCH(double, value);
    QFETCH(qint64, expected);
    QFETCH(bool, overflows);
    qint64 result = 0;
    QCOMPARE(errorOf([&] { result = rt::CLng(value); }), overflows ? Overflow : 0);
    QCOMPARE(result, expected);
}

void tst_NumRules::mod_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("error");
    const struct {
        const char *tag;
        double a, b;
        int expected;
        int error;
    } rows[] = {
        {"7.5 Mod 3", 7.5, 3, 2, 0},
        {"6.5 Mod 4", 6.5, 4, 2, 0},
        {"0 Mod 1", 0, 1, 0, 0},
        {"75 Mod 5", 75, 5, 0, 0},
        {"8 Mod 3", 8, 3, 2, 0},
        {"-7 Mod 3", -7, 3, -1, 0},
        {"7 Mod -3", 7, -3, 1, 0},
        {"-7 Mod -3", -7, -3, -1, 0},
        {"7 Mod 2.5", 7, 2.5, 1, 0},
        {"7 Mod 3.5", 7, 3.5, 3, 0},
        {"2147483647 Mod 2147483647", 2147483647.0, 2147483647.0, 0, 0},
        {"2147483647 Mod 2", 2147483647.0, 2, 1, 0},
        {"-2147483648 Mod 3", -2147483648.0, 3, -2, 0},
        {"-2147483648 Mod -1", -2147483648.0, -1, 0, 0},
        {"-2147483648.5 Mod 7", -2147483648.5, 7, -2, 0},
        {"5 Mod 0", 5, 0, 0, DivisionByZero},
        {"5 Mod 0.4", 5, 0.4, 0, DivisionByZero},
        {"5 Mod -0.5", 5, -0.5, 0, DivisionByZero},
        {"2147483647.5 Mod 3", 2147483647.5, 3, 0, Overflow},
        {"3e9 Mod 3", 3e9, 3, 0, Overflow},
        {"3 Mod 2147483648", 3, 2147483648.0, 0, Overflow},
        {"-2147483649 Mod 3", -2147483649.0, 3, 0, Overflow},
        {"NaN Mod 1", notANumber, 1, 0, Overflow},
        {"1 Mod NaN", 1, notANumber, 0, Overflow},
        {"inf Mod 1", inf, 1, 0, Overflow},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << r.a << r.b << r.expected << r.error;
}

void tst_NumRules::mod()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, expected);
    QFETCH(int, error);
    int result = 0;
    QCOMPARE(errorOf([&] { result = rt::Mod(a, b); }), error);
    QCOMPARE(result, expected);
}

void tst_NumRules::rgb_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<int>("expected");
    const struct {
        int red, green, blue, expected;
    } rows[] = {
        {0, 0, 0, 0},
        {255, 0, 0, 255},
        {0, 255, 0, 65280},
        {0, 0, 255, 16711680},
        {255, 255, 255, 16777215},
        {1, 2, 3, 197121},
        {128, 64, 200, 13123712},
    };
    for (const auto &r : rows)
        QTest::addRow("%d,%d,%d", r.red, r.green, r.blue) << r.red << r.green << r.blue << r.expected;
}

void tst_NumRules::rgb()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(int, expected);
    const std::int32_t colour = rt::RGB(red, green, blue);
    QCOMPARE(colour, expected);
    QCOMPARE(rt::RedOf(colour), red);
    QCOMPARE(rt::GreenOf(colour), green);
    QCOMPARE(rt::BlueOf(colour), blue);
}

void tst_NumRules::rndRepeatsFromAFreshStart()
{
    rt::Rnd first;
    rt::Rnd second;
    std::set<float> seen;
    for (int i = 0; i < 1000; ++i) {
        const float a = first.next();
        QCOMPARE(second.next(), a);
        seen.insert(a);
    }
    // Two generators agreeing on a constant would prove nothing.
    QVERIFY(seen.size() > 990);
}

void tst_NumRules::rndIsRoughlyUniform()
{
    rt::Rnd rnd;
    constexpr int draws = 100000;
    double sum = 0;
    int tenths[10] = {};
    for (int i = 0; i < draws; ++i) {
        const float v = rnd.next();
        sum += v;
        ++tenths[std::min(9, static_cast<int>(v * 10))];
    }
    QVERIFY2(std::fabs(sum / draws - 0.5) < 0.01, qPrintable(QString::number(sum / draws)));
    for (int t = 0; t < 10; ++t)
        QVERIFY2(std::abs(tenths[t] - draws / 10) < draws / 100,
                 qPrintable(QString("tenth %1 got %2 draws").arg(t).arg(tenths[t])));
}

void tst_NumRules::rndGivesSinglesInUnitInterval()
{
    rt::Rnd rnd;
    std::set<float> seen;
    for (int i = 0; i < 100000; ++i) {
        const float v = rnd.next();
        // Every value lies on the grid of a float's 24-bit mantissa over [0, 1).
        const double scaled = static_cast<double>(v) * 16777216.0;
        QVERIFY2(v >= 0.0f && v < 1.0f && scaled == std::floor(scaled),
                 qPrintable(QString("draw %1 gave %2").arg(i).arg(double(v), 0, 'g', 12)));
        seen.insert(v);
    }
    // Among 2^24 possible values 100000 draws repeat rarely; a coarser grid would repeat often.
    QVERIFY2(seen.size() > 99000, qPrintable(QString::number(seen.size())));
}

void tst_NumRules::rndSkipIsDrawing_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("skipped");
    QTest::newRow("nothing") << 0 << 0;
    QTest::newRow("one bar's three") << 5 << 3;
    QTest::newRow("a chart of 108 runs") << 17 << 324;
    QTest::newRow("a long search") << 1 << 100000;
}

void tst_NumRules::rndSkipIsDrawing()
{
    // Skipping k draws leaves the sequence where k calls of next() leave it, and a copy taken
    // before the skip gives the skipped draws.
    QFETCH(int, before);
    QFETCH(int, skipped);
    rt::Rnd drawn, skipping;
    for (int i = 0; i < before; ++i) {
        drawn.next();
        skipping.next();
    }
    rt::Rnd replay = skipping;
    skipping.skip(std::uint64_t(skipped));
    for (int i = 0; i < skipped; ++i)
        QCOMPARE(replay.next(), drawn.next());
    QVERIFY(skipping == drawn);
    QCOMPARE(skipping.next(), drawn.next());
}

QTEST_APPLESS_MAIN(tst_NumRules)
#include "tst_numrules.moc"
