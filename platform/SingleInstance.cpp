#include "platform/SingleInstance.h"

#include "platform/Platform.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lumetta {

SingleInstance::SingleInstance(const QString &name)
{
    m_path = RuntimeFolder() + QLatin1Char('/') + name;
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);  // the kernel drops the lock with the descriptor
}

bool SingleInstance::acquire()
{
    if (m_fd >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file there is nothing to enforce with; let the user in.
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    // Who holds it, for endHolder.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
    return true;
}

bool SingleInstance::endHolder(int waitMs)
{
    if (acquire())
        return true;
    QFile lock(m_path);
    bool number = false;
    const qint64 pid = lock.open(QIODevice::ReadOnly) ? lock.readLine(32).trimmed().toLongLong(&number) : 0;
    // Only a process of this user can be signalled, and the lock lives in
    // the user's own runtime folder.
    if (!number || pid <= 1 || pid == ::getpid() || ::kill(pid_t(pid), SIGTERM) != 0)
        return false;
    for (int waited = 0; waited < waitMs; waited += 20) {
        if (acquire())
            return true;
        ::usleep(20'000);
    }
    return acquire();
}

} // namespace lumetta
