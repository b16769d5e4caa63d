#include "render/PainterSurface.h"

PainterSurface::PainterSurface(QPainter& painter, const QRectF& target, int left, int width,
                               int height)
    : VectorSurface(left, width, height), painter_(painter), target_(target)
{
}

void PainterSurface::finish() const
{
    paint(painter_, target_);
}
