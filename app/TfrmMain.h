#pragma once
// The main window: catalogue list and editor, every option page, and the
// set-up and shutdown of a run. Decisions live in RunMode, SettingsTable and
// StartupFiles; this class wires them to the controls.
#include "app/RunMode.h"
#include "app/SettingsTable.h"
#include "catalogue/Catalogue.h"
#include "common/Errors.h"
#include "platform/Guarded.h"
#include "platform/Timer.h"
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <type_traits>

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
    // First: the catalogue's public names below refer into it.
    Catalogue m_cat;

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

    // Catalogue list and editor. The list mirrors the catalogue model; the
    // editor remembers which record it was loaded from and writes back into
    // that record only.
    void RebuildSiteList();
    void SiteListClick();
    void SaveCurrentCam();
    void SiteListClickCheck(QListWidgetItem *item);
    void RefreshCountDependents();
    Catalogue &catalogue() { return m_cat; }
    // The record the editor shows, or -1 while it shows none.
    int editorIndex() const { return m_editorIndex; }

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

    // The catalogue model under the names the rest of the program uses.
    QStringList &CamData = m_cat.CamData;
    QStringList &ImageUrlList = m_cat.ImageUrlList;       // compared with case
    LocalFileNames &LocalFileList = m_cat.LocalFileList;  // compared ignoring case
    int &EnabledCount = m_cat.EnabledCount;
    int &AdultCount = m_cat.AdultCount;
    QStringList SelectedCatList;
    QStringList ImportList;

    Timer SSTimer{RealTimeSource()};
    Timer CameraTimer{RealTimeSource()};
    Timer TimeOutTimer{RealTimeSource()};
    Timer ClickNowTimer{RealTimeSource()};

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
    template <typename Sender, typename Signal, typename Handler>
    void on(Sender *sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, Guarded(std::move(handler)));
    }

    void setupControls();
    void showPage(QWidget *page, bool shown);
    bool editorExitApplies(int row) const;
    void connectSetting(const SettingSpec &entry);
    void loadPhase(LoadPhase phase);
    void loadSetting(const SettingSpec &entry);
    void settingChanged(const SettingSpec &entry);
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

    // Catalogue editing.
    void connectEditor();
    void loadEditor(int row);
    void clearEditor();
    bool writeEditorBack(int row);
    void commitEditor();
    void updateEditingControls();
    void showCounters();
    void mirrorItems();
    void mirrorItem(int row);
    void refitListExtent();
    void selectRow(int row);
    void saveCatalogue();
    QString makeLocalName(const QString &url);
    QStringList loadCatalogueFile();
    void editorChanged();
    void ImageUrlChange();
    void ImageUrlExit();
    void edtLocalFilenameExit();
    void butResetClick();
    void butHomepageClick();
    void butAddClick();
    void butDeleteClick();
    void butRenameClick();
    void moveSelected(int delta);
    void setAllEnabled(bool enabled);
    void sortCatalogue(bool byCategory);
    void butBackupClick();
    void butRestoreClick();
    void butDelCamsClick();

    void butSlideshowClick();
    void butBrowseClick();
    void CaptionColorClick();
    void CaptionBGClick();
    void butBGcolorClick();
    void SpeedButton4Click();
    void listFileBrowse(const char *edit, const char *name);

    // While the window lives, errors anywhere are shown by AppEventsException.
    ScopedErrorSink m_errorSink{[this](const QString &message) { AppEventsException(message); }};
    std::unique_ptr<Ui::TfrmMain> m_ui;
    Dialogs &m_dialogs;
    SystemShell &m_shell;
    const Clock &m_clock;
    QButtonGroup *m_imageSizeGroup = nullptr;
    QMenu *m_siteListMenu = nullptr;
    bool m_loadingCategories = false;
    bool m_loading = false;
    int m_editorIndex = -1;      // the record the editor was loaded from
    bool m_fillingEditor = false;
    bool m_mirroring = false;    // the list follows the model; no handlers
    bool m_inEditorExit = false; // a message box must not re-enter a leave handler
    QString m_shownLocalName;    // the last accepted local file name
};

} // namespace lumetta
