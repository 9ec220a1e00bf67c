#include "download/DebugLog.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;
using test::ReadAll;

namespace {

TEST(DebugLog, EachStepAppendsALineWhileOnAndAFailureOnlyStopsIt)
{
    QTemporaryDir dir;
    bool on = false;
    const DebugLog log([&] { return on; }, dir.path() + "/");
    log.step("1 - SSTimer start");
    EXPECT_FALSE(QFile::exists(log.fileName())) << "off: nothing touches the disk";

    on = true;
    log.step("1 - SSTimer start");
    log.step("4 - GetCamImage");
    const QByteArray twoSteps = "1 - SSTimer start\r\n4 - GetCamImage\r\n";
    EXPECT_EQ(ReadAll(log.fileName()), twoSteps) << "the last line names the step";
    on = false;
    log.step("5 - SSTimer end");
    EXPECT_EQ(ReadAll(log.fileName()), twoSteps) << "unticking acts at the next step";

    on = true;  // a line that fits to the byte is appended; the next starts a new log
    test::WriteAll(log.fileName(), QByteArray(MaxDebugLogBytes - 3, 'x'));
    log.step("a");
    EXPECT_EQ(QFile(log.fileName()).size(), MaxDebugLogBytes);
    log.step("b");
    EXPECT_EQ(ReadAll(log.fileName()), "b\r\n");
    EXPECT_EQ(QFile(log.fileName() + ".1").size(), MaxDebugLogBytes) << "the previous log kept";

    // A log that cannot be written: no step sees an error, the failure is
    // told once with its reason, and the log stops.
    ASSERT_TRUE(QDir(dir.path()).mkdir("device"));
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("device/debug.log")));
    test::WriteAll(dir.filePath("full/debug.log"), "1234567890");
    const struct { const char *folder; qint64 fileSizeLimit; const char *reason; } cases[] = {
        {"missing", 1 << 20, "No such file or directory"},
        {"device", 1 << 20, "Not a regular file"},
        {"full", 20, "No space left on device"},  // the first line fits in part
    };
    for (const auto &c : cases) {
        const test::ChildOutcome child = test::RunWithFileSizeLimit(c.fileSizeLimit, [&](QString &text) {
            static QStringList told;
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) { told << m; });
            for (const char *step : {"1 - DownloadImage", "2 - select random url", "3 - url selected"})
                DebugLog([] { return true; }, dir.filePath(c.folder) + "/").step(step);
            text = told.join('\n');
            return 0;
        });
        EXPECT_EQ(child.text.count("The debug log stops."), 1) << child.text.toStdString();
        EXPECT_TRUE(child.text.contains(c.reason)) << child.text.toStdString();
    }
}

} // namespace
