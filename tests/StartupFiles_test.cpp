#include "app/StartupFiles.h"

#include "platform/Registry.h"
#include "support/TestFiles.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(ResolveListLocation, DefaultIsStoredShiftedAndUsedPlain)
{
    const QString url = "http://www.korvane.example/lists/webcams.lst";
    const ListLocation fresh = ResolveListLocation(QString(), url);
    EXPECT_EQ(fresh.url, url);
    EXPECT_EQ(fresh.storeShifted, ShiftChars(url, StoredTextShift)) << "not the address at a glance";

    // The next start reads back what the first one stored.
    const ListLocation again = ResolveListLocation(fresh.storeShifted, "http://other.example/x");
    EXPECT_EQ(again.url, url);
    EXPECT_TRUE(again.storeShifted.isEmpty());
}

void Write(const QString &path, const QByteArray &content, const QDateTime &stamp)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.flush();  // a later flush would move the time again
    f.setFileTime(stamp, QFileDevice::FileModificationTime);
}

// Replaced even when newer; the copy then carries the program's time, so the next start leaves it alone.
TEST(RefreshInstalledCopy, ReplacedOnceWhenItsTimeDiffers)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/lumetta", installed = dir.path() + "/Lumetta.scr";
    const QDateTime now = QDateTime::currentDateTime().addSecs(-60);
    Write(program, "running", now);
    EXPECT_FALSE(RefreshInstalledCopy(program, installed)) << "nothing installed, nothing copied";

    Write(installed, "newer", now.addDays(3));
    EXPECT_TRUE(RefreshInstalledCopy(program, installed));
    EXPECT_EQ(test::ReadAll(installed), QByteArray("running"));
    EXPECT_FALSE(RefreshInstalledCopy(program, installed)) << "copied once";
}

} // namespace
