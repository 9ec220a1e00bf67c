#include "platform/SingleInstance.h"

#include "platform/Platform.h"

#include <QFile>
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
    return true;
}

} // namespace lumetta
