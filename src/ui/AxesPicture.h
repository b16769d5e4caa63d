#pragma once

#include <QImage>

// The picture the left view shows until the first plot: the orientation of the three axes,
// drawn on a transparent 400 x 300 image.
class AxesPicture
{
public:
    static constexpr int Width = 400;
    static constexpr int Height = 300;

    static QImage make();
    // The same three arrows in 16 x 16 pixels, for the window icon.
    static QImage icon();
};
