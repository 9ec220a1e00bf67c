#pragma once
// The running slide show: the tick that picks the next webcam, downloads
// its picture when one is due or shows the copy it holds, learns from each
// download and sets the delay to the next tick. It owns no window: it
// reads the run state, talks to the image window through ShowDisplay and
// to the main window through its hooks.
#include "download/WebcamHealth.h"
#include "slideshow/Sequencer.h"
#include "slideshow/ShowingNow.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <optional>
#include <random>

namespace lumetta {

class Clock;
class DebugLog;
class ShowDisplay;
struct ShowRun;

// One fetch of a webcam picture: true with a new GIF or JPEG in the file.
struct CamFetch {
    bool newPicture = false;
    QStringList header;  // every received header line, relocations included
    QString failure;     // why there is no new picture
    bool noServerReached = false;  // it failed before any server answered
    bool unchanged = false;        // the server sent the picture already held
    qint64 bytes = 0;
    bool refused = false;          // never left the program: another fetch was running
};

// What one tick did, for the tick log.
struct TickReport {
    int cam = -1;          // CurrentCam after the tick
    bool displayed = false;
    QString fetchFailure;  // of this tick's last download, if it failed
};

struct SlideShowHooks {
    std::function<ShowSettings()> settings;
    std::function<CamFetch(const QString &url, const QString &file, int timeOutSeconds)> fetch;
    // The Play path reads the webcam from the editor: its record as shown.
    std::function<QString()> editorRecord;
    std::function<void()> minimiseMainWindow;
    std::function<void()> endApplication;
    // Ends the request in progress at once.
    std::function<void()> abortFetch;
    // Record index changed in the catalogue: the list, the counters and,
    // when it shows that record, the editor follow.
    std::function<void(int index)> recordChanged;
    std::function<void(const TickReport &)> tickDone;
    // A view-only run follows what the fetching show wrote here;
    // ShowingFilePath() when empty.
    QString showingFile;
};

class SlideShow {
public:
    SlideShow(ShowRun &run, ShowDisplay &display, SlideShowHooks hooks, const Clock &clock,
              const DebugLog *log = nullptr);

    // The image window, once it exists.
    void setDisplay(ShowDisplay &display) { m_display = &display; }

    // "Start Slide Show".
    void start();
    // The editor's Play and Stop; the window handles its own buttons.
    void startPlay(int playCam, const QString &localFile);
    void stopPlay();

    // Ends the request in progress. The user ended the show while a picture
    // was on its way: that fetch says nothing about the webcam.
    void abortRequest();
    // Input in the image window ended the show: no tick follows, and the
    // request in progress ends.
    void endByInput();
    // The mouse moved over an advertisement: the next tick waits a minute.
    void holdAdvertisement();
    // A key or a mouse move in the image window holds the webcam or lets go.
    void toggleHold();
    // The picture shown before any download: "sample.jpg" in the folder.
    void useDownloadFolder(const QString &folder);
    // The stored advertisement, shown when found; its file and link are
    // kept either way. False when not found.
    bool showAdvertisement(const QString &imageFile, const QString &link, bool found);

    // SSTimer's and CameraTimer's handlers.
    void tick();
    void cameraTimeUp();

    // Picks the webcam and prepares SampleImageFile: true when it is to be
    // shown, false when a download brought no new picture.
    bool DownloadImage();

    // Fetches one webcam now, outside the show's order, as the show would:
    // its record learns and its health is kept. False when it brought no
    // new picture.
    bool retryNow(int index);

    // What each webcam did, for the health page; kept in the download folder.
    const HealthBook &health();

    // Draws below n; tests make it predictable.
    std::function<int(int n)> randomBelow;

    // Webcams a search examines before it lets the event loop run; the
    // next tick goes on where it stopped, so 100,000 webcams of which none
    // is due never hold the window for long.
    static constexpr int SearchSlice = 2000;

private:
    // What a download taught: a new picture, none, or nothing about the
    // webcam at all (the user ended it, or no server answers anywhere).
    enum class Fetched { NewPicture, NoNewPicture, NothingLearned };

    // A search not yet at its end: what it examined stays examined.
    struct Search {
        SearchOrder order;
        int count;  // of the catalogue it walks; another count starts anew
        int shownCam;
        QString shownFile;
        bool moved = false;
        bool triedOne = false;  // downloaded a webcam that brought no new picture
    };

    bool pick(const ShowSettings &settings);
    bool playPath(const ShowSettings &settings);
    bool followTheShow(const ShowSettings &settings);
    Fetched downloadStep(CamSchedule &cam, const ShowSettings &settings);
    void updateRecord(const CamSchedule &cam, TDateTime now, int index);
    void endOfPick(const CamSchedule &cam, const ShowSettings &settings, bool mayFollow = true);
    void applyPlan(const ShowSettings &settings);
    // Made at most once, for the webcam about to be downloaded.
    void giveLocalFileName(CamSchedule &cam, const ShowSettings &settings);
    bool showStopped() const;
    void displaySample();
    void recordDecodeFault();
    void loadHealth(const QString &downloadDir);
    void logHealthNotices();
    void recordHealth(const QString &url, const CamFetch &fetched, const CamSchedule &before,
                      const CamSchedule &after, const ShowSettings &settings, TDateTime now);
    void log(const char *step) const;

    ShowRun &m_run;
    ShowDisplay *m_display;
    SlideShowHooks m_hooks;
    const Clock &m_clock;
    const DebugLog *m_log;
    int m_playCam = -1;
    int m_aborts = 0;  // by the user, counted so a nested fetch cannot hide one
    QString m_fetchFailure;  // this tick's, for the tick log
    QHash<QString, LastFetch> m_lastFetch;  // by image URL, this run
    ServerReach m_reach;
    // "LastCam" follows every pick; the store takes it at most this often
    // (and when the window hides), not with each tick's write and sync.
    static constexpr qint64 LastCamStoreMs = 60'000;
    std::optional<qint64> m_lastCamStoredMs;
    std::optional<Showing> m_followed;  // a view-only run's picture, as the fetching show labelled it
    HealthBook m_health;
    QString m_healthFile;
    std::mt19937 m_random;
    std::optional<Search> m_search;
};

} // namespace lumetta
