// Thousands of random uses of the window, from a fixed seed: typing and pasting into the number
// box, the number scroll bar's arrows, trough and thumb, the pan bar, the analysis button, the
// searches (also one started inside another) and the stop button. After every use, once the event
// loop is quiet, the listing on display must be exactly the analysis of the state's number.
#include "core/pass.h"
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "support/search_oracle.h"
#include "support/slice_driver.h"
#include "ui/application.h"

#include <QClipboard>
#include <QtTest>

#include <array>
#include <random>

namespace {

enum Action {
    TypeDigit,
    TypeLetter,
    TypeDot,
    Backspace,
    MoveCaret,
    PasteText,
    NumberArrow,
    NumberTrough,
    NumberDrag,
    PanBar,
    Analyse,
    OnePairSearch,
    TwoPairSearch,
    Stop,
    ActionCount
};
constexpr const char *ActionNames[ActionCount] = {
    "digit typed",     "letter typed",    "point typed",     "backspace",   "caret moved",
    "text pasted",     "number arrow",    "number trough",   "number drag", "pan bar",
    "analysis button", "one-pair search", "two-pair search", "stop button"};
// How often each action is drawn: typing is cheap and common, a search costs a few passes.
constexpr std::array<double, ActionCount> Weights = {20, 6, 4, 10, 4, 12, 10, 5, 4, 8, 6, 4, 4, 3};

int pairLines(const QString &listing)
{
    // Only a pair line holds "_"; run lines and the section's heading never do.
    int count = 0;
    for (const QStringView line : QStringView(listing).split(u"\r\n"))
        count += line.contains(u'_') ? 1 : 0;
    return count;
}

int actionCount()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("SUMMENLEITER_RANDOM_ACTIONS", &ok);
    return ok && n > 0 ? n : 10000;
}

} // namespace

class tst_RandomUse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void randomUse();

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(int percent) { return pick(0, 99) < percent; }
    void act(Action a);
    QString randomText();
    void click(QPushButton *button);
    void clickPart(rt::ScrollBar *bar, QStyle::SubControl part);
    void drag(rt::ScrollBar *bar);
    // Starts a search with a stop that waits a few slices; an outermost one is waited for.
    void search(QPushButton *button);
    void queueHop(int remaining);
    // Between two slices of a running search: maybe the user does something, at the end the stop.
    void hop(int remaining);
    void check(int step, Action a);

    std::mt19937 rng{20240611u};
    support::Form1Fixture form;
    std::array<int, ActionCount> counts{};
    int searchDepth = 0;
    int nestedSearches = 0;
    int actionsDuringSearch = 0;
    int stopsQueued = 0;
    int errorCount = 0;
    int listingWrites = 0;
    int numberChanges = 0;
    int searchListings = 0;
    QList<int> errors;
};

void tst_RandomUse::click(QPushButton *button)
{
    if (chance(50))
        button->click();
    else
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void tst_RandomUse::clickPart(rt::ScrollBar *bar, QStyle::SubControl part)
{
    const QRect r = bar->subControlRect(part);
    if (!r.isEmpty())
        QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
}

void tst_RandomUse::drag(rt::ScrollBar *bar)
{
    bar->setSliderDown(true);
    for (int i = pick(1, 3); i > 0; --i)
        bar->setSliderPosition(pick(bar->QScrollBar::minimum(), bar->QScrollBar::maximum()));
    bar->setSliderDown(false);
}

QString tst_RandomUse::randomText()
{
    static const char *const outOfRange[] = {"3e9",        "-3e9",        "1e400",      "-1e400", "99999999999",
                                             "2147483648", "-2147483649", "&HFFFFFFFF", "1e308",  "-1e300"};
    static const char *const odd[] = {"&H10", "1d2",  "&O17", " 80", "80abc", "7,5",          "2.5",  "999.5",
                                      "0.5",  "-0.5", "2.4",  "2.6", "NaN",   "\u0667\u0665", "7\t5", "7\r5"};
    static const char garbage[] = "abcxyz &H.eEdD+-,;#\t\n";
    switch (pick(0, 9)) {
    case 0:
        return QString::number(pick(-5, 1100));
    case 1:
        return QString::number(pick(1000, 2147483647));
    case 2:
        return QString::number(2147483647 - pick(0, 8));
    case 3:
        return QStringLiteral("%1.%2").arg(pick(0, 1100)).arg(pick(0, 99));
    case 4: {
        QString s;
        for (int i = pick(0, 12); i > 0; --i)
            s += QLatin1Char(garbage[pick(0, int(sizeof garbage) - 2)]);
        return s;
    }
    case 5:
        return QString::fromUtf8(outOfRange[pick(0, int(std::size(outOfRange)) - 1)]);
    case 6:
        return QString::fromUtf8(odd[pick(0, int(std::size(odd)) - 1)]);
    case 7:
        return QString::number(pick(-50000, -1));
    case 8: {
        QString s;
        for (int i = pick(10, 40); i > 0; --i)
            s += QLatin1Char(char('0' + pick(0, 9)));
        return s;
    }
    default:
        return QString();
    }
}

void tst_RandomUse::search(QPushButton *button)
{
    const bool outermost = !form->commands().searching();
    if (outermost) {
        // Slices of a few numbers, so that the user's actions fall between numbers of a search
        // as well as between searches; 0 lets the slices run by the clock.
        commands::SliceDriver::setSliceCandidates(form->commands(), std::uint32_t(pick(0, 3)));
        searchDepth = 0;
    } else {
        ++searchDepth;
    }
    queueHop(pick(0, 4));
    click(button);
    if (outermost)
        QVERIFY(finishSearches(form->commands()));
}

void tst_RandomUse::queueHop(int remaining)
{
    QMetaObject::invokeMethod(
        form.get(), [this, remaining] { hop(remaining); }, Qt::QueuedConnection);
}

void tst_RandomUse::hop(int remaining)
{
    // A search that has already ended, by its pairs or an error, needs no stop.
    if (!form->commands().searching())
        return;
    if (remaining == 0) {
        ++stopsQueued;
        form.Command3()->click();
        return;
    }
    const int r = pick(0, 99);
    if (r < 8 && searchDepth < 3) {
        // Its own stop ends the outer search too, one candidate later.
        ++nestedSearches;
        search(chance(50) ? form.Command4() : form.Command5());
        return;
    }
    if (r < 25) {
        ++actionsDuringSearch;
        static constexpr Action meanwhile[] = {TypeDigit, Backspace, PasteText, NumberArrow, PanBar, Analyse};
        act(meanwhile[pick(0, int(std::size(meanwhile)) - 1)]);
    }
    queueHop(remaining - 1);
}

void tst_RandomUse::act(Action a)
{
    QLineEdit *box = form.Text1();
    switch (a) {
    case TypeDigit:
        QTest::keyClick(box, char('0' + pick(0, 9)));
        break;
    case TypeLetter: {
        static const char letters[] = "abexyzdEDH&+-";
        QTest::keyClick(box, letters[pick(0, int(sizeof letters) - 2)]);
        break;
    }
    case TypeDot:
        QTest::keyClick(box, '.');
        break;
    case Backspace:
        QTest::keyClick(box, Qt::Key_Backspace);
        break;
    case MoveCaret: {
        static constexpr Qt::Key keys[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right};
        if (chance(25))
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier); // select all, typing replaces it
        else
            QTest::keyClick(box, keys[pick(0, int(std::size(keys)) - 1)]);
        break;
    }
    case PasteText: {
        const QString text = randomText();
        switch (pick(0, 2)) {
        case 0:
            box->setText(text); // over the whole text
            break;
        case 1:
            QGuiApplication::clipboard()->setText(text);
            box->selectAll();
            box->paste();
            break;
        default:
            box->insert(text); // at the caret
            break;
        }
        break;
    }
    case NumberArrow:
        if (chance(20))
            QTest::keyClick(form.VScroll1(), chance(50) ? Qt::Key_Up : Qt::Key_Down);
        else
            clickPart(form.VScroll1(), chance(50) ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine);
        break;
    case NumberTrough:
        clickPart(form.VScroll1(), chance(50) ? QStyle::SC_ScrollBarSubPage : QStyle::SC_ScrollBarAddPage);
        break;
    case NumberDrag:
        drag(form.VScroll1());
        break;
    case PanBar: {
        rt::ScrollBar *pan = form.HScroll1();
        const int choice = pick(0, 3);
        if (choice == 0)
            pan->setValue(std::int16_t(pick(std::min(pan->Min(), pan->Max()), std::max(pan->Min(), pan->Max()))));
        else if (choice == 1)
            drag(pan);
        else
            clickPart(pan, choice == 2 ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarAddPage);
        break;
    }
    case Analyse:
        click(form.Command1());
        break;
    case OnePairSearch:
        search(form.Command4());
        break;
    case TwoPairSearch:
        search(form.Command5());
        break;
    case Stop:
        click(form.Command3());
        break;
    case ActionCount:
        break;
    }
}

void tst_RandomUse::check(int step, Action a)
{
    const auto where = [&](const QString &what) {
        return QStringLiteral("after action %1 (%2), box \"%3\": %4")
            .arg(step)
            .arg(QLatin1String(a < ActionCount ? ActionNames[a] : "start"), form.Text1()->Text(), what)
            .toLocal8Bit();
    };
    QVERIFY2(!form->commands().searching(), where(QStringLiteral("a search is still running")).constData());

    // The search's chart always spans 1000 units; an analysis spans its width bound + 10, which is
    // 1000 only for numbers where the analysis and the search find the same runs.
    const double n = form->state().n;
    const bool bySearch = form.picGraph()->scaleRect().right() == 1000.0;
    searchListings += bySearch ? 1 : 0;
    const double bound = bySearch ? n + 1 : n;
    core::AnalysisState fresh;
    fresh.n = n;
    try {
        core::RunPass(fresh, bound, {}, {});
    } catch (const rt::RuntimeError &e) {
        QFAIL(where(QStringLiteral("n = %1 cannot be analysed (error %2)").arg(n, 0, 'g', 17).arg(e.number()))
                  .constData());
    }
    const QString listing = form.txtSequenz()->Text();
    QVERIFY2(listing == QString::fromStdString(fresh.listing),
             where(QStringLiteral("n = %1, bound %2: listing\n%3\ninstead of\n%4")
                       .arg(n, 0, 'g', 17)
                       .arg(bound, 0, 'g', 17)
                       .arg(listing, QString::fromStdString(fresh.listing)))
                 .constData());
    QCOMPARE(int(form->state().pairCount), int(fresh.pairCount));
    QCOMPARE(int(form->state().pairCount), pairLines(listing));

    const int v = form.VScroll1()->Value();
    QVERIFY2(v >= 3 && v <= 1000, where(QStringLiteral("number scroll bar at %1").arg(v)).constData());
    const rt::ScrollBar *pan = form.HScroll1();
    const int p = pan->Value();
    QVERIFY2(p >= std::min(pan->Min(), pan->Max()) && p <= std::max(pan->Min(), pan->Max()),
             where(QStringLiteral("pan bar at %1 outside %2..%3").arg(p).arg(pan->Min()).arg(pan->Max())).constData());
    QCOMPARE(form->placement(form.picGraph()).Left(), -float(p));
    for (int e : std::as_const(errors))
        QVERIFY2(e == 6, where(QStringLiteral("error %1 reported").arg(e)).constData());
}

void tst_RandomUse::randomUse()
{
    QVERIFY(form.open());
    form->errorReporter().setHandler([this](const rt::RuntimeError &e, const QString &) {
        errors << e.number();
        ++errorCount;
    });
    connect(form.txtSequenz(), &QPlainTextEdit::textChanged, this, [this] { ++listingWrites; });
    connect(form.VScroll1(), &rt::ScrollBar::change, this, [this] { ++numberChanges; });
    form.Text1()->setFocus();
    check(0, ActionCount);

    std::discrete_distribution<int> draw(Weights.begin(), Weights.end());
    const int total = actionCount();
    for (int step = 1; step <= total; ++step) {
        const auto a = Action(draw(rng));
        errors.clear();
        act(a);
        ++counts[a];
        // Lets a stop that a search no longer needed run out, and the window repaint.
        QCoreApplication::processEvents();
        check(step, a);
        if (QTest::currentTestFailed())
            break;
    }

    for (int a = 0; a < ActionCount; ++a)
        qInfo("%-16s %6d", ActionNames[a], counts[a]);
    qInfo("searches started inside a search: %d, uses during a search: %d, stops from a yield: %d, "
          "overflow errors: %d",
          nestedSearches, actionsDuringSearch, stopsQueued, errorCount);
    qInfo("listings written: %d, number scroll bar changes: %d, checks after a search's pass: %d", listingWrites,
          numberChanges, searchListings);
    if (total >= 1000 && !QTest::currentTestFailed()) {
        // A run of this length that never nested a search or met the stop would test less than it claims.
        QVERIFY(nestedSearches > 0);
        QVERIFY(actionsDuringSearch > 0);
        QVERIFY(stopsQueued > 0);
    }
    form.reset();
}

QTEST_MAIN(tst_RandomUse)
#include "tst_randomuse.moc"
