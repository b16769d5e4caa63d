#include "render/SampleCache.h"

#include <algorithm>

namespace {
bool callsRnd(const QString& text)
{
    return text.contains(QLatin1String("rnd"), Qt::CaseInsensitive);
}
} // namespace

bool SampleCache::sameSurface(const PlotSetup& a, const PlotSetup& b)
{
    const DrawOptions &o = a.Options, &p = b.Options;
    return a.EquationZ == b.EquationZ && a.EquationX == b.EquationX && a.EquationY == b.EquationY &&
           a.DerivSelector == b.DerivSelector && o.HighAccuracy == p.HighAccuracy &&
           o.Parametric == p.Parametric && o.Lines == p.Lines && o.Dots == p.Dots &&
           a.Rangelxu == b.Rangelxu && a.Rangegxu == b.Rangegxu && a.Rangelyv == b.Rangelyv &&
           a.Rangegyv == b.Rangegyv && a.Spacexu == b.Spacexu && a.Spaceyv == b.Spaceyv &&
           a.Segsxu == b.Segsxu && a.Segsyv == b.Segsyv && a.StepXu == b.StepXu &&
           a.StepYv == b.StepYv && a.SegXu == b.SegXu && a.SegYv == b.SegYv && a.Ndots == b.Ndots;
}

bool SampleCache::Walk::start(bool keep)
{
    next = 0;
    replaying = complete;
    recording = !replaying && keep;
    if (!replaying) clear();
    return replaying;
}

void SampleCache::Walk::finish(bool done)
{
    if (recording) {
        complete = done;
        if (!done) samples.clear();
    }
    recording = false;
    replaying = false;
}

void SampleCache::Walk::clear()
{
    complete = false;
    samples.clear();
}

bool SampleCache::repeatable(const PlotSetup& setup, const QStringList& constants)
{
    return !callsRnd(setup.EquationZ) && !callsRnd(setup.EquationX) && !callsRnd(setup.EquationY) &&
           std::none_of(constants.begin(), constants.end(), callsRnd);
}

bool SampleCache::begin(const PlotSetup& setup, const UniformRandom& random,
                        const QStringList& constants)
{
    walk_ = &surface_;
    const bool same = surface_.complete && sameSurface(setup, setup_) && random == random_ &&
                      constants == constants_;
    if (same) {
        keep_ = true;
        ++replays_;
        return surface_.start(true);
    }
    clear();
    keep_ = repeatable(setup, constants) && !(setup.Options.Parametric && setup.Options.Dots);
    if (keep_) {
        setup_ = setup;
        random_ = random;
        constants_ = constants;
    }
    return surface_.start(keep_);
}

bool SampleCache::beginGrid(qint32 columns, qint32 rows)
{
    walk_ = &grid_;
    if (columns != gridColumns_ || rows != gridRows_) grid_.clear();
    gridColumns_ = columns;
    gridRows_ = rows;
    const bool replay = grid_.start(keep_);
    if (replay) ++replays_;
    return replay;
}

void SampleCache::endGrid(bool complete)
{
    grid_.finish(complete);
    walk_ = &surface_;
}

void SampleCache::clear()
{
    surface_.clear();
    grid_.clear();
}

void SampleCache::end(bool complete)
{
    grid_.finish(false); // only a grid still running: one that ended is kept as it is
    surface_.finish(complete);
    walk_ = &surface_;
    keep_ = false;
}
