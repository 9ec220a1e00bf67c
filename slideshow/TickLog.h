#pragma once
// One line per tick of the show, when $LUMETTA_TICK_LOG names a file: how a
// long unattended run went, readable after the fact. debug.log keeps only
// the last step; this keeps every tick.
#include "slideshow/SlideShow.h"

#include <QFile>

namespace lumetta {

// "2026-12-06T14:30:01.123 tick 12 cam 5 shown" with ", failed: reason"
// after a download that brought no new picture.
QByteArray TickLogLine(const QDateTime &at, qint64 tick, const TickReport &report);

class TickLog {
public:
    // Empty or unopenable: writes nothing.
    explicit TickLog(const QString &fileName);
    void write(const TickReport &report);

private:
    QFile m_file;
    qint64 m_ticks = 0;
};

} // namespace lumetta
