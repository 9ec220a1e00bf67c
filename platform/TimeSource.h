#pragma once
// Where timers get their scheduling. The program runs on Qt's event loop;
// tests run on a source they move forward themselves, so no test waits on
// real time for a timer.
#include "platform/Clock.h"

#include <QtGlobal>
#include <functional>
#include <memory>

namespace lumetta {

// One scheduled timer: fires every interval from start() until stop().
class TimerBackend {
public:
    virtual ~TimerBackend() = default;
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
};

class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual std::unique_ptr<TimerBackend> createTimer(std::function<void()> fire) = 0;
};

// Qt's event loop with precise timers: a coarse one may fire 5 % early,
// and the user sets most of our intervals to the second.
TimeSource &RealTimeSource();

// A clock that moves only when told.
class TestClock final : public Clock {
public:
    explicit TestClock(TDateTime start = 0) : m_now(start) {}
    TDateTime now() const override { return m_now; }
    void set(TDateTime value) { m_now = value; }
    void advance(qint64 milliseconds) { m_now += double(milliseconds) / (SecondsPerDay * 1000.0); }

private:
    TDateTime m_now;
};

// Timers fire only inside advance(), in the order they fall due (the one
// started first on a tie), with the clock (when given) moved to each
// firing's moment.
class TestTimeSource final : public TimeSource {
public:
    explicit TestTimeSource(TestClock *clock = nullptr);
    ~TestTimeSource() override;

    std::unique_ptr<TimerBackend> createTimer(std::function<void()> fire) override;
    void advance(qint64 milliseconds);
    // Milliseconds advanced since creation.
    qint64 elapsed() const;
    // Timers running now.
    int activeTimers() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace lumetta
