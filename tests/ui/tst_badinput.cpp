// Odd and hostile texts in the number box, typed or pasted, and then the analysis button or a
// forward search. Whatever the text, the window either shows the analysis the reading rule gives,
// or reports overflow (error 6) and leaves everything as it was.
#include "core/pass.h"
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "ui/application.h"

#include <QClipboard>
#include <QtTest>

#include <cmath>
#include <cstdint>

namespace {

enum Entry { Set, Paste, Keys };

// QLineEdit's default maxLength: a longer paste is cut there.
constexpr int BoxLimit = 32767;
constexpr int StartNumber = 500; // far from every number the texts below read as

// What the window shows after a step, as far as these tests follow it.
struct Shown {
    QString box;
    int scrollBar = 0;
    double n = 0;
    QString listing;
    int pairs = 0;
    float canvasWidth = 0;
    int panMax = 0;
};

// One pass over n by the core alone, on a fresh state.
void corePass(Shown &s, double n, double bound)
{
    core::AnalysisState state;
    state.n = n;
    core::RunPass(state, bound, {}, {});
    s.n = n;
    s.listing = QString::fromStdString(state.listing);
    s.pairs = state.pairCount;
}

bool fitsLong(double v)
{
    const double r = std::nearbyint(v); // the default rounding mode ties to even
    return r >= -2147483648.0 && r <= 2147483647.0;
}

// The analysis button's pass: listing, canvas width and pan range for n.
void analysed(Shown &s, double n)
{
    const double widthBound = std::min(std::nearbyint(n), 5000.0);
    corePass(s, n, n);
    s.canvasWidth = float(std::max(widthBound + 10, 0.0));
    s.panMax = int(std::max(widthBound, -32768.0));
}

// The number box's change handler: a number within the bounds whose rounding differs from the
// scroll bar moves the scroll bar, which rewrites the box and analyses. Returns whether it did.
bool boxChanged(Shown &s, const QString &text)
{
    s.box = text;
    double v = 0;
    try {
        v = rt::Val(text.toStdString());
    } catch (const rt::RuntimeError &) {
        return false;
    }
    const double rounded = std::nearbyint(v);
    if (!(v > 2 && v < 1000) || rounded < 3 || rounded == s.scrollBar)
        return false;
    s.scrollBar = int(rounded);
    s.box = QString::number(s.scrollBar);
    analysed(s, rounded);
    return true;
}

QString displayed(QString text)
{
    static const char *names[] = {"NUL", "", "", "", "", "", "", "BEL", "", "\\t", "\\n", "", "", "\\r"};
    if (text.size() > 40)
        return QStringLiteral("%1... (%2 characters)").arg(displayed(text.left(12))).arg(text.size());
    for (int c = 0; c < 14; ++c)
        if (*names[c])
            text.replace(QChar(c), QStringLiteral("<%1>").arg(QLatin1String(names[c])));
    return text.replace(QChar(27), QStringLiteral("<ESC>"));
}

} // namespace

class tst_BadInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup();
    void analysis_data() { inputs(); }
    void analysis();
    void onePairSearch_data() { inputs(); }
    void onePairSearch() { search(form.Command4()); }
    void twoPairSearch_data() { inputs(); }
    void twoPairSearch() { search(form.Command5()); }

private:
    void inputs();
    // Puts the row's text into the number box as the row says and follows it in the model.
    void enter();
    void search(QPushButton *button);
    void compare(const Shown &s);
    support::Form1Fixture form;
    Shown model;
};

void tst_BadInput::init()
{
    // A search's first slice, within its click, is one number.
    QVERIFY(form.open({commands::Stepping::Skipping, 1}));
    form.VScroll1()->setValue(StartNumber);
    model = Shown{};
    model.box = QString::number(StartNumber);
    model.scrollBar = StartNumber;
    analysed(model, StartNumber);
    compare(model);
}

void tst_BadInput::cleanup()
{
    form.reset();
}

void tst_BadInput::compare(const Shown &s)
{
    QCOMPARE(form.Text1()->Text(), s.box);
    QCOMPARE(int(form.VScroll1()->Value()), s.scrollBar);
    QCOMPARE(form->state().n, s.n);
    QCOMPARE(form.txtSequenz()->Text(), s.listing);
    QCOMPARE(int(form->state().pairCount), s.pairs);
    QCOMPARE(form->placement(form.picGraph()).Width(), s.canvasWidth);
    QCOMPARE(int(form.HScroll1()->Max()), s.panMax);
}

void tst_BadInput::inputs()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("entry");
    QTest::addColumn<bool>("overflows"); // the text as the box holds it is too large to read
    QTest::addColumn<double>("reads");   // otherwise, the number it reads as

    auto row = [](const QString &text, Entry entry, bool overflows, double reads) {
        static const char *how[] = {"set", "pasted", "typed"};
        const QString tag = QStringLiteral("\"%1\" %2").arg(displayed(text), QLatin1String(how[entry]));
        QTest::newRow(qPrintable(tag)) << text << int(entry) << overflows << reads;
    };
    auto number = [&](const QString &text, std::initializer_list<Entry> entries, double reads) {
        for (Entry e : entries)
            row(text, e, false, reads);
    };
    auto tooLarge = [&](const QString &text, std::initializer_list<Entry> entries) {
        for (Entry e : entries)
            row(text, e, true, 0);
    };
    const QChar nul(0), bel(7), esc(27);

    number(QString(), {Set, Keys}, 0);
    number(QStringLiteral("abc"), {Set, Keys}, 0);
    number(QStringLiteral("e5"), {Set}, 0);
    number(QStringLiteral("-"), {Set, Keys}, 0);
    tooLarge(QStringLiteral("1e400"), {Set, Paste, Keys});
    tooLarge(QStringLiteral("-1e400"), {Set, Keys});
    number(QStringLiteral("1e-400"), {Set}, 0);
    number(QStringLiteral("NaN"), {Set, Keys}, 0);
    number(QStringLiteral("Infinity"), {Set, Keys}, 0);
    number(QStringLiteral("-Infinity"), {Set}, 0);
    number(QStringLiteral("&H10"), {Set, Keys}, 16);
    number(QStringLiteral("1d2"), {Set, Paste, Keys}, 100);
    number(QStringLiteral("1D2"), {Set}, 100);
    // Readable, but beyond what the 32-bit conversions of the analysis and the search take.
    number(QString(308, QLatin1Char('9')), {Set}, 1e308);
    number(QLatin1Char('-') + QString(308, QLatin1Char('9')), {Set}, -1e308);
    number(QStringLiteral("-1e300"), {Set}, -1e300);
    number(QStringLiteral("2147483647"), {Set, Keys}, 2147483647);
    number(QStringLiteral("2147483646"), {Set}, 2147483646);
    number(QStringLiteral("-2147483648"), {Set}, -2147483648.0);
    number(QStringLiteral("-2147483649"), {Set}, -2147483649.0);
    // A thousand digits.
    tooLarge(QString(1000, QLatin1Char('1')), {Set, Paste});
    number(QString(998, QLatin1Char('0')) + QStringLiteral("75"), {Set, Paste}, 75);
    // Digits of other scripts are no digits to the reading rule.
    number(QStringLiteral("\u0667\u0665"), {Set, Paste, Keys}, 0); // Arabic-Indic 75
    number(QStringLiteral("\uFF17\uFF15"), {Set, Keys}, 0);        // full-width 75
    number(QStringLiteral("\u096D\u096B"), {Set, Keys}, 0);        // Devanagari 75
    number(QStringLiteral("75\u0667"), {Set, Keys}, 75);
    number(QStringLiteral("\u066775"), {Set}, 0);
    // Control characters: blanks, tabs and line feeds are skipped, anything else ends the number.
    number(QStringLiteral("7\t5"), {Set, Paste}, 75);
    number(QStringLiteral("7\n5"), {Set, Paste}, 75);
    number(QStringLiteral("\t\n 80"), {Set}, 80);
    number(QStringLiteral("7\r5"), {Set, Paste}, 7);
    number(QStringLiteral("7\r\n5"), {Set}, 7);
    number(QStringLiteral("7") + nul + QStringLiteral("5"), {Set, Paste}, 7);
    number(QStringLiteral("7") + bel + QStringLiteral("5"), {Set}, 7);
    number(QStringLiteral("7") + esc + QStringLiteral("5"), {Set}, 7);
    number(QStringLiteral("5\t00"), {Set}, StartNumber); // the scroll bar holds it already
    // Typed, a control character inserts nothing.
    number(QStringLiteral("7") + esc + QStringLiteral("5"), {Keys}, 75);
    number(QStringLiteral("7") + bel + QStringLiteral("5"), {Keys}, 75);
    number(QStringLiteral("7") + nul + QStringLiteral("5"), {Keys}, 75);
    // A megabyte, of which the box keeps its first 32767 characters.
    constexpr int megabyte = 1 << 20;
    tooLarge(QStringLiteral("75") + QString(megabyte, QLatin1Char('0')), {Set, Paste});
    number(QStringLiteral("80") + QString(megabyte, QLatin1Char(' ')), {Set, Paste}, 80);
    number(QString(megabyte, QLatin1Char('x')), {Set, Paste}, 0);
    number(QString(megabyte, QLatin1Char('\n')) + QStringLiteral("80"), {Set}, 0);
}

void tst_BadInput::enter()
{
    QFETCH(QString, text);
    QFETCH(int, entry);
    QFETCH(bool, overflows);
    QFETCH(double, reads);

    QLineEdit *box = form.Text1();
    QString held; // the text as the box takes it in, before the coupling may rewrite it
    if (entry == Keys) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        boxChanged(model, QString());
        for (QChar c : text) {
            if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
                QTest::keyClick(box, char(c.unicode()));
            else // keys QTest cannot name from a character: the text a keyboard layout would send
                QTest::sendKeyEvent(QTest::Click, box, c.unicode() == 27 ? Qt::Key_Escape : Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            // Each keystroke is a change of its own; the box is rewritten with the caret at the end.
            if (c.isPrint()) {
                held = model.box + c;
                boxChanged(model, held);
            }
        }
    } else {
        if (entry == Paste) {
            QGuiApplication::clipboard()->setText(text);
            QCOMPARE(QGuiApplication::clipboard()->text(), text);
            box->selectAll();
            box->paste();
        } else {
            box->setText(text);
        }
        held = text.left(BoxLimit);
        boxChanged(model, held);
    }
    // The reading of what the box took in, against the row's own figure.
    if (overflows) {
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, rt::Val(held.toStdString()));
    } else {
        QCOMPARE(rt::Val(held.toStdString()), reads);
    }
    compare(model);
    // Typing or pasting never reports an error, not even for a number too large to read.
    QCOMPARE(form.errors(), QList<int>());
}

void tst_BadInput::analysis()
{
    enter();
    if (QTest::currentTestFailed())
        return;
    form.Command1()->click();
    double v = 0;
    bool fits = false;
    try {
        v = rt::Val(model.box.toStdString());
        fits = fitsLong(v);
    } catch (const rt::RuntimeError &) {
    }
    if (fits) {
        analysed(model, v);
        QCOMPARE(form.errors(), QList<int>());
    } else {
        QCOMPARE(form.errors(), QList<int>{6});
    }
    compare(model);
}

void tst_BadInput::search(QPushButton *button)
{
    enter();
    if (QTest::currentTestFailed())
        return;
    // The first slice runs within the click: one candidate, and then the search is dropped.
    button->click();
    form->commands().cancelSearches();

    double candidate = 0;
    bool fits = false;
    try {
        candidate = rt::Val(model.box.toStdString()) + 1;
        // A candidate below 0 is never divided, so any size of it can be tried.
        fits = candidate + 1 < 1 || fitsLong(candidate);
    } catch (const rt::RuntimeError &) {
    }
    if (fits) {
        // Writing the candidate into the box may analyse its rounding through the scroll bar;
        // the search's own pass then goes on from the number that left.
        if (!boxChanged(model, QString::fromStdString(rt::Str(candidate))))
            model.n = candidate;
        corePass(model, model.n, model.n + 1);
        QCOMPARE(form.errors(), QList<int>());
    } else {
        QCOMPARE(form.errors(), QList<int>{6});
    }
    compare(model);
}

QTEST_MAIN(tst_BadInput)
#include "tst_badinput.moc"
