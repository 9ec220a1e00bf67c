#pragma once
// The per-user settings store: named, typed values under keys, kept in one
// REGEDIT4 text file. Every write is on disk, atomically, when it returns.
// The file is read once and kept; it is read again only when it changed on
// disk, and a write that changes nothing does not touch it.
#include <QColor>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

inline const QString LumettaKey = QStringLiteral("Software\\Korvane Software\\Lumetta");
inline const QString DesktopKey = QStringLiteral("Control Panel\\Desktop");

// Colours are stored as Windows keeps them: red in the low byte.
QColor ColorFromStored(int value);
int ColorToStored(const QColor &color);

// $LUMETTA_REGISTRY, else $XDG_CONFIG_HOME/Korvane Software/user.reg.
QString RegistryFilePath();

// Missing key or value gives the default; a value of another type raises
// "Invalid data type for '%s'".
QString ReadRegString(const QString &key, const QString &name, const QString &defaultValue);
int ReadRegInteger(const QString &key, const QString &name, int defaultValue);
bool ReadRegBool(const QString &key, const QString &name, bool defaultValue);

// Raise "Failed to set data for '%s'" when the store cannot be written; the
// file is then as it was. A file that is no store at all is first kept
// beside it, as user.reg.bad (or .bad1, .bad2, ...).
void WriteRegString(const QString &key, const QString &name, const QString &value);
void WriteRegInteger(const QString &key, const QString &name, int value);
void WriteRegBool(const QString &key, const QString &name, bool value);

// Removes the key, its values and every key below it; false when the store
// cannot be written. A missing key counts as deleted.
[[nodiscard]] bool DeleteRegKey(const QString &key);
[[nodiscard]] bool RegKeyExists(const QString &key);

// Each character's 8-bit code c becomes (c + delta) mod 256.
QString ShiftChars(const QString &text, int delta);

// The list locations and the stored advertisement link are kept shifted by
// this amount so the store does not show them at a glance ("L1", "L2", "Xau").
inline constexpr int StoredTextShift = 3;

struct RegValue {
    enum class Type { String, Dword, Other };
    Type type = Type::String;
    QString text;      // string value, or the raw text after '=' for Other
    quint32 number = 0;
};

// The store file; exposed for the store's own tests and tools. It keeps the
// file's bytes: a change rewrites only its own line (or adds one, or a
// section for a new key), so comments, other hives and text in other
// encodings stay exactly as they were.
class RegistryFile {
public:
    // Lines that cannot be read are skipped; reading never fails. A line
    // that is not UTF-8 is read as Latin-1.
    static RegistryFile parse(const QByteArray &content);
    // Empty when the file is missing or cannot be opened.
    static RegistryFile load(const QString &path);

    const QByteArray &content() const { return m_content; }
    // Not a REGEDIT4 text at all: nothing in it is read, and a change
    // starts a new store.
    bool isForeign() const { return m_foreign; }

    std::optional<RegValue> value(const QString &key, const QString &name) const;
    // False when the value already holds exactly this: nothing changed.
    bool setValue(const QString &key, const QString &name, const RegValue &value);

    // setValue in two steps, so the file can be written before the store
    // changes: bytes [begin, end) become text.
    struct Edit {
        qsizetype begin = 0, end = 0;
        QByteArray text;
        QString key, name;
        RegValue value;
        qsizetype lineOffset = 0, lineSize = 0;  // the value's line within text
        bool reindex = false;
    };
    // None when the value already holds exactly this.
    std::optional<Edit> planValue(const QString &key, const QString &name, const RegValue &value) const;
    void apply(const Edit &edit);

    bool hasKey(const QString &key) const;
    // False when there was no such key.
    bool removeKeyTree(const QString &key);
    QStringList keys() const;

private:
    struct Entry {
        qsizetype begin = 0, end = 0;  // the line's bytes, its line end excluded
    };
    struct Key {
        QString path;  // below HKEY_CURRENT_USER, as written
        QHash<QString, Entry> values;  // by case-folded name; the last line counts
        QList<QPair<qsizetype, qsizetype>> sections;  // byte ranges, header to next header
        qsizetype insertAt = 0;  // after the key's last value or header line
    };
    void index();
    RegValue storedValue(const Entry &entry) const;
    void splice(qsizetype begin, qsizetype end, const QByteArray &text);
    int findKey(const QString &key) const;

    QByteArray m_content;
    QList<Key> m_keys;
    QHash<QString, int> m_keyIndex;  // by case-folded path
    QByteArray m_lineEnd = "\n";
    bool m_foreign = false;
    bool m_hasHeader = false;
};

} // namespace lumetta
