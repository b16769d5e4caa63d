#include "render/ParametricDrawer.h"

#include "eval/SurfaceEvaluator.h"

bool ParametricDrawer::evaluatePoint()
{
    float value = 0;
    if (const qint32 rc = evaluator_.EvalParamX(value)) {
        if (!DrawerErrorRule(rc)) return false;
    } else {
        r_.Px = value;
    }
    if (const qint32 rc = evaluator_.EvalParamY(value)) {
        if (!DrawerErrorRule(rc)) return false;
    } else {
        r_.Py = value;
    }
    if (const qint32 rc = evaluator_.EvalSurface(r_.Px, r_.Py, value)) {
        if (!DrawerErrorRule(rc)) return false;
    } else {
        r_.Pz = value;
    }
    return true;
}

bool ParametricDrawer::DrawParamMesh()
{
    return walkMesh(r_.Pu, r_.Pv, false, [this] { return evaluatePoint(); });
}

bool ParametricDrawer::DrawParamMeshTransformed()
{
    return walkMesh(r_.Pu, r_.Pv, true, [this] { return evaluatePoint(); });
}

bool ParametricDrawer::DrawParamDots()
{
    return walkDots(r_.Pu, r_.Pv, [this] { return evaluatePoint(); });
}
