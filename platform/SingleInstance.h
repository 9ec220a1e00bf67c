#pragma once
// One running copy per user: an advisory lock that the kernel frees when the
// process dies, so a crash never blocks the next start.
#include <QString>

namespace lumetta {

// The idle watcher's lock, beside the show's "Lumetta_MUTEX".
inline constexpr const char *IdleLockName = "Lumetta_IDLE";

class SingleInstance {
public:
    explicit SingleInstance(const QString &name = QStringLiteral("Lumetta_MUTEX"));
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // False when another process holds the lock.
    [[nodiscard]] bool acquire();
    QString lockPath() const { return m_path; }
    // Asks the process holding the lock to end (SIGTERM), waits up to
    // waitMs for it to let go, and then holds the lock itself: true when
    // this object holds it. For a caller that replaces the holder.
    bool endHolder(int waitMs);

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace lumetta
