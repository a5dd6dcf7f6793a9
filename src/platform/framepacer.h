#pragma once

#include <QElapsedTimer>
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
    // Without a pacer every write goes straight to the widget.
    void setPacer(FramePacer *pacer);

protected:
    // Call after a write has changed the values. While work runs, this enrols the view with its
    // pacer so that the widget catches up at the next frame, and returns true; otherwise it
    // returns false and the caller shows the values now.
    // Inline, since a search calls it for every control it writes, for every number it tries.
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
        showValues();
    }
    FramePacer *pacer_ = nullptr;
    bool lagging_ = false;
};

// Lets the widgets of the window catch up with their controls' values once per screen frame while
// work runs, instead of at every write. A forward search writes the number box, the listing, the
// chart and the scroll bars for every number it tries, a thousand times and more a second, and a
// screen shows sixty frames; re-laying out and repainting for each costs a hundred times the
// analysis itself.
//
// While no work runs, controls write straight through to their widgets. While it runs, they keep
// their values and ask to be caught up; the widgets then catch up, all together and so always
// showing one complete pass:
// - when a frame is due, at a yield of the work (doEvents());
// - before any event reaches any object, except the few that only repaint or tidy up and the calls
//   of other processes (a screen reader's reads, answered from what is shown), so that a key, a
//   click, a copy or a focus change meets the values of now;
// - when the event loop is about to wait (a message box during the work);
// - when the outermost work ends.
class FramePacer : public QObject {
    Q_OBJECT
public:
    explicit FramePacer(QObject *parent = nullptr);
    FramePacer(const FramePacer &) = delete;
    FramePacer &operator=(const FramePacer &) = delete;
    ~FramePacer() override;

    // Work under way for as long as it lives; works may nest.
    class Work {
    public:
        explicit Work(FramePacer &pacer) : pacer_(pacer) { pacer_.begin(); }
        ~Work() { pacer_.end(); }
        Work(const Work &) = delete;
        Work &operator=(const Work &) = delete;

    private:
        FramePacer &pacer_;
    };

    bool pacing() const { return depth_ > 0; }

    // Brings every deferred widget up to date now.
    void catchUp();

    // The yield of work under way: every posted event (a queued call, a stop, an accessibility
    // request) is delivered every time; the window system is read at least every PollInterval
    // and a due frame is caught up and painted.
    void doEvents();

    // Frames caught up since construction, and the time between two, for tests and measurements.
    quint64 framesShown() const { return frames_; }
    qint64 frameInterval() const { return frameInterval_; } // ns

    static constexpr qint64 PollInterval = 250'000; // ns

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class PacedView;
    void begin();
    void end();
    void detach(PacedView *view);

    // Every view that has this pacer, so that neither outlives the other's pointer.
    std::vector<PacedView *> views_;
    // The views whose widgets lag, in the order they started to; a view destroyed while it is
    // here leaves a null behind, which a catch-up skips.
    std::vector<PacedView *> deferred_;
    int depth_ = 0;
    QElapsedTimer clock_;
    qint64 frameInterval_;
    qint64 lastFrame_ = 0;
    qint64 lastPoll_ = 0;
    quint64 frames_ = 0;
    quint64 yields_ = 0;
    bool catchingUp_ = false;
    QMetaObject::Connection idle_;
};

inline bool PacedView::deferToNextFrame()
{
    return pacer_ && pacer_->pacing() && (lagging_ || enrol());
}

} // namespace rt
