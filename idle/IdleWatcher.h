#pragma once
// The idle run's loop: asks the desktop at the moments the decision names,
// starts the show, and goes on watching when it ends. Waits on one timer
// and on the show's end; holds nothing else.
#include "idle/IdleDecision.h"
#include "platform/Timer.h"

#include <QObject>
#include <functional>

namespace lumetta {

// What the watcher asks the desktop, at the moment it asks.
class DesktopProbe {
public:
    virtual ~DesktopProbe() = default;
    virtual DesktopState read() = 0;
    // Keeps the X server's own saver off (true) or lets it be again.
    virtual void holdServerSaver(bool) {}
};

struct IdleWatcherHooks {
    std::function<qint64()> nowMs;    // a clock that never jumps
    std::function<qint64()> delayMs;  // the idle delay, read at each look
    // Starts the show; false when it could not. Its end is told through
    // IdleWatcher::showEnded.
    std::function<bool()> startShow;
    std::function<void()> stopShow;
    // Another starter runs Lumetta now (XScreenSaver selects it): the
    // watcher stands down rather than start the show twice.
    std::function<bool()> standDown = {};
};

class IdleWatcher : public QObject {
    Q_OBJECT
public:
    IdleWatcher(DesktopProbe &probe, TimeSource &time, IdleWatcherHooks hooks, QObject *parent = nullptr);

    // The first look, at once.
    void begin() { look(); }
    void showEnded();
    // The desktop locks now: the show gives way to the lock screen.
    void desktopLocking();
    // The settings changed (the idle delay): looks again at once, as the
    // wait was measured with the old delay.
    void settingsChanged();

signals:
    void stoodDown();

public:

    bool showRunning() const { return m_decision.showRunning(); }
    // The wait before the next look.
    int nextLookMs() const { return m_timer.Interval(); }

private:
    void look();

    DesktopProbe &m_probe;
    IdleWatcherHooks m_hooks;
    IdleDecision m_decision;
    Timer m_timer;
};

} // namespace lumetta
