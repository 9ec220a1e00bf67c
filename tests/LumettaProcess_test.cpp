// The built program run as a process: what happens before any window
// exists, and how it ends.
#include "platform/Registry.h"
#include "support/TestEnv.h"
#include "support/WaitForProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>
#include <csignal>
#include <memory>
#include <vector>

using namespace lumetta;

namespace {

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(env.path() + "/config");
        QFile::setPermissions(env.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);
    }
    // A QProcess kills its process when it is destroyed.
    QProcess *launch(const QStringList &arguments)
    {
        QProcess *p = running.emplace_back(std::make_unique<QProcess>()).get();
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(e);
        p->start(LUMETTA_BINARY, arguments);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    static bool waitUntil(const std::function<bool()> &condition) { return test::WaitForProcess(condition, 30000); }
    // The first copy is up once it has stored its program folder.
    static bool waitUntilStored(const QString &name)
    {
        return waitUntil([&] { return RegistryFile::load(RegistryFilePath()).value(LumettaKey, name).has_value(); });
    }

    test::TestEnv env;
    std::vector<std::unique_ptr<QProcess>> running;
};

TEST_F(ProcessTest, PreviewHelpAndVersionEndBeforeAnything)
{
    for (const QStringList &arguments : {QStringList{"/p", "1234"}, QStringList{"-style", "Fusion", "/p"},
                                         QStringList{"--help"}, QStringList{"--version"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        QProcess *p = launch(arguments);
        ASSERT_TRUE(p->waitForFinished(30000)) << "a program that stays up is a failure, not a hang";
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
        EXPECT_FALSE(QFile::exists(env.path() + "/Lumetta_MUTEX")) << "no single-instance lock";
        EXPECT_FALSE(QFile::exists(RegistryFilePath())) << "nothing stored";
        EXPECT_FALSE(QFile::exists(env.home() + "lumetta.dat"));
    }
}

TEST_F(ProcessTest, SecondCopyEndsSilentlyAndTheFirstEndsOnSigterm)
{
    // Qt's own option is no screen-saver switch: this is a normal run.
    QProcess *first = launch({"-style", "Fusion"});
    ASSERT_TRUE(waitUntilStored("AppPath")) << first->readAllStandardError().toStdString();

    // Without a daemon's window a screen-saver start ends like any other.
    for (const QStringList &arguments : {QStringList{}, QStringList{"/s"}}) {
        QProcess *second = launch(arguments);
        ASSERT_TRUE(second->waitForFinished(30000)) << arguments.join(' ').toStdString();
        EXPECT_EQ(second->exitCode(), 0) << arguments.join(' ').toStdString();
        EXPECT_EQ(first->state(), QProcess::Running);
    }
    EXPECT_FALSE(RegistryFile::load(RegistryFilePath()).value(LumettaKey, "Left"))
        << "a second copy stores nothing";

    ::kill(pid_t(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(30000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    // Ended like the Close button: the shutdown stored its values.
    EXPECT_TRUE(RegistryFile::load(RegistryFilePath()).value(LumettaKey, "Left"));
}

TEST_F(ProcessTest, SignalsEndTheProgramWhileAStartUpBoxIsUp)
{
    struct {
        const char *description;
        QStringList arguments;
        std::function<bool()> boxIsComing;  // true once the box is about to show or shown
        int signal;
    } const cases[] = {
        {"a configuration run before any normal run", {"/c"},
         [this] { return QFile::exists(env.path() + "/Lumetta_MUTEX"); }, SIGTERM},
        {"a normal run with a wrongly typed setting", {}, [] { return waitUntilStored("AppPath"); }, SIGINT},
        {"a normal run whose terminal closed", {}, [] { return waitUntilStored("AppPath"); }, SIGHUP},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        QFile::remove(RegistryFilePath());
        WriteRegInteger(LumettaKey, "Categories", 5);
        QProcess *p = launch(c.arguments);
        ASSERT_TRUE(waitUntil(c.boxIsComing)) << p->readAllStandardError().toStdString();
        ASSERT_EQ(p->state(), QProcess::Running) << "held by the box, not ended by itself";
        ::kill(pid_t(p->processId()), c.signal);
        ASSERT_TRUE(p->waitForFinished(30000)) << "still up after the signal";
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
    }
}

} // namespace
