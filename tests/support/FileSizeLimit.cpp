#include "support/FileSizeLimit.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <exception>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumetta::test {

ChildOutcome RunWithFileSizeLimit(qint64 limitBytes, const std::function<int(QString &text)> &work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {false, QStringLiteral("pipe failed")};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return {false, QStringLiteral("fork failed")};
    }
    if (pid == 0) {
        ::close(channel[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(limitBytes);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(120);
        QString text;
        int code = 121;
        try {
            code = work(text);
        } catch (const std::exception &e) {
            text = QString::fromUtf8(e.what());
        }
        // A pipe is no file: the limit does not cut what the child reports.
        QFile out;
        if (out.open(channel[1], QIODevice::WriteOnly | QIODevice::Unbuffered))
            out.write(text.toUtf8());
        // No exit handlers: the parent's objects are not the child's to tear down.
        ::_exit(code);
    }
    ::close(channel[1]);
    QFile in;
    ChildOutcome outcome;
    if (in.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        outcome.text = QString::fromUtf8(in.readAll());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.exited = WIFEXITED(status);
    return outcome;
}

} // namespace lumetta::test
