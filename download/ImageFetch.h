#pragma once
// Fetching one resource into a local file on the main window's shared HTTP
// client, with the program's proxy settings and a time limit. GetCamImage
// accepts only a new GIF or JPEG; GetUrlToFile takes whatever status 200
// brings. Settings are read at the moment a fetch starts, never cached.
#include "download/DebugLog.h"
#include "net/HttpCli.h"
#include "platform/Timer.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace lumetta {

// The main window's network controls as they stand when a fetch starts.
struct FetchSettings {
    bool useProxy = false;  // chkProxy
    QString proxyServer;    // ProxyServer's text
    int proxyPort = 0;      // ProxyPort's value
    bool showingAd = false;  // an advertisement image is on screen
};

// The values the main window's Http carries before any fetch sets its own.
void SetMainWindowHttpDefaults(THttpCli &http);

class ImageFetch {
public:
    // appPath ends with our path separator; the log may be null.
    ImageFetch(THttpCli &http, QString appPath, std::function<FetchSettings()> settings,
               const DebugLog *log = nullptr, TimeSource &time = RealTimeSource());

    // True: a new GIF or JPEG is in destination. Never raises for a failed
    // fetch.
    bool GetCamImage(const QString &url, const QString &destination, QString &header, int timeOutSeconds);
    // True: status 200 without error, the body in fileName. A file that
    // cannot be created raises FileError.
    bool GetUrlToFile(const QString &url, const QString &fileName, QString &header, int timeOutSeconds);

    // The time limit of both fetches; interval 0 except while one waits.
    Timer TimeOutTimer;
    void TimeOutTimerTimer();

    // memoAdmin: the header lines of the last image fetch (cleared first).
    std::function<void(const QStringList &lines)> OnAdminHeader;
    // The countdown label turns red and restarts when the limit strikes.
    std::function<void()> OnTimedOut;

    QString TempImageFile() const { return m_appPath + QStringLiteral("$$$pic"); }
    // Why the last fetch failed, for the log and the administration page.
    QString LastFailure() const { return m_lastFailure; }

private:
    void applyNetworkSettings(const FetchSettings &settings);
    // False for an empty URL, or while the shared client is busy.
    bool mayStart(const QString &url, QString &header);
    void step(const QString &message) const;

    THttpCli &m_http;
    QString m_appPath;
    std::function<FetchSettings()> m_settings;
    const DebugLog *m_log;
    bool m_busy = false;
    QString m_lastFailure;
};

// The local image file name for a webcam's image URL, unique among
// localFileList (compared without case) when the plain name already exists
// in downloadDir; the name is added to the list. processMessages runs
// between tries of the numbered search.
QString MakeLocalFileName(const QString &url, const QString &downloadDir, QStringList &localFileList,
                          const std::function<void()> &processMessages = {});

// Every header line followed by CR LF, status line first.
QString HeaderText(const QStringList &lines);

} // namespace lumetta
