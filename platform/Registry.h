#pragma once
// The per-user settings store: named, typed values under keys, kept in one
// REGEDIT4 text file. Every write is on disk, atomically, when it returns.
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

inline const QString LumettaKey = QStringLiteral("Software\\Korvane Software\\Lumetta");
inline const QString DesktopKey = QStringLiteral("Control Panel\\Desktop");

// $LUMETTA_REGISTRY, else $XDG_CONFIG_HOME/Korvane Software/user.reg.
QString RegistryFilePath();

// Missing key or value gives the default; a value of another type raises
// "Invalid data type for '%s'".
QString ReadRegString(const QString &key, const QString &name, const QString &defaultValue);
int ReadRegInteger(const QString &key, const QString &name, int defaultValue);
bool ReadRegBool(const QString &key, const QString &name, bool defaultValue);

// Raise "Failed to set data for '%s'" when the store cannot be written.
void WriteRegString(const QString &key, const QString &name, const QString &value);
void WriteRegInteger(const QString &key, const QString &name, int value);
void WriteRegBool(const QString &key, const QString &name, bool value);

// Removes the key, its values and every key below it; false when the store
// cannot be written. A missing key counts as deleted.
[[nodiscard]] bool DeleteRegKey(const QString &key);
[[nodiscard]] bool RegKeyExists(const QString &key);

// Each character's 8-bit code c becomes (c + delta) mod 256.
QString ShiftChars(const QString &text, int delta);

// The parsed file; exposed for the store's own tests and tools.
struct RegValue {
    enum class Type { String, Dword, Other };
    Type type = Type::String;
    QString text;      // string value, or the raw text after '=' for Other
    quint32 number = 0;
};

class RegistryFile {
public:
    // Lines that cannot be read are skipped; reading never fails.
    static RegistryFile parse(const QByteArray &content);
    static RegistryFile load(const QString &path);
    QByteArray serialize() const;
    // Temporary file, flush, rename.
    [[nodiscard]] bool saveAtomically(const QString &path) const;

    std::optional<RegValue> value(const QString &key, const QString &name) const;
    void setValue(const QString &key, const QString &name, const RegValue &value);
    bool hasKey(const QString &key) const;
    void removeKeyTree(const QString &key);
    QStringList keys() const;

private:
    struct Key {
        QString path;  // below HKEY_CURRENT_USER, as written
        QList<QPair<QString, RegValue>> values;  // in file order
    };
    int findKey(const QString &key) const;
    QList<Key> m_keys;
};

} // namespace lumetta
