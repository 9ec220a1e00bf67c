#pragma once
// The settings store's file format: REGEDIT4 text, one section per key,
// typed values. Kept byte for byte, so a change rewrites only its own line.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

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
