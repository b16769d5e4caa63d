#pragma once

#include "render/DepthBuffer.h"
#include "render/DrawingSurface.h"
#include "render/Projection.h"
#include "setup/PlotSetup.h"

#include <QtGlobal>
#include <array>
#include <vector>

// The surface sampled as a grid of points before its lines are drawn, for the look's passes:
// its extent in height and depth (the colours), a depth raster of each view (hidden lines and
// dots), and its cells filled far ones first, with their depths for a raster's own depth test,
// shaded (the solid surface). The mesh lines and dots then go through drawSegment and drawDot
// instead of straight to the views.
class SurfaceModel
{
public:
    using Point = Projection::Point;

    // Grid points per side at most, and a grid never larger than this many points.
    static constexpr qint64 MaxPoints = 4'000'000;

    // The grid for the setup: every space of the mesh cut into as many parts as it has
    // segments, fewer where the grid would cost more than a quarter of the mesh lines'
    // evaluations. False
    // when there is no grid (a count below 1, or too many spaces).
    static bool gridSize(const PlotSetup& s, qint32& columns, qint32& rows);

    // A grid of columns x rows points (a across, b down), all missing, for drawing `s` in
    // views whose left view is shifted by `parallax`; lines without a colour of their own get
    // `surfaceColor`.
    void begin(const PlotSetup& s, float parallax, quint32 surfaceColor, qint32 columns,
               qint32 rows);
    qint32 columns() const { return columns_; }
    qint32 rows() const { return rows_; }
    // The grid's parameter at point i of `count` over [low, high].
    static float at(float low, float high, qint32 i, qint32 count);
    // A point of the surface (transformed), or none there.
    void setPoint(qint32 column, qint32 row, const Point& p);

    // The grid is complete: its extent, and the depth rasters of the views when lines are to
    // be hidden, at their resolution (up to 2 cells per window pixel, 4 million in all) over their
    // windows.
    void finish(const std::array<DrawingSurface*, 2>& views,
                const std::array<Projection::ViewWindow, 2>& windows);

    // The solid surface: every cell with a value at its corners, far ones first, in its
    // colour, lit from the front left above.
    void drawSolid(const std::array<DrawingSurface*, 2>& views) const;

    // A segment of a mesh line between the surface points a and b (q their screen points),
    // or a dot, in both views: in the look's colour, without its hidden parts.
    void drawSegment(const std::array<DrawingSurface*, 2>& views, const Point& a,
                     const Projection::ScreenPoint& qa, const Point& b,
                     const Projection::ScreenPoint& qb) const;
    void drawDot(const std::array<DrawingSurface*, 2>& views, const Point& p,
                 const Projection::ScreenPoint& q) const;

    // The colour of lines and dots at p; the base colour of the surface there.
    quint32 lineColor(const Point& p) const;
    quint32 baseColor(const Point& p) const;
    // The share of the lit brightness for a cell whose corners are a, b, c, d in order.
    static double shade(const Point& a, const Point& b, const Point& c, const Point& d);

    const DepthBuffer& depth(int view) const { return depth_[std::size_t(view)]; }
    bool hides() const { return hides_; }

private:
    const Point* point(qint32 column, qint32 row) const;
    // The corners of cell (i, j) that have a value, in order around it.
    int corners(qint32 i, qint32 j, std::array<const Point*, 4>& out) const;

    const PlotSetup* s_ = nullptr;
    SurfaceLook look_;
    float parallax_ = 0;
    quint32 surfaceColor_ = 0;
    qint32 columns_ = 0, rows_ = 0;
    std::vector<Point> points_;
    std::vector<bool> has_;
    float lowZ_ = 0, highZ_ = 0, lowX_ = 0, highX_ = 0;
    bool hides_ = false;
    std::array<DepthBuffer, 2> depth_;
};
