#pragma once
// Where the program keeps its catalogue, pictures and logs, decided from
// what lies beside the executable and what the user already has. Plain:
// the file system is asked through the facts' callbacks.
#include <QString>
#include <functional>

namespace lumetta {

enum class ProgramLayout {
    Installed,  // <prefix>/bin with <prefix>/share/lumetta/readme.txt: a package or cmake --install
    BuildTree,  // CMakeCache.txt in the folder or the one above it
    Portable,   // the user put a file "lumetta.portable" beside it
    Other,      // a copy somewhere else
};

// The marker a user puts beside the program to keep its files there.
inline constexpr const char *PortableMarker = "lumetta.portable";

// exists: whether a file is there. executableDir may end with '/'.
ProgramLayout ClassifyLayout(const QString &executableDir, const std::function<bool(const QString &)> &exists);

// The shared files an installed program comes with (readme.txt), found
// from its executable's folder; empty when it is not installed.
QString InstalledShareFolder(const QString &executableDir, const std::function<bool(const QString &)> &exists);

struct ProgramFolderFacts {
    QString homeOverride;   // $LUMETTA_HOME
    QString executableDir;
    QString dataFolder;     // $XDG_DATA_HOME/Lumetta/
    QString stored;         // the folder an earlier run stored; may be empty
    std::function<bool(const QString &)> exists;    // a file is there
    std::function<bool(const QString &)> writable;  // a folder we may write in
};

struct ProgramFolderChoice {
    QString folder;      // ends with '/'
    // A folder whose catalogue the chosen one takes over (copied, never
    // moved), since the chosen one has none yet; empty when none.
    QString importFrom;
};

// $LUMETTA_HOME; else beside a build tree's or a portable program; else
// the data folder, unless the stored folder holds the user's catalogue and
// the data folder holds none: a writable stored folder that is no
// installed program's own stays in use, any other gives its catalogue over.
ProgramFolderChoice ChooseProgramFolder(const ProgramFolderFacts &facts);

} // namespace lumetta
