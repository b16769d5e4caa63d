#include "render/PlotDriver.h"

#include "eval/Class1.h"
#include "eval/SurfaceEvaluator.h"
#include "render/DrawHost.h"
#include "render/DrawingSurface.h"
#include "render/GuideDrawer.h"
#include "render/RenderState.h"
#include "render/SampleCache.h"
#include "setup/PlotSetup.h"

#include <algorithm>
#include <cmath>
#include <limits>

PlotDriver::PlotDriver(std::array<DrawingSurface*, 2> views, SurfaceEvaluator& evaluator,
                       Class1& class1, UniformRandom& random, DrawHost& host, float halfpi)
    : views_(views), evaluator_(evaluator), class1_(class1), host_(host), random_(random),
      explicit_({views, evaluator, class1, host, random, halfpi, cancelled_, evaluationError_}),
      parametric_({views, evaluator, class1, host, random, halfpi, cancelled_, evaluationError_})
{
}

void PlotDriver::setSampleCache(SampleCache* cache, const QStringList& constants)
{
    cache_ = cache;
    constants_ = constants;
    explicit_.setCache(cache);
    parametric_.setCache(cache);
}

bool PlotDriver::drawCaptured(const PlotSetup& setup)
{
    applyOptions(setup.Options);
    return DrawPlot(setup);
}

void PlotDriver::ClearViews()
{
    views_[1]->clearPicture();
    views_[0]->clearPicture();
}

qint32 PlotDriver::reducedSize(float reduce, qint32 designSize)
{
    // Rounds to nearest, ties to even, in the default rounding mode. A view keeps at least
    // one pixel, so that a tiny factor still leaves a picture to show, copy and save.
    const double size = std::nearbyint(double(reduce) * designSize);
    if (!(size >= 1)) return designSize > 0 ? 1 : 0;
    return size > std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max()
                                                     : qint32(size);
}

void PlotDriver::applyOptions(const DrawOptions& options)
{
    views_[1]->setAutoRedraw(options.Persist);
    views_[0]->setAutoRedraw(options.Persist);
    const quint32 back = options.BlackBackground ? 0 : 0xFFFFFF;
    views_[0]->setBackColor(back);
    views_[1]->setBackColor(back);
    surfaceColor_ = 0xFFFFFF - back;
}

void PlotDriver::prepareViews(PlotSetup& s, RenderState& r)
{
    cancelled_ = false;
    applyOptions(s.Options);
    if (s.Reduce > 1) s.Reduce = 1;
    if (!(s.Reduce > 0)) // also a reduction factor that is not a number
        s.Reduce = 1;
    r.ReducedWidth = reducedSize(s.Reduce, r.PicWidth0);
    views_[0]->setGeometry(r.PicLeft0 + r.PicWidth0 - r.ReducedWidth, r.ReducedWidth,
                           reducedSize(s.Reduce, r.PicHeight0));
    views_[1]->setGeometry(views_[1]->left(), r.ReducedWidth, reducedSize(s.Reduce, r.PicHeight1));
}

bool PlotDriver::DrawPlot(const PlotSetup& s)
{
    if (drawing_) return false;
    drawing_ = true;
    cancelled_ = false;
    planned_ = 0;
    finished_ = 0;
    explicit_.resetSamples();
    parametric_.resetSamples();

    class1_.ierr = 0;
    GuideDrawer guides(s, views_);
    for (const int view : {1, 0}) {
        const Projection::ViewWindow w =
            Projection::viewWindow(s, views_[view]->width(), views_[view]->height());
        views_[view]->setScale(w.x1, w.y1, w.x2, w.y2);
        windows_[std::size_t(view)] = w;
    }
    // Over a solid surface the guides come after it, so that it does not hide them.
    if (!s.Options.Look.Solid) guides.drawAll();

    host_.repaint();
    host_.runEvents();
    if (!cancelled_) {
        if (cache_) cache_->begin(s, random_, constants_);
        DrawSurface(s, guides);
        if (cache_) cache_->end(!cancelled_);
    }
    // Over the surface, where nothing crosses them; a drawer stopped by an error leaves its
    // view labelled as well.
    if (!cancelled_) guides.DrawLabels();

    host_.drawingEnded();
    drawing_ = false;
    return !cancelled_;
}

namespace {
// Both families of mesh lines: Spacexu + 1 lines of Spaceyv x Segsyv + 1 points, then Spaceyv + 1
// lines of Spacexu x Segsxu + 1 points (none where a count is negative).
double meshSamples(const PlotSetup& s)
{
    auto lines = [](qint32 count, qint32 spaces, qint32 segments) {
        return std::max(0.0, double(count) + 1) *
               std::max(0.0, double(spaces) * double(segments) + 1);
    };
    return lines(s.Spacexu, s.Spaceyv, s.Segsyv) + lines(s.Spaceyv, s.Spacexu, s.Segsxu);
}
} // namespace

double PlotDriver::plannedSamples(const PlotSetup& s)
{
    return (s.Options.Lines ? meshSamples(s) : 0) + (s.Options.Dots ? std::max(0, s.Ndots) : 0);
}

void PlotDriver::DrawSurface(const PlotSetup& s, GuideDrawer& guides)
{
    const DrawOptions& o = s.Options;
    evaluator_.prepare({s.EquationZ, s.EquationX, s.EquationY, s.DerivSelector, o.HighAccuracy});
    explicit_.begin(s, surfaceColor_);
    parametric_.begin(s, surfaceColor_);
    const bool untransformed = std::fabs(s.Yrot) + std::fabs(s.Xrot) + std::fabs(s.Zrot) +
                                   std::fabs(s.Xtr) + std::fabs(s.Ytr) + std::fabs(s.Ztr) ==
                               0;
    const double mesh = meshSamples(s);
    const double dotCount = std::max(0, s.Ndots);
    qint32 columns = 0, rows = 0;
    const bool sampled = o.Look.needsModel() && SurfaceModel::gridSize(s, columns, rows);
    const double grid = sampled ? double(columns) * double(rows) : 0;
    planned_ = plannedSamples(s) + grid;
    finished_ = 0;
    explicit_.setModel(sampled ? &model_ : nullptr);
    parametric_.setModel(sampled ? &model_ : nullptr);
    // After each family pending events run; a drawer that stops on an error ends only itself,
    // a cancel ends the plot at once.
    auto family = [this](double samples, auto draw) {
        draw();
        if (cancelled_) return false;
        finished_ += samples;
        explicit_.resetSamples();
        parametric_.resetSamples();
        return explicit_.runPendingEvents();
    };
    if (sampled) {
        model_.begin(s, Projection::parallaxFor(s, 0), surfaceColor_, columns, rows);
        // A grid that stops on an error is used as far as it got; the lines stop there too.
        if (!family(grid, [&] {
                if (cache_) cache_->beginGrid(columns, rows);
                const bool done = o.Parametric ? parametric_.SampleGrid(model_, !untransformed)
                                               : explicit_.SampleGrid(model_, !untransformed);
                if (cache_) cache_->endGrid(!cancelled_);
                return done;
            }))
            return;
        model_.finish(views_, windows_);
        if (o.Look.Solid) model_.drawSolid(views_);
    }
    if (o.Look.Solid) guides.drawAll();
    if (!o.Parametric) {
        if (o.Lines && !family(mesh, [&] {
                return untransformed ? explicit_.DrawMesh() : explicit_.DrawMeshTransformed();
            }))
            return;
        if (o.Dots) family(dotCount, [&] { return explicit_.DrawDots(); });
    } else {
        // The parametric point goes on from the mesh to the dots; it starts at the origin.
        Projection::Point point;
        if (o.Lines && !family(mesh, [&] {
                return untransformed ? parametric_.DrawParamMesh(point)
                                     : parametric_.DrawParamMeshTransformed(point);
            }))
            return;
        if (o.Dots) family(dotCount, [&] { return parametric_.DrawParamDots(point); });
    }
}

double PlotDriver::progress() const
{
    if (!(planned_ > 0)) return 0;
    const double done =
        finished_ + double(explicit_.samplesDone()) + double(parametric_.samplesDone());
    return std::clamp(done / planned_, 0.0, 1.0);
}
