// Start-up reads of every setting the main window loads, from a store of
// 50,000 values, and one setting change, against copying the store with cp
// in the same run. Each run reads a store the program has not seen yet, as
// a fresh start does.
#include "app/SettingsTable.h"
#include "platform/Registry.h"

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

double Ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

bool IsNumber(const SettingSpec &s)
{
    const QLatin1String name(s.name);
    return s.type == SettingType::Flag || s.type == SettingType::Integer || s.type == SettingType::Colour
        || name == QLatin1String("SelectedCam") || name == QLatin1String("LastCam");
}

QByteArray MakeStore(int extraValues)
{
    QByteArray out = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Korvane Software\\Lumetta]\r\n";
    for (const SettingSpec &s : SettingsTable()) {
        if (IsNumber(s))
            out += QStringLiteral("\"%1\"=dword:%2\r\n").arg(s.name).arg(s.intDefault, 8, 16, QLatin1Char('0')).toUtf8();
        else
            out += QStringLiteral("\"%1\"=\"%2\"\r\n").arg(s.name, s.textDefault ? s.textDefault : "/opt/lumetta/").toUtf8();
    }
    for (int i = 0; i < extraValues; ++i)
        out += QStringLiteral("\"Note%1\"=\"Harbour webcam %1, seen from the pier\"\r\n").arg(i).toUtf8();
    out += "\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"ScreenSaveTimeOut\"=dword:00000258\r\n";
    return out;
}

// Every value the window's set-up reads, in its order, with its type.
int ReadAllSettings()
{
    int sum = 0;
    for (const SettingSpec &s : SettingsTable()) {
        const QString name = QLatin1String(s.name);
        if (s.type == SettingType::Flag)
            sum += ReadRegBool(LumettaKey, name, s.intDefault != 0);
        else if (IsNumber(s))
            sum += ReadRegInteger(LumettaKey, name, s.intDefault);
        else
            sum += int(ReadRegString(LumettaKey, name, QString()).size());
    }
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int values = argc > 1 ? atoi(argv[1]) : 50000;
    const int runs = argc > 2 ? atoi(argv[2]) : 5;

    QTemporaryDir dir;
    const QString source = dir.filePath("source.reg");
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly) || f.write(MakeStore(values)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
            return 1;
        }
    }
    const qint64 bytes = QFile(source).size();

    std::vector<double> startup, change, cp;
    int reads = 0;
    for (int r = 0; r < runs; ++r) {
        // A store under a new name is one the program has not read yet.
        const QString store = dir.filePath(QStringLiteral("user%1.reg").arg(r));
        QFile::copy(source, store);
        qputenv("LUMETTA_REGISTRY", store.toUtf8());

        QElapsedTimer t;
        t.start();
        const int sum = ReadAllSettings();
        // A start stores the program folder it already holds.
        WriteRegString(LumettaKey, QStringLiteral("AppPath"), ReadRegString(LumettaKey, QStringLiteral("AppPath"), {}));
        startup.push_back(Ms(t));
        if (sum == 0) {
            std::fprintf(stderr, "nothing read\n");
            return 1;
        }
        reads = int(SettingsTable().size()) + 1;

        t.start();
        WriteRegInteger(LumettaKey, QStringLiteral("Left"), 300 + r);
        change.push_back(Ms(t));
        if (ReadRegInteger(LumettaKey, QStringLiteral("Left"), 0) != 300 + r) {
            std::fprintf(stderr, "the change did not stick\n");
            return 1;
        }

        t.start();
        if (QProcess::execute("cp", {store, dir.filePath("copied.reg")}) != 0) {
            std::fprintf(stderr, "cp failed\n");
            return 1;
        }
        cp.push_back(Ms(t));
    }
    std::printf("settings store: %d values, %.1f MB, %d runs\n", values, bytes / 1e6, runs);
    std::printf("start-up (%d reads, AppPath stored): median %.1f ms\n", reads, Median(startup));
    std::printf("one setting change:                 median %.1f ms\n", Median(change));
    std::printf("cp of the store:                    median %.1f ms\n", Median(cp));
    std::printf("ratio: start-up %.1fx cp, change %.1fx cp\n", Median(startup) / Median(cp),
                Median(change) / Median(cp));
    return 0;
}
