// Catalogue and list file bytes: lines split, records split and rejoined,
// times and dates read; only conversion errors may come out.
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"
#include "common/Errors.h"
#include "common/Subs.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &line : lumetta::SplitTextLines(bytes)) {
        const lumetta::CamRecord r = lumetta::CamRecord::fromLine(line.trimmed());
        const QString again = r.toLine();
        if (lumetta::CamRecord::fromLine(again).toLine() != again)
            __builtin_trap();  // joining must be stable
        (void)r.enabled();
        (void)r.autoAdjust();
        try {
            (void)r.refreshRate();
            (void)r.lastModified();
        } catch (const lumetta::ConvertError &) {
        }
        (void)lumetta::SplitToList(line);
    }
    return 0;
}
