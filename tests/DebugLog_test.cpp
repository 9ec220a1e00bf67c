#include "common/Errors.h"
#include "download/DebugLog.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;
using test::ReadAll;

namespace {

TEST(DebugLog, EachStepReplacesTheFileWhileOnAndFailsLoudly)
{
    QTemporaryDir dir;
    bool on = false;
    const DebugLog log([&] { return on; }, dir.path() + "/");
    log.step("1 - SSTimer start");
    EXPECT_FALSE(QFile::exists(log.fileName())) << "off: nothing touches the disk";

    on = true;
    log.step("1 - SSTimer start");
    log.step("4 - GetCamImage");
    EXPECT_EQ(ReadAll(log.fileName()), QByteArray("4 - GetCamImage\r\n")) << "no history";

    on = false;
    log.step("1 - SSTimer start");
    EXPECT_EQ(ReadAll(log.fileName()), QByteArray("4 - GetCamImage\r\n")) << "unticking acts at the next step";

    WriteTextFile(log.fileName(), "");
    EXPECT_EQ(ReadAll(log.fileName()), QByteArray("\r\n")) << "an empty text is one empty line";
    const DebugLog failing([] { return true; }, dir.filePath("missing") + "/");
    EXPECT_THROW(failing.step("1 - DownloadImage"), FileError) << "the step that called it sees the error";
}

} // namespace
