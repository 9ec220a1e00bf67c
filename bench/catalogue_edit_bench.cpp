// Start-up of the main window on a 20,000-webcam catalogue (load and list
// rebuild) and one editor change with its save, offscreen, against copying
// the same file with cp in the same run.
#include "app/LumettaApplication.h"
#include "app/TfrmMain.h"
#include "catalogue/CatalogueFile.h"
#include "platform/Clock.h"
#include "platform/TimeSource.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace lumetta;

namespace {

// Nothing is asked during start-up; any question would be a fault. The
// restore step says it is done; messages are kept to be checked.
class NoDialogs final : public Dialogs {
public:
    int asked = 0;
    QStringList said;
    void showMessage(const QString &text, MessageIcon) override { said << text; }
    DialogButton ask(const QString &, QuestionKind, const QString &) override
    {
        ++asked;
        return DialogButton::No;
    }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QColor> chooseColor(const QColor &) override { return {}; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return {}; }
    std::optional<QString> chooseOpenFile(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    void beep() override {}
};

class OfflineShell final : public SystemShell {
public:
    bool isInternetConnected() override { return false; }
    bool openDocument(const QString &) override { return false; }
    bool startProgram(const QString &, const QStringList &) override { return false; }
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QString home = dir.filePath("home") + "/";
    qputenv("LUMETTA_HOME", home.toUtf8());
    qputenv("LUMETTA_REGISTRY", dir.filePath("config/user.reg").toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
    qputenv("LUMETTA_WINDOWS_DIR", dir.filePath("windows").toUtf8());
    LumettaApplication app(argc, argv);
    const int webcams = argc > 1 ? atoi(argv[1]) : 20000;
    const int runs = argc > 2 ? atoi(argv[2]) : 5;

    QDir().mkpath(home);
    const QString dataFile = home + DataFileBaseName;
    QStringList lines;
    lines.reserve(webcams);
    for (int i = 0; i < webcams; ++i)
        lines << QStringLiteral("%4||Harbour webcam %1||http://cams%2.example.test/live/cam%1.jpg||"
                                "http://cams%2.example.test/||00:05:00||06:00:00||22:00:00||cam%1.jpg||"
                                "2026-12-06 10:00:%3||2026-12-06 09:59:00||%5||1||0")
                     .arg(i)
                     .arg(i % 97)
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(i % 7 ? QStringLiteral("Cities") : QStringLiteral("Adult"))
                     .arg(i % 3 ? 1 : 0);
    SaveCatalogue(dataFile, lines);
    const qint64 bytes = QFile(dataFile).size();

    NoDialogs dialogs;
    OfflineShell shell;
    std::vector<double> startup, rebuild, select, save, cp;
    for (int r = 0; r < runs; ++r) {
        TfrmMain frm(ParseRunMode({}), MainServices{dialogs, shell, DefaultClock(), RealTimeSource()});
        QElapsedTimer t;
        t.start();
        frm.FormCreate();
        startup.push_back(Ms(t));
        if (frm.catalogue().CamData().size() != webcams) {
            std::fprintf(stderr, "loaded %d of %d webcams\n", int(frm.catalogue().CamData().size()), webcams);
            return 1;
        }

        // A restore: copy the backup back, load it and rebuild the list.
        QFile::remove(frm.run().BackupFileName);
        QFile::copy(dataFile, frm.run().BackupFileName);
        t.start();
        frm.findChild<QPushButton *>("butRestore")->click();
        rebuild.push_back(Ms(t));
        if (dialogs.said != QStringList{QStringLiteral("Webcam data restored.")}) {
            std::fprintf(stderr, "restore said: %s\n", qPrintable(dialogs.said.join(" / ")));
            return 1;
        }
        dialogs.said.clear();

        auto *list = frm.findChild<QListWidget *>("SiteList");
        t.start();
        list->setCurrentRow(webcams / 2);
        select.push_back(Ms(t));

        // One editor change: the write-back saves the whole file.
        auto *refresh = frm.findChild<QTimeEdit *>("dtRefreshRate");
        t.start();
        refresh->setTime(QTime(0, r + 1, 7));
        save.push_back(Ms(t));
        const QString stored = frm.catalogue().CamData()[webcams / 2].section("||", 4, 4);
        if (stored != QTime(0, r + 1, 7).toString("HH:mm:ss")) {
            std::fprintf(stderr, "the change did not reach the record: %s\n", qPrintable(stored));
            return 1;
        }

        t.start();
        if (QProcess::execute("cp", {dataFile, dir.filePath("copied.dat")}) != 0) {
            std::fprintf(stderr, "cp failed\n");
            return 1;
        }
        cp.push_back(Ms(t));
    }
    if (dialogs.asked || !dialogs.said.isEmpty()) {
        std::fprintf(stderr, "%d questions asked; said: %s\n", dialogs.asked, qPrintable(dialogs.said.join(" / ")));
        return 1;
    }
    std::printf("catalogue: %d webcams, %.1f MB, %d runs, offscreen\n", webcams, bytes / 1e6, runs);
    std::printf("start-up (FormCreate, settings to list): median %.1f ms  (aim < 1000)\n", Median(startup));
    std::printf("  load + RebuildSiteList alone:           median %.1f ms\n", Median(rebuild));
    std::printf("select a webcam, editor loaded:           median %.1f ms\n", Median(select));
    std::printf("one editor change with its save:          median %.1f ms  (aim < 50)\n", Median(save));
    std::printf("cp of the same file:                      median %.1f ms\n", Median(cp));
    std::printf("ratio: save %.1fx cp\n", Median(save) / Median(cp));
    return 0;
}
