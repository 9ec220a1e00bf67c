#pragma once
// One running copy per user: an advisory lock that the kernel frees when the
// process dies, so a crash never blocks the next start.
#include <QString>

namespace lumetta {

class SingleInstance {
public:
    explicit SingleInstance(const QString &name = QStringLiteral("Lumetta_MUTEX"));
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // False when another process holds the lock.
    [[nodiscard]] bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace lumetta
