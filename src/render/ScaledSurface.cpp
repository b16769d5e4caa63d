#include "render/ScaledSurface.h"

void ScaledSurface::setScale(float x1, float y1, float x2, float y2)
{
    userScale_ = true;
    scaleX1_ = x1;
    scaleY1_ = y1;
    scaleX2_ = x2;
    scaleY2_ = y2;
    updateMapping();
}

void ScaledSurface::updateMapping()
{
    if (!userScale_) {
        scaleX1_ = scaleY1_ = 0;
        scaleX2_ = float(width_);
        scaleY2_ = float(height_);
    }
    mapScale();
}
