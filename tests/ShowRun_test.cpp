// The built program as a user runs it: the screen-saver run against
// camsim's webcams, ended with SIGTERM, then what a user could see on disk.
// Waits follow what the program and camsim write, never the clock's speed.
#include "catalogue/CamRecord.h"
#include "download/WebcamHealth.h"
#include "catalogue/CatalogueFile.h"
#include "imaging/Picture.h"
#include "platform/Registry.h"
#include "support/TestEnv.h"
#include "support/WaitForProcess.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace lumetta;

namespace {

QByteArray ReadBytes(const QString &path) { return test::ReadAll(path, {}); }

// A QProcess kills its process when it is destroyed.
class ShowRun : public ::testing::Test {
protected:
    // Generous: the sanitizer build on a busy machine is slow, and a
    // failure here only costs time.
    static bool waitUntil(const std::function<bool()> &condition) { return test::WaitForProcess(condition, 180000); }

    void startCamsim(const QString &kinds, int numbered)
    {
        QDir().mkpath(env.home());
        camsim = std::make_unique<QProcess>();
        camsim->start(CAMSIM_BINARY, {"--port", "0", "--kinds", kinds, "--cams", QString::number(numbered), "--log",
                                      requestLog(), "--catalogue", catalogueFile(), "--ca-file", caFile()});
        ASSERT_TRUE(camsim->waitForReadyRead(30000)) << "camsim did not start";
        const QByteArray banner = camsim->readAllStandardOutput();
        ASSERT_TRUE(banner.contains("http://127.0.0.1:")) << banner.constData();
        records = LoadCatalogue(catalogueFile());
    }

    // The values a user would set on the settings pages.
    void seedStore(int displaySeconds, int timeOutSeconds)
    {
        WriteRegString(LumettaKey, "AppPath", env.home());
        WriteRegInteger(LumettaKey, "SSInterval", displaySeconds);
        WriteRegInteger(LumettaKey, "TimeOut", timeOutSeconds);
        WriteRegInteger(LumettaKey, "DebugMode", 1);
        WriteRegString(LumettaKey, "CaFile", caFile());
    }

    void startShow(const QStringList &arguments = {"/s"}, rlim_t fileSizeLimit = RLIM_INFINITY,
                   std::unique_ptr<QProcess> *into = nullptr, const QString &tickLog = {})
    {
        std::unique_ptr<QProcess> &show = into ? *into : this->show;
        show = std::make_unique<QProcess>();
        show->setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("LUMETTA_TICK_LOG", tickLog.isEmpty() ? tickLogFile() : tickLog);
        show->setProcessEnvironment(e);
        show->start(LUMETTA_BINARY, arguments);
        ASSERT_TRUE(show->waitForStarted(10000));
    }

    void endShow(QProcess *process = nullptr)
    {
        QProcess &p = process ? *process : *show;
        ::kill(pid_t(p.processId()), SIGTERM);
        ASSERT_TRUE(p.waitForFinished(60000)) << "still up after SIGTERM";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    }

    QString catalogueFile() const { return env.home() + "lumetta.dat"; }
    QString caFile() const { return env.path() + "/camsim-ca.pem"; }
    QString requestLog() const { return env.path() + "/requests.log"; }
    QString tickLogFile() const { return env.path() + "/ticks.log"; }
    QString imagesDir() const { return env.home() + "images/"; }
    QStringList ticks() const { return QString::fromUtf8(ReadBytes(tickLogFile())).split('\n', Qt::SkipEmptyParts); }

    // Every webcam tried, then `more` ticks beyond.
    bool everyCamTriedAnd(int more) const
    {
        static const QRegularExpression cam(QStringLiteral(" cam (\\d+) "));
        const QStringList lines = ticks();
        QSet<int> tried;
        for (const QString &line : lines)
            tried.insert(cam.match(line).captured(1).toInt());
        if (tried.size() < records.size())
            return m_ticksWhenAllTried = -1, false;
        if (m_ticksWhenAllTried < 0)
            m_ticksWhenAllTried = int(lines.size());
        return lines.size() >= m_ticksWhenAllTried + more;
    }

    CamRecord recordNamed(const QString &name) const
    {
        for (const QString &line : LoadCatalogue(catalogueFile()))
            if (CamRecord::fromLine(line).siteName() == name)
                return CamRecord::fromLine(line);
        ADD_FAILURE() << "no record " << name.toStdString();
        return {};
    }

    // A catalogue as the program must always leave it: every record, all
    // thirteen fields, CR LF after each line.
    ::testing::AssertionResult catalogueIsWhole() const
    {
        const QByteArray bytes = ReadBytes(catalogueFile());
        const QStringList lines = LoadCatalogue(catalogueFile());
        if (lines.size() != records.size())
            return ::testing::AssertionFailure() << lines.size() << " records of " << records.size();
        if (bytes.count("\r\n") != records.size() || bytes.count('\n') != records.size())
            return ::testing::AssertionFailure() << "line ends other than CR LF";
        for (const QString &line : lines)
            if (line.split(QStringLiteral("||")).size() != 13)
                return ::testing::AssertionFailure() << "record cut: " << line.toStdString();
        return ::testing::AssertionSuccess();
    }

    // Each picture in the download folder decodes whole: none is a file cut
    // short, and no working file is left beside them.
    ::testing::AssertionResult picturesAreWhole() const
    {
        for (const QString &name : QDir(imagesDir()).entryList(QDir::Files)) {
            // The health page's file (and its save in progress), the server's
            // validators kept beside each picture.
            if (name.startsWith(QLatin1String("health.json")) || name.endsWith(".validators"))
                continue;
            const DecodedPicture p = LoadPictureFile(imagesDir() + name, PictureFormatForName(name));
            const bool refusedBomb = name.contains("bomb") && !p.error.isEmpty();
            if (!p.ok() && !refusedBomb)
                return ::testing::AssertionFailure() << name.toStdString() << ": " << p.error.toStdString();
        }
        return ::testing::AssertionSuccess();
    }

    test::TestEnv env;
    std::unique_ptr<QProcess> camsim, show, beside;
    QStringList records;  // as camsim wrote them
    mutable int m_ticksWhenAllTried = -1;
};

// Webcams that behave in every way, hostile ones too: the run learns how
// each behaves and goes on at its display time, and whatever moment the
// catalogue and pictures are looked at, they are whole.
TEST_F(ShowRun, ScreenSaverRunLearnsHowEachWebcamBehavesAndOutlastsHostileOnes)
{
    startCamsim("demo,awkward,hostile", 2);
    const int displaySeconds = 1, timeOutSeconds = 2;
    seedStore(displaySeconds, timeOutSeconds);
    startShow();
    int looks = 0;
    QDateTime lastSave;
    const bool done = waitUntil([&] {
        const QDateTime saved = QFileInfo(catalogueFile()).lastModified();
        if (saved != lastSave) {
            lastSave = saved;
            ++looks;
            EXPECT_TRUE(catalogueIsWhole());
            EXPECT_TRUE(picturesAreWhole());
        }
        return everyCamTriedAnd(12) || show->state() == QProcess::NotRunning || HasFailure();
    });
    ASSERT_TRUE(done) << ticks().join('\n').toStdString();
    ASSERT_EQ(show->state(), QProcess::Running) << show->readAllStandardError().constData();
    endShow();
    EXPECT_GT(looks, 5);
    ASSERT_TRUE(catalogueIsWhole());
    EXPECT_TRUE(picturesAreWhole());

    // The show went on at its display time: no wait between two ticks
    // beyond the time-out, the display time and a wide margin for a slow
    // machine.
    QDateTime previous;
    for (const QString &line : ticks()) {
        const QDateTime at = QDateTime::fromString(line.section(' ', 0, 0), Qt::ISODateWithMs);
        ASSERT_TRUE(at.isValid()) << line.toStdString();
        if (previous.isValid()) {
            EXPECT_LE(previous.msecsTo(at), (timeOutSeconds + displaySeconds + 8) * 1000) << line.toStdString();
        }
        previous = at;
    }
    // Each hostile webcam was let go with a reason; the good ones kept
    // showing (the table below).
    const QString log = ticks().join('\n');
    for (const char *reason : {"HTTP reply cut short", "HTTP line too long", "Too many relocations",
                               "The reply is larger than 64 MB"})
        EXPECT_TRUE(log.contains(reason)) << reason;
    EXPECT_EQ(recordNamed("Camsim endless-body").field(fEnabled), "0");
    EXPECT_LE(QFileInfo(env.home() + "$$$pic").size(), 64 << 20);

    const QDateTime now = QDateTime::currentDateTime();
    auto recent = [&](const QString &stamp) {
        const QDateTime t = QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return t.isValid() && qAbs(t.secsTo(now)) < 600;
    };
    HealthBook health;
    health.load(HealthBook::FileIn(imagesDir()));
    // Refresh in seconds. The clock-off webcam's clock is three hours ahead,
    // yet the age it reports holds; the five that fail are slowed and disabled.
    const double slow = 12 * 3600;
    struct Expect { const char *name; double minRefresh, maxRefresh; const char *autoAdjust = "1"; };
    const Expect expected[] = {{"1", 5, 5}, {"2", 5, 10}, {"no-last-modified", 5, 10, "2"}, {"clock-off", 5, 10},
                               {"still", slow, slow}, {"gif", 5, 10}, {"chunked", 5, 10}, {"dead", slow, slow},
                               {"refused", slow, slow}, {"silent", slow, slow}, {"html", slow, slow},
                               {"slow", slow, slow}};
    for (const Expect &e : expected) {
        const CamRecord r = recordNamed(QStringLiteral("Camsim ") + e.name);
        SCOPED_TRACE(r.toLine().toStdString());
        const bool live = e.minRefresh < slow, failing = !live && QLatin1String(e.name) != "still";
        const double refresh = QTime::fromString(r.field(fRefreshRate), "HH:mm:ss").msecsSinceStartOfDay() / 1000.0;
        EXPECT_GE(refresh, e.minRefresh);
        EXPECT_LE(refresh, e.maxRefresh);
        EXPECT_EQ(r.field(fEnabled), failing ? "0" : "1");
        EXPECT_EQ(r.field(fAutoAdjust), e.autoAdjust);
        EXPECT_TRUE(recent(r.field(fLastDownloadTime)));
        EXPECT_EQ(recent(r.field(fLastModified)), live);
        if (!failing) {
            EXPECT_TRUE(QFile::exists(imagesDir() + r.field(fLocalFilename)));
        } else {
            // The health page says why.
            const HealthRow row = DescribeWebcam(r.toLine(), health.find(r.imageUrl()), false, FromQDateTime(now));
            EXPECT_EQ(HealthStateText(row.state), "Disabled by rule");
        }
    }
    // The still webcam's picture is two days old by its own account.
    EXPECT_EQ(recordNamed("Camsim still").field(fLastModified).left(10),
              now.addDays(-2).toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_TRUE(recordNamed("Camsim relocating").imageUrl().endsWith("/cam/relocating-moved.jpg"));

    const RegistryFile store = RegistryFile::load(RegistryFilePath());
    const auto lastCam = store.value(LumettaKey, "LastCam");
    ASSERT_TRUE(lastCam);
    EXPECT_LT(int(lastCam->number), records.size());
    EXPECT_TRUE(store.value(LumettaKey, "SelectedCam"));
    // Debug mode names the last step, the file replaced whole each time.
    const QString debugLog = QString::fromUtf8(ReadBytes(env.home() + "debug.log"));
    EXPECT_TRUE(QRegularExpression("^[1-9][0-9a-h]*( [^\r\n]*)?\r\n$").match(debugLog).hasMatch())
        << debugLog.toStdString();
}

TEST_F(ShowRun, CamerasBehindDigestStreamsAndAPrivateCaAreLearned)
{
    startCamsim("reach", 0);
    seedStore(1, 5);
    startShow();
    const auto log = [&] { return QString::fromLatin1(ReadBytes(requestLog())).split('\n', Qt::SkipEmptyParts); };
    // Until each webcam was seen again and one answered 304 to the validators.
    ASSERT_TRUE(waitUntil([&] { return everyCamTriedAnd(10) && log().join('\n').contains(" 304"); }))
        << ticks().join('\n').toStdString() << log().join('\n').toStdString();
    endShow();

    ASSERT_TRUE(catalogueIsWhole());
    EXPECT_TRUE(picturesAreWhole());
    for (const char *name : {"digest-md5", "digest-sha256", "digest-stale", "mjpeg", "https"}) {
        const CamRecord r = recordNamed(QStringLiteral("Camsim ") + name);
        SCOPED_TRACE(r.toLine().toStdString());
        EXPECT_EQ(r.field(fEnabled), "1");
        EXPECT_EQ(r.field(fAutoAdjust), QLatin1String(name) == QLatin1String("mjpeg") ? "2" : "1");
        EXPECT_TRUE(QDateTime::fromString(r.field(fLastModified), "yyyy-MM-dd HH:mm:ss").isValid());
        EXPECT_TRUE(QFile::exists(imagesDir() + r.field(fLocalFilename)));
    }
    // The Digest webcams share one server: once it asked for Digest, it
    // never saw Basic again.
    bool asked = false;
    for (const QString &line : log()) {
        EXPECT_FALSE(asked && line.contains("auth=Basic")) << line.toStdString();
        asked = asked || (line.contains("/cam/digest-") && line.contains(" 401"));
    }
    EXPECT_TRUE(asked) << log().join('\n').toStdString();
}

// A daemon starts the program once per monitor, each in a window of its
// own: the second start shows the first's pictures and writes nothing.
TEST_F(ShowRun, SecondStartInADaemonWindowShowsTheFirstRunsPictures)
{
    startCamsim("demo", 2);
    seedStore(1, 2);
    startShow();
    ASSERT_TRUE(waitUntil([&] { return everyCamTriedAnd(2); })) << ticks().join('\n').toStdString();
    const QString besideLog = env.path() + "/beside-ticks.log";
    const auto shownBeside = [&] {
        return int(QString::fromUtf8(ReadBytes(besideLog)).split('\n', Qt::SkipEmptyParts).filter(" shown").size());
    };
    startShow({"/s", "-window-id", "0x2a00007"}, RLIM_INFINITY, &beside, besideLog);
    ASSERT_TRUE(waitUntil([&] { return shownBeside() >= 2; })) << ReadBytes(besideLog).constData();
    ASSERT_NE(beside->state(), QProcess::NotRunning);

    // With the first run ended, nothing changes while the second goes on
    // and ends.
    endShow();
    // The catalogue, the store, the debug log, the requests (nothing
    // fetched) and the pictures.
    const auto files = [&] {
        return QList<QByteArray>{ReadBytes(catalogueFile()), ReadBytes(RegistryFilePath()),
                                 ReadBytes(env.home() + "debug.log"), ReadBytes(requestLog()),
                                 QDir(imagesDir()).entryList(QDir::Files).join('\n').toUtf8()};
    };
    const QList<QByteArray> before = files();
    const int shown = shownBeside();
    ASSERT_TRUE(waitUntil([&] { return shownBeside() >= shown + 2; })) << ReadBytes(besideLog).constData();
    endShow(beside.get());
    EXPECT_EQ(files(), before);
}

// A disk that takes no more: pictures and catalogue saves fail, the show
// goes on, and the catalogue on disk stays as it was.
TEST_F(ShowRun, ShowGoesOnUnderAFileSizeLimit)
{
    startCamsim("demo", 120);  // a catalogue larger than the limit
    seedStore(1, 2);
    const QByteArray before = ReadBytes(catalogueFile());
    ASSERT_GT(before.size(), 16 * 1024);
    startShow({"/s"}, 16 * 1024);
    ASSERT_TRUE(waitUntil([&] { return ticks().size() >= 15 || show->state() == QProcess::NotRunning; }));
    ASSERT_EQ(show->state(), QProcess::Running) << "ended by the limit";
    endShow();
    EXPECT_EQ(show->exitCode(), 0);
    EXPECT_TRUE(ReadBytes(catalogueFile()) == before);
    EXPECT_TRUE(ticks().join('\n').contains("The picture could not be written whole"));
}

} // namespace
