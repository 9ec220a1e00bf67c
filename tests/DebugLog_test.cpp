#include "download/DebugLog.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;
using test::ReadAll;

namespace {

int warnings = 0;

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

    // A line that fits to the byte is appended; the next starts a new log.
    on = true;
    test::WriteAll(log.fileName(), QByteArray(MaxDebugLogBytes - 3, 'x'));
    log.step("a");
    EXPECT_EQ(QFile(log.fileName()).size(), MaxDebugLogBytes);
    log.step("b");
    EXPECT_EQ(ReadAll(log.fileName()), "b\r\n");
    EXPECT_EQ(QFile(log.fileName() + ".1").size(), MaxDebugLogBytes) << "the previous log kept";

    // Logs of a folder that cannot hold them: no error reaches a step,
    // and the failure is told once.
    const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) { ++warnings; });
    const QString missing = dir.filePath("missing") + "/";
    for (const char *step : {"1 - DownloadImage", "2 - select random url", "3 - url selected"})
        EXPECT_NO_THROW(DebugLog([] { return true; }, missing).step(step));
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 1);
}

} // namespace
