#include "render/SurfaceModel.h"

#include "render/ColourMap.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The grid costs at most this share of the mesh lines' evaluations, but a grid this large is
// always allowed.
constexpr double GridShare = 0.25;
constexpr double SmallGrid = 40000;
// Depth rasters have at most this many cells per window pixel along each side, and at most
// MaxCells in all (a full-screen view).
constexpr double MaxCellsPerPixel = 2;
constexpr double MaxCells = 4'000'000;
// Lighter grey of a solid surface without a colour map, and how dark its lines are.
constexpr quint32 PlainSurface = 0xB4B4B4;
constexpr double LineTone = 0.45;
// A point hides only behind the surface by more than this share of its depth extent.
constexpr float ToleranceShare = 0.015f;

double share(float value, float low, float high)
{
    if (!(high > low)) return 0.5;
    return (double(value) - low) / (double(high) - low);
}

bool finitePoint(const Projection::Point& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

} // namespace

bool SurfaceModel::gridSize(const PlotSetup& s, qint32& columns, qint32& rows)
{
    if (s.Spacexu < 1 || s.Spaceyv < 1) return false;
    const qint64 sa = s.Spacexu, sb = s.Spaceyv;
    if ((sa + 1) * (sb + 1) > MaxPoints) return false;
    const qint64 segsA = std::max<qint64>(1, s.Segsxu), segsB = std::max<qint64>(1, s.Segsyv);
    const double mesh =
        double(sa + 1) * (double(sb) * segsB + 1) + double(sb + 1) * (double(sa) * segsA + 1);
    const double budget = std::min(double(MaxPoints), std::max(GridShare * mesh, SmallGrid));
    qint64 ka = std::min<qint64>(segsA, MaxPoints / sa),
           kb = std::min<qint64>(segsB, MaxPoints / sb);
    while (double(sa * ka + 1) * double(sb * kb + 1) > budget && (ka > 1 || kb > 1)) {
        if (kb == 1 || (ka > 1 && sa * ka >= sb * kb))
            --ka;
        else
            --kb;
    }
    columns = qint32(sa * ka + 1);
    rows = qint32(sb * kb + 1);
    return true;
}

float SurfaceModel::at(float low, float high, qint32 i, qint32 count)
{
    return count > 1 ? float(low + (double(high) - low) * i / (count - 1)) : low;
}

void SurfaceModel::begin(const PlotSetup& s, float parallax, quint32 surfaceColor, qint32 columns,
                         qint32 rows)
{
    s_ = &s;
    look_ = s.Options.Look;
    parallax_ = parallax;
    surfaceColor_ = surfaceColor;
    columns_ = std::max(columns, 0);
    rows_ = std::max(rows, 0);
    const std::size_t n = std::size_t(columns_) * std::size_t(rows_);
    points_.assign(n, Point());
    has_.assign(n, false);
    hides_ = false;
    for (DepthBuffer& d : depth_)
        d.reset({}, 0, 0);
}

void SurfaceModel::setPoint(qint32 column, qint32 row, const Point& p)
{
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_ || !finitePoint(p)) return;
    const std::size_t i = std::size_t(row) * std::size_t(columns_) + std::size_t(column);
    points_[i] = p;
    has_[i] = true;
}

const SurfaceModel::Point* SurfaceModel::point(qint32 column, qint32 row) const
{
    const std::size_t i = std::size_t(row) * std::size_t(columns_) + std::size_t(column);
    return has_[i] ? &points_[i] : nullptr;
}

int SurfaceModel::corners(qint32 i, qint32 j, std::array<const Point*, 4>& out) const
{
    const std::array<const Point*, 4> all = {point(i, j), point(i + 1, j), point(i + 1, j + 1),
                                             point(i, j + 1)};
    int n = 0;
    for (const Point* p : all)
        if (p) out[std::size_t(n++)] = p;
    return n;
}

void SurfaceModel::finish(const std::array<DrawingSurface*, 2>& views,
                          const std::array<Projection::ViewWindow, 2>& windows)
{
    lowZ_ = lowX_ = std::numeric_limits<float>::infinity();
    highZ_ = highX_ = -std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < points_.size(); ++i) {
        if (!has_[i]) continue;
        lowZ_ = std::min(lowZ_, points_[i].z);
        highZ_ = std::max(highZ_, points_[i].z);
        lowX_ = std::min(lowX_, points_[i].x);
        highX_ = std::max(highX_, points_[i].x);
    }
    hides_ = look_.Hidden || look_.Solid;
    if (!hides_ || !(highX_ >= lowX_)) return;
    const float extent = std::max(highX_ - lowX_, 1e-3f * std::fabs(s_->SpanX));
    for (int view = 0; view < 2; ++view) {
        const DrawingSurface* pic = views[std::size_t(view)];
        const double area = std::max(1.0, double(pic->width()) * pic->height());
        const double cells =
            std::min({pic->resolution(), MaxCellsPerPixel, std::sqrt(MaxCells / area)});
        DepthBuffer& depth = depth_[std::size_t(view)];
        depth.reset(windows[std::size_t(view)], int(std::ceil(pic->width() * cells)),
                    int(std::ceil(pic->height() * cells)));
        const auto vertex = [&](const Point* p) {
            const Projection::ScreenPoint q = Projection::project(*s_, parallax_, *p);
            return DepthBuffer::Vertex{view == 0 ? q.hLeft : q.hRight, q.v, p->x};
        };
        for (qint32 j = 0; j + 1 < rows_; ++j)
            for (qint32 i = 0; i + 1 < columns_; ++i) {
                std::array<const Point*, 4> c;
                const int n = corners(i, j, c);
                if (n < 3) continue;
                const DepthBuffer::Vertex a = vertex(c[0]), b = vertex(c[1]), d = vertex(c[2]);
                depth.addTriangle(a, b, d);
                if (n == 4) depth.addTriangle(a, d, vertex(c[3]));
            }
        depth.finish(ToleranceShare * extent);
    }
}

double SurfaceModel::shade(const Point& a, const Point& b, const Point& c, const Point& d)
{
    // The normal from the cell's diagonals; the light comes from the viewer's side (greater
    // x), from the left and from above. Both sides of the surface are lit alike.
    const double ux = double(c.x) - a.x, uy = double(c.y) - a.y, uz = double(c.z) - a.z;
    const double vx = double(d.x) - b.x, vy = double(d.y) - b.y, vz = double(d.z) - b.z;
    const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0) || !std::isfinite(length)) return 1.0;
    constexpr double lx = 0.75, ly = -0.35, lz = 0.56; // of length 1
    const double lit = std::fabs(nx * lx + ny * ly + nz * lz) / length;
    return 0.3 + 0.7 * lit;
}

quint32 SurfaceModel::baseColor(const Point& p) const
{
    switch (look_.Colouring) {
    case SurfaceLook::Colour::Height:
        return ColourMap::viridis(share(p.z, lowZ_, highZ_));
    case SurfaceLook::Colour::Depth:
        return ColourMap::viridis(share(p.x, lowX_, highX_));
    case SurfaceLook::Colour::None:
        break;
    }
    return PlainSurface;
}

quint32 SurfaceModel::lineColor(const Point& p) const
{
    if (look_.Solid) return ColourMap::scaled(baseColor(p), LineTone);
    return look_.Colouring == SurfaceLook::Colour::None ? surfaceColor_ : baseColor(p);
}

void SurfaceModel::drawSolid(const std::array<DrawingSurface*, 2>& views) const
{
    struct Cell
    {
        float depth;
        qint32 i, j;
    };
    std::vector<Cell> cells;
    cells.reserve(std::size_t(std::max(columns_ - 1, 0)) * std::size_t(std::max(rows_ - 1, 0)));
    for (qint32 j = 0; j + 1 < rows_; ++j)
        for (qint32 i = 0; i + 1 < columns_; ++i) {
            std::array<const Point*, 4> c;
            const int n = corners(i, j, c);
            if (n < 3) continue;
            float depth = 0;
            for (int k = 0; k < n; ++k)
                depth += c[std::size_t(k)]->x;
            cells.push_back({depth / float(n), i, j});
        }
    std::stable_sort(cells.begin(), cells.end(),
                     [](const Cell& a, const Cell& b) { return a.depth < b.depth; });
    QPolygonF polygon[2];
    std::array<float, 4> depths;
    for (const Cell& cell : cells) {
        std::array<const Point*, 4> c;
        const int n = corners(cell.i, cell.j, c);
        Point centre;
        for (int k = 0; k < n; ++k) {
            centre.x += c[std::size_t(k)]->x / float(n);
            centre.y += c[std::size_t(k)]->y / float(n);
            centre.z += c[std::size_t(k)]->z / float(n);
        }
        const double light = shade(*c[0], *c[1], *c[2], n == 4 ? *c[3] : *c[2]);
        const quint32 color = ColourMap::scaled(baseColor(centre), light);
        for (auto& p : polygon)
            p.clear();
        for (int k = 0; k < n; ++k) {
            const Point& p = *c[std::size_t(k)];
            const Projection::ScreenPoint q = Projection::project(*s_, parallax_, p);
            polygon[0].append(QPointF(q.hLeft, q.v));
            polygon[1].append(QPointF(q.hRight, q.v));
            depths[std::size_t(k)] = p.x;
        }
        const std::span<const float> cornerDepths(depths.data(), std::size_t(n));
        views[0]->polygon(polygon[0], color, cornerDepths);
        views[1]->polygon(polygon[1], color, cornerDepths);
    }
}

void SurfaceModel::drawSegment(const std::array<DrawingSurface*, 2>& views, const Point& a,
                               const Projection::ScreenPoint& qa, const Point& b,
                               const Projection::ScreenPoint& qb) const
{
    const Point middle{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
    const quint32 color = lineColor(middle);
    for (int view = 0; view < 2; ++view) {
        DrawingSurface* pic = views[std::size_t(view)];
        const float h0 = view == 0 ? qa.hLeft : qa.hRight;
        const float h1 = view == 0 ? qb.hLeft : qb.hRight;
        const DepthBuffer& depth = depth_[std::size_t(view)];
        if (!hides_ || depth.columns() == 0) {
            pic->line(h0, qa.v, h1, qb.v, color);
            continue;
        }
        depth.visiblePieces({h0, qa.v, a.x}, {h1, qb.v, b.x}, [&](double t0, double t1) {
            if (t0 == 0 && t1 == 1) {
                pic->line(h0, qa.v, h1, qb.v, color);
                return;
            }
            const auto along = [](float from, float to, double t) {
                return float(from + (double(to) - from) * t);
            };
            pic->line(along(h0, h1, t0), along(qa.v, qb.v, t0), along(h0, h1, t1),
                      along(qa.v, qb.v, t1), color);
        });
    }
}

void SurfaceModel::drawDot(const std::array<DrawingSurface*, 2>& views, const Point& p,
                           const Projection::ScreenPoint& q) const
{
    const quint32 color = lineColor(p);
    for (int view = 0; view < 2; ++view) {
        const float h = view == 0 ? q.hLeft : q.hRight;
        if (!hides_ || depth_[std::size_t(view)].visible({h, q.v, p.x}))
            views[std::size_t(view)]->pset(h, q.v, color);
    }
}
