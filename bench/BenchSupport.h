#pragma once

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
