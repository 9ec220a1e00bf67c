#include "platform/PlainText.h"

#include <QLabel>

namespace lumetta {

QString PlainToolTip(const QString &text)
{
    if (text.isEmpty())
        return {};
    // A tooltip that looks like markup is read as markup; this one is, and
    // holds no tag of the text's own.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void MakeLabelsPlain(QWidget *root)
{
    if (auto *label = qobject_cast<QLabel *>(root))
        label->setTextFormat(Qt::PlainText);
    for (QLabel *label : root->findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
}

} // namespace lumetta
