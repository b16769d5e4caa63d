#pragma once

#include "render/VectorSurface.h"

#include <QRectF>

class QPainter;

// A view drawn as vectors through a painter into a rectangle of its device (a PDF page, a
// printer, an image), in the painter's coordinates. The drawing is kept until finish()
// paints it, so the rectangle may be settled after the view's size (setTarget).
class PainterSurface : public VectorSurface
{
public:
    PainterSurface(QPainter& painter, const QRectF& target, int left = 0, int width = 400,
                   int height = 300);

    void setTarget(const QRectF& target) { target_ = target; }
    const QRectF& target() const { return target_; }

    // Paints everything drawn so far into the target rectangle.
    void finish() const;

private:
    QPainter& painter_;
    QRectF target_;
};
