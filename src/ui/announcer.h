#pragma once

#include <QString>
#include <QWidget>

namespace core {
struct AnalysisState;
}

namespace ui {

// What a screen reader says after an analysis: the number, its runs and its halvable pairs,
// e.g. "75: 6 Darstellungen, keine halbierbare Sequenz".
QString PassSummary(const core::AnalysisState &state);

// How a search ended, followed by the summary of the number it ended at.
enum class SearchEnd { Found, Stopped, AtLimit };
QString SearchSummary(SearchEnd end, const core::AnalysisState &state);

// Hands a short text to a screen reader without moving the focus and without changing anything
// on the screen. Orca 43 speaks an object with the notification role as it starts showing, while
// it ignores a name or description that changes on the focused control (Qt 6.4 sends such a
// change in a form Orca's handler cannot read). So the announcer is an empty widget of no size
// that takes the text as its name and shows itself anew for every text.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);
};

} // namespace ui
