#pragma once
// The main window: the tab control, the start-up and shutdown of a run as
// named steps, and the one error path. Each page's controls belong to a
// page class of their own; decisions live in RunMode, SettingsTable and
// StartupFiles.
#include "app/RunMode.h"
#include "app/RunState.h"
#include "app/SettingsTable.h"
#include "catalogue/Catalogue.h"
#include "common/Errors.h"
#include "platform/Guarded.h"
#include "slideshow/DisplaySettings.h"
#include "slideshow/Sequencer.h"
#include "slideshow/ShowDisplay.h"
#include <QWidget>
#include <memory>

namespace Ui {
class TfrmMain;
}

namespace lumetta {

class AdminPage;
class CatalogueCommands;
class Clock;
class Dialogs;
class DownloadEngine;
class HealthPage;
class SettingsBinding;
class SlideShow;
class SlideShowPage;
class SupportPage;
class SystemShell;
class ToolsPage;
class WebcamOptionsPage;
class WebcamPage;

struct MainServices {
    Dialogs &dialogs;
    SystemShell &shell;
    const Clock &clock;
    TimeSource &time;
};

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    enum class SetupResult {
        Completed,
        EndProcess,        // screen saver or configuration before any normal run
        OfflineSaverStarted,
    };

    TfrmMain(const RunMode &mode, const MainServices &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Raises what the store or the catalogue raise; the caller hands it to
    // AppEventsException, and the steps after the failing one stay undone.
    SetupResult FormCreate();
    void FormDestroy();
    // Shows the bare message and lets the event loop go on.
    void AppEventsException(const QString &message);
    void butCloseClick();

    const Catalogue &catalogue() const { return m_run.catalogue; }

    Ui::TfrmMain *ui() const { return m_ui.get(); }

    // What the image window reads from the option controls, as they are now.
    DisplaySettings displaySettings() const;

    // The state this run shares with the slide show and the service tools.
    RunState &run() { return m_run; }
    const RunState &run() const { return m_run; }

    // The slide show exists once FormCreate knows the program folder; it
    // draws on a stand-in until the image window is given.
    SlideShow *slideShow();
    void setShowDisplay(ShowDisplay &display);
    // The slide-show and refresh controls as they stand now.
    ShowSettings showSettings() const;

private:
    template <typename Sender, typename Signal, typename Handler>
    void on(Sender *sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, Guarded(std::move(handler)));
    }

    void setupControls();
    // The start-up steps, in FormCreate's order.
    void arrangeAdminPages();
    bool resolveAppPath();
    void loadWindowSettings();
    SetupResult startScreenSaver();
    SetupResult startSlideShowAsScreenSaver();
    void arrangeConfigPages();
    void showPage(QWidget *page, bool shown);
    void showAdultOffersBox();

    void stepPage(int step);
    void butSlideshowClick();
    // The pages' "show" handlers.
    void PageControl1Change();

    // While the window lives, errors anywhere are shown by AppEventsException.
    ScopedErrorSink m_errorSink{[this](const QString &message) { AppEventsException(message); }};
    RunState m_run;
    Catalogue &m_cat = m_run.catalogue;
    TimeSource &m_time;
    std::unique_ptr<Ui::TfrmMain> m_ui;
    Dialogs &m_dialogs;
    SystemShell &m_shell;
    const Clock &m_clock;
    std::unique_ptr<SupportPage> m_support;
    std::unique_ptr<SlideShowPage> m_slideShowPage;
    std::unique_ptr<WebcamOptionsPage> m_options;
    std::unique_ptr<DownloadEngine> m_engine;
    std::unique_ptr<HealthPage> m_health;
    std::unique_ptr<WebcamPage> m_webcams;
    std::unique_ptr<CatalogueCommands> m_commands;
    std::unique_ptr<SettingsBinding> m_settings;
    std::unique_ptr<ToolsPage> m_tools;
    std::unique_ptr<AdminPage> m_admin;
};

} // namespace lumetta
