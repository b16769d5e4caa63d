#pragma once

#include "render/VectorSurface.h"

#include <QByteArray>
#include <QString>

// A view to be written as SVG: its shapes as one group of elements, placed in a document by
// SvgDocument. Every unbroken line is one polyline, the dots of one colour one path, the
// circle a circle, the background a rectangle, all clipped to the view.
class SvgSurface : public VectorSurface
{
public:
    using VectorSurface::VectorSurface;

    // The view's clip path (named `id`) and group, its left edge at x in the document.
    QByteArray group(const QString& id, double x) const;
};
