#include "controls/framepacer.h"

#include <QAccessible>
#include <QScopeGuard>

#include <algorithm>
#include <exception>

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

void PacedView::setPacer(FramePacer &pacer)
{
    Q_ASSERT_X(!pacer_, "PacedView::setPacer", "a view has one pacer for its life");
    pacer_ = &pacer;
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

FramePacer::Work::Work(FramePacer &pacer) : pacer_(pacer), leaving_(std::uncaught_exceptions())
{
    Q_ASSERT_X(!pacer_.working_ && !pacer_.catchingUp_, "FramePacer::Work", "slices do not nest");
    pacer_.working_ = true;
}

FramePacer::Work::~Work() noexcept(false)
{
    pacer_.working_ = false;
    try {
        pacer_.catchUp();
    } catch (...) {
        // An exception already leaving the work goes on alone.
        if (std::uncaught_exceptions() == leaving_)
            throw;
    }
}

void FramePacer::catchUp()
{
    if (catchingUp_ || deferred_.empty())
        return;
    catchingUp_ = true;
    const bool quiet = quiet_;
    const QAccessible::UpdateHandler previous =
        quiet ? QAccessible::installUpdateHandler(dropAccessibilityUpdate) : nullptr;
    std::size_t shown = 0;
    // However the views' catch-up ends, accessibility hears again afterwards, the views shown
    // leave the list and the next catch-up may run.
    const auto restore = qScopeGuard([&] {
        deferred_.erase(deferred_.begin(), deferred_.begin() + std::ptrdiff_t(shown));
        if (quiet)
            QAccessible::installUpdateHandler(previous);
        catchingUp_ = false;
    });
    // No view enrols meanwhile: no work runs, so a view written as another shows is shown at once.
    for (; shown < deferred_.size(); ++shown) {
        if (PacedView *view = deferred_[shown]) {
            view->lagging_ = false;
            try {
                view->showValues();
            } catch (...) {
                // Still behind, and at its place for the next catch-up.
                view->lagging_ = true;
                throw;
            }
        }
    }
}

} // namespace rt
