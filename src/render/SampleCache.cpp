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

bool SampleCache::repeatable(const PlotSetup& setup, const QStringList& constants)
{
    return !callsRnd(setup.EquationZ) && !callsRnd(setup.EquationX) && !callsRnd(setup.EquationY) &&
           std::none_of(constants.begin(), constants.end(), callsRnd);
}

bool SampleCache::begin(const PlotSetup& setup, const UniformRandom& random,
                        const QStringList& constants)
{
    next_ = 0;
    replaying_ =
        complete_ && sameSurface(setup, setup_) && random == random_ && constants == constants_;
    if (replaying_) {
        recording_ = false;
        ++replays_;
        return true;
    }
    complete_ = false;
    samples_.clear();
    recording_ = repeatable(setup, constants) && !(setup.Options.Parametric && setup.Options.Dots);
    if (recording_) {
        setup_ = setup;
        random_ = random;
        constants_ = constants;
    }
    return false;
}

void SampleCache::clear()
{
    complete_ = false;
    samples_.clear();
}

void SampleCache::end(bool complete)
{
    if (recording_) {
        complete_ = complete;
        if (!complete) samples_.clear();
    }
    recording_ = false;
    replaying_ = false;
}
