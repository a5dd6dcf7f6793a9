#include "platform/framepacer.h"

#include "platform/desktop.h"
#include "platform/vectorstate.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace rt {

namespace {

// Events that only repaint, lay out or tidy up: they may meet widgets a frame behind, since they
// show nothing that the next frame does not replace. Every other event (input, focus, a close, a
// queued call such as an accessibility request) first brings the widgets up to date.
bool onlyTidiesUp(QEvent::Type type)
{
    switch (type) {
    case QEvent::Timer:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::LayoutRequest:
    case QEvent::Polish:
    case QEvent::PolishRequest:
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
    case QEvent::DeferredDelete:
        return true;
    default:
        return false;
    }
}

void dropAccessibilityUpdate(QAccessibleEvent *)
{
}

qint64 frameIntervalOfScreen()
{
    double hz = 60;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const double rate = screen->refreshRate();
        if (rate >= 24 && rate <= 500)
            hz = rate;
    }
    return static_cast<qint64>(1e9 / hz);
}

} // namespace

FramePacer::FramePacer(QObject *parent) : QObject(parent), frameInterval_(frameIntervalOfScreen())
{
    clock_.start();
}

FramePacer::~FramePacer()
{
    if (depth_ > 0)
        QCoreApplication::instance()->removeEventFilter(this);
    for (PacedView *view : views_) {
        view->pacer_ = nullptr;
        // What the widget shows stays as it is; from now on every write goes straight through.
        view->lagging_ = false;
    }
}

PacedView::~PacedView()
{
    if (pacer_)
        pacer_->detach(this);
}

void PacedView::setPacer(FramePacer *pacer)
{
    if (pacer == pacer_)
        return;
    if (pacer_) {
        pacer_->detach(this);
        if (lagging_) {
            lagging_ = false;
            showValues();
        }
    }
    pacer_ = pacer;
    if (pacer_)
        pacer_->views_.push_back(this);
}

void FramePacer::detach(PacedView *view)
{
    std::erase(views_, view);
    std::replace(deferred_.begin(), deferred_.end(), view, static_cast<PacedView *>(nullptr));
}

void FramePacer::begin()
{
    if (depth_++ > 0)
        return;
    QCoreApplication::instance()->installEventFilter(this);
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        idle_ = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &FramePacer::catchUp);
    lastFrame_ = lastPoll_ = clock_.nsecsElapsed();
}

void FramePacer::end()
{
    if (--depth_ > 0)
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    disconnect(idle_);
    catchUp();
}

bool PacedView::enrol()
{
    lagging_ = true;
    pacer_->deferred_.push_back(this);
    return true;
}

void FramePacer::catchUp()
{
    if (catchingUp_ || deferred_.empty())
        return;
    catchingUp_ = true;
    // While work runs, a frame only repaints: the controls' changes are not told to accessibility
    // clients. A screen reader cannot follow sixty changes of text a second, and its queue of them
    // would hold back what it says for minutes after the work has ended (the result of a search
    // included). It hears the state the work ends in, from the catch-up at its end; a read in
    // between gets what the window shows.
    const bool quiet = pacing();
    const QAccessible::UpdateHandler previous =
        quiet ? QAccessible::installUpdateHandler(dropAccessibilityUpdate) : nullptr;
    // By index: showing one view may write another, which enrols it again at the end.
    for (std::size_t i = 0; i < deferred_.size(); ++i)
        if (PacedView *view = std::exchange(deferred_[i], nullptr))
            view->catchUp();
    deferred_.clear();
    if (quiet)
        QAccessible::installUpdateHandler(previous);
    catchingUp_ = false;
    lastFrame_ = clock_.nsecsElapsed();
    ++frames_;
}

void FramePacer::doEvents()
{
    if (!pacing()) {
        QCoreApplication::processEvents();
        ClearUpperVectorState();
        return;
    }
    // Reading the clock costs more than the rest of a quick yield; every sixteenth one is often
    // enough for frames and polls, which come a thousand and more candidates apart.
    if ((++yields_ & 15) != 0) {
        QCoreApplication::sendPostedEvents();
        return;
    }
    const qint64 now = clock_.nsecsElapsed();
    if (!deferred_.empty() && now - lastFrame_ >= frameInterval_)
        catchUp();
    if (now - lastPoll_ >= PollInterval) {
        lastPoll_ = now;
        QCoreApplication::processEvents();
    } else {
        // What is queued for this thread, the repaint of a frame just caught up included.
        QCoreApplication::sendPostedEvents();
    }
    // A paint or an event may leave the vector registers as the search's sums do not want them;
    // the yields in between deliver only what is posted, which seldom paints.
    ClearUpperVectorState();
}

bool FramePacer::eventFilter(QObject *watched, QEvent *event)
{
    if (!deferred_.empty() && !onlyTidiesUp(event->type()) && !desktop::IsCallFromAnotherProcess(watched, event))
        catchUp();
    return QObject::eventFilter(watched, event);
}

} // namespace rt
