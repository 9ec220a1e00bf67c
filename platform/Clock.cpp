#include "platform/Clock.h"

namespace lumetta {

TDateTime SystemClock::now() const
{
    return FromQDateTime(QDateTime::currentDateTime());
}

const Clock &DefaultClock()
{
    static const SystemClock clock;
    return clock;
}

} // namespace lumetta
