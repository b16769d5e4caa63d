#pragma once

#include "render/SurfaceDrawer.h"

// The surface z = f(x, y), or the derivative the setup selects, as a mesh of lines of constant
// x and of constant y, untransformed or translated and rotated, or as random dots on it.
// Each drawer returns false when it stopped on an error that is no point failure or on a
// cancel request.
class ExplicitDrawer : public SurfaceDrawer
{
public:
    using SurfaceDrawer::SurfaceDrawer;

    bool DrawMesh();
    bool DrawMeshTransformed();
    bool DrawDots();

    // The surface sampled into the model's grid, translated and rotated where `transformed`.
    bool SampleGrid(SurfaceModel& model, bool transformed);

private:
    Outcome evaluatePoint(float x, float y, Point& point);
    // What a value gives the point (x, y, value).
    Outcome outcomeOf(SurfaceValue z, float x, float y, Point& point);

    bool batchReady() const override;
    void evaluateBatch(const float* a, const float* b, int n, const Point& point) override;
    Outcome takeBatch(int k, float a, float b, Point& point) override;

    PendingValue pending_[BatchSize];
};
