#pragma once
// "Now" is injected so tests can set the clock instead of sleeping.
#include "common/DateTime.h"

namespace lumetta {

class Clock {
public:
    virtual ~Clock() = default;
    // Local wall time, as the catalogue stores it and the daily windows read it.
    virtual TDateTime now() const = 0;
    // Milliseconds that only go forward: a wall clock set back (summer time
    // ending, a correction) must not stretch a span measured in this run.
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public Clock {
public:
    TDateTime now() const override;
    qint64 monotonicMs() const override;
};

// The process-wide default used where nothing else is passed in.
const Clock &DefaultClock();

} // namespace lumetta
