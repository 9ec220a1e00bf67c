#pragma once
// Signals that ask the program to end, turned into events: from the first
// moment a caught signal only leaves a byte in a socket, and the event loop
// (the main one or a dialog's) picks it up once there is one, so no signal
// is lost and none ends the program half-way through a write.
#include <QObject>
#include <functional>
#include <initializer_list>

namespace lumetta {

void CatchEndSignals(std::initializer_list<int> which);
// onSignal runs on the event loop, once per signal caught.
void WatchEndSignals(QObject *owner, const std::function<void()> &onSignal);

} // namespace lumetta
