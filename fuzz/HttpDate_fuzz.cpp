// Server header text: the date parser and the header lookup must neither
// crash nor raise anything but a conversion error.
#include "common/Errors.h"
#include "common/Subs.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)lumetta::ParseHttpDate(text, 60);
    } catch (const lumetta::ConvertError &) {
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    (void)lumetta::GetHeaderValue(QStringLiteral("Date"), lines);
    (void)lumetta::GetHeaderValue(lines.value(0).section(QLatin1Char(':'), 0, 0), lines);
    (void)lumetta::SplitFields(text, QStringLiteral(" "));
    return 0;
}
