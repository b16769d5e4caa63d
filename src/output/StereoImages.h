#pragma once

#include <QImage>

// Images made from the two views as drawn: a red/cyan anaglyph and side-by-side pairs.
// With a positive stereoscopic factor a near point lies further left in the left view than in
// the right one: the views as drawn are a pair for crossed eyes, and the eye on the left must
// see the right view when the eyes do not cross.
namespace StereoImages {

// The image for red/cyan glasses with red over the left eye: the right view's grey value in
// the red channel, the left view's in green and blue, over the common size of the two views
// (views of different sizes are aligned at the top left).
QImage anaglyph(const QImage& left, const QImage& right);

// Both views side by side in one image, left first, aligned at the top: viewed cross-eyed.
QImage pair(const QImage& left, const QImage& right);

// The views swapped, right first: viewed with parallel eyes (stereoscopes, VR players, the
// side-by-side mode of 3D TVs).
QImage parallelPair(const QImage& left, const QImage& right);

} // namespace StereoImages
