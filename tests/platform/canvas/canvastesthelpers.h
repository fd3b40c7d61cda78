#pragma once

#include <QImage>
#include <QRect>

namespace qm::test {

// A white page of the given size; dotsPerInch sets the image's resolution,
// which the canvas reads to stretch dash patterns on fine devices.
inline QImage whitePage(int width, int height, int dotsPerInch = 96)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

inline bool isInk(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 160;
}

// The smallest rectangle holding every ink pixel; null when there is none.
inline QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image, x, y)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

} // namespace qm::test
