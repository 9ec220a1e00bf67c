#include "service/KorvaneAboutBox.h"

#include "net/HttpCli.h"
#include "net/ResponseFile.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "service/VersionCheck.h"

#include <QFile>
#include <QScopeGuard>
#include <QCoreApplication>

namespace lumetta {

namespace {

// A time-out of 0 means "no limit" for webcams; the version check still
// gets one, so the about panel never waits without end.
constexpr int FallbackTimeOutSeconds = 30;

// One line per product: a reply past this is no version file.
constexpr qint64 MaxVersionFileBytes = qint64(1) << 20;

int TimeLimitMs(int seconds)
{
    return (seconds <= 0 ? FallbackTimeOutSeconds : qMin(seconds, 3600)) * 1000;
}

} // namespace

TKorvaneAboutBox::TKorvaneAboutBox(Dialogs &dialogs, SystemShell &shell, TimeSource &time)
    : TimeOutTimer(time), m_dialogs(dialogs), m_shell(shell)
{
    TimeOutTimer.setInterval(0);
    TimeOutTimer.OnTimer = [this] {
        TimeOutTimer.setInterval(0);
        if (m_http)
            m_http->Abort();
    };
}

TKorvaneAboutBox::~TKorvaneAboutBox()
{
    if (m_http)
        m_http->Abort();
}

void TKorvaneAboutBox::butUpdatesClick()
{
    if (m_checking)
        return;
    m_checking = true;
    const auto done = qScopeGuard([this] { m_checking = false; });
    const QString key = appName().trimmed();
    if (m_dialogs.ask(
            QCoreApplication::translate("KorvaneAboutBox",
                                        "You are about to check for the latest version.\r\n You must be connected to "
                                        "the internet for this.\r\n\r\nDo you wish to continue?"),
            QuestionKind::YesNo,
            QCoreApplication::translate("KorvaneAboutBox", "Check for latest version?")) != DialogButton::Yes)
        return;
    QString latest;
    if (IsNewCurrentVersion(key, latest)) {
        if (m_dialogs.ask(QCoreApplication::translate("KorvaneAboutBox",
                                                      "A newer version has been found (v%1)\r\n\r\n"
                                                      "Would you like to read about it?")
                              .arg(latest),
                          QuestionKind::YesNo,
                          QCoreApplication::translate("KorvaneAboutBox", "New Version Found")) == DialogButton::Yes)
            (void)OpenWebLink(m_shell, SupportLinksFor(VendorSite(), productPath()).whatsNew);
        return;
    }
    m_dialogs.beep();
    m_dialogs.showMessage(LatestVersionMessage(latest));
}

bool TKorvaneAboutBox::IsNewCurrentVersion(const QString &key, QString &latest)
{
    const QString version = appVersion();
    const QString current = version.mid(version.indexOf(QLatin1Char(' ')) + 1).trimmed();
    const QString fileName = tempFolder() + QStringLiteral("temp.txt");
    QByteArray content;
    if (GetUrl(VendorSite() + QStringLiteral("/upgrades.txt"), fileName)) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly))
            content = file.read(MaxVersionFileBytes);
    } else {
        // Whatever part of a failed reply arrived holds no version line.
        m_dialogs.showMessage(QCoreApplication::translate("KorvaneAboutBox", "Error: Information not found"));
    }
    QFile::remove(fileName);
    latest = LatestVersionIn(content, key);
    return IsNewerVersion(latest, current);
}

bool TKorvaneAboutBox::GetUrl(const QString &url, const QString &fileName)
{
    // A client of its own with its defaults: no proxy of the main window's.
    THttpCli http;
    ResponseFile out(fileName, [&http] { http.Abort(); }, MaxVersionFileBytes);
    if (!out.open())
        return false;
    http.URL = url;
    http.RcvdStream = &out;
    m_http = &http;
    const auto done = qScopeGuard([&] {
        TimeOutTimer.setInterval(0);
        m_http = nullptr;
        http.RcvdStream = nullptr;
    });
    TimeOutTimer.setInterval(TimeLimitMs(timeOutSeconds ? timeOutSeconds() : 0));
    bool ok = false;
    try {
        http.Get();
        ok = http.StatusCode() == 200;
    } catch (const std::exception &) {
        ok = false;
    }
    out.close();
    return ok && out.complete();
}

} // namespace lumetta
