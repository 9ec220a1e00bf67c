// Merging a large master list into a large catalogue: every ticked line is
// tested against every catalogue URL as a prefix. Usage:
// list_merge_bench [list lines] [catalogue webcams]
#include "catalogue/CamRecord.h"
#include "service/WebcamList.h"

#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <algorithm>

using namespace lumetta;

int main(int argc, char **argv)
{
    const int lines = argc > 1 ? std::atoi(argv[1]) : 50000;
    const int cams = argc > 2 ? std::atoi(argv[2]) : 20000;
    MergeInput in;
    in.categories = QStringList{"General", "Cities", "Snow", "Adult"};
    in.biasMinutes = -60;
    for (int i = 0; i < cams; ++i)
        in.camData.append(QStringLiteral("Cities||Cam %1||http://cams%2.example/live/image%1.jpg||http://h||"
                                         "00:01:00||08:00:00||20:00:00||image%1.jpg||2000-01-01||2000-01-01||1||1||0")
                              .arg(i)
                              .arg(i % 97));
    // Every other line repeats a catalogue webcam with a query added.
    for (int i = 0; i < lines; ++i) {
        const int k = i / 2;
        in.lines.append(i % 2 ? QStringLiteral("Snow||Cam %1||http://cams%2.example/live/image%1.jpg?t=%3||h||300||"
                                               "10:00:00||18:00:00")
                                    .arg(k % cams)
                                    .arg(k % cams % 97)
                                    .arg(i)
                              : QStringLiteral("Snow||New %1||http://new.example/c/%1.jpg||h||60||10:00:00||18:00:00")
                                    .arg(i));
    }
    in.ticked = QList<bool>(lines, true);

    QElapsedTimer timer;
    timer.start();
    const MergeResult r = MergeListLines(in);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("merge of %d list lines into %d webcams: %.3f s (%d duplicates, %lld added)\n", lines, cams,
                seconds, r.duplicates, static_cast<long long>(r.newRecords.size()));

    // The scan as first written, for scale: every line against every
    // catalogue URL, on a sample of the lines.
    const int sample = std::min(lines, 1000);
    QStringList urls;
    for (const QString &record : in.camData)
        urls.append(CamRecord::fromLine(record).imageUrl());
    timer.restart();
    int naiveDuplicates = 0;
    // Spread over the list, so late duplicates weigh as they do in the whole.
    for (int n = 0; n < sample; ++n) {
        const QString url = CamRecord::fromLine(in.lines[int(qint64(n) * lines / sample)]).imageUrl();
        for (const QString &known : urls) {
            if (url.startsWith(known)) {
                ++naiveDuplicates;
                break;
            }
        }
    }
    const double naive = double(timer.nsecsElapsed()) / 1e9 * lines / sample;
    std::printf("scan of every catalogue URL per line (from %d lines): %.3f s, %.0fx slower\n", sample, naive,
                naive / seconds);
    return 0;
}
