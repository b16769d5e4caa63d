#pragma once

#include <QtGlobal>

// Colours for values: a perceptual map from dark blue through green to yellow (viridis), which
// keeps its order also as brightness, so an anaglyph made of it still reads; and brightness
// scaling for shading. Colours are &H00BBGGRR numbers.
namespace ColourMap {

// The map's colour at share t of the range, t clamped into [0, 1] (0 when not a number).
quint32 viridis(double t);

// `color` with each channel times `factor` (clamped into [0, 1]).
quint32 scaled(quint32 color, double factor);

} // namespace ColourMap
