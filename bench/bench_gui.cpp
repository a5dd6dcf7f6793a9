// Times the window's work through the real widgets, offscreen: one analysis pass per n, and the
// candidates per second of a two-pair search, each candidate with its passes and one yield.
#include "application.h"
#include "form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakRssKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void benchPass(ui::Form1 &form, const char *n)
{
    form.Text1->setText(QString::fromLatin1(n));
    std::vector<double> times;
    for (int r = 0; r < 41; ++r) {
        QElapsedTimer t;
        t.start();
        form.Command1->click();
        // The repaint belongs to what a person waits for.
        QCoreApplication::processEvents();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("pass n=%s ms=%.3f\n", n, median(times));
    std::fflush(stdout);
}

void benchSearch(ui::Form1 &form, int from, int to)
{
    // The median of three runs: a single one is at the mercy of whatever else the machine does.
    std::vector<double> rates;
    for (int r = 0; r < 3; ++r) {
        form.Text1->setText(QString::number(from));
        QElapsedTimer t;
        t.start();
        form.Command5->click();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        const double reached = form.state().n;
        if (reached != to)
            std::printf("search from=%d ended at %.0f, expected %d\n", from, reached, to);
        rates.push_back((to - from) / seconds);
    }
    std::printf("search from=%d to=%d candidates_per_s=%.0f\n", from, to, median(rates));
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

    for (const char *n : {"75", "5000", "1576575", "1673196525", "2147483647"})
        benchPass(form, n);
    form.Text1->setText(QStringLiteral("5000"));
    form.Command1->click();
    QCoreApplication::processEvents();
    std::printf("peak_rss_mb=%.1f (canvas at its widest, n=5000)\n", peakRssKb() / 1024.0);

    benchSearch(form, 105, 945);
    benchSearch(form, 8505, 12285);
    return 0;
}
