// The runtime layer's controls while work runs: every read gives the value last written, the
// widget lags until a frame, an event that meets the user, an idle event loop or the end of the
// work brings it up to date.
#include "platform/canvas.h"
#include "platform/framepacer.h"
#include "platform/listingbox.h"
#include "platform/placement.h"
#include "platform/scrollbar.h"
#include "platform/textbox.h"

#include <QAccessible>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

enum class Control { TextBox, ListingBox, ScrollBar, Placement, Canvas };

// One control on a window: a write, what the program reads back, and what its widget shows.
struct Subject {
    std::function<void(int)> write;
    std::function<QString()> value;
    std::function<QString()> shown;
};

class Window : public QWidget {
public:
    explicit Window(Control control, rt::FramePacer &pacer)
    {
        resize(300, 200);
        switch (control) {
        case Control::TextBox: {
            auto *box = new rt::TextBox(QStringLiteral("0"), this);
            box->setPacer(&pacer);
            subject = {[box](int i) { box->setText(QString::number(i)); }, [box] { return box->Text(); },
                       [box] { return box->QLineEdit::text(); }};
            break;
        }
        case Control::ListingBox: {
            auto *box = new rt::ListingBox(this);
            box->setPacer(&pacer);
            subject = {[box](int i) { box->setText(std::string_view(std::to_string(i))); },
                       [box] { return box->Text(); }, [box] { return box->QPlainTextEdit::toPlainText(); }};
            break;
        }
        case Control::ScrollBar: {
            auto *bar = new rt::ScrollBar(Qt::Horizontal, this);
            bar->setPacer(&pacer);
            bar->setMax(1000);
            subject = {[bar](int i) { bar->setValue(std::int16_t(i)); },
                       [bar] { return QString::number(bar->Value()); },
                       [bar] { return QString::number(bar->QScrollBar::value()); }};
            break;
        }
        case Control::Placement: {
            auto *w = new QWidget(this);
            placement = std::make_unique<rt::Placement>(*w, units, 0, 0, 10, 10);
            placement->setPacer(&pacer);
            subject = {[this](int i) { placement->setLeft(i); }, [this] { return QString::number(placement->Left()); },
                       [w] { return QString::number(w->x()); }};
            break;
        }
        case Control::Canvas: {
            auto *canvas = new rt::Canvas(this);
            canvas->setGeometry(0, 0, 100, 100);
            canvas->setPacer(&pacer);
            canvas->Scale(0, 0, 100, 100);
            // The canvas shows a box as wide as the last number written.
            subject = {[canvas](int i) {
                           canvas->Cls();
                           canvas->LineBox(0, 0, i, 100, 0xFF);
                       },
                       [canvas] {
                           const auto &ops = canvas->operations();
                           return ops.empty() ? QStringLiteral("0") : QString::number(ops.back().x2);
                       },
                       [canvas] {
                           const QImage image = canvas->grab().toImage();
                           int red = 0;
                           while (red < image.width() && image.pixelColor(red, 50) == Qt::red)
                               ++red;
                           return QString::number(red);
                       }};
            break;
        }
        }
        subject.write(0);
    }
    Subject subject;
    rt::Units units{15, 15, 0, 0}; // a unit a pixel at 96 dpi
    std::unique_ptr<rt::Placement> placement;
};

void addControls()
{
    QTest::addColumn<Control>("control");
    QTest::newRow("text box") << Control::TextBox;
    QTest::newRow("listing box") << Control::ListingBox;
    QTest::newRow("scroll bar") << Control::ScrollBar;
    QTest::newRow("placement") << Control::Placement;
    QTest::newRow("canvas") << Control::Canvas;
}

// Where a screen reader's calls arrive: Qt's accessibility bridge is such an object.
class BusObject : public QDBusVirtualObject {
public:
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &, const QDBusConnection &) override { return false; }
};

void listeningClient(QAccessibleEvent *)
{
}

} // namespace

class tst_FramePacer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesNowWidgetsLater_data() { addControls(); }
    void valuesNowWidgetsLater();
    void whichEventsCatchUp_data();
    void whichEventsCatchUp();
    void framesComeAtMostOncePerFrame();
    void idleLoopCatchesUp();
    void viewMayGoFirst_data() { addControls(); }
    void viewMayGoFirst();
    void pacerMayGoFirst_data() { addControls(); }
    void pacerMayGoFirst();
    void accessibilityHearsOnlyTheEnd();
};

void tst_FramePacer::viewMayGoFirst()
{
    QFETCH(Control, control);
    rt::FramePacer pacer;
    Window other(Control::TextBox, pacer);
    auto window = std::make_unique<Window>(control, pacer);
    const rt::FramePacer::Work work(pacer);
    window->subject.write(5);
    other.subject.write(6);
    // A lagging control destroyed during the work: the next event that catches up must meet only
    // the views that are still there.
    window.reset();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&other, &key);
    QCOMPARE(other.subject.shown(), QStringLiteral("6"));
    other.subject.write(7);
    pacer.catchUp();
    QCOMPARE(other.subject.shown(), QStringLiteral("7"));
}

void tst_FramePacer::pacerMayGoFirst()
{
    QFETCH(Control, control);
    auto pacer = std::make_unique<rt::FramePacer>();
    Window window(control, *pacer);
    window.show();
    {
        const rt::FramePacer::Work work(*pacer);
        window.subject.write(5);
    }
    QCOMPARE(window.subject.shown(), QStringLiteral("5"));
    pacer.reset();
    // Without a pacer every write goes straight to the widget.
    window.subject.write(9);
    QCOMPARE(window.subject.value(), QStringLiteral("9"));
    QCOMPARE(window.subject.shown(), QStringLiteral("9"));
}

void tst_FramePacer::valuesNowWidgetsLater()
{
    QFETCH(Control, control);
    rt::FramePacer pacer;
    Window window(control, pacer);
    window.show();
    const Subject &s = window.subject;
    s.write(7);
    QCOMPARE(s.shown(), QStringLiteral("7")); // no work runs: straight through
    {
        const rt::FramePacer::Work work(pacer);
        {
            const rt::FramePacer::Work inner(pacer);
            s.write(42);
            QCOMPARE(s.value(), QStringLiteral("42"));
            QCOMPARE(s.shown(), QStringLiteral("7"));
        }
        // Only the outermost work's end shows what it left.
        QCOMPARE(s.shown(), QStringLiteral("7"));
        s.write(43);
    }
    QCOMPARE(s.shown(), QStringLiteral("43"));
    QCOMPARE(s.value(), QStringLiteral("43"));
}

void tst_FramePacer::whichEventsCatchUp_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("catchesUp");
    QTest::addColumn<bool>("fromTheBus");
    QTest::newRow("key press") << int(QEvent::KeyPress) << true << false;
    QTest::newRow("mouse press") << int(QEvent::MouseButtonPress) << true << false;
    QTest::newRow("focus in") << int(QEvent::FocusIn) << true << false;
    QTest::newRow("close") << int(QEvent::Close) << true << false;
    QTest::newRow("queued call") << int(QEvent::MetaCall) << true << false;
    // A screen reader's read is answered from what the window shows.
    QTest::newRow("call from another process") << int(QEvent::MetaCall) << false << true;
    QTest::newRow("timer") << int(QEvent::Timer) << false << false;
    QTest::newRow("paint") << int(QEvent::Paint) << false << false;
    QTest::newRow("update request") << int(QEvent::UpdateRequest) << false << false;
    QTest::newRow("layout request") << int(QEvent::LayoutRequest) << false << false;
}

void tst_FramePacer::whichEventsCatchUp()
{
    QFETCH(int, type);
    QFETCH(bool, catchesUp);
    QFETCH(bool, fromTheBus);
    rt::FramePacer pacer;
    Window window(Control::TextBox, pacer);
    QWidget widget;
    BusObject busObject;
    QObject &target = fromTheBus ? static_cast<QObject &>(busObject) : widget;
    const rt::FramePacer::Work work(pacer);
    window.subject.write(5);
    QCOMPARE(window.subject.shown(), QStringLiteral("0"));
    const auto t = QEvent::Type(type);
    if (t == QEvent::MetaCall) {
        QMetaObject::invokeMethod(
            &target, [] {}, Qt::QueuedConnection);
        QCoreApplication::sendPostedEvents();
    } else if (t == QEvent::KeyPress) {
        QKeyEvent e(t, Qt::Key_Shift, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &e);
    } else if (t == QEvent::MouseButtonPress) {
        QMouseEvent e(t, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &e);
    } else if (t == QEvent::FocusIn) {
        QFocusEvent e(t);
        QCoreApplication::sendEvent(&target, &e);
    } else if (t == QEvent::Timer) {
        QTimerEvent e(1);
        QCoreApplication::sendEvent(&target, &e);
    } else if (t == QEvent::Paint) {
        QPaintEvent e(QRect(0, 0, 1, 1));
        QCoreApplication::sendEvent(&target, &e);
    } else {
        QEvent e(t);
        QCoreApplication::sendEvent(&target, &e);
    }
    QCOMPARE(window.subject.shown(), catchesUp ? QStringLiteral("5") : QStringLiteral("0"));
}

void tst_FramePacer::framesComeAtMostOncePerFrame()
{
    rt::FramePacer pacer;
    Window window(Control::TextBox, pacer);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents(); // nothing left over that would catch up of itself
    const quint64 before = pacer.framesShown();
    QElapsedTimer clock;
    clock.start();
    int written = 0;
    QStringList seen;
    {
        const rt::FramePacer::Work work(pacer);
        while (clock.elapsed() < 100) {
            window.subject.write(++written);
            pacer.doEvents();
            // Between yields a frame shows a whole write or none.
            const QString shown = window.subject.shown();
            if (seen.isEmpty() || seen.back() != shown)
                seen << shown;
        }
    }
    const quint64 frames = pacer.framesShown() - before;
    QVERIFY2(written > 1000, qPrintable(QString::number(written)));
    // Frames came during 100 ms of work (even a 24 Hz screen shows two), but no more than the
    // screen can show, and the last one as the work ended.
    QVERIFY2(seen.size() >= 3, qPrintable(seen.join(u',')));
    const quint64 most = quint64(clock.nsecsElapsed() / pacer.frameInterval()) + 2;
    QVERIFY2(frames <= most, qPrintable(QStringLiteral("%1 frames, at most %2").arg(frames).arg(most)));
    QCOMPARE(window.subject.shown(), QString::number(written));
}

void tst_FramePacer::idleLoopCatchesUp()
{
    rt::FramePacer pacer;
    Window window(Control::ListingBox, pacer);
    const rt::FramePacer::Work work(pacer);
    window.subject.write(9);
    QCOMPARE(window.subject.shown(), QStringLiteral("0"));
    // A message box during the work waits in an event loop of its own: the window is up to date.
    QEventLoop loop;
    QString shownWhileWaiting;
    QTimer::singleShot(20, &loop, [&] {
        shownWhileWaiting = window.subject.shown();
        loop.quit();
    });
    loop.exec();
    QCOMPARE(shownWhileWaiting, QStringLiteral("9"));
}

void tst_FramePacer::accessibilityHearsOnlyTheEnd()
{
    // Every frame of a search would otherwise tell a screen reader of every control's change. A
    // widget tells accessibility of a change through the update handler in place as it shows it
    // (offscreen there is no accessibility bridge to watch, so the test watches the handler).
    rt::FramePacer pacer;
    Window window(Control::ListingBox, pacer);
    auto *box = window.findChild<rt::ListingBox *>();
    QVERIFY(box);
    QList<bool> told;
    connect(box, &QPlainTextEdit::textChanged, box, [&told] {
        const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler(current);
        told << (current == &listeningClient);
    });
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(listeningClient);
    {
        const rt::FramePacer::Work work(pacer);
        for (int i = 1; i <= 3; ++i) {
            window.subject.write(i);
            pacer.catchUp();
            QCOMPARE(window.subject.shown(), QString::number(i));
        }
        window.subject.write(4);
    }
    QCOMPARE(window.subject.shown(), QStringLiteral("4"));
    // Three frames during the work, untold; the end, told.
    QCOMPARE(told, (QList<bool>{false, false, false, true}));
    QVERIFY(QAccessible::installUpdateHandler(previous) == &listeningClient);
}

QTEST_MAIN(tst_FramePacer)
#include "tst_framepacer.moc"
