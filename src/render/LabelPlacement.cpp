#include "render/LabelPlacement.h"

#include "render/LabelText.h"

#include <algorithm>

bool LabelPlacement::place(QPointF at, const QString& text, const QFont& font, Qt::Alignment align,
                           QSizeF size, double margin, Placed& placed)
{
    QRectF box = LabelText::box(at, text, font, align).adjusted(-margin, -margin, margin, margin);
    const QRectF bounds = QRectF(QPointF(0, 0), size).adjusted(margin, margin, -margin, -margin);
    if (!place(box, bounds)) return false;
    placed.box = box;
    placed.origin = LabelText::origin(box.adjusted(margin, margin, -margin, -margin), font);
    return true;
}

bool LabelPlacement::place(QRectF& box, const QRectF& bounds)
{
    // Text wholly outside labels nothing shown; text larger than the view cannot be whole.
    if (!box.intersects(bounds) || box.width() > bounds.width() || box.height() > bounds.height())
        return false;
    box.moveLeft(std::clamp(box.left(), bounds.left(), bounds.right() - box.width()));
    box.moveTop(std::clamp(box.top(), bounds.top(), bounds.bottom() - box.height()));
    for (const QRectF& other : std::as_const(boxes_))
        if (other.intersects(box)) return false;
    boxes_.append(box);
    return true;
}
