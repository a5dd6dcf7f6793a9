#pragma once

#include "commands/commands.h"
#include "controls/canvas.h"
#include "controls/framepacer.h"
#include "controls/listingbox.h"
#include "controls/placement.h"
#include "controls/runtime.h"
#include "controls/scrollbar.h"
#include "controls/textbox.h"
#include "core/analysis_state.h"
#include "rules/rnd.h"
#include "ui/announcer.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace ui {

// The program's one window: every control with its designed properties, the analysis state,
// and the coupling of number box, number scroll bar, pan bar and canvas.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // The screen size decides the start-up layout; tests give one of their own, and choose how
    // the searches run. Every control's object name is its designed name.
    explicit Form1(rt::ScreenSize screen = rt::PrimaryScreenTwips(), commands::SearchOptions options = {},
                   QWidget *parent = nullptr);
    ~Form1() override;

    // Positions and sizes in each container's unit, as the program assigns and reads them.
    rt::Placement &placement(const QWidget *control);
    const rt::Placement &placement(const QWidget *control) const;
    float ScaleWidth() const; // of the chart frame, in its own units
    float ScaleHeight() const;

    // The state as every procedure sees it.
    core::AnalysisState &state();
    commands::Commands &commands() { return *commands_; }
    rt::ErrorReporter &errorReporter() { return errors_; }
    const rt::Rnd &rnd() const { return rnd_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The event procedures, wired to their controls' events in wireEvents().
    void Form_Load(rt::ScreenSize screen);
    void Text1_Change();
    void VScroll1_Change();
    void HScroll1_Change();
    void HScroll1_Scroll();

    void createControls();
    void describe();
    void wireEvents();
    // Tells a screen reader where a search that analysed anything has ended.
    void searchEnded(int pairsWanted, bool triedAny, qint64 nanoseconds);
    // Announces the pass just run, when one ran since `passesBefore` and no search is under way
    // (a search announces only its end).
    void announcePass(std::uint64_t passesBefore);

    // The controls, under their designed names, which are also their object names.
    QLabel *lblProg;
    QFrame *picContainer;
    rt::Canvas *picGraph;
    rt::ScrollBar *HScroll1;
    QFrame *Frame1;
    QLineEdit *Text2;
    rt::TextBox *Text1;
    rt::ScrollBar *VScroll1;
    QPushButton *Command1;
    QFrame *Line1;
    QLabel *Label1;
    QPushButton *Command4;
    QPushButton *Command5;
    QPushButton *Command3;
    rt::ListingBox *txtSequenz;

    rt::Units windowUnits_;
    rt::Units frameUnits_;
    rt::Units chartUnits_;
    std::vector<std::pair<const QWidget *, std::unique_ptr<rt::Placement>>> placements_;

    core::AnalysisState state_;
    rt::FramePacer pacer_;
    rt::Rnd rnd_;
    rt::ErrorReporter errors_;
    std::unique_ptr<commands::Commands> commands_;
    Announcer *announcer_ = nullptr;
};

} // namespace ui
