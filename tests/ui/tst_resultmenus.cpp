// The results taken out of the window: the chart's menu, copied and saved as PNG and SVG, and the
// listing saved as text, each reached as a user reaches it and read back from what was written.
#include "core/pair_sequence.h"
#include "support/form1_fixture.h"
#include "support/listing_oracle.h"
#include "ui/application.h"

#include <QtTest>

#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QXmlStreamReader>

#include <functional>

using Kind = rt::CanvasImage::Kind;

namespace {

// Calls `act` with the first top-level widget of type T once it shows, from the event loop that
// a menu or dialog runs.
template <class T>
void whenShown(std::function<void(T *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *t = qobject_cast<T *>(w); t && t->isVisible()) {
                poll->stop();
                poll->deleteLater();
                act(t);
                return;
            }
        }
    });
    poll->start();
}

QStringList texts(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions())
        if (!a->isSeparator())
            out << a->text();
    return out;
}

// Chooses the entry as a user does, with the arrow keys' target and Return.
void choose(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            menu->setActiveAction(a);
    QTest::keyClick(menu, Qt::Key_Return);
}

void saveAs(const QString &path)
{
    whenShown<QFileDialog>([path](QFileDialog *dialog) {
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
}

} // namespace

class tst_ResultMenus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup() { form.reset(); }
    void chartMenu_data();
    void chartMenu();
    void copy_data();
    void copy();
    void savedPngIsTheWholeCanvas();
    void savedSvgHoldsTheRecords_data();
    void savedSvgHoldsTheRecords();
    void listingSaved();
    void failedSaveIsReported();

private:
    QWidget *widget(const char *name) const { return form->findChild<QWidget *>(QLatin1String(name)); }
    rt::Canvas *canvas() const { return form->findChild<rt::Canvas *>(QStringLiteral("picGraph")); }
    // Opens the chart's menu on `on` as a right click or the menu key does, and chooses `entry`
    // in it (or only closes it); returns its entries and where it opened.
    QStringList openChartMenu(QWidget *on, QContextMenuEvent::Reason reason, const QString &entry,
                              QPoint *at = nullptr);
    void analyse(const QString &number);
    support::Form1Fixture form;
    QTemporaryDir dir;
};

void tst_ResultMenus::init()
{
    QVERIFY(form.open({}, support::Form1Fixture::Screen, QSize(1000, 700)));
    QGuiApplication::clipboard()->clear();
}

void tst_ResultMenus::analyse(const QString &number)
{
    auto *box = form->findChild<rt::TextBox *>(QStringLiteral("Text1"));
    box->setText(number);
    qobject_cast<QPushButton *>(widget("Command1"))->click();
}

QStringList tst_ResultMenus::openChartMenu(QWidget *on, QContextMenuEvent::Reason reason, const QString &entry,
                                           QPoint *at)
{
    QStringList seen;
    bool shown = false;
    whenShown<QMenu>([&](QMenu *menu) {
        shown = true;
        seen = texts(menu);
        if (at)
            *at = menu->geometry().topLeft();
        if (entry.isEmpty())
            menu->close();
        else
            choose(menu, entry);
    });
    const QPoint pos = on->visibleRegion().boundingRect().center();
    QContextMenuEvent event(reason, pos, on->mapToGlobal(pos));
    QApplication::sendEvent(on, &event);
    if (!QTest::qWaitFor([&] { return shown; }))
        qWarning("the chart's menu did not show");
    return seen;
}

void tst_ResultMenus::chartMenu_data()
{
    QTest::addColumn<QString>("on");
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("right click on the canvas") << QStringLiteral("picGraph") << false;
    QTest::newRow("right click on the frame") << QStringLiteral("picContainer") << false;
    QTest::newRow("menu key on the canvas") << QStringLiteral("picGraph") << true;
    QTest::newRow("menu key on the frame") << QStringLiteral("picContainer") << true;
}

void tst_ResultMenus::chartMenu()
{
    QFETCH(QString, on);
    QFETCH(bool, keyboard);
    QWidget *w = widget(on.toLatin1().constData());
    w->setFocus();
    QPoint at;
    const QStringList entries =
        openChartMenu(w, keyboard ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, QString(), &at);
    QCOMPARE(entries,
             (QStringList{QStringLiteral("Diagramm kopieren"), QStringLiteral("Diagramm speichern unter \u2026")}));
    // From the keyboard, the menu opens over the part of the chart in view, however wide the canvas.
    const QRect frame(widget("picContainer")->mapToGlobal(QPoint(0, 0)), widget("picContainer")->size());
    QVERIFY2(frame.contains(at), qPrintable(QStringLiteral("menu at %1,%2").arg(at.x()).arg(at.y())));
}

void tst_ResultMenus::copy_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("copied");
    QTest::newRow("menu") << QStringLiteral("menu") << true;
    QTest::newRow("Ctrl+C on the canvas") << QStringLiteral("picGraph") << true;
    QTest::newRow("Ctrl+C on the frame") << QStringLiteral("picContainer") << true;
    QTest::newRow("Ctrl+C in the listing") << QStringLiteral("txtSequenz") << false;
    QTest::newRow("Ctrl+C in the number box") << QStringLiteral("Text1") << false;
}

void tst_ResultMenus::copy()
{
    QFETCH(QString, how);
    QFETCH(bool, copied);
    if (how == QLatin1String("menu")) {
        openChartMenu(canvas(), QContextMenuEvent::Mouse, QStringLiteral("Diagramm kopieren"));
    } else {
        QWidget *w = widget(how.toLatin1().constData());
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
        QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
    }
    const QImage pasted = QGuiApplication::clipboard()->image();
    QCOMPARE(!pasted.isNull(), copied);
    if (copied) {
        const QImage chart = canvas()->picture(canvas()->devicePixelRatioF());
        QCOMPARE(pasted.size(), canvas()->size() * canvas()->devicePixelRatioF());
        QCOMPARE(pasted.convertToFormat(QImage::Format_RGB32), chart.convertToFormat(QImage::Format_RGB32));
    }
}

void tst_ResultMenus::savedPngIsTheWholeCanvas()
{
    // A chart far wider than its frame, panned so that its start is out of view.
    analyse(QStringLiteral("945"));
    form.HScroll1()->setValue(400);
    rt::Canvas *c = canvas();
    const QRect shown = c->visibleRegion().boundingRect();
    QVERIFY(shown.left() > 0 && shown.width() < c->width() / 2);

    const QString path = dir.filePath(QStringLiteral("945.png"));
    saveAs(path);
    openChartMenu(c, QContextMenuEvent::Mouse, QStringLiteral("Diagramm speichern unter \u2026"));
    QTRY_VERIFY(QFileInfo(path).size() > 0);
    const QImage png(path);
    QVERIFY2(!png.isNull(), qPrintable(path));
    const qreal scale = 2 * c->devicePixelRatioF();
    QCOMPARE(png.size(), c->size() * scale);

    // Where no label lies, the part in view is what the window shows, pixel for pixel.
    const QImage grabbed = c->grab(shown).toImage().convertToFormat(QImage::Format_RGB32);
    const QFontMetrics fm(c->font());
    const rt::CanvasImage &image = c->image();
    const double kx = c->width() / (image.recordScale().x2 - image.recordScale().x1);
    const double ky = c->height() / (image.recordScale().y2 - image.recordScale().y1);
    QRegion labels;
    for (const rt::CanvasImage::Record &r : image.records())
        if (r.kind == Kind::Text)
            labels += QRect(int(r.x1 * kx) - 2, int(r.y1 * ky) - 2,
                            fm.horizontalAdvance(QString::fromStdString(image.labelText(r))) + 4, fm.height() + 4);
    int compared = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QPoint p = shown.topLeft() + QPoint(x, y);
            if (labels.contains(p))
                continue;
            QCOMPARE(QColor(png.pixel(int(p.x() * scale), int(p.y() * scale))), QColor(grabbed.pixel(x, y)));
            ++compared;
        }
    QVERIFY(compared > shown.width() * shown.height() / 2);
    // Out of view as in it, each bar shows in its colour where nothing drawn later covers it.
    int bars = 0;
    const auto &records = image.records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const rt::CanvasImage::Record &r = records[i];
        if (r.kind != Kind::Box)
            continue;
        const QPoint mid(int((r.x1 + r.x2) / 2 * kx), int((r.y1 + r.y2) / 2 * ky));
        bool covered = labels.contains(mid);
        for (std::size_t j = i + 1; j < records.size(); ++j)
            covered = covered
                || (records[j].kind == Kind::Box
                    && QRectF(QPointF(records[j].x1 * kx, records[j].y1 * ky),
                              QPointF(records[j].x2 * kx, records[j].y2 * ky))
                           .normalized()
                           .adjusted(-1, -1, 1, 1)
                           .contains(mid));
        if (covered)
            continue;
        QCOMPARE(QColor(png.pixel(int(mid.x() * scale), int(mid.y() * scale))), rt::Canvas::toQColor(r.colour));
        bars += shown.contains(mid) ? 0 : 1;
    }
    QVERIFY2(bars >= 3, "too few bars out of view were checked");
}

void tst_ResultMenus::savedSvgHoldsTheRecords_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("chart.svg") << QStringLiteral("chart.svg");
    QTest::newRow("CHART.SVG") << QStringLiteral("CHART.SVG");
}

void tst_ResultMenus::savedSvgHoldsTheRecords()
{
    QFETCH(QString, name);
    analyse(QStringLiteral("105"));
    const QString path = dir.filePath(name);
    saveAs(path);
    openChartMenu(canvas(), QContextMenuEvent::Mouse, QStringLiteral("Diagramm speichern unter \u2026"));
    QTRY_VERIFY(QFileInfo(path).size() > 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int lines = 0, rects = 0;
    QStringList labels;
    QString family;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("line"))
            ++lines;
        else if (xml.name() == QLatin1String("rect"))
            ++rects;
        else if (xml.name() == QLatin1String("text"))
            labels << xml.readElementText();
        else if (xml.name() == QLatin1String("g"))
            family = xml.attributes().value(QLatin1String("font-family")).toString();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    int recordLines = 0, boxes = 0;
    QStringList recordLabels;
    const rt::CanvasImage &image = canvas()->image();
    for (const rt::CanvasImage::Record &r : image.records()) {
        recordLines += r.kind == Kind::Line ? 1 : r.kind == Kind::VerticalLines ? int(r.x2 - r.x1) + 1 : 0;
        boxes += r.kind == Kind::Box ? 1 : 0;
        if (r.kind == Kind::Text)
            recordLabels << QString::fromStdString(image.labelText(r));
    }
    QCOMPARE(lines, 106);
    QCOMPARE(lines, recordLines);
    QCOMPARE(rects, boxes + 1);
    QCOMPARE(boxes, 8);
    QCOMPARE(labels, recordLabels);
    QVERIFY(labels.contains(QStringLiteral(" 12 - 18 ")));
    QVERIFY2(family.startsWith(QLatin1Char('\'') + QFontInfo(canvas()->font()).family() + QLatin1Char('\'')),
             qPrintable(family));
}

void tst_ResultMenus::listingSaved()
{
    auto *listing = widget("txtSequenz");
    QStringList entries;
    const QString path = dir.filePath(QStringLiteral("75.txt"));
    saveAs(path);
    whenShown<QMenu>([&](QMenu *menu) {
        entries = texts(menu);
        QVERIFY(menu->findChild<QAction *>(QStringLiteral("edit-copy")));
        QVERIFY(menu->findChild<QAction *>(QStringLiteral("select-all")));
        choose(menu, QStringLiteral("Liste speichern unter \u2026"));
    });
    QWidget *viewport = qobject_cast<QPlainTextEdit *>(listing)->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), viewport->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(QFileInfo(path).size() > 0);
    QVERIFY(entries.size() > 2);
    QCOMPARE(entries.last(), QStringLiteral("Liste speichern unter \u2026"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toStdString(), core::WithPlatformLineEnds(listing_oracle::listingOf(75, 75).text));
}

void tst_ResultMenus::failedSaveIsReported()
{
    const QString path = dir.filePath(QStringLiteral("no such folder/75.txt"));
    QString reported;
    saveAs(path);
    whenShown<QMenu>([](QMenu *menu) { choose(menu, QStringLiteral("Liste speichern unter \u2026")); });
    whenShown<QMessageBox>([&](QMessageBox *box) {
        reported = box->text();
        box->accept();
    });
    QWidget *viewport = qobject_cast<QPlainTextEdit *>(widget("txtSequenz"))->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), viewport->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(!reported.isEmpty());
    QVERIFY2(reported.contains(QDir::toNativeSeparators(path)), qPrintable(reported));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(tst_ResultMenus)
#include "tst_resultmenus.moc"
