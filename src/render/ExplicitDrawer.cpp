#include "render/ExplicitDrawer.h"

#include "eval/SurfaceEvaluator.h"

SurfaceDrawer::Outcome ExplicitDrawer::outcomeOf(SurfaceValue z, float x, float y, Point& point)
{
    point.x = x;
    point.y = y;
    if (z.error) return failure(z.error);
    point.z = z.value;
    return Outcome::Good;
}

SurfaceDrawer::Outcome ExplicitDrawer::evaluatePoint(float x, float y, Point& point)
{
    return outcomeOf(evaluator_.EvalSurface(x, y), x, y, point);
}

bool ExplicitDrawer::batchReady() const
{
    return evaluator_.batchable(SurfaceEvaluator::Which::Surface);
}

void ExplicitDrawer::evaluateBatch(const float* a, const float* b, int n, const Point&)
{
    evaluator_.evaluateBatch(SurfaceEvaluator::Which::Surface, {a, b, nullptr, nullptr, n},
                             pending_);
}

SurfaceDrawer::Outcome ExplicitDrawer::takeBatch(int k, float a, float b, Point& point)
{
    return outcomeOf(evaluator_.take(pending_[k]), a, b, point);
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
