#pragma once

#include "setup/PlotSetup.h"

#include <cmath>

// The stereoscopic projection with x as depth, and the translation and rotation of surface
// points. Every named intermediate is a single-precision value. The projection is oblique
// (depth moves a point along the window's diagonal) unless the setup's look asks for the
// orthographic one, where depth moves a point only by the parallax.
namespace Projection {

struct Point
{
    float x = 0, y = 0, z = 0;
};

// A point as both views show it: the right view unshifted, the left one shifted by parallax.
struct ScreenPoint
{
    float hLeft = 0, hRight = 0, v = 0;
};

// The sines and cosines of the setup's rotation angles.
struct Rotation
{
    float CosX = 1, CosY = 1, CosZ = 1, SinX = 0, SinY = 0, SinZ = 0;
};

// Horizontal shift per unit of depth of view `viewIndex`: RatioYX * EyeFactor(view) / 5.
inline float parallaxFor(const PlotSetup& s, int viewIndex)
{
    return s.RatioYX * s.EyeFactor[viewIndex] / 5.0f;
}

// How far one unit of depth moves a point right and up in the unshifted view.
inline float depthRatioH(const PlotSetup& s)
{
    return s.Options.Look.Orthographic ? 0.0f : s.RatioYX;
}

inline float depthRatioV(const PlotSetup& s)
{
    return s.Options.Look.Orthographic ? 0.0f : s.RatioZX;
}

// The guides' horizontal place of p in view `viewIndex`, untransformed.
inline float horizontal(const PlotSetup& s, int viewIndex, Point p)
{
    const float depth = s.Xmid - p.x;
    const float h = depth * depthRatioH(s) + p.y;
    return h + depth * parallaxFor(s, viewIndex);
}

inline float vertical(const PlotSetup& s, Point p)
{
    const float depth = s.Xmid - p.x;
    return depth * depthRatioV(s) + p.z;
}

// The surface drawers' projection: the left view shifted by `parallax` (the left view's).
inline ScreenPoint project(const PlotSetup& s, float parallax, Point p)
{
    const float depth = s.Xmid - p.x;
    ScreenPoint q;
    q.hRight = depth * depthRatioH(s) + p.y;
    q.hLeft = q.hRight + depth * parallax;
    q.v = depth * depthRatioV(s) + p.z;
    return q;
}

// The user scale of a view: x1 at the left edge, x2 at the right, y1 at the top, y2 at the
// bottom.
struct ViewWindow
{
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The setup's screen window; in the orthographic projection a window of one scale on both
// axes, `width` x `height` pixels, centred on the screen window and holding it whole, widened
// by the largest parallax shift of the box's depth, so that nothing of the box is cut.
ViewWindow viewWindow(const PlotSetup& s, int width, int height);

// Rotation angles in radians (degrees * halfpi / 90) and their sines and cosines, taken in
// double precision and stored as single.
inline Rotation rotationOf(const PlotSetup& s, float halfpi)
{
    const float x = s.Xrot * halfpi / 90.0f;
    const float y = s.Yrot * halfpi / 90.0f;
    const float z = s.Zrot * halfpi / 90.0f;
    Rotation r;
    r.CosX = float(std::cos(double(x)));
    r.SinX = float(std::sin(double(x)));
    r.CosY = float(std::cos(double(y)));
    r.SinY = float(std::sin(double(y)));
    r.CosZ = float(std::cos(double(z)));
    r.SinZ = float(std::sin(double(z)));
    return r;
}

// Translation first, then rotation about x, about y, about z.
inline Point transform(const PlotSetup& s, const Rotation& r, Point p)
{
    const float tx = p.x + s.Xtr;
    const float ty = p.y + s.Ytr;
    const float tz = p.z + s.Ztr;
    const float z1 = ty * r.SinX + tz * r.CosX;
    const float y1 = ty * r.CosX - tz * r.SinX;
    const float x2 = tx * r.CosY + r.SinY * z1;
    Point q;
    q.z = r.CosY * z1 - tx * r.SinY;
    q.y = r.SinZ * x2 + r.CosZ * y1;
    q.x = r.CosZ * x2 - r.SinZ * y1;
    return q;
}

} // namespace Projection
