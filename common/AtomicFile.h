#pragma once
// Whole-file saves. The data goes to a new file beside the target with
// every write checked, is synced to disk, and replaces the target by a
// rename only when all of it got there. On any failure the new file is
// removed and the target stays exactly as it was.
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

namespace lumetta {

struct SaveResult {
    bool ok = true;
    QString reason;  // the system's text, e.g. "No space left on device"
};

// What a save does with a target that is a symbolic link. The catalogue
// and the store follow it (a link the user made on purpose, say to another
// disk); files whose names a server can reach replace the link itself.
enum class ExistingLink { Follow, Replace };

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString &path, ExistingLink links = ExistingLink::Follow);
    ~AtomicFileWriter();  // an uncommitted file is discarded
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    [[nodiscard]] bool open();
    [[nodiscard]] bool write(QByteArrayView data);
    // The new file's modification time, set before it replaces the target.
    void setModificationTime(const QDateTime &time) { m_mtime = time; }
    // The new file gets exactly this mode, whatever the umask or the
    // replaced file had: for files others must not read.
    void setMode(int mode) { m_mode = mode; }
    // Sync, close, rename over the target.
    [[nodiscard]] bool commit();

    // The reason of the first failure.
    const QString &errorString() const { return m_error; }

private:
    bool fail(int error);
    void discard();

    QString m_target;
    QString m_temp;
    int m_fd = -1;
    QString m_error;
    QDateTime m_mtime;
    int m_mode = -1;
};

[[nodiscard]] SaveResult WriteFileAtomically(const QString &path, QByteArrayView data);

// A working file made afresh: whatever stood under the name (a file, a
// link planted there) is unlinked, never written through, and the new file
// is created exclusively without following links. The descriptor, or -1
// with errno set.
int CreateFreshFile(const QString &path);

} // namespace lumetta
