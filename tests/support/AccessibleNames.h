#pragma once
// What a screen reader, or a test robot on the accessibility bus, hears a
// window's controls called.
#include <QString>
#include <QStringList>

class QWidget;

namespace lumetta::test {

// The name announced for the widget. A combo box's name on Linux is its
// current item, so its caption is the label tied to it.
QString AccessibleName(QWidget *widget);

// Object names of the controls of `window` that take keyboard focus and have
// no name of their own: none at all, only the title of the group they sit in,
// or a glyph ("...", "+"). Hidden pages are walked too.
QStringList UnnamedControls(const QWidget &window);

} // namespace lumetta::test
