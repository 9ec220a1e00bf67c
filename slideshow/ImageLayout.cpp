#include "slideshow/ImageLayout.h"

namespace lumetta {

namespace {

int Trunc(double value)
{
    return static_cast<int>(value);
}

} // namespace

QSize CorrectFrameShape(QSize image)
{
    const qint64 w = image.width(), h = image.height();
    if (9 * w == 11 * h)
        return QSize(int(4 * h / 3), int(h));
    if (15 * w == 22 * h)
        return QSize(int(w), int(3 * w / 4));
    return image;
}

ImageLayout LayoutImage(QSize image, QSize monitor, QSize client, const SizeRules &rules,
                        bool playMode)
{
    ImageLayout layout;
    if (image.width() < 2 || image.height() < 2 || monitor.isEmpty())
        return layout;
    const QSize frame = rules.adjustForPAL ? CorrectFrameShape(image) : image;
    const int w = frame.width(), h = frame.height();
    const double screenAspect = double(monitor.height()) / monitor.width();
    const double imageAspect = double(h) / w;

    int dw = 0, dh = 0;
    if (playMode) {
        dw = w;
        dh = h;
        client = frame;
    } else if (rules.ssImageSize == 1) {
        const double scale = rules.timesActualSizePercent / 100.0;
        dh = Trunc(h * scale);
        dw = Trunc(w * scale);
    } else {
        const double scale = rules.imageSizePercent / 100.0;
        if (imageAspect > screenAspect) {
            dh = Trunc(client.height() * scale);
            dw = Trunc(client.height() / imageAspect * scale);
        } else {
            dw = Trunc(client.width() * scale);
            dh = Trunc(client.width() * imageAspect * scale);
        }
        if (rules.doNotShrinkImages && (dw < w || dh < h)) {
            dw = w;
            dh = h;
        }
    }

    // The test is against the monitor, the fit against the client area. A
    // Play window is as large as the picture, so it fits to the monitor
    // and takes the fitted size.
    if (rules.shrinkToScreen && (dw >= monitor.width() || dh >= monitor.height())) {
        const QSize area = playMode ? monitor : client;
        if (imageAspect > screenAspect) {
            dh = area.height();
            dw = Trunc(area.height() / imageAspect);
        } else {
            dw = area.width();
            dh = Trunc(area.width() * imageAspect);
        }
        if (playMode)
            client = QSize(dw, dh);
    }

    layout.shown = true;
    layout.frame = frame;
    layout.client = client;
    const QPoint topLeft =
        playMode ? QPoint(0, 0) : QPoint((client.width() - dw) / 2, (client.height() - dh) / 2);
    layout.panel = QRect(topLeft, QSize(dw, dh));
    return layout;
}

CaptionPlace PlaceCaption(QSize monitor, QSize caption, bool atTop, QPoint panelTopLeft)
{
    CaptionPlace place;
    place.onWindow = QPoint((monitor.width() - caption.width()) / 2,
                            atTop ? 0 : monitor.height() - caption.height());
    place.onPanel = place.onWindow - panelTopLeft;
    return place;
}

AdPlaces PlaceAdLabels(QSize panel, QSize adUrl, QSize adMsg)
{
    const int right = panel.width() - ClickNowSize.width();
    const int bottom = panel.height() - ClickNowSize.height();
    AdPlaces places;
    places.clickNow[0] = QRect(QPoint(0, 0), ClickNowSize);
    places.clickNow[1] = QRect(QPoint(0, bottom), ClickNowSize);
    places.clickNow[2] = QRect(QPoint(right, 0), ClickNowSize);
    places.clickNow[3] = QRect(QPoint(right, bottom), ClickNowSize);
    places.adUrl = QPoint((panel.width() - adUrl.width()) / 2, 0);
    places.adMsg = QPoint((panel.width() - adMsg.width()) / 2, panel.height() - adMsg.height());
    return places;
}

QSize DevicePixelSize(QSize logical, double ratio)
{
    if (ratio <= 0)
        return logical;
    return QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
}

} // namespace lumetta
