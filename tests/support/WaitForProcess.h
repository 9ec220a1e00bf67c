#pragma once
// Waits for what another process writes to disk. No test clock reaches a
// real process, so this is the one place a test polls on real time.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace lumetta::test {

// True once condition holds; false after limitMs. Events are processed
// between looks, so the state of a QProcess follows.
inline bool WaitForProcess(const std::function<bool()> &condition, int limitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < limitMs) {
        if (condition())
            return true;
        QThread::msleep(20);
        QCoreApplication::processEvents();
    }
    return false;
}

} // namespace lumetta::test
