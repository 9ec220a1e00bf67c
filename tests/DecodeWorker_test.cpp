#include "imaging/DecodeChannel.h"
#include "imaging/DecodeSandbox.h"
#include "imaging/DecodeWorker.h"
#include "support/TestFiles.h"

#include <QDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace lumetta;

namespace {

const QString Good = QStringLiteral(LUMETTA_TEST_DATA "/ok/jpeg_baseline_256x192.jpg");

QString StatusLine(pid_t pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return QString::fromLatin1(line.mid(qstrlen(field))).simplified();
    return {};
}

// Every file of the test data comes back as it decodes here, pixel for
// pixel or with the same reason, from a worker that runs shut in.
TEST(DecodeWorker, SharedPixelsEqualInProcessDecoding)
{
    DecodeWorker worker(QStringLiteral(LUMETTA_DECODER));
    QFileInfoList files = QDir(QStringLiteral(LUMETTA_TEST_DATA "/ok")).entryInfoList(QDir::Files);
    files += QDir(QStringLiteral(LUMETTA_TEST_DATA "/fail")).entryInfoList(QDir::Files);
    for (const QFileInfo &file : files) {
        const QString name = file.fileName();
        const PictureFormat format = PictureFormatForName(name);
        if (format == PictureFormat::Unknown)
            continue;
        const QByteArray bytes = test::ReadAll(file.filePath());
        for (const QSize shown : {QSize(), QSize(7, 5)}) {
            SCOPED_TRACE(name.toStdString() + (shown.isValid() ? " scaled" : ""));
            const std::optional<DecodedPicture> there = worker.decode(format, bytes, shown);
            ASSERT_TRUE(there) << worker.setupError().toStdString();
            const DecodedPicture here = DecodeWithOwnDecoders(format, bytes, shown);
            EXPECT_EQ(there->error.toStdString(), here.error.toStdString());
            EXPECT_EQ(there->fullSize, here.fullSize);
            EXPECT_TRUE(there->image == here.image);
        }
    }
    EXPECT_EQ(StatusLine(worker.pid(), "Seccomp:"), "2");
    EXPECT_EQ(StatusLine(worker.pid(), "NoNewPrivs:"), "1");
}

// A decoder that does what decoding never needs, crashes or never ends
// costs that picture, with its reason, and a fresh worker decodes the next.
TEST(DecodeWorker, AFaultCostsThatPictureOnly)
{
    const struct {
        const char *bytes;
        std::chrono::milliseconds timeout;
        const char *reason;
    } cases[] = {
        {"open a file", DecodeWorker::DefaultTimeout, "refused by the sandbox"},
        {"socket", DecodeWorker::DefaultTimeout, "refused by the sandbox"},
        {"crash", DecodeWorker::DefaultTimeout, "crashed"},
        // No clock is waited on: the time it may take is none at all.
        {"loop", std::chrono::milliseconds(0), "timed out"},
    };
    DecodeWorker worker(QStringLiteral(TEST_DECODER));
    const QByteArray good = test::ReadAll(Good);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        ASSERT_TRUE(worker.ensureStarted()) << worker.setupError().toStdString();
        const pid_t before = worker.pid();
        worker.setTimeout(c.timeout);
        const std::optional<DecodedPicture> bad = worker.decode(PictureFormat::Jpeg, c.bytes, {});
        ASSERT_TRUE(bad);
        EXPECT_FALSE(bad->ok());
        EXPECT_EQ(bad->error, "The decoder failed on this picture: " + QString::fromLatin1(c.reason));
        worker.setTimeout(DecodeWorker::DefaultTimeout);
        const std::optional<DecodedPicture> next = worker.decode(PictureFormat::Jpeg, good, {});
        ASSERT_TRUE(next);
        EXPECT_TRUE(next->ok()) << next->error.toStdString();
        EXPECT_NE(worker.pid(), before);
    }
}

// Killed from outside between two pictures, it costs none of them.
TEST(DecodeWorker, KilledWorkerIsRestarted)
{
    DecodeWorker worker(QStringLiteral(LUMETTA_DECODER));
    const QByteArray good = test::ReadAll(Good);
    ASSERT_TRUE(worker.decode(PictureFormat::Jpeg, good, {})->ok());
    const pid_t first = worker.pid();
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    siginfo_t info{};
    // Until it is dead, left for the worker's owner to reap.
    ASSERT_EQ(::waitid(P_PID, id_t(first), &info, WEXITED | WNOWAIT), 0);
    const std::optional<DecodedPicture> next = worker.decode(PictureFormat::Jpeg, good, {});
    ASSERT_TRUE(next);
    EXPECT_TRUE(next->ok()) << next->error.toStdString();
    EXPECT_NE(worker.pid(), first);
}

// No worker to be had: the caller decodes in-process, and says so once.
TEST(DecodeWorker, WithoutAWorkerPicturesDecodeInProcess)
{
    DecodeWorker missing(QStringLiteral("/nonexistent/lumetta-decoder"));
    EXPECT_FALSE(missing.decode(PictureFormat::Jpeg, "x", {}));
    EXPECT_TRUE(missing.setupError().contains("could not start")) << missing.setupError().toStdString();

    qputenv("LUMETTA_DECODE_IN_PROCESS", "1");
    EXPECT_TRUE(DecodeOutsidePicture(PictureFormat::Jpeg, test::ReadAll(Good), {}).ok());
    EXPECT_TRUE(TakeDecodeNotice().contains("LUMETTA_DECODE_IN_PROCESS"));
    EXPECT_TRUE(TakeDecodeNotice().isEmpty()) << "said once";
}

} // namespace
