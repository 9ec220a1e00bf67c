#include "service/KorvaneAboutBox.h"

#include "support/TestTime.h"
#include "support/FakeShell.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedServer.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace lumetta;
using lumetta::test::ScriptedServer;
using lumetta::test::ServerScript;

namespace {

const QString Question = "ask: Check for latest version? | You are about to check for the latest version.\r\n You "
                         "must be connected to the internet for this.\r\n\r\nDo you wish to continue?";
const QString NotFound = "message: Error: Information not found";

ServerScript Reply(const QByteArray &status, const QByteArray &body)
{
    return ServerScript().readRequest().send("HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n\r\n" + body);
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(env.home());
        about.appName = [] { return QStringLiteral(" Lumetta "); };
        about.appVersion = [] { return QStringLiteral("Version 2.4.1.77"); };
        about.productPath = [] { return QStringLiteral("lumetta"); };
        about.tempFolder = [this] { return env.home(); };
        about.timeOutSeconds = [] { return 5; };
    }
    void useSite(const ScriptedServer &server) { qputenv("LUMETTA_SITE", server.url("/").toUtf8()); }

    test::TestEnv env;
    test::ScriptedDialogs dialogs;
    test::FakeShell shell{true};
    TestTimeSource time;
    TKorvaneAboutBox about{dialogs, shell, time};
};

} // namespace

// Reading the file and comparing versions are VersionCheck's rows; here
// what the box says for each kind of answer, and the working file goes.
TEST_F(AboutBoxTest, VersionFileCases)
{
    const QString equal = "message: The latest version is 2.4.1.77.\r\nYou already have the latest version.";
    const QString unknown = "message: The latest version is unknown.";
    const QString newer = "ask: New Version Found | A newer version has been found (v2.4.10)\r\n\r\nWould you like "
                          "to read about it?";
    const QString temp = env.home() + "temp.txt";
    // Asked: after the first question.
    struct { const char *description; QByteArray status, body; QStringList asked; } const cases[] = {
        {"not found", "404 Not Found", "lumetta 9.0\r\n", {NotFound, unknown}},
        {"100 MB reply", "200 OK", "lumetta 9.0\r\n" + QByteArray(100 << 20, 'x'), {NotFound, unknown}},
        {"equal", "200 OK", "other 9.0\r\n  Lumetta 2.4.1.77 \r\n", {equal}},
        {"newer: its news offered", "200 OK", "lumetta 2.4.10\r\n", {newer}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        dialogs = {};
        shell.opened.clear();
        ScriptedServer server;
        server.addConnection(Reply(c.status, c.body));
        useSite(server);
        dialogs.setNextAnswer(DialogButton::Yes);
        dialogs.setNextAnswer(DialogButton::Yes);
        about.butUpdatesClick();
        EXPECT_EQ(dialogs.asked, QStringList{Question} + c.asked);
        EXPECT_EQ(dialogs.beeps, c.asked.last() == newer ? 0 : 1);
        const QStringList news{server.url("/lumetta/whatsnew.shtml")};
        EXPECT_EQ(shell.opened, c.asked.last() == newer ? news : QStringList());
        EXPECT_FALSE(QFileInfo::exists(temp));
        ASSERT_EQ(server.requests().size(), 1);
        EXPECT_TRUE(server.requests()[0].startsWith("GET /upgrades.txt HTTP/1.0\r\n"));
    }
}

TEST_F(AboutBoxTest, SilentSiteEndsAtTheTimeOutAndIsReportedOnce)
{
    ScriptedServer server;
    server.setDefaultScript(ServerScript().readRequest().hang());
    useSite(server);
    int clicksWhileWaiting = 0;
    // Test time moves a second at a time while the check waits; a second
    // click meanwhile must not start a second check.
    std::function<void()> tick = [&] {
        if (!about.TimeOutTimer.isActive())
            return;
        // Time starts once the request is out, so the server sees it.
        if (!server.requests().isEmpty()) {
            if (clicksWhileWaiting++ == 0)
                about.butUpdatesClick();
            time.advance(1000);
        }
        QMetaObject::invokeMethod(qApp, tick, Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(qApp, tick, Qt::QueuedConnection);
    dialogs.setNextAnswer(DialogButton::Yes);
    about.butUpdatesClick();
    EXPECT_EQ(time.elapsed(), 5000);
    EXPECT_EQ(dialogs.asked, QStringList({Question, NotFound, "message: The latest version is unknown."}));
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_FALSE(about.checking());
}
