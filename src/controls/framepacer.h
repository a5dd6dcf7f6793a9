#pragma once

#include <QObject>

#include <exception>
#include <vector>

namespace rt {

class FramePacer;

// A control whose widget may lag behind the values the program has written to it. The values
// themselves never lag: every read gives what was last written.
//
// A view and its pacer may go in either order: a view leaves its pacer when it is destroyed, and a
// pacer that goes first lets its views write straight through from then on.
class PacedView {
public:
    PacedView() = default;
    PacedView(const PacedView &) = delete;
    PacedView &operator=(const PacedView &) = delete;
    virtual ~PacedView();
    // Without a pacer every write goes straight to the widget.
    void setPacer(FramePacer *pacer);

protected:
    // Call after a write has changed the values. While work runs, this enrols the view with its
    // pacer so that the widget catches up when the work ends, and returns true; otherwise it
    // returns false and the caller shows the values now.
    bool deferToNextFrame();
    // Whether the widget shows older values than the control holds.
    bool widgetLags() const { return lagging_; }
    // Shows the values last written.
    virtual void showValues() = 0;

private:
    friend class FramePacer;
    bool enrol();
    void catchUp()
    {
        lagging_ = false;
        try {
            showValues();
        } catch (...) {
            // Still behind: the next catch-up tries it again.
            lagging_ = true;
            throw;
        }
    }
    FramePacer *pacer_ = nullptr;
    bool lagging_ = false;
};

// Lets the widgets of the window catch up with their controls' values once, when a piece of work
// ends, instead of at every write. A slice of a search may analyse many numbers, each writing the
// number box, the listing, the chart and the scroll bars; re-laying out and repainting for each
// would cost a hundred times the analysis. The widgets catch up all together, so that they always
// show one complete pass. Nothing in a piece of work waits for an event, so no event meets a
// widget behind its control.
class FramePacer : public QObject {
    Q_OBJECT
public:
    explicit FramePacer(QObject *parent = nullptr);
    FramePacer(const FramePacer &) = delete;
    FramePacer &operator=(const FramePacer &) = delete;
    ~FramePacer() override;

    // Work under way for as long as it lives; works may nest, and the outermost one's end brings
    // the widgets up to date. A view that throws as it catches up throws out of the work's end,
    // to the event procedure's guard, unless an exception is already leaving the work, which then
    // goes on alone.
    class Work {
    public:
        explicit Work(FramePacer &pacer) : pacer_(pacer), leaving_(std::uncaught_exceptions()) { ++pacer_.depth_; }
        ~Work() noexcept(false)
        {
            if (--pacer_.depth_ != 0)
                return;
            if (std::uncaught_exceptions() == leaving_) {
                pacer_.catchUp();
                return;
            }
            try {
                pacer_.catchUp();
            } catch (...) {
            }
        }
        Work(const Work &) = delete;
        Work &operator=(const Work &) = delete;

    private:
        FramePacer &pacer_;
        int leaving_;
    };

    bool pacing() const { return depth_ > 0; }
    // While set, catching up only repaints: the controls' changes are not told to accessibility
    // clients. Set for the slices of a search that goes on, whose numbers a screen reader cannot
    // follow; the end of the search is told.
    void setQuiet(bool quiet) { quiet_ = quiet; }

    // Brings every deferred widget up to date now. If a view throws, the views after it stay
    // deferred and the pacer is left as it was before, ready for the next catch-up.
    void catchUp();

    // Catch-ups since construction that brought a widget up to date, for tests and measurements.
    quint64 framesShown() const { return frames_; }

private:
    friend class PacedView;
    void detach(PacedView *view);

    // Every view that has this pacer, so that neither outlives the other's pointer.
    std::vector<PacedView *> views_;
    // The views whose widgets lag, in the order they started to; a view destroyed while it is
    // here leaves a null behind, which a catch-up skips.
    std::vector<PacedView *> deferred_;
    int depth_ = 0;
    quint64 frames_ = 0;
    bool catchingUp_ = false;
    bool quiet_ = false;
};

inline bool PacedView::deferToNextFrame()
{
    return pacer_ && pacer_->pacing() && (lagging_ || enrol());
}

} // namespace rt
