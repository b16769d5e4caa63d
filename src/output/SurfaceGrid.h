#pragma once

#include <QString>
#include <array>
#include <vector>

class SurfaceEvaluator;
struct PlotSetup;

// A plot's surface sampled on the grid of its finest mesh lines: Spacexu x Segsxu cells along
// x (or u) by Spaceyv x Segsyv along y (or v), both ends of the ranges included. A point whose
// evaluation fails with a point failure has no value.
struct SurfaceGrid
{
    using Point = std::array<double, 3>;

    int columns = 0; // cells along x or u; columns + 1 points in a row
    int rows = 0;
    bool parametric = false;
    float lowU = 0, highU = 0, lowV = 0, highV = 0;
    std::vector<Point> points; // row by row, u (or x) varying fastest
    std::vector<bool> defined;

    // More points than this are refused: the meshes are held in memory.
    static constexpr double MaxPoints = 1e6;

    int index(int i, int j) const { return j * (columns + 1) + i; }
    float u(int i) const;
    float v(int j) const;
    // "x=0.5, y=-1" or "u=0.5, v=-1": where the grid point `k` lies, for messages.
    QString where(int k) const;

    // Samples the surface of `setup` as its plot evaluates it (the derivative selected, the
    // parametric coordinates in turn). False with `error` for a grid too large or a failure
    // other than a point failure.
    static bool sample(SurfaceEvaluator& evaluator, const PlotSetup& setup, SurfaceGrid& grid,
                       QString& error);
};
