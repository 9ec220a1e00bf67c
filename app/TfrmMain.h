#pragma once
// The main window: catalogue list and editor, every option page, and the
// set-up and shutdown of a run. Decisions live in RunMode, SettingsTable and
// StartupFiles; this class wires them to the controls.
#include "app/RunMode.h"
#include "app/SettingsTable.h"
#include "platform/Timer.h"
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QButtonGroup;
class QListWidgetItem;
class QMenu;

namespace Ui {
class TfrmMain;
}

namespace lumetta {

class Clock;
class Dialogs;
class SystemShell;

struct MainServices {
    Dialogs &dialogs;
    SystemShell &shell;
    const Clock &clock;
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

    // Catalogue list and editor; the editing itself builds on these.
    void RebuildSiteList();
    void SiteListClick();
    void SaveCurrentCam();
    void SiteListClickCheck(QListWidgetItem *item);
    void RefreshCountDependents();

    Ui::TfrmMain *ui() const { return m_ui.get(); }

    // Shared run state that the other parts of the program read.
    const bool ScreenSaverMode;
    const bool ConfigMode;
    const bool AdminMode;
    QString AppPath;
    QString DataFileName;
    QString BackupFileName;
    QString SampleImageFile;
    QString VersionString;
    QString ProductPath;
    QString Categories;
    QString SelectedCats;
    QString MainListUrl;
    QString AdultListUrl;
    int EnableAA = 0;

    QStringList CamData;
    QStringList ImageUrlList;   // compared with case
    QStringList LocalFileList;  // compared ignoring case
    QStringList SelectedCatList;
    QStringList ImportList;
    int EnabledCount = 0;
    int AdultCount = 0;

    Timer SSTimer;
    Timer CameraTimer;
    Timer TimeOutTimer;
    Timer ClickNowTimer;

    // Set by the download engine: aborts the request in progress.
    std::function<void()> AbortRequest;
    // Set by the slide show: what "Start Slide Show" does.
    std::function<void()> StartSlideShow;
    // Set by the image window: its caption follows the font size while this
    // window is the active one.
    std::function<void(int pointSize)> CaptionFontSizeChanged;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupControls();
    void showPage(QWidget *page, bool shown);
    void connectSetting(const SettingSpec &spec);
    void loadPhase(LoadPhase phase);
    void loadSetting(const SettingSpec &spec);
    void settingChanged(const SettingSpec &spec);
    void refreshOptionDependents();
    void updateIntervalSteps();
    void applyCaptionBackground();
    void applyCaptionFont();
    void placeCaptionSample();
    void setCaptionColor(const QColor &color);
    void setCaptionBackground(const QColor &color);
    void setBackgroundColor(const QColor &color);
    void loadCategories();
    void lstSelectedCatsClickCheck();
    void showAdultOffersBox();

    void butSlideshowClick();
    void butBrowseClick();
    void CaptionColorClick();
    void CaptionBGClick();
    void butBGcolorClick();
    void SpeedButton4Click();
    void listFileBrowse(const char *edit, const char *name);

    std::unique_ptr<Ui::TfrmMain> m_ui;
    Dialogs &m_dialogs;
    SystemShell &m_shell;
    const Clock &m_clock;
    QButtonGroup *m_imageSizeGroup = nullptr;
    QMenu *m_siteListMenu = nullptr;
    bool m_loadingCategories = false;
    bool m_loading = false;
};

} // namespace lumetta
