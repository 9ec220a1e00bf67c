#include "platform/Platform.h"

#include "common/Subs.h"
#include "platform/ProgramFolder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QProcess>
#include <QUrl>
#include <unistd.h>
#include <vector>

namespace lumetta {

namespace {

QString DataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : xdg;
}

bool IsWritableFolder(const QString &dir)
{
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

// Without a reachability backend: some interface other than loopback is up
// and the kernel has a default route through it.
bool HasDefaultRoute()
{
    QFile routes(QStringLiteral("/proc/net/route"));
    if (!routes.open(QIODevice::ReadOnly))
        return false;
    routes.readLine();  // column titles
    while (!routes.atEnd()) {
        const QList<QByteArray> cols = routes.readLine().simplified().split(' ');
        if (cols.size() < 2 || cols[0] == "lo" || cols[1] != "00000000")
            continue;
        const auto iface = QNetworkInterface::interfaceFromName(QString::fromLatin1(cols[0]));
        if (iface.isValid() && (iface.flags() & QNetworkInterface::IsUp))
            return true;
    }
    return false;
}

class DesktopShell final : public SystemShell {
public:
    bool isInternetConnected() override
    {
        if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
            if (auto *info = QNetworkInformation::instance()) {
                const auto r = info->reachability();
                if (r != QNetworkInformation::Reachability::Unknown)
                    return r == QNetworkInformation::Reachability::Online;
            }
        }
        return HasDefaultRoute();
    }

    bool openDocument(const QString &target) override
    {
        // Only our own mail links join the web links; never a file path.
        const QUrl mail(target.trimmed(), QUrl::StrictMode);
        if (mail.isValid() && mail.scheme() == QLatin1String("mailto"))
            return QDesktopServices::openUrl(mail);
        const auto web = WebLink(target);
        return web && QDesktopServices::openUrl(*web);
    }

    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        return !program.isEmpty() && QProcess::startDetached(program, arguments);
    }

    bool runInstead(const QString &program, const QStringList &arguments) override
    {
        if (program.isEmpty())
            return false;
        const QByteArray file = QFile::encodeName(program);
        QList<QByteArray> words{file};
        for (const QString &a : arguments)
            words << a.toLocal8Bit();
        std::vector<char *> argv;
        for (QByteArray &w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        ::execv(file.constData(), argv.data());
        return false;
    }
};

} // namespace

quintptr ScreenSaverDaemonWindow()
{
    bool ok = false;
    const qulonglong id = qEnvironmentVariable("XSCREENSAVER_WINDOW").trimmed().toULongLong(&ok, 0);
    return ok ? quintptr(id) : 0;
}

QString VendorSite()
{
    QString site = qEnvironmentVariable("LUMETTA_SITE");
    if (site.isEmpty())
        site = QStringLiteral("http://www.korvane.example");
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

QString ResolveAppPath(const QString &executableDir, const QString &stored)
{
    ProgramFolderFacts facts;
    facts.homeOverride = qEnvironmentVariable("LUMETTA_HOME");
    facts.executableDir = executableDir;
    facts.dataFolder = DataHome() + QStringLiteral("/Lumetta/");
    facts.stored = stored;
    facts.exists = [](const QString &file) { return QFileInfo(file).isFile(); };
    facts.writable = IsWritableFolder;
    const ProgramFolderChoice choice = ChooseProgramFolder(facts);
    QDir().mkpath(choice.folder);
    // Copied, not moved: the old files stay until the user deletes them.
    if (!choice.importFrom.isEmpty())
        for (const QString &name : {QStringLiteral("lumetta.dat"), QStringLiteral("Backup-lumetta.dat")})
            if (QFileInfo(choice.importFrom + name).isFile() && !QFileInfo::exists(choice.folder + name))
                (void)CopyFileAtomically(choice.importFrom + name, choice.folder + name,
                                         QFileInfo(choice.importFrom + name).lastModified());
    return AddBackslash(choice.folder);
}

QString InstalledShareFolder(const QString &executableDir)
{
    return InstalledShareFolder(executableDir, [](const QString &file) { return QFileInfo(file).isFile(); });
}

bool RunsInstalled(const QString &executableDir)
{
    return ClassifyLayout(executableDir, [](const QString &file) { return QFileInfo(file).isFile(); })
           == ProgramLayout::Installed;
}

QString WindowsFolder()
{
    const QString explicitDir = qEnvironmentVariable("LUMETTA_WINDOWS_DIR");
    if (!explicitDir.isEmpty())
        return AddBackslash(explicitDir);
    // No blank in the path: XScreenSaver's settings tool wraps its entries at
    // blanks, even inside quotes.
    return AddBackslash(DataHome() + QStringLiteral("/lumetta"));
}

QString FormerWindowsFolder()
{
    if (!qEnvironmentVariable("LUMETTA_WINDOWS_DIR").isEmpty())
        return {};
    return AddBackslash(DataHome() + QStringLiteral("/Korvane Software"));  // untranslated: a path
}

std::unique_ptr<SystemShell> MakeSystemShell()
{
    return std::make_unique<DesktopShell>();
}

bool OpenWebLink(SystemShell &shell, const QString &link)
{
    const auto web = WebLink(link);
    return web && shell.openDocument(web->toString());
}

QString RuntimeFolder()
{
    const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return dir.isEmpty() || !QDir(dir).exists() ? QDir::tempPath() : dir;
}

} // namespace lumetta
