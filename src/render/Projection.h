#pragma once

#include "render/RenderState.h"
#include "setup/PlotSetup.h"

#include <cmath>

// The oblique stereoscopic projection with x as depth, and the translation and rotation of
// surface points. Every named intermediate is a single-precision value.
namespace Projection {

// Horizontal shift per unit of depth of view `viewIndex`: RatioYX * EyeFactor(view) / 5.
inline float parallaxFor(const PlotSetup& s, int viewIndex)
{
    return s.RatioYX * s.EyeFactor[viewIndex] / 5.0f;
}

// The guides' projection of (Px, Py, Pz), untransformed, for the view ViewIndex.
inline float ParallaxOf(const PlotSetup& s, RenderState& r)
{
    r.Parallax = parallaxFor(s, r.ViewIndex);
    const float depth = s.Xmid - r.Px;
    return depth * r.Parallax;
}

inline float ProjectH(const PlotSetup& s, RenderState& r)
{
    const float depth = s.Xmid - r.Px;
    const float h = depth * s.RatioYX + r.Py;
    return h + ParallaxOf(s, r);
}

inline float ProjectV(const PlotSetup& s, const RenderState& r)
{
    const float depth = s.Xmid - r.Px;
    return depth * s.RatioZX + r.Pz;
}

// Projects (x, y, z) for the surface drawers: the right view unshifted, the left view shifted
// by r.Parallax (set by the drawer to the left view's parallax). Writes r.Depth.
inline void projectPoint(const PlotSetup& s, RenderState& r, float x, float y, float z,
                         float& hLeft, float& hRight, float& v)
{
    r.Depth = s.Xmid - x;
    hRight = r.Depth * s.RatioYX + y;
    hLeft = hRight + r.Depth * r.Parallax;
    v = r.Depth * s.RatioZX + z;
}

// Rotation angles in radians and their sines and cosines: degrees * halfpi / 90.
inline void computeRotation(const PlotSetup& s, RenderState& r, float halfpi)
{
    r.XrotRad = s.Xrot * halfpi / 90.0f;
    r.YrotRad = s.Yrot * halfpi / 90.0f;
    r.ZrotRad = s.Zrot * halfpi / 90.0f;
    // The sines and cosines are taken in double precision and stored as single.
    r.CosX = float(std::cos(double(r.XrotRad)));
    r.SinX = float(std::sin(double(r.XrotRad)));
    r.CosY = float(std::cos(double(r.YrotRad)));
    r.SinY = float(std::sin(double(r.YrotRad)));
    r.CosZ = float(std::cos(double(r.ZrotRad)));
    r.SinZ = float(std::sin(double(r.ZrotRad)));
}

// Translation first, then rotation about x, about y, about z; result in Rx, Ry, Rz.
inline void TransformPoint(const PlotSetup& s, RenderState& r)
{
    const float tx = r.Px + s.Xtr;
    const float ty = r.Py + s.Ytr;
    const float tz = r.Pz + s.Ztr;
    const float z1 = ty * r.SinX + tz * r.CosX;
    const float y1 = ty * r.CosX - tz * r.SinX;
    const float x2 = tx * r.CosY + r.SinY * z1;
    r.Rz = r.CosY * z1 - tx * r.SinY;
    r.Ry = r.SinZ * x2 + r.CosZ * y1;
    r.Rx = r.CosZ * x2 - r.SinZ * y1;
}

// The same, written back into Px, Py, Pz.
inline void TransformInPlace(const PlotSetup& s, RenderState& r)
{
    TransformPoint(s, r);
    r.Px = r.Rx;
    r.Py = r.Ry;
    r.Pz = r.Rz;
}

} // namespace Projection
