#include "render/ExplicitDrawer.h"

#include "eval/SurfaceEvaluator.h"

bool ExplicitDrawer::evaluatePoint()
{
    float value = 0;
    if (const qint32 rc = evaluator_.EvalSurface(r_.Px, r_.Py, value)) return DrawerErrorRule(rc);
    r_.Pz = value;
    return true;
}

bool ExplicitDrawer::DrawMesh()
{
    return walkMesh(r_.Px, r_.Py, false, [this] { return evaluatePoint(); });
}

bool ExplicitDrawer::DrawMeshTransformed()
{
    return walkMesh(r_.Px, r_.Py, true, [this] { return evaluatePoint(); });
}

bool ExplicitDrawer::DrawDots()
{
    return walkDots(r_.Px, r_.Py, [this] { return evaluatePoint(); });
}
