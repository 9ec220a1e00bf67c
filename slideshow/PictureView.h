#pragma once
// The picture as the show paints it. The window decodes and scales it once
// for the device pixels it covers, so a repaint copies pixels and never
// filters.
#include <QPixmap>
#include <QWidget>

namespace lumetta {

class PictureView : public QWidget {
public:
    explicit PictureView(QWidget *parent = nullptr);

    // A null image clears the view.
    void setPicture(const QImage &image, qreal devicePixelRatio = 1);
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace lumetta
