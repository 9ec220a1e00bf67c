// Large outside input read in linear time: a webcam list of 1.2 million
// lines filling the import dialog (and a filter that keeps every other
// line), and a 1 MB "Categories" value turned into ticked names. Each runs
// at half and at full size, so the ratio shows the growth; wc -l reads the
// same list in the same run as the peer.
#include "catalogue/CamRecord.h"
#include "service/TfrmImport.h"
#include "service/WebcamList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace lumetta;

namespace {

double Ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

QByteArray List(int lines)
{
    QByteArray text;
    text.reserve(qsizetype(lines) * 52);
    for (int i = 0; i < lines; ++i)
        text += "Cities||Harbour " + QByteArray::number(i) + (i % 2 ? " odd" : " even")
                + "||http://c.example/" + QByteArray::number(i) + ".jpg||h||60||10:00||10:00\r\n";
    return text;
}

struct ListTimes {
    double read, show, filter, wc;
};

ListTimes TimeList(const QTemporaryDir &dir, int lines)
{
    const QString file = dir.filePath(QStringLiteral("list%1.txt").arg(lines));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(List(lines)) < 0)
        std::exit(1);
    out.close();
    ListTimes t{};
    QElapsedTimer clock;
    clock.start();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        std::exit(1);
    QStringList importList = ReadListLines(in.readAll());
    t.read = Ms(clock);
    TfrmImport dialog(importList, file);
    clock.start();
    dialog.showList(QStringLiteral("Last updated: now"), true);
    QCoreApplication::processEvents();
    t.show = Ms(clock);
    clock.start();
    dialog.findChild<QLineEdit *>(QStringLiteral("edtFilter"))->setText(QStringLiteral("o"));
    dialog.findChild<QLineEdit *>(QStringLiteral("edtFilter"))->setText(QStringLiteral("od"));
    QCoreApplication::processEvents();
    t.filter = Ms(clock);
    if (importList.size() != lines / 2)
        std::fprintf(stderr, "filter kept %d of %d lines\n", int(importList.size()), lines);
    dialog.hide();
    clock.start();
    QProcess::execute(QStringLiteral("wc"), {QStringLiteral("-l"), file});
    t.wc = Ms(clock);
    return t;
}

double TimeCategories(int bytes)
{
    QString value;
    value.reserve(bytes);
    for (int i = 0; value.size() < bytes; ++i)
        value += QStringLiteral("cat%1,").arg(i);
    QElapsedTimer clock;
    clock.start();
    const QStringList names = SplitToList(value);
    const QList<bool> ticked = SelectedFlags(names, SplitToList(value));
    if (ticked.count(true) != names.size())
        std::fprintf(stderr, "categories lost their ticks\n");
    return Ms(clock);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? atoi(argv[1]) : 1200000;
    QTemporaryDir dir;
    const ListTimes half = TimeList(dir, lines / 2);
    const ListTimes full = TimeList(dir, lines);
    std::printf("webcam list, %d and %d lines, offscreen\n", lines / 2, lines);
    std::printf("  read:                 %8.0f ms  %8.0f ms  ratio %.2f\n", half.read, full.read, full.read / half.read);
    std::printf("  dialog shown:         %8.0f ms  %8.0f ms  ratio %.2f\n", half.show, full.show, full.show / half.show);
    std::printf("  filter, every other:  %8.0f ms  %8.0f ms  ratio %.2f\n", half.filter, full.filter,
                full.filter / half.filter);
    std::printf("  wc -l of the file:    %8.0f ms  %8.0f ms\n", half.wc, full.wc);
    std::printf("  read + shown against wc -l: %.1fx\n", (full.read + full.show) / full.wc);
    const double catHalf = TimeCategories(512 * 1024), catFull = TimeCategories(1024 * 1024);
    std::printf("\"Categories\" value, 0.5 and 1 MB: %.0f ms  %.0f ms  ratio %.2f\n", catHalf, catFull,
                catFull / catHalf);
    return 0;
}
