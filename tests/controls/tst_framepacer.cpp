// The runtime layer's controls while work runs: every read gives the value last written, and the
// widget lags until the work ends.
#include "controls/canvas.h"
#include "controls/framepacer.h"
#include "controls/listingbox.h"
#include "controls/placement.h"
#include "controls/scrollbar.h"
#include "controls/textbox.h"

#include <QAccessible>
#include <QScreen>
#include <QTest>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

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
            box->setPacer(pacer);
            subject = {[box](int i) { box->setText(QString::number(i)); }, [box] { return box->Text(); },
                       [box] { return box->QLineEdit::text(); }};
            break;
        }
        case Control::ListingBox: {
            auto *box = new rt::ListingBox(this);
            box->setPacer(pacer);
            subject = {[box](int i) { box->setText(std::string_view(std::to_string(i))); },
                       [box] { return box->Text(); }, [box] { return box->QPlainTextEdit::toPlainText(); }};
            break;
        }
        case Control::ScrollBar: {
            auto *bar = new rt::ScrollBar(Qt::Horizontal, this);
            bar->setPacer(pacer);
            bar->setMax(1000);
            subject = {[bar](int i) { bar->setValue(std::int16_t(i)); },
                       [bar] { return QString::number(bar->Value()); },
                       [bar] { return QString::number(bar->QScrollBar::value()); }};
            break;
        }
        case Control::Placement: {
            auto *w = new QWidget(this);
            placement = std::make_unique<rt::Placement>(*w, units, 0, 0, 10, 10);
            placement->setPacer(pacer);
            subject = {[this](int i) { placement->setLeft(i); }, [this] { return QString::number(placement->Left()); },
                       [w] { return QString::number(w->x()); }};
            break;
        }
        case Control::Canvas: {
            auto *canvas = new rt::Canvas(this);
            canvas->setGeometry(0, 0, 100, 100);
            canvas->setPacer(pacer);
            canvas->draw().Scale(0, 0, 100, 100);
            // The canvas shows a box as wide as the last number written; what it shows is what
            // the screen shows once the event loop has turned.
            subject = {[canvas](int i) {
                           rt::CanvasImage &chart = canvas->draw();
                           chart.Cls();
                           chart.LineBox(0, 0, i, 100, 0xFF);
                       },
                       [canvas] {
                           const auto &records = canvas->image().records();
                           return records.empty() ? QStringLiteral("0") : QString::number(records.back().x2);
                       },
                       [canvas] {
                           QCoreApplication::processEvents();
                           QWidget *window = canvas->window();
                           const QImage image = window->screen()->grabWindow(window->winId()).toImage();
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

void listeningClient(QAccessibleEvent *)
{
}

// A view whose widget fails once as it catches up, as a view may when memory runs out.
class Failing : public rt::PacedView {
public:
    void write()
    {
        if (!deferToNextFrame())
            showValues();
    }
    bool failOnce = true;
    int shown = 0;

protected:
    void showValues() override
    {
        if (std::exchange(failOnce, false))
            throw std::runtime_error("no memory for the widget");
        ++shown;
    }
};

} // namespace

class tst_FramePacer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesNowWidgetsLater_data() { addControls(); }
    void valuesNowWidgetsLater();
    void viewMayGoFirst_data() { addControls(); }
    void viewMayGoFirst();
    void pacerMayGoFirst_data() { addControls(); }
    void pacerMayGoFirst();
    void accessibilityHearsOnlyTheEnd();
    void viewThatThrowsLeavesThePacerWorking();
};

void tst_FramePacer::viewMayGoFirst()
{
    QFETCH(Control, control);
    rt::FramePacer pacer;
    Window other(Control::TextBox, pacer);
    auto window = std::make_unique<Window>(control, pacer);
    {
        const rt::FramePacer::Work work(pacer);
        window->subject.write(5);
        other.subject.write(6);
        // A lagging control destroyed during the work: its end must meet only the views that are
        // still there.
        window.reset();
    }
    QCOMPARE(other.subject.shown(), QStringLiteral("6"));
    {
        const rt::FramePacer::Work work(pacer);
        other.subject.write(7);
    }
    QCOMPARE(other.subject.shown(), QStringLiteral("7"));
}

void tst_FramePacer::pacerMayGoFirst()
{
    QFETCH(Control, control);
    auto pacer = std::make_unique<rt::FramePacer>();
    Window window(control, *pacer);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
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
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const Subject &s = window.subject;
    s.write(7);
    QCOMPARE(s.shown(), QStringLiteral("7")); // no work runs: straight through
    {
        const rt::FramePacer::Work work(pacer);
        s.write(42);
        QCOMPARE(s.value(), QStringLiteral("42"));
        QCOMPARE(s.shown(), QStringLiteral("7"));
        s.write(43);
        QCOMPARE(s.shown(), QStringLiteral("7"));
    }
    QCOMPARE(s.shown(), QStringLiteral("43"));
    QCOMPARE(s.value(), QStringLiteral("43"));
}

void tst_FramePacer::accessibilityHearsOnlyTheEnd()
{
    // The slices of a search would otherwise tell a screen reader of every control's change. A
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
    // Three slices of work that goes on, each shown at its end, quietly; then the last, told.
    for (int i = 1; i <= 4; ++i) {
        const bool last = i == 4;
        {
            const rt::FramePacer::Work work(pacer);
            window.subject.write(i);
            QCOMPARE(window.subject.shown(), QString::number(i - 1));
            pacer.setQuiet(!last);
        }
        pacer.setQuiet(false);
        QCOMPARE(window.subject.shown(), QString::number(i));
    }
    QCOMPARE(told, (QList<bool>{false, false, false, true}));
    QVERIFY(QAccessible::installUpdateHandler(previous) == &listeningClient);
}

void tst_FramePacer::viewThatThrowsLeavesThePacerWorking()
{
    rt::FramePacer pacer;
    Window window(Control::TextBox, pacer);
    Failing failing;
    failing.setPacer(pacer);
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(listeningClient);
    // A quiet slice's end, at which the failing view throws before the text box is shown.
    bool thrown = false;
    try {
        const rt::FramePacer::Work work(pacer);
        failing.write();
        window.subject.write(5);
        pacer.setQuiet(true);
    } catch (const std::runtime_error &) {
        thrown = true;
    }
    pacer.setQuiet(false);
    QVERIFY(thrown);
    // Accessibility hears again, and the next catch-up shows both.
    const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(previous);
    QVERIFY(current == &listeningClient);
    QCOMPARE(window.subject.shown(), QStringLiteral("0"));
    {
        const rt::FramePacer::Work work(pacer);
        window.subject.write(6);
    }
    QCOMPARE(window.subject.shown(), QStringLiteral("6"));
    QCOMPARE(failing.shown, 1);
    // An exception already leaving the work goes on alone.
    failing.failOnce = true;
    thrown = false;
    try {
        const rt::FramePacer::Work work(pacer);
        failing.write();
        throw std::logic_error("the work's own");
    } catch (const std::logic_error &) {
        thrown = true;
    }
    QVERIFY(thrown);
}

QTEST_MAIN(tst_FramePacer)
#include "tst_framepacer.moc"
