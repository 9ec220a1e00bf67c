#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QGroupBox>
#include <QWidget>
#include <algorithm>

namespace lumetta::test {

QString AccessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    if (!face)
        return {};
    if (face->role() == QAccessible::ComboBox) {
        const auto labels = face->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    }
    return face->text(QAccessible::Name);
}

QStringList UnnamedControls(const QWidget &window)
{
    QStringList unnamed;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        // A focus proxy's owner is announced for it; popups (a combo box's
        // list) are windows of their own.
        if (w->focusPolicy() == Qt::NoFocus || w->focusProxy() || w->window() != &window)
            continue;
        const QString name = AccessibleName(w).trimmed();
        // Qt names an unlabelled control after its group box; that names the group,
        // and so does a name of its own that only repeats the group's title.
        const auto *group = qobject_cast<const QGroupBox *>(w->parentWidget());
        if (!std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetter(); })
            || (group && name.compare(group->title().trimmed(), Qt::CaseInsensitive) == 0))
            unnamed << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                  : w->objectName());
    }
    return unnamed;
}

} // namespace lumetta::test
