#include "ui/application.h"
#include "ui/stopsign.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kSilver = qRgb(192, 192, 192);

QImage stopSign()
{
    return ui::StopSignPixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xff000000u;
}

const QList<QPoint> kNeighbours4 = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
const QList<QPoint> kNeighbours8 = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

// The pixels reachable from start through pixels that pass the filter.
QSet<QPoint> floodFill(const QImage &image, QPoint start, const QList<QPoint> &steps,
                       const std::function<bool(QRgb)> &passes)
{
    QSet<QPoint> seen;
    if (!image.rect().contains(start) || !passes(at(image, start.x(), start.y())))
        return seen;
    QList<QPoint> todo{start};
    seen.insert(start);
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        for (const QPoint &step : steps) {
            const QPoint q = p + step;
            if (image.rect().contains(q) && !seen.contains(q) && passes(at(image, q.x(), q.y()))) {
                seen.insert(q);
                todo.append(q);
            }
        }
    }
    return seen;
}

QList<QSet<QPoint>> components(const QImage &image, QRect area, const QList<QPoint> &steps, QRgb colour)
{
    QList<QSet<QPoint>> found;
    QSet<QPoint> done;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QPoint p(x, y);
            if (done.contains(p) || at(image, x, y) != colour)
                continue;
            QSet<QPoint> part = floodFill(image, p, steps, [colour](QRgb c) { return c == colour; });
            done.unite(part);
            found.append(part);
        }
    }
    return found;
}

QRect bounds(const QSet<QPoint> &points)
{
    QRect r;
    for (const QPoint &p : points)
        r = r.united(QRect(p, QSize(1, 1)));
    return r;
}

// The letters: the black shapes that stand free on the red face, unlike the two outlines,
// which run round the whole sign. Sorted from left to right.
QList<QSet<QPoint>> letterShapes(const QImage &image)
{
    QList<QSet<QPoint>> shapes;
    for (const QSet<QPoint> &part : components(image, image.rect(), kNeighbours4, kBlack)) {
        if (bounds(part).width() < image.width() / 2)
            shapes.append(part);
    }
    std::sort(shapes.begin(), shapes.end(),
              [](const QSet<QPoint> &a, const QSet<QPoint> &b) { return bounds(a).left() < bounds(b).left(); });
    return shapes;
}

QRect letterBand(const QImage &image)
{
    QRect band;
    for (const QSet<QPoint> &shape : letterShapes(image))
        band = band.united(bounds(shape));
    return band;
}

} // namespace

class TestStopSign : public QObject {
    Q_OBJECT

private slots:
    void size();
    void onlyFourColours();
    void picture_data();
    void picture();
    void probes_data();
    void probes();
    void ringsSeparateTheColours();
    void whiteRimIsClosed();
    void middleIsRed();
    void octagonIsSymmetric();
    void letters_data();
    void letters();
    void appIcon_data();
    void appIcon();
};

void TestStopSign::size()
{
    const QPixmap pixmap = ui::StopSignPixmap();
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(24, 23));
}

void TestStopSign::onlyFourColours()
{
    const QImage image = stopSign();
    const QSet<QRgb> allowed = {kBlack, kWhite, kRed, kSilver};
    QSet<QRgb> used;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = at(image, x, y);
            if (!allowed.contains(c))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) has colour #%3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(c & 0xffffff, 6, 16, QLatin1Char('0'))));
            used.insert(c);
        }
    }
    QCOMPARE(used, allowed);
}

void TestStopSign::picture_data()
{
    // The sign as it is meant to look, one character a pixel: silver (.), black (K), white (W),
    // red (R). Outline, rim and outline run one pixel wide along the straight edges and two along
    // the slanted ones, which is as wide measured across the edge; the word is in a 3 x 5 font.
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("pixels");
    const QStringList picture = QStringLiteral(R"(
......KKKKKKKKKKK.......
.....KKWWWWWWWWWKK......
....KKWKKKKKKKKKWKK.....
...KKWKKRRRRRRRKKWKK....
..KKWKKRRRRRRRRRKKWKK...
.KKWKKRRRRRRRRRRRKKWKK..
KKWKKRRRRRRRRRRRRRKKWKK.
KWKKRRRRRRRRRRRRRRRKKWK.
KWKRRRRRRRRRRRRRRRRRKWK.
KWKRKKKRKKKRKKKRKKKRKWK.
KWKRKRRRRKRRKRKRKRKRKWK.
KWKRKKKRRKRRKRKRKKKRKWK.
KWKRRRKRRKRRKRKRKRRRKWK.
KWKRKKKRRKRRKKKRKRRRKWK.
KWKRRRRRRRRRRRRRRRRRKWK.
KWKKRRRRRRRRRRRRRRRKKWK.
KKWKKRRRRRRRRRRRRRKKWKK.
.KKWKKRRRRRRRRRRRKKWKK..
..KKWKKRRRRRRRRRKKWKK...
...KKWKKRRRRRRRKKWKK....
....KKWKKKKKKKKKWKK.....
.....KKWWWWWWWWWKK......
......KKKKKKKKKKK.......
)")
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int y = 0; y < picture.size(); ++y)
        QTest::addRow("y=%d", y) << y << picture[y];
}

void TestStopSign::picture()
{
    QFETCH(int, y);
    QFETCH(QString, pixels);
    const QImage image = stopSign();
    QCOMPARE(image.height(), 23);
    QString seen;
    for (int x = 0; x < image.width(); ++x) {
        switch (at(image, x, y)) {
        case kSilver:
            seen += QLatin1Char('.');
            break;
        case kBlack:
            seen += QLatin1Char('K');
            break;
        case kWhite:
            seen += QLatin1Char('W');
            break;
        case kRed:
            seen += QLatin1Char('R');
            break;
        default:
            seen += QLatin1Char('?');
        }
    }
    QCOMPARE(seen, pixels);
}

void TestStopSign::probes_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QRgb>("colour");

    QTest::newRow("0,0 corner") << QPoint(0, 0) << kSilver;
    QTest::newRow("23,0 corner") << QPoint(23, 0) << kSilver;
    QTest::newRow("0,22 corner") << QPoint(0, 22) << kSilver;
    QTest::newRow("23,22 corner") << QPoint(23, 22) << kSilver;
    QTest::newRow("11,0 top outline") << QPoint(11, 0) << kBlack;
    QTest::newRow("11,1 top rim") << QPoint(11, 1) << kWhite;
    QTest::newRow("11,2 top inner outline") << QPoint(11, 2) << kBlack;
    QTest::newRow("11,3 top face") << QPoint(11, 3) << kRed;
    QTest::newRow("0,11 left outline") << QPoint(0, 11) << kBlack;
    QTest::newRow("1,11 left rim") << QPoint(1, 11) << kWhite;
    QTest::newRow("11,21 bottom rim") << QPoint(11, 21) << kWhite;
    QTest::newRow("21,11 right rim") << QPoint(21, 11) << kWhite;
    QTest::newRow("11,11 between the letters") << QPoint(11, 11) << kRed;
}

void TestStopSign::probes()
{
    QFETCH(QPoint, pixel);
    QFETCH(QRgb, colour);
    const QImage image = stopSign();
    QCOMPARE(at(image, pixel.x(), pixel.y()) & 0xffffff, colour & 0xffffff);
}

// Silver only meets black, white only meets black, so the rim lies between two outlines.
void TestStopSign::ringsSeparateTheColours()
{
    const QImage image = stopSign();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = at(image, x, y);
            for (const QPoint &step : kNeighbours4) {
                const QPoint q = QPoint(x, y) + step;
                if (!image.rect().contains(q))
                    continue;
                const QRgb d = at(image, q.x(), q.y());
                const bool touches =
                    (c == kSilver && (d == kWhite || d == kRed)) || (c == kWhite && (d == kRed || d == kSilver));
                if (touches)
                    QFAIL(qPrintable(QStringLiteral("(%1, %2) touches (%3, %4) with no outline "
                                                    "between them")
                                         .arg(x)
                                         .arg(y)
                                         .arg(q.x())
                                         .arg(q.y())));
            }
        }
    }
}

void TestStopSign::whiteRimIsClosed()
{
    const QImage image = stopSign();
    const QList<QSet<QPoint>> rims = components(image, image.rect(), kNeighbours8, kWhite);
    QCOMPARE(rims.size(), 1);

    // From the centre, any path that avoids white stays inside the rim.
    const QSet<QPoint> inside = floodFill(image, QPoint(11, 11), kNeighbours4, [](QRgb c) { return c != kWhite; });
    QVERIFY(!inside.isEmpty());
    for (const QPoint &p : inside) {
        QVERIFY2(p.x() > 0 && p.y() > 0 && p.x() < image.width() - 1 && p.y() < image.height() - 1,
                 "the inside of the rim reaches the picture's edge");
        QVERIFY(at(image, p.x(), p.y()) != kSilver);
    }
}

void TestStopSign::middleIsRed()
{
    const QImage image = stopSign();
    const QRect middle(6, 4, 11, 15);
    int red = 0;
    for (int y = middle.top(); y <= middle.bottom(); ++y) {
        for (int x = middle.left(); x <= middle.right(); ++x) {
            const QRgb c = at(image, x, y);
            QVERIFY2(c == kRed || c == kBlack, "the sign's face holds only red and its letters");
            red += c == kRed;
        }
    }
    QVERIFY2(red * 2 > middle.width() * middle.height(), "the face is mostly red");
}

// A regular octagon looks the same mirrored left to right, top to bottom and across its
// diagonal; the letters are left out of the comparison.
void TestStopSign::octagonIsSymmetric()
{
    const QImage image = stopSign();
    const QRect letters = letterBand(image);
    QVERIFY(!letters.isEmpty());
    const int last = 22;
    for (int y = 0; y <= last; ++y) {
        for (int x = 0; x <= last; ++x) {
            const QList<QPoint> images = {{last - x, y}, {x, last - y}, {y, x}};
            if (letters.contains(x, y))
                continue;
            for (const QPoint &m : images) {
                if (letters.contains(m))
                    continue;
                if (at(image, x, y) != at(image, m.x(), m.y()))
                    QFAIL(qPrintable(
                        QStringLiteral("(%1, %2) differs from (%3, %4)").arg(x).arg(y).arg(m.x()).arg(m.y())));
            }
        }
    }
}

void TestStopSign::letters_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("holes");
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<bool>("turned");

    // Shape facts that tell the four letters apart without fixing their pixels.
    QTest::newRow("S") << 0 << 0 << false << true;
    QTest::newRow("T") << 1 << 0 << true << false;
    QTest::newRow("O") << 2 << 1 << true << true;
    QTest::newRow("P") << 3 << 1 << false << false;
}

void TestStopSign::letters()
{
    QFETCH(int, index);
    QFETCH(int, holes);
    QFETCH(bool, mirrored);
    QFETCH(bool, turned);

    const QImage image = stopSign();
    const QList<QSet<QPoint>> glyphs = letterShapes(image);
    QCOMPARE(glyphs.size(), 4);

    const QRect box = bounds(glyphs[index]);
    QCOMPARE(box.size(), QSize(3, 5));
    QCOMPARE(box.top(), bounds(glyphs[0]).top());
    QVERIFY2(box.top() >= 8 && box.bottom() <= 14, "the word stands in the middle rows");
    if (index > 0)
        QVERIFY2(bounds(glyphs[index - 1]).right() < box.left() - 1, "letters are apart");

    // Every pixel around the letter is red, so it reads clearly against the face.
    for (int y = box.top() - 1; y <= box.bottom() + 1; ++y) {
        for (int x = box.left() - 1; x <= box.right() + 1; ++x) {
            if (!box.contains(x, y))
                QCOMPARE(at(image, x, y), kRed);
        }
    }

    const QSet<QPoint> &glyph = glyphs[index];
    const auto lit = [&](int x, int y) { return glyph.contains(QPoint(box.left() + x, box.top() + y)); };
    bool isMirrored = true;
    bool isTurned = true;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 3; ++x) {
            isMirrored = isMirrored && lit(x, y) == lit(2 - x, y);
            isTurned = isTurned && lit(x, y) == lit(2 - x, 4 - y);
        }
    }
    QCOMPARE(isMirrored, mirrored);
    QCOMPARE(isTurned, turned);

    // A hole is red that the letter shuts off from the rest of the face.
    int holeCount = 0;
    for (const QSet<QPoint> &red : components(image, box, kNeighbours4, kRed))
        holeCount += box.contains(bounds(red));
    QCOMPARE(holeCount, holes);
}

void TestStopSign::appIcon_data()
{
    QTest::addColumn<int>("side");
    QTest::newRow("64") << 64;
    QTest::newRow("256") << 256;
}

void TestStopSign::appIcon()
{
    QFETCH(int, side);
    const QIcon icon = ui::AppIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(side, side)));

    const QPixmap pixmap = icon.pixmap(side, side);
    QCOMPARE(pixmap.size(), QSize(side, side));
    const QImage image = pixmap.toImage();
    // The middle is painted (the light cyan ground or a bar), the outermost corner is not.
    QCOMPARE(qAlpha(image.pixel(side / 2, side / 2)), 255);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

QTEST_MAIN(TestStopSign)
#include "tst_stopsign.moc"
