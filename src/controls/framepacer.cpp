#include "controls/framepacer.h"

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
    // However the views' catch-up ends, accessibility hears again afterwards, the views shown
    // leave the list and the next catch-up may run.
    struct Restore {
        FramePacer &pacer;
        bool quiet;
        QAccessible::UpdateHandler previous;
        std::size_t shown = 0;
        ~Restore()
        {
            pacer.deferred_.erase(pacer.deferred_.begin(),
                                  pacer.deferred_.begin() + std::ptrdiff_t(std::min(shown, pacer.deferred_.size())));
            if (quiet)
                QAccessible::installUpdateHandler(previous);
            pacer.catchingUp_ = false;
        }
    };
    catchingUp_ = true;
    Restore restore{*this, quiet_, quiet_ ? QAccessible::installUpdateHandler(dropAccessibilityUpdate) : nullptr};
    // By index: showing one view may write another, which enrols it again at the end.
    for (; restore.shown < deferred_.size(); ++restore.shown) {
        if (PacedView *view = std::exchange(deferred_[restore.shown], nullptr)) {
            try {
                view->catchUp();
            } catch (...) {
                // It stays at its place, for the next catch-up.
                deferred_[restore.shown] = view;
                throw;
            }
        }
    }
    ++frames_;
}

} // namespace rt
