#include "render/ExplicitDrawer.h"

#include "eval/SurfaceEvaluator.h"

SurfaceDrawer::Outcome ExplicitDrawer::evaluatePoint(float x, float y, Point& point)
{
    point.x = x;
    point.y = y;
    const SurfaceValue z = evaluator_.EvalSurface(x, y);
    if (z.error) return failure(z.error);
    point.z = z.value;
    return Outcome::Good;
}

bool ExplicitDrawer::DrawMesh()
{
    Point point;
    return walkMesh(false, point,
                    [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}

bool ExplicitDrawer::DrawMeshTransformed()
{
    Point point;
    return walkMesh(true, point,
                    [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}

bool ExplicitDrawer::DrawDots()
{
    Point point;
    return walkDots(point, [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}

bool ExplicitDrawer::SampleGrid(SurfaceModel& model, bool transformed)
{
    return walkGrid(model, transformed,
                    [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}
