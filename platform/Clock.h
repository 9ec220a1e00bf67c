#pragma once
// "Now" is injected so tests can set the clock instead of sleeping.
#include "common/DateTime.h"

namespace lumetta {

class Clock {
public:
    virtual ~Clock() = default;
    virtual TDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    TDateTime now() const override;
};

// The process-wide default used where nothing else is passed in.
const Clock &DefaultClock();

} // namespace lumetta
