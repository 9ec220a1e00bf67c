#include "app/KeyboardReach.h"

#include <QFrame>
#include <QKeyEvent>

namespace lumetta {

namespace {

// The focus frame takes the place of a margin, so nothing inside moves.
class FocusFrame : public QObject {
public:
    explicit FocusFrame(QFrame *control)
        : QObject(control), m_shape(control->frameShape()), m_shadow(control->frameShadow()),
          m_lineWidth(control->lineWidth()), m_margins(control->contentsMargins())
    {
        if (control->frameWidth() == 0)
            m_margins += QMargins(1, 1, 1, 1);
        m_width = control->frameWidth();
        control->setContentsMargins(m_margins);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *control = static_cast<QFrame *>(watched);
        if (event->type() == QEvent::FocusIn) {
            const int width = qMax(m_width, 1);
            control->setFrameStyle(QFrame::Box | QFrame::Plain);
            control->setLineWidth(width);
            control->setContentsMargins(m_margins - QMargins(1, 1, 1, 1) * (width - m_width));
        } else if (event->type() == QEvent::FocusOut) {
            control->setFrameStyle(m_shape | m_shadow);
            control->setLineWidth(m_lineWidth);
            control->setContentsMargins(m_margins);
        }
        return false;
    }

private:
    QFrame::Shape m_shape;
    QFrame::Shadow m_shadow;
    int m_lineWidth;
    QMargins m_margins;
    int m_width = 0;
};

} // namespace

void MakeKeyboardReachable(QFrame *control)
{
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(new FocusFrame(control));
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
