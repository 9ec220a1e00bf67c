#include "service/VersionCheck.h"

#include <QRegularExpression>
#include <QStringList>
#include <QCoreApplication>

namespace lumetta {

namespace {

const QString DeveloperAddress = QStringLiteral("developer@korvane.example");

int PartValue(const QStringList &parts, qsizetype index)
{
    if (index >= parts.size())
        return 0;
    bool ok = false;
    const int value = parts[index].toInt(&ok);
    return ok ? value : 0;
}

} // namespace

QString LatestVersionIn(const QByteArray &file, const QString &key)
{
    const QString lowerKey = key.toLower();
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    for (const QString &raw : QString::fromLatin1(file).split(lineEnd)) {
        const QString line = raw.toLower().trimmed();
        if (!line.isEmpty() && line.startsWith(lowerKey))
            return line.mid(lowerKey.size()).trimmed();
    }
    return UnknownVersion;
}

bool IsNewerVersion(const QString &latest, const QString &current)
{
    if (latest.isEmpty() || latest == UnknownVersion || current.isEmpty())
        return false;
    const QStringList l = latest.split(QLatin1Char('.'));
    const QStringList c = current.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < l.size(); ++i) {
        const int a = PartValue(l, i), b = PartValue(c, i);
        if (a != b)
            return a > b;
    }
    return false;
}

QString LatestVersionMessage(const QString &latest)
{
    QString text = QCoreApplication::translate("VersionCheck", "The latest version is %1.")
                       .arg(latest == UnknownVersion ? QCoreApplication::translate("VersionCheck", "unknown") : latest);
    if (latest != UnknownVersion)
        text += QCoreApplication::translate("VersionCheck", "\r\nYou already have the latest version.");
    return text;
}

SupportLinks SupportLinksFor(const QString &site, const QString &productPath)
{
    SupportLinks links;
    links.whatsNew = site + QLatin1Char('/') + productPath + QStringLiteral("/whatsnew.shtml");
    links.alert = site + QStringLiteral("/lumetta/whatsnew.shtml");
    links.homepage = site + QStringLiteral("/lumetta/");
    links.faq = site + QStringLiteral("/lumetta/faq/faq.shtml");
    links.bugReport = QStringLiteral("mailto:") + DeveloperAddress + QStringLiteral("?subject=Lumetta%20-%20Bug%20Report");
    links.vendor = site + QLatin1Char('/');
    links.developerMail = QStringLiteral("mailto:") + DeveloperAddress;
    return links;
}

} // namespace lumetta
