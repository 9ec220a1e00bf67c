#include "net/HttpResponseParser.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using lumetta::HttpResponseParser;
namespace httperr = lumetta::httperr;

namespace {

// A parser fed the chunks, then told the connection closed, with
// everything it told its listener.
struct Parsed : HttpResponseParser::Listener {
    QStringList events;  // "begin", "line:...", "end", "cookie:..."
    QByteArray bytes;
    HttpResponseParser parser{this};

    explicit Parsed(const QList<QByteArray> &chunks, bool forHead = false)
    {
        parser.reset(forHead);
        for (const QByteArray &chunk : chunks)
            parser.feed(chunk);
        parser.finish();
    }
    void headerBegin() override { events << QStringLiteral("begin"); }
    void headerLine(const QString &line) override { events << QStringLiteral("line:") + line; }
    void headerEnd() override { events << QStringLiteral("end"); }
    void cookie(const QString &value) override { events << QStringLiteral("cookie:") + value; }
    void body(const char *data, qsizetype length) override { bytes.append(data, length); }

    // Every field, to compare a result fed in pieces with the whole.
    std::string text() const
    {
        const HttpResponseParser &p = parser;
        return QStringList{QString::number(p.statusCode), p.reasonPhrase, p.contentType,
                           QString::number(p.contentLength), QString::number(p.hasLocation), p.location,
                           p.contentRangeBegin, p.contentRangeEnd, p.error, QString::number(p.errorCode),
                           QString::number(int(p.phase())), QString::number(p.bodyComplete()), events.join(u'|'),
                           QString::fromLatin1(bytes.toHex())}
            .join(u'\n')
            .toStdString();
    }
};

struct ParseCase {
    const char *description;
    QByteArray response;
    int status;
    QString reason;
    QString contentType;
    qint64 contentLength;
    QByteArray expectedBody;
    QStringList lines;  // header lines as reported
    HttpResponseParser::Phase phase;
    int errorCode = 0;      // when the phase is Failed
    bool complete = false;  // ended by its own framing, before any close
    bool forHead = false;   // the reply to a HEAD request
};

void PrintTo(const ParseCase &c, std::ostream *os) { *os << c.description; }

using Phase = HttpResponseParser::Phase;

class ParseTable : public ::testing::TestWithParam<ParseCase> {};

// Each recorded response gives the same result whole, split in two at every
// byte, and fed byte by byte.
TEST_P(ParseTable, SameResultAtEverySplit)
{
    const ParseCase &c = GetParam();
    const Parsed whole({c.response}, c.forHead);
    EXPECT_EQ(whole.parser.statusCode, c.status);
    EXPECT_EQ(whole.parser.reasonPhrase, c.reason);
    EXPECT_EQ(whole.parser.contentType, c.contentType);
    EXPECT_EQ(whole.parser.contentLength, c.contentLength);
    EXPECT_EQ(whole.bytes, c.expectedBody);
    EXPECT_EQ(whole.parser.phase(), c.phase);
    EXPECT_EQ(whole.parser.errorCode, c.errorCode);
    EXPECT_EQ(whole.parser.bodyComplete(), c.complete);
    const QRegularExpression line(QStringLiteral("^line:"));
    EXPECT_EQ(whole.events.filter(line).replaceInStrings(line, QString()), c.lines);
    EXPECT_EQ(whole.events.count(QStringLiteral("begin")), c.response.isEmpty() ? 0 : 1);
    // An error status, or a reply that failed or is not wanted, needs no more bytes.
    EXPECT_EQ(whole.parser.closeWanted(), c.phase != Phase::Body);

    for (qsizetype at = 0; at <= c.response.size(); ++at) {
        ASSERT_EQ(Parsed({c.response.left(at), c.response.mid(at)}, c.forHead).text(), whole.text())
            << "split at byte " << at;
    }
    QList<QByteArray> bytes;
    for (char ch : c.response)
        bytes << QByteArray(1, ch);
    EXPECT_EQ(Parsed(bytes, c.forHead).text(), whole.text()) << "byte by byte";
}

INSTANTIATE_TEST_SUITE_P(
    Responses, ParseTable,
    ::testing::Values(
        ParseCase{"status line, blanks before a content type, CR LF body bytes kept",
                  "HTTP/1.1 200 OK\r\nContent-Type:     Image/JPEG\r\nContent-Length: 7\r\n\r\nab\r\ncd\n",
                  200, "OK", "image/jpeg", 7, "ab\r\ncd\n",
                  {"HTTP/1.1 200 OK", "Content-Type:     Image/JPEG", "Content-Length: 7"}, Phase::Body, 0, true},
        ParseCase{"body shorter than its Content-Length, then closed",
                  "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc", 200, "OK", "", 10, "abc",
                  {"HTTP/1.0 200 OK", "Content-Length: 10"}, Phase::Failed, httperr::CutShort},
        ParseCase{"header closed before its empty line",
                  "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n", 200, "OK", "image/jpeg", -1, "",
                  {"HTTP/1.0 200 OK", "Content-Type: image/jpeg"}, Phase::Failed, httperr::CutShort},
        ParseCase{"chunked: sizes, an extension and a trailer are not body",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                  "4;name=x\r\nWiki\r\n5\r\npedia\r\nE \r\n in\r\n\r\nchunks.\r\n0\r\nX-Trailer: 1\r\n\r\nafter",
                  200, "OK", "", -1, "Wikipedia in\r\n\r\nchunks.",
                  {"HTTP/1.1 200 OK", "Transfer-Encoding: chunked"}, Phase::Body, 0, true},
        ParseCase{"chunked with LF line ends and upper-case hex wins over Content-Length",
                  "HTTP/1.1 200 OK\nContent-Length: 3\nTransfer-Encoding: gzip, Chunked\n\n"
                  "1A\n0123456789ABCDEFGHIJKLMNOP\n0\n\n",
                  200, "OK", "", 3, "0123456789ABCDEFGHIJKLMNOP",
                  {"HTTP/1.1 200 OK", "Content-Length: 3", "Transfer-Encoding: gzip, Chunked"}, Phase::Body, 0, true},
        ParseCase{"chunked, closed before the last chunk",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n", 200, "OK", "", -1, "Wiki",
                  {"HTTP/1.1 200 OK", "Transfer-Encoding: chunked"}, Phase::Failed, httperr::CutShort},
        ParseCase{"chunk size that is no number",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nWiki\r\n0\r\n\r\n", 200, "OK", "", -1,
                  "", {"HTTP/1.1 200 OK", "Transfer-Encoding: chunked"}, Phase::Failed, httperr::BadChunk},
        ParseCase{"chunk longer than its size",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcdef\r\n0\r\n\r\n", 200, "OK", "",
                  -1, "abc", {"HTTP/1.1 200 OK", "Transfer-Encoding: chunked"}, Phase::Failed, httperr::BadChunk},
        ParseCase{"chunk size beyond 63 bits",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8000000000000000\r\nab", 200, "OK", "", -1,
                  "", {"HTTP/1.1 200 OK", "Transfer-Encoding: chunked"}, Phase::Failed, httperr::BadChunk},
        ParseCase{"<html> first line in any case is a body without header",
                  "<HtMl><body>x</body>\r\nmore\r\n", 0, "", "text/html", -1, "<HtMl><body>x</body>more\r\n", {},
                  Phase::Body},
        ParseCase{"<HTML> after header lines keeps the type already given",
                  "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n<HTML>abc\nrest", 200, "OK", "text/plain", -1,
                  "<HTML>abcrest", {"HTTP/1.0 200 OK", "Content-Type: text/plain"}, Phase::Body},
        ParseCase{"a relocation's body is not wanted",
                  "HTTP/1.0 302 Found\r\nLocation: /new.jpg\r\n\r\nmoved", 302, "Found", "", -1, "",
                  {"HTTP/1.0 302 Found", "Location: /new.jpg"}, Phase::Discard},
        ParseCase{"a 400 going straight to a page is not wanted either", "HTTP/1.0 400 Bad Request\r\n<html>no</html>",
                  400, "Bad Request", "text/html", -1, "", {"HTTP/1.0 400 Bad Request"}, Phase::Discard},
        ParseCase{"an error status's body is not wanted",
                  "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html>gone</html>", 404, "Not Found",
                  "text/html", -1, "", {"HTTP/1.0 404 Not Found", "Content-Type: text/html"}, Phase::Discard},
        ParseCase{"status line cut by the close still counts, but the reply is cut short", "HTTP/1.0 200 OK", 200,
                  "OK", "", -1, "", {"HTTP/1.0 200 OK"}, Phase::Failed, httperr::CutShort},
        ParseCase{"status code that is no number", "HTTP/1.0 2x0 Odd\r\n\r\nz", 0, "Odd", "", -1, "z",
                  {"HTTP/1.0 2x0 Odd"}, Phase::Body},
        ParseCase{"short status line; 204 ends at its empty line whatever Content-Length says",
                  "HTTP/1.1 204\r\nContent-Length: 5\r\n\r\nhello", 204, "", "", 5, "",
                  {"HTTP/1.1 204", "Content-Length: 5"}, Phase::Body, 0, true},
        ParseCase{"304 ends at its empty line, chunked or not",
                  "HTTP/1.1 304 Not Modified\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", 304,
                  "Not Modified", "", -1, "", {"HTTP/1.1 304 Not Modified", "Transfer-Encoding: chunked"}, Phase::Body,
                  0, true},
        ParseCase{"reply to HEAD ends at its empty line whatever Content-Length says",
                  "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n", 200, "OK", "", 1000, "",
                  {"HTTP/1.0 200 OK", "Content-Length: 1000"}, Phase::Body, 0, true, true},
        ParseCase{"error status cut before its empty line is still the error", "HTTP/1.0 503 Busy\r\nX: 1", 503,
                  "Busy", "", -1, "", {"HTTP/1.0 503 Busy", "X: 1"}, Phase::Header},
        ParseCase{"other protocol versions are no status line", "HTTP/2 200 OK\r\n\r\n", 0, "", "", -1, "",
                  {"HTTP/2 200 OK"}, Phase::Body},
        ParseCase{"Content-Length 0 without a blank: nothing after the header is body",
                  "HTTP/1.0 200 OK\r\nContent-Length:0\r\n\r\nextra", 200, "OK", "", 0, "",
                  {"HTTP/1.0 200 OK", "Content-Length:0"}, Phase::Body, 0, true},
        ParseCase{"chunk size followed by junk",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2 x\r\nab\r\n0\r\n\r\n", 200, "OK", "", -1,
                  "", {"HTTP/1.1 200 OK", "Transfer-Encoding: chunked"}, Phase::Failed, httperr::BadChunk},
        ParseCase{"content length that is no number", "HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n", 200, "OK",
                  "", -1, "", {"HTTP/1.0 200 OK", "Content-Length: 12abc"}, Phase::Body},
        ParseCase{"empty response", "", 0, "", "", -1, "", {}, Phase::Failed, httperr::CutShort},
        ParseCase{"lone CR and NUL bytes inside lines",
                  QByteArray("HTTP/1.0 200 O\rK\r\nX: a") + '\0' + "b\r\n\r\n" + '\0',
                  200, QString("O\rK"), "", -1, QByteArray("\0", 1),
                  {"HTTP/1.0 200 O\rK", QString("X: a") + QChar(0) + "b"},
                  Phase::Body}));

TEST(HttpResponseParser, ContentRangeAndCookies)
{
    const Parsed r({"HTTP/1.0 206 Partial\r\nContent-Range: bytes 100-199/1000\r\nSet-Cookie: a=1\r\n\r\n"});
    EXPECT_EQ(r.parser.contentRangeBegin + "-" + r.parser.contentRangeEnd, "100-199");
    EXPECT_TRUE(r.events.contains("cookie:a=1"));
    EXPECT_EQ(Parsed({"HTTP/1.0 302 Found\r\nLocation:  /new.jpg  \r\n\r\n"}).parser.location, "/new.jpg");
    // No first byte: the range stays one the next request can send as it is.
    const Parsed suffix({"HTTP/1.0 206 Partial\r\nContent-Range: bytes -5/200\r\n\r\n"});
    EXPECT_EQ(suffix.parser.contentRangeBegin + "-" + suffix.parser.contentRangeEnd, "-5");
}

// The limit: a header line of 8191 bytes before its LF passes, 8192 fail;
// the body has no limit.
TEST(HttpResponseParser, LineLengthLimit)
{
    struct Case { const char *description; QByteArray line; bool fails; };
    const QByteArray prefix = "X-Long: ";
    const Case cases[] = {
        {"8191 bytes, LF only", prefix + QByteArray(8191 - prefix.size(), 'a'), false},
        {"8192 bytes, LF only", prefix + QByteArray(8192 - prefix.size(), 'a'), true},
    };
    for (const Case &c : cases) {
        const QByteArray response = "HTTP/1.0 200 OK\r\n" + c.line + "\n\r\nbody";
        for (qsizetype at : {qsizetype(0), qsizetype(20), qsizetype(8000), response.size() - 5}) {
            const Parsed r({response.left(at), response.mid(at)});
            EXPECT_EQ(r.parser.error, c.fails ? lumetta::HttpErrorText(httperr::LineTooLong) : QString())
                << c.description << ", split at " << at;
            EXPECT_EQ(r.bytes, c.fails ? QByteArray() : QByteArray("body")) << c.description;
        }
    }
    // The whole header, short lines, line ends and its empty line counted,
    // may reach the limit, however it arrives.
    for (const qsizetype size : {HttpResponseParser::MaxHeaderSize, HttpResponseParser::MaxHeaderSize + 1}) {
        QByteArray header = "HTTP/1.0 200 OK\r\n";
        while (size - header.size() - 2 > 1000)
            header += "X: " + QByteArray(995, 'a') + "\r\n";
        header += "Y: " + QByteArray(size - header.size() - 2 - 5, 'a') + "\r\n\r\n";
        ASSERT_EQ(header.size(), size);
        for (qsizetype at : {header.size(), qsizetype(100), header.size() - 3}) {
            const Parsed r({header.left(at), header.mid(at) + "body"});
            EXPECT_EQ(r.parser.errorCode, size > HttpResponseParser::MaxHeaderSize ? httperr::HeaderTooLong : 0)
                << size << " bytes, split at " << at;
        }
    }
    const Parsed big({"HTTP/1.0 200 OK\r\n\r\n" + QByteArray(50000, 'b')});
    EXPECT_EQ(big.bytes.size(), 50000);
    EXPECT_EQ(big.parser.phase(), Phase::Body);
}

} // namespace
