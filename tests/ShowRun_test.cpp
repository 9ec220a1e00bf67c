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

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>
#include <functional>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

QByteArray ReadBytes(const QString &path) { return test::ReadAll(path, {}); }

class ShowRun : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (QProcess *p : {show, beside, camsim}) {
            if (p && p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
            delete p;
        }
    }

    // Generous: the sanitizer build on a busy machine is slow, and a
    // failure here only costs time.
    static bool waitUntil(const std::function<bool()> &condition)
    {
        return test::WaitForProcess(condition, 180000);
    }

    void startCamsim(const QString &kinds, int numbered)
    {
        QDir().mkpath(env.home());
        camsim = new QProcess;
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
                   QProcess **into = nullptr, const QString &tickLog = {})
    {
        QProcess *&show = into ? *into : this->show;
        show = new QProcess;
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

    void endShow()
    {
        ::kill(pid_t(show->processId()), SIGTERM);
        ASSERT_TRUE(show->waitForFinished(60000)) << "still up after SIGTERM";
        EXPECT_EQ(show->exitStatus(), QProcess::NormalExit);
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
            if (name.startsWith(QLatin1String("health.json")))  // and its save in progress
                continue;
            if (name.endsWith(".validators"))
                continue;  // the server's validators, kept beside each picture
            const DecodedPicture p = LoadPictureFile(imagesDir() + name, PictureFormatForName(name));
            const bool refusedBomb = name.contains("bomb") && !p.error.isEmpty();
            if (!p.ok() && !refusedBomb)
                return ::testing::AssertionFailure() << name.toStdString() << ": " << p.error.toStdString();
        }
        return ::testing::AssertionSuccess();
    }

    static double SecondsOf(const QString &time)
    {
        return QTime::fromString(time, QStringLiteral("HH:mm:ss")).msecsSinceStartOfDay() / 1000.0;
    }

    test::TestEnv env;
    QProcess *camsim = nullptr;
    QProcess *show = nullptr;
    QProcess *beside = nullptr;
    QStringList records;  // as camsim wrote them
    mutable int m_ticksWhenAllTried = -1;
};

TEST_F(ShowRun, ScreenSaverRunLearnsHowEachWebcamBehaves)
{
    startCamsim("demo,awkward", 2);
    seedStore(1, 2);
    startShow();
    ASSERT_TRUE(waitUntil([&] { return everyCamTriedAnd(12); })) << ticks().join('\n').toStdString();
    endShow();

    ASSERT_TRUE(catalogueIsWhole());
    EXPECT_TRUE(picturesAreWhole());
    const QDateTime now = QDateTime::currentDateTime();
    auto recent = [&](const QString &stamp) {
        const QDateTime t = QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return t.isValid() && qAbs(t.secsTo(now)) < 600;
    };
    struct Expect {
        const char *name;
        double minRefresh, maxRefresh;  // seconds
        const char *enabled, *autoAdjust;
        bool modifiedRecently;
    };
    HealthBook health;
    health.load(HealthBook::FileIn(imagesDir()));
    const Expect expected[] = {
        {"Camsim 1", 5, 5, "1", "1", true},
        {"Camsim 2", 5, 10, "1", "1", true},
        {"Camsim no-last-modified", 5, 10, "1", "2", true},
        // Its clock is three hours ahead: the age it reports still holds.
        {"Camsim clock-off", 5, 10, "1", "1", true},
        {"Camsim still", 12 * 3600, 12 * 3600, "1", "1", false},
        {"Camsim gif", 5, 10, "1", "1", true},
        {"Camsim chunked", 5, 10, "1", "1", true},
        {"Camsim dead", 12 * 3600, 12 * 3600, "0", "1", false},
        {"Camsim refused", 12 * 3600, 12 * 3600, "0", "1", false},
        {"Camsim silent", 12 * 3600, 12 * 3600, "0", "1", false},
        {"Camsim html", 12 * 3600, 12 * 3600, "0", "1", false},
        {"Camsim slow", 12 * 3600, 12 * 3600, "0", "1", false},
    };
    for (const Expect &e : expected) {
        SCOPED_TRACE(e.name);
        const CamRecord r = recordNamed(e.name);
        const double refresh = SecondsOf(r.field(fRefreshRate));
        EXPECT_GE(refresh, e.minRefresh) << r.toLine().toStdString();
        EXPECT_LE(refresh, e.maxRefresh) << r.toLine().toStdString();
        EXPECT_EQ(r.field(fEnabled), e.enabled);
        EXPECT_EQ(r.field(fAutoAdjust), e.autoAdjust);
        EXPECT_TRUE(recent(r.field(fLastDownloadTime))) << r.toLine().toStdString();
        EXPECT_EQ(recent(r.field(fLastModified)), e.modifiedRecently) << r.toLine().toStdString();
        if (e.enabled == QLatin1String("1")) {
            EXPECT_TRUE(QFile::exists(imagesDir() + r.field(fLocalFilename))) << r.toLine().toStdString();
        } else {
            // The health page says why.
            const HealthRow row = DescribeWebcam(r.toLine(), health.find(r.imageUrl()), false, FromQDateTime(now));
            EXPECT_EQ(HealthStateText(row.state), "Disabled by rule");
            EXPECT_FALSE(row.reason.isEmpty());
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
    EXPECT_FALSE(ReadBytes(env.home() + "debug.log").trimmed().isEmpty()) << "debug mode names the last step";
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
        SCOPED_TRACE(name);
        const CamRecord r = recordNamed(QStringLiteral("Camsim ") + name);
        EXPECT_EQ(r.field(fEnabled), "1") << r.toLine().toStdString();
        EXPECT_EQ(r.field(fAutoAdjust), QLatin1String(name) == QLatin1String("mjpeg") ? "2" : "1");
        EXPECT_TRUE(QDateTime::fromString(r.field(fLastModified), "yyyy-MM-dd HH:mm:ss").isValid())
            << r.toLine().toStdString();
        EXPECT_TRUE(QFile::exists(imagesDir() + r.field(fLocalFilename))) << r.toLine().toStdString();
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
    const QByteArray catalogue = ReadBytes(catalogueFile());
    const QByteArray store = ReadBytes(RegistryFilePath());
    const QByteArray debugLog = ReadBytes(env.home() + "debug.log");
    const QByteArray requests = ReadBytes(env.path() + "/requests.log");
    const QStringList pictures = QDir(imagesDir()).entryList(QDir::Files);
    const int shown = shownBeside();
    ASSERT_TRUE(waitUntil([&] { return shownBeside() >= shown + 2; })) << ReadBytes(besideLog).constData();
    ::kill(pid_t(beside->processId()), SIGTERM);
    ASSERT_TRUE(beside->waitForFinished(60000));
    EXPECT_EQ(ReadBytes(catalogueFile()), catalogue);
    EXPECT_EQ(ReadBytes(RegistryFilePath()), store);
    EXPECT_EQ(ReadBytes(env.home() + "debug.log"), debugLog);
    EXPECT_EQ(ReadBytes(env.path() + "/requests.log"), requests) << "nothing fetched";
    EXPECT_EQ(QDir(imagesDir()).entryList(QDir::Files), pictures);
}

TEST_F(ShowRun, HostileWebcamsNeitherStopTheShowNorDamageItsFiles)
{
    startCamsim("demo,hostile", 2);
    const int displaySeconds = 1, timeOutSeconds = 2;
    seedStore(displaySeconds, timeOutSeconds);
    startShow();
    // Whatever moment the catalogue and pictures are looked at, they are whole.
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
        return everyCamTriedAnd(10) || show->state() == QProcess::NotRunning || HasFailure();
    });
    ASSERT_TRUE(done) << ticks().join('\n').toStdString();
    ASSERT_EQ(show->state(), QProcess::Running) << show->readAllStandardError().constData();
    endShow();
    EXPECT_GT(looks, 5);
    EXPECT_TRUE(catalogueIsWhole());
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
    // Each hostile webcam was let go with a reason; the good ones kept showing.
    const QString log = ticks().join('\n');
    for (const char *reason : {"HTTP reply cut short", "HTTP line too long", "Too many relocations",
                               "The reply is larger than 64 MB"})
        EXPECT_TRUE(log.contains(reason)) << reason;
    EXPECT_EQ(recordNamed("Camsim 1").field(fEnabled), "1");
    EXPECT_EQ(recordNamed("Camsim endless-body").field(fEnabled), "0");
    EXPECT_LE(QFileInfo(env.home() + "$$$pic").size(), 64 << 20);
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
