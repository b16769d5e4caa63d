#pragma once

#include <QColor>
#include <QImage>

// Counts the pixels of an image within `tolerance` (sum of channel differences) of a colour.
inline int countPixels(const QImage& image, QColor colour, int tolerance = 40)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                    qAbs(c.blue() - colour.blue()) <=
                tolerance)
                ++n;
        }
    return n;
}
