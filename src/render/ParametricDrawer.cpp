#include "render/ParametricDrawer.h"

#include "eval/SurfaceEvaluator.h"

#include <algorithm>

template <typename Value>
SurfaceDrawer::Outcome ParametricDrawer::evaluateWith(Point& point, Value value)
{
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
    if (!take(value(Which::ParamX, point.x, point.y), point.x)) return Outcome::Stop;
    if (!take(value(Which::ParamY, point.x, point.y), point.y)) return Outcome::Stop;
    if (!take(value(Which::Surface, point.x, point.y), point.z)) return Outcome::Stop;
    return outcome;
}

SurfaceDrawer::Outcome ParametricDrawer::evaluatePoint(float u, float v, Point& point)
{
    evaluator_.setParameters(u, v);
    return evaluateWith(point, [this](Which which, float x, float y) {
        return which == Which::ParamX   ? evaluator_.EvalParamX(x, y)
               : which == Which::ParamY ? evaluator_.EvalParamY(x, y)
                                        : evaluator_.EvalSurface(x, y);
    });
}

bool ParametricDrawer::batchReady() const
{
    return evaluator_.batchable(Which::ParamX) && evaluator_.batchable(Which::ParamY) &&
           evaluator_.batchable(Which::Surface) && !evaluator_.reads(Which::ParamX, true) &&
           !evaluator_.reads(Which::ParamX, false) && !evaluator_.reads(Which::ParamY, false);
}

void ParametricDrawer::evaluateBatch(const float* a, const float* b, int n, const Point& point)
{
    // Where each evaluation happens: x(u,v) at the point before, y(u,v) at the new x and the
    // y before, z at both new values; a failing coordinate keeps the one before.
    float xBefore[BatchSize], yBefore[BatchSize], xs[BatchSize], ys[BatchSize];
    std::fill(xs, xs + n, point.x);
    std::fill(ys, ys + n, point.y);
    evaluator_.evaluateBatch(Which::ParamX, {xs, ys, a, b, n}, pendingX_);
    float x = point.x;
    for (int i = 0; i < n; ++i) {
        xBefore[i] = x;
        if (!pendingX_[i].result.error) x = pendingX_[i].result.value;
        xs[i] = x;
    }
    evaluator_.evaluateBatch(Which::ParamY, {xs, ys, a, b, n}, pendingY_);
    float y = point.y;
    for (int i = 0; i < n; ++i) {
        yBefore[i] = y;
        if (!pendingY_[i].result.error) y = pendingY_[i].result.value;
        ys[i] = y;
        pendingX_[i].x = xBefore[i];
        pendingX_[i].y = yBefore[i];
        pendingY_[i].y = yBefore[i];
    }
    evaluator_.evaluateBatch(Which::Surface, {xs, ys, a, b, n}, pendingZ_);
}

SurfaceDrawer::Outcome ParametricDrawer::takeBatch(int k, float a, float b, Point& point)
{
    evaluator_.setParameters(a, b);
    return evaluateWith(point, [this, k](Which which, float, float) {
        return evaluator_.take(which == Which::ParamX   ? pendingX_[k]
                               : which == Which::ParamY ? pendingY_[k]
                                                        : pendingZ_[k]);
    });
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
