#include "platform/Timer.h"

#include "platform/Guarded.h"

namespace lumetta {

Timer::Timer(TimeSource &source, QObject *parent)
    : QObject(parent), m_backend(source.createTimer([this] { fire(); }))
{
}

Timer::~Timer() = default;

void Timer::fire()
{
    RunGuarded([this] {
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
    if (isActive())
        m_backend->start(m_interval);
    else
        m_backend->stop();
}

} // namespace lumetta
