#include "platform/Registry.h"

#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumetta {

namespace {

const QString RootPrefix = QStringLiteral("HKEY_CURRENT_USER\\");

QString Unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text[++i];
            c = n == QLatin1Char('n') ? QLatin1Char('\n') : n == QLatin1Char('r') ? QLatin1Char('\r') : n;
        }
        out += c;
    }
    return out;
}

QString Escape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

// Reads a quoted text starting at text[from] == '"'; returns the index after
// the closing quote, or -1 when the quote is never closed.
qsizetype ReadQuoted(QStringView text, qsizetype from, QString &value)
{
    qsizetype i = from + 1;
    for (; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\'))
            ++i;
        else if (text[i] == QLatin1Char('"'))
            break;
    }
    if (i >= text.size())
        return -1;
    value = Unescape(text.mid(from + 1, i - from - 1));
    return i + 1;
}

QString NormalizeKey(const QString &key)
{
    QString k = key;
    while (k.startsWith(QLatin1Char('\\')))
        k.remove(0, 1);
    while (k.endsWith(QLatin1Char('\\')))
        k.chop(1);
    return k;
}

RegistryFile LoadForRead(const QString &name)
{
    const QString path = RegistryFilePath();
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw RegistryError(QStringLiteral("Failed to get data for '%1'").arg(name));
    return RegistryFile::parse(file.readAll());
}

void Store(const QString &key, const QString &name, const RegValue &value)
{
    const QString path = RegistryFilePath();
    QFile existing(path);
    RegistryFile reg;
    if (existing.exists()) {
        // Never replace a store we could not read: that would lose it.
        if (!existing.open(QIODevice::ReadOnly))
            throw RegistryError(QStringLiteral("Failed to set data for '%1'").arg(name));
        reg = RegistryFile::parse(existing.readAll());
    }
    reg.setValue(key, name, value);
    if (!reg.saveAtomically(path))
        throw RegistryError(QStringLiteral("Failed to set data for '%1'").arg(name));
}

} // namespace

QString RegistryFilePath()
{
    const QString explicitPath = qEnvironmentVariable("LUMETTA_REGISTRY");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Korvane Software/user.reg");
}

RegistryFile RegistryFile::parse(const QByteArray &content)
{
    RegistryFile reg;
    Key *current = nullptr;
    const QString text = QString::fromUtf8(content);
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line == u"REGEDIT4")
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            current = nullptr;
            if (!line.endsWith(QLatin1Char(']')))
                continue;
            QString path = line.mid(1, line.size() - 2).toString();
            if (!path.startsWith(RootPrefix, Qt::CaseInsensitive))
                continue;  // another hive or a deletion entry: not ours
            path = NormalizeKey(path.mid(RootPrefix.size()));
            int idx = reg.findKey(path);
            if (idx < 0) {
                reg.m_keys.append(Key{path, {}});
                idx = int(reg.m_keys.size()) - 1;
            }
            current = &reg.m_keys[idx];
            continue;
        }
        if (!current || !line.startsWith(QLatin1Char('"')))
            continue;
        QString name;
        qsizetype at = ReadQuoted(line, 0, name);
        if (at < 0 || at >= line.size() || line[at] != QLatin1Char('='))
            continue;
        const QStringView data = line.mid(at + 1);
        RegValue value;
        if (data.startsWith(QLatin1Char('"'))) {
            QString s;
            const qsizetype end = ReadQuoted(data, 0, s);
            if (end != data.size())
                continue;
            value.type = RegValue::Type::String;
            value.text = s;
        } else if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
            bool ok = false;
            const QStringView digits = data.mid(6);
            value.number = digits.size() <= 8 ? digits.toUInt(&ok, 16) : 0;
            if (!ok)
                continue;
            value.type = RegValue::Type::Dword;
        } else {
            value.type = RegValue::Type::Other;
            value.text = data.toString();
        }
        bool replaced = false;
        for (auto &pair : current->values) {
            if (pair.first.compare(name, Qt::CaseInsensitive) == 0) {
                pair.second = value;
                replaced = true;
            }
        }
        if (!replaced)
            current->values.append({name, value});
    }
    return reg;
}

RegistryFile RegistryFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

QByteArray RegistryFile::serialize() const
{
    QString out = QStringLiteral("REGEDIT4\n");
    for (const Key &key : m_keys) {
        out += QStringLiteral("\n[") + RootPrefix + key.path + QStringLiteral("]\n");
        for (const auto &[name, value] : key.values) {
            out += QLatin1Char('"') + Escape(name) + QStringLiteral("\"=");
            switch (value.type) {
            case RegValue::Type::String:
                out += QLatin1Char('"') + Escape(value.text) + QLatin1Char('"');
                break;
            case RegValue::Type::Dword:
                out += QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
                break;
            case RegValue::Type::Other:
                out += value.text;
                break;
            }
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

bool RegistryFile::saveAtomically(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = serialize();
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int RegistryFile::findKey(const QString &key) const
{
    const QString k = NormalizeKey(key);
    for (int i = 0; i < m_keys.size(); ++i)
        if (m_keys[i].path.compare(k, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<RegValue> RegistryFile::value(const QString &key, const QString &name) const
{
    const int idx = findKey(key);
    if (idx < 0)
        return std::nullopt;
    for (const auto &[n, v] : m_keys[idx].values)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

void RegistryFile::setValue(const QString &key, const QString &name, const RegValue &value)
{
    int idx = findKey(key);
    if (idx < 0) {
        m_keys.append(Key{NormalizeKey(key), {}});
        idx = int(m_keys.size()) - 1;
    }
    for (auto &pair : m_keys[idx].values) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0) {
            pair.second = value;
            return;
        }
    }
    m_keys[idx].values.append({name, value});
}

bool RegistryFile::hasKey(const QString &key) const
{
    return findKey(key) >= 0;
}

void RegistryFile::removeKeyTree(const QString &key)
{
    const QString k = NormalizeKey(key);
    const QString below = k + QLatin1Char('\\');
    m_keys.removeIf([&](const Key &item) {
        return item.path.compare(k, Qt::CaseInsensitive) == 0
            || item.path.startsWith(below, Qt::CaseInsensitive);
    });
}

QStringList RegistryFile::keys() const
{
    QStringList out;
    for (const Key &k : m_keys)
        out << k.path;
    return out;
}

QString ReadRegString(const QString &key, const QString &name, const QString &defaultValue)
{
    const auto v = LoadForRead(name).value(key, name);
    if (!v)
        return defaultValue;
    if (v->type != RegValue::Type::String)
        throw RegistryError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return v->text;
}

int ReadRegInteger(const QString &key, const QString &name, int defaultValue)
{
    const auto v = LoadForRead(name).value(key, name);
    if (!v)
        return defaultValue;
    if (v->type != RegValue::Type::Dword)
        throw RegistryError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return int(v->number);
}

bool ReadRegBool(const QString &key, const QString &name, bool defaultValue)
{
    return ReadRegInteger(key, name, defaultValue ? 1 : 0) != 0;
}

void WriteRegString(const QString &key, const QString &name, const QString &value)
{
    RegValue v;
    v.type = RegValue::Type::String;
    v.text = value;
    Store(key, name, v);
}

void WriteRegInteger(const QString &key, const QString &name, int value)
{
    RegValue v;
    v.type = RegValue::Type::Dword;
    v.number = quint32(value);
    Store(key, name, v);
}

void WriteRegBool(const QString &key, const QString &name, bool value)
{
    WriteRegInteger(key, name, value ? 1 : 0);
}

bool DeleteRegKey(const QString &key)
{
    const QString path = RegistryFilePath();
    QFile existing(path);
    if (!existing.exists())
        return true;
    if (!existing.open(QIODevice::ReadOnly))
        return false;
    RegistryFile reg = RegistryFile::parse(existing.readAll());
    existing.close();
    if (!reg.hasKey(key))
        return true;
    reg.removeKeyTree(key);
    return reg.saveAtomically(path);
}

bool RegKeyExists(const QString &key)
{
    return RegistryFile::load(RegistryFilePath()).hasKey(key);
}

QString ShiftChars(const QString &text, int delta)
{
    QString out = text;
    for (QChar &c : out) {
        const ushort code = c.unicode();
        if (code < 256)
            c = QChar(ushort(((code + delta) % 256 + 256) % 256));
    }
    return out;
}

} // namespace lumetta
