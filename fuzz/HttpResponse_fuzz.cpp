// Server replies: the response parser must not crash, and must read the
// same response whether it arrives whole or cut in two (the first byte
// chooses where), since the network cuts replies anywhere.
#include "net/HttpResponseParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Record : lumetta::HttpResponseParser::Listener {
    QStringList events;
    QByteArray bytes;
    void headerBegin() override { events << QStringLiteral("begin"); }
    void headerLine(const QString &line) override { events << line; }
    void headerEnd() override { events << QStringLiteral("end"); }
    void cookie(const QString &value) override { events << QStringLiteral("cookie ") + value; }
    void body(const char *data, qsizetype length) override { bytes.append(data, length); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const qsizetype cut = bytes.isEmpty() ? 0 : data[0] % (bytes.size() + 1);

    Record whole, split;
    lumetta::HttpResponseParser a(&whole), b(&split);
    a.feed(bytes);
    a.finish();
    b.feed(QByteArrayView(bytes).first(cut));
    b.feed(QByteArrayView(bytes).sliced(cut));
    b.finish();
    if (whole.events != split.events || whole.bytes != split.bytes || a.statusCode != b.statusCode
        || a.phase() != b.phase() || a.contentType != b.contentType || a.contentLength != b.contentLength
        || a.errorCode != b.errorCode || a.bodyComplete() != b.bodyComplete())
        std::abort();
    return 0;
}
