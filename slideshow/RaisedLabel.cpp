#include "slideshow/RaisedLabel.h"

#include <QPainter>
#include <algorithm>

namespace lumetta {

RaisedLabel::RaisedLabel(const QString &text, const QColor &edge, QWidget *parent)
    : QLabel(text, parent), m_edge(edge)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAlignment(Qt::AlignCenter);
}

void RaisedLabel::setTextColour(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

QColor RaisedLabel::textColour() const
{
    return palette().color(QPalette::WindowText);
}

QSize RaisedLabel::sizeHint() const
{
    return QLabel::sizeHint() + QSize(4, 2);
}

void RaisedLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = contentsRect();
    // A label of fixed size ("Click Now") keeps its whole text when the
    // font that stands in for the designed one runs wider.
    QFont f = font();
    const int wide = QFontMetrics(f).horizontalAdvance(text()) + 3;
    if (wide > r.width() && r.width() > 0) {
        if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * r.width() / wide);
        else
            f.setPixelSize(std::max(1, f.pixelSize() * r.width() / wide));
    }
    p.setFont(f);
    const int flags = int(alignment());
    p.setPen(Qt::white);
    p.drawText(r.translated(-1, -1), flags, text());
    p.setPen(m_edge);
    for (const QPoint &d : {QPoint(1, 1), QPoint(2, 2), QPoint(1, 0), QPoint(0, 1)})
        p.drawText(r.translated(d), flags, text());
    p.setPen(textColour());
    p.drawText(r, flags, text());
}

} // namespace lumetta
