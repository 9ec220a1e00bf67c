#pragma once
// Text from servers, lists and the catalogue must reach the screen as it
// came: a label that read it as markup would hide tags and load the files
// an <img> names.
#include <QLabel>
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

} // namespace lumetta::test
