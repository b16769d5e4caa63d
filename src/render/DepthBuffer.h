#pragma once

#include "render/Projection.h"

#include <algorithm>
#include <cmath>
#include <vector>

// The nearest depth of a surface over a raster of one view, to tell which points of lines and
// dots lie behind it. Depth grows towards the viewer (it is the x of the transformed point).
// A cell's centre samples the surface's triangles; a point counts as hidden only when it lies
// behind the surface by more than the tolerance at its own cell and at the eight around it, so
// that the outline and the lines lying on the surface stay whole.
class DepthBuffer
{
public:
    struct Vertex
    {
        float h = 0, v = 0; // user coordinates of the view
        float depth = 0;
    };

    // An empty raster of columns x rows cells over the view's user window `w`.
    void reset(const Projection::ViewWindow& w, int columns, int rows);

    void addTriangle(const Vertex& a, const Vertex& b, const Vertex& c);

    // Done adding triangles: points behind by more than `tolerance` will be hidden.
    void finish(float tolerance);

    bool visible(const Vertex& p) const;

    // The visible pieces of the segment a-b, each as emit(t0, t1) with 0 <= t0 < t1 <= 1 along
    // it; a wholly visible segment is emit(0, 1). Sampled about once per cell; a segment
    // of a cell or two is seen or hidden whole.
    template <typename Emit> void visiblePieces(const Vertex& a, const Vertex& b, Emit emit) const;

    int columns() const { return columns_; }
    int rows() const { return rows_; }

private:
    // Raster coordinates: cell i spans [i - 0.5, i + 0.5) in column(), [i, i + 1) in cellX().
    double column(float h) const { return (double(h) - x1_) * factorX_ - 0.5; }
    double row(float v) const { return (double(v) - y1_) * factorY_ - 0.5; }
    float cellX(float h) const { return (h - float(x1_)) * float(factorX_); }
    float cellY(float v) const { return (v - float(y1_)) * float(factorY_); }
    // Whether a point at raster place (x, y) with `depth` is seen.
    bool seen(float x, float y, float depth) const;

    int columns_ = 0, rows_ = 0;
    double x1_ = 0, y1_ = 0, factorX_ = 0, factorY_ = 0;
    float tolerance_ = 0;
    std::vector<float> depth_; // nearest depth per cell; after finish(), the farthest around it
};

template <typename Emit>
void DepthBuffer::visiblePieces(const Vertex& a, const Vertex& b, Emit emit) const
{
    const float ax = cellX(a.h), ay = cellY(a.v), bx = cellX(b.h), by = cellY(b.v);
    const float cells = std::max(std::fabs(bx - ax), std::fabs(by - ay));
    if (!(cells < 1e5f)) { // far off, or not a number: left to the view's clip
        emit(0.0, 1.0);
        return;
    }
    // A segment within a cell or two is drawn or left out whole, as its middle is seen.
    if (cells <= 1.5f) {
        if (seen((ax + bx) / 2, (ay + by) / 2, (a.depth + b.depth) / 2)) emit(0.0, 1.0);
        return;
    }
    const int n = int(std::ceil(cells));
    int runStart = -1;
    for (int k = 0; k <= n; ++k) {
        const float t = float(k) / float(n);
        const bool shown =
            seen(ax + (bx - ax) * t, ay + (by - ay) * t, a.depth + (b.depth - a.depth) * t);
        if (shown && runStart < 0) runStart = k;
        if ((!shown || k == n) && runStart >= 0) {
            const int runEnd = shown ? k : k - 1;
            const double t0 = runStart == 0 ? 0.0 : (runStart - 0.5) / n;
            const double t1 = runEnd == n ? 1.0 : (runEnd + 0.5) / n;
            emit(t0, t1);
            runStart = -1;
        }
    }
}

inline bool DepthBuffer::seen(float x, float y, float depth) const
{
    if (!(x >= 0 && y >= 0 && x < float(columns_) && y < float(rows_))) return true;
    return !(depth < depth_[std::size_t(y) * std::size_t(columns_) + std::size_t(x)] - tolerance_);
}
