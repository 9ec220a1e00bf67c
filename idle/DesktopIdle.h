#pragma once
// What the desktop says about idleness: the idle time from the first source
// that answers (GNOME's idle monitor, the freedesktop screen saver, X11's
// MIT-SCREEN-SAVER), its inhibitors, a full-screen window with the focus,
// and the lock.
#include "idle/IdleWatcher.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace lumetta {

enum class IdleSourceKind { None, Mutter, ScreenSaver, X11 };

class DesktopIdle : public QObject, public DesktopProbe {
    Q_OBJECT
public:
    explicit DesktopIdle(QObject *parent = nullptr);
    ~DesktopIdle() override;

    IdleSourceKind kind() const { return m_kind; }
    // For the watcher's one line on start.
    QString sourceName() const;
    DesktopState read() override;
    void holdServerSaver(bool hold) override;

signals:
    // The desktop's screen saver or lock screen comes up.
    void locking();

private slots:
    void activeChanged(bool active);

private:
    std::optional<qint64> idleMs();
    bool inhibited();
    bool locked(bool *serviceAnswered);

    struct X11;
    std::unique_ptr<X11> m_x11;
    QString m_busName;
    QDBusConnection m_bus;
    IdleSourceKind m_kind = IdleSourceKind::None;
    QString m_owner;  // the screen-saver service's process
    IdleUnit m_unit = IdleUnit::Unknown;
};

} // namespace lumetta
