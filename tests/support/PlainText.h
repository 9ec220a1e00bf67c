#pragma once
// Text from servers, lists and the catalogue must reach the screen as it
// came: a label that read it as markup would hide tags and load the files
// an <img> names.
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace lumetta::test {

// Markup that renders as a tiny picture and a bold word when read as rich text.
inline const QString Markup = QStringLiteral("<b>Cam</b><img src=\"/nonexistent/lumetta.png\">");

inline ::testing::AssertionResult ShowsLiterally(const QLabel *label, const QString &text)
{
    if (!label)
        return ::testing::AssertionFailure() << "no label";
    if (label->textFormat() != Qt::PlainText)
        return ::testing::AssertionFailure() << label->objectName().toStdString() << " reads markup";
    if (label->text() != text)
        return ::testing::AssertionFailure() << label->objectName().toStdString() << " shows \""
                                             << label->text().toStdString() << "\"";
    // Drawn character by character, tags included.
    if (label->sizeHint().width() < label->fontMetrics().horizontalAdvance(text))
        return ::testing::AssertionFailure() << label->objectName().toStdString() << " renders narrower than its text";
    return ::testing::AssertionSuccess();
}

// Where any window shows text as markup: a label that reads markup, or a
// tooltip of a widget or of a view's item holding the text unescaped.
inline QStringList MarkupShowing(const QString &text)
{
    const auto rich = [&text](const QString &tip) { return tip.contains(text) && Qt::mightBeRichText(tip); };
    QStringList found;
    for (QWidget *w : QApplication::allWidgets()) {
        const auto *label = qobject_cast<QLabel *>(w);
        if ((label && label->textFormat() != Qt::PlainText && label->text().contains(text)) || rich(w->toolTip()))
            found << w->objectName();
        const auto *view = qobject_cast<QAbstractItemView *>(w);
        for (int row = 0; view && view->model() && row < view->model()->rowCount(); ++row)
            for (int column = 0; column < view->model()->columnCount(); ++column)
                if (rich(view->model()->index(row, column).data(Qt::ToolTipRole).toString()))
                    found << QStringLiteral("%1 %2,%3").arg(w->objectName()).arg(row).arg(column);
    }
    return found;
}

} // namespace lumetta::test
