#include "net/ResponseFile.h"

#include "common/AtomicFile.h"

#include <QTimer>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace lumetta {

ResponseFile::ResponseFile(const QString &name, std::function<void()> endRequest, qint64 limit)
    : QFile(name), m_endRequest(std::move(endRequest)), m_limit(limit)
{
}

bool ResponseFile::open()
{
    const int fd = CreateFreshFile(fileName());
    if (fd < 0) {
        setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!QFile::open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

qint64 ResponseFile::writeData(const char *data, qint64 length)
{
    if (m_tooLarge)
        return -1;
    if (pos() + length > m_limit) {
        m_tooLarge = m_failure = true;
        if (m_endRequest)
            QTimer::singleShot(0, this, m_endRequest);
        return -1;
    }
    const qint64 written = QFile::writeData(data, length);
    if (written != length)
        m_failure = true;
    return written;
}

} // namespace lumetta
