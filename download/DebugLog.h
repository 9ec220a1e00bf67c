#pragma once
// A breadcrumb for hangs and crashes: while debug mode is on, each step of
// the slide-show cycle appends its name to "debug.log" as one line, so the
// last line names the last step reached. Appended, never synced: the
// kernel keeps what a crashed process wrote.
#include <QString>
#include <functional>

namespace lumetta {

inline const QString DebugLogName = QStringLiteral("debug.log");
// A line that would take the log past this starts it again; the previous
// one is kept as "debug.log.1".
inline constexpr qint64 MaxDebugLogBytes = 1 << 20;

class DebugLog {
public:
    // debugMode is asked at every step, so ticking the box acts at once.
    DebugLog(std::function<bool()> debugMode, QString appPath)
        : m_debugMode(std::move(debugMode)), m_appPath(std::move(appPath)) {}

    // Never raises: a log that cannot be written is reported once on the
    // error output and stops for the rest of the run; the show goes on.
    void step(const QString &message) const;
    QString fileName() const { return m_appPath + DebugLogName; }

private:
    std::function<bool()> m_debugMode;
    QString m_appPath;
};

} // namespace lumetta
