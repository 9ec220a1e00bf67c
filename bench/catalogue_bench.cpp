// Loads, splits and saves a catalogue of 100,000 webcams and compares the
// time with copying the same file with cp, in the same run.
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace lumetta;

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int webcams = argc > 1 ? atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? atoi(argv[2]) : 5;

    QTemporaryDir dir;
    const QString source = dir.filePath("lumetta.dat");
    QStringList lines;
    lines.reserve(webcams);
    for (int i = 0; i < webcams; ++i)
        lines << QStringLiteral("Cities||Harbour webcam %1||http://cams%2.example.test/live/cam%1.jpg||"
                                "http://cams%2.example.test/||00:05:00||06:00:00||22:00:00||cam%1.jpg||"
                                "2026-12-06 10:00:%3||2026-12-06 09:59:00||1||1||0")
                     .arg(i).arg(i % 97).arg(i % 60, 2, 10, QLatin1Char('0'));
    SaveCatalogue(source, lines);
    const qint64 bytes = QFile(source).size();

    std::vector<double> ours, cp, load, split, save;
    int held = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t, step;
        t.start();
        step.start();
        const QStringList loaded = LoadCatalogue(source);
        load.push_back(step.nsecsElapsed() / 1e6);
        step.start();
        for (const QString &line : loaded)
            held += CamRecord::fromLine(line.trimmed()).enabled() ? 1 : 0;
        split.push_back(step.nsecsElapsed() / 1e6);
        step.start();
        SaveCatalogue(dir.filePath("saved.dat"), loaded);
        save.push_back(step.nsecsElapsed() / 1e6);
        ours.push_back(t.nsecsElapsed() / 1e6);

        t.start();
        if (QProcess::execute("cp", {source, dir.filePath("copied.dat")}) != 0) {
            std::fprintf(stderr, "cp failed\n");
            return 1;
        }
        cp.push_back(t.nsecsElapsed() / 1e6);
    }
    const double a = Median(ours), b = Median(cp);
    std::printf("catalogue: %d webcams, %.1f MB, %d runs (%d enabled read)\n", webcams, bytes / 1e6, runs,
                held / runs);
    std::printf("load + split + save: median %.1f ms (load %.1f, split %.1f, save %.1f)\n", a, Median(load),
                Median(split), Median(save));
    std::printf("cp of the same file: median %.1f ms\n", b);
    std::printf("ratio: %.1fx cp\n", a / b);
    return 0;
}
