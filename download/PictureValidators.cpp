#include "download/PictureValidators.h"

#include "common/AtomicFile.h"
#include "common/Subs.h"
#include "net/HttpUrl.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

namespace {

constexpr qsizetype MaxValue = 1024;
constexpr qint64 MaxFile = 8 * 1024;

bool Usable(const QString &value)
{
    if (value.size() > MaxValue)
        return false;
    for (QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

QString Checked(const QString &value)
{
    const QString v = value.trimmed();
    return Usable(v) ? v : QString();
}

// Never through a link, and never waiting on a FIFO planted under the name.
std::optional<QByteArray> ReadSmallFile(const QString &path)
{
    return ReadRegularFile(path, MaxFile, FileLinks::Refuse).bytes;
}

// A failure leaves no file: none that is stale, and no empty one made here.
bool WritePrivately(const QString &path, QByteArrayView data)
{
    AtomicFileWriter writer(path, ExistingLink::Replace);
    if (MakePrivateTarget(path) != PrivateTarget::Failed && writer.open() && writer.write(data) && writer.commit())
        return true;
    QFile::remove(path);
    return false;
}

} // namespace

QString ValidatorsFileOf(const QString &picture)
{
    return picture + QStringLiteral(".validators");
}

PictureValidators ValidatorsOf(const QString &url, const QStringList &finalHeader)
{
    PictureValidators v;
    v.url = WithoutUserInfo(url);
    v.etag = Checked(GetHeaderValue(QStringLiteral("ETag"), finalHeader));
    v.lastModified = Checked(GetHeaderValue(QStringLiteral("Last-Modified"), finalHeader));
    return v;
}

std::optional<PictureValidators> ReadValidators(const QString &picture)
{
    const auto text = ReadSmallFile(ValidatorsFileOf(picture));
    if (!text)
        return std::nullopt;
    PictureValidators v;
    const QList<QByteArray> lines = text->split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype colon = line.indexOf(": ");
        if (line.isEmpty())
            continue;
        if (colon < 0)
            return std::nullopt;
        const QString value = QString::fromLatin1(line.mid(colon + 2));
        if (!Usable(value) && !line.startsWith("URL: "))
            return std::nullopt;
        const QByteArray name = line.left(colon);
        if (name == "URL")
            v.url = QString::fromUtf8(line.mid(colon + 2));
        else if (name == "ETag")
            v.etag = value;
        else if (name == "Last-Modified")
            v.lastModified = value;
    }
    if (v.url.isEmpty() || v.isEmpty())
        return std::nullopt;
    // A file written before kept the password: it goes now.
    if (WithoutUserInfo(v.url) != v.url) {
        v.url = WithoutUserInfo(v.url);
        (void)WriteValidators(picture, v);
    }
    return v;
}

bool WriteValidators(const QString &picture, const PictureValidators &v)
{
    const QString path = ValidatorsFileOf(picture);
    const QString url = WithoutUserInfo(v.url);
    if (v.isEmpty() || !Usable(v.etag) || !Usable(v.lastModified) || url.contains(u'\n') || url.contains(u'\r')) {
        QFile::remove(path);
        return v.isEmpty();
    }
    QByteArray text = "URL: " + url.toUtf8() + "\r\n";
    if (!v.etag.isEmpty())
        text += "ETag: " + v.etag.toLatin1() + "\r\n";
    if (!v.lastModified.isEmpty())
        text += "Last-Modified: " + v.lastModified.toLatin1() + "\r\n";
    return WritePrivately(path, text);
}

QString DigestNoteFileOf(const QString &picture)
{
    return picture + QStringLiteral(".digest");
}

QString ReadDigestNote(const QString &picture)
{
    const auto text = ReadSmallFile(DigestNoteFileOf(picture));
    return text ? Checked(QString::fromUtf8(*text)) : QString();
}

bool WriteDigestNote(const QString &picture, const QString &origin)
{
    return Usable(origin) && WritePrivately(DigestNoteFileOf(picture), origin.toUtf8() + "\r\n");
}

PrivateTarget MakePrivateTarget(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return PrivateTarget::Failed;
        if (S_ISREG(st.st_mode)) {
            const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
            const bool done = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
                              && ::fchmod(fd, st.st_mode & 0700) == 0;
            if (fd >= 0)
                ::close(fd);
            return done ? PrivateTarget::Existing : PrivateTarget::Failed;
        }
        // A link, a FIFO or the like: the replace would put a file there anyway.
        if (::unlink(name.constData()) != 0)
            return PrivateTarget::Failed;
    } else if (errno != ENOENT) {
        return PrivateTarget::Failed;
    }
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return PrivateTarget::Failed;
    const bool done = ::fchmod(fd, 0600) == 0;  // a umask may have taken the owner's rights too
    ::close(fd);
    if (!done)
        ::unlink(name.constData());
    return done ? PrivateTarget::Created : PrivateTarget::Failed;
}

} // namespace lumetta
