#include "app/DownloadEngine.h"

#include "app/RunState.h"
#include "app/SettingsTable.h"
#include "app/StartupFiles.h"
#include "common/Subs.h"
#include "download/DebugLog.h"
#include "download/ImageFetch.h"
#include "net/HttpCli.h"
#include "platform/Platform.h"
#include "slideshow/SlideShow.h"
#include "slideshow/StoredShowSettings.h"
#include "slideshow/TickLog.h"
#include "ui_TfrmMain.h"

#include <QCoreApplication>
#include <QScopeGuard>

namespace lumetta {

DownloadEngine::DownloadEngine(const PageContext &context, Hooks hooks)
    : m_ctx(context), m_hooks(std::move(hooks))
{
}

DownloadEngine::~DownloadEngine()
{
    // A request still waiting must not call back into a half-destroyed window.
    if (m_http)
        m_http->Abort();
}

void DownloadEngine::create()
{
    Ui::TfrmMain *ui = m_ctx.ui;
    RunState &run = m_ctx.run;
    m_http = std::make_unique<THttpCli>();
    SetMainWindowHttpDefaults(*m_http);
    // debug.log belongs to the run that fetches.
    m_debugLog = std::make_unique<DebugLog>(
        [ui, &run] { return ui->DebugMode->isChecked() && !run.ViewOnly; }, run.AppPath);
    m_fetch = std::make_unique<ImageFetch>(*m_http, run.AppPath, [this] { return fetchSettings(); },
                                           m_debugLog.get(), m_ctx.time);
    m_fetch->OnTimedOut = [this] {
        m_display->setCountdownColour(Qt::red);
        m_display->resetCountdown();
    };

    SlideShowHooks hooks;
    hooks.settings = [this] { return showSettings(); };
    hooks.fetch = [this](const QString &url, const QString &file, int timeOutSeconds) {
        if (m_fetchesRunning++ == 0 && m_hooks.fetchRunning)
            m_hooks.fetchRunning(true);
        const auto ended = qScopeGuard([this] {
            if (--m_fetchesRunning == 0 && m_hooks.fetchRunning)
                m_hooks.fetchRunning(false);
        });
        const FetchResult result = m_fetch->GetCamImage(url, file, timeOutSeconds);
        return CamFetch{result.ok,        m_http->RcvdHeader(), result.failure, !result.reachedServer,
                        result.unchanged, result.bytes,         result.refused};
    };
    hooks.editorRecord = m_hooks.editorRecord;
    // A screen-saver run never shows the main window: minimising would.
    hooks.minimiseMainWindow = [window = m_ctx.window] {
        if (window->isVisible())
            window->showMinimized();
    };
    hooks.endApplication = [] { QCoreApplication::quit(); };
    hooks.abortFetch = [this] { m_http->Abort(); };
    hooks.recordChanged = m_hooks.recordChanged;
    m_tickLog = std::make_unique<TickLog>(qEnvironmentVariable("LUMETTA_TICK_LOG"));
    hooks.tickDone = [this](const TickReport &report) { m_tickLog->write(report); };
    m_slideShow = std::make_unique<SlideShow>(run, *m_display, std::move(hooks), m_ctx.clock, m_debugLog.get());
}

void DownloadEngine::setShowDisplay(ShowDisplay &display)
{
    m_display = &display;
    if (m_slideShow)
        m_slideShow->setDisplay(display);
}

FetchSettings DownloadEngine::fetchSettings() const
{
    FetchSettings f = ReadFetchSettings();
    f.showingAd = m_ctx.run.state().ShowingAd;
    return f;
}

// The stored options, and what only this run knows.
ShowSettings DownloadEngine::showSettings() const
{
    const RunState &run = m_ctx.run;
    ShowSettings s = ReadShowSettings(run.AppPath);
    s.viewOnly = run.ViewOnly;
    s.selectedIndex = m_ctx.ui->SiteList->currentRow();
    s.selectedCats = run.SelectedCats;
    s.selectedCatList = run.SelectedCatList;
    s.playRefresh = ValueFromTime(m_ctx.ui->dtRefreshRate->time());
    return s;
}

} // namespace lumetta
