#pragma once

#include <QObject>

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
    // Once, before the first write; without a pacer every write goes straight to the widget.
    void setPacer(FramePacer &pacer);

protected:
    // Call after a write has changed the values. While work runs, this enrols the view with its
    // pacer so that the widget catches up when the work ends, and returns true; otherwise it
    // returns false and the caller shows the values now.
    bool deferToNextFrame();
    // Shows the values last written.
    virtual void showValues() = 0;

private:
    friend class FramePacer;
    bool enrol();
    FramePacer *pacer_ = nullptr;
    bool lagging_ = false;
};

// Lets the widgets of the window catch up with their controls' values once, when a slice of a
// search ends, instead of at every write. A slice may analyse many numbers, each writing the
// number box, the listing, the chart and the scroll bars; re-laying out and repainting for each
// would cost a hundred times the analysis. The widgets catch up all together, so that they always
// show one complete pass. Nothing in a slice waits for an event, so no event meets a widget behind
// its control.
class FramePacer : public QObject {
    Q_OBJECT
public:
    explicit FramePacer(QObject *parent = nullptr);
    FramePacer(const FramePacer &) = delete;
    FramePacer &operator=(const FramePacer &) = delete;
    ~FramePacer() override;

    // A slice under way for as long as it lives; its end brings every widget up to date. Slices do
    // not nest: a Work made while another lives is a programming error (asserted), which in a
    // build without assertions only brings the widgets up to date early. A view that throws as it
    // catches up throws out of the work's end, to the event procedure's guard, unless an exception
    // is already leaving the work, which then goes on alone.
    class Work {
    public:
        explicit Work(FramePacer &pacer);
        ~Work() noexcept(false);
        Work(const Work &) = delete;
        Work &operator=(const Work &) = delete;

    private:
        FramePacer &pacer_;
        int leaving_;
    };

    // While set, catching up only repaints: the controls' changes are not told to accessibility
    // clients. Set for the slices of a search that goes on, whose numbers a screen reader cannot
    // follow; the end of the search is told.
    void setQuiet(bool quiet) { quiet_ = quiet; }

private:
    friend class PacedView;
    void detach(PacedView *view);
    // Brings every deferred widget up to date. If a view throws, it and the views after it stay
    // deferred for the next catch-up, and accessibility hears again.
    void catchUp();

    // Every view that has this pacer, so that neither outlives the other's pointer.
    std::vector<PacedView *> views_;
    // The views whose widgets lag, in the order they started to; a view destroyed while it is
    // here leaves a null behind, which a catch-up skips.
    std::vector<PacedView *> deferred_;
    bool working_ = false;
    bool catchingUp_ = false;
    bool quiet_ = false;
};

inline bool PacedView::deferToNextFrame()
{
    return pacer_ && pacer_->working_ && (lagging_ || enrol());
}

} // namespace rt
