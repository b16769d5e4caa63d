#pragma once

#include "render/UniformRandom.h"
#include "setup/DrawOptions.h"
#include "setup/PlotSetup.h"

#include <QRect>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class Class1;
class DrawHost;
class DrawingSurface;
class PlotDriver;
class SampleCache;
class ScriptEngine;
class SurfaceEvaluator;

// A plot as a value: the setup a Plot read (with its drawing options), the user constants it
// registered, the random generator as it began (so the same dots come out) and the geometry
// of the window's views. Copies are independent: a turntable turns a copy. draw() is the one
// way every output (images, SVG, the PDF and printing, the viewer, the animations) draws it,
// onto any pair of surfaces at any size; the window's views and fields are never touched.
//
//     CapturedPlot plot = session.capturedPlot();
//     DrawOptions options = plot.setup.Options;
//     options.Labels = true;
//     ImageSurface left(0, 0, 0, 4), right(0, 0, 0, 4);
//     plot.drawAtViewSize(left, right, session.plotTools(), options);
class CapturedPlot
{
public:
    // What drawing needs from the run: the engine with Class1 and the evaluator over them.
    struct Tools
    {
        ScriptEngine& engine;
        SurfaceEvaluator& evaluator;
        Class1& class1;
        float halfpi;
    };

    PlotSetup setup;
    QStringList constants;
    UniformRandom random;
    std::array<QRect, 2> views; // x is the view's left; empty without a plot
    // The evaluated samples, shared by copies: a copy turned draws without evaluating again.
    std::shared_ptr<SampleCache> samples;

    bool isEmpty() const { return views[0].isEmpty(); }
    // Whether every drawing of it with the same options and size gives the same pixels, so
    // that one drawing serves them all (not when Rnd is called: each drawing draws anew).
    bool repeatable() const;

    // Gives the user constant `name` the value text `value` where it stands in the list; the
    // copy then evaluates every sample, as those shared were evaluated with the old value.
    // False, changing nothing, when the plot has no such constant.
    bool setConstant(const QString& name, const QString& value);

    // Draws the plot with `options` onto `views` at their own size (the user scale maps the
    // setup's window onto them): the constants are registered again, then guides and surface
    // are drawn with a copy of the captured generator. `host` is asked for events; `running`
    // sees the driver while it draws (for a cancel or the progress) and null when it ends.
    // False when the drawing did not run to its end.
    bool draw(std::array<DrawingSurface*, 2> views, const Tools& tools, const DrawOptions& options,
              DrawHost& host, const std::function<void(PlotDriver*)>& running = {}) const;

    // draw() without events after giving the surfaces the window views' geometry: a surface's
    // own pixel scale or vector nature sets the output's size.
    bool drawAtViewSize(DrawingSurface& left, DrawingSurface& right, const Tools& tools,
                        const DrawOptions& options) const;
};
