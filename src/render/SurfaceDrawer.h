#pragma once

#include "render/Projection.h"
#include "render/RenderState.h"
#include "setup/PlotSetup.h"

#include <QElapsedTimer>
#include <QtGlobal>
#include <array>

class Class1;
class DrawingSurface;
class DrawHost;
class SurfaceEvaluator;
class UniformRandom;

// What the explicit and the parametric drawers share: the references they draw with, the
// drawer error rule, the pending-event pulse and the search-and-draw walk of one mesh line.
//
// Every drawing step returns false when the drawer must stop: an error that is no point
// failure, or a cancel request seen after pending events have run.
class SurfaceDrawer
{
public:
    SurfaceDrawer(const PlotSetup& setup, RenderState& state, std::array<DrawingSurface*, 2> views,
                  SurfaceEvaluator& evaluator, Class1& class1, qint32& evaluationError,
                  DrawHost& host, UniformRandom& random, float halfpi, const bool& cancelled);

    // The drawer error rule for an error `number` raised inside a drawer: the evaluation error
    // number takes it, or the ierr of Class1 when that is set (which is then cleared). True
    // for a point failure (the drawer goes on with the next operation); otherwise the guide
    // colour goes back to 0, the pointer to normal, and the drawer must stop.
    bool DrawerErrorRule(qint32 number);

    // Let pending events run now, and true unless a cancel has been asked for.
    bool runPendingEvents();

    // Starts the pending-event clock of one drawing pass.
    void startPass();

    // Sample points evaluated since the last reset (mesh points and dots alike).
    qint64 samplesDone() const { return samples_; }
    void resetSamples() { samples_ = 0; }

protected:
    // Called once per sample point; every so many points checks whether 50 ms have passed
    // and, if so, lets pending events run. How many points pass between two looks at the
    // clock follows what a point costs, so that the looks come every millisecond or so.
    // False when the drawer must stop.
    bool pulse()
    {
        if (++ticks_ < ticksPerCheck_) return !cancelled_;
        return checkClock();
    }

    // The right view unshifted, the left one shifted by state.Parallax; false (with the
    // overflow passed through the error rule) when the projection leaves the float range.
    bool project(float x, float y, float z, float& hLeft, float& hRight, float& v);

    // One mesh line: `inner` starts at `start` and advances by `step` for each of the
    // count + 1 sample points; `evaluate` fills the point (a failure shows in the evaluation
    // error number) and `projectPoint(hL, hR, v)` projects it. A failing point breaks the
    // line; the search resumes at the next point.
    template <typename Evaluate, typename ProjectPoint>
    bool walkLine(float& inner, float start, float step, qint32 count, Evaluate evaluate,
                  ProjectPoint projectPoint);

    // Spaces x Segments in 32-bit signed arithmetic; false (after the error rule) when the
    // product overflows, in which case the family is skipped.
    bool pointCount(qint32 spaces, qint32 segments, qint32& count, bool& goOn);

    void drawSegment();

    // The two families of mesh lines: constant a (walking b), then constant b (walking a),
    // with pending events run between them. `a` and `b` are (Px, Py) or (Pu, Pv).
    template <typename Evaluate>
    bool walkMesh(float& a, float& b, bool transformed, Evaluate evaluate);

    // Ndots random samples: a, then b drawn uniformly over the domain; each good point is
    // translated, rotated, projected and set in both views.
    template <typename Evaluate> bool walkDots(float& a, float& b, Evaluate evaluate);

    // The dot of the evaluated point (Px, Py, Pz), transformed in place.
    void drawDot();
    float nextRandom();

    const PlotSetup& s_;
    RenderState& r_;
    std::array<DrawingSurface*, 2> views_;
    SurfaceEvaluator& evaluator_;
    Class1& class1_;
    qint32& ierr_;
    DrawHost& host_;
    UniformRandom& random_;
    const float halfpi_;
    const bool& cancelled_;

private:
    static constexpr int FirstTicksPerCheck = 16;
    static constexpr int MaxTicksPerCheck = 1 << 16;
    static constexpr qint64 EventIntervalNs = 50'000'000;

    bool checkClock();
    void restartClock();

    int ticks_ = 0;
    int ticksPerCheck_ = FirstTicksPerCheck;
    qint64 lastCheckNs_ = 0;
    qint64 samples_ = 0;
    QElapsedTimer clock_;
};

template <typename Evaluate, typename ProjectPoint>
bool SurfaceDrawer::walkLine(float& inner, float start, float step, qint32 count, Evaluate evaluate,
                             ProjectPoint projectPoint)
{
    inner = start;
    qint64 j = -1;
    for (;;) {
        // Search for the first point that has a value.
        bool found = false;
        for (j = j + 1; j <= count; ++j) {
            inner += step;
            ierr_ = 0;
            ++samples_;
            if (!evaluate()) return false;
            if (ierr_ == 0) {
                projectPoint(r_.PrevHL, r_.PrevHR, r_.PrevV);
                found = true;
                break;
            }
            if (!pulse()) return false;
        }
        if (!found) return true;
        // Draw until the line ends or a point fails.
        for (j = j + 1; j <= count; ++j) {
            inner += step;
            ++samples_;
            if (!evaluate()) return false;
            if (ierr_ != 0) break;
            if (projectPoint(r_.CurHL, r_.CurHR, r_.CurV)) drawSegment();
            if (!pulse()) return false;
        }
        if (j > count) return true;
    }
}

template <typename Evaluate>
bool SurfaceDrawer::walkMesh(float& a, float& b, bool transformed, Evaluate evaluate)
{
    startPass();
    r_.Parallax = Projection::parallaxFor(s_, 0);
    if (transformed) Projection::computeRotation(s_, r_, halfpi_);

    auto projectPoint = [this, transformed](float& hl, float& hr, float& v) {
        if (!transformed) return project(r_.Px, r_.Py, r_.Pz, hl, hr, v);
        Projection::TransformPoint(s_, r_);
        return project(r_.Rx, r_.Ry, r_.Rz, hl, hr, v);
    };

    bool goOn = true;
    qint32 count = 0;
    if (pointCount(s_.Spaceyv, s_.Segsyv, count, goOn)) {
        a = s_.Rangelxu - s_.StepXu;
        for (qint64 i = 0; i <= s_.Spacexu; ++i) {
            a = a + s_.StepXu;
            if (!walkLine(b, s_.Rangelyv - s_.SegYv, s_.SegYv, count, evaluate, projectPoint))
                return false;
        }
    }
    if (!goOn || !runPendingEvents()) return false;

    if (pointCount(s_.Spacexu, s_.Segsxu, count, goOn)) {
        b = s_.Rangelyv - s_.StepYv;
        for (qint64 j = 0; j <= s_.Spaceyv; ++j) {
            b = b + s_.StepYv;
            if (!walkLine(a, s_.Rangelxu - s_.SegXu, s_.SegXu, count, evaluate, projectPoint))
                return false;
        }
    }
    return goOn;
}

template <typename Evaluate> bool SurfaceDrawer::walkDots(float& a, float& b, Evaluate evaluate)
{
    startPass();
    r_.Parallax = Projection::parallaxFor(s_, 0);
    Projection::computeRotation(s_, r_, halfpi_);
    r_.RangeSpanXu = s_.Rangegxu - s_.Rangelxu;
    r_.RangeSpanYv = s_.Rangegyv - s_.Rangelyv;
    ierr_ = 0;
    for (qint64 i = 1; i <= s_.Ndots; ++i) {
        const float r1 = nextRandom();
        a = r1 * r_.RangeSpanXu + s_.Rangelxu;
        const float r2 = nextRandom();
        b = r2 * r_.RangeSpanYv + s_.Rangelyv;
        ++samples_;
        if (!evaluate()) return false;
        if (ierr_ == 0)
            drawDot();
        else
            ierr_ = 0;
        if (!pulse()) return false;
    }
    return true;
}
