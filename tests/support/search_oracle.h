#pragma once

#include "commands/commands.h"
#include "core/pass.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

// Where a forward search from start ends, by the core alone: the first number above start whose
// pass (scan bound one above it) finds at least `pairs` halvable pairs.
inline double nextWithPairs(double start, int pairs)
{
    core::AnalysisState s;
    for (s.n = start + 1;; s.n += 1) {
        core::RunPass(s, s.n + 1, {}, {});
        if (s.pairCount >= pairs)
            return s.n;
    }
}

// Lets the event loop run, at least once, until no search is left, as a person waits for one;
// false if one is still running after `ms`.
inline bool finishSearches(const commands::Commands &commands, int ms = 120000)
{
    QDeadlineTimer deadline(ms);
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (commands.searching() && !deadline.hasExpired());
    return !commands.searching();
}
