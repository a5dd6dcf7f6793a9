// Times the window's work through the real widgets, offscreen: one analysis pass per n, and the
// candidates per second of a two-pair search, each candidate with its passes and one yield, next
// to the same candidates through the core's full pass with its listing, and through the exact
// count of runs and pairs alone; then each search's whole time, skipping and counting every
// number. With --soak [candidates], two-pair searches one after another over that many candidates
// (10^8 by default), then 10000 from 10^9 on round the range, each with the resident size before
// and after; the search button is pressed as a person presses it, through the event loop. With
// --search FROM TO, one two-pair search in the window alone, for instruction counts.
#include "core/divisor_sieve.h"
#include "core/halvable_pairs.h"
#include "core/pair_search.h"
#include "core/pair_sequence.h"
#include "core/pass.h"
#include "core/run_counts.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The controls as a person's tools find them, by their designed names.
rt::TextBox *numberBox(const ui::Form1 &form)
{
    return form.findChild<rt::TextBox *>(QStringLiteral("Text1"));
}

QPushButton *button(const ui::Form1 &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long statusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, length, field) == 0)
            return std::stol(line.substr(length));
    return -1;
}

void benchPass(ui::Form1 &form, const char *n)
{
    numberBox(form)->setText(QString::fromLatin1(n));
    std::vector<double> times;
    for (int r = 0; r < 41; ++r) {
        QElapsedTimer t;
        t.start();
        button(form, "Command1")->click();
        // The repaint belongs to what a person waits for.
        QCoreApplication::processEvents();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("pass n=%s ms=%.3f\n", n, median(times));
    std::fflush(stdout);
}

// The candidates of a search from `from` through the core alone: the pass start, the runs without
// a step, the pair section, with a sieve as the search has.
double coreRate(double from, double to)
{
    core::AnalysisState s;
    core::DivisorSieve sieve;
    std::size_t sink = 0;
    QElapsedTimer t;
    t.start();
    for (double n = from + 1; n <= to; n += 1) {
        s.n = n;
        core::StartPass(s);
        core::FindRuns(s, n + 1, {}, &sieve);
        core::ListHalvablePairs(s);
        sink += s.listing.size();
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    return sink > 0 ? (to - from) / seconds : 0;
}

// The same candidates' runs and pairs counted exactly, with nothing listed or stored: what a
// search cannot do without.
double exactRate(double from, double to)
{
    core::DivisorSieve sieve;
    std::int64_t sink = 0;
    QElapsedTimer t;
    t.start();
    for (double n = from + 1; n <= to; n += 1) {
        const core::RunCounts counts = core::CountRuns(static_cast<std::uint32_t>(n), sieve);
        sink += counts.runs + counts.pairs;
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    return sink > 0 ? (to - from) / seconds : 0;
}

// Clicks the two-pair search from `from` and lets the event loop run until the window shows its
// end: what a person waits for. Returns the milliseconds.
double timeSearch(ui::Form1 &form, double from, double to)
{
    numberBox(form)->setText(QString::number(from, 'f', 0));
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    button(form, "Command5")->click();
    while (form.commands().searching())
        QCoreApplication::processEvents();
    // The window paints the search's end once it is idle again.
    QCoreApplication::processEvents();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (form.state().n != to)
        std::printf("search from=%.0f ended at %.0f, expected %.0f\n", from, form.state().n, to);
    return ms;
}

void benchSearch(ui::Form1 &form, double from, double to)
{
    // The median of seven runs: a single one is at the mercy of whatever else the machine does,
    // and the short searches take a few milliseconds.
    std::vector<double> window, core, exact, whole;
    for (int r = 0; r < 7; ++r) {
        const double ms = timeSearch(form, from, to);
        whole.push_back(ms);
        window.push_back((to - from) / (ms / 1e3));
        core.push_back(coreRate(from, to));
        exact.push_back(exactRate(from, to));
    }
    const double w = median(window), c = median(core), x = median(exact);
    std::printf("search from=%.0f to=%.0f ms=%.1f candidates_per_s=%.0f core_candidates_per_s=%.0f ratio=%.2f "
                "exact_candidates_per_s=%.0f window_vs_exact=%.2f\n",
                from, to, median(whole), w, c, w / c, x, w / x);
    std::fflush(stdout);
}

// The whole search in the window as it runs, stepping over the numbers that cannot stop it, next
// to the same search counting every number's runs and pairs one after another (a second window),
// in the same run.
void benchLimit(ui::Form1 &form, ui::Form1 &countingForm, double from, double to)
{
    std::vector<double> skipping, literal;
    for (int r = 0; r < 7; ++r) {
        skipping.push_back(timeSearch(form, from, to));
        if (r < 3)
            literal.push_back(timeSearch(countingForm, from, to));
    }
    std::printf("limit from=%.0f to=%.0f ms=%.1f literal_ms=%.1f\n", from, to, median(skipping), median(literal));
    std::fflush(stdout);
}

// Presses the two-pair search as a person does: the press and the release arrive through the event
// loop, which runs on until the search has ended and then once more, as it does after every click,
// for what the click left queued (the listing's scroll area hears of its bar's new range so).
// Clicking in a loop that never lets the event loop turn piles those queued calls up instead.
void pressSearch(ui::Form1 &form)
{
    QPushButton *const search = button(form, "Command5");
    const QPointF centre = QRectF(search->rect()).center();
    const QPointF global = search->mapToGlobal(centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(search,
                                    new QMouseEvent(type, centre, global, Qt::LeftButton,
                                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                    Qt::NoModifier));
    do
        QCoreApplication::processEvents();
    while (form.commands().searching());
    QCoreApplication::processEvents();
}

void soak(ui::Form1 &form, double candidates)
{
    QCoreApplication::processEvents();
    const double start = 1e9;
    const long before = statusKb("VmRSS:");
    double n = start;
    int searches = 0;
    while (n - start < candidates) {
        numberBox(form)->setText(QString::number(n, 'f', 0));
        pressSearch(form);
        if (form.state().n <= n)
            break;
        n = form.state().n;
        ++searches;
    }
    const long after = statusKb("VmRSS:");
    std::printf("soak candidates=%.0f rss_start_mb=%.1f rss_end_mb=%.1f (%d searches from %.0f)\n", n - start,
                before / 1024.0, after / 1024.0, searches, start);
    std::fflush(stdout);
}

// `searches` two-pair searches, each going on from where the last ended, from 10^9 round to 10^9
// again before the one that would run into the range's end.
void soakSearches(ui::Form1 &form, int searches)
{
    const double start = 1e9;
    // The last number with two pairs: a search from it would end only at the range's end.
    std::uint32_t last = 0;
    core::ForEachWithPairs(core::PairEnumerator(), 2, 2147483647, [&last](std::uint32_t n, int) { last = n; });
    numberBox(form)->setText(QString::number(start, 'f', 0));
    QCoreApplication::processEvents();
    const long before = statusKb("VmRSS:");
    double n = start;
    int done = 0;
    for (; done < searches; ++done) {
        pressSearch(form);
        if (form.state().n <= n) {
            std::printf("soak search from=%.0f ended at %.0f\n", n, form.state().n);
            break;
        }
        n = form.state().n;
        if (n >= last) {
            n = start;
            numberBox(form)->setText(QString::number(start, 'f', 0));
        }
    }
    const long after = statusKb("VmRSS:");
    std::printf("soak searches=%d rss_start_mb=%.1f rss_end_mb=%.1f\n", done, before / 1024.0, after / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::PrepareApplication();
    ui::Form1 form(rt::ScreenSize{15360, 11520});
    form.resize(1024, 768);
    form.show();
    QCoreApplication::processEvents();

    // One search in the window only, for callgrind: --search FROM TO.
    if (argc > 3 && std::strcmp(argv[1], "--search") == 0) {
        const double from = std::atof(argv[2]), to = std::atof(argv[3]);
        numberBox(form)->setText(QString::number(from, 'f', 0));
        // The program's own measure, from the click to the search's end, as the page logs it.
        qint64 searchClock = 0;
        QObject::connect(&form.commands(), &commands::Commands::searchEnded,
                         [&searchClock](int, bool, qint64 nanoseconds) { searchClock = nanoseconds; });
        // The frames a person sees: the chart's paints.
        struct Paints : QObject {
            unsigned long long count = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                count += event->type() == QEvent::Paint;
                return false;
            }
        } paints;
        form.findChild<rt::Canvas *>(QStringLiteral("picGraph"))->installEventFilter(&paints);
        const double ms = timeSearch(form, from, to);
        std::printf("one search from=%.0f to=%.0f reached=%.0f ms=%.1f frames=%llu\n", from, to, form.state().n, ms,
                    paints.count);
        std::printf("search clock from=%.0f to=%.0f ms=%.3f\n", from, to, double(searchClock) / 1e6);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--soak") == 0) {
        soak(form, argc > 2 ? std::atof(argv[2]) : 1e8);
        soakSearches(form, 10000);
        return 0;
    }

    for (const char *n : {"75", "5000", "1576575", "1673196525", "2147483647"})
        benchPass(form, n);
    numberBox(form)->setText(QStringLiteral("5000"));
    button(form, "Command1")->click();
    QCoreApplication::processEvents();
    std::printf("peak_rss_mb=%.1f (canvas at its widest, n=5000)\n", statusKb("VmHWM:") / 1024.0);

    benchSearch(form, 105, 945);
    benchSearch(form, 8505, 12285);
    benchSearch(form, 1000000000, 1000383615);
    benchSearch(form, 2147000000, 2147087250);
    // The longest two-pair search below 2^31.
    benchSearch(form, 2106451305, 2108332905);
    ui::Form1 countingForm(rt::ScreenSize{15360, 11520}, {commands::Stepping::PerCandidate});
    countingForm.resize(1024, 768);
    countingForm.show();
    QCoreApplication::processEvents();
    benchLimit(form, countingForm, 2106451305, 2108332905);
    benchLimit(form, countingForm, 1000000000, 1000383615);
    benchLimit(form, countingForm, 105, 945);
    benchLimit(form, countingForm, 8505, 12285);
    return 0;
}
