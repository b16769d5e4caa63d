#include "render/SurfaceDrawer.h"

#include "eval/Class1.h"
#include "eval/ScriptError.h"
#include "render/DrawHost.h"

#include <algorithm>
#include <cmath>
#include <limits>

SurfaceDrawer::SurfaceDrawer(const Tools& tools)
    : evaluator_(tools.evaluator), views_(tools.views), class1_(tools.class1), host_(tools.host),
      random_(tools.random), halfpi_(tools.halfpi), cancelled_(tools.cancelled),
      error_(tools.evaluationError)
{
    clock_.start();
}

void SurfaceDrawer::begin(const PlotSetup& setup, quint32 surfaceColor)
{
    s_ = &setup;
    color_ = surfaceColor;
    inWindow_ = false;
}

void SurfaceDrawer::noteIfInside(const Projection::ScreenPoint& q)
{
    const auto inside = [](float a, float low, float high) {
        return a >= std::min(low, high) && a <= std::max(low, high);
    };
    if (inside(q.v, s_->Windowlz, s_->Windowgz) && (inside(q.hLeft, s_->Windowly, s_->Windowgy) ||
                                                    inside(q.hRight, s_->Windowly, s_->Windowgy)))
        inWindow_ = true;
}

bool SurfaceDrawer::DrawerErrorRule(qint32 number)
{
    error_ = number;
    if (class1_.ierr != 0) {
        error_ = class1_.ierr;
        class1_.ierr = 0;
    }
    if (ErrorNumbers::isPointFailure(error_)) return true;
    host_.drawingEnded();
    return false;
}

void SurfaceDrawer::flushRun()
{
    const std::size_t n = runSize_;
    if (n < 2) return;
    views_[0]->polyline(runLeft_.data(), runV_.data(), int(n), color_);
    views_[1]->polyline(runRight_.data(), runV_.data(), int(n), color_);
    for (std::array<float, RunLength>* run : {&runLeft_, &runRight_, &runV_})
        (*run)[0] = (*run)[n - 1];
    runSize_ = 1;
}

void SurfaceDrawer::endRun()
{
    flushRun();
    runSize_ = 0;
}

bool SurfaceDrawer::runPendingEvents()
{
    flushRun();      // so that the views hold every segment so far
    host_.repaint(); // so that the window shows what is drawn so far
    host_.runEvents();
    ++eventRuns_;
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
