#include "slideshow/ShowingNow.h"

#include "common/AtomicFile.h"
#include "common/Subs.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

namespace {
// A few names and numbers: anything larger is not ours.
constexpr qint64 MaxShowingBytes = 64 * 1024;
} // namespace

QString ShowingFilePath()
{
    return RuntimeFolder() + QStringLiteral("/Lumetta_SHOWING");
}

QByteArray FormatShowing(const Showing &s)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("file"), s.file},
                                     {QStringLiteral("caption"), s.caption},
                                     {QStringLiteral("webcam"), s.webcamNumber},
                                     {QStringLiteral("pictureTime"), s.pictureTime},
                                     {QStringLiteral("interval"), s.interval}})
        .toJson(QJsonDocument::Compact);
}

std::optional<Showing> ParseShowing(const QByteArray &text, const QString &downloadDir)
{
    const QJsonObject o = QJsonDocument::fromJson(text).object();
    Showing s{o.value(QStringLiteral("file")).toString(), o.value(QStringLiteral("caption")).toString(),
              o.value(QStringLiteral("webcam")).toString(), o.value(QStringLiteral("pictureTime")).toDouble(),
              o.value(QStringLiteral("interval")).toDouble()};
    // Compared as the disk has them: no ".." or link leads out.
    const QString folder = QDir(downloadDir).canonicalPath();
    const QString picture = QFileInfo(s.file).canonicalFilePath();
    if (s.file.isEmpty() || folder.isEmpty() || !picture.startsWith(folder + QLatin1Char('/')))
        return std::nullopt;
    return s;
}

std::optional<Showing> ReadShowing(const QString &path, const QString &downloadDir)
{
    // Another user's file in a shared temporary folder is not ours to follow.
    const QFileInfo info(path);
    if (!info.exists() || info.ownerId() != ::getuid())
        return std::nullopt;
    const FileRead read = ReadRegularFile(path, MaxShowingBytes, FileLinks::Refuse);
    return read.bytes ? ParseShowing(*read.bytes, downloadDir) : std::nullopt;
}

QString PublishingDisplay::DisplayImage(const QString &file)
{
    const QString shown = m_display.DisplayImage(file);
    m_showing.file = QFileInfo(shown).absoluteFilePath();
    return shown;
}

void PublishingDisplay::setWebcamNumber(const QString &text)
{
    m_showing.webcamNumber = text;
    m_display.setWebcamNumber(text);
}

void PublishingDisplay::setCaption(const QString &text)
{
    m_showing.caption = text;
    m_display.setCaption(text);
}

// The show sets the picture's time last of all it shows with a picture.
void PublishingDisplay::setPictureTime(TDateTime pictureTime, TDateTime interval)
{
    m_showing.pictureTime = pictureTime;
    m_showing.interval = interval;
    m_display.setPictureTime(pictureTime, interval);
    publish();
}

void PublishingDisplay::publish()
{
    if (m_showing.file.isEmpty() || m_showing == m_published)
        return;
    // Session state, rewritten with each picture: renamed whole into place
    // so a copy never reads half of it, but not synced, which would cost a
    // disk write a picture for nothing a crash needs.
    const QString temp = m_path + QStringLiteral(".new");
    const int fd = CreateFreshFile(temp);
    if (fd < 0)
        return;
    const QByteArray text = FormatShowing(m_showing);
    const bool written = ::fchmod(fd, 0600) == 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    if (written && ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(m_path).constData()) == 0)
        m_published = m_showing;
    else
        QFile::remove(temp);
}

} // namespace lumetta
