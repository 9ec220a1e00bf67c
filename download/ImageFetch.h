#pragma once
// Fetching one resource into a local file on the main window's shared HTTP
// client, with the program's proxy settings and a time limit. GetCamImage
// accepts only a new GIF or JPEG; GetUrlToFile takes whatever status 200
// brings. Settings are read at the moment a fetch starts, never cached.
#include "download/DebugLog.h"
#include "net/HttpCli.h"
#include "net/ResponseFile.h"
#include "platform/Timer.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace lumetta {

// The main window's network controls as they stand when a fetch starts.
struct FetchSettings {
    bool useProxy = false;  // chkProxy
    QString proxyServer;    // ProxyServer's text
    int proxyPort = 0;      // ProxyPort's value
    bool showingAd = false;  // an advertisement image is on screen
    QString caFile = {};    // extra CA certificates (PEM) for https; empty: none
};

// What one fetch brought. The header is every received line followed by
// CR LF, status line first; failure says why ok is false.
struct [[nodiscard]] FetchResult {
    bool ok = false;
    QString header;
    QString failure;
    bool reachedServer = false;  // a connection was made, to the server or the proxy
    bool unchanged = false;      // the picture held still stands: the same bytes, or a 304
    qint64 bytes = 0;            // of the body received
    bool refused = false;        // never left the program: the shared client was busy
};

// A time-out of 0 means no limit of the user's, yet no exchange may hold the
// show or a dialog forever: a picture gets the order of a display time, a
// list as long as any sane list takes.
inline constexpr int UnsetPictureTimeOutSeconds = 5 * 60;
inline constexpr int UnsetFileTimeOutSeconds = 60 * 60;

// The values the main window's Http carries before any fetch sets its own.
void SetMainWindowHttpDefaults(THttpCli &http);

class ImageFetch {
public:
    // appPath ends with our path separator; the log may be null.
    ImageFetch(THttpCli &http, QString appPath, std::function<FetchSettings()> settings,
               const DebugLog *log = nullptr, TimeSource &time = RealTimeSource());

    // ok: a new GIF or JPEG is in destination. Never raises for a failed
    // fetch.
    FetchResult GetCamImage(const QString &url, const QString &destination, int timeOutSeconds);
    // ok: status 200 without error, the body in fileName; otherwise
    // fileName stays as it was. A file that cannot be created raises
    // FileError.
    FetchResult GetUrlToFile(const QString &url, const QString &fileName, int timeOutSeconds);

    // The time limit of both fetches; interval 0 except while one waits.
    Timer TimeOutTimer;
    void TimeOutTimerTimer();

    // memoAdmin: the header lines of the last image fetch (cleared first).
    std::function<void(const QStringList &lines)> OnAdminHeader;
    // The countdown label turns red and restarts when the limit strikes.
    std::function<void()> OnTimedOut;

    QString TempImageFile() const { return TempImageFileIn(m_appPath); }
    static QString TempImageFileIn(const QString &appPath) { return appPath + QStringLiteral("$$$pic"); }

private:
    void applyNetworkSettings(const FetchSettings &settings);
    // A TLS refusal also names what was wrong with the CA file.
    QString withCaProblem(const QString &failure) const;
    // Why a fetch cannot start: an empty URL, or the shared client busy.
    std::optional<FetchResult> refusal(const QString &url) const;
    // Runs the prepared request within the time limit; the failure text
    // when it raised or was stopped.
    QString runRequest(int timeOutSeconds, int unsetSeconds);
    void step(const QString &message) const;

    THttpCli &m_http;
    QString m_appPath;
    std::function<FetchSettings()> m_settings;
    const DebugLog *m_log;
    bool m_busy = false;
    bool m_timedOut = false;  // the limit, not anyone else, ended the request
    QString m_caProblem;
};

// The local image file name for a webcam's image URL, unique among
// localFileList (compared without case) when the plain name already exists
// in downloadDir; the name is added to the list. processMessages runs
// between tries of the numbered search.
QString MakeLocalFileName(const QString &url, const QString &downloadDir, QStringList &localFileList,
                          const std::function<void()> &processMessages = {});
// The same, asking isTaken whether a name is in use; it registers nothing.
QString MakeLocalFileName(const QString &url, const QString &downloadDir,
                          const std::function<bool(const QString &name)> &isTaken,
                          const std::function<void()> &processMessages = {});

// Every header line followed by CR LF, status line first.
QString HeaderText(const QStringList &lines);

} // namespace lumetta
