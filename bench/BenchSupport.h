#pragma once

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

#include <functional>

// Times fn once (after letting the event loop settle) and returns milliseconds.
inline double benchMs(const std::function<void()> &fn)
{
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    fn();
    QApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

// Runs the event loop until it has nothing left to do: posted events,
// zero-timers (delayed layouts), and the events those posted in turn.
// Deferred deletions are delivered too, as a running event loop delivers them
// once the handler that asked for them has returned; processEvents() alone
// never does.
inline void settleEvents()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    for (int round = 0; round < 1000; ++round) {
        QApplication::sendPostedEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
}

// Like benchMs, but counts everything fn leaves for the event loop until it
// is idle again, e.g. a view's deferred layout and the repaints after it.
inline double benchSettledMs(const std::function<void()> &fn)
{
    settleEvents();
    QElapsedTimer timer;
    timer.start();
    fn();
    settleEvents();
    return timer.nsecsElapsed() / 1e6;
}

// Prints one result line: what, size, ms of the measured case, ms of the
// reference measured in the same run, and their ratio against a target.
inline bool reportRatio(const QString &what, int size, double ms, double refMs, double target)
{
    const double ratio = refMs > 0 ? ms / refMs : 0;
    const bool ok = ratio <= target;
    QTextStream(stdout) << QStringLiteral(
                               "%1 n=%2: %3 ms, reference %4 ms, ratio %5 (target %6) %7\n")
                               .arg(what, -40)
                               .arg(size)
                               .arg(ms, 0, 'f', 1)
                               .arg(refMs, 0, 'f', 1)
                               .arg(ratio, 0, 'f', 2)
                               .arg(target, 0, 'f', 2)
                               .arg(ok ? QStringLiteral("OK") : QStringLiteral("MISS"));
    return ok;
}
