#pragma once
// Text from servers, lists and the catalogue reaches the screen as it came:
// a label or tooltip that read it as markup would hide tags and load the
// files an <img> names.
#include <QString>

class QLabel;
class QWidget;

namespace lumetta {

// For setToolTip and an item's tooltip: the text escaped inside explicit
// markup, so Qt can only show it character by character, blanks and line
// breaks kept. Empty stays empty (no tooltip).
QString PlainToolTip(const QString &text);

// Every label under root, root included, shows its text literally, now and
// after every later setText.
void MakeLabelsPlain(QWidget *root);

} // namespace lumetta
