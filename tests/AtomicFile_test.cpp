#include "common/AtomicFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace lumetta;
using test::ReadAll;

namespace {

TEST(AtomicFile, ReplacedFileKeepsWhatItWasAndAFailureLeavesIt)
{
    QTemporaryDir dir;
    EXPECT_EQ(WriteFileAtomically(dir.filePath("none/x"), "x").reason, QString::fromLocal8Bit(strerror(ENOENT)));

    const QString real = dir.filePath("real"), link = dir.filePath("link");
    ASSERT_TRUE(WriteFileAtomically(real, "old").ok);
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0775), 0);
    ASSERT_TRUE(QFile::link(real, link));

    AtomicFileWriter file(link);
    file.setModificationTime(QDateTime::fromSecsSinceEpoch(1000000000));
    ASSERT_TRUE(file.open() && file.write("new") && file.commit()) << file.errorString().toStdString();
    {
        // A write that fails half-way: the temporary file goes, the target stays.
        AtomicFileWriter dropped(link);
        ASSERT_TRUE(dropped.open() && dropped.write("partial"));
    }

    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "a link stays a link";
    EXPECT_EQ(ReadAll(real), QByteArray("new")) << "the file it names is replaced";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0775u) << "mode kept past the umask (a program copy stays runnable)";
    EXPECT_EQ(st.st_mtime, 1000000000);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2) << "no temporary file";
}

} // namespace
