#pragma once

#include "render/Projection.h"
#include "render/UniformRandom.h"
#include "setup/PlotSetup.h"

#include <QStringList>
#include <vector>

// The evaluated sample points of one drawing of a surface, in the order the drawers evaluated
// them. A later drawing whose setup differs only in what moves the picture (rotation,
// translation, stereoscopic factor, reduction, window, origins, guides, colours) replays them
// instead of evaluating again, with the same pixels. What decides the values is compared:
// the equations, derivative and accuracy, domain, spacings, segments, the lines and dots
// drawn, the dots' generator and the user constants. Equations or constants that call Rnd
// are never kept, nor the dots of a parametric surface (each starts from the last one turned).
class SampleCache
{
public:
    struct Sample
    {
        Projection::Point point;
        qint32 error = 0; // the evaluation error number after a failure
        bool good = false;
    };

    // Starts a drawing: true when it replays the samples kept, false when it evaluates (and
    // records, when the setup's samples may be kept).
    bool begin(const PlotSetup& setup, const UniformRandom& random, const QStringList& constants);
    // Ends it; a drawing that stopped early keeps nothing.
    void end(bool complete);

    bool replaying() const { return replaying_; }
    bool recording() const { return recording_; }
    // The next sample to replay, null past the last.
    const Sample* next() { return next_ < samples_.size() ? &samples_[next_++] : nullptr; }
    void record(const Projection::Point& point, qint32 error, bool good)
    {
        samples_.push_back({point, error, good});
    }

    // Whether drawing `setup` with `constants` again evaluates the same numbers: neither its
    // equations nor its constants call Rnd.
    static bool repeatable(const PlotSetup& setup, const QStringList& constants);

    // Keeps nothing: the engine's variables may have changed.
    void clear();

    // The number of drawings that replayed.
    int replays() const { return replays_; }

private:
    static bool sameSurface(const PlotSetup& a, const PlotSetup& b);

    PlotSetup setup_;
    UniformRandom random_;
    QStringList constants_;
    std::vector<Sample> samples_;
    std::size_t next_ = 0;
    bool complete_ = false;
    bool replaying_ = false;
    bool recording_ = false;
    int replays_ = 0;
};
