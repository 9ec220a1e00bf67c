#include "download/ImageFetch.h"

#include "common/Errors.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedServer.h"

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

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray Sample(const char *name)
{
    return ReadFile(QStringLiteral(LUMETTA_TEST_DATA "/ok/") + QLatin1String(name));
}

const QByteArray Jpeg = Sample("jpeg_progressive_200x150.jpg");
const QByteArray OtherJpeg = Sample("jpeg_exif_thumbnail_before_frame_640x480.jpg");
const QByteArray Gif = Sample("gif89a_320x240_256_colour_table.gif");
const QByteArray Png = Sample("png_rgb_type2_300x200.png");
const QByteArray Bmp = Sample("bmp_24bit_32x24.bmp");

QByteArray Response(const QByteArray &statusLine, const QByteArray &contentType, const QByteArray &body)
{
    QByteArray r = statusLine + "\r\n";
    if (!contentType.isEmpty())
        r += "Content-Type: " + contentType + "\r\n";
    return r + "\r\n" + body;
}

ServerScript Reply(const QByteArray &bytes)
{
    return ServerScript().readRequest().send(bytes);
}

class ImageFetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_FALSE(Jpeg.isEmpty());
        ASSERT_FALSE(Gif.isEmpty());
        SetMainWindowHttpDefaults(http);
        fetch.OnAdminHeader = [this](const QStringList &lines) { memo = lines; };
        fetch.OnTimedOut = [this] {
            ++timeOuts;
            logAtTimeOut = ReadFile(log.fileName());
        };
    }

    QString path(const QString &name) const { return dir.path() + u'/' + name; }

    QTemporaryDir dir;
    QString appPath = dir.path() + u'/';
    bool debugMode = true;
    DebugLog log{[this] { return debugMode; }, appPath};
    FetchSettings settings;
    THttpCli http;
    ImageFetch fetch{http, appPath, [this] { return settings; }, &log};
    QStringList memo{"not cleared"};
    int timeOuts = 0;
    QByteArray logAtTimeOut;
};

// ---------------------------------------------------------------- GetCamImage

struct CamCase {
    const char *description;
    QList<QByteArray> responses;  // one per connection
    QByteArray before;            // destination beforehand; empty: none
    bool result;
    QByteArray after;             // destination afterwards; empty: none
};

void PrintTo(const CamCase &c, std::ostream *os) { *os << c.description; }

class CamImage : public ImageFetchTest, public ::testing::WithParamInterface<CamCase> {};

TEST_P(CamImage, ResultAndDestination)
{
    const CamCase &c = GetParam();
    ScriptedServer server;
    for (const QByteArray &r : c.responses)
        server.addConnection(Reply(r));
    const QString destination = path("cam.jpg");
    if (!c.before.isEmpty())
        WriteFile(destination, c.before);
    QString header;
    const bool result = fetch.GetCamImage(server.url("/cams/cam.jpg"), destination, header, 30);
    EXPECT_EQ(result, c.result) << fetch.LastFailure().toStdString();
    EXPECT_EQ(ReadFile(destination), c.after);
    EXPECT_EQ(QFileInfo::exists(destination), !c.after.isEmpty());
    EXPECT_EQ(header, HeaderText(http.RcvdHeader()));
    if (!c.responses.isEmpty() && c.responses.first().startsWith("HTTP/")) {
        EXPECT_TRUE(header.startsWith(QString::fromLatin1(c.responses.first().left(c.responses.first().indexOf('\r')))
                                      + "\r\n"));
    }
    EXPECT_EQ(memo, http.RcvdHeader());
    EXPECT_EQ(fetch.TimeOutTimer.Interval(), 0);
    EXPECT_EQ(http.RcvdStream, nullptr);
    EXPECT_EQ(ReadFile(log.fileName()), "8 - GetCamImage\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CamImage,
    ::testing::Values(
        CamCase{"new JPEG replaces the old picture", {Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)}, Gif, true, Jpeg},
        CamCase{"new GIF, no picture before", {Response("HTTP/1.1 200 OK", "image/gif", Gif)}, "", true, Gif},
        CamCase{"same bytes as stored: no new picture, file rewritten alike",
                {Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)}, Jpeg, false, Jpeg},
        CamCase{"content type without image/", {Response("HTTP/1.0 200 OK", "text/html", Jpeg)}, Gif, false, Gif},
        CamCase{"Image/JPEG is not image/", {Response("HTTP/1.0 200 OK", "Image/JPEG", Jpeg)}, Gif, false, Gif},
        CamCase{"no content type", {Response("HTTP/1.0 200 OK", "", Jpeg)}, Gif, false, Gif},
        CamCase{"PNG body under image/jpeg", {Response("HTTP/1.0 200 OK", "image/jpeg", Png)}, Gif, false, Gif},
        CamCase{"BMP body under image/jpeg", {Response("HTTP/1.0 200 OK", "image/jpeg", Bmp)}, Gif, false, Gif},
        CamCase{"HTML body under image/jpeg", {Response("HTTP/1.0 200 OK", "image/jpeg", "<html>no cam</html>")}, Gif,
                false, Gif},
        CamCase{"empty body", {Response("HTTP/1.0 200 OK", "image/jpeg", "")}, Gif, false, Gif},
        CamCase{"304 with a picture", {Response("HTTP/1.0 304 Not Modified", "image/jpeg", OtherJpeg)}, Jpeg, false,
                Jpeg},
        CamCase{"206 with a picture", {Response("HTTP/1.0 206 Partial Content", "image/jpeg", OtherJpeg)}, Jpeg, false,
                Jpeg},
        CamCase{"404 with a picture", {Response("HTTP/1.0 404 Not Found", "image/jpeg", OtherJpeg)}, Jpeg, false, Jpeg},
        CamCase{"relocated, picture from the second server",
                {"HTTP/1.0 302 Found\r\nLocation: /elsewhere.jpg\r\n\r\n", Response("HTTP/1.0 200 OK", "image/jpeg", OtherJpeg)},
                Jpeg, true, OtherJpeg},
        CamCase{"garbage instead of a reply", {QByteArray("\0\xff\r\n\n\n:::\x7f", 10) + Jpeg}, Gif, false, Gif},
        CamCase{"closed before any byte", {""}, Gif, false, Gif}));

TEST_F(ImageFetchTest, SameJpegTwice)
{
    ScriptedServer server;
    server.setDefaultScript(Reply(Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)));
    const QString destination = path("snap.jpg");
    QString header;
    EXPECT_TRUE(fetch.GetCamImage(server.url("/snap.jpg"), destination, header, 0));
    EXPECT_FALSE(fetch.GetCamImage(server.url("/snap.jpg"), destination, header, 0));
    EXPECT_EQ(ReadFile(destination), Jpeg);
    EXPECT_EQ(ReadFile(fetch.TempImageFile()), Jpeg);  // left on disk for the next fetch
}

TEST_F(ImageFetchTest, LocalFailuresLeaveTheDestination)
{
    quint16 closedPort = 0;
    {
        ScriptedServer gone;
        closedPort = gone.port();
    }
    const QString destination = path("cam.jpg");
    WriteFile(destination, Gif);
    for (const QString &url : {QStringLiteral("http://nosuchhost.invalid/x.jpg"),
                               QStringLiteral("http://127.0.0.1:%1/x.jpg").arg(closedPort)}) {
        QString header = "old";
        EXPECT_FALSE(fetch.GetCamImage(url, destination, header, 10)) << url.toStdString();
        EXPECT_EQ(header, "") << url.toStdString();
        EXPECT_EQ(ReadFile(destination), Gif) << url.toStdString();
    }
}

// A full disk that cuts the downloaded picture: the cut copy is no new
// picture and never replaces the stored one. Run in a child whose files
// cannot grow past the limit; the server is the child's own.
TEST_F(ImageFetchTest, PictureCutByAFullDiskIsNotKept)
{
    const QString destination = path("cam.jpg");
    WriteFile(destination, Gif);
    const test::ChildOutcome child = test::RunWithFileSizeLimit(Jpeg.size() / 2, [&](QString &text) {
        ScriptedServer server;
        server.addConnection(Reply(Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)));
        QString header;
        text = fetch.GetCamImage(server.url("/cam.jpg"), destination, header, 30) ? "new picture" : "no picture";
        return 0;
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.text.toStdString(), "no picture");
    EXPECT_TRUE(ReadFile(destination) == Gif) << "the stored picture stays";
}

TEST_F(ImageFetchTest, EmptyUrlDoesNothing)
{
    QString header;
    EXPECT_FALSE(fetch.GetCamImage("   ", path("cam.jpg"), header, 10));
    EXPECT_FALSE(QFileInfo::exists(fetch.TempImageFile()));
    EXPECT_EQ(ReadFile(log.fileName()), "1 - GetCamImage start\r\n");
    EXPECT_EQ(memo, QStringList{"not cleared"});
}

TEST_F(ImageFetchTest, TempFileThatCannotBeCreated)
{
    ASSERT_TRUE(QDir().mkpath(fetch.TempImageFile()));  // a folder where the file should go
    ScriptedServer server;
    QString header;
    EXPECT_FALSE(fetch.GetCamImage(server.url("/x.jpg"), path("cam.jpg"), header, 10));
    EXPECT_EQ(ReadFile(log.fileName()), "3 - GetCamImage\r\n");
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_EQ(http.RcvdStream, nullptr);
}

TEST_F(ImageFetchTest, DestinationThatCannotBeReplacedIsIgnored)
{
    ScriptedServer server;
    server.addConnection(Reply(Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)));
    const QString destination = path("taken.jpg");
    ASSERT_TRUE(QDir().mkpath(destination));
    QString header;
    EXPECT_NO_THROW(EXPECT_TRUE(fetch.GetCamImage(server.url("/x.jpg"), destination, header, 10)));
    EXPECT_TRUE(QFileInfo(destination).isDir());
}

TEST_F(ImageFetchTest, RefererIsTheUrlUpToItsLastSlash)
{
    ScriptedServer server;
    server.addConnection(Reply(Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)));
    QString header;
    fetch.GetCamImage(server.url("/a/b/pic.jpg"), path("cam.jpg"), header, 10);
    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray request = server.requests().first();
    EXPECT_TRUE(request.contains("\r\nReferer: " + server.url("/a/b/").toLatin1() + "\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n"));
}

// ---------------------------------------------------------------- time limit

TEST_F(ImageFetchTest, TimeLimitCoversTheWholeExchange)
{
    struct Case {
        const char *description;
        QList<ServerScript> scripts;
    };
    ServerScript trickle = ServerScript().readRequest().send("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n");
    for (int i = 0; i < 100; ++i)
        trickle.send("x").delay(100);
    const Case cases[] = {
        {"server that never answers", {ServerScript().readRequest().hang()}},
        {"body that keeps trickling in", {trickle}},
        {"relocation to a server that never answers",
         {Reply("HTTP/1.0 302 Found\r\nLocation: /next.jpg\r\n\r\n"), ServerScript().readRequest().hang()}},
    };
    for (const Case &c : cases) {
        ScriptedServer server;
        for (const ServerScript &s : c.scripts)
            server.addConnection(s);
        const QString destination = path("cam.jpg");
        WriteFile(destination, Gif);
        timeOuts = 0;
        QString header;
        EXPECT_FALSE(fetch.GetCamImage(server.url("/cam.jpg"), destination, header, 1)) << c.description;
        EXPECT_EQ(timeOuts, 1) << c.description;
        EXPECT_EQ(logAtTimeOut, "4 - GetCamImage\r\n") << c.description;
        EXPECT_EQ(fetch.LastFailure(), "Connection aborted on request") << c.description;
        EXPECT_EQ(ReadFile(destination), Gif) << c.description;
        EXPECT_EQ(fetch.TimeOutTimer.Interval(), 0) << c.description;
        EXPECT_EQ(http.State(), httpReady) << c.description;
    }
}

TEST_F(ImageFetchTest, TimeLimitAlsoBoundsGetUrlToFile)
{
    ScriptedServer server;
    server.addConnection(ServerScript().readRequest().hang());
    QString header;
    EXPECT_FALSE(fetch.GetUrlToFile(server.url("/list.txt"), path("list.txt"), header, 1));
    EXPECT_EQ(timeOuts, 1);
}

// ---------------------------------------------------------------- settings

TEST_F(ImageFetchTest, ProxySettingsAreReadAtEachFetch)
{
    ScriptedServer proxy;
    proxy.setDefaultScript(Reply(Response("HTTP/1.0 200 OK", "text/plain", "list")));
    ScriptedServer direct;
    direct.setDefaultScript(Reply(Response("HTTP/1.0 200 OK", "text/plain", "list")));
    struct Step {
        const char *description;
        FetchSettings settings;
        bool viaProxy;
    };
    const Step steps[] = {
        {"proxy ticked with server and port", {true, "127.0.0.1", proxy.port(), false}, true},
        {"proxy ticked, server and port left empty: the last proxy stays", {true, "  ", 0, false}, true},
        {"proxy unticked: direct", {false, "127.0.0.1", proxy.port(), false}, false},
    };
    for (const Step &s : steps) {
        settings = s.settings;
        const int before = proxy.requests().size();
        QString header;
        EXPECT_TRUE(fetch.GetUrlToFile(direct.url("/list.txt"), path("list.txt"), header, 10)) << s.description;
        EXPECT_EQ(proxy.requests().size() - before, s.viaProxy ? 1 : 0) << s.description;
        if (s.viaProxy) {
            EXPECT_TRUE(proxy.requests().last().startsWith("GET " + direct.url("/list.txt").toLatin1() + " HTTP/1.0\r\n"))
                << s.description;
        }
    }
    EXPECT_EQ(direct.requests().size(), 1);
}

TEST_F(ImageFetchTest, FirstProxyIsTheFormsDefault)
{
    ScriptedServer proxy(8088);
    if (!proxy.listening())
        GTEST_SKIP() << "port 8088 is taken on this machine";
    proxy.addConnection(Reply(Response("HTTP/1.0 200 OK", "text/plain", "via 8088")));
    settings = {true, "", 0, false};
    QString header;
    EXPECT_TRUE(fetch.GetUrlToFile("http://cam.example/list.txt", path("list.txt"), header, 10));
    ASSERT_EQ(proxy.requests().size(), 1);
    EXPECT_TRUE(proxy.requests().first().startsWith("GET http://cam.example/list.txt HTTP/1.0\r\n"));
}

// ---------------------------------------------------------------- GetUrlToFile

TEST_F(ImageFetchTest, GetUrlToFileOutcomes)
{
    struct Case {
        const char *description;
        QByteArray response;
        bool result;
        QByteArray file;
    };
    const Case cases[] = {
        {"200 stores the body", Response("HTTP/1.0 200 OK", "text/plain", "a||b||c\r\n"), true, "a||b||c\r\n"},
        {"404 fails", Response("HTTP/1.0 404 Not Found", "text/html", "missing"), false, ""},
        {"304 fails although the body is kept", Response("HTTP/1.0 304 Not Modified", "", "old"), false, "old"},
        {"no line end at all: nothing is body", "just text", false, ""},
    };
    for (const Case &c : cases) {
        ScriptedServer server;
        server.addConnection(Reply(c.response));
        QString header;
        EXPECT_EQ(fetch.GetUrlToFile(server.url("/list.txt"), path("list.txt"), header, 10), c.result) << c.description;
        EXPECT_EQ(ReadFile(path("list.txt")), c.file) << c.description;
        EXPECT_EQ(header, HeaderText(http.RcvdHeader())) << c.description;
    }
}

TEST_F(ImageFetchTest, GetUrlToFileRaisesWhenTheFileCannotBeCreated)
{
    ScriptedServer server;
    QString header;
    EXPECT_THROW(fetch.GetUrlToFile(server.url("/x"), path("no/such/folder/x.txt"), header, 10), FileError);
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_EQ(http.State(), httpReady);
    // The client is not left marked as in use.
    server.addConnection(Reply(Response("HTTP/1.0 200 OK", "text/plain", "ok")));
    EXPECT_TRUE(fetch.GetUrlToFile(server.url("/x"), path("x.txt"), header, 10));
}

TEST_F(ImageFetchTest, RefererOfGetUrlToFile)
{
    ScriptedServer server;
    server.setDefaultScript(Reply(Response("HTTP/1.0 200 OK", "text/plain", "ok")));
    QString header;
    http.Reference = "http://previous.example/";
    settings.showingAd = false;
    fetch.GetUrlToFile(server.url("/a"), path("a.txt"), header, 10);
    settings.showingAd = true;
    fetch.GetUrlToFile(server.url("/b"), path("b.txt"), header, 10);
    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[0].contains("\r\nReferer: http://previous.example/\r\n"));
    EXPECT_TRUE(requests[1].contains("\r\nReferer: http://Lumetta\r\n"));
}

// ---------------------------------------------------------------- busy

TEST_F(ImageFetchTest, SecondFetchWhileBusyFailsAtOnceAndLeavesTheFirstAlone)
{
    ScriptedServer server;
    server.addConnection(Reply(Response("HTTP/1.0 200 OK", "image/jpeg", Jpeg)));
    settings = {false, "", 0, false};
    const QString destination = path("cam.jpg");
    bool secondResult = true;
    bool secondCam = true;
    QString secondHeader = "untouched";
    QString secondFailure;
    // Another handler runs while the first fetch waits for its reply.
    bool tried = false;
    http.OnHeaderBegin = [&](THttpCli *) {
        if (std::exchange(tried, true))
            return;
        settings = {true, "127.0.0.1", 1, true};
        secondResult = fetch.GetUrlToFile("http://other.example/list.txt", path("list.txt"), secondHeader, 10);
        secondFailure = fetch.LastFailure();
        QString h;
        secondCam = fetch.GetCamImage("http://other.example/cam.jpg", path("other.jpg"), h, 10);
    };
    QString header;
    EXPECT_TRUE(fetch.GetCamImage(server.url("/cam.jpg"), destination, header, 10)) << fetch.LastFailure().toStdString();
    EXPECT_FALSE(secondResult);
    EXPECT_FALSE(secondCam);
    EXPECT_EQ(secondFailure, "Another download is still running");
    EXPECT_EQ(secondHeader, "");
    EXPECT_FALSE(QFileInfo::exists(path("list.txt")));
    EXPECT_EQ(ReadFile(destination), Jpeg);
    EXPECT_EQ(http.Proxy, "");
    EXPECT_EQ(server.connectionCount(), 1);
}

// ---------------------------------------------------------------- MakeLocalFileName

TEST_F(ImageFetchTest, LocalFileNames)
{
    struct Case {
        const char *description;
        QString url;
        QStringList filesOnDisk;
        QStringList listBefore;
        QString name;
    };
    const Case cases[] = {
        {"last path segment", "http://host/cams/snap.jpg", {}, {}, "snap.jpg"},
        {"name taken on disk gets a number", "http://host/cams/snap.jpg", {"snap.jpg"}, {"snap.jpg"}, "snap-1.jpg"},
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
        {"base of 13 characters replaced", "http://host/abcdefghijklm.jpg", {}, {}, "lumetta.jpg"},
        {"port as the last segment", "http://host:8080", {}, {}, "8080.jpg"},
        {"backslashes and percent signs", "http://host/a\\b%20c$.jpg", {}, {}, "b20c.jpg"},
        {"only an extension", "http://host/.jpg", {}, {}, "lumetta.jpg"},
        {"empty URL", "", {}, {}, "lumetta.jpg"},
    };
    for (const Case &c : cases) {
        QTemporaryDir folder;
        for (const QString &f : c.filesOnDisk)
            WriteFile(folder.path() + u'/' + f, "x");
        QStringList list = c.listBefore;
        int pumps = 0;
        const QString name = MakeLocalFileName(c.url, folder.path(), list, [&] { ++pumps; });
        EXPECT_EQ(name, c.name) << c.description;
        EXPECT_EQ(list, c.listBefore + QStringList{c.name}) << c.description;
    }
}

} // namespace
