// camsim: simulated webcams and vendor site on loopback.
//   camsim [--port N] [--cams N] [--catalogue FILE]
// With --catalogue, writes a catalogue of the simulated cameras to FILE
// (keeping an existing file that already lists them) and keeps serving.
// Submissions sent to its script are collected at /lists/submissions.lst.
#include "CamSim.h"
#include "catalogue/CatalogueFile.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated webcams and vendor site on loopback"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port to listen on (0: any)."), QStringLiteral("port"), QStringLiteral("8765")});
    parser.addOption({QStringLiteral("cams"), QStringLiteral("Number of cameras."), QStringLiteral("n"), QStringLiteral("8")});
    parser.addOption({QStringLiteral("catalogue"), QStringLiteral("Write a catalogue of the cameras."), QStringLiteral("file")});
    parser.process(app);

    camsim::Options options;
    options.port = quint16(parser.value(QStringLiteral("port")).toUInt());
    options.cams = qBound(1, parser.value(QStringLiteral("cams")).toInt(), 999);
    camsim::Server server(options);
    if (!server.listen()) {
        std::fprintf(stderr, "camsim: cannot listen on 127.0.0.1:%u\n", unsigned(options.port));
        return 1;
    }
    if (parser.isSet(QStringLiteral("catalogue"))) {
        const QString path = parser.value(QStringLiteral("catalogue"));
        QStringList lines;
        if (QFileInfo::exists(path))
            lines = lumetta::LoadCatalogue(path);
        if (!lines.join(QLatin1Char('\n')).contains(server.baseUrl())) {
            lines.removeAll(QString());
            lines += server.catalogueLines();
            lumetta::SaveCatalogue(path, lines);
        }
    }
    std::printf("camsim: %d cameras at %s/cam/1.jpg ...\n", options.cams, qPrintable(server.baseUrl()));
    std::fflush(stdout);
    return app.exec();
}
