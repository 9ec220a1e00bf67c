#include "net/MultipartStream.h"

#include <gtest/gtest.h>

using namespace lumetta;

TEST(MultipartStream, FirstPartAtEverySplit)
{
    struct Case {
        const char *description;
        QByteArray boundary;
        QByteArray stream;
        QByteArray part;  // when whole
        int error;        // 0: whole
        qint64 limit = MaxDownloadBytes;
    };
    const QByteArray jpeg = "\xff\xd8 picture \r\n--not-it \xff\xd9";
    const QByteArray second = "\r\n--frame\r\nContent-Type: image/jpeg\r\n\r\nsecond";
    const Case cases[] = {
        {"part lengths", "frame",
         "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(jpeg.size()) + "\r\n\r\n" + jpeg
             + second,
         jpeg, 0},
        {"no part lengths: up to the next boundary, its CR LF not in the picture", "frame",
         "--frame\r\nContent-Type: image/jpeg\r\n\r\n" + jpeg + second, jpeg, 0},
        {"a preamble and bare LF line ends", "frame",
         "junk before\n--frame\nContent-Type: image/jpeg\n\n" + jpeg + "\n--frame\n", jpeg, 0},
        {"the camera's boundary already begins with --", "--myboundary",
         "--myboundary\r\nContent-Type: image/jpeg\r\n\r\n" + jpeg + "\r\n--myboundary\r\n", jpeg, 0},
        {"RFC framing of a boundary that begins with --", "--myboundary",
         "----myboundary\r\nContent-Type: image/jpeg\r\n\r\n" + jpeg + "\r\n----myboundary\r\n", jpeg, 0},
        {"an empty part", "frame", "--frame\n\n\n--frame\n", "", 0},
        {"a garbled part length falls back to the boundary", "frame",
         "--frame\r\nContent-Length: lots\r\n\r\n" + jpeg + second, jpeg, 0},
        {"cut in a part with its length", "frame", "--frame\r\nContent-Length: 100\r\n\r\n" + jpeg, "",
         httperr::StreamCut},
        {"nothing at all", "frame", "", "", httperr::StreamNoPart},
        {"a boundary never reached", "frame", QByteArray(70 * 1024, 'x') + "\r\n--frame\r\n\r\nx" + second, "",
         httperr::StreamNoPart},
        {"an endless first part", "frame", "--frame\r\n\r\n" + QByteArray(5000, 'x'), "", httperr::StreamPartTooLarge,
         1000},
        {"a part declaring more than the limit", "frame", "--frame\r\nContent-Length: 1001\r\n\r\nx", "",
         httperr::StreamPartTooLarge, 1000},
        {"an endless part header", "frame", "--frame\r\nX: " + QByteArray(20 * 1024, 'h'), "", httperr::StreamBadPart},
        {"no boundary named", "", "--frame\r\n\r\n" + jpeg + second, "", httperr::StreamNoBoundary},
    };
    for (const Case &c : cases) {
        for (qsizetype cut = 0; cut <= c.stream.size(); cut += c.stream.size() > 2000 ? 997 : 1) {
            SCOPED_TRACE(testing::Message() << c.description << ", cut at " << cut);
            QByteArray part;
            MultipartFirstPart parser(c.boundary, [&part](const char *d, qsizetype n) { part.append(d, n); }, c.limit);
            parser.feed(QByteArrayView(c.stream).first(cut));
            parser.feed(QByteArrayView(c.stream).sliced(cut));
            ASSERT_EQ(parser.done(), c.error == 0);
            parser.finish();
            ASSERT_EQ(parser.errorCode, c.error);
            ASSERT_FALSE(parser.error.contains("%1")) << parser.error.toStdString();
            if (c.error == 0)
                ASSERT_EQ(part, c.part);
            else
                ASSERT_LE(part.size(), c.limit);
        }
    }
}

TEST(MultipartStream, BoundaryOfTheContentType)
{
    const struct {
        QString contentType;
        QByteArray boundary;
    } cases[] = {
        {"multipart/x-mixed-replace; boundary=frame", "frame"},
        {"multipart/x-mixed-replace;Boundary=\"a b\";charset=x", "a b"},
        {"multipart/x-mixed-replace; boundary=--myboundary", "--myboundary"},
        {"multipart/x-mixed-replace; boundary=\"unterminated", ""},
        {"multipart/x-mixed-replace; boundary=" + QString(300, u'b'), ""},
        {"multipart/x-mixed-replace; notaboundary=x", ""},
        {"multipart/x-mixed-replace; boundary=a\x7f", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MultipartBoundary(c.contentType), c.boundary) << c.contentType.toStdString();
}
