// camsim: simulated webcams and vendor site on loopback.
//   camsim [--port N] [--cams N] [--kinds GROUPS] [--log FILE] [--catalogue FILE] [--ca-file FILE]
//   camsim [--port N] [--kinds GROUPS] --print catalogue|list
// --catalogue writes a catalogue of the webcams to FILE (keeping an existing
// file that already lists them) and keeps serving; --print prints the
// catalogue or the list file and ends. Submissions sent to its script are
// collected at /lists/submissions.lst. The https webcam listens on the
// next port (any with --port 0) with a certificate of a CA made at start;
// --ca-file copies that CA's certificate to FILE for the program to trust.
#include "CamSim.h"
#include "catalogue/CatalogueFile.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>

// Each numbered webcam costs a catalogue line and an index entry; a million
// stays within a few hundred MB.
constexpr int MaxCams = 1000000;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A client that goes away mid-reply must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated webcams and vendor site on loopback"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port to listen on (0: any)."), QStringLiteral("port"), QStringLiteral("8765")});
    parser.addOption({QStringLiteral("cams"), QStringLiteral("Number of numbered changing webcams (at most 1,000,000)."), QStringLiteral("n"), QStringLiteral("8")});
    parser.addOption({QStringLiteral("kinds"),
                      QStringLiteral("Comma-separated groups of webcams: %1.").arg(camsim::KnownGroups().join(QStringLiteral(", "))),
                      QStringLiteral("groups"), QStringLiteral("demo")});
    parser.addOption({QStringLiteral("log"), QStringLiteral("Append a line per request to the file."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("catalogue"), QStringLiteral("Write a catalogue of the webcams."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("ca-file"), QStringLiteral("Copy the https webcam's CA certificate (PEM) to the file."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("print"), QStringLiteral("Print the catalogue or the list file and end."), QStringLiteral("catalogue|list")});
    parser.process(app);

    camsim::Options options;
    options.port = quint16(parser.value(QStringLiteral("port")).toUInt());
    bool numeric = false;
    const qlonglong cams = parser.value(QStringLiteral("cams")).toLongLong(&numeric);
    if (!numeric || cams < 0) {
        std::fprintf(stderr, "camsim: --cams takes a number from 0 to %d\n", MaxCams);
        return 2;
    }
    if (cams > MaxCams)
        std::fprintf(stderr, "camsim: %lld webcams asked, %d served (the most camsim serves)\n", cams, MaxCams);
    options.cams = int(qMin<qlonglong>(cams, MaxCams));
    options.kinds = parser.value(QStringLiteral("kinds")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &kind : std::as_const(options.kinds)) {
        if (!camsim::KnownGroups().contains(kind)) {
            std::fprintf(stderr, "camsim: no group of webcams called \"%s\" (%s)\n", qPrintable(kind),
                         qPrintable(camsim::KnownGroups().join(QStringLiteral(", "))));
            return 2;
        }
    }
    options.logFile = parser.value(QStringLiteral("log"));
    options.caFile = parser.value(QStringLiteral("ca-file"));
    camsim::Server server(options);

    if (parser.isSet(QStringLiteral("print"))) {
        const QString what = parser.value(QStringLiteral("print"));
        if (what == QLatin1String("catalogue"))
            std::fputs(qPrintable(server.catalogueLines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")), stdout);
        else if (what == QLatin1String("list"))
            std::fwrite(server.listFile(false).constData(), 1, size_t(server.listFile(false).size()), stdout);
        else {
            std::fprintf(stderr, "camsim: --print takes \"catalogue\" or \"list\"\n");
            return 2;
        }
        return 0;
    }
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
    std::printf("camsim: %d webcams at %s/cam/ ...\n", int(server.webcams().size()), qPrintable(server.baseUrl()));
    if (!server.caFile().isEmpty())
        std::printf("camsim: https webcam at https://127.0.0.1:%u/cam/, CA certificate %s\n", unsigned(server.tlsPort()),
                    qPrintable(server.caFile()));
    std::fflush(stdout);
    return app.exec();
}
