#include "ui/announcer.h"

#include "controls/accessible.h"
#include "core/analysis_state.h"
#include "rules/numrules.h"

namespace ui {

namespace {

QString numberText(double n)
{
    // Str writes a blank before a number that is not negative.
    return QString::fromStdString(rt::Str(n)).trimmed();
}

QString counted(int count, const char *one, const char *many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

} // namespace

QString PassSummary(const core::AnalysisState &state)
{
    const QString runs = counted(state.runCount, "Darstellung", "Darstellungen");
    const QString pairs = state.pairCount == 0
        ? QStringLiteral("keine halbierbare Sequenz")
        : counted(state.pairCount, "halbierbare Sequenz", "halbierbare Sequenzen");
    return numberText(state.n) + QStringLiteral(": ") + runs + QStringLiteral(", ") + pairs;
}

QString SearchSummary(SearchEnd end, const core::AnalysisState &state)
{
    QString how;
    switch (end) {
    case SearchEnd::Found:
        how = QStringLiteral("Suche beendet bei ");
        break;
    case SearchEnd::Stopped:
        how = QStringLiteral("Suche angehalten bei ");
        break;
    case SearchEnd::AtLimit:
        how = QStringLiteral("Suche am Ende des Zahlenbereichs bei ");
        break;
    }
    return how + PassSummary(state);
}

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    rt::SetAccessibleRole(this, QAccessible::Notification);
    hide();
}

void Announcer::announce(const QString &text)
{
    // Hidden first, so that showing it is a change even when the text repeats.
    hide();
    setAccessibleName(text);
    show();
}

} // namespace ui
