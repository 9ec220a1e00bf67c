#pragma once
// The version file "upgrades.txt" and the rule that tells a newer version.
#include <QByteArray>
#include <QString>

namespace lumetta {

// What the file gives when it holds no line for the product.
inline const QString UnknownVersion = QStringLiteral("unknown");

// The first line that, lower-cased and trimmed, begins with key (lower
// case): the rest of it, trimmed. UnknownVersion when no line does.
QString LatestVersionIn(const QByteArray &file, const QString &key);

// Part by part from the left, for as many parts as latest has; a missing
// part or one that is not a number counts 0. Every part counts, however
// many there are.
bool IsNewerVersion(const QString &latest, const QString &current);

// "The latest version is 2.4.1." and, unless unknown, the second sentence.
QString LatestVersionMessage(const QString &latest);

// The maker's pages, below site.
struct SupportLinks {
    QString whatsNew;   // site + "/" + productPath + "/whatsnew.shtml"
    QString alert;      // the status bar's "New version alert": Lumetta's own news
    QString homepage;
    QString faq;
    QString bugReport;  // mail to the developer
    QString vendor;
    QString developerMail;
};
SupportLinks SupportLinksFor(const QString &site, const QString &productPath);

} // namespace lumetta
