#include "render/PlotDriver.h"

#include "eval/Class1.h"
#include "eval/SurfaceEvaluator.h"
#include "render/DrawHost.h"
#include "render/DrawingSurface.h"
#include "render/GuideDrawer.h"
#include "render/RenderState.h"
#include "setup/FormFields.h"
#include "setup/PlotSetup.h"

#include <algorithm>
#include <cmath>
#include <limits>

PlotDriver::PlotDriver(PlotSetup& setup, RenderState& state, std::array<DrawingSurface*, 2> views,
                       SurfaceEvaluator& evaluator, Class1& class1, qint32& evaluationError,
                       const FormFields& fields, DrawHost& host, UniformRandom& random,
                       float halfpi)
    : s_(setup), r_(state), views_(views), evaluator_(evaluator), class1_(class1), fields_(fields),
      host_(host), explicit_(setup, state, views, evaluator, class1, evaluationError, host, random,
                             halfpi, cancelled_),
      parametric_(setup, state, views, evaluator, class1, evaluationError, host, random, halfpi,
                  cancelled_)
{
}

void PlotDriver::ClearViews()
{
    views_[1]->clearPicture();
    views_[0]->clearPicture();
    r_.PlotShown = false;
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

void PlotDriver::prepareViews()
{
    cancelled_ = false;
    const bool persist = fields_.isChecked(QStringLiteral("chkPersist"));
    views_[1]->setAutoRedraw(persist);
    views_[0]->setAutoRedraw(persist);

    if (fields_.option(QStringLiteral("optBackclr")) == 0) {
        views_[0]->setBackColor(0xFFFFFF);
        views_[1]->setBackColor(0xFFFFFF);
        r_.SurfaceColor = 0;
    } else {
        views_[0]->setBackColor(0);
        views_[1]->setBackColor(0);
        r_.SurfaceColor = 0xFFFFFF;
    }

    if (s_.Reduce > 1) s_.Reduce = 1;
    if (!(s_.Reduce > 0)) // also a reduction factor that is not a number
        s_.Reduce = 1;
    r_.ReducedWidth = reducedSize(s_.Reduce, r_.PicWidth0);
    views_[0]->setGeometry(r_.PicLeft0 + r_.PicWidth0 - r_.ReducedWidth, r_.ReducedWidth,
                           reducedSize(s_.Reduce, r_.PicHeight0));
    views_[1]->setGeometry(views_[1]->left(), r_.ReducedWidth,
                           reducedSize(s_.Reduce, r_.PicHeight1));
}

bool PlotDriver::DrawPlot()
{
    if (drawing_) return false;
    drawing_ = true;
    cancelled_ = false;
    planned_ = 0;
    finished_ = 0;
    explicit_.resetSamples();
    parametric_.resetSamples();

    class1_.ierr = 0;
    r_.PixelY = (s_.Windowgy - s_.Windowly) / float(views_[0]->width());
    r_.PixelZ = (s_.Windowgz - s_.Windowlz) / float(views_[0]->height());
    views_[1]->setScale(s_.Windowly, s_.Windowgz, s_.Windowgy, s_.Windowlz);
    views_[0]->setScale(s_.Windowly, s_.Windowgz, s_.Windowgy, s_.Windowlz);

    GuideDrawer(s_, r_, views_, fields_).drawAll();

    host_.repaint();
    host_.runEvents();
    if (!cancelled_) DrawSurface();

    r_.GuideColor = 0;
    host_.drawingEnded();
    drawing_ = false;
    return !cancelled_;
}

void PlotDriver::DrawSurface()
{
    evaluator_.prepare();
    const bool lines = fields_.isChecked(QStringLiteral("chkLines"));
    const bool dots = fields_.isChecked(QStringLiteral("chkDots"));
    const bool untransformed = std::fabs(s_.Yrot) + std::fabs(s_.Xrot) + std::fabs(s_.Zrot) +
                                   std::fabs(s_.Xtr) + std::fabs(s_.Ytr) + std::fabs(s_.Ztr) ==
                               0;
    const double mesh = meshSamples();
    const double dotCount = std::max(0, s_.Ndots);
    planned_ = (lines ? mesh : 0) + (dots ? dotCount : 0);
    finished_ = 0;
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
    if (!fields_.isChecked(QStringLiteral("chkParametric"))) {
        if (lines && !family(mesh, [&] {
                return untransformed ? explicit_.DrawMesh() : explicit_.DrawMeshTransformed();
            }))
            return;
        if (dots) family(dotCount, [&] { return explicit_.DrawDots(); });
    } else {
        if (lines && !family(mesh, [&] {
                return untransformed ? parametric_.DrawParamMesh()
                                     : parametric_.DrawParamMeshTransformed();
            }))
            return;
        if (dots) family(dotCount, [&] { return parametric_.DrawParamDots(); });
    }
}

// Both families of mesh lines: Spacexu + 1 lines of Spaceyv x Segsyv + 1 points, then
// Spaceyv + 1 lines of Spacexu x Segsxu + 1 points (none where a count is negative).
double PlotDriver::meshSamples() const
{
    auto family = [](qint32 lines, qint32 spaces, qint32 segments) {
        const double n = std::max(0.0, double(lines) + 1);
        const double points = std::max(0.0, double(spaces) * double(segments) + 1);
        return n * points;
    };
    return family(s_.Spacexu, s_.Spaceyv, s_.Segsyv) + family(s_.Spaceyv, s_.Spacexu, s_.Segsxu);
}

double PlotDriver::progress() const
{
    if (!(planned_ > 0)) return 0;
    const double done =
        finished_ + double(explicit_.samplesDone()) + double(parametric_.samplesDone());
    return std::clamp(done / planned_, 0.0, 1.0);
}
