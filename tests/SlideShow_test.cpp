#include "app/RunState.h"
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"
#include "platform/Guarded.h"
#include "platform/Registry.h"
#include "support/TestTime.h"
#include "slideshow/ShowDisplay.h"
#include "slideshow/SlideShow.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <ctime>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// name, refresh, last modified, auto-adjust; enabled and always active.
QString Cam(const QString &name, const QString &refresh = "00:01:00",
            const QString &lastModified = "2026-12-06 11:00:00", const QString &autoAdjust = "1")
{
    return QStringList{"General", name, "http://cams/" + name + ".jpg", "", refresh, "00:00:00", "00:00:00",
                       name + ".jpg", "2026-12-06 11:00:00", lastModified, "1", autoAdjust, "0"}
        .join("||");
}

struct RecordingDisplay : NullShowDisplay {
    QString DisplayImage(const QString &file) override
    {
        ++shown;
        return file;
    }
    void setMode(const QString &letter, const QColor &) override { modes << letter; }
    void setCaption(const QString &text) override { caption = text; }
    void showNoPicture(const QString &line) override { noPicture = line; }
    void setWebcamNumber(const QString &text) override { webcam = text; }
    void setPictureTime(TDateTime time, TDateTime) override { pictureTime = time; }
    int shown = 0;
    QStringList modes;
    QString caption, webcam;
    std::optional<QString> noPicture;
    TDateTime pictureTime = 0;
};

class SlideShowTest : public ::testing::Test {
protected:
    void start(const QStringList &records, bool screenSaver = false)
    {
        QDir().mkpath(env.home() + "images");
        run = std::make_unique<RunState>(screenSaver ? RunMode{false, true, false, false} : RunMode{}, time);
        run->DataFileName = env.home() + "lumetta.dat";
        run->catalogue.load(records);
        SlideShowHooks hooks;
        hooks.settings = [this] { return settings; };
        hooks.fetch = [this](const QString &url, const QString &file, int) {
            fetched << QString("%1 %2").arg(time.elapsed()).arg(url.section('/', -1));
            const CamFetch reply = reply_(url);
            if (reply.newPicture)
                test::WriteAll(file, "picture");
            return reply;
        };
        hooks.endApplication = [this] { ++ended; };
        hooks.showingFile = env.path() + "/showing";
        hooks.editorRecord = [this] { return run->catalogue.CamData()[settings.selectedIndex]; };
        // The editor shows the record again, its refresh picker with it.
        hooks.recordChanged = [this](int index) {
            if (index == settings.selectedIndex)
                settings.playRefresh = ReadCamSchedule(run->catalogue.CamData()[index], clock.now()).refreshRate;
        };
        show = std::make_unique<SlideShow>(*run, display, std::move(hooks), clock);
        show->start();
    }
    QString field(int row, int k) { return CamRecord::fromLine(run->catalogue.CamData()[row]).field(k); }

    test::TestEnv env;
    TestClock clock{EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0)};
    TestTimeSource time{&clock};
    RecordingDisplay display;
    ShowSettings settings = [this] {
        ShowSettings s;
        s.downloadDir = env.home() + "images/";
        s.resume = false;
        return s;
    }();
    std::function<CamFetch(const QString &)> reply_ = [](const QString &) {
        return CamFetch{true, {"HTTP/1.0 200 OK"}, {}};
    };
    std::unique_ptr<RunState> run;
    std::unique_ptr<SlideShow> show;
    QStringList fetched;
    int ended = 0;
};

TEST_F(SlideShowTest, EachShowResumesAfterTheStoredWebcamWithoutTheLastOnesHold)
{
    settings.resume = true;
    start({Cam("a"), Cam("b"), Cam("c")});
    time.advance(1);
    EXPECT_EQ(fetched, QStringList{"1 b.jpg"}) << "nothing stored reads 0, which the pick advances";
    EXPECT_EQ(ReadRegInteger(LumettaKey, "LastCam", -9), 1);
    EXPECT_EQ(display.modes.last(), "N");

    // A hold left on when the last show ended does not hold the next one.
    show->toggleHold();
    show->start();
    time.advance(1);
    EXPECT_EQ(display.shown, 2) << "the next webcam's copy";
    EXPECT_EQ(run->SSTimer.Interval(), 10000);

    // A store that takes no more (a full disk) ends no show, and is said once.
    QStringList said;
    const ScopedErrorSink sink([&said](const QString &message) { said << message; });
    QDir(env.path() + "/config").removeRecursively();
    test::WriteAll(env.path() + "/config", "");  // the store's folder is a file now
    time.advance(3 * 10000);
    EXPECT_TRUE(said.isEmpty()) << "stored once a minute at most";
    time.advance(3 * 10000);
    QCoreApplication::processEvents();
    EXPECT_EQ(said, QStringList{"Failed to set data for 'LastCam'"});
    EXPECT_EQ(display.shown, 8);
}

TEST_F(SlideShowTest, FastWebcamIsFollowedUntilItsTimeIsUp)
{
    // Display 20 s, fast cams 30 s, a fixed 6 s webcam: a tick every 6 s
    // on it for 30 s, then one normal tick of 20 s on the next webcam.
    settings.displaySeconds = 20;
    settings.fastCamSeconds = 30;
    start({Cam("fast", "00:00:06", "2026-12-06 11:00:00", "0"), Cam("next", "00:10:00")});
    time.advance(50001);
    EXPECT_EQ(fetched, QStringList({"1 fast.jpg", "6001 fast.jpg", "12001 fast.jpg", "18001 fast.jpg",
                                    "24001 fast.jpg", "30001 next.jpg", "50001 fast.jpg"}));
}

// How a record changes is CamSchedule's rows; here that the show writes
// what it learns into the record, through the model, and saves it.
TEST_F(SlideShowTest, DownloadsRewriteTheRecordThroughTheModel)
{
    reply_ = [](const QString &url) {
        if (url.endsWith("moved.jpg"))
            return CamFetch{true, {"HTTP/1.0 301 Moved", "Location: http://elsewhere/new.jpg", "HTTP/1.0 200 OK"}, {}};
        if (url.endsWith("/advert.jpg"))
            return CamFetch{true, {"HTTP/1.0 200 OK", "X-CamAd: 1", "X-Msg: Visit us"}, {}};
        return CamFetch{false, {}, "unreachable"};
    };
    start({Cam("moved"), Cam("advert"), "General||||http://cams/noname.jpg||||00:01:00||00:00:00||00:00:00||||||||1"});
    time.advance(1 + 2 * 10000);
    EXPECT_EQ(field(0, fImageUrl), "http://elsewhere/new.jpg") << "followed to another JPEG";
    EXPECT_EQ(field(1, fAutoAdjust), "0") << "an advertisement fixes the interval";
    EXPECT_EQ(field(2, fLocalFilename), "noname.jpg") << "a derived local name is stored";
    EXPECT_EQ(field(2, fEnabled), "0") << "never fetched, disabled at its first failure";
    show->abortRequest();  // as the image window ends the show
    run->saver.waitForWrite();
    EXPECT_EQ(LoadCatalogue(run->DataFileName), run->catalogue.CamData()) << "saved when the show ends";
}

// What a download teaches reaches the file once per interval, not with
// every fetch; a crash between two saves loses only what is younger than
// the interval, and leaves the file whole.
TEST_F(SlideShowTest, ACrashBetweenSavesLosesNothingOlderThanTheSaveInterval)
{
    settings.displaySeconds = 7;  // no tick as the interval ends
    const QStringList records{Cam("a"), Cam("b")};
    QDir().mkpath(env.home());
    SaveCatalogue(env.home() + "lumetta.dat", records);
    start(records);
    time.advance(CatalogueSaveIntervalMs);  // the first fetch came at 1 ms
    run->saver.waitForWrite();
    EXPECT_EQ(LoadCatalogue(run->DataFileName), records) << "dozens of fetches, no save yet";
    time.advance(1);
    run->saver.waitForWrite();
    const QStringList saved = run->catalogue.CamData();
    EXPECT_EQ(LoadCatalogue(run->DataFileName), saved);

    time.advance(60000);
    ASSERT_NE(run->catalogue.CamData(), saved) << "learned since";
    show.reset();  // killed: no end of show, no quit
    run.reset();
    EXPECT_EQ(LoadCatalogue(env.home() + "lumetta.dat"), saved);
}

// The fetch the user ended leaves its webcam as it was: closing the show
// must not make it look dead.
TEST_F(SlideShowTest, AShowTheUserEndedDuringADownloadStaysEnded)
{
    const QStringList records{Cam("a", "00:00:05", "2000-01-01"), Cam("b"), Cam("c")};
    settings.differentOnly = true;
    reply_ = [this](const QString &) {
        // The image window's leaving rules, as a key does it while a fetch waits.
        run->SSTimer.setEnabled(false);
        show->abortRequest();
        return CamFetch{false, {}, "aborted"};
    };
    start(records);
    time.advance(1);
    EXPECT_EQ(display.shown, 0);
    EXPECT_EQ(run->catalogue.CamData(), records) << "neither disabled nor slowed";
    EXPECT_EQ(run->SSTimer.Interval(), 0) << "no delay left on the stopped timer";
    run->SSTimer.setEnabled(true);  // as if anything but the user turned it on
    time.advance(60000);
    EXPECT_EQ(fetched.size(), 1) << "the search goes no further";
}

TEST_F(SlideShowTest, AWebcamIsNotStormedWhenItsPictureStopsChanging)
{
    // A followed 5 s webcam brings one new picture, then the same again and
    // again; with "different only" the search goes on to the other one.
    settings.differentOnly = true;
    int calls = 0;
    reply_ = [&calls](const QString &url) {
        return CamFetch{url.endsWith("fast.jpg") && ++calls == 1, {"HTTP/1.0 200 OK"}, "unchanged"};
    };
    start({Cam("fast", "00:00:05", "2026-12-06 11:59:59"), Cam("other", "00:10:00", "2026-12-06 11:55:00")}, true);
    time.advance(1 + 30000);
    EXPECT_EQ(fetched, QStringList({"1 fast.jpg", "5001 fast.jpg", "5001 other.jpg", "15001 other.jpg",
                                    "15001 fast.jpg", "25001 other.jpg", "25001 fast.jpg"}))
        << "once per tick and per display time each";
    EXPECT_EQ(ended, 0) << "an unchanged picture is no reason to end the screen saver";
    EXPECT_EQ(display.shown, 4) << "the picture on screen stays";

    // A fixed interval whose replies fail (64 MB ones) waits the picture's age, 90 s.
    reply_ = [](const QString &) { return CamFetch{false, {"HTTP/1.0 200 OK"}, "The reply is larger than 64 MB"}; };
    fetched.clear();
    start({Cam("ad", "00:00:05", "2026-12-06 11:59:00", "0")});
    time.advance(90000);
    EXPECT_EQ(fetched, QStringList{"30002 ad.jpg"});
}

// When a failure counts is ServerReach's rows; here that the show tells it
// of each answer and asks it before a failure counts.
TEST_F(SlideShowTest, AnOutageJudgesNoWebcam)
{
    // Four-day-old pictures would be disabled by a failure that counted;
    // only b's server answers.
    const QStringList old{Cam("a", "00:01:00", "2026-12-02"), Cam("b", "00:01:00", "2026-12-02"),
                          Cam("c", "00:01:00", "2026-12-02")};
    // After its first try, a's fetches are refused inside the program: never judged.
    int aTries = 0;
    reply_ = [&aTries](const QString &url) {
        const bool refused = url.endsWith("a.jpg") && ++aTries > 1;
        return url.endsWith("b.jpg") ? CamFetch{true, {"HTTP/1.0 200 OK"}, {}}
                                     : CamFetch{false, {}, "Refused", true, false, 0, refused};
    };
    start(old, true);
    time.advance(1);
    EXPECT_EQ(run->catalogue.CamData()[0], old[0]) << "no server had answered yet";
    EXPECT_EQ(display.noPicture, "No webcam could be reached") << "a screen saver's window from its first tick";
    time.advance(2 * 10000);
    EXPECT_EQ(field(2, fEnabled), "0") << "b's answer makes c's failure count";
    time.advance(10000);
    EXPECT_FALSE(show->retryNow(0));
    EXPECT_EQ(run->catalogue.CamData()[0], old[0]);
    EXPECT_EQ(show->health().find("http://cams/a.jpg")->failuresInARow, 1);
}

// The wall clock goes back an hour at 300 s, set back by hand or as summer
// time ends in the zone: a request every display time goes on.
TEST_F(SlideShowTest, AClockThatGoesBackChangesNothingTheUserSees)
{
    const QByteArray zone = qgetenv("TZ");
    const auto setZone = [](const QByteArray &tz) { tz.isNull() ? qunsetenv("TZ") : qputenv("TZ", tz); tzset(); };
    struct { const char *zone; QString fetched; QDateTime utc; TDateTime setBack; } const cases[] = {
        {"UTC", "2026-12-06 11:00:00", QDateTime({2026, 12, 6}, {12, 0}, Qt::UTC), 1.0 / 24},
        {"Europe/Berlin", "2026-10-25 01:55:00", QDateTime({2026, 10, 25}, {0, 55}, Qt::UTC), 0},  // 02:55 CEST
    };
    for (const auto &c : cases) {
        setZone(c.zone);
        fetched.clear();
        start({Cam("a", "00:00:10", c.fetched, "0").replace("2026-12-06 11:00:00", c.fetched)});
        for (qint64 ms = 0; ms < 600000; ms += 1000, time.advance(1000))
            clock.set(FromQDateTime(c.utc.addMSecs(ms).toLocalTime()) - (ms < 300000 ? 0 : c.setBack));
        EXPECT_EQ(fetched.size(), 60) << c.zone;
    }
    setZone(zone);
}

// Beside the show that fetches, a view-only copy waits on black for its
// first picture, never ending by itself, then shows it with its labels.
TEST_F(SlideShowTest, AViewOnlyCopyShowsWhatTheFetchingShowShows)
{
    settings.viewOnly = true;
    start({Cam("a")}, true);
    time.advance(1);
    EXPECT_EQ(display.noPicture, "");
    EXPECT_EQ(display.shown + ended + int(fetched.size()), 0);

    const QString picture = settings.downloadDir + "a.jpg";
    test::WriteAll(picture, "picture");
    const Showing published{picture, "Harbour", " 7 ", 46000.5, 0.001};
    for (const QString &outside : {env.path() + "/elsewhere.jpg", settings.downloadDir + "../elsewhere.jpg"}) {
        test::WriteAll(outside, "picture");
        test::WriteAll(env.path() + "/showing", FormatShowing({outside, "Planted", "", 0, 0}));
        time.advance(10000);
        EXPECT_EQ(display.shown, 0) << "only its own pictures: " << outside.toStdString();
    }
    // As the fetching show writes it: with the picture's time, the last thing it sets.
    NullShowDisplay screen;
    PublishingDisplay writer(screen, env.path() + "/showing");
    writer.setCaption(published.caption);
    writer.setWebcamNumber(published.webcamNumber);
    writer.DisplayImage(picture);
    writer.setPictureTime(published.pictureTime, published.interval);
    EXPECT_EQ(QFileInfo(env.path() + "/showing").permissions() & 0x0077, 0) << "the owner's alone";
    time.advance(10000);
    EXPECT_EQ(display.shown, 1);
    EXPECT_EQ(Showing({run->sampleImageFile(), display.caption, display.webcam, display.pictureTime, 0.001}),
              published);
    test::WriteAll(env.path() + "/showing", "{garbled");
    time.advance(10000);
    EXPECT_EQ(display.shown, 2) << "the picture on screen stays";
    EXPECT_EQ(ended, 0);
}

TEST_F(SlideShowTest, PlayWaitsTheIntervalItJustLearned)
{
    // 10 min stays 10 min in the picker until the download shortens it to 7.
    settings.selectedIndex = 0;
    settings.playRefresh = 10 * 60 * OneSecond;
    start({Cam("a", "00:10:00")});
    reply_ = [](const QString &) {
        return CamFetch{true, {"HTTP/1.0 200 OK", "Date: Sun, 06 Dec 2026 12:00:00 GMT",
                               "Last-Modified: Sun, 06 Dec 2026 11:58:00 GMT"}, {}};
    };
    show->startPlay(0, env.home() + "images/a.jpg");
    time.advance(1);
    EXPECT_EQ(run->SSTimer.Interval(), 7 * 60000);
}

TEST_F(SlideShowTest, NothingLeftToShow)
{
    // An empty catalogue gives up at once; a screen saver then ends.
    start({}, true);
    time.advance(1);
    EXPECT_EQ(ended, 1);
    // Every webcam outside its window: the search runs to its limit.
    start({QString(Cam("night")).replace("00:00:00||00:00:00", "01:00:00||02:00:00")});
    time.advance(1);
    EXPECT_EQ(ended, 1) << "only a screen saver ends";
    EXPECT_EQ(run->SSTimer.Interval(), 10000) << "the show goes on at the display time";

    // Later nothing may be shown: the picture and caption stay the shown
    // webcam's, not those of the last one examined.
    settings.noLocalImages = true;
    start({Cam("shown"), QString(Cam("night")).replace("00:00:00||00:00:00", "01:00:00||02:00:00")});
    time.advance(1 + 10000);
    EXPECT_EQ(fetched.size(), 1);
    EXPECT_TRUE(run->sampleImageFile().endsWith("/shown.jpg")) << run->sampleImageFile().toStdString();
    EXPECT_EQ(display.caption, "shown");

    // The last enabled webcam disabled stops the show.
    reply_ = [](const QString &) { return CamFetch{false, {}, "unreachable"}; };
    fetched.clear();
    start({Cam("old", "00:01:00", "2026-12-02")});
    time.advance(1);
    EXPECT_EQ(run->catalogue.EnabledCount(), 0);
    EXPECT_FALSE(run->SSTimer.Enabled());

    // Past a slice the search lets the loop run, then goes on where it
    // stopped: the one due at the end is found and shown, the webcam stored
    // once the search is over, and only then does a screen saver with
    // nothing at all give up. A catalogue changed meanwhile starts anew.
    reply_ = [](const QString &) { return CamFetch{true, {"HTTP/1.0 200 OK"}, {}}; };
    fetched.clear();
    const QStringList nights(2 * SlideShow::SearchSlice - 1,
                             QString(Cam("night")).replace("00:00:00||00:00:00", "01:00:00||02:00:00"));
    const int storedCam = ReadRegInteger(LumettaKey, "LastCam", -9);
    start(nights + QStringList{Cam("last")});
    time.advance(1);
    EXPECT_TRUE(fetched.isEmpty());
    EXPECT_EQ(run->SSTimer.Interval(), 1);
    EXPECT_EQ(ReadRegInteger(LumettaKey, "LastCam", -9), storedCam);
    time.advance(1);
    ASSERT_EQ(fetched.size(), 1);
    EXPECT_TRUE(fetched[0].endsWith(" last.jpg"));
    EXPECT_EQ(run->SSTimer.Interval(), 10000);
    EXPECT_EQ(ReadRegInteger(LumettaKey, "LastCam", -9), nights.size());
    start(nights, true);
    time.advance(1);
    EXPECT_EQ(ended, 1);
    time.advance(1);
    EXPECT_EQ(ended, 2);
    start(nights);
    time.advance(1);
    run->catalogue.load({Cam("new")});
    time.advance(1);
    EXPECT_EQ(fetched.size(), 2);
}

} // namespace
