#include "common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

namespace {

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

// A link to the real file stays a link: the file it names is replaced.
QString ResolveLinks(const QString &path)
{
    QString resolved = path;
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(resolved);
        if (!info.isSymLink())
            break;
        resolved = info.symLinkTarget();
    }
    return resolved;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString &path, ExistingLink links)
    : m_target(links == ExistingLink::Follow ? ResolveLinks(path) : path)
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

bool AtomicFileWriter::open()
{
    struct stat old {};
    // A link still here is to be replaced, so its target's mode is none of ours.
    const bool replacing = ::lstat(Native(m_target).constData(), &old) == 0 && !S_ISLNK(old.st_mode);
    const mode_t mode = m_mode >= 0 ? mode_t(m_mode) : replacing ? (old.st_mode & 07777) : 0666;
    // A file its owner made read-only is not ours to replace.
    if (replacing && ::access(Native(m_target).constData(), W_OK) != 0)
        return fail(errno);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        // Same folder, so the rename stays on one file system.
        m_temp = m_target + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        m_fd = ::open(Native(m_temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd < 0 && errno != EEXIST) {
            m_temp.clear();
            return fail(errno);
        }
    }
    if (m_fd < 0) {
        m_temp.clear();
        return fail(EEXIST);
    }
    // The umask may have narrowed the mode; a replaced file keeps its own.
    if ((replacing || m_mode >= 0) && ::fchmod(m_fd, mode) != 0)
        return fail(errno);
    return true;
}

bool AtomicFileWriter::write(QByteArrayView data)
{
    if (m_fd < 0)
        return fail(EBADF);
    const char *p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        if (n == 0)
            return fail(ENOSPC);
        p += n;
        left -= n;
    }
    return true;
}

bool AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return fail(EBADF);
    if (m_mtime.isValid()) {
        const qint64 ms = m_mtime.toMSecsSinceEpoch();
        const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
        if (::futimens(m_fd, times) != 0)
            return fail(errno);
    }
    if (::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    if (::rename(Native(m_temp).constData(), Native(m_target).constData()) != 0)
        return fail(errno);
    m_temp.clear();
    // Make the rename itself durable; the new file is in place either way,
    // so a folder that cannot be synced is no failure of the save.
    const int dir = ::open(Native(QFileInfo(m_target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool AtomicFileWriter::fail(int error)
{
    if (m_error.isEmpty())
        m_error = QString::fromLocal8Bit(strerror(error));
    discard();
    return false;
}

void AtomicFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(Native(m_temp).constData());
        m_temp.clear();
    }
}

int CreateFreshFile(const QString &path)
{
    const QByteArray name = Native(path);
    if (::unlink(name.constData()) != 0 && errno != ENOENT)
        return -1;
    int fd;
    do
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

SaveResult WriteFileAtomically(const QString &path, QByteArrayView data)
{
    AtomicFileWriter file(path);
    if (file.open() && file.write(data) && file.commit())
        return {};
    return {false, file.errorString()};
}

} // namespace lumetta
