#include "slideshow/AutostartEntry.h"

#include "common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>

namespace lumetta {

QString AutostartEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/lumetta-idle.desktop");
}

QByteArray AutostartEntry(const QString &program)
{
    // The Exec rules of freedesktop desktop entries: the program in
    // double quotes with \ " ` $ escaped, then every \ doubled once more as
    // the string rule wants.
    QString quoted;
    for (const QChar ch : program) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f || ch == QLatin1Char('%'))
            return {};
        if (ch == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\\\");
        else if (ch == QLatin1Char('"') || ch == QLatin1Char('`') || ch == QLatin1Char('$'))
            quoted += QStringLiteral("\\\\") + ch;
        else
            quoted += ch;
    }
    // A program that is gone (the package removed) is not started.
    QString tryExec = program;
    tryExec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    // untranslated: the desktop reads the entry, not the user
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Lumetta screen saver\n"
                          "Comment=Starts the webcam slide show when the computer is left alone\n"
                          "TryExec=%2\n"
                          "Exec=\"%1\" --idle\n"
                          "NoDisplay=true\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoted, tryExec)
        .toUtf8();
}

QString WriteAutostartEntry(const QString &program)
{
    const QByteArray entry = AutostartEntry(program);
    if (entry.isEmpty())
        return program.contains(QLatin1Char('%'))
                   ? QCoreApplication::translate(
                         "AutostartEntry",
                         "the path of the installed copy holds a %, which desktops do not start from "
                         "an autostart entry")
                   : QCoreApplication::translate("AutostartEntry", "the program's path holds a control character");
    const QString path = AutostartEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QCoreApplication::translate("AutostartEntry", "%1 cannot be made").arg(QFileInfo(path).absolutePath());
    AtomicFileWriter writer(path, ExistingLink::Replace);
    if (!writer.open() || !writer.write(entry) || !writer.commit())
        return writer.errorString();
    return {};
}

bool RemoveAutostartEntry()
{
    // A link under our name goes, not what it points at.
    return QFile::remove(AutostartEntryPath());
}

} // namespace lumetta
