#include "render/BlankSurface.h"

#include <algorithm>

void BlankSurface::setGeometry(int left, int width, int height)
{
    left_ = left;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    updateMapping();
}
