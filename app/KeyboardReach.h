#pragma once
// Controls drawn as a label or a panel that act on a click: Tab reaches
// them, Enter, Return or Space acts as the click does, and the style's focus
// rectangle shows where the focus is.
class QEvent;
class QFrame;

namespace lumetta {

void MakeKeyboardReachable(QFrame *control);

// Enter, Return or Space pressed without a modifier: the keys a button takes.
bool IsActivationKey(const QEvent *event);

} // namespace lumetta
