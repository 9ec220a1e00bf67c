#pragma once
// Each test gets its own program folder, settings store, runtime folder and
// home, so nothing reaches the user's own files (~/.xscreensaver).
#include <QTemporaryDir>
#include <QString>
#include <QtGlobal>

namespace lumetta::test {

class TestEnv {
public:
    TestEnv()
    {
        const QString root = m_dir.path();
        set("LUMETTA_HOME", root + "/home");
        set("LUMETTA_REGISTRY", root + "/config/user.reg");
        set("XDG_CONFIG_HOME", root + "/config");
        set("XDG_RUNTIME_DIR", root);
        set("LUMETTA_WINDOWS_DIR", root + "/windows");
        set("HOME", root + "/user");
    }
    QString path() const { return m_dir.path(); }
    QString home() const { return m_dir.path() + "/home/"; }
    QString registryFile() const { return m_dir.path() + "/config/user.reg"; }
    QString userHome() const { return m_dir.path() + "/user/"; }

private:
    static void set(const char *name, const QString &value) { qputenv(name, value.toUtf8()); }
    QTemporaryDir m_dir;
};

} // namespace lumetta::test
