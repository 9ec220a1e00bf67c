#include "support/FileSizeLimit.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumetta::test {

namespace {

void WriteAllTo(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

} // namespace

ChildOutcome RunWithFileSizeLimit(qint64 limitBytes, const std::function<int(QString &text)> &work)
{
    ChildOutcome outcome;
    int channel[2];
    if (::pipe(channel) != 0) {
        outcome.text = QStringLiteral("pipe failed");
        return outcome;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        outcome.text = QStringLiteral("fork failed");
        return outcome;
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
        WriteAllTo(channel[1], text.toUtf8());
        // No exit handlers: the parent's objects are not the child's to tear down.
        ::_exit(code);
    }
    ::close(channel[1]);
    QByteArray received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        received.append(buffer, n);
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.exited = WIFEXITED(status);
    outcome.code = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.text = QString::fromUtf8(received);
    return outcome;
}

} // namespace lumetta::test
