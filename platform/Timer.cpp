#include "platform/Timer.h"

namespace lumetta {

Timer::Timer(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        emit timeout();
        if (OnTimer)
            OnTimer();
    });
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    update();
}

void Timer::setInterval(int milliseconds)
{
    // Setting the interval restarts the count, even to the same value.
    m_interval = milliseconds < 0 ? 0 : milliseconds;
    update();
}

void Timer::update()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

} // namespace lumetta
