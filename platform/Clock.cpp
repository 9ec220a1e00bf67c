#include "platform/Clock.h"

#include <QElapsedTimer>

namespace lumetta {

TDateTime SystemClock::now() const
{
    return FromQDateTime(QDateTime::currentDateTime());
}

qint64 SystemClock::monotonicMs() const
{
    static const QElapsedTimer since = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return since.elapsed();
}

const Clock &DefaultClock()
{
    static const SystemClock clock;
    return clock;
}

} // namespace lumetta
