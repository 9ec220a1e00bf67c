#include "platform/EndSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace lumetta {

namespace {

int SignalSocket[2] = {-1, -1};

extern "C" void OnEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalSocket[0], &byte, 1);
}

} // namespace

void CatchEndSignals(std::initializer_list<int> which)
{
    if (SignalSocket[1] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalSocket) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : which)
        sigaction(s, &action, nullptr);
}

void WatchEndSignals(QObject *owner, const std::function<void()> &onSignal)
{
    if (SignalSocket[1] < 0)
        return;
    auto *notifier = new QSocketNotifier(SignalSocket[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [onSignal] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(SignalSocket[1], &byte, 1);
        onSignal();
    });
}

} // namespace lumetta
