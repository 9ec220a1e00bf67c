#include "app/StartupFiles.h"

#include "platform/Registry.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(ResolveListLocation, DefaultIsStoredShiftedAndUsedPlain)
{
    const QString url = "http://www.korvane.example/lists/webcams.lst";
    const ListLocation fresh = ResolveListLocation(QString(), url);
    EXPECT_EQ(fresh.url, url);
    ASSERT_FALSE(fresh.storeShifted.isEmpty());
    EXPECT_NE(fresh.storeShifted, url) << "the store must not show the address at a glance";
    EXPECT_FALSE(fresh.storeShifted.contains("korvane"));

    // The next start reads back what the first one stored.
    const ListLocation again = ResolveListLocation(fresh.storeShifted, "http://other.example/x");
    EXPECT_EQ(again.url, url);
    EXPECT_TRUE(again.storeShifted.isEmpty());
}

TEST(ResolveListLocation, StoredCodesNearTheTopWrapAround)
{
    // A plain '\xfe' is stored shifted past 255, as a low code.
    const QString plain = QString("a") + QChar(0xfe) + QChar(0xff);
    const QString stored = ShiftChars(plain, StoredTextShift);
    EXPECT_LT(stored.at(1).unicode(), 0x10);
    EXPECT_EQ(ResolveListLocation(stored, "unused").url, plain);
}

class InstalledCopyTest : public ::testing::Test {
protected:
    void write(const QString &path, const QByteArray &content, const QDateTime &stamp)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.flush();  // a later flush would move the time again
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString program = dir.path() + "/lumetta";
    QString installed = dir.path() + "/Lumetta.scr";
    QDateTime now = QDateTime::currentDateTime().addSecs(-60);
};

TEST_F(InstalledCopyTest, NothingInstalledNothingCopied)
{
    write(program, "new", now);
    EXPECT_FALSE(RefreshInstalledCopy(program, installed));
    EXPECT_FALSE(QFileInfo::exists(installed));
}

TEST_F(InstalledCopyTest, SameTimeIsLeftAlone)
{
    write(program, "new", now);
    write(installed, "old", now);
    EXPECT_FALSE(RefreshInstalledCopy(program, installed));
    EXPECT_EQ(read(installed), QByteArray("old"));
}

TEST_F(InstalledCopyTest, OtherTimeIsReplacedOnceOnly)
{
    write(program, "new", now);
    write(installed, "old", now.addDays(-3));
    EXPECT_TRUE(RefreshInstalledCopy(program, installed));
    EXPECT_EQ(read(installed), QByteArray("new"));
    EXPECT_FALSE(QFileInfo::exists(installed + ".new"));
    // The copy carries the program's time, so the next start does not copy again.
    EXPECT_FALSE(RefreshInstalledCopy(program, installed));
}

TEST_F(InstalledCopyTest, NewerInstalledCopyIsAlsoReplaced)
{
    write(program, "running", now);
    write(installed, "newer", now.addDays(3));
    EXPECT_TRUE(RefreshInstalledCopy(program, installed));
    EXPECT_EQ(read(installed), QByteArray("running"));
}

} // namespace
