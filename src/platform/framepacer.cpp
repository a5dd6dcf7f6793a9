#include "platform/framepacer.h"

#include <QAccessible>

#include <algorithm>
#include <utility>

namespace rt {

namespace {
void dropAccessibilityUpdate(QAccessibleEvent *)
{
}
} // namespace

FramePacer::FramePacer(QObject *parent) : QObject(parent)
{
}

FramePacer::~FramePacer()
{
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
    const QAccessible::UpdateHandler previous = quiet_ ? QAccessible::installUpdateHandler(dropAccessibilityUpdate) : nullptr;
    // By index: showing one view may write another, which enrols it again at the end.
    for (std::size_t i = 0; i < deferred_.size(); ++i)
        if (PacedView *view = std::exchange(deferred_[i], nullptr))
            view->catchUp();
    deferred_.clear();
    if (quiet_)
        QAccessible::installUpdateHandler(previous);
    catchingUp_ = false;
    ++frames_;
}

} // namespace rt
