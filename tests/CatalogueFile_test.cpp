#include "catalogue/CatalogueFile.h"
#include "common/Errors.h"
#include "support/FileSizeLimit.h"
#include "support/ErrorText.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstring>
#include <functional>

using namespace lumetta;
using test::ReadAll;
using test::WriteAll;

namespace {

QStringList Records(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Cities||Cam %1||http://example.test/%1.jpg").arg(i);
    return lines;
}

TEST(CatalogueFile, LineEndsOnReading)
{
    const QString zurich = QString::fromUtf8("Z\xc3\xbcrich");
    const struct { QByteArray bytes; QStringList lines; } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},  // mixed, the last line unended
        {"a\r\n\r\n\nb\r\n", {"a", "", "", "b"}}, {"a\r\r\nb\r", {"a", "", "b"}},
        {"\r\n", {""}}, {"", {}},  // a fresh file is one blank entry
        {"Z\xc3\xbcrich\r\nZ\xfcrich\nM\xc3\xa1laga\xff",  // UTF-8 or legacy 8-bit, read line by line
         {zurich, zurich, QString::fromLatin1("M\xc3\xa1laga\xff")}},
        {"\xef\xbb\xbf" "a\r\n", {"a"}},  // a byte-order mark is no part of the first name
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitTextLines(c.bytes), c.lines) << c.bytes.toStdString();
}

TEST(CatalogueFile, CreateLoadSaveRoundTripAndErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(DataFileBaseName);
    CreateCatalogueIfMissing(path);
    EXPECT_EQ(ReadAll(path), QByteArray("\r\n")) << "a missing file becomes one empty line";

    WriteAll(path, "keep\n");
    CreateCatalogueIfMissing(path);
    EXPECT_EQ(ReadAll(path), QByteArray("keep\n")) << "an existing file is left alone";

    const QStringList lines{"a||b", "", "c"};
    SaveCatalogue(path, lines);
    EXPECT_EQ(ReadAll(path), QByteArray("a||b\r\n\r\nc\r\n")) << "CR LF after every line, the last included";
    EXPECT_EQ(LoadCatalogue(path), lines);

    const QString missing = dir.filePath("nope/lumetta.dat");
    const QString loaded = test::MessageOf<FileError>([&] { LoadCatalogue(missing); });
    EXPECT_TRUE(loaded.startsWith("Cannot open file \"" + missing + "\". ")) << loaded.toStdString();
    EXPECT_EQ(test::MessageOf<FileError>([&] { SaveCatalogue(missing, {"x"}); }),
              "Cannot create file \"" + missing + "\". " + QString::fromLocal8Bit(strerror(ENOENT)));
}

// A disk that fills up part-way through a save or a copy (a backup; a restore is the same copy).
TEST(CatalogueFile, SavesThatFailPartWayKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(DataFileBaseName), backup = dir.filePath(BackupFileBaseName);
    const struct { qint64 limit; std::function<bool()> save; QString kept; } cases[] = {
        {8192, [&] { return TrySaveCatalogue(data, Records(3000)); }, data},  // thousands of records
        {100, [&] { return BackupCatalogue(data, backup); }, backup},         // over an old backup
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.limit);
        SaveCatalogue(data, Records(4));
        SaveCatalogue(backup, Records(1));
        const QByteArray before = ReadAll(c.kept);
        const test::ChildOutcome child = test::RunWithFileSizeLimit(c.limit, [&](QString &text) {
            text = c.save() ? "saved" : "failed";
            return 0;
        });
        ASSERT_TRUE(child.exited);
        EXPECT_EQ(child.text, "failed") << "the failed save reports failure";
        const QByteArray after = ReadAll(c.kept);
        EXPECT_TRUE(after == before) << "the old file is whole: " << before.size() << " bytes before, "
                                     << after.size() << " after";
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file left";
    }
}

} // namespace
