#pragma once
// The shell as tests see it: the connection state and whether opening or
// starting succeeds are set by the test; every document opened and program
// started is recorded.
#include "platform/Platform.h"

#include <QStringList>

namespace lumetta::test {

struct FakeShell final : SystemShell {
    explicit FakeShell(bool opens = false) : opens(opens) {}

    bool connected = true;
    bool opens;
    bool startSucceeds = false;
    QStringList opened;
    QStringList started;

    bool isInternetConnected() override { return connected; }
    bool openDocument(const QString &target) override
    {
        opened << target;
        return opens;
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        started << program + " " + arguments.join(' ');
        return startSucceeds;
    }
    bool runInstead(const QString &program, const QStringList &arguments) override
    {
        started << "instead: " + program + " " + arguments.join(' ');
        return startSucceeds;
    }
};

} // namespace lumetta::test
