// The built program as a user runs it: the screen-saver run against
// camsim's webcams, ended with SIGTERM, then what a user could see on disk.
// Waits follow what the program and camsim write, never the clock's speed.
#include "catalogue/CamRecord.h"
#include "download/WebcamHealth.h"
#include "catalogue/CatalogueFile.h"
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
        // The values a user would set on the settings pages.
        WriteRegString(LumettaKey, "AppPath", env.home());
        WriteRegInteger(LumettaKey, "SSInterval", 1);
        WriteRegInteger(LumettaKey, "TimeOut", 2);
        WriteRegInteger(LumettaKey, "DebugMode", 1);
        WriteRegString(LumettaKey, "CaFile", caFile());
    }

    std::unique_ptr<QProcess> startShow(const QStringList &arguments, const QString &tickLog,
                                        rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        auto show = std::make_unique<QProcess>();
        show->setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("LUMETTA_TICK_LOG", tickLog);
        show->setProcessEnvironment(e);
        show->start(LUMETTA_BINARY, arguments);
        EXPECT_TRUE(show->waitForStarted(10000));
        return show;
    }

    static void endShow(QProcess &p)
    {
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

    CamRecord recordNamed(const QString &name) const
    {
        for (const QString &line : LoadCatalogue(catalogueFile()))
            if (CamRecord::fromLine(line).siteName() == name)
                return CamRecord::fromLine(line);
        ADD_FAILURE() << "no record " << name.toStdString();
        return {};
    }

    test::TestEnv env;
    std::unique_ptr<QProcess> camsim, show, beside;
};

// Webcams that behave in every way, hostile ones too: the run goes on.
// Atomic saves, time and size limits, whole pictures and how a record
// changes are the lower tests' rows; here that the run passes them on to
// the files. A daemon starts the program once per monitor, each in a window
// of its own: the second start shows the first's pictures and writes nothing.
TEST_F(ShowRun, ScreenSaverRunOutlastsHostileWebcamsAndASecondStartWritesNothing)
{
    startCamsim("demo,awkward,hostile", 2);
    const qsizetype cams = LoadCatalogue(catalogueFile()).size();  // as camsim wrote it
    show = startShow({"/s"}, tickLogFile());
    const auto ended = [&] { return show->state() == QProcess::NotRunning; };
    const auto everyCamTried = [&] {
        static const QRegularExpression cam(QStringLiteral(" cam (\\d+) "));
        QSet<int> tried;
        for (const QString &line : ticks())
            tried.insert(cam.match(line).captured(1).toInt());
        return tried.size() >= cams;
    };
    ASSERT_TRUE(waitUntil([&] { return everyCamTried() || ended(); })) << ticks().join('\n').toStdString();
    const qsizetype triedAll = ticks().size();
    ASSERT_TRUE(waitUntil([&] { return ticks().size() >= triedAll + 12 || ended(); }));
    ASSERT_EQ(show->state(), QProcess::Running) << show->readAllStandardError().constData();
    const QString besideLog = env.path() + "/beside-ticks.log";
    const auto shownBeside = [&] {
        return int(QString::fromUtf8(ReadBytes(besideLog)).split('\n', Qt::SkipEmptyParts).filter(" shown").size());
    };
    beside = startShow({"/s", "-window-id", "0x2a00007"}, besideLog);
    ASSERT_TRUE(waitUntil([&] { return shownBeside() >= 2; })) << ReadBytes(besideLog).constData();

    // With the first run ended, nothing changes while the second goes on
    // and ends: the catalogue, the store, the debug log, the requests
    // (nothing fetched) and the pictures.
    endShow(*show);
    const auto files = [&] {
        return QList<QByteArray>{ReadBytes(catalogueFile()), ReadBytes(RegistryFilePath()),
                                 ReadBytes(env.home() + "debug.log"), ReadBytes(requestLog()),
                                 QDir(imagesDir()).entryList(QDir::Files).join('\n').toUtf8()};
    };
    const QList<QByteArray> before = files();
    const int shown = shownBeside();
    ASSERT_TRUE(waitUntil([&] { return shownBeside() >= shown + 2; })) << ReadBytes(besideLog).constData();
    endShow(*beside);
    EXPECT_EQ(files(), before);

    EXPECT_TRUE(ticks().join('\n').contains("The reply is larger than 64 MB")) << "a failure's reason is logged";

    // Good webcams kept their pictures (the https one through the store's
    // CA file); a dead one was disabled, and the health page says why.
    for (const char *name : {"1", "https"}) {
        const CamRecord r = recordNamed(QStringLiteral("Camsim ") + name);
        EXPECT_EQ(r.field(fEnabled), "1") << name;
        EXPECT_TRUE(QFile::exists(imagesDir() + r.field(fLocalFilename))) << name;
    }
    const CamRecord dead = recordNamed("Camsim dead");
    HealthBook health;
    health.load(HealthBook::FileIn(imagesDir()));
    const TDateTime now = FromQDateTime(QDateTime::currentDateTime());
    EXPECT_EQ(HealthStateText(DescribeWebcam(dead.toLine(), health.find(dead.imageUrl()), false, now).state),
              "Disabled by rule");

    // Debug mode appends a line for each step.
    const QString debugLog = QString::fromUtf8(ReadBytes(env.home() + "debug.log"));
    EXPECT_TRUE(QRegularExpression("^([1-9][0-9a-h]*( [^\r\n]*)?\r\n){2,}$").match(debugLog).hasMatch())
        << debugLog.toStdString();
}

// A disk that takes no more: pictures, catalogue and store saves fail, the
// show goes on, and the catalogue and the store on disk stay as they were.
TEST_F(ShowRun, ShowGoesOnUnderAFileSizeLimit)
{
    startCamsim("demo", 120);  // a catalogue larger than the limit
    WriteRegString("Software\\Other Program", "Notes", QString(20 * 1024, 'x'));  // the store past it too
    const QByteArray before = ReadBytes(catalogueFile()), storeBefore = ReadBytes(RegistryFilePath());
    ASSERT_GT(before.size(), 16 * 1024);
    ASSERT_GT(storeBefore.size(), 16 * 1024);
    show = startShow({"/s"}, tickLogFile(), 16 * 1024);
    ASSERT_TRUE(waitUntil([&] { return ticks().size() >= 15 || show->state() == QProcess::NotRunning; }));
    ASSERT_EQ(show->state(), QProcess::Running) << "ended by the limit";
    endShow(*show);
    EXPECT_EQ(show->exitCode(), 0);
    EXPECT_TRUE(ReadBytes(catalogueFile()) == before);
    EXPECT_TRUE(ReadBytes(RegistryFilePath()) == storeBefore);
}

} // namespace
