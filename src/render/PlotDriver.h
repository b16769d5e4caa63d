#pragma once

#include "render/ExplicitDrawer.h"
#include "render/ParametricDrawer.h"

#include <QStringList>
#include <QtGlobal>
#include <array>

class Class1;
class DrawHost;
class DrawingSurface;
class GuideDrawer;
class SurfaceEvaluator;
class UniformRandom;
struct DrawOptions;
struct PlotSetup;
struct RenderState;

// Draws plots into two views: guides and surface, from a captured setup (a PlotSetup read by
// ReadPlotSetup, with its DrawOptions), never from the window's controls.
//
// Drawing a captured plot onto views of any size, with no window:
//     ReadPlotSetup(setup, fields, engine, message, &class1); // the captured setup
//     ImageSurface left(0, width, height), right(0, width, height);
//     NullDrawHost host;
//     SurfaceEvaluator evaluator(engine, class1); // engine with Class1 and the constants
//     PlotDriver driver({&left, &right}, evaluator, class1, random, host, halfpi);
//     driver.drawCaptured(setup); // then left.image() and right.image()
// The user scale maps the setup's screen window onto each view, so the same plot comes out at
// the views' size; the guides' one-pixel insets and the mark's radius follow it. Any
// DrawingSurface pair will do (a vector one draws the same calls in user units).
//
// How Session drives a Plot: ClearViews; ReadPlotSetup; prepareViews (the options, then the
// geometry from the reduction factor); DrawPlot. Session::cancelPlot calls requestCancel(); the
// drawers stop at their next point, leaving what is drawn, and DrawPlot returns. Save and
// Print call DrawPlot alone, on the views as they are. prepareViews and DrawPlot clear the
// cancel request when they start, so a cancel ends only the plot it was asked for; DrawPlot
// refuses to start inside itself (from an event run by a drawing pass).
class SampleCache;

class PlotDriver
{
public:
    PlotDriver(std::array<DrawingSurface*, 2> views, SurfaceEvaluator& evaluator, Class1& class1,
               UniformRandom& random, DrawHost& host, float halfpi);

    // The entry point for a captured setup: applyOptions, then DrawPlot.
    bool drawCaptured(const PlotSetup& setup);

    // Empties both views (right, then left).
    void ClearViews();

    // Retained-image mode from Persist; background and surface colour from the background
    // option.
    void applyOptions(const DrawOptions& options);

    // applyOptions, and the geometry of both views from the reduction factor (clamped into
    // (0, 1] in the setup) and the design sizes in `layout`, whose ReducedWidth it sets. A
    // cancel request left by an earlier plot is dropped.
    void prepareViews(PlotSetup& setup, RenderState& layout);

    // The user scale of both views, the guides, pending events and the surface. Returns false
    // when it did not run to its end (cancelled, or asked to start inside a running one).
    bool DrawPlot(const PlotSetup& setup);

    // Evaluated sample points kept in `cache` and replayed by later drawings of the same
    // surface with the same `constants` (none when null).
    void setSampleCache(SampleCache* cache, const QStringList& constants);

    void requestCancel() { cancelled_ = true; }
    bool cancelRequested() const { return cancelled_; }
    bool isDrawing() const { return drawing_; }

    // The share of the surface's planned sample points (mesh points of both families, dots)
    // evaluated so far in the current or last DrawPlot: 0 until the surface begins, 1 when
    // every family has ended. A family that stops on an error counts as done; a cancelled
    // plot keeps the share it reached.
    double progress() const;
    // Whether the last DrawPlot drew a point of the surface inside the window.
    bool surfaceInWindow() const { return explicit_.drewInWindow() || parametric_.drewInWindow(); }
    // The sample points a plot of `setup` evaluates: the mesh points of both families when it
    // draws lines, and the dots when it draws dots.
    static double plannedSamples(const PlotSetup& setup);

    // The evaluation error number of the last failure inside a drawer (0 before any).
    qint32 evaluationError() const { return evaluationError_; }

    // The width of both views after the reduction factor: Reduce x PicWidth0 to the nearest
    // whole number, halves to even.
    static qint32 reducedSize(float reduce, qint32 designSize);

private:
    // Lines, then dots, explicit or parametric, as the options say; first the surface
    // sampled as a grid (and filled) when the look asks for it.
    void DrawSurface(const PlotSetup& s, GuideDrawer& guides);

    std::array<DrawingSurface*, 2> views_;
    SurfaceEvaluator& evaluator_;
    Class1& class1_;
    DrawHost& host_;
    UniformRandom& random_;
    SampleCache* cache_ = nullptr;
    QStringList constants_;

    bool cancelled_ = false;
    bool drawing_ = false;
    qint32 evaluationError_ = 0;
    quint32 surfaceColor_ = 0;
    double planned_ = 0;  // sample points of the whole surface
    double finished_ = 0; // those of the families that have ended
    ExplicitDrawer explicit_;
    ParametricDrawer parametric_;
    SurfaceModel model_; // the sampled surface, when the look asks for one
    std::array<Projection::ViewWindow, 2> windows_; // the views' user scale
};
