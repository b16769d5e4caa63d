#pragma once

#include "render/SurfaceDrawer.h"

// The surface x(u,v), y(u,v), z(u,v) (or a derivative in place of z) as a mesh of lines of
// constant u and of constant v, untransformed or translated and rotated, or as random dots.
// Pu and Pv walk the domain; Px, Py and Pz receive each point's coordinates. Each drawer
// returns false when it stopped on an error that is no point failure or on a cancel request.
class ParametricDrawer : public SurfaceDrawer
{
public:
    using SurfaceDrawer::SurfaceDrawer;

    bool DrawParamMesh();
    bool DrawParamMeshTransformed();
    bool DrawParamDots();

private:
    // x, then y, then z, all three always run; a failing one leaves its coordinate as it was
    // and shows in the evaluation error number. False when the drawer must stop.
    bool evaluatePoint();
};
