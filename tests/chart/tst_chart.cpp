// The run chart on a canvas image of its own, as a person reads it off the canvas: the grid and
// where it stops, each bar's cells, row and colour, and its white label.
#include "chart/chart.h"
#include "core/pass.h"
#include "rules/rnd.h"
#include "runtime/canvas_image.h"

#include <QTest>

#include <cmath>
#include <vector>

namespace {

using rt::CanvasImage;
using Kind = CanvasImage::Kind;

// RGB(r, g, b) as the old runtime packs it: red in the low byte.
constexpr std::int32_t rgb(int r, int g, int b)
{
    return r | g << 8 | b << 16;
}
constexpr std::int32_t White = rgb(255, 255, 255);
constexpr std::int32_t GridBlue = rgb(0, 0, 255);

struct Line {
    double x, y1, y2;
    std::int32_t colour;
    bool operator==(const Line &) const = default;
};

// Every vertical line the image holds, a run of them as its single lines; false when it holds
// anything else.
bool verticalLines(const CanvasImage &image, std::vector<Line> &lines)
{
    for (const CanvasImage::Record &r : image.records()) {
        if (r.kind == Kind::VerticalLines)
            for (double x = r.x1; x <= r.x2; x += 1)
                lines.push_back({x, r.y1, r.y2, r.colour});
        else if (r.kind == Kind::Line && r.x1 == r.x2)
            lines.push_back({r.x1, r.y1, r.y2, r.colour});
        else
            return false;
    }
    return true;
}

// A colour component as the chart makes it: the draw times 200 in single precision, rounded half to even
// (the default rounding mode).
int component(float draw)
{
    const float product = draw * 200.0f;
    return static_cast<int>(std::nearbyint(product));
}

// What a pass has drawn before a run's bar: a search's grid.
CanvasImage searchGrid(core::AnalysisState &state)
{
    CanvasImage image;
    chart::PrepareChart(image, state, 1000, 75, GridBlue);
    return image;
}

} // namespace

class tst_Chart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void grid_data();
    void grid();
    void bar_data();
    void bar();
    void colour_data();
    void colour();
    void analysisOf75();
};

void tst_Chart::grid_data()
{
    QTest::addColumn<double>("scaleRight");
    QTest::addColumn<double>("gridEnd");
    QTest::addColumn<int>("colour");
    QTest::newRow("analysis of 75: scale 85, grid to 75") << 85.0 << 75.0 << rgb(100, 100, 200);
    QTest::newRow("search at 1500: scale 1000, grid to 1500") << 1000.0 << 1500.0 << GridBlue;
    QTest::newRow("search at 1000: scale 1000, grid to 1000") << 1000.0 << 1000.0 << GridBlue;
    QTest::newRow("analysis of 7.5: scale 18, grid to 7.5") << 18.0 << 7.5 << rgb(100, 100, 200);
    QTest::newRow("analysis of 0: scale 10, grid to 0") << 10.0 << 0.0 << rgb(100, 100, 200);
    QTest::newRow("analysis of -3: scale 7, grid to -3") << 7.0 << -3.0 << rgb(100, 100, 200);
    QTest::newRow("analysis of 2000000000: scale 5010") << 5010.0 << 2e9 << rgb(100, 100, 200);
    QTest::newRow("search at 2147483647: scale 1000") << 1000.0 << 2147483647.0 << GridBlue;
}

void tst_Chart::grid()
{
    QFETCH(double, scaleRight);
    QFETCH(double, gridEnd);
    QFETCH(int, colour);
    core::AnalysisState state;
    state.divisor = 12345;
    // What the last pass left: a bar and its label in another scale, all cleared.
    CanvasImage image;
    image.Scale(0, 0, 30, 10);
    image.LineBox(3, 1, 9, 2, rgb(1, 2, 3));
    image.setCurrentX(3);
    image.setCurrentY(1);
    image.Print({4.0, "-", 9.0});
    chart::PrepareChart(image, state, scaleRight, gridEnd, colour);

    QCOMPARE(image.scale().x1, 0.0);
    QCOMPARE(image.scale().y1, 0.0);
    QCOMPARE(image.scale().x2, scaleRight);
    QCOMPARE(image.scale().y2, 10.0);
    // A line from top to bottom at every whole number from 0 to the grid's end; those beyond the
    // right edge fall outside the drawing area.
    std::vector<Line> expected;
    for (double i = 0; i <= gridEnd && i <= scaleRight; ++i)
        expected.push_back({i, 0, 10, colour});
    std::vector<Line> lines;
    QVERIFY(verticalLines(image, lines));
    QCOMPARE(lines.size(), expected.size());
    QVERIFY(lines == expected);
    // The grid loop's counter ends on the first value beyond the grid's end, 0 when the loop never
    // ran; its last Line leaves the position at the last line's bottom end.
    const double last = std::floor(gridEnd);
    QCOMPARE(state.divisor, gridEnd >= 0 ? last + 1 : 0.0);
    QCOMPARE(image.CurrentX(), gridEnd >= 0 ? double(float(last)) : 0.0);
    QCOMPARE(image.CurrentY(), gridEnd >= 0 ? 10.0 : 0.0);
}

void tst_Chart::bar_data()
{
    // The run just stored (runCount, start, end), whether it is labelled, and the row and label
    // the chart gives it.
    QTest::addColumn<int>("runCount");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("end");
    QTest::addColumn<bool>("withLabel");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::newRow("run 1: 75 to 75") << 1 << 75.0 << 75.0 << true << 1 << QStringLiteral(" 75 - 75 ");
    QTest::newRow("run 2: 24 to 26") << 2 << 24.0 << 26.0 << true << 2 << QStringLiteral(" 24 - 26 ");
    QTest::newRow("run 9: 3 to 12") << 9 << 3.0 << 12.0 << true << 9 << QStringLiteral(" 3 - 12 ");
    QTest::newRow("run 10: 10 to 15") << 10 << 10.0 << 15.0 << true << 0 << QStringLiteral(" 10 - 15 ");
    QTest::newRow("run 11: 37 to 38") << 11 << 37.0 << 38.0 << true << 1 << QStringLiteral(" 37 - 38 ");
    QTest::newRow("run 100: 1 to 999") << 100 << 1.0 << 999.0 << true << 0 << QStringLiteral(" 1 - 999 ");
    QTest::newRow("run 1: 7.5 to 7.5") << 1 << 7.5 << 7.5 << true << 1 << QStringLiteral(" 7.5 - 7.5 ");
    QTest::newRow("run 3: 24 to 26, no label") << 3 << 24.0 << 26.0 << false << 3 << QString();
    QTest::newRow("run 1: 2000 to 2001, beyond the edge") << 1 << 2000.0 << 2001.0 << true << 1 << QString();
}

void tst_Chart::bar()
{
    QFETCH(int, runCount);
    QFETCH(double, start);
    QFETCH(double, end);
    QFETCH(bool, withLabel);
    QFETCH(int, row);
    QFETCH(QString, label);
    core::AnalysisState state;
    CanvasImage image = searchGrid(state);
    const std::size_t gridRecords = image.records().size();
    image.setForeColor(rgb(9, 9, 9));
    state.runCount = std::int16_t(runCount);
    state.runStart[std::size_t(runCount)] = start;
    state.runEnd[std::size_t(runCount)] = end;
    rt::Rnd rnd, twin;
    const int red = component(twin.next()), green = component(twin.next()), blue = component(twin.next());
    chart::DrawRun(image, state, rnd, runCount, withLabel);

    // Three draws, labelled or not.
    QVERIFY(rnd == twin);
    const std::vector<CanvasImage::Record> &records = image.records();
    const bool visible = start - 1 <= 1000;
    QCOMPARE(records.size(), gridRecords + (visible ? 1 + withLabel : 0));
    if (visible) {
        // The bar covers the cells of start to end (the cell of k is k - 1 to k), one row high.
        const CanvasImage::Record &bar = records[gridRecords];
        QCOMPARE(bar.kind, Kind::Box);
        QCOMPARE(bar.x1, start - 1);
        QCOMPARE(bar.y1, double(row));
        QCOMPARE(bar.x2, end);
        QCOMPARE(bar.y2, double(row + 1));
        QCOMPARE(bar.colour, rgb(red, green, blue));
    }
    if (withLabel) {
        // White, from the bar's top-left corner, the position kept in single precision.
        QCOMPARE(image.ForeColor(), White);
        QCOMPARE(image.CurrentX(), double(float(start - 1)));
        QCOMPARE(image.CurrentY(), double(row));
        if (visible) {
            const CanvasImage::Record &text = records.back();
            QCOMPARE(text.kind, Kind::Text);
            QCOMPARE(text.x1, start - 1);
            QCOMPARE(text.y1, double(row));
            QCOMPARE(text.colour, White);
            QCOMPARE(QString::fromStdString(image.labelText(text)), label);
        }
    } else {
        // The bar's Line leaves the position at its second corner; the text colour stays.
        QCOMPARE(image.ForeColor(), rgb(9, 9, 9));
        QCOMPARE(image.CurrentX(), end);
        QCOMPARE(image.CurrentY(), double(row + 1));
    }
}

void tst_Chart::colour_data()
{
    // Draws made before the bar, and a product of a draw and 200 that is a tie in single
    // precision (0 for none): rounded half to even, and not as the exact product would round.
    QTest::addColumn<quint64>("drawsBefore");
    QTest::addColumn<float>("tie");
    QTest::newRow("the program's first bar") << quint64(0) << 0.0f;
    QTest::newRow("the second bar") << quint64(3) << 0.0f;
    QTest::newRow("after 1292682 draws: red 148.5, exactly 148.5000014") << quint64(1292682) << 148.5f;
    QTest::newRow("after 1207563 draws: red 190.5, exactly 190.4999971") << quint64(1207563) << 190.5f;
    QTest::newRow("after 601200 draws: red 25.5, exactly 25.4999995") << quint64(601200) << 25.5f;
    QTest::newRow("after 2021679 draws: green 192.5, exactly 192.5000072") << quint64(2021679) << 192.5f;
    QTest::newRow("after 580701 draws: blue 159.5, exactly 159.5000029") << quint64(580701) << 159.5f;
}

void tst_Chart::colour()
{
    QFETCH(quint64, drawsBefore);
    QFETCH(float, tie);
    core::AnalysisState state;
    CanvasImage image = searchGrid(state);
    state.runCount = 1;
    state.runStart[1] = 24;
    state.runEnd[1] = 26;
    rt::Rnd rnd, twin;
    rnd.skip(drawsBefore);
    twin.skip(drawsBefore);
    const float draws[] = {twin.next(), twin.next(), twin.next()};
    // The row's premise: one of the three products is the tie it names.
    if (tie != 0.0f)
        QVERIFY(draws[0] * 200.0f == tie || draws[1] * 200.0f == tie || draws[2] * 200.0f == tie);
    chart::DrawRun(image, state, rnd, 1, false);
    const int red = component(draws[0]), green = component(draws[1]), blue = component(draws[2]);
    for (const int c : {red, green, blue})
        QVERIFY(c >= 0 && c <= 200);
    QCOMPARE(image.records().back().kind, Kind::Box);
    QCOMPARE(image.records().back().colour, rgb(red, green, blue));
}

void tst_Chart::analysisOf75()
{
    // The analysis command's pass over 75: six bars in rows 1 to 6, in the order the runs are
    // found, each labelled at its top-left corner.
    core::AnalysisState state;
    state.n = 75;
    CanvasImage image;
    rt::Rnd rnd;
    core::RunPass(
        state, 75, [&] { chart::PrepareChart(image, state, 85, 75, rgb(100, 100, 200)); },
        [&](int k) { chart::DrawRun(image, state, rnd, k, true); });
    struct Run {
        double start, end;
        const char *label;
    };
    const Run runs[] = {{75, 75, " 75 - 75 "}, {24, 26, " 24 - 26 "}, {13, 17, " 13 - 17 "},
                        {3, 12, " 3 - 12 "},   {10, 15, " 10 - 15 "}, {37, 38, " 37 - 38 "}};
    const std::vector<CanvasImage::Record> &records = image.records();
    QCOMPARE(records.size(), 1u + 2 * 6);
    QCOMPARE(records.front().kind, Kind::VerticalLines);
    for (int k = 0; k < 6; ++k) {
        const CanvasImage::Record &bar = records[std::size_t(1 + 2 * k)];
        const CanvasImage::Record &text = records[std::size_t(2 + 2 * k)];
        QCOMPARE(bar.kind, Kind::Box);
        QCOMPARE(bar.x1, runs[k].start - 1);
        QCOMPARE(bar.x2, runs[k].end);
        QCOMPARE(bar.y1, double(k + 1));
        QCOMPARE(bar.y2, double(k + 2));
        QCOMPARE(text.kind, Kind::Text);
        QCOMPARE(text.x1, bar.x1);
        QCOMPARE(text.y1, bar.y1);
        QCOMPARE(image.labelText(text), std::string(runs[k].label));
    }
}

QTEST_MAIN(tst_Chart)
#include "tst_chart.moc"
