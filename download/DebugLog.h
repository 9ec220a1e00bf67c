#pragma once
// A breadcrumb for hangs and crashes: while debug mode is on, each step of
// the slide-show cycle replaces "debug.log" with its own name.
#include <QString>
#include <functional>

namespace lumetta {

inline const QString DebugLogName = QStringLiteral("debug.log");

// Creates the file anew and writes the text as one line ended by CR LF.
// Raises FileError when the file cannot be written.
void WriteTextFile(const QString &fileName, const QString &text);

class DebugLog {
public:
    // debugMode is asked at every step, so ticking the box acts at once.
    DebugLog(std::function<bool()> debugMode, QString appPath)
        : m_debugMode(std::move(debugMode)), m_appPath(std::move(appPath)) {}

    void step(const QString &message) const;
    QString fileName() const { return m_appPath + DebugLogName; }

private:
    std::function<bool()> m_debugMode;
    QString m_appPath;
};

} // namespace lumetta
