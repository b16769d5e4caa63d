#include "render/ParametricDrawer.h"

#include "eval/SurfaceEvaluator.h"

SurfaceDrawer::Outcome ParametricDrawer::evaluatePoint(float u, float v, Point& point)
{
    evaluator_.setParameters(u, v);
    Outcome outcome = Outcome::Good;
    auto take = [&](SurfaceValue r, float& coordinate) {
        if (r.error) {
            if (failure(r.error) == Outcome::Stop) return false;
            outcome = Outcome::Failed;
        } else {
            coordinate = r.value;
        }
        return true;
    };
    if (!take(evaluator_.EvalParamX(point.x, point.y), point.x)) return Outcome::Stop;
    if (!take(evaluator_.EvalParamY(point.x, point.y), point.y)) return Outcome::Stop;
    if (!take(evaluator_.EvalSurface(point.x, point.y), point.z)) return Outcome::Stop;
    return outcome;
}

bool ParametricDrawer::DrawParamMesh(Point& point)
{
    return walkMesh(false, point,
                    [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}

bool ParametricDrawer::DrawParamMeshTransformed(Point& point)
{
    return walkMesh(true, point,
                    [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}

bool ParametricDrawer::DrawParamDots(Point& point)
{
    return walkDots(point, [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}

bool ParametricDrawer::SampleGrid(SurfaceModel& model, bool transformed)
{
    return walkGrid(model, transformed,
                    [this](float a, float b, Point& p) { return evaluatePoint(a, b, p); });
}
