#include "render/DepthBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr float Empty = -std::numeric_limits<float>::infinity();
} // namespace

void DepthBuffer::reset(const Projection::ViewWindow& w, int columns, int rows)
{
    columns_ = std::max(columns, 0);
    rows_ = std::max(rows, 0);
    x1_ = w.x1;
    y1_ = w.y1;
    factorX_ = columns_ / (double(w.x2) - w.x1);
    factorY_ = rows_ / (double(w.y2) - w.y1);
    if (!std::isfinite(factorX_) || !std::isfinite(factorY_)) columns_ = rows_ = 0;
    depth_.assign(std::size_t(columns_) * std::size_t(rows_), Empty);
    tolerance_ = 0;
}

void DepthBuffer::addTriangle(const Vertex& a, const Vertex& b, const Vertex& c)
{
    const double ax = column(a.h), ay = row(a.v);
    const double bx = column(b.h), by = row(b.v);
    const double cx = column(c.h), cy = row(c.v);
    const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (!(std::fabs(area) > 1e-12) || !std::isfinite(area)) return;
    const double x0 = std::max(std::ceil(std::min({ax, bx, cx})), 0.0);
    const double x1 = std::min(std::floor(std::max({ax, bx, cx})), double(columns_ - 1));
    const double y0 = std::max(std::ceil(std::min({ay, by, cy})), 0.0);
    const double y1 = std::min(std::floor(std::max({ay, by, cy})), double(rows_ - 1));
    if (!(x0 <= x1) || !(y0 <= y1)) return;
    // Barycentric weights of b and c at a cell centre, and the depth they give.
    const double inv = 1.0 / area;
    for (int y = int(y0); y <= int(y1); ++y) {
        float* line = depth_.data() + std::size_t(y) * std::size_t(columns_);
        for (int x = int(x0); x <= int(x1); ++x) {
            const double px = x - ax, py = y - ay;
            const double wb = (px * (cy - ay) - py * (cx - ax)) * inv;
            const double wc = ((bx - ax) * py - (by - ay) * px) * inv;
            constexpr double edge = -1e-9;
            if (wb < edge || wc < edge || wb + wc > 1 - edge) continue;
            const float d = float(a.depth + (b.depth - a.depth) * wb + (c.depth - a.depth) * wc);
            if (d > line[x]) line[x] = d;
        }
    }
}

void DepthBuffer::finish(float tolerance)
{
    tolerance_ = tolerance;
    if (depth_.empty()) return;
    // The farthest depth of each 3 x 3 block, rows then columns; beyond the edge is empty.
    std::vector<float> across(depth_.size());
    for (int y = 0; y < rows_; ++y) {
        const float* in = depth_.data() + std::size_t(y) * columns_;
        float* out = across.data() + std::size_t(y) * columns_;
        for (int x = 0; x < columns_; ++x) {
            float m = in[x];
            m = std::min(m, x > 0 ? in[x - 1] : Empty);
            m = std::min(m, x + 1 < columns_ ? in[x + 1] : Empty);
            out[x] = m;
        }
    }
    for (int y = 0; y < rows_; ++y)
        for (int x = 0; x < columns_; ++x) {
            const std::size_t i = std::size_t(y) * columns_ + x;
            float m = across[i];
            m = std::min(m, y > 0 ? across[i - columns_] : Empty);
            m = std::min(m, y + 1 < rows_ ? across[i + columns_] : Empty);
            depth_[i] = m;
        }
}

bool DepthBuffer::visible(const Vertex& p) const
{
    return seen(cellX(p.h), cellY(p.v), p.depth);
}
