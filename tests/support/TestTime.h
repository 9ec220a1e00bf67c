#pragma once
// Test time: a clock and a timer source that move only when told.
#include "platform/TimeSource.h"

namespace lumetta {

// A clock that moves only when told; set() moves the wall clock alone.
class TestClock final : public Clock {
public:
    explicit TestClock(TDateTime start = 0) : m_now(start) {}
    TDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_monotonic; }
    void set(TDateTime value) { m_now = value; }
    void advance(qint64 ms) { m_now += double(ms) / (SecondsPerDay * 1000.0); m_monotonic += ms; }

private:
    TDateTime m_now;
    qint64 m_monotonic = 0;
};

// Timers fire only inside advance(), in the order they fall due (the one
// started first on a tie), with the clock (when given) moved to each
// firing's moment.
class TestTimeSource final : public TimeSource {
public:
    explicit TestTimeSource(TestClock *clock = nullptr);

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
