#include "output/SolidMesh.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
using Vec = SolidMesh::Vec;

Vec minus(const Vec& a, const Vec& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Vec& a, const Vec& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Twice the triangle's area as a vector along its normal (counter-clockwise seen from it).
Vec areaVector(const std::vector<Vec>& v, const SolidMesh::Triangle& t)
{
    return cross(minus(v[t[1]], v[t[0]]), minus(v[t[2]], v[t[0]]));
}

// Without area, relative to its size (so whatever the units).
bool flat(const std::vector<Vec>& v, const SolidMesh::Triangle& t)
{
    if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) return true;
    const Vec a = minus(v[t[1]], v[t[0]]), b = minus(v[t[2]], v[t[0]]);
    const Vec n = cross(a, b);
    return std::sqrt(dot(n, n)) <= 1e-12 * (dot(a, a) + dot(b, b));
}

std::uint64_t edgeKey(int a, int b)
{
    return (std::uint64_t(std::uint32_t(std::min(a, b))) << 32) | std::uint32_t(std::max(a, b));
}

std::array<Vec, 2> bounds(const std::vector<Vec>& points)
{
    const double inf = std::numeric_limits<double>::infinity();
    std::array<Vec, 2> b = {Vec{inf, inf, inf}, Vec{-inf, -inf, -inf}};
    for (const Vec& p : points)
        for (int c = 0; c < 3; ++c) {
            b[0][c] = std::min(b[0][c], p[c]);
            b[1][c] = std::max(b[1][c], p[c]);
        }
    return b;
}

double longestSide(const std::vector<Vec>& points)
{
    const std::array<Vec, 2> b = bounds(points);
    return std::max({b[1][0] - b[0][0], b[1][1] - b[0][1], b[1][2] - b[0][2]});
}

struct CellHash
{
    std::size_t operator()(const std::array<std::int64_t, 3>& c) const
    {
        return std::size_t(std::uint64_t(c[0]) * 73856093u ^ std::uint64_t(c[1]) * 19349663u ^
                           std::uint64_t(c[2]) * 83492791u);
    }
};
} // namespace

SolidMesh::SolidMesh(const SurfaceGrid& grid) : grid_(grid)
{
    std::vector<Triangle> cells;
    std::vector<int> used;
    std::vector<bool> isUsed(grid.points.size());
    for (int j = 0; j < grid.rows; ++j)
        for (int i = 0; i < grid.columns; ++i) {
            const int a = grid.index(i, j), b = grid.index(i + 1, j), c = grid.index(i + 1, j + 1),
                      d = grid.index(i, j + 1);
            for (const Triangle& t : {Triangle{a, b, c}, Triangle{a, c, d}}) {
                if (!grid.defined[t[0]] || !grid.defined[t[1]] || !grid.defined[t[2]]) continue;
                cells.push_back(t);
                for (const int k : t)
                    if (!isUsed[k]) {
                        isUsed[k] = true;
                        used.push_back(k);
                    }
            }
        }
    std::vector<int> vertexOf(grid.points.size(), -1);
    weld(used, vertexOf);
    for (const Triangle& c : cells) {
        const Triangle t = {vertexOf[c[0]], vertexOf[c[1]], vertexOf[c[2]]};
        if (!flat(surface_.vertices, t)) surface_.triangles.push_back(t);
    }
    findEdges();
    orientFans();
}

// Points closer than a thousandth of the usual grid step are one vertex: a closed range meets
// its start within the rounding of the equations, far closer than any two grid neighbours.
void SolidMesh::weld(const std::vector<int>& used, std::vector<int>& vertexOf)
{
    std::vector<double> steps;
    for (const int k : used) {
        const int i = k % (grid_.columns + 1);
        if (i < grid_.columns && grid_.defined[k + 1]) {
            const Vec d = minus(grid_.points[k + 1], grid_.points[k]);
            if (const double s = std::sqrt(dot(d, d)); s > 0) steps.push_back(s);
        }
    }
    double tolerance = 0;
    if (grid_.parametric && !steps.empty()) {
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        tolerance = steps[steps.size() / 2] * 1e-3;
    }
    std::unordered_map<std::array<std::int64_t, 3>, std::vector<int>, CellHash> cells;
    auto cellOf = [&](const Vec& p) {
        std::array<std::int64_t, 3> c{};
        for (int a = 0; a < 3; ++a)
            c[a] = std::int64_t(std::clamp(std::floor(p[a] / tolerance), -1e15, 1e15));
        return c;
    };
    for (const int k : used) {
        const Vec& p = grid_.points[k];
        int found = -1;
        if (tolerance > 0) {
            const std::array<std::int64_t, 3> c = cellOf(p);
            for (int n = 0; n < 27 && found < 0; ++n) {
                const auto it =
                    cells.find({c[0] + n % 3 - 1, c[1] + n / 3 % 3 - 1, c[2] + n / 9 - 1});
                if (it == cells.end()) continue;
                for (const int w : it->second) {
                    const Vec d = minus(surface_.vertices[w], p);
                    if (dot(d, d) <= tolerance * tolerance) found = w;
                }
            }
        }
        if (found < 0) {
            found = int(surface_.vertices.size());
            surface_.vertices.push_back(p);
            origin_.push_back(k);
            if (tolerance > 0) cells[cellOf(p)].push_back(found);
        }
        vertexOf[k] = found;
    }
}

void SolidMesh::findEdges()
{
    for (int t = 0; t < int(surface_.triangles.size()); ++t)
        for (int c = 0; c < 3; ++c) {
            const int a = surface_.triangles[t][c], b = surface_.triangles[t][(c + 1) % 3];
            EdgeUse& e = edges_[edgeKey(a, b)];
            if (e.count < 2) {
                e.triangle[e.count] = t;
                e.up[e.count] = a < b;
            }
            ++e.count;
        }
    for (const auto& [key, e] : edges_) {
        const int vertex = int(key >> 32);
        if (e.count > 2) crowdedEdge_ = vertex;
        if (e.count == 1) openEdge_ = vertex;
        if (e.count == 2 && e.up[0] == e.up[1]) oneSided_ = true;
    }
}

int SolidMesh::cornerOf(int triangle, int vertex) const
{
    const Triangle& t = surface_.triangles[triangle];
    return 3 * triangle + (t[0] == vertex ? 0 : t[1] == vertex ? 1 : 2);
}

// Around each vertex the triangles that share an edge form a fan; each gets the sign that
// orients it with the fan's first, so one-sided surfaces have a side at every vertex.
void SolidMesh::orientFans()
{
    const int count = int(surface_.triangles.size());
    std::vector<std::vector<int>> around(surface_.vertices.size());
    for (int t = 0; t < count; ++t)
        for (const int v : surface_.triangles[t])
            around[v].push_back(t);
    sign_.assign(3 * count, 0);
    std::vector<int> stack;
    for (int v = 0; v < int(around.size()); ++v) {
        int fans = 0;
        for (const int first : around[v]) {
            if (sign_[cornerOf(first, v)] != 0) continue;
            ++fans;
            sign_[cornerOf(first, v)] = 1;
            stack = {first};
            while (!stack.empty()) {
                const int t = stack.back();
                stack.pop_back();
                const Triangle& tri = surface_.triangles[t];
                const int c = cornerOf(t, v) - 3 * t;
                for (const int w : {tri[(c + 1) % 3], tri[(c + 2) % 3]}) {
                    const EdgeUse& e = edges_.at(edgeKey(v, w));
                    if (e.count != 2) continue;
                    const int side = e.triangle[0] == t ? 0 : 1;
                    const int other = e.triangle[1 - side];
                    signed char& s = sign_[cornerOf(other, v)];
                    if (s != 0) continue;
                    const bool agree = e.up[0] != e.up[1];
                    s = agree ? sign_[cornerOf(t, v)] : -sign_[cornerOf(t, v)];
                    stack.push_back(other);
                }
            }
        }
        if (fans > 1) splitVertex_ = v;
    }
}

QString SolidMesh::noCellMessage()
{
    return QStringLiteral("the surface has no grid cell whose corners all have a value");
}

std::vector<SolidMesh::Vec> SolidMesh::summedNormals() const
{
    std::vector<Vec> sum(surface_.vertices.size(), Vec{0, 0, 0});
    for (int t = 0; t < int(surface_.triangles.size()); ++t) {
        const Vec n = areaVector(surface_.vertices, surface_.triangles[t]);
        for (int c = 0; c < 3; ++c)
            for (int a = 0; a < 3; ++a)
                sum[surface_.triangles[t][c]][a] += sign_[3 * t + c] * n[a];
    }
    return sum;
}

std::vector<SolidMesh::Vec> SolidMesh::normals() const
{
    std::vector<Vec> n = summedNormals();
    for (Vec& v : n) {
        const double length = std::sqrt(dot(v, v));
        v = length > 0 ? Vec{v[0] / length, v[1] / length, v[2] / length} : Vec{0, 0, 1};
    }
    return n;
}

bool SolidMesh::solid(const Size& size, Mesh& mesh, QString& error) const
{
    mesh = Mesh();
    const std::vector<Vec>& points = surface_.vertices;
    if (surface_.triangles.empty()) {
        error = noCellMessage();
        return false;
    }
    if (crowdedEdge_ >= 0) {
        error =
            QStringLiteral("the surface meets itself along an edge at %1").arg(where(crowdedEdge_));
        return false;
    }
    const bool closed = openEdge_ < 0 && !oneSided_;
    if (closed) {
        mesh.vertices = points;
        mesh.triangles = surface_.triangles;
        return closeSheets(points, {}, size.size / longestSide(points), mesh, error);
    }
    if (size.thicken <= 0 && grid_.parametric) {
        error = QStringLiteral("the surface does not close on itself (%1); --thicken MM "
                               "writes it as a shell")
                    .arg(openEdge_ >= 0 ? QStringLiteral("an open edge at ") + where(openEdge_)
                                        : QStringLiteral("it is one-sided"));
        return false;
    }
    if (splitVertex_ >= 0) {
        error = QStringLiteral("the cut where the surface has no value cannot be closed: the "
                               "surface touches itself at %1")
                    .arg(where(splitVertex_));
        return false;
    }
    std::vector<Vec> top = points, bottom = points;
    if (size.thicken > 0) {
        const double scale = (size.size - size.thicken) / longestSide(points);
        const double half = size.thicken / 2 / scale;
        const std::vector<Vec> n = normals();
        for (int v = 0; v < int(points.size()); ++v)
            for (int a = 0; a < 3; ++a) {
                top[v][a] += half * n[v][a];
                bottom[v][a] -= half * n[v][a];
            }
        return closeSheets(top, bottom, scale, mesh, error);
    }
    const std::array<Vec, 2> b = bounds(points);
    double scale = std::numeric_limits<double>::infinity();
    for (int a = 0; a < 3; ++a)
        if (const double side = b[1][a] - b[0][a]; side > 0)
            scale = std::min(scale, (a == 2 ? size.size - size.base : size.size) / side);
    for (Vec& p : bottom)
        p[2] = b[0][2] - size.base / scale;
    return closeSheets(top, bottom, scale, mesh, error);
}

// Each triangle's top facet from `top` and its bottom facet from `bottom`, turned over, and
// a wall along each open edge; a fan's other side swaps the two, so a one-sided surface's
// sheets join. Without `bottom` the mesh holds the closed surface already.
bool SolidMesh::closeSheets(const std::vector<Vec>& top, const std::vector<Vec>& bottom,
                            double scale, Mesh& mesh, QString& error) const
{
    if (!bottom.empty()) {
        const int n = int(top.size());
        mesh.vertices = top;
        mesh.vertices.insert(mesh.vertices.end(), bottom.begin(), bottom.end());
        auto at = [&](int t, int c, bool upper) {
            const bool onTop = (sign_[3 * t + c] > 0) == upper;
            return surface_.triangles[t][c] + (onTop ? 0 : n);
        };
        for (int t = 0; t < int(surface_.triangles.size()); ++t) {
            mesh.triangles.push_back({at(t, 0, true), at(t, 1, true), at(t, 2, true)});
            mesh.triangles.push_back({at(t, 2, false), at(t, 1, false), at(t, 0, false)});
            for (int c = 0; c < 3; ++c) {
                const int a = surface_.triangles[t][c], b = surface_.triangles[t][(c + 1) % 3];
                if (edges_.at(edgeKey(a, b)).count != 1) continue;
                const int d = (c + 1) % 3;
                const int p = at(t, c, true), q = at(t, d, true), pb = at(t, c, false),
                          qb = at(t, d, false);
                mesh.triangles.push_back({p, pb, qb});
                mesh.triangles.push_back({p, qb, q});
            }
        }
    }
    const Vec low = bounds(mesh.vertices)[0];
    for (Vec& p : mesh.vertices)
        for (int a = 0; a < 3; ++a)
            p[a] = (p[a] - low[a]) * scale;
    double volume = 0;
    for (const Triangle& t : mesh.triangles) {
        if (flat(mesh.vertices, t)) {
            error = QStringLiteral("a facet of the solid has no area at %1")
                        .arg(where(t[0] % int(surface_.vertices.size())));
            return false;
        }
        volume += dot(mesh.vertices[t[0]], areaVector(mesh.vertices, t));
    }
    if (volume < 0)
        for (Triangle& t : mesh.triangles)
            std::swap(t[1], t[2]);
    return true;
}
