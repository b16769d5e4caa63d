#include "render/SurfaceDrawer.h"

#include "eval/Class1.h"
#include "eval/ScriptError.h"
#include "render/DrawHost.h"
#include "render/DrawingSurface.h"
#include "render/Projection.h"
#include "render/UniformRandom.h"

#include <cmath>
#include <limits>

SurfaceDrawer::SurfaceDrawer(const PlotSetup& setup, RenderState& state,
                             std::array<DrawingSurface*, 2> views, SurfaceEvaluator& evaluator,
                             Class1& class1, qint32& evaluationError, DrawHost& host,
                             UniformRandom& random, float halfpi, const bool& cancelled)
    : s_(setup), r_(state), views_(views), evaluator_(evaluator), class1_(class1),
      ierr_(evaluationError), host_(host), random_(random), halfpi_(halfpi), cancelled_(cancelled)
{
    clock_.start();
}

bool SurfaceDrawer::DrawerErrorRule(qint32 number)
{
    ierr_ = number;
    if (class1_.ierr != 0) {
        ierr_ = class1_.ierr;
        class1_.ierr = 0;
    }
    if (ErrorNumbers::isPointFailure(ierr_)) return true;
    r_.GuideColor = 0;
    host_.drawingEnded();
    return false;
}

bool SurfaceDrawer::runPendingEvents()
{
    host_.repaint(); // so that the window shows what is drawn so far
    host_.runEvents();
    restartClock();
    return !cancelled_;
}

void SurfaceDrawer::startPass()
{
    restartClock();
    ticksPerCheck_ = FirstTicksPerCheck;
}

void SurfaceDrawer::restartClock()
{
    clock_.restart();
    ticks_ = 0;
    lastCheckNs_ = 0;
}

bool SurfaceDrawer::checkClock()
{
    ticks_ = 0;
    const qint64 now = clock_.nsecsElapsed();
    const qint64 sinceCheck = now - lastCheckNs_;
    lastCheckNs_ = now;
    if (sinceCheck < 500'000 && ticksPerCheck_ < MaxTicksPerCheck)
        ticksPerCheck_ *= 2;
    else if (sinceCheck > 2'000'000 && ticksPerCheck_ > 1)
        ticksPerCheck_ /= 2;
    if (now >= EventIntervalNs) return runPendingEvents();
    return !cancelled_;
}

bool SurfaceDrawer::project(float x, float y, float z, float& hLeft, float& hRight, float& v)
{
    float hl, hr, vv;
    Projection::projectPoint(s_, r_, x, y, z, hl, hr, vv);
    if (!std::isfinite(hl) || !std::isfinite(hr) || !std::isfinite(vv)) {
        DrawerErrorRule(ErrorNumbers::Overflow);
        return false;
    }
    hLeft = hl;
    hRight = hr;
    v = vv;
    return true;
}

bool SurfaceDrawer::pointCount(qint32 spaces, qint32 segments, qint32& count, bool& goOn)
{
    const qint64 product = qint64(spaces) * segments;
    if (product < std::numeric_limits<qint32>::min() ||
        product > std::numeric_limits<qint32>::max()) {
        goOn = DrawerErrorRule(ErrorNumbers::Overflow);
        return false;
    }
    count = qint32(product);
    goOn = true;
    return true;
}

void SurfaceDrawer::drawSegment()
{
    views_[0]->line(r_.PrevHL, r_.PrevV, r_.CurHL, r_.CurV, r_.SurfaceColor);
    views_[1]->line(r_.PrevHR, r_.PrevV, r_.CurHR, r_.CurV, r_.SurfaceColor);
    r_.PrevHL = r_.CurHL;
    r_.PrevHR = r_.CurHR;
    r_.PrevV = r_.CurV;
}

float SurfaceDrawer::nextRandom()
{
    return random_.next();
}

void SurfaceDrawer::drawDot()
{
    Projection::TransformInPlace(s_, r_);
    const float depth = s_.Xmid - r_.Px;
    const float hr = depth * s_.RatioYX + r_.Py;
    const float hl = r_.Parallax * depth + hr;
    const float v = depth * s_.RatioZX + r_.Pz;
    if (!std::isfinite(hl) || !std::isfinite(hr) || !std::isfinite(v)) {
        DrawerErrorRule(ErrorNumbers::Overflow);
        return;
    }
    r_.Depth = depth;
    r_.DotHR = hr;
    r_.DotHL = hl;
    r_.Py = v; // the vertical coordinate goes into Py
    views_[0]->pset(r_.DotHL, r_.Py, r_.SurfaceColor);
    views_[1]->pset(r_.DotHR, r_.Py, r_.SurfaceColor);
}
