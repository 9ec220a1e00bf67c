#pragma once
// "lumetta --idle": the windowless watcher that starts the screen-saver run
// when the user has been away for the idle delay, one per user session.
namespace lumetta {

int RunIdleWatcher(int argc, char **argv);

} // namespace lumetta
