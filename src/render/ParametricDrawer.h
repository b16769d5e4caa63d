#pragma once

#include "render/SurfaceDrawer.h"

// The surface x(u,v), y(u,v), z(u,v) (or a derivative in place of z) as a mesh of lines of
// constant u and of constant v, untransformed or translated and rotated, or as random dots.
// The point carries from one sample to the next: x is evaluated at the previous point's x and
// y, y at the new x, and a failing coordinate keeps its previous value. The point starts at
// the origin and goes from the mesh on to the dots. Each drawer returns false when it stopped
// on an error that is no point failure or on a cancel request.
class ParametricDrawer : public SurfaceDrawer
{
public:
    using SurfaceDrawer::SurfaceDrawer;

    bool DrawParamMesh(Point& point);
    bool DrawParamMeshTransformed(Point& point);
    bool DrawParamDots(Point& point);

    // The surface sampled into the model's grid, translated and rotated where `transformed`.
    bool SampleGrid(SurfaceModel& model, bool transformed);

private:
    using Which = SurfaceEvaluator::Which;

    // x, then y, then z; all three always run.
    Outcome evaluatePoint(float u, float v, Point& point);
    // The same with value(which, x, y) giving each of the three.
    template <typename Value> Outcome evaluateWith(Point& point, Value value);

    // A batch needs x(u,v) to read neither x nor y and y(u,v) not to read y: then each
    // coordinate of a run of points is known before the next one is evaluated.
    bool batchReady() const override;
    void evaluateBatch(const float* a, const float* b, int n, const Point& point) override;
    Outcome takeBatch(int k, float a, float b, Point& point) override;

    PendingValue pendingX_[BatchSize], pendingY_[BatchSize], pendingZ_[BatchSize];
};
