#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QtGlobal>

// Where a label's text goes: the font every surface sets labels in and the baseline origin
// that puts the text's `align` side at a point, both in the pixels of the surface drawing it.
namespace LabelText {

QFont font(int pixelSize);

// The box of `text` set in `font` (advance width, ascent plus descent) with the side `align`
// names at `at`.
QRectF box(QPointF at, const QString& text, const QFont& font, Qt::Alignment align);

// The baseline origin of text set in `font` whose box is `box`.
QPointF origin(const QRectF& box, const QFont& font);

} // namespace LabelText
