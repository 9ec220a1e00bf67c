#pragma once
// The about panel's version check. The panel's labels live in the main
// window; this class reads them through the functions it is given, at the
// moment it needs them.
#include "platform/Timer.h"

#include <QString>
#include <functional>
#include <memory>

namespace lumetta {

class Dialogs;
class SystemShell;
class THttpCli;

class TKorvaneAboutBox {
public:
    TKorvaneAboutBox(Dialogs &dialogs, SystemShell &shell, TimeSource &time);
    ~TKorvaneAboutBox();  // a request still waiting is aborted

    std::function<QString()> appName;     // lblAppName's text: the product key
    std::function<QString()> appVersion;  // lblAppVersion's text: "Version " + the version
    std::function<QString()> productPath;
    std::function<QString()> tempFolder;  // where "temp.txt" is written; ends with '/'
    // No request keeps the window waiting longer than this.
    std::function<int()> timeOutSeconds;

    // "Check for updates". A click while a check waits does nothing, so an
    // unreachable site is reported once.
    void butUpdatesClick();
    // latest: the product's version in the file, or "unknown".
    bool IsNewCurrentVersion(const QString &key, QString &latest);
    // The body of a 200 reply into fileName, made anew; errors give false.
    bool GetUrl(const QString &url, const QString &fileName);

    bool checking() const { return m_checking; }
    Timer TimeOutTimer;

private:
    Dialogs &m_dialogs;
    SystemShell &m_shell;
    THttpCli *m_http = nullptr;  // the request in progress, owned by GetUrl
    bool m_checking = false;
};

} // namespace lumetta
