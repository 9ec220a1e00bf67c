#include "net/CaFile.h"

#include "common/Subs.h"

#include <QFile>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace lumetta {

namespace {

// What tells that the file changed, short of reading it.
struct FileIdentity {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified {};

    bool operator==(const FileIdentity &o) const
    {
        return path == o.path && device == o.device && inode == o.inode && size == o.size
               && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

CaFile ParseCaFile(const QString &path, const QByteArray &bytes)
{
    CaFile out;
    out.certificates = QSslCertificate::fromData(bytes, QSsl::Pem);
    if (out.certificates.isEmpty())
        out.error = QStringLiteral("CA file \"%1\" holds no PEM certificate").arg(path);
    return out;
}

} // namespace

CaFile ReadCaFile(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    // Parsing a large bundle costs more than a fetch: done again only when
    // the file changed.
    static std::mutex lock;
    static std::optional<FileIdentity> cachedFile;
    static CaFile cached;
    struct stat st {};
    std::optional<FileIdentity> identity;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        identity = FileIdentity{path, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    const std::lock_guard<std::mutex> guard(lock);
    if (identity && identity == cachedFile)
        return cached;
    const FileRead read = ReadRegularFile(path, MaxCaFileBytes);
    if (!read.bytes) {
        cachedFile.reset();
        return {{}, QStringLiteral("CA file \"%1\" cannot be read: %2").arg(path, read.error)};
    }
    cached = ParseCaFile(path, *read.bytes);
    cachedFile = identity;
    return cached;
}

} // namespace lumetta
