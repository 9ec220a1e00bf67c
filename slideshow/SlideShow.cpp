#include "slideshow/SlideShow.h"

#include "catalogue/CatalogueFile.h"
#include "common/Subs.h"
#include "download/DebugLog.h"
#include "imaging/DecodeWorker.h"
#include "download/ImageFetch.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "slideshow/ShowDisplay.h"
#include "slideshow/ShowRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>
#include <QFileInfo>

#include <cmath>

namespace lumetta {

namespace {

const QColor Red(255, 0, 0);
// Translated when shown, after the translation has loaded.
const char *const NoWebcamReachedText = QT_TRANSLATE_NOOP("SlideShow", "No webcam could be reached");

// The name a previewed webcam's picture takes when the editor gives none:
// the URL's last segment, always with a picture extension.
QString PlayFileName(const QString &localName, const QString &url)
{
    QString name = localName;
    if (name.isEmpty()) {
        QString path = url;
        path.replace(QLatin1Char('/'), QLatin1Char('\\'));
        name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    }
    if (!name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
        && !name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive))
        name += QStringLiteral(".jpg");
    return IsSafeLocalFileName(name) ? name : QStringLiteral("webcam.jpg");
}

} // namespace

SlideShow::SlideShow(ShowRun &run, ShowDisplay &display, SlideShowHooks hooks, const Clock &clock,
                     const DebugLog *log)
    : m_run(run), m_display(&display), m_hooks(std::move(hooks)), m_clock(clock), m_log(log),
      m_random(std::random_device{}())
{
    randomBelow = [this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); };
    m_run.SSTimer.OnTimer = [this] { tick(); };
    m_run.CameraTimer.OnTimer = [this] { cameraTimeUp(); };
}

void SlideShow::log(const char *step) const
{
    if (m_log)
        m_log->step(QString::fromLatin1(step));
}

void SlideShow::start()
{
    m_lastCamStoredMs.reset();
    ShowState &show = m_run.show;
    show.CurrentCam = -1;
    m_search.reset();
    // A hold or a follow of the last show would keep this one on no webcam.
    show.HoldCurrentCam = show.FollowCam = show.CameraTimeUp = show.FastCamLatched = false;
    m_run.CameraTimer.setInterval(0);
    const ShowSettings settings = m_hooks.settings();
    // A show that only looks (a second monitor's) leaves the book alone.
    if (!settings.viewOnly) {
        loadHealth(settings.downloadDir);
        m_health.beginShow();
        // Once a show rather than with every fetch: it reads the whole
        // catalogue. An empty one is more likely unread than emptied.
        if (m_run.catalogue.count() > 0)
            m_health.keepOnly(m_run.catalogue.ImageUrlList());
    }
    if (!settings.random && settings.resume)
        show.CurrentCam = std::max(ReadSetting(Setting::LastCam), -1);
    if (m_hooks.minimiseMainWindow)
        m_hooks.minimiseMainWindow();
    show.PlayMode = false;
    m_run.SSTimer.setEnabled(true);
    m_run.SSTimer.setInterval(1);
}

void SlideShow::startPlay(int playCam, const QString &localFile)
{
    m_run.show.PlayMode = true;
    m_search.reset();
    m_playCam = playCam;
    m_run.SampleImageFile = localFile;
    displaySample();
    m_run.SSTimer.setEnabled(true);
    m_run.SSTimer.setInterval(1);
}

void SlideShow::stopPlay()
{
    m_run.show.PlayMode = false;
    abortRequest();
    m_run.SSTimer.setEnabled(false);
    m_run.SSTimer.setInterval(0);
    m_display->hideDisplay();
}

void SlideShow::abortRequest()
{
    ++m_aborts;
    if (m_hooks.abortFetch)
        m_hooks.abortFetch();
    // The show ends here (the image window, Stop, Close): what it learned
    // goes to the file now rather than at the end of the interval.
    m_run.saver.saveSoon();
}

void SlideShow::endByInput()
{
    m_run.SSTimer.setEnabled(false);
    m_run.SSTimer.setInterval(0);
    abortRequest();
}

void SlideShow::holdAdvertisement()
{
    m_run.SSTimer.setInterval(60000);
}

void SlideShow::toggleHold()
{
    m_run.show.HoldCurrentCam = !m_run.show.HoldCurrentCam;
}

void SlideShow::useDownloadFolder(const QString &folder)
{
    m_run.SampleImageFile = WithTrailingSlash(folder) + QStringLiteral("sample.jpg");
}

bool SlideShow::showAdvertisement(const QString &imageFile, const QString &link, bool found)
{
    m_run.SampleImageFile = imageFile;
    m_run.show.AdLink = link;
    if (!found)
        return false;
    m_run.show.ShowingAd = true;
    displaySample();
    return true;
}

void SlideShow::displaySample()
{
    m_run.SampleImageFile = m_display->DisplayImage(m_run.SampleImageFile);
    recordDecodeFault();
    const int index = m_run.show.CurrentCam;
    TDateTime pictureTime = 0, interval = 0;
    if (m_followed) {
        pictureTime = m_followed->pictureTime;
        interval = m_followed->interval;
    } else if (index >= 0 && index < m_run.catalogue.count()) {
        const CamRecord record = CamRecord::fromLine(m_run.catalogue.CamData()[index]);
        pictureTime = TryParseDateTimeText(record.field(fLastModified)).value_or(0);
        interval = TryParseTimeText(record.field(fRefreshRate)).value_or(0);
    }
    m_display->setPictureTime(pictureTime, interval);
}

void SlideShow::tick()
{
    ShowState &show = m_run.show;
    log("1 - SSTimer start");
    // No tick may start while this one waits for the network.
    m_run.SSTimer.setInterval(0);
    // A search going on from the last slice began this tick already.
    if (!m_search || show.PlayMode) {
        m_search.reset();
        m_display->beginTick();
        m_display->clearAdLabels();
        if (!show.FollowCam && m_display->shownPictureHeight() > 5) {
            m_display->resetCountdown();
            m_display->setCountdownColour(Red);
        }
        show.ShowingAd = show.CamAd = show.CamAdultAd = false;
        const ShowSettings settings = m_hooks.settings();
        if (show.PlayMode)
            show.CurrentCam = settings.selectedIndex;
        m_fetchFailure.clear();
    }

    log("2 - SSTimer");
    const bool ok = DownloadImage();
    if (m_search) {
        // The rest of the search after the events waiting now.
        if (!showStopped())
            m_run.SSTimer.setInterval(1);
        return;
    }
    // A click in the image window, or the last webcam disabled, may have
    // stopped the show meanwhile.
    const bool display = (ok || QFileInfo::exists(m_run.SampleImageFile)) && !showStopped();
    if (display) {
        log("3 - SSTimer");
        displaySample();
        log("4 - SSTimer");
        if (show.FollowCam) {
            m_display->setCountdownColour(Lime);
            if (m_run.CameraTimer.Interval() == 0)
                m_display->resetCountdown();
        } else {
            m_display->setCountdownColour(Qt::white);
            m_display->resetCountdown();
        }
    }
    // A screen saver has its window from the first tick: one with nothing
    // to show would take no key and outlive the user's return.
    if (!display && m_run.ScreenSaverMode && !showStopped() && m_display->shownPictureHeight() == 0)
        m_display->showNoPicture(
            m_hooks.settings().viewOnly ? QString() : QCoreApplication::translate("SlideShow", NoWebcamReachedText));
    // A stopped show keeps no delay: only the user starts it again. The
    // plan reads the controls as the download left them (Play's interval).
    if (showStopped()) {
        m_run.SSTimer.setInterval(0);
        m_run.saver.saveSoon();
    } else
        applyPlan(m_hooks.settings());
    log("5 - SSTimer end");
    if (m_hooks.tickDone)
        m_hooks.tickDone(TickReport{show.CurrentCam, display, m_fetchFailure});
}

void SlideShow::applyPlan(const ShowSettings &settings)
{
    ShowState &show = m_run.show;
    const TickPlan plan = PlanNextTick(show, settings, m_run.CameraTimer.Interval());
    show.FastCamLatched = plan.fastCamLatched;
    if (plan.cameraTimer)
        m_run.CameraTimer.setInterval(*plan.cameraTimer);
    m_run.SSTimer.setInterval(plan.ssInterval);
    if (!plan.mode.isEmpty())
        m_display->setMode(plan.mode, plan.modeColour);
    if (plan.resetCountdown)
        m_display->resetCountdown();
    if (plan.normal) {
        // A colour value r + 256 g + 65536 b, drawn from 0 to 2^24 - 2.
        m_display->setBackground(settings.randomBackground ? ColorFromStored(randomBelow(0xFFFFFF))
                                                          : settings.background);
    }
}

bool SlideShow::showStopped() const
{
    return !m_run.SSTimer.Enabled();
}

void SlideShow::cameraTimeUp()
{
    m_run.show.FollowCam = false;
    m_run.show.CameraTimeUp = true;
    m_display->setCountdownColour(Red);
    m_display->resetCountdown();
}

bool SlideShow::DownloadImage()
{
    log("1 - DownloadImage");
    m_run.show.CamAd = m_run.show.CamAdultAd = false;
    const ShowSettings settings = m_hooks.settings();
    QDir().mkpath(settings.downloadDir);
    if (settings.viewOnly)
        return followTheShow(settings);
    return m_run.show.PlayMode ? playPath(settings) : pick(settings);
}

// Beside the show that fetches, a copy shows its picture with its labels,
// on black until it has one, and never ends by itself.
bool SlideShow::followTheShow(const ShowSettings &settings)
{
    const std::optional<Showing> showing =
        ReadShowing(m_hooks.showingFile.isEmpty() ? ShowingFilePath() : m_hooks.showingFile, settings.downloadDir);
    if (!showing || !QFileInfo::exists(showing->file))
        return false;  // the picture on screen stays
    m_followed = showing;
    m_run.SampleImageFile = showing->file;
    m_display->setCaption(showing->caption);
    m_display->setWebcamNumber(showing->webcamNumber);
    return true;
}

void SlideShow::giveLocalFileName(CamSchedule &cam, const ShowSettings &settings)
{
    if (!cam.localFilename.isEmpty() || cam.imageUrl.trimmed().isEmpty())
        return;
    Catalogue &cat = m_run.catalogue;
    cam.localFilename = MakeLocalFileName(cam.imageUrl, settings.downloadDir,
                                          [&cat](const QString &name) { return cat.LocalFileList().contains(name); });
    cat.reserveLocalFileName(cam.localFilename);
}

// Each webcam is examined once per search. SampleImageFile and the caption
// name only the webcam chosen; a search that chooses none leaves the
// picture on screen as it is.
bool SlideShow::pick(const ShowSettings &settings)
{
    ShowState &show = m_run.show;
    const Catalogue &cat = m_run.catalogue;
    log("1 - Into SS mode");
    // A search the last slice left goes on; removed webcams end it.
    Search search = m_search && m_search->count == cat.count()
                        ? std::move(*m_search)
                        : Search{SearchOrder(show.CurrentCam, cat.count(), show.HoldCurrentCam, show.FollowCam,
                                             settings, randomBelow),
                                 cat.count(), show.CurrentCam, m_run.SampleImageFile};
    m_search.reset();
    SearchOrder &order = search.order;
    const int shownCam = search.shownCam;
    const QString shownFile = search.shownFile;
    bool &moved = search.moved;
    bool &triedOne = search.triedOne;
    const qint64 nowMs = m_clock.monotonicMs();
    // "LastCam" follows every pick, but is stored once per search and a
    // minute at most. A guard may not throw, and a full store must not end
    // the show.
    const auto storeLastCam = qScopeGuard([&] {
        if (moved && !m_search && (!m_lastCamStoredMs || nowMs - *m_lastCamStoredMs >= LastCamStoreMs)) {
            m_lastCamStoredMs = nowMs;
            (void)TryWriteSetting(Setting::LastCam, show.CurrentCam);
        }
    });
    const TDateTime now = m_clock.now();
    for (int examined = 0;; ++examined) {
        if (examined == SearchSlice) {
            m_search = std::move(search);
            return false;
        }
        const int index = order.next();
        if (index < 0)
            break;
        if (order.moved()) {
            log("2 - select random url");
            moved = true;
        }
        log("3 - url selected");
        const QString line = TrimRecordLine(cat.CamData()[index]);
        if (line.isEmpty())
            continue;
        CamSchedule cam = ReadCamSchedule(line, now);
        if (!InSelectedCategories(cam.record.category(), settings))
            continue;
        log("4 - params read");
        const QString localFile = cam.localFilename.isEmpty() ? QString() : settings.downloadDir + cam.localFilename;
        const auto localFileExists = [&localFile] { return !localFile.isEmpty() && QFileInfo::exists(localFile); };
        CamAction action = DecideCam(cam, settings, now, localFileExists, m_lastFetch.value(cam.imageUrl), nowMs);
        if (action == CamAction::ShowLocal && localFile.isEmpty())
            action = CamAction::Skip;  // no picture was ever kept for it
        if (action == CamAction::Skip)
            continue;
        show.CurrentCam = index;
        if (action == CamAction::ShowLocal) {
            m_run.SampleImageFile = localFile;
            m_display->setCaption(CamCaption(cam, settings));
            endOfPick(cam, settings);
            return true;
        }
        giveLocalFileName(cam, settings);
        m_run.SampleImageFile = settings.downloadDir + cam.localFilename;
        const Fetched fetched = downloadStep(cam, settings);
        if (fetched == Fetched::NewPicture) {
            endOfPick(cam, settings);
            return true;
        }
        if (showStopped())
            return false;
        if (!settings.differentOnly) {
            m_display->setCaption(CamCaption(cam, settings));
            endOfPick(cam, settings, false);
            return false;
        }
        triedOne = true;
        if (fetched == Fetched::NothingLearned)
            break;  // offline, every other webcam would fail the same way
    }
    // Nothing new this tick: the picture on screen stays with its caption.
    show.CurrentCam = shownCam;
    m_run.SampleImageFile = shownFile;
    show.FollowCam = show.CameraTimeUp = false;
    if (triedOne) {
        if (shownCam >= 0)
            m_display->setWebcamNumber(QStringLiteral(" %1 ").arg(shownCam + 1));
        return false;
    }
    // Nothing to try at all: a screen saver with nothing to show ends.
    if (m_run.ScreenSaverMode && m_hooks.endApplication)
        m_hooks.endApplication();
    return true;
}

bool SlideShow::playPath(const ShowSettings &settings)
{
    ShowState &show = m_run.show;
    if (!m_hooks.editorRecord || show.CurrentCam < 0 || show.CurrentCam >= m_run.catalogue.count())
        return true;
    const TDateTime now = m_clock.now();
    CamSchedule cam = ReadCamSchedule(m_hooks.editorRecord(), now);
    cam.localFilename = PlayFileName(cam.localFilename, cam.imageUrl);
    m_run.SampleImageFile = settings.downloadDir + cam.localFilename;
    const bool ok = downloadStep(cam, settings) == Fetched::NewPicture;
    if (!ok && !settings.differentOnly)
        m_display->setCaption(CamCaption(cam, settings));
    endOfPick(cam, settings);
    return ok;
}

SlideShow::Fetched SlideShow::downloadStep(CamSchedule &cam, const ShowSettings &settings)
{
    ShowState &show = m_run.show;
    log("5 - start image d/l");
    // Input may run while the fetch waits (a Retry, the show's tick): the
    // record and the file are the ones asked for now.
    const int index = show.CurrentCam;
    const QString file = m_run.SampleImageFile;
    m_display->setWebcamNumber(QStringLiteral(" %1 ").arg(index + 1));
    const int aborts = m_aborts;
    const QString url = cam.imageUrl;
    const CamSchedule before = cam;
    const CamFetch fetched = m_hooks.fetch ? m_hooks.fetch(url, file, settings.timeOutSeconds) : CamFetch{};
    const TDateTime now = m_clock.now();
    // What happened in this run is timed on a clock that never goes back.
    const qint64 nowMs = m_clock.monotonicMs();
    const bool reached = fetched.newPicture || !fetched.noServerReached;
    if (reached)
        m_reach.reached(nowMs);
    if (!fetched.newPicture) {
        log("6 - image d/l failed");
        m_fetchFailure = fetched.failure;
        // Refused inside the program, or ended by the user: nothing reached
        // the webcam, so nothing is said of it, not even that it was tried.
        if (fetched.refused || m_aborts != aborts)
            return Fetched::NothingLearned;
        // Offline, every webcam fails: none may be slowed or disabled by
        // it, yet its health tells what happened.
        if (!m_reach.judgesWebcam(reached, nowMs)) {
            m_lastFetch.insert(url, LastFetch{nowMs, false});
            recordHealth(url, fetched, before, cam, settings, now);
            return Fetched::NothingLearned;
        }
        const Adaptation a = AdaptWithoutNewPicture(cam, settings.policy, now, !fetched.unchanged);
        const qint64 retryAtMs = nowMs + std::llround(a.retryAfter * SecondsPerDay * 1000);
        m_lastFetch.insert(url, LastFetch{nowMs, false, retryAtMs});
        cam.refreshRate = a.refreshRate;
        if (a.disable)
            cam.enabled = false;
        updateRecord(cam, now, index);
        recordHealth(url, fetched, before, cam, settings, now);
        return Fetched::NoNewPicture;
    }

    log("7 - image d/l success");
    const QStringList final = FinalResponseHeader(fetched.header);
    const AdHeaders ads = ReadAdHeaders(final);
    show.CamAd = ads.camAd;
    show.CamAdultAd = ads.camAdultAd;
    show.AdLink = ads.link;
    show.AdMessage = ads.message;
    m_display->setAdText(ads.message, ads.link);
    // An advertisement keeps its webcam at a fixed interval for good.
    if (ads.camAd || ads.camAdultAd)
        cam.autoAdjust = 0;
    log("7a");
    if (settings.policy.checkDisabledCams && !cam.enabled) {
        cam.enabled = true;
        log("7a1");
        log("7a2");
    }
    log("7b");
    cam.imageUrl = RelocatedImageUrl(cam.imageUrl, fetched.header);
    log("7c");
    log("7d");
    log("7d1");
    const Adaptation a = AdaptToNewPicture(cam, settings.policy, now,
                                           GetHeaderValue(QStringLiteral("Date"), final),
                                           GetHeaderValue(QStringLiteral("Last-Modified"), final),
                                           TimeZoneBias());
    log("7d2");
    log("7e");
    log("7f");
    log("7g");
    log("7h");
    cam.lastModified = a.lastModified;
    cam.autoAdjust = a.autoAdjust;
    cam.refreshRate = a.refreshRate;
    if (a.disable)
        cam.enabled = false;
    log("8 - update cam data");
    updateRecord(cam, now, index);
    log("9 - cam data updated");
    m_lastFetch.insert(url, LastFetch{nowMs, true});
    m_lastFetch.insert(cam.imageUrl, LastFetch{nowMs, true});
    recordHealth(url, fetched, before, cam, settings, now);
    if (QFileInfo::exists(file))
        m_display->setCaption(CamCaption(cam, settings));
    return Fetched::NewPicture;
}

void SlideShow::loadHealth(const QString &downloadDir)
{
    const QString file = HealthBook::FileIn(downloadDir);
    if (file == m_healthFile)
        return;
    m_healthFile = file;
    m_health.load(file);
    logHealthNotices();
}

void SlideShow::logHealthNotices()
{
    for (const QString &notice : m_health.takeNotices())
        if (m_log)
            m_log->step(QStringLiteral("9a - ") + notice);
}

const HealthBook &SlideShow::health()
{
    loadHealth(m_hooks.settings().downloadDir);
    return m_health;
}

// One row with every fetch; a failed write is said once and the next
// fetch writes the row again.
void SlideShow::recordHealth(const QString &url, const CamFetch &fetched, const CamSchedule &before,
                             const CamSchedule &after, const ShowSettings &settings, TDateTime now)
{
    loadHealth(settings.downloadDir);
    m_health.move(url, after.imageUrl);
    WebcamHealth &h = m_health.entry(after.imageUrl);
    RecordFetch(h, FetchOutcome{fetched.newPicture, fetched.unchanged, fetched.failure, fetched.bytes}, now);
    RecordRules(h,
                RuleChange{before.enabled, after.enabled, before.refreshRate, after.refreshRate,
                           settings.policy.slowInterval},
                now);
    (void)m_health.save(after.imageUrl);
    logHealthNotices();
}

// A picture the decoder failed on (crashed, timed out, refused by the
// sandbox) is a bad picture of its webcam. A view-only run and an
// advertisement have no webcam's health to tell.
void SlideShow::recordDecodeFault()
{
    const QString fault = TakeDecodeFault();
    const int index = m_run.show.CurrentCam;
    if (fault.isEmpty() || m_followed || m_run.show.ShowingAd || index < 0 || index >= m_run.catalogue.count())
        return;
    const ShowSettings settings = m_hooks.settings();
    if (settings.viewOnly)
        return;
    const QString url = CamRecord::fromLine(m_run.catalogue.CamData()[index]).imageUrl();
    loadHealth(settings.downloadDir);
    RecordBadPicture(m_health.entry(url), fault, m_clock.now());
    (void)m_health.save(url);
    logHealthNotices();
}

bool SlideShow::retryNow(int index)
{
    ShowState &show = m_run.show;
    if (index < 0 || index >= m_run.catalogue.count())
        return false;
    const ShowSettings settings = m_hooks.settings();
    if (settings.viewOnly)
        return false;
    const TDateTime now = m_clock.now();
    // What is on screen stays as it was.
    const int shownCam = show.CurrentCam;
    const QString shownFile = m_run.SampleImageFile;
    const auto restore = qScopeGuard([&] {
        show.CurrentCam = shownCam;
        m_run.SampleImageFile = shownFile;
    });
    show.CurrentCam = index;
    CamSchedule cam = ReadCamSchedule(m_run.catalogue.CamData()[index], now);
    giveLocalFileName(cam, settings);
    m_run.SampleImageFile = settings.downloadDir + cam.localFilename;
    return downloadStep(cam, settings) == Fetched::NewPicture;
}

// The record at index becomes the webcam as handled; list, ticks and
// counts follow through the model, and the file follows within the save
// interval: rewriting it whole after every fetch would cost more than the
// fetch.
void SlideShow::updateRecord(const CamSchedule &cam, TDateTime now, int index)
{
    if (index < 0 || index >= m_run.catalogue.count())
        return;
    m_run.catalogue.replaceRecord(index, CamScheduleLine(cam, now));
    // Disabling the last enabled webcam stops the show.
    if (m_run.catalogue.EnabledCount() == 0)
        m_run.SSTimer.setEnabled(false);
    if (!(m_run.show.PlayMode && index != m_playCam))
        m_run.saver.changed();
    if (m_hooks.recordChanged)
        m_hooks.recordChanged(index);
}

// mayFollow: false after a download without a new picture, which must not
// be repeated before the display time is up.
void SlideShow::endOfPick(const CamSchedule &cam, const ShowSettings &settings, bool mayFollow)
{
    ShowState &show = m_run.show;
    if (show.CameraTimeUp) {
        show.FollowCam = false;
        show.CameraTimeUp = false;
    } else {
        show.FollowCam = mayFollow && WholeSeconds(cam.refreshRate) < settings.displaySeconds;
    }
    show.CurrentRefresh = std::max(cam.refreshRate, settings.policy.minRefresh);
}

} // namespace lumetta
