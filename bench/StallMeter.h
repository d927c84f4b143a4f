#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace kavri::bench {

/// How long `body` took, and the longest time between two runs of the event loop meanwhile.
struct Measure
{
    double ms = 0;
    double stallMs = 0;
};

/// A 1 ms timer notes every gap between two turns of the event loop while `body` runs;
/// the body must let events run (a window's reads, a cycle's pieces) for gaps to be seen.
template <typename F> Measure measureStalls(F &&body)
{
    QElapsedTimer since;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, since.nsecsElapsed());
        since.restart();
    });
    QElapsedTimer total;
    QEventLoop settle;
    QTimer::singleShot(5, &settle, &QEventLoop::quit);
    tick.start();
    since.start();
    settle.exec(); // the tick runs before the body starts
    total.start();
    since.restart();
    longest = 0;
    body();
    longest = std::max(longest, since.nsecsElapsed());
    const qint64 all = total.nsecsElapsed();
    tick.stop();
    return {all / 1e6, longest / 1e6};
}

} // namespace kavri::bench
