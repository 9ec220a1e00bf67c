#include "net/CaFile.h"
#include "support/ScriptedServer.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

using namespace lumetta;

namespace {

// A bundle is parsed again only when its path, size, time or inode changed:
// a rewrite that keeps all four is not seen, on purpose.
TEST(CaFile, ParsedAgainOnlyWhenTheFileChanged)
{
    QTemporaryDir dir;
    QByteArray pem, key;
    ASSERT_TRUE(test::MakeTestCertificate(dir.path(), "lumetta.test", pem, key));
    const QString file = dir.filePath("ca.pem"), next = dir.filePath("next");
    const QByteArray garbled(pem.size(), 'x');
    const struct { const char *description; QString writtenTo; QByteArray bytes; long time; bool certificate; } cases[] = {
        {"first read", file, pem, 0, true},
        {"rewritten, all four kept", file, garbled, 0, true},
        {"another time", file, garbled, 1, false},
        {"another size", file, pem + "\n", 1, true},
        {"another inode", next, garbled + "\n", 1, false},  // renamed over the bundle
    };
    for (const auto &c : cases) {
        test::WriteAll(c.writtenTo, c.bytes);
        const struct timespec times[2] = {{c.time, 0}, {c.time, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(c.writtenTo).constData(), times, 0);
        ::rename(QFile::encodeName(c.writtenTo).constData(), QFile::encodeName(file).constData());
        const CaFile ca = ReadCaFile(file);
        EXPECT_EQ(ca.certificates.size(), c.certificate ? 1 : 0) << c.description << ca.error.toStdString();
    }
}

} // namespace
