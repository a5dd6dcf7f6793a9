// The stop button's picture as a person sees it: every pixel of the sign, and the button that
// shows it, whole on an ordinary screen and twice as large on a doubled one; and the window's icon.
#include "support/form1_fixture.h"
#include "ui/application.h"
#include "ui/stopsign.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QTest>

#include <optional>

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

// Where the picture lies in a device-pixel image, drawn at this scale: each of its pixels a
// scale x scale block of exactly its colour. With `edgesBlended`, only the pixels inside an area
// of one colour must keep it, as when the picture is enlarged smoothly.
std::optional<QPoint> findPicture(const QImage &device, const QImage &picture, int scale, bool edgesBlended)
{
    QList<QPoint> kept;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            bool alike = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    alike = alike && picture.rect().contains(x + dx, y + dy)
                        && at(picture, x + dx, y + dy) == at(picture, x, y);
            if (alike || !edgesBlended)
                kept << QPoint(x, y);
        }
    }
    const int w = picture.width() * scale;
    const int h = picture.height() * scale;
    for (int top = 0; top + h <= device.height(); ++top) {
        for (int left = 0; left + w <= device.width(); ++left) {
            bool found = true;
            for (int k = 0; found && k < kept.size(); ++k)
                for (int b = 0; found && b < scale * scale; ++b)
                    found = at(device, left + kept[k].x() * scale + b % scale, top + kept[k].y() * scale + b / scale)
                        == at(picture, kept[k].x(), kept[k].y());
            if (found)
                return QPoint(left, top);
        }
    }
    return std::nullopt;
}

} // namespace

class tst_StopSign : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::PrepareApplication(); }
    void picture_data();
    void picture();
    void buttonShowsIt_data();
    void buttonShowsIt();
    void appIcon_data();
    void appIcon();
};

void tst_StopSign::picture_data()
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

void tst_StopSign::picture()
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

void tst_StopSign::buttonShowsIt_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("edgesBlended");
    // On a doubled screen Qt enlarges the picture smoothly, which blends the colours along its
    // edges; the areas between them keep their colour at twice the size.
    QTest::newRow("1") << 1 << false;
    QTest::newRow("2") << 2 << true;
}

void tst_StopSign::buttonShowsIt()
{
    QFETCH(int, scale);
    QFETCH(bool, edgesBlended);
    support::Form1Fixture form;
    QVERIFY(form.open());
    QPushButton *button = form.Command3();
    // The button drawn as a screen of this scale shows it: device pixels, logical coordinates.
    QImage device(button->size() * scale, QImage::Format_RGB32);
    device.setDevicePixelRatio(scale);
    device.fill(Qt::magenta);
    button->render(&device);
    device.setDevicePixelRatio(1);

    const std::optional<QPoint> where = findPicture(device, stopSign(), scale, edgesBlended);
    QVERIFY2(where, "the button does not show the picture at this scale");
    // In the middle of the button's face, to within a pixel each way.
    const QPoint middle = *where + QPoint(24 * scale, 23 * scale) / 2;
    const QPoint faceMiddle = QPoint(device.width(), device.height()) / 2;
    QVERIFY2((middle - faceMiddle).manhattanLength() <= 2 * scale,
             qPrintable(QStringLiteral("picture centred at (%1, %2) on a face centred at (%3, %4)")
                            .arg(middle.x())
                            .arg(middle.y())
                            .arg(faceMiddle.x())
                            .arg(faceMiddle.y())));
}

void tst_StopSign::appIcon_data()
{
    QTest::addColumn<int>("side");
    QTest::newRow("64") << 64;
    QTest::newRow("256") << 256;
}

void tst_StopSign::appIcon()
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

QTEST_MAIN(tst_StopSign)
#include "tst_stopsign.moc"
