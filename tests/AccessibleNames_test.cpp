#include "support/AccessibleNames.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

template <typename T>
T *Make(QWidget *parent, const char *name)
{
    auto *w = new T(parent);
    w->setObjectName(name);
    return w;
}

void Caption(QWidget *parent, const char *text, QWidget *buddy)
{
    (new QLabel(text, parent))->setBuddy(buddy);
}

// The window checks of every form rest on these rules; each control below
// is named, or not, in one way the rules must tell apart.
TEST(AccessibleNamesTest, FindsTheControlsAScreenReaderCannotName)
{
    QWidget window;
    QWidget *hiddenPage = Make<QWidget>(&window, "hiddenPage");
    hiddenPage->hide();
    auto *group = Make<QGroupBox>(hiddenPage, "group");
    group->setTitle(" Options ");

    auto *labelled = Make<QLineEdit>(&window, "labelled");
    Caption(&window, "Webcam image URL", labelled);
    Make<QLineEdit>(&window, "bare");
    Make<QLineEdit>(hiddenPage, "bareOnHiddenPage");
    Make<QSpinBox>(group, "titleOnly");
    Make<QSpinBox>(group, "namedInGroup")->setAccessibleName("Port");
    Make<QSpinBox>(group, "namedAsItsGroup")->setAccessibleName("Options");
    Make<QToolButton>(&window, "glyph")->setText("...");
    auto *icon = Make<QToolButton>(&window, "icon");
    icon->setText("...");
    icon->setAccessibleName("Select folder");
    Make<QToolButton>(&window, "captioned")->setText("Reset");
    auto *combo = Make<QComboBox>(&window, "comboWithValueOnly");
    combo->addItem("General");
    combo->view(); // its list, a popup window of its own, is left out
    auto *labelledCombo = Make<QComboBox>(group, "labelledCombo");
    labelledCombo->addItem("General");
    Caption(group, "Category", labelledCombo);
    Make<QLineEdit>(&window, "noFocus")->setFocusPolicy(Qt::NoFocus);

    QStringList unnamed = test::UnnamedControls(window);
    unnamed.sort();
    EXPECT_EQ(unnamed.join(' ').toStdString(), "bare bareOnHiddenPage comboWithValueOnly glyph namedAsItsGroup titleOnly");
    EXPECT_EQ(test::AccessibleName(labelled), QString("Webcam image URL"));
    EXPECT_EQ(test::AccessibleName(labelledCombo), QString("Category"));
}

} // namespace
