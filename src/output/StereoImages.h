#pragma once

#include <QImage>

// Images made from the two views as drawn: a red/cyan anaglyph and a side-by-side pair.
namespace StereoImages {

// The left view's grey value in the red channel, the right view's in green and blue, over
// the common size of the two views (views of different sizes are aligned at the top left).
QImage anaglyph(const QImage& left, const QImage& right);

// Both views side by side in one image, left first, aligned at the top.
QImage pair(const QImage& left, const QImage& right);

} // namespace StereoImages
