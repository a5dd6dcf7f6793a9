// The window while a search runs: between two slices the window shows one number whole, input
// that comes during a slice meets the values of its end, a search longer than a frame shows a
// new number in every frame, and the end is on show.
#include "core/pass.h"
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "support/search_oracle.h"
#include "ui/application.h"

#include <QClipboard>
#include <QtTest>

namespace {

// How the listing of the number in the box begins.
QString firstLine(const QString &box)
{
    return QStringLiteral("\n%1 =").arg(QString::fromStdString(rt::Str(rt::Val(box.toStdString()))));
}

QString plain(QString crlf)
{
    return crlf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Records, when the first event of a kind reaches a widget, whether the window then showed the
// values of now.
class Witness : public QObject {
public:
    Witness(const support::Form1Fixture &form, QWidget *target, QEvent::Type type) : form_(form), type_(type)
    {
        target->installEventFilter(this);
    }
    bool seen = false;
    bool current = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!seen && event->type() == type_) {
            seen = true;
            current = shownIsCurrent(form_);
        }
        return false;
    }

public:
    static bool shownIsCurrent(const support::Form1Fixture &f)
    {
        const rt::ScrollBar *bar = f.VScroll1();
        return f.Text1()->QLineEdit::text() == f.Text1()->Text()
            && f.txtSequenz()->QPlainTextEdit::toPlainText() == plain(f.txtSequenz()->Text())
            && bar->QScrollBar::value() == std::abs(bar->Value() - bar->Min());
    }

private:
    const support::Form1Fixture &form_;
    QEvent::Type type_;
};

enum class Input { KeyInNumberBox, ClickInListing, FocusToPanBar, CopyNumberBox, CopyListing };

} // namespace

class tst_Pacing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup() { form.reset(); }
    void inputDuringASlice_data();
    void inputDuringASlice();
    void everyFrameShowsOneCandidate();
    void endIsOnShow_data();
    void endIsOnShow();
    void arrowDuringSearchMovesN();

private:
    // Runs f from a timer between two slices of the search, once it has shown a number.
    void betweenSlices(std::function<void()> f);
    // A new window whose searches run in slices of this many numbers (0: by the clock).
    bool openWindow(std::uint32_t sliceCandidates);
    support::Form1Fixture form;
    QTimer probe;
    double start = 0;
};

void tst_Pacing::init()
{
    QVERIFY(openWindow(0));
}

bool tst_Pacing::openWindow(std::uint32_t sliceCandidates)
{
    if (!form.open({commands::Stepping::Skipping, sliceCandidates}, support::Form1Fixture::Screen, QSize(1024, 768)))
        return false;
    form->errorReporter().setHandler([](const rt::RuntimeError &e, const QString &) { QFAIL(e.what()); });
    return true;
}

void tst_Pacing::betweenSlices(std::function<void()> f)
{
    probe.disconnect();
    probe.setInterval(1);
    connect(&probe, &QTimer::timeout, this, [this, f] {
        if (!form->commands().searching() || form->state().n == start)
            return;
        probe.stop();
        f();
    });
    probe.start();
}

void tst_Pacing::inputDuringASlice_data()
{
    QTest::addColumn<Input>("input");
    QTest::newRow("key in the number box") << Input::KeyInNumberBox;
    QTest::newRow("click in the listing") << Input::ClickInListing;
    QTest::newRow("tab to the pan bar") << Input::FocusToPanBar;
    QTest::newRow("copy of the number box") << Input::CopyNumberBox;
    QTest::newRow("copy of the listing") << Input::CopyListing;
}

void tst_Pacing::inputDuringASlice()
{
    // Input that the window system queues while a slice runs, its widgets behind their controls,
    // waits for the slice's end: it meets the window showing the values of now, and a copy takes
    // what is on show.
    QFETCH(Input, input);
    // Slices of a few numbers, so that the input falls inside the search.
    QVERIFY(openWindow(3));
    QWidget *target = input == Input::FocusToPanBar                       ? form.picContainer()
        : input == Input::KeyInNumberBox || input == Input::CopyNumberBox ? static_cast<QWidget *>(form.Text1())
        : input == Input::ClickInListing                                  ? form.txtSequenz()->viewport()
                                                                          : static_cast<QWidget *>(form.txtSequenz());
    QWidget *met = input == Input::FocusToPanBar ? static_cast<QWidget *>(form.HScroll1()) : target;
    const QEvent::Type type = input == Input::FocusToPanBar ? QEvent::FocusIn
        : input == Input::ClickInListing                    ? QEvent::MouseButtonPress
                                                            : QEvent::KeyPress;
    Witness witness(form, met, type);
    if (input == Input::FocusToPanBar)
        target->setFocus(Qt::OtherFocusReason);
    const auto key = [target](Qt::Key k, Qt::KeyboardModifiers modifiers) {
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, k, modifiers));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, k, modifiers));
    };
    QString copied, valueAtCopy;
    bool posted = false;
    QObject context;
    connect(form.Text1(), &QLineEdit::textChanged, &context, [&] {
        // A number the search writes inside a slice, which the box does not show yet.
        if (posted || form->state().n == start || form.Text1()->QLineEdit::text() == form.Text1()->Text())
            return;
        posted = true;
        switch (input) {
        case Input::KeyInNumberBox:
            key(Qt::Key_End, Qt::NoModifier);
            break;
        case Input::ClickInListing:
            for (const QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(target,
                                            new QMouseEvent(t, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)),
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            break;
        case Input::FocusToPanBar:
            key(Qt::Key_Tab, Qt::NoModifier);
            break;
        case Input::CopyNumberBox:
        case Input::CopyListing:
            key(Qt::Key_A, Qt::ControlModifier);
            key(Qt::Key_C, Qt::ControlModifier);
            break;
        }
        // Served right after the input, before the next slice.
        QMetaObject::invokeMethod(
            &context,
            [&] {
                copied = QGuiApplication::clipboard()->text();
                valueAtCopy = input == Input::CopyNumberBox ? form.Text1()->Text() : plain(form.txtSequenz()->Text());
                form.Command3()->click();
            },
            Qt::QueuedConnection);
    });
    start = 1000000000;
    form.Text1()->setText(QStringLiteral("1000000000"));
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    QVERIFY(posted);
    QVERIFY(witness.seen);
    QVERIFY(witness.current);
    if (input == Input::CopyNumberBox || input == Input::CopyListing) {
        QVERIFY(!copied.isEmpty());
        QCOMPARE(copied, valueAtCopy);
    }
    if (input == Input::FocusToPanBar)
        QCOMPARE(QApplication::focusWidget(), form.HScroll1());
}

void tst_Pacing::everyFrameShowsOneCandidate()
{
    // A search from a number that is not whole analyses every number in full and never ends by
    // itself. Whenever the canvas paints during it, the number box, the listing and the scroll
    // bars on show are those of one number, the newest; and it paints as the frames go by.
    int frames = 0;
    QStringList broken;
    struct Filter : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                onPaint();
            return false;
        }
    } filter;
    filter.onPaint = [&] {
        if (!form->commands().searching())
            return;
        ++frames;
        const QString box = form.Text1()->QLineEdit::text();
        if (!Witness::shownIsCurrent(form)
            || !form.txtSequenz()->QPlainTextEdit::toPlainText().startsWith(firstLine(box)))
            broken << box;
    };
    form.picGraph()->installEventFilter(&filter);
    QTimer::singleShot(300, form.Command3(), [this] { form.Command3()->click(); });
    form.Text1()->setText(QStringLiteral("1000000.5"));
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    QVERIFY(form->state().n > 1000001.5);
    // 300 ms hold eighteen frames at 60 Hz; a slow machine may paint fewer, never none.
    QVERIFY2(frames >= 3, qPrintable(QString::number(frames)));
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u',')));
}

void tst_Pacing::endIsOnShow_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("stop");
    QTest::newRow("75 to its end") << "75" << false;
    QTest::newRow("1000000000 to its end") << "1000000000" << false;
    QTest::newRow("1000000000 stopped") << "1000000000" << true;
}

void tst_Pacing::endIsOnShow()
{
    QFETCH(QString, start);
    QFETCH(bool, stop);
    if (stop)
        QVERIFY(openWindow(3));
    double atStop = -1;
    if (stop)
        betweenSlices([&] {
            QTest::mouseClick(form.Command3(), Qt::LeftButton);
            atStop = form->state().n;
        });
    this->start = rt::Val(start.toStdString());
    form.Text1()->setText(start);
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    const double n = form->state().n;
    // The stop is seen after one more candidate; otherwise the search ends at its pairs.
    QCOMPARE(n, stop ? atStop + 1 : nextWithPairs(rt::Val(start.toStdString()), 2));
    QVERIFY(Witness::shownIsCurrent(form));
    QVERIFY(form.txtSequenz()->QPlainTextEdit::toPlainText().startsWith(firstLine(form.Text1()->Text())));
    // The chart on show is what the canvas holds, drawn afresh on a canvas of its own.
    rt::Canvas fresh;
    fresh.resize(form.picGraph()->size());
    fresh.setBackColor(rt::RGB(128, 255, 255));
    const QRectF scale = form.picGraph()->scaleRect();
    rt::CanvasImage &redrawn = fresh.draw();
    redrawn.Scale(scale.left(), scale.top(), scale.right(), scale.bottom());
    const rt::CanvasImage &image = form.picGraph()->image();
    for (const rt::CanvasImage::Record &r : image.records()) {
        switch (r.kind) {
        case rt::CanvasImage::Kind::Line:
            redrawn.Line(r.x1, r.y1, r.x2, r.y2, r.colour);
            break;
        case rt::CanvasImage::Kind::VerticalLines:
            redrawn.VerticalLines(r.x1, r.x2, r.y1, r.y2, r.colour);
            break;
        case rt::CanvasImage::Kind::Box:
            redrawn.LineBox(r.x1, r.y1, r.x2, r.y2, r.colour);
            break;
        case rt::CanvasImage::Kind::Text:
            redrawn.setCurrentX(r.x1);
            redrawn.setCurrentY(r.y1);
            redrawn.setForeColor(r.colour);
            redrawn.Print(image.labelText(r));
            break;
        }
    }
    const QRect visible(-form.picGraph()->pos(), form.picGraph()->parentWidget()->size());
    QCOMPARE(form.picGraph()->grab(visible).toImage(), fresh.grab(visible).toImage());
}

void tst_Pacing::arrowDuringSearchMovesN()
{
    // Above 999 the number scroll bar stays at 75; its up arrow makes n 76 and the search goes on
    // from there.
    QVERIFY(openWindow(3));
    betweenSlices([&] {
        QTest::mouseClick(form.VScroll1(), Qt::LeftButton, {},
                          form.VScroll1()->subControlRect(QStyle::SC_ScrollBarSubLine).center());
    });
    start = 1000000000;
    form.Text1()->setText(QStringLiteral("1000000000"));
    form.Command5()->click();
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form.VScroll1()->Value(), std::int16_t(nextWithPairs(76, 2)));
    QCOMPARE(form->state().n, nextWithPairs(76, 2));
    QVERIFY(Witness::shownIsCurrent(form));
}

QTEST_MAIN(tst_Pacing)
#include "tst_pacing.moc"
