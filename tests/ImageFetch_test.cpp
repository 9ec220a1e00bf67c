#include "download/ImageFetch.h"
#include "download/PictureValidators.h"

#include "common/Errors.h"
#include "support/TestTime.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedServer.h"
#include "support/TestResolver.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <utility>

using namespace lumetta;
using lumetta::test::ScriptedServer;
using lumetta::test::ServerScript;

namespace {

QByteArray ReadFile(const QString &path) { return test::ReadAll(path, {}); }
// The step debug.log names last.
QByteArray LastStep(const QString &log) { const QByteArray l = ReadFile(log); return l.mid(l.lastIndexOf('\n', l.size() - 2) + 1); }
using test::WriteAll;

QByteArray Sample(const char *name) { return ReadFile(QStringLiteral(LUMETTA_TEST_DATA "/ok/") + QLatin1String(name)); }

const QByteArray Jpeg = Sample("jpeg_progressive_200x150.jpg");
const QByteArray OtherJpeg = Sample("jpeg_exif_thumbnail_before_frame_640x480.jpg");
const QByteArray Gif = Sample("gif89a_320x240_256_colour_table.gif");
const QByteArray Png = Sample("png_rgb_type2_300x200.png");

QByteArray Response(const QByteArray &statusLine, const QByteArray &contentType, const QByteArray &body)
{
    QByteArray r = statusLine + "\r\n";
    if (!contentType.isEmpty())
        r += "Content-Type: " + contentType + "\r\n";
    return r + "\r\n" + body;
}

QByteArray Ok(const QByteArray &type, const QByteArray &body) { return Response("HTTP/1.0 200 OK", type, body); }

ServerScript Reply(const QByteArray &bytes) { return ServerScript().readRequest().send(bytes); }

// Rights of the group and of others.
int OthersRights(const QString &path) { return QFileInfo(path).permissions().toInt() & 0x0077; }

class ImageFetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetMainWindowHttpDefaults(http);
        fetch.OnAdminHeader = [this](const QStringList &lines) { memo = lines; };
        fetch.OnTimedOut = [this] {
            logAtTimeOut = LastStep(log.fileName());
            elapsedAtTimeOut = time.elapsed();
        };
        // Guards against a hang only; every time limit runs on test time.
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            watchdogFired = true;
            http.Abort();
        });
        watchdog.start(20000);
    }
    void TearDown() override { EXPECT_FALSE(watchdogFired) << "a fetch never ended"; }

    QString path(const QString &name) const { return dir.path() + u'/' + name; }

    // One fetch, a picture or a list, from a server that answers with script.
    FetchResult exchange(const ServerScript &script, const QString &destination, bool list = false, int timeOut = 10)
    {
        ScriptedServer server;
        server.addConnection(script);
        return list ? fetch.GetUrlToFile(server.url("/list.txt"), destination, timeOut)
                    : fetch.GetCamImage(server.url("/cam.jpg"), destination, timeOut);
    }

    QTemporaryDir dir;
    QString appPath = dir.path() + u'/';
    DebugLog log{[] { return true; }, appPath};
    FetchSettings settings;
    THttpCli http;
    TestTimeSource time;
    ImageFetch fetch{http, appPath, [this] { return settings; }, &log, time};
    QStringList memo{"not cleared"};
    QByteArray logAtTimeOut;
    qint64 elapsedAtTimeOut = -1;
    QTimer watchdog;
    bool watchdogFired = false;
};

TEST_F(ImageFetchTest, ResultAndDestination)
{
    // The destination before and after; a requestDoneError not 0 ends the connection with a reset.
    struct Case { const char *description; QByteArray response, before; bool result; QByteArray after;
                  int requestDoneError = 0; };
    const Case cases[] = {
        {"new JPEG replaces the old picture", Ok("image/jpeg", Jpeg), Gif, true, Jpeg},
        {"new GIF, no picture before", Response("HTTP/1.1 200 OK", "image/gif", Gif), "", true, Gif},
        {"no content type", Ok("", Jpeg), Gif, false, Gif},
        {"PNG body under image/jpeg", Ok("image/jpeg", Png), Gif, false, Gif},
        {"304 with a picture", Response("HTTP/1.0 304 Not Modified", "image/jpeg", OtherJpeg), Jpeg, false, Jpeg},
        {"body shorter than its Content-Length, then reset",
         "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(Jpeg.size())
             + "\r\n\r\n" + Jpeg.left(Jpeg.size() / 2),
         Gif, false, Gif, wsa::ConnReset},
        {"MJPEG part without a type is judged by its bytes",
         "HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace;boundary=--cam\r\n\r\n--cam\r\n\r\n" + Jpeg
             + "\r\n--cam\r\n\r\nnext",
         Gif, true, Jpeg},
    };
    int row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        // A name of its own: no row finds the validators of another.
        const QString destination = path(QStringLiteral("cam%1.jpg").arg(++row));
        if (!c.before.isEmpty())
            WriteAll(destination, c.before);
        const ServerScript script = c.requestDoneError ? Reply(c.response).reset() : Reply(c.response);
        const FetchResult result = exchange(script, destination);
        EXPECT_EQ(result.ok, c.result) << result.failure.toStdString();
        EXPECT_EQ(http.RequestDoneError(), c.requestDoneError);
        if (c.requestDoneError != 0) {
            EXPECT_EQ(result.failure, http.ReasonPhrase());
        }
        EXPECT_EQ(ReadFile(destination), c.after);
        EXPECT_FALSE(QFile::exists(fetch.TempImageFile())) << "the working file goes on every way out";
        EXPECT_TRUE(!c.result || OthersRights(destination) == 0) << "the user's alone";
        EXPECT_EQ(result.header, HeaderText(http.RcvdHeader()));
        EXPECT_EQ(memo, http.RcvdHeader());
        EXPECT_EQ(LastStep(log.fileName()), "8 - GetCamImage\r\n");
    }
}

// A full disk that cuts the downloaded picture: the cut copy is no new
// picture and never replaces the stored one. Run in a child whose files
// cannot grow past the limit; the server is the child's own.
TEST_F(ImageFetchTest, PictureCutByAFullDiskIsNotKept)
{
    const QString destination = path("cam.jpg");
    WriteAll(destination, Gif);
    const test::ChildOutcome child = test::RunWithFileSizeLimit(Jpeg.size() / 2, [&](QString &text) {
        text = exchange(Reply(Ok("image/jpeg", Jpeg)), destination).ok ? "new picture" : "no picture";
        return 0;
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.text.toStdString(), "no picture");
    EXPECT_TRUE(ReadFile(destination) == Gif) << "the stored picture stays";
}

// A reply past any picture's size is ended at the limit: neither fetch
// keeps it, and the disk gets no more than the limit.
TEST_F(ImageFetchTest, ReplyBeyondTheDownloadLimitIsEndedAndNotKept)
{
    const QByteArray megabyte(1 << 20, 'x');
    ServerScript script;
    script.readRequest().send("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: "
                              + QByteArray::number(MaxDownloadBytes * 4) + "\r\n\r\n\xff\xd8\xff");
    for (qint64 sent = 0; sent <= MaxDownloadBytes; sent += megabyte.size())
        script.send(megabyte);
    script.hang();
    const QString destination = path("cam.jpg");
    WriteAll(destination, Gif);
    for (const bool wholeFile : {false, true}) {
        const FetchResult result = exchange(script, destination, wholeFile, 0);
        EXPECT_EQ(result.failure, "The reply is larger than 64 MB, more than any picture or list");
        EXPECT_TRUE(ReadFile(destination) == Gif);
        EXPECT_FALSE(QFile::exists(fetch.TempImageFile()));
    }
}

// The Referer is the webcam's URL up to its last slash, without the user
// information, and the list downloads after it keep it unless an
// advertisement is showing; a picture is always asked for fresh. Links
// planted under the working files and the picture's name point out of the
// folder: the server's body never reaches their targets.
TEST_F(ImageFetchTest, APictureAndTheListsAfterIt)
{
    QTemporaryDir outsideDir;
    const QString outside = outsideDir.path() + "/victim";
    WriteAll(outside, "keep");
    const QString picture = path("cam.jpg"), list = path("temp.txt");
    for (const QString &name : {fetch.TempImageFile(), picture, list, list + ".part"})
        ASSERT_TRUE(QFile::link(outside, name));
    ScriptedServer server;
    server.addConnection(Reply(Ok("image/jpeg", Jpeg)));
    server.setDefaultScript(Reply(Ok("text/plain", "a||b||c\r\n")));
    const QString camUrl = server.url("/cams/a.jpg").replace("http://", "http://user:secret@");
    EXPECT_TRUE(fetch.GetCamImage(camUrl, picture, 10).ok);
    EXPECT_TRUE(fetch.GetUrlToFile(server.url("/list.txt"), list, 10).ok);
    settings.showingAd = true;
    EXPECT_TRUE(fetch.GetUrlToFile(server.url("/ad.txt"), path("ad.txt"), 10).ok);

    EXPECT_EQ(ReadFile(outside), "keep");
    EXPECT_TRUE(ReadFile(picture) == Jpeg);
    EXPECT_EQ(ReadFile(list), "a||b||c\r\n");
    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_TRUE(requests[0].contains("\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n"));
    const QByteArray referer = "\r\nReferer: " + server.url("/cams/").toLatin1() + "\r\n";
    EXPECT_TRUE(requests[0].contains(referer)) << requests[0].toStdString();
    EXPECT_TRUE(requests[1].contains(referer)) << requests[1].toStdString();
    EXPECT_TRUE(requests[2].contains("\r\nReferer: http://Lumetta\r\n")) << requests[2].toStdString();
}

// An empty URL is refused before anything starts; a picture's working file
// that cannot be made fails the fetch, a list's raises, and neither asks the
// server nor leaves the client marked as in use; a destination that cannot
// be replaced is left as it is.
TEST_F(ImageFetchTest, LocalFileProblems)
{
    EXPECT_FALSE(fetch.GetCamImage("   ", path("cam.jpg"), 10).ok);
    EXPECT_EQ(LastStep(log.fileName()), "1 - GetCamImage start\r\n");  // so before the working file

    ASSERT_TRUE(QDir().mkpath(fetch.TempImageFile()));  // a folder where the file should go
    ScriptedServer server;
    EXPECT_FALSE(fetch.GetCamImage(server.url("/x.jpg"), path("cam.jpg"), 10).failure.isEmpty());
    EXPECT_EQ(LastStep(log.fileName()), "3 - GetCamImage\r\n");
    EXPECT_THROW((void)fetch.GetUrlToFile(server.url("/x"), path("no/such/folder/x.txt"), 10), FileError);
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_EQ(http.State(), httpReady);

    ASSERT_TRUE(QDir().rmdir(fetch.TempImageFile()));
    server.addConnection(Reply(Ok("text/plain", "ok")));
    server.addConnection(Reply(Ok("image/jpeg", Jpeg)));
    EXPECT_TRUE(fetch.GetUrlToFile(server.url("/x"), path("x.txt"), 10).ok);
    const QString destination = path("taken.jpg");
    ASSERT_TRUE(QDir().mkpath(destination));
    EXPECT_NO_THROW(EXPECT_TRUE(fetch.GetCamImage(server.url("/x.jpg"), destination, 10).ok));
    EXPECT_TRUE(QFileInfo(destination).isDir());
}

TEST_F(ImageFetchTest, ValidatorsAskOnlyForAChangedPicture)
{
    const QByteArray lastModified = "Last-Modified: Mon, 07 Dec 2026 01:02:03 GMT\r\n";
    const QByteArray etag = "ETag: W/\"v1\"\r\n";
    const QByteArray notModified = "HTTP/1.0 304 Not Modified\r\nContent-Type: image/jpeg\r\n\r\n" + OtherJpeg;
    auto picture = [](const QByteArray &extra, const QByteArray &body) {
        return "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n" + extra + "\r\n" + body;
    };
    // A conditional request is answered with the picture held; a plain one
    // with a new picture.
    // sent: the second request's conditional lines; held: their answer; relocation: the status of a moving first reply
    struct Case { const char *description; QByteArray firstExtra; std::function<void(QString)> between = nullptr;
                  QString secondPath = "/cam.jpg"; QByteArray sent = "", held = "", relocation = ""; };
    const Case cases[] = {
        {"ETag and Last-Modified as the server wrote it, 304 with a body", etag + lastModified, nullptr, "/cam.jpg",
         "If-Modified-Since: Mon, 07 Dec 2026 01:02:03 GMT\r\nIf-None-Match: W/\"v1\"\r\n", notModified},
        {"a server ignoring them sends the same picture", etag, nullptr, "/cam.jpg", "If-None-Match: W/\"v1\"\r\n",
         picture(etag, Jpeg)},
        {"a temporary relocation: kept with the URL asked", etag, nullptr, "/cam.jpg", "If-None-Match: W/\"v1\"\r\n",
         notModified, "302 Found"},
        {"a permanent one: with the URL asked from now on", etag, nullptr, "/today.jpg",
         "If-None-Match: W/\"v1\"\r\n", notModified, "301 Moved"},
        {"an older file keeping the password: used, and it goes", etag,
         [](const QString &d) { WriteAll(ValidatorsFileOf(d), ReadFile(ValidatorsFileOf(d)).replace("//", "//u:p@")); },
         "/cam.jpg", "If-None-Match: W/\"v1\"\r\n", notModified},
        {"none without validators", ""},
        {"none when the picture is gone", etag, [](const QString &d) { QFile::remove(d); }},
        {"none for another URL", etag, nullptr, "/other.jpg"},
        {"none from a garbled file", etag,
         [](const QString &d) { test::WriteAll(ValidatorsFileOf(d), "URL: x\r\nETag \"v1\"\r\n"); }},
        {"none through a planted link", etag,
         [](const QString &d) {
             QFile::rename(ValidatorsFileOf(d), d + ".elsewhere");
             QFile::link(d + ".elsewhere", ValidatorsFileOf(d));
         }},
        // Blank lines: read only in part, the file would still be whole.
        {"none from an oversized file", etag,
         [](const QString &d) {
             WriteAll(ValidatorsFileOf(d), ReadFile(ValidatorsFileOf(d)) + QByteArray("\r\n").repeated(5000));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        const bool conditional = !c.sent.isEmpty();
        ScriptedServer server;
        if (!c.relocation.isEmpty())
            server.addConnection(Reply("HTTP/1.0 " + c.relocation + "\r\nLocation: /today.jpg\r\n\r\n"));
        server.addConnection(Reply(picture(c.firstExtra, Jpeg)));
        server.addConnection(Reply(conditional ? c.held : picture(etag, OtherJpeg)));
        const QString destination = path("cam.jpg");
        QFile::remove(destination);
        ASSERT_TRUE(fetch.GetCamImage(server.url("/cam.jpg"), destination, 10).ok);
        if (c.between)
            c.between(destination);
        const FetchResult result = fetch.GetCamImage(server.url(c.secondPath), destination, 10);
        EXPECT_EQ(result.ok, !conditional) << result.failure.toStdString();
        EXPECT_EQ(result.unchanged, conditional);
        EXPECT_TRUE(result.reachedServer);
        EXPECT_EQ(ReadFile(destination), conditional ? Jpeg : OtherJpeg);
        const QByteArray request = server.requests().last();
        const qsizetype from = request.indexOf("Cache-Control: no-cache\r\n") + 25;
        EXPECT_EQ(request.mid(from), c.sent + "\r\n") << request.constData();
        EXPECT_TRUE(http.IfNoneMatch.isEmpty() && http.ModifiedSinceText.isEmpty());
        EXPECT_FALSE(ReadFile(ValidatorsFileOf(destination)).contains(":p@"));
    }
}

// Read at each fetch: a file that stops trusting the server, or cannot,
// says why in the failure.
TEST_F(ImageFetchTest, ExtraCaFileNamedInTheSettingsIsUsed)
{
    lumetta::test::TestResolver resolver;
    resolver.map("lumetta.test");
    http.setResolver(&resolver);
    QByteArray certificate, key;
    ASSERT_TRUE(lumetta::test::MakeTestCertificate(dir.path(), "lumetta.test", certificate, key));
    test::WriteAll(path("right.pem"), certificate);
    test::WriteAll(path("garbled.pem"), "-----BEGIN CERTIFICATE-----\nnot base64\n");
    struct Case { const char *description; QString caFile; bool ok; QString named; };
    const Case cases[] = {
        {"a file without certificates", path("garbled.pem"), false, "holds no PEM certificate"},
        {"a file that is not there", path("none.pem"), false, "cannot be read"},
        {"its own CA", path("right.pem"), true, ""},  // last: no picture before the failing rows
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        ScriptedServer server;
        server.setTls(certificate, key);
        server.addConnection(ServerScript().startTls().readRequest().send(Ok("image/jpeg", Jpeg)));
        settings.caFile = c.caFile;
        const QString url = QStringLiteral("https://lumetta.test:%1/cam.jpg").arg(server.port());
        const FetchResult result = fetch.GetCamImage(url, path("cam.jpg"), 10);
        EXPECT_EQ(result.ok, c.ok) << result.failure.toStdString();
        EXPECT_TRUE(result.failure.contains(c.named)) << result.failure.toStdString();
        EXPECT_EQ(ReadFile(path("cam.jpg")), c.ok ? Jpeg : QByteArray());
    }
}

TEST_F(ImageFetchTest, TimeLimitCoversTheWholeExchange)
{
    // Test time moves perRequest as each request goes out and perBodyByte for each body byte that arrives;
    // timeOut is the setting, in seconds.
    struct Case { const char *description; ServerScript script; qint64 perRequest, perBodyByte; bool urlToFile = false;
                  int timeOut = 1; qint64 limit = 1000; };
    auto trickling = [](const QByteArray &head, const QByteArray &piece) {
        ServerScript script = ServerScript().readRequest().send(head);
        for (int i = 0; i < 20; ++i)
            script.send(piece).awaitRead();
        return script.hang();
    };
    const ServerScript headerTrickle = trickling("HTTP/1.0 200 OK\r\n", "X-Line: 1\r\n");
    const ServerScript trickle = trickling("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n", "x");
    const Case cases[] = {
        {"body that keeps trickling in", trickle, 100, 300},
        {"no limit set: a picture ends at its bound", headerTrickle, UnsetPictureTimeOutSeconds * 1000, 0, false, 0,
         UnsetPictureTimeOutSeconds * 1000},
        {"no limit set: a list ends at its bound", headerTrickle, UnsetFileTimeOutSeconds * 1000, 0, true, 0,
         UnsetFileTimeOutSeconds * 1000},
    };
    qint64 perRequest = 0, perBodyByte = 0;
    // Moves test time from inside the fetch's wait, once the client's
    // handler that asked for it has returned.
    const auto advanceSoon = [this](qint64 ms) {
        QMetaObject::invokeMethod(&http, [this, ms] { time.advance(ms); }, Qt::QueuedConnection);
    };
    http.OnStateChange = [&](THttpCli *s) {
        if (s->State() == httpWaitingHeader)
            advanceSoon(perRequest);
    };
    http.OnDocData = [&](THttpCli *, const char *, qint64 length) { advanceSoon(perBodyByte * length); };
    for (const Case &c : cases) {
        const QString destination = path("cam.jpg");
        WriteAll(destination, Gif);
        perRequest = c.perRequest;
        perBodyByte = c.perBodyByte;
        const qint64 start = time.elapsed();
        const FetchResult result = exchange(c.script, destination, c.urlToFile, c.timeOut);  // a list too keeps it
        // Once, neither early nor late, and data arriving does not restart it.
        EXPECT_EQ(elapsedAtTimeOut - start, c.limit) << c.description;
        EXPECT_EQ(result.failure, QString("No complete answer within %1 s").arg(c.limit / 1000)) << c.description;
        if (!c.urlToFile) {
            EXPECT_EQ(logAtTimeOut, "4 - GetCamImage\r\n") << c.description;
        }
        EXPECT_EQ(ReadFile(destination), Gif) << c.description;
        EXPECT_EQ(time.activeTimers(), 0) << c.description;
        EXPECT_EQ(http.State(), httpReady) << c.description;
    }
}

// A fetch the program stops says who did; in a child, as closing ends every event loop for good.
TEST_F(ImageFetchTest, AStoppedFetchSaysWhoStoppedIt)
{
    const std::pair<std::function<void()>, const char *> cases[] = {
        {[this] { http.Abort(); }, "Download stopped"},
        {[] { QCoreApplication::exit(); }, "Stopped: Lumetta is closing"},
    };
    for (const auto &[stopping, failure] : cases) {
        const std::function<void()> &stop = stopping;  // a lambda may not capture a structured binding
        const test::ChildOutcome child = test::RunWithFileSizeLimit(qint64(1) << 30, [&](QString &text) {
            http.OnStateChange = [&](THttpCli *s) {
                if (s->State() == httpWaitingHeader)
                    QMetaObject::invokeMethod(&http, stop, Qt::QueuedConnection);
            };
            text = exchange(ServerScript().readRequest().hang(), path("cam.jpg")).failure;
            if (QFile::exists(fetch.TempImageFile()))
                text += " (working file left)";
            return 0;
        });
        EXPECT_EQ(child.text.toStdString(), failure);
    }
}

// A server that asked for Digest gets no Basic in the next run either.
TEST_F(ImageFetchTest, DigestAskedForIsExpectedInTheNextRun)
{
    const ServerScript challenge = Reply("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"cam\", "
                                         "nonce=\"n1\", qop=\"auth\"\r\n\r\n");
    const QByteArray picture = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nETag: \"e1\"\r\n\r\n";
    ScriptedServer server;
    for (const QByteArray &body : {Jpeg, OtherJpeg}) {
        server.addConnection(challenge);
        server.addConnection(Reply(picture + body));
    }
    const QString url = server.url("/cam.jpg").replace("http://", "http://cam:s3cret@");
    const QString destination = path("cam.jpg");
    EXPECT_TRUE(fetch.GetCamImage(url, destination, 10).ok);
    THttpCli nextRun;
    ImageFetch nextFetch{nextRun, appPath, [this] { return settings; }, nullptr, time};
    EXPECT_TRUE(nextFetch.GetCamImage(url, destination, 10).ok);

    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_TRUE(requests[0].contains("Authorization: Basic")) << "nothing known yet";
    EXPECT_FALSE(requests[2].contains("Authorization:")) << requests[2].constData();
    EXPECT_TRUE(requests[3].contains("Authorization: Digest")) << requests[3].constData();
    EXPECT_TRUE(requests[3].contains("If-None-Match: \"e1\"")) << "validators found without the password";
    EXPECT_EQ(ReadFile(DigestNoteFileOf(destination)), server.url("").toLatin1() + "\r\n");
    for (const QString &file : {destination, ValidatorsFileOf(destination), DigestNoteFileOf(destination)}) {
        EXPECT_FALSE(ReadFile(file).contains("s3cret")) << file.toStdString();
        EXPECT_EQ(OthersRights(file), 0) << file.toStdString() << " is private";
    }
    server.addConnection(Reply("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n" + Jpeg));
    THttpCli thirdRun;
    (void)ImageFetch{thirdRun, appPath, [this] { return settings; }, nullptr, time}.GetCamImage(url, destination, 10);
    EXPECT_FALSE(QFileInfo::exists(DigestNoteFileOf(destination))) << "the server no longer asks for Digest";
}

// One server is proxy and target: a request through it names the whole URL.
TEST_F(ImageFetchTest, ProxySettingsAreReadAtEachFetch)
{
    // The client starts with the form's proxy, which nothing here listens on.
    EXPECT_EQ(http.Proxy, "127.0.0.1");
    EXPECT_EQ(http.ProxyPort, "8088");
    ScriptedServer server;
    server.setDefaultScript(Reply(Ok("text/plain", "list")));
    struct Step { const char *description; FetchSettings settings; bool viaProxy; };
    const Step steps[] = {
        {"proxy ticked with server and port", {true, "127.0.0.1", server.port(), false}, true},
        {"proxy ticked, server and port left empty: the last proxy stays", {true, "  ", 0, false}, true},
        {"proxy unticked: direct", {false, "127.0.0.1", server.port(), false}, false},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.description);
        settings = s.settings;
        EXPECT_TRUE(fetch.GetUrlToFile(server.url("/list.txt"), path("list.txt"), 10).ok);
        const QByteArray target = s.viaProxy ? server.url("/list.txt").toLatin1() : QByteArray("/list.txt");
        EXPECT_TRUE(server.requests().last().startsWith("GET " + target + " HTTP/1.0\r\n"));
    }
}

// A list that does not come whole leaves the old one, and no working file.
TEST_F(ImageFetchTest, GetUrlToFileFailureKeepsTheOldList)
{
    WriteAll(path("list.txt"), "old list");
    const QByteArray notModified = Response("HTTP/1.0 304 Not Modified", "", "old");
    const FetchResult result = exchange(Reply(notModified), path("list.txt"), true);
    EXPECT_EQ(result.failure, "Status 304 Not Modified");
    EXPECT_EQ(ReadFile(path("list.txt")), "old list");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter("list.txt"), QStringList{"list.txt"});
    EXPECT_EQ(result.header, HeaderText(http.RcvdHeader()));
}

TEST_F(ImageFetchTest, SecondFetchWhileBusyFailsAtOnceAndLeavesTheFirstAlone)
{
    FetchResult second;
    // Another handler runs while the first fetch waits for its reply.
    bool tried = false;
    http.OnHeaderBegin = [&](THttpCli *) {
        if (!std::exchange(tried, true))
            second = fetch.GetUrlToFile("http://other.example/list.txt", path("list.txt"), 10);
    };
    const FetchResult first = exchange(Reply(Ok("image/jpeg", Jpeg)), path("cam.jpg"));
    EXPECT_TRUE(first.ok) << first.failure.toStdString();
    EXPECT_EQ(second.failure, "Another download is still running");
    EXPECT_EQ(ReadFile(path("cam.jpg")), Jpeg);
}

TEST_F(ImageFetchTest, LocalFileNames)
{
    struct Case { const char *description; QString url; QStringList filesOnDisk, listBefore; QString name; };
    const Case cases[] = {
        {"last path segment", "http://host/cams/snap.jpg", {}, {}, "snap.jpg"},
        {"numbers used by records are skipped, without case", "http://host/cams/snap.jpg", {"snap.jpg"},
         {"snap.jpg", "SNAP-1.JPG", "snap-2.jpg"}, "snap-3.jpg"},
        {"a number on disk but in no record is taken over", "http://host/snap.jpg", {"snap.jpg", "snap-1.jpg"},
         {"snap.jpg"}, "snap-1.jpg"},
        {"query characters dropped, long base replaced", "http://host/cgi-bin/image.cgi?cam=2", {}, {}, "lumetta.jpg"},
        {"URL ending with a slash", "http://host/live/", {}, {}, "lumetta.jpg"},
        {"upper-case JPEG kept", "http://host/pic.JPEG", {}, {}, "pic.JPEG"},
        {"GIF kept", "http://host/a/anim.gif", {}, {}, "anim.gif"},
        {"other extension gets .jpg", "http://host/a/cam.png", {}, {}, "cam.png.jpg"},
        {"numeric suffix dropped before numbering", "http://host/cam-7.jpg", {"cam-7.jpg"}, {"cam-7.jpg"}, "cam-1.jpg"},
        {"text suffix kept", "http://host/cam-b.jpg", {"cam-b.jpg"}, {}, "cam-b-1.jpg"},
        {"base of 12 characters kept", "http://host/abcdefghijkl.jpg", {}, {}, "abcdefghijkl.jpg"},
        {"port as the last segment", "http://host:8080", {}, {}, "8080.jpg"},
        {"backslashes and percent signs", "http://host/a\\b%20c$.jpg", {}, {}, "b20c.jpg"},
    };
    for (const Case &c : cases) {
        QTemporaryDir folder;
        for (const QString &f : c.filesOnDisk)
            WriteAll(folder.path() + u'/' + f, "x");
        QStringList list = c.listBefore;
        const QString name = MakeLocalFileName(c.url, folder.path(), list, nullptr);
        EXPECT_EQ(name, c.name) << c.description;
        EXPECT_EQ(list, c.listBefore + QStringList{c.name}) << c.description;
    }
}

} // namespace
