#include "idle/IdleWatcher.h"

#include <limits>

namespace lumetta {

IdleWatcher::IdleWatcher(DesktopProbe &probe, TimeSource &time, IdleWatcherHooks hooks, QObject *parent)
    : QObject(parent), m_probe(probe), m_hooks(std::move(hooks)), m_timer(time, this)
{
    m_timer.OnTimer = [this] { look(); };
}

void IdleWatcher::look()
{
    m_timer.setInterval(0);
    if (!m_decision.showRunning() && m_hooks.standDown && m_hooks.standDown()) {
        emit stoodDown();
        return;
    }
    const IdleDecision::Step step = m_decision.check(m_hooks.nowMs(), m_hooks.delayMs(), m_probe.read());
    if (step.holdServerSaver)
        m_probe.holdServerSaver(true);
    if (step.startShow && !m_hooks.startShow()) {
        m_probe.holdServerSaver(false);
        // Counted as a show that ended at once: the same idle period is
        // not tried again.
        m_decision.showEnded();
        m_timer.setInterval(int(IdleDecision::RetryMs));
        return;
    }
    if (step.stopShow)
        m_hooks.stopShow();
    m_timer.setInterval(int(std::min<qint64>(step.nextCheckMs, std::numeric_limits<int>::max())));
}

void IdleWatcher::showEnded()
{
    if (!m_decision.showRunning())
        return;
    m_decision.showEnded();
    m_probe.holdServerSaver(false);
    look();
}

void IdleWatcher::settingsChanged()
{
    // While the show runs it is watched every second anyway.
    if (!m_decision.showRunning() && m_timer.Interval() != 0)
        look();
}

void IdleWatcher::desktopLocking()
{
    if (m_decision.locking())
        m_hooks.stopShow();
}

} // namespace lumetta
