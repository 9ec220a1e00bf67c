#include "platform/TimeSource.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace lumetta {

namespace {

class QtTimerBackend final : public TimerBackend {
public:
    explicit QtTimerBackend(std::function<void()> fire)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(fire));
    }
    void start(int milliseconds) override { m_timer.start(milliseconds); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

class QtTimeSource final : public TimeSource {
public:
    std::unique_ptr<TimerBackend> createTimer(std::function<void()> fire) override
    {
        return std::make_unique<QtTimerBackend>(std::move(fire));
    }
};

} // namespace

TimeSource &RealTimeSource()
{
    static QtTimeSource source;
    return source;
}

} // namespace lumetta
