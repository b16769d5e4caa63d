#pragma once

#include "render/Projection.h"
#include "render/UniformRandom.h"
#include "setup/PlotSetup.h"

#include <QStringList>
#include <vector>

// The evaluated sample points of one drawing of a surface, in the order the drawers evaluated
// them: the mesh lines and dots, and apart from them the grid that the look's passes (hidden
// lines, the solid surface, colours) sample first. A later drawing whose setup differs only in
// what moves the picture (rotation, translation, stereoscopic factor, reduction, window,
// origins, guides, colours, the look) replays them instead of evaluating again, with the same
// pixels; a grid not kept yet is evaluated and kept beside the samples replayed. What decides
// the values is compared: the equations, derivative and accuracy, domain, spacings, segments,
// the lines and dots drawn, the dots' generator and the user constants. Equations or
// constants that call Rnd are never kept, nor the dots of a parametric surface (each starts
// from the last one turned).
class SampleCache
{
public:
    struct Sample
    {
        Projection::Point point;
        qint32 error = 0; // the evaluation error number after a failure
        bool good = false;
    };

    SampleCache() = default;
    SampleCache(const SampleCache&) = delete; // shared, never copied
    SampleCache& operator=(const SampleCache&) = delete;

    // Starts a drawing: true when it replays the samples kept, false when it evaluates (and
    // records, when the setup's samples may be kept).
    bool begin(const PlotSetup& setup, const UniformRandom& random, const QStringList& constants);
    // Ends it; a drawing that stopped early keeps nothing.
    void end(bool complete);

    // Within a drawing, the walk of a grid of columns x rows points: true when it replays the
    // grid kept. endGrid goes back to the mesh and dots; a grid that stopped early is dropped.
    bool beginGrid(qint32 columns, qint32 rows);
    void endGrid(bool complete);

    bool replaying() const { return walk_->replaying; }
    bool recording() const { return walk_->recording; }
    // The next sample to replay, null past the last.
    const Sample* next()
    {
        Walk& w = *walk_;
        return w.next < w.samples.size() ? &w.samples[w.next++] : nullptr;
    }
    void record(const Projection::Point& point, qint32 error, bool good)
    {
        walk_->samples.push_back({point, error, good});
    }

    // Whether drawing `setup` with `constants` again evaluates the same numbers: neither its
    // equations nor its constants call Rnd.
    static bool repeatable(const PlotSetup& setup, const QStringList& constants);

    // Keeps nothing: the engine's variables may have changed.
    void clear();

    // The number of walks (mesh and dots, or a grid) that replayed.
    int replays() const { return replays_; }

private:
    // The samples of one walk, and what the drawing that runs does with them.
    struct Walk
    {
        std::vector<Sample> samples;
        std::size_t next = 0;
        bool complete = false;
        bool replaying = false;
        bool recording = false;
        // Starts replaying when complete, else recording afresh where `keep`.
        bool start(bool keep);
        void finish(bool done);
        void clear();
    };

    static bool sameSurface(const PlotSetup& a, const PlotSetup& b);

    PlotSetup setup_;
    UniformRandom random_;
    QStringList constants_;
    Walk surface_;
    Walk grid_;
    Walk* walk_ = &surface_;
    qint32 gridColumns_ = 0, gridRows_ = 0;
    bool keep_ = false; // the drawing that runs is of a surface whose samples are kept
    int replays_ = 0;
};
