// How the number box, the number scroll bar, the pan bar and the canvas follow each other.
#include "ui/form1.h"

#include "rules/numrules.h"

#include <QCloseEvent>

#include <algorithm>
#include <cstdio>

namespace ui {

namespace {
constexpr double LowerBound = 2;    // exclusive
constexpr double UpperBound = 1000; // exclusive
} // namespace

void Form1::Text1_Change()
{
    double v = 0;
    try {
        v = Text1->Val();
    } catch (const rt::RuntimeError &) {
        // A number too large to read is out of bounds like any other; the analysis button reports it.
        return;
    }
    if (!(v < UpperBound && v > LowerBound))
        return;
    // Above 2 and up to 2.5 rounds to 2, which the scroll bar cannot hold: leave it alone.
    if (rt::RoundHalfEven(v) < std::min(VScroll1->Min(), VScroll1->Max()))
        return;
    VScroll1->setValue(rt::CInt(v));
}

void Form1::VScroll1_Change()
{
    Text1->setText(QString::fromStdString(rt::CStr(VScroll1->Value())));
    const std::uint64_t before = commands_->passes();
    commands_->Command1_Click();
    announcePass(before);
}

void Form1::HScroll1_Change()
{
    placement(picGraph).setLeft(-static_cast<double>(HScroll1->Value()));
}

void Form1::HScroll1_Scroll()
{
    HScroll1_Change();
}

void Form1::announcePass(std::uint64_t passesBefore)
{
    if (commands_->passes() != passesBefore && !commands_->searching())
        announcer_->announce(PassSummary(state_));
}

void Form1::searchEnded(int pairsWanted, bool triedAny, qint64 nanoseconds)
{
    if (!triedAny)
        return;
    const SearchEnd end = state_.pairCount >= pairsWanted ? SearchEnd::Found
        : state_.stopRequested == 1                       ? SearchEnd::Stopped
                                                          : SearchEnd::AtLimit;
    announcer_->announce(SearchSummary(end, state_));
    // For measuring the search itself in the real window, apart from how its end is read back.
    if (qEnvironmentVariableIsSet("SUMMENLEITER_SEARCH_LOG"))
        std::fprintf(stderr, "search ended at %.0f after %.3f ms\n", state_.n, double(nanoseconds) / 1e6);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Nothing waits for a search: it ends here, with the number it has reached on display.
    commands_->cancelSearches();
    QWidget::closeEvent(event);
}

} // namespace ui
