#include "app/Lumetta.h"
#include "app/RunMode.h"
#include "imaging/DecodeWorker.h"
#include "platform/VersionInfo.h"

#include <cstdio>

namespace {

// --help and --version need no display, no lock and no settings.
int PrintAndEnd(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    // A full disk or a closed pipe is an error, as for any other program.
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // "-style Fusion --help" asks for the help too.
    const QStringList own = lumetta::WithoutQtOptions(arguments);
    switch (lumetta::ParseRunMode(own.mid(0, 1)).info) {
    case lumetta::InfoRequest::Help:
        return PrintAndEnd(lumetta::HelpText(lumetta::VersionString()));
    case lumetta::InfoRequest::Version:
        // Whether pictures from outside are decoded shut in, as this
        // machine allows.
        return PrintAndEnd(lumetta::VersionText(lumetta::VersionString()) + lumetta::DescribePictureDecoding()
                           + QLatin1Char('\n'));
    case lumetta::InfoRequest::None:
        break;
    }
    return lumetta::RunLumetta(argc, argv);
}
