#pragma once

#include "output/SurfaceGrid.h"

#include <QString>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

// A sampled surface as triangles, and the printable solid made of it.
//
// Every grid cell whose four corners have values gives two triangles; coincident points are
// made one, so a parametric grid that closes on itself (a sphere's seam and poles, a torus)
// becomes one closed surface, and triangles that lose their area are left out. The solid is
// then, in this order of preference:
// - the closed surface itself, when every edge joins two triangles of one orientation;
// - with a thickness, a shell: the surface moved half of it either way along its normals,
//   the two sheets joined by walls along its edges (a one-sided strip gives one sheet);
// - for z(x,y), the surface over a flat base below its lowest point, joined by side walls
//   along its border and around the cells cut out where it has no value.
// Every edge of a solid belongs to exactly two facets of opposite orientation, no facet is
// without area, and the facets face outwards.
class SolidMesh
{
public:
    using Vec = std::array<double, 3>;
    using Triangle = std::array<int, 3>;
    struct Mesh
    {
        std::vector<Vec> vertices;
        std::vector<Triangle> triangles;
    };
    // Millimetres: the longest side of the solid, the base's thickness below the lowest point
    // of z(x,y), and the thickness of a shell (0: none).
    struct Size
    {
        double size = 100;
        double base = 2;
        double thicken = 0;
    };

    explicit SolidMesh(const SurfaceGrid& grid);

    // Why a surface without triangles gives no mesh.
    static QString noCellMessage();

    // The triangulated surface in its own coordinates, and a unit normal at each vertex.
    const Mesh& surface() const { return surface_; }
    std::vector<Vec> normals() const;

    // The solid scaled to `size`, its lowest corner at the origin; false with `error` when
    // the surface gives none (it does not close and no shell is asked for, or it meets itself
    // along an edge or at a point where no wall can close it).
    bool solid(const Size& size, Mesh& mesh, QString& error) const;

private:
    struct EdgeUse
    {
        int count = 0;
        int triangle[2] = {-1, -1};
        bool up[2] = {false, false}; // from the lower vertex number to the higher
    };

    void weld(const std::vector<int>& used, std::vector<int>& vertexOf);
    void findEdges();
    void orientFans();
    int cornerOf(int triangle, int vertex) const;
    std::vector<Vec> summedNormals() const;
    QString where(int vertex) const { return grid_.where(origin_[vertex]); }
    bool closeSheets(const std::vector<Vec>& top, const std::vector<Vec>& bottom, double scale,
                     Mesh& mesh, QString& error) const;

    const SurfaceGrid& grid_;
    Mesh surface_;
    std::vector<int> origin_; // a grid point of each vertex
    std::unordered_map<std::uint64_t, EdgeUse> edges_;
    std::vector<signed char> sign_; // per corner: the triangle's side of its vertex's fan
    int splitVertex_ = -1;          // a vertex where the surface touches itself, if any
    int crowdedEdge_ = -1;          // a vertex of an edge with more than two triangles
    int openEdge_ = -1;             // a vertex of an edge with one triangle
    bool oneSided_ = false;
};
