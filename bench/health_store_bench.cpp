// The health record's cost per recorded fetch: one row written to the
// health book against rewriting a JSON file of the same entries (the way
// health was kept before), at 100, 10,000 and 100,000 webcams, in the same
// run. Bytes are those handed to the kernel (wchar of /proc/self/io), so
// they count whatever the file system does with them.
//
//   health_store_bench [folder] [fetches]
#include "common/AtomicFile.h"
#include "download/WebcamHealth.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace lumetta;

namespace {

qint64 WrittenSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("wchar:"))
            return line.mid(6).trimmed().toLongLong();
    return 0;
}

struct Times {
    std::vector<double> ms;
    double median() { std::sort(ms.begin(), ms.end()); return ms[ms.size() / 2]; }
    double max() const { return *std::max_element(ms.begin(), ms.end()); }
};

QString Url(int i)
{
    return QStringLiteral("http://cams%1.example.test/live/cam%2.jpg").arg(i % 97).arg(i);
}

QJsonValue TimeValue(TDateTime t)
{
    return t > 0 ? QJsonValue(FormatDateTimeText(t)) : QJsonValue();
}

// The whole book as the JSON file held it.
QByteArray JsonOf(const std::vector<WebcamHealth> &entries)
{
    QJsonObject webcams;
    for (size_t i = 0; i < entries.size(); ++i) {
        const WebcamHealth &h = entries[i];
        QJsonObject o;
        o.insert(QStringLiteral("lastAttempt"), TimeValue(h.lastAttempt));
        o.insert(QStringLiteral("lastNewPicture"), TimeValue(h.lastNewPicture));
        o.insert(QStringLiteral("lastFailure"), TimeValue(h.lastFailure));
        o.insert(QStringLiteral("lastReason"), h.lastReason);
        o.insert(QStringLiteral("failuresInARow"), h.failuresInARow);
        o.insert(QStringLiteral("lastUnchanged"), h.lastUnchanged);
        o.insert(QStringLiteral("showFetches"), h.showFetches);
        o.insert(QStringLiteral("showBytes"), double(h.showBytes));
        o.insert(QStringLiteral("rule"), QString());
        o.insert(QStringLiteral("ruleTime"), TimeValue(h.ruleTime));
        webcams.insert(Url(int(i)), o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("webcams"), webcams);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool RewriteJson(const QString &file, const std::vector<WebcamHealth> &entries)
{
    AtomicFileWriter out(file, ExistingLink::Replace);
    out.setMode(0600);
    return out.open() && out.write(JsonOf(entries)) && out.commit();
}

const TDateTime T0 = EncodeDate(2026, 12, 7) + EncodeTime(3, 0, 0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    const int fetches = argc > 2 ? atoi(argv[2]) : 3000;
    std::mt19937 random(7);

    std::printf("per recorded fetch; bytes handed to the kernel; folder %s\n", qPrintable(base));
    std::printf("%8s | %8s %9s %9s | %12s %9s | %9s | %8s %8s\n", "webcams", "db B", "db med", "db max",
                "json B", "json med", "B ratio", "carry", "open");
    for (int webcams : {100, 10'000, 100'000}) {
        const QString folder = QStringLiteral("%1/n%2").arg(base).arg(webcams);
        QDir().mkpath(folder);
        std::vector<WebcamHealth> entries(webcams);
        for (int i = 0; i < webcams; ++i)
            RecordFetch(entries[i], {i % 3 != 0, false, QStringLiteral("Connection refused"), 40'000}, T0);
        const QString json = folder + "/health.json";
        if (!RewriteJson(json, entries))
            return 1;

        // Carried over from the JSON file once, then opened as every start does.
        QElapsedTimer t;
        t.start();
        {
            HealthBook first;
            first.load(HealthBook::FileIn(folder));
            if (first.size() != webcams || !first.takeNotices().isEmpty())
                return 2;
        }
        const double carry = t.nsecsElapsed() / 1e6;
        Times db;
        double open = 0;
        qint64 before = WrittenSoFar();
        {
        t.start();
        HealthBook book;
        book.load(HealthBook::FileIn(folder));
        open = t.nsecsElapsed() / 1e6;
        for (int f = 0; f < fetches; ++f) {
            const QString url = Url(int(random() % webcams));
            t.start();
            RecordFetch(book.entry(url), {true, false, {}, 40'000}, T0 + f / 86400.0);
            if (!book.save(url))
                return 3;
            db.ms.push_back(t.nsecsElapsed() / 1e6);
        }
        }  // closed: the last checkpoint counts too
        const double dbBytes = double(WrittenSoFar() - before) / fetches;

        // The JSON file rewritten, synced and renamed with each fetch.
        Times peer;
        const int rewrites = std::max(5, std::min(fetches, 2'000'000 / webcams));
        before = WrittenSoFar();
        for (int f = 0; f < rewrites; ++f) {
            t.start();
            RecordFetch(entries[random() % webcams], {true, false, {}, 40'000}, T0 + f / 86400.0);
            if (!RewriteJson(folder + "/peer.json", entries))
                return 4;
            peer.ms.push_back(t.nsecsElapsed() / 1e6);
        }
        const double jsonBytes = double(WrittenSoFar() - before) / rewrites;
        std::printf("%8d | %8.0f %7.3fms %7.1fms | %12.0f %7.1fms | %8.0fx | %6.0fms %6.0fms\n", webcams, dbBytes,
                    db.median(), db.max(), jsonBytes, peer.median(), jsonBytes / dbBytes, carry, open);
    }
    std::printf("db: one row per fetch, its checkpoints and its close\n"
                "json: the whole file, synced and renamed; carry: the JSON file carried over once; open: a start\n");
    return 0;
}
