#include "app/KeyboardReach.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace lumetta {

namespace {

// The style's own focus rectangle, drawn over the control once it has
// painted itself: nothing moves when the focus comes and goes.
class FocusRect : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *control = static_cast<QWidget *>(watched);
        if (event->type() != QEvent::Paint || !control->hasFocus() || m_painting)
            return false;
        m_painting = true;
        static_cast<QObject *>(control)->event(event);
        m_painting = false;
        QPainter painter(control);
        QStyleOptionFocusRect option;
        option.initFrom(control);
        option.backgroundColor = control->palette().color(control->backgroundRole());
        control->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, control);
        return true;
    }

private:
    bool m_painting = false;
};

} // namespace

void MakeKeyboardReachable(QFrame *control)
{
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(new FocusRect(control));
}

bool IsActivationKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier
           && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space);
}

} // namespace lumetta
