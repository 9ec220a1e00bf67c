#include "platform/ProgramFolder.h"

namespace lumetta {

namespace {

QString WithSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

const QString Catalogue = QStringLiteral("lumetta.dat");

} // namespace

QString InstalledShareFolder(const QString &executableDir, const std::function<bool(const QString &)> &exists)
{
    if (executableDir.isEmpty())
        return {};
    const QString share = WithSlash(executableDir) + QStringLiteral("../share/lumetta/");
    return exists(share + QStringLiteral("readme.txt")) ? share : QString();
}

ProgramLayout ClassifyLayout(const QString &executableDir, const std::function<bool(const QString &)> &exists)
{
    const QString dir = WithSlash(executableDir);
    // The user's own word first: a portable copy may sit anywhere.
    if (exists(dir + QLatin1String(PortableMarker)))
        return ProgramLayout::Portable;
    if (!InstalledShareFolder(executableDir, exists).isEmpty())
        return ProgramLayout::Installed;
    const QString cache = QStringLiteral("CMakeCache.txt");
    if (exists(dir + cache) || exists(dir + QStringLiteral("../") + cache))
        return ProgramLayout::BuildTree;
    return ProgramLayout::Other;
}

ProgramFolderChoice ChooseProgramFolder(const ProgramFolderFacts &facts)
{
    if (!facts.homeOverride.isEmpty())
        return {WithSlash(facts.homeOverride), {}};
    const ProgramLayout layout = ClassifyLayout(facts.executableDir, facts.exists);
    if ((layout == ProgramLayout::BuildTree || layout == ProgramLayout::Portable)
        && facts.writable(facts.executableDir))
        return {WithSlash(facts.executableDir), {}};

    const QString data = WithSlash(facts.dataFolder);
    if (facts.stored.isEmpty())
        return {data, {}};
    const QString stored = WithSlash(facts.stored);
    // A new empty catalogue never takes the place of the user's.
    if (stored == data || !facts.exists(stored + Catalogue) || facts.exists(data + Catalogue))
        return {data, {}};
    // An installed program's folder (/usr/bin when root ran an earlier
    // version) belongs to the package: its catalogue moves home.
    if (facts.writable(stored) && ClassifyLayout(stored, facts.exists) != ProgramLayout::Installed)
        return {stored, {}};
    return {data, stored};
}

} // namespace lumetta
