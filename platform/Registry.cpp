#include "platform/Registry.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Subs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace lumetta {

namespace {
// What tells a changed file: a rename gives a new inode, a rewrite in place
// a new size or time.
struct FileStamp {
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const FileStamp &) const = default;
};

FileStamp StampOf(const struct stat &st)
{
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec, quint64(st.st_ino), quint64(st.st_dev)};
}

// The store as last read or written by this process.
struct CachedStore {
    QString path;
    std::optional<FileStamp> stamp;  // none: no file
    RegistryFile file;
};

std::optional<CachedStore> &Cache()
{
    static std::optional<CachedStore> cache;
    return cache;
}

// Messages of the store's failures, translated when raised.
const char *const SetFailed = QT_TRANSLATE_NOOP("Registry", "Failed to set data for '%1'");
const char *const GetFailed = QT_TRANSLATE_NOOP("Registry", "Failed to get data for '%1'");

[[noreturn]] void Raise(const char *format, const QString &name)
{
    throw RegistryError(QCoreApplication::translate("Registry", format).arg(name));
}

// The store as it is on disk now, read again only when the file changed.
// A file that exists but cannot be read raises the message given.
const CachedStore &CurrentStore(const char *failure, const QString &name)
{
    const QString path = RegistryFilePath();
    const QByteArray native = QFile::encodeName(path);
    std::optional<CachedStore> &cache = Cache();
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            Raise(failure, name);
        if (!cache || cache->path != path || cache->stamp)
            cache = CachedStore{path, std::nullopt, RegistryFile()};
        return *cache;
    }
    if (cache && cache->path == path && cache->stamp == StampOf(st))
        return *cache;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || ::fstat(file.handle(), &st) != 0)
        Raise(failure, name);
    // Stamped before reading: a change made meanwhile is seen next time.
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Raise(failure, name);
    cache = CachedStore{path, StampOf(st), RegistryFile::parse(content)};
    return *cache;
}

// The first of user.reg.bad, user.reg.bad1, ... that is free.
QString FreeAsideName(const QString &path)
{
    for (int n = 0;; ++n) {
        const QString name = path + QStringLiteral(".bad") + (n ? QString::number(n) : QString());
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
}

// Writes the store from its parts; false leaves the file as it was. A file
// that is no store is first kept aside, never lost.
bool WriteStore(const CachedStore &current, std::initializer_list<QByteArrayView> parts,
                std::optional<FileStamp> &stamp)
{
    const QByteArray path = QFile::encodeName(current.path);
    QDir().mkpath(QFileInfo(current.path).absolutePath());
    if (current.file.isForeign()
        && ::rename(path.constData(), QFile::encodeName(FreeAsideName(current.path)).constData()) != 0)
        return false;
    AtomicFileWriter file(current.path);
    if (!file.open())
        return false;
    for (QByteArrayView part : parts)
        if (!file.write(part))
            return false;
    if (!file.commit())
        return false;
    struct stat st {};
    stamp.reset();
    if (::stat(path.constData(), &st) == 0)
        stamp = StampOf(st);
    return true;
}

void Store(const QString &key, const QString &name, const RegValue &value)
{
    const CachedStore &current = CurrentStore(SetFailed, name);
    const auto edit = current.file.planValue(key, name, value);
    if (!edit)
        return;  // already stored: the file stays untouched
    // The kept store changes only once the file has: written from its
    // parts, so a large store is not copied first.
    const QByteArrayView content(current.file.content());
    std::optional<FileStamp> stamp;
    if (!WriteStore(current, {content.first(edit->begin), edit->text, content.sliced(edit->end)}, stamp))
        Raise(SetFailed, name);
    CachedStore &kept = *Cache();
    kept.file.apply(*edit);
    kept.stamp = stamp;
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
    return config + QStringLiteral("/Korvane Software/user.reg");  // untranslated: a path
}

QString ReadRegString(const QString &key, const QString &name, const QString &defaultValue)
{
    const auto v = CurrentStore(GetFailed, name).file.value(key, name);
    if (!v)
        return defaultValue;
    if (v->type != RegValue::Type::String)
        throw RegistryError(QCoreApplication::translate("Registry", "Invalid data type for '%1'").arg(name));
    return v->text;
}

int ReadRegInteger(const QString &key, const QString &name, int defaultValue)
{
    const auto v = CurrentStore(GetFailed, name).file.value(key, name);
    if (!v)
        return defaultValue;
    if (v->type != RegValue::Type::Dword)
        throw RegistryError(QCoreApplication::translate("Registry", "Invalid data type for '%1'").arg(name));
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
    try {
        const CachedStore &current = CurrentStore(SetFailed, key);
        RegistryFile next = current.file;
        if (!next.removeKeyTree(key))
            return true;
        std::optional<FileStamp> stamp;
        if (!WriteStore(current, {next.content()}, stamp))
            return false;
        Cache() = CachedStore{current.path, stamp, std::move(next)};
        return true;
    } catch (const RegistryError &) {
        return false;
    }
}

bool RegKeyExists(const QString &key)
{
    try {
        return CurrentStore(GetFailed, key).file.hasKey(key);
    } catch (const RegistryError &) {
        return false;
    }
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

QColor ColorFromStored(int value)
{
    const quint32 v = quint32(value);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

int ColorToStored(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace lumetta
