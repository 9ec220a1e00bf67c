#include "download/PictureValidators.h"

#include "common/AtomicFile.h"
#include "common/Subs.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace

QString ValidatorsFileOf(const QString &picture)
{
    return picture + QStringLiteral(".validators");
}

PictureValidators ValidatorsOf(const QString &url, const QStringList &finalHeader)
{
    PictureValidators v;
    v.url = url;
    v.etag = Checked(GetHeaderValue(QStringLiteral("ETag"), finalHeader));
    v.lastModified = Checked(GetHeaderValue(QStringLiteral("Last-Modified"), finalHeader));
    return v;
}

std::optional<PictureValidators> ReadValidators(const QString &picture)
{
    const QString path = ValidatorsFileOf(picture);
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() > MaxFile)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    PictureValidators v;
    const QList<QByteArray> lines = file.read(MaxFile).split('\n');
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
    return v;
}

bool WriteValidators(const QString &picture, const PictureValidators &v)
{
    const QString path = ValidatorsFileOf(picture);
    if (v.isEmpty() || !Usable(v.etag) || !Usable(v.lastModified) || v.url.contains(u'\n') || v.url.contains(u'\r')) {
        QFile::remove(path);
        return v.isEmpty();
    }
    QByteArray text = "URL: " + v.url.toUtf8() + "\r\n";
    if (!v.etag.isEmpty())
        text += "ETag: " + v.etag.toLatin1() + "\r\n";
    if (!v.lastModified.isEmpty())
        text += "Last-Modified: " + v.lastModified.toLatin1() + "\r\n";
    AtomicFileWriter writer(path, ExistingLink::Replace);
    if (writer.open() && writer.write(text) && writer.commit())
        return true;
    QFile::remove(path);
    return false;
}

} // namespace lumetta
