#include "catalogue/CatalogueFile.h"
#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

using namespace lumetta;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(CatalogueFile, LineEndsOnReading)
{
    const struct { const char *what; QByteArray bytes; QStringList lines; } cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF only", "a\nb\n", {"a", "b"}},
        {"CR only", "a\rb\r", {"a", "b"}},
        {"mixed, last line unended", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"blank lines kept", "a\r\n\r\n\nb\r\n", {"a", "", "", "b"}},
        {"fresh file is one blank entry", "\r\n", {""}},
        {"empty file is an empty catalogue", "", {}},
        {"CR CR LF is two ends", "a\r\r\nb", {"a", "", "b"}},
        {"UTF-8 names", "Z\xc3\xbcrich||x\r\n", {QString::fromUtf8("Z\xc3\xbcrich||x")}},
        {"legacy 8-bit names keep their characters", "Z\xfcrich||x\r\n", {QString::fromUtf8("Z\xc3\xbcrich||x")}},
        {"mixed encodings are read line by line", "Z\xc3\xbcrich\r\nZ\xfcrich\nM\xc3\xa1laga\xff",
         {QString::fromUtf8("Z\xc3\xbcrich"), QString::fromUtf8("Z\xc3\xbcrich"), QString::fromLatin1("M\xc3\xa1laga\xff")}},
        {"a byte-order mark is no part of the first name", "\xef\xbb\xbf" "a\r\n", {"a"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SplitTextLines(c.bytes), c.lines);
    }
}

TEST(CatalogueFile, CreateLoadSaveRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(DataFileBaseName);
    CreateCatalogueIfMissing(path);
    EXPECT_EQ(ReadAll(path), QByteArray("\r\n")) << "a missing file becomes one empty line";
    EXPECT_EQ(LoadCatalogue(path), QStringList{""});

    WriteAll(path, "keep\n");
    CreateCatalogueIfMissing(path);
    EXPECT_EQ(ReadAll(path), QByteArray("keep\n")) << "an existing file is left alone";

    const QStringList lines{"a||b", "", "c"};
    SaveCatalogue(path, lines);
    EXPECT_EQ(ReadAll(path), QByteArray("a||b\r\n\r\nc\r\n")) << "CR LF after every line, the last included";
    EXPECT_EQ(LoadCatalogue(path), lines);

    SaveCatalogue(path, {});
    EXPECT_EQ(ReadAll(path).size(), 0) << "an empty catalogue is an empty file";

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{DataFileBaseName}) << "no temporary files left";
}

TEST(CatalogueFile, ErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("nope/lumetta.dat");
    try {
        LoadCatalogue(missing);
        ADD_FAILURE() << "loaded a missing file";
    } catch (const FileError &e) {
        EXPECT_TRUE(e.message().startsWith("Cannot open file \"" + missing + "\". ")) << e.message().toStdString();
    }
    try {
        SaveCatalogue(missing, {"x"});
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const FileError &e) {
        EXPECT_TRUE(e.message().startsWith("Cannot create file \"" + missing + "\". ")) << e.message().toStdString();
    }
    EXPECT_FALSE(TrySaveCatalogue(missing, {"x"}));
}

// A disk that fills up half-way through the write: the file size limit makes
// the kernel refuse the rest, even for root.
TEST(CatalogueFile, SaveThatFailsPartWayKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(DataFileBaseName);
    const QStringList old{"old||one", "old||two"};
    SaveCatalogue(path, old);
    const QByteArray before = ReadAll(path);

    QStringList big;
    for (int i = 0; i < 2000; ++i)
        big << QStringLiteral("Cities||Cam %1||http://example.test/%1.jpg").arg(i);

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved_ok = TrySaveCatalogue(path, big);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved_ok) << "a failed save reports failure";
    EXPECT_EQ(ReadAll(path), before) << "the old catalogue is whole";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{DataFileBaseName});
}

TEST(CatalogueFile, BackupAndRestore)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(DataFileBaseName), backup = dir.filePath(BackupFileBaseName);
    WriteAll(data, "one\r\n");
    EXPECT_FALSE(RestoreCatalogue(backup, data)) << "no backup yet";
    EXPECT_EQ(ReadAll(data), QByteArray("one\r\n")) << "a failed restore changes nothing";

    EXPECT_TRUE(BackupCatalogue(data, backup));
    EXPECT_EQ(ReadAll(backup), QByteArray("one\r\n"));
    WriteAll(data, "two\r\n");
    EXPECT_TRUE(BackupCatalogue(data, backup)) << "a second backup overwrites";
    EXPECT_EQ(ReadAll(backup), QByteArray("two\r\n"));

    WriteAll(data, "three\r\n");
    EXPECT_TRUE(RestoreCatalogue(backup, data));
    EXPECT_EQ(LoadCatalogue(data), QStringList{"two"});
}

} // namespace
