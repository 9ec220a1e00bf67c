#include "download/ImageFetch.h"

#include "common/Errors.h"
#include "common/Subs.h"
#include "download/CamSchedule.h"
#include "download/PictureValidators.h"
#include "net/CaFile.h"
#include "imaging/DCImageInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

namespace {

// The received picture takes the target's place by a rename, so it is
// written once, with the target's (private) mode. On another file system,
// or if anything fails on the way, it is copied as before.
bool PlacePicture(const QString &temp, const QString &destination)
{
    const QByteArray from = QFile::encodeName(temp), to = QFile::encodeName(destination);
    struct stat target {};
    const int fd = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const bool ready = fd >= 0 && ::lstat(to.constData(), &target) == 0 && S_ISREG(target.st_mode)
                       && ::fchmod(fd, target.st_mode & 07777) == 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (ready && ::rename(from.constData(), to.constData()) == 0)
        return true;
    return CopyFileAtomically(temp, destination, {}, ExistingLink::Replace);
}

// Undoes what a fetch set up on the shared client, on every way out.
class FetchGuard {
public:
    FetchGuard(THttpCli &http, Timer &timer, bool &busy) : m_http(http), m_timer(timer), m_busy(busy) { m_busy = true; }
    ~FetchGuard()
    {
        m_http.RcvdStream = nullptr;
        m_http.ModifiedSinceText.clear();
        m_http.IfNoneMatch.clear();
        m_timer.setInterval(0);
        m_busy = false;
    }

private:
    THttpCli &m_http;
    Timer &m_timer;
    bool &m_busy;
};

QString TooLargeText()
{
    return QCoreApplication::translate("ImageFetch", "The reply is larger than %1 MB, more than any picture or list")
        .arg(MaxDownloadBytes >> 20);
}

int TimeLimitMs(int seconds, int unsetSeconds)
{
    return (seconds <= 0 ? unsetSeconds : qMin(seconds, 24 * 3600)) * 1000;
}

} // namespace

void SetMainWindowHttpDefaults(THttpCli &http)
{
    http.Proxy = QStringLiteral("127.0.0.1");
    http.ProxyPort = QStringLiteral("8088");
    http.NoCache = true;
}

QString HeaderText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    return text;
}

ImageFetch::ImageFetch(THttpCli &http, QString appPath, std::function<FetchSettings()> settings, const DebugLog *log,
                       TimeSource &time)
    : TimeOutTimer(time), m_http(http), m_appPath(std::move(appPath)), m_settings(std::move(settings)), m_log(log)
{
    TimeOutTimer.setInterval(0);
    TimeOutTimer.OnTimer = [this] { TimeOutTimerTimer(); };
}

void ImageFetch::step(const QString &message) const
{
    if (m_log)
        m_log->step(message);
}

void ImageFetch::applyNetworkSettings(const FetchSettings &settings)
{
    if (settings.useProxy) {
        if (!settings.proxyServer.trimmed().isEmpty())
            m_http.Proxy = settings.proxyServer;
        if (settings.proxyPort > 0)
            m_http.ProxyPort = QString::number(settings.proxyPort);
    } else {
        m_http.Proxy.clear();
        m_http.ProxyPort.clear();
    }
    // Read at each fetch, like every setting: a file the user fixes counts at once.
    const CaFile ca = ReadCaFile(settings.caFile);
    m_http.ExtraCaCertificates = ca.certificates;
    m_caProblem = ca.error;
}

QString ImageFetch::withCaProblem(const QString &failure) const
{
    if (m_caProblem.isEmpty() || m_http.RequestDoneError() != wsa::TlsFailed)
        return failure;
    return failure + QStringLiteral(" (") + m_caProblem + u')';
}

std::optional<FetchResult> ImageFetch::refusal(const QString &url) const
{
    if (url.trimmed().isEmpty())
        return FetchResult{false, {}, QCoreApplication::translate("ImageFetch", "No URL")};
    // The shared client serves one request; touching its properties or
    // stream now would spoil the running one.
    if (m_busy || m_http.State() != httpReady) {
        FetchResult busy{false, {}, QCoreApplication::translate("ImageFetch", "Another download is still running")};
        busy.refused = true;
        return busy;
    }
    return std::nullopt;
}

QString ImageFetch::runRequest(int timeOutSeconds, int unsetSeconds)
{
    const int limitMs = TimeLimitMs(timeOutSeconds, unsetSeconds);
    m_timedOut = false;
    TimeOutTimer.setInterval(limitMs);
    try {
        m_http.Get();
    } catch (const std::exception &e) {
        // The client's text for an abort does not say who ended it.
        if (m_http.RequestDoneError() != httperr::Aborted)
            return QString::fromStdString(e.what());
        return m_timedOut
                   ? QCoreApplication::translate("ImageFetch", "No complete answer within %1 s").arg(limitMs / 1000)
                   : QCoreApplication::translate("ImageFetch", "Download stopped");
    }
    // The wait ends early only when the program leaves all its event loops.
    if (m_http.State() != httpReady) {
        m_http.Abort();
        return QCoreApplication::translate("ImageFetch", "Stopped: Lumetta is closing");
    }
    return {};
}

FetchResult ImageFetch::GetCamImage(const QString &url, const QString &destination, int timeOutSeconds)
{
    step(QStringLiteral("1 - GetCamImage start"));
    if (auto refused = refusal(url))
        return *refused;
    FetchGuard guard(m_http, TimeOutTimer, m_busy);
    FetchResult result;
    // The first reason found is the one reported.
    auto refuse = [&result](const QString &why) {
        result.ok = false;
        if (result.failure.isEmpty())
            result.failure = why;
    };

    applyNetworkSettings(m_settings ? m_settings() : FetchSettings());
    m_http.URL = url;
    // Kept for later list downloads too, so never with credentials.
    m_http.Reference = WithoutUserInfo(url.left(LastPos(url, QStringLiteral("/"))));

    step(QStringLiteral("2 - GetCamImage"));
    const QString temp = TempImageFile();
    ResponseFile stream(temp, [this] { m_http.Abort(); });
    if (!stream.open()) {
        refuse(stream.errorString());
        step(QStringLiteral("3 - GetCamImage"));
        return result;
    }
    // The working file goes on every way out; the picture is moved or copied from it.
    const auto removeTemp = qScopeGuard([&temp] { QFile::remove(temp); });
    m_http.RcvdStream = &stream;
    // Validators only for the picture they describe, and only while it is there.
    const QFileInfo stored(destination);
    const auto validators = !stored.isSymLink() && stored.isFile() ? ReadValidators(destination) : std::nullopt;
    const bool conditional = validators && validators->url == WithoutUserInfo(url);
    if (conditional) {
        m_http.IfNoneMatch = validators->etag;
        m_http.ModifiedSinceText = validators->lastModified;
    }
    // A server that asked for Digest in an earlier run gets no Basic first.
    const QString origin = UrlOrigin(url);
    const bool digestNoted = !origin.isEmpty() && ReadDigestNote(destination) == origin;
    if (digestNoted)
        m_http.ExpectDigest(url);

    step(QStringLiteral("3a - GetCamImage"));
    if (OnAdminHeader)
        OnAdminHeader({});

    step(QStringLiteral("4 - GetCamImage"));
    const QString requestFailure = runRequest(timeOutSeconds, UnsetPictureTimeOutSeconds);
    QCoreApplication::processEvents();
    result.ok = requestFailure.isEmpty();
    if (stream.tooLarge())
        refuse(TooLargeText());  // the reason, not the abort it caused
    if (!result.ok)
        refuse(withCaProblem(requestFailure));

    step(QStringLiteral("5 - GetCamImage"));
    if (!digestNoted && !origin.isEmpty() && m_http.AskedForDigest(url))
        (void)WriteDigestNote(destination, origin);
    // A server that answered without asking for Digest has dropped it: the
    // next fetch may send what it asks for now.
    else if (digestNoted && m_http.StatusCode() > 0 && !m_http.AskedForDigest(url))
        QFile::remove(DigestNoteFileOf(destination));
    result.reachedServer = m_http.ReachedServer();
    result.header = HeaderText(m_http.RcvdHeader());
    if (OnAdminHeader)
        OnAdminHeader(m_http.RcvdHeader());
    m_http.RcvdStream = nullptr;
    stream.close();
    result.bytes = QFileInfo(temp).size();

    step(QStringLiteral("6 - GetCamImage"));
    bool isImage = false;
    // An MJPEG stream's picture is typed by its part; a part naming no
    // type is judged by its bytes alone.
    const bool fromStream = m_http.TookStreamPart();
    const QString contentType = fromStream ? m_http.PartContentType()
                                           : GetHeaderValue(QStringLiteral("Content-Type"), m_http.RcvdHeader());
    if (stream.tooLarge()) {
        result.ok = false;
    } else if (result.ok && conditional && m_http.StatusCode() == 304) {
        // The picture we hold is still the server's: nothing is written.
        result.unchanged = true;
        refuse(QCoreApplication::translate("ImageFetch", "The webcam still shows the last picture"));
    } else if (!contentType.contains(QLatin1String("image/")) && !(fromStream && contentType.isEmpty())) {
        refuse(QCoreApplication::translate("ImageFetch", "Content type \"%1\" is not an image").arg(contentType));
    } else if (!QFileInfo::exists(temp)) {
        refuse(QCoreApplication::translate("ImageFetch", "No picture was received"));
    } else if (!stream.complete()) {
        refuse(QCoreApplication::translate("ImageFetch",
                                           "The picture could not be written whole"));  // a body cut short by the disk
    } else {
        TDCImageInfo info;
        info.ReadImageInfo(temp);
        isImage = info.ImageType == TDCImageInfo::Gif || info.ImageType == TDCImageInfo::Jpeg;
        if (!isImage)
            refuse(QCoreApplication::translate("ImageFetch", "The picture is no GIF or JPEG"));
    }

    step(QStringLiteral("7 - GetCamImage"));
    if (isImage) {
        if (m_http.StatusCode() != 200) {
            refuse(
                QCoreApplication::translate("ImageFetch", "Status %1 brings no new picture").arg(m_http.StatusCode()));
        } else {
            bool same = false;
            try {
                // A link planted as the picture is never read nor written through.
                const QFileInfo old(destination);
                same = !old.isSymLink() && old.isFile() && FilesEqual(destination, temp);
            } catch (const Error &) {
                same = false;  // an unreadable old picture is replaced like a different one
            }
            result.unchanged = same;
            if (same)
                refuse(QCoreApplication::translate("ImageFetch", "The webcam still shows the last picture"));
            // A failed copy keeps the old file, and its validators. They go
            // with the URL the next fetch asks: after a temporary
            // relocation the same one, so its 304 still comes.
            const PrivateTarget target = FileSizeOf(temp) > 0 ? MakePrivateTarget(destination) : PrivateTarget::Failed;
            if (target != PrivateTarget::Failed && PlacePicture(temp, destination))
                (void)WriteValidators(destination, ValidatorsOf(RelocatedImageUrl(url, m_http.RcvdHeader()),
                                                                FinalResponseHeader(m_http.RcvdHeader())));
            else if (target == PrivateTarget::Created)
                QFile::remove(destination);
        }
    }

    step(QStringLiteral("8 - GetCamImage"));
    TimeOutTimer.setInterval(0);
    return result;
}

FetchResult ImageFetch::GetUrlToFile(const QString &url, const QString &fileName, int timeOutSeconds)
{
    if (auto refused = refusal(url))
        return *refused;

    const FetchSettings settings = m_settings ? m_settings() : FetchSettings();
    // The body goes to a file beside the target, which takes the target's
    // place only for a whole reply: a failed fetch loses nothing.
    const QString partial = fileName + QStringLiteral(".part");
    ResponseFile stream(partial, [this] { m_http.Abort(); });
    if (!stream.open())
        throw FileError(QCoreApplication::translate("ImageFetch", "Cannot create file \"%1\". %2")
                            .arg(fileName, stream.errorString()));

    FetchGuard guard(m_http, TimeOutTimer, m_busy);
    applyNetworkSettings(settings);
    m_http.URL = url;
    if (settings.showingAd)
        m_http.Reference = QStringLiteral("http://Lumetta");
    m_http.RcvdStream = &stream;

    FetchResult result;
    result.failure = runRequest(timeOutSeconds, UnsetFileTimeOutSeconds);
    if (stream.tooLarge())
        result.failure = TooLargeText();
    result.header = HeaderText(m_http.RcvdHeader());
    m_http.RcvdStream = nullptr;
    if (!result.failure.isEmpty())
        result.failure = withCaProblem(result.failure);
    if (result.failure.isEmpty() && m_http.StatusCode() != 200)
        result.failure = QStringLiteral("Status %1 %2").arg(m_http.StatusCode()).arg(m_http.ReasonPhrase());
    if (result.failure.isEmpty() && !stream.complete())
        result.failure = QCoreApplication::translate("ImageFetch", "Cannot write file \"%1\". %2")
                             .arg(fileName, stream.errorString());
    if (result.failure.isEmpty() && ::fsync(int(stream.handle())) != 0)
        result.failure = QString::fromLocal8Bit(std::strerror(errno));
    stream.close();
    if (result.failure.isEmpty() && std::rename(QFile::encodeName(partial).constData(),
                                                QFile::encodeName(fileName).constData()) != 0)
        result.failure = QString::fromLocal8Bit(std::strerror(errno));
    if (!result.failure.isEmpty())
        QFile::remove(partial);
    result.ok = result.failure.isEmpty();
    TimeOutTimer.setInterval(0);
    return result;
}

void ImageFetch::TimeOutTimerTimer()
{
    m_timedOut = true;
    m_http.Abort();
    TimeOutTimer.setInterval(0);
    if (OnTimedOut)
        OnTimedOut();
}

QString MakeLocalFileName(const QString &url, const QString &downloadDir, QStringList &localFileList,
                          const std::function<void()> &processMessages)
{
    const QString name = MakeLocalFileName(
        url, downloadDir, [&localFileList](const QString &n) { return localFileList.contains(n, Qt::CaseInsensitive); },
        processMessages);
    localFileList << name;
    return name;
}

QString MakeLocalFileName(const QString &url, const QString &downloadDir,
                          const std::function<bool(const QString &name)> &isTaken,
                          const std::function<void()> &processMessages)
{
    QString text = url;
    text.replace(u'/', u'\\');
    QString name = text.mid(qMax(text.lastIndexOf(u'\\'), text.lastIndexOf(u':')) + 1);
    for (QChar c : {u'?', u'&', u'=', u'%', u'$'})
        name.remove(c);
    if (!name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
        && !name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive)
        && !name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive))
        name += QLatin1String(".jpg");
    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = name.left(dot);
    const QString extension = name.mid(dot);
    if (base.isEmpty() || base.size() >= 13)
        base = QStringLiteral("lumetta");
    name = base + extension;

    if (QFileInfo::exists(AddBackslash(downloadDir) + name)) {
        const qsizetype dash = base.lastIndexOf(u'-');
        if (dash >= 0 && IsNumber(base.mid(dash + 1)))
            base.truncate(dash);
        for (int n = 1;; ++n) {
            name = base + u'-' + QString::number(n) + extension;
            if (!isTaken(name))
                break;
            if (processMessages)
                processMessages();
        }
    }
    return name;
}

} // namespace lumetta
