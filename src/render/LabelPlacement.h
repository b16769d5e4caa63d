#pragma once

#include <QList>
#include <QRectF>

// The labels set in one view since it was last erased. A label is whole and right or absent:
// a box reaching over the view's edge moves inward until it lies inside, and a box wholly
// outside, larger than the view, or that would then overlap a label set before is left out.
class LabelPlacement
{
public:
    // Moves `box` inside `bounds` and takes it; false (the label left out) when it cannot be.
    bool place(QRectF& box, const QRectF& bounds);
    void clear() { boxes_.clear(); }

private:
    QList<QRectF> boxes_;
};
