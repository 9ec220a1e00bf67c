// Webcam list bytes: every line ticked and merged into a small catalogue.
// Whatever the list holds, a new record must stay one line whose local file
// name stays inside the download folder.
#include "catalogue/CamRecord.h"
#include "catalogue/Catalogue.h"
#include "service/WebcamList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    lumetta::MergeInput in;
    in.lines = lumetta::ReadListLines(bytes);
    in.ticked = QList<bool>(in.lines.size(), true);
    in.camData = QStringList{QStringLiteral("Snow||Alps||http://a/cam.jpg||h||00:01:00||00:00:00||00:00:00||a.jpg")};
    in.categories = QStringList{QStringLiteral("General"), QStringLiteral("Snow")};
    in.biasMinutes = -90;
    (void)lumetta::ListDisplayTexts(in.lines);
    const lumetta::MergeResult r = lumetta::MergeListLines(in);
    if (r.selected > in.lines.size() || r.duplicates + r.newRecords.size() > r.selected)
        __builtin_trap();
    for (const QString &record : r.newRecords) {
        if (record.contains(QLatin1Char('\r')) || record.contains(QLatin1Char('\n')))
            __builtin_trap();
        const lumetta::CamRecord cam = lumetta::CamRecord::fromLine(record);
        if (!lumetta::IsSafeLocalFileName(cam.localFilename()))
            __builtin_trap();
        (void)cam.refreshRate();  // always a readable time
        (void)cam.startTime();
        (void)cam.endTime();
    }
    return 0;
}
