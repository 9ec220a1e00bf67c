#pragma once
// A label whose text stands out on any picture: drawn in its colour with
// a white highlight above and an edge below.
#include <QLabel>

namespace lumetta {

class RaisedLabel : public QLabel {
    Q_OBJECT
public:
    RaisedLabel(const QString &text, const QColor &edge, QWidget *parent = nullptr);

    void setTextColour(const QColor &colour);
    QColor textColour() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_edge;
};

} // namespace lumetta
