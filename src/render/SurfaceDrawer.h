#pragma once

#include "eval/ScriptError.h"
#include "eval/SurfaceEvaluator.h"
#include "render/DrawingSurface.h"
#include "render/Projection.h"
#include "render/SampleCache.h"
#include "render/SurfaceModel.h"
#include "render/UniformRandom.h"
#include "setup/PlotSetup.h"

#include <QElapsedTimer>
#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

class Class1;
class DrawHost;

// What the explicit and the parametric drawers share: the tools they draw with, the drawer
// error rule, the pending-event pulse and the walks of the mesh lines and of the dots.
//
// Every drawing step returns false when the drawer must stop: an error that is no point
// failure, or a cancel request seen after pending events have run.
class SurfaceDrawer
{
public:
    // What a drawer draws with; owned by the plot driver, which outlives its drawers.
    struct Tools
    {
        std::array<DrawingSurface*, 2> views;
        SurfaceEvaluator& evaluator;
        Class1& class1;
        DrawHost& host;
        UniformRandom& random;
        float halfpi;
        const bool& cancelled;
        qint32& evaluationError; // the run's evaluation error number
    };

    explicit SurfaceDrawer(const Tools& tools);

    // The setup and the surface colour of the next drawing calls.
    void begin(const PlotSetup& setup, quint32 surfaceColor);

    // The drawer error rule for an error `number` raised inside a drawer: the evaluation error
    // number takes it, or the ierr of Class1 when that is set (which is then cleared). True
    // for a point failure (the drawer goes on with the next operation); otherwise the pointer
    // goes back to normal and the drawer must stop. The only writer of the error number.
    bool DrawerErrorRule(qint32 number);

    // Let pending events run now, and true unless a cancel has been asked for.
    bool runPendingEvents();

    // Where the drawer records or replays its evaluations (none when null).
    void setCache(SampleCache* cache) { cache_ = cache; }
    // The sampled surface that the next mesh lines and dots are drawn through (their colour,
    // their hidden parts), or none: straight into the views.
    void setModel(const SurfaceModel* model) { model_ = model; }

    // Sample points evaluated since the last reset (mesh points and dots alike).
    qint64 samplesDone() const { return samples_; }
    void resetSamples() { samples_ = 0; }
    // Whether a point was drawn inside the window (in either view) since begin().
    bool drewInWindow() const { return inWindow_; }

protected:
    using Point = Projection::Point;

    // What evaluating one sample point gave.
    enum class Outcome
    {
        Stop,   // an error that is no point failure: the drawer stops
        Failed, // a point failure: the point has no value
        Good
    };

    // The two families of mesh lines: constant a (walking b), then constant b (walking a),
    // with pending events run between them. `evaluate(a, b, point)` fills the point.
    template <typename Evaluate> bool walkMesh(bool transformed, Point& point, Evaluate evaluate);

    // Ndots random samples: a, then b drawn uniformly over the domain; each good point is
    // translated and rotated in place, projected and set in both views.
    template <typename Evaluate> bool walkDots(Point& point, Evaluate evaluate);

    // The outcome of `evaluate()`, which fills `point`, or of the sample replayed in its place.
    template <typename Evaluate> Outcome sample(Point& point, Evaluate evaluate)
    {
        if (cache_ && cache_->replaying()) {
            if (const SampleCache::Sample* s = cache_->next()) {
                point = s->point;
                return s->good ? Outcome::Good : failure(s->error);
            }
        }
        const Outcome outcome = evaluate();
        if (cache_ && cache_->recording()) cache_->record(point, error_, outcome == Outcome::Good);
        return outcome;
    }

    // A mesh line's points evaluated a batch at a time, where the drawer can:
    // evaluateBatch(a, b, n, point) evaluates n sample points in a row (`point` is the
    // drawer's point before the first of them) and takeBatch gives the outcome of the k-th, at
    // (a, b), exactly as evaluating it alone at that moment would.
    static constexpr int BatchSize = SurfaceEvaluator::BatchSize;
    virtual bool batchReady() const = 0;
    virtual void evaluateBatch(const float* a, const float* b, int n, const Point& point) = 0;
    virtual Outcome takeBatch(int k, float a, float b, Point& point) = 0;

    // The model's grid over the domain, row by row (b), each point evaluated, translated and
    // rotated where `transformed`, and stored. The drawing point starts at the origin.
    template <typename Evaluate>
    bool walkGrid(SurfaceModel& model, bool transformed, Evaluate evaluate);

    // The outcome of an evaluation that failed with `error` (through the drawer error rule).
    Outcome failure(qint32 error)
    {
        return DrawerErrorRule(error) ? Outcome::Failed : Outcome::Stop;
    }

    SurfaceEvaluator& evaluator_;

private:
    static constexpr int FirstTicksPerCheck = 16;
    static constexpr int MaxTicksPerCheck = 1 << 16;
    static constexpr qint64 EventIntervalNs = 50'000'000;

    // One mesh line of count + 1 sample points: `next(j)` evaluates sample j (advancing the
    // walked coordinate) and `project(q)` projects its point. A failing point breaks the line;
    // the search resumes at the next one.
    template <typename Next, typename Project>
    bool walkLine(qint32 count, Next next, Project project);
    template <typename Next, typename Project>
    bool walkRuns(qint32 count, Next next, Project project);

    // Called once per sample point; every so many points checks whether 50 ms have passed
    // and, if so, lets pending events run. How many points pass between two looks at the
    // clock follows what a point costs, so that the looks come every millisecond or so.
    // False when the drawer must stop.
    bool pulse()
    {
        if (++ticks_ < ticksPerCheck_) return !cancelled_;
        return checkClock();
    }
    bool checkClock();
    void startPass();
    void restartClock();

    // The run of a mesh line being drawn: its points in both views, handed to the views as
    // one polyline each when the run breaks or ends, when events are to run, and every
    // RunLength points. flushRun keeps the last point to go on from; endRun does not.
    static constexpr std::size_t RunLength = 1024;
    void addToRun(const Projection::ScreenPoint& q)
    {
        runLeft_[runSize_] = q.hLeft;
        runRight_[runSize_] = q.hRight;
        runV_[runSize_] = q.v;
        if (++runSize_ == RunLength) flushRun();
    }
    void flushRun();
    void endRun();

    // The screen point of p; false (with the overflow passed through the error rule) when it
    // leaves the float range.
    bool project(const Point& p, Projection::ScreenPoint& q)
    {
        const Projection::ScreenPoint r = Projection::project(*s_, parallax_, p);
        if (!std::isfinite(r.hLeft) || !std::isfinite(r.hRight) || !std::isfinite(r.v)) {
            DrawerErrorRule(ErrorNumbers::Overflow);
            return false;
        }
        q = r;
        return true;
    }
    // Notes q for drewInWindow() when it lies inside the window; once one has, nothing more.
    void noteDrawn(const Projection::ScreenPoint& q)
    {
        if (!inWindow_) noteIfInside(q);
    }
    void noteIfInside(const Projection::ScreenPoint& q);

    // Spaces x Segments in 32-bit signed arithmetic; false (after the error rule) when the
    // product overflows, in which case the family is skipped.
    bool pointCount(qint32 spaces, qint32 segments, qint32& count, bool& goOn);

    const PlotSetup* s_ = nullptr;
    SampleCache* cache_ = nullptr;
    const SurfaceModel* model_ = nullptr;
    quint32 color_ = 0;
    float parallax_ = 0; // the left view's
    std::array<DrawingSurface*, 2> views_;
    Class1& class1_;
    DrawHost& host_;
    UniformRandom& random_;
    const float halfpi_;
    const bool& cancelled_;
    qint32& error_;

    int ticks_ = 0;
    int ticksPerCheck_ = FirstTicksPerCheck;
    qint64 lastCheckNs_ = 0;
    qint64 samples_ = 0;
    bool inWindow_ = false;
    std::array<float, RunLength> runLeft_, runRight_, runV_;
    std::size_t runSize_ = 0;
    quint64 eventRuns_ = 0; // how often pending events have run: a batch made before is stale
    QElapsedTimer clock_;
};

template <typename Next, typename Project>
bool SurfaceDrawer::walkLine(qint32 count, Next next, Project project)
{
    const bool whole = walkRuns(count, next, project);
    endRun();
    return whole;
}

template <typename Next, typename Project>
bool SurfaceDrawer::walkRuns(qint32 count, Next next, Project project)
{
    qint64 j = -1;
    Projection::ScreenPoint previous, current;
    Point previousWorld, currentWorld;
    for (;;) {
        // Search for the first point that has a value. `failed` holds from a failing point or
        // an overflowing projection until the line breaks.
        bool found = false;
        bool failed = false;
        for (j = j + 1; j <= count; ++j) {
            ++samples_;
            const Outcome outcome = next(j);
            if (outcome == Outcome::Stop) return false;
            if (outcome == Outcome::Good) {
                failed = !project(previousWorld, previous);
                found = true;
                endRun();
                if (!failed && !model_) addToRun(previous);
                break;
            }
            if (!pulse()) return false;
        }
        if (!found) return true;
        // Draw until the line ends or a point fails.
        for (j = j + 1; j <= count; ++j) {
            ++samples_;
            const Outcome outcome = next(j);
            if (outcome == Outcome::Stop) return false;
            if (failed || outcome == Outcome::Failed) break;
            if (project(currentWorld, current)) {
                if (model_)
                    model_->drawSegment(views_, previousWorld, previous, currentWorld, current);
                else
                    addToRun(current);
                noteDrawn(previous);
                noteDrawn(current);
                previous = current;
                previousWorld = currentWorld;
            } else {
                failed = true;
            }
            if (!pulse()) return false;
        }
        if (j > count) return true;
    }
}

template <typename Evaluate>
bool SurfaceDrawer::walkMesh(bool transformed, Point& point, Evaluate evaluate)
{
    const PlotSetup& s = *s_;
    startPass();
    parallax_ = Projection::parallaxFor(s, 0);
    const Projection::Rotation rotation =
        transformed ? Projection::rotationOf(s, halfpi_) : Projection::Rotation();
    float a = 0, b = 0;
    auto projectPoint = [&](Point& world, Projection::ScreenPoint& q) {
        world = transformed ? Projection::transform(s, rotation, point) : point;
        return project(world, q);
    };
    // The points of the batch in hand, and the next one to take.
    bool batched = batchReady();
    float batchA[BatchSize], batchB[BatchSize];
    int size = 0, taken = 0;
    quint64 madeAt = eventRuns_;
    // A line walking `inner` (a or b) from start by step.
    auto line = [&](float& inner, float start, float step, qint32 count) {
        inner = start;
        size = taken = 0;
        float* walked = &inner == &a ? batchA : batchB;
        float* fixed = &inner == &a ? batchB : batchA;
        const float other = &inner == &a ? b : a;
        auto next = [&](qint64 j) {
            // Events may have given a constant a value the batch cannot take.
            if (batched && madeAt != eventRuns_) batched = batchReady();
            if (!batched) {
                inner += step;
                return evaluate(a, b, point);
            }
            // A new batch when this one is used up, or when events have run since it was
            // made (they may have changed what the equations read).
            if (taken == size || madeAt != eventRuns_) {
                // No more points than pass between two looks at the clock, so that costly
                // points still let events run every few milliseconds.
                size = int(std::min<qint64>({BatchSize, count - j + 1, ticksPerCheck_}));
                taken = 0;
                madeAt = eventRuns_;
                float c = inner;
                for (int k = 0; k < size; ++k) {
                    c += step;
                    walked[k] = c;
                    fixed[k] = other;
                }
                evaluateBatch(batchA, batchB, size, point);
            }
            const int k = taken++;
            inner = walked[k];
            return takeBatch(k, a, b, point);
        };
        auto sampled = [&](qint64 j) { return sample(point, [&] { return next(j); }); };
        return walkLine(count, sampled, projectPoint);
    };

    bool goOn = true;
    qint32 count = 0;
    if (pointCount(s.Spaceyv, s.Segsyv, count, goOn)) {
        a = s.Rangelxu - s.StepXu;
        for (qint64 i = 0; i <= s.Spacexu; ++i) {
            a = a + s.StepXu;
            if (!line(b, s.Rangelyv - s.SegYv, s.SegYv, count)) return false;
        }
    }
    if (!goOn || !runPendingEvents()) return false;

    if (pointCount(s.Spacexu, s.Segsxu, count, goOn)) {
        b = s.Rangelyv - s.StepYv;
        for (qint64 j = 0; j <= s.Spaceyv; ++j) {
            b = b + s.StepYv;
            if (!line(a, s.Rangelxu - s.SegXu, s.SegXu, count)) return false;
        }
    }
    return goOn;
}

template <typename Evaluate> bool SurfaceDrawer::walkDots(Point& point, Evaluate evaluate)
{
    const PlotSetup& s = *s_;
    startPass();
    parallax_ = Projection::parallaxFor(s, 0);
    const Projection::Rotation rotation = Projection::rotationOf(s, halfpi_);
    const float spanA = s.Rangegxu - s.Rangelxu;
    const float spanB = s.Rangegyv - s.Rangelyv;
    bool failed = false; // as in walkLine: a failure, or the last dot's overflow
    for (qint64 i = 1; i <= s.Ndots; ++i) {
        const float a = random_.next() * spanA + s.Rangelxu;
        const float b = random_.next() * spanB + s.Rangelyv;
        ++samples_;
        const Outcome outcome = sample(point, [&] { return evaluate(a, b, point); });
        if (outcome == Outcome::Stop) return false;
        if (failed || outcome == Outcome::Failed) {
            failed = false;
        } else {
            point = Projection::transform(s, rotation, point);
            Projection::ScreenPoint q;
            if (project(point, q)) {
                if (model_) {
                    model_->drawDot(views_, point, q);
                } else {
                    views_[0]->pset(q.hLeft, q.v, color_);
                    views_[1]->pset(q.hRight, q.v, color_);
                }
                noteDrawn(q);
                point.y = q.v; // the vertical coordinate goes into the point's y
            } else {
                failed = true;
            }
        }
        if (!pulse()) return false;
    }
    return true;
}

template <typename Evaluate>
bool SurfaceDrawer::walkGrid(SurfaceModel& model, bool transformed, Evaluate evaluate)
{
    const PlotSetup& s = *s_;
    startPass();
    const Projection::Rotation rotation =
        transformed ? Projection::rotationOf(s, halfpi_) : Projection::Rotation();
    Point point;
    for (qint32 j = 0; j < model.rows(); ++j) {
        const float b = SurfaceModel::at(s.Rangelyv, s.Rangegyv, j, model.rows());
        for (qint32 i = 0; i < model.columns(); ++i) {
            const float a = SurfaceModel::at(s.Rangelxu, s.Rangegxu, i, model.columns());
            ++samples_;
            const Outcome outcome = evaluate(a, b, point);
            if (outcome == Outcome::Stop) return false;
            if (outcome == Outcome::Good)
                model.setPoint(i, j,
                               transformed ? Projection::transform(s, rotation, point) : point);
            if (!pulse()) return false;
        }
    }
    return true;
}
