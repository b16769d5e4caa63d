#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

// The labels set in one view since it was last erased. A label is whole and right or absent:
// its box, the text with a margin around it (cleared to the background under the text, so no
// line crosses it), stays a margin inside the view's edges, clear of the frame; a box reaching over
// moves inward until it lies inside, and a box wholly outside, larger than the view, or that would
// then overlap a label set before is left out.
class LabelPlacement
{
public:
    struct Placed
    {
        QRectF box;     // the text's box with the margin around it
        QPointF origin; // the text's baseline origin
    };

    // Places `text` set in `font` with its `align` side at `at` (see LabelText::box) in a view
    // of `size`, with `margin` around the text; false when it is left out.
    bool place(QPointF at, const QString& text, const QFont& font, Qt::Alignment align, QSizeF size,
               double margin, Placed& placed);
    void clear() { boxes_.clear(); }

private:
    // Moves `box` inside `bounds` and takes it; false (the label left out) when it cannot be.
    bool place(QRectF& box, const QRectF& bounds);

    QList<QRectF> boxes_;
};
