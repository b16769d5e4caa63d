#pragma once

#include "render/ExplicitDrawer.h"
#include "render/ParametricDrawer.h"

#include <QtGlobal>
#include <array>

class Class1;
class DrawingSurface;
class FormFields;
class DrawHost;
class SurfaceEvaluator;
class UniformRandom;
struct PlotSetup;
struct RenderState;

// Draws one plot into the two views: clears them, prepares their mode, colours and size, and
// draws the guides and the surface.
//
// How Session drives a Plot:
//     host.setBusy(true);
//     driver.ClearViews();
//     state.PlotShown = true;
//     if (!ReadPlotSetup(...)) { abandon: setBusy(false), show the message if not empty }
//     constants.RegisterConstants();
//     driver.prepareViews();          // retained mode, background, reduction factor
//     host.processEvents();
//     if (!driver.cancelRequested()) driver.DrawPlot();
//     host.beep();
// Session::cancelPlot calls requestCancel(); the drawers stop at their next point, leaving what
// is drawn, and DrawPlot returns. Save and Print call DrawPlot alone, on the views as they are.
// prepareViews and DrawPlot clear the cancel request when they start, so a cancel ends only
// the plot it was asked for; DrawPlot refuses to start inside itself (from an event run by a
// drawing pass).
class PlotDriver
{
public:
    PlotDriver(PlotSetup& setup, RenderState& state, std::array<DrawingSurface*, 2> views,
               SurfaceEvaluator& evaluator, Class1& class1, qint32& evaluationError,
               const FormFields& fields, DrawHost& host, UniformRandom& random, float halfpi);

    // Empties both views (right, then left); PlotShown false.
    void ClearViews();

    // Retained-image mode from chkPersist, background and SurfaceColor from optBackclr, and
    // the geometry of both views from the reduction factor (clamped into (0, 1] in the setup).
    // A cancel request left by an earlier plot is dropped.
    void prepareViews();

    // The user scale of both views, the guides, pending events and the surface. Returns false
    // when it did not run to its end (cancelled, or asked to start inside a running one).
    bool DrawPlot();

    // Lines, then dots, explicit or parametric, as the check boxes say.
    void DrawSurface();

    void requestCancel() { cancelled_ = true; }
    bool cancelRequested() const { return cancelled_; }
    bool isDrawing() const { return drawing_; }

    // The share of the surface's planned sample points (mesh points of both families, dots)
    // evaluated so far in the current or last DrawPlot: 0 until the surface begins, 1 when
    // every family has ended. A family that stops on an error counts as done; a cancelled
    // plot keeps the share it reached.
    double progress() const;

    // The rule every surface drawer applies to an error raised inside it; true for a point
    // failure (see SurfaceDrawer::DrawerErrorRule).
    bool DrawerErrorRule(qint32 number) { return explicit_.DrawerErrorRule(number); }

    ExplicitDrawer& explicitDrawer() { return explicit_; }
    ParametricDrawer& parametricDrawer() { return parametric_; }

    // The width of both views after the reduction factor: Reduce x PicWidth0 to the nearest
    // whole number, halves to even.
    static qint32 reducedSize(float reduce, qint32 designSize);

private:
    PlotSetup& s_;
    RenderState& r_;
    std::array<DrawingSurface*, 2> views_;
    SurfaceEvaluator& evaluator_;
    Class1& class1_;
    const FormFields& fields_;
    DrawHost& host_;
    double meshSamples() const;

    bool cancelled_ = false;
    bool drawing_ = false;
    double planned_ = 0;  // sample points of the whole surface
    double finished_ = 0; // those of the families that have ended
    ExplicitDrawer explicit_;
    ParametricDrawer parametric_;
};
