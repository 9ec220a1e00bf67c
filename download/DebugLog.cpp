#include "download/DebugLog.h"

#include <QFile>
#include <QSet>
#include <QtDebug>
#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

namespace {

// A log is made by many DebugLog objects (the image window makes one per
// picture), so what failed is known process-wide.
std::mutex logLock;
QSet<QString> &stoppedLogs()
{
    static QSet<QString> stopped;
    return stopped;
}

QString SystemText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

// An open that cannot block (a FIFO in the log's place) of a regular file;
// the descriptor, or -1 with the reason.
int OpenForAppend(const QByteArray &name, QString &reason)
{
    int fd;
    do
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = SystemText(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        reason = QCoreApplication::translate("DebugLog", "Not a regular file");
        return -1;
    }
    return fd;
}

// Empty when the line is in the file, else why not.
QString AppendLine(const QString &fileName, const QByteArray &line)
{
    const QByteArray name = QFile::encodeName(fileName);
    QString reason;
    int fd = OpenForAppend(name, reason);
    if (fd < 0)
        return reason;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size + line.size() > MaxDebugLogBytes) {
        ::close(fd);
        if (::rename(name.constData(), QFile::encodeName(fileName + QStringLiteral(".1")).constData()) != 0)
            return SystemText(errno);
        fd = OpenForAppend(name, reason);
        if (fd < 0)
            return reason;
    }
    ssize_t n;
    do
        n = ::write(fd, line.constData(), size_t(line.size()));
    while (n < 0 && errno == EINTR);
    reason = n < 0 ? SystemText(errno) : n < line.size() ? SystemText(ENOSPC) : QString();
    ::close(fd);
    return reason;
}

} // namespace

void DebugLog::step(const QString &message) const
{
    if (!m_debugMode || !m_debugMode())
        return;
    const QString file = fileName();
    const std::lock_guard<std::mutex> guard(logLock);
    if (stoppedLogs().contains(file))
        return;
    const QString failure = AppendLine(file, message.toUtf8() + "\r\n");
    if (failure.isEmpty())
        return;
    stoppedLogs().insert(file);
    // Never a message box: a screen saver has no one to answer it.
    // untranslated: the session's log, read with other programs' English lines
    qWarning().noquote() << QStringLiteral("Cannot write \"%1\". %2. The debug log stops.").arg(file, failure);
}

} // namespace lumetta
