#pragma once
// Where timers get their scheduling. The program runs on Qt's event loop;
// tests run on a source of their own that they move forward, so no test
// waits on real time for a timer.
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

} // namespace lumetta
