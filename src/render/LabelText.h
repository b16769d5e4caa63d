#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QtGlobal>

// Where a label's text goes: the font every surface sets labels in and the baseline origin
// that puts the text's `align` side at a point, both in the pixels of the surface drawing it.
namespace LabelText {

QFont font(int pixelSize);

// The baseline origin of `text` set in `font` so that its box (advance width, ascent plus
// descent) has the side `align` names at `at`.
QPointF origin(QPointF at, const QString& text, const QFont& font, Qt::Alignment align);

} // namespace LabelText
