// An MJPEG stream from a server: taking its first part must not crash,
// must stay within its limit, and must give the same part and outcome
// whether the bytes arrive whole or cut in two (the first byte chooses
// where).
#include "net/MultipartStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Outcome {
    QByteArray part;
    bool done = false;
    int error = 0;
    QString type;
};

Outcome Take(const QByteArray &bytes, qsizetype cut)
{
    Outcome o;
    constexpr qint64 Limit = 4096;
    lumetta::MultipartFirstPart parser("--frame", [&o](const char *d, qsizetype n) { o.part.append(d, n); }, Limit);
    parser.feed(QByteArrayView(bytes).first(cut));
    parser.feed(QByteArrayView(bytes).sliced(cut));
    o.done = parser.done();
    parser.finish();
    o.error = parser.errorCode;
    o.type = parser.contentType;
    if (o.part.size() > Limit || parser.delivered != o.part.size())
        std::abort();
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const Outcome whole = Take(bytes, 0);
    const Outcome split = Take(bytes, bytes.isEmpty() ? 0 : data[0] % (bytes.size() + 1));
    if (whole.done != split.done || whole.error != split.error || whole.type != split.type
        || (whole.done && whole.part != split.part))
        std::abort();
    return 0;
}
