#pragma once

#include "RecordingSurface.h"
#include "common/EngineFixture.h"

#include "app/SessionHost.h"
#include "eval/SurfaceEvaluator.h"
#include "render/ImageSurface.h"
#include "render/PlotDriver.h"
#include "render/UniformRandom.h"
#include "setup/FieldMap.h"
#include "setup/PlotSetupReader.h"

#include <QStringList>
#include <cmath>
#include <functional>
#include <memory>

// A host without a window: counts the pending-event calls and runs a hook in them.
class TestHost : public SessionHost
{
public:
    int events = 0;
    bool busy = false;
    std::function<void(int)> onEvents; // called with the number of the call, from 1
    QStringList messages;

    void showMessage(const QString& text, const QString&) override { messages.append(text); }
    void processEvents() override
    {
        ++events;
        if (onEvents) onEvents(events);
    }
    void beep() override {}
    void setBusy(bool on) override { busy = on; }
    void viewsChanged() override {}
    void constantsChanged() override {}
};

// The window's state for one plot, as the main window holds it: fields at their defaults,
// the engine set up as at load, two views at the design geometry (400 x 300 at Left 0 and
// 399), and the driver. The views either record their calls or rasterise into images.
struct PlotFixture : EngineFixture
{
    enum class Views
    {
        Recording,
        Images
    };

    FieldMap fields;
    PlotSetup setup;
    RenderState state;
    TestHost host;
    UniformRandom random;
    std::unique_ptr<DrawingSurface> view[2];
    SurfaceEvaluator evaluator{engine, class1, ierr, setup, state, fields};
    const float halfpi = float(2 * std::atan(1.0));
    std::unique_ptr<PlotDriver> driver;
    QString message;

    explicit PlotFixture(Views kind = Views::Recording)
        : PlotFixture(makeView(kind, 0), makeView(kind, 399))
    {
    }

    static std::unique_ptr<DrawingSurface> makeView(Views kind, int left)
    {
        if (kind == Views::Recording) return std::make_unique<RecordingSurface>(left, 400, 300);
        return std::make_unique<ImageSurface>(left, 400, 300);
    }

    // Views of the caller's making (scaled images, vector views).
    PlotFixture(std::unique_ptr<DrawingSurface> left, std::unique_ptr<DrawingSurface> right)
    {
        view[0] = std::move(left);
        view[1] = std::move(right);
        state.PicLeft0 = 0;
        state.PicWidth0 = 400;
        state.PicHeight0 = 300;
        state.PicHeight1 = 300;
        random.seed(20240601);
        driver = std::make_unique<PlotDriver>(
            setup, state, std::array<DrawingSurface*, 2>{view[0].get(), view[1].get()}, evaluator,
            class1, ierr, fields, host, random, halfpi);
    }

    void set(const char* control, const QString& text)
    {
        fields.setText(QLatin1String(control), text);
    }

    // The Plot command as Session runs it; false when the setup could not be read or the
    // plot did not run to its end.
    bool plot()
    {
        host.setBusy(true);
        driver->ClearViews();
        state.PlotShown = true;
        if (!ReadPlotSetup(setup, fields, engine, message)) return false;
        driver->prepareViews();
        return driver->DrawPlot();
    }

    RecordingSurface& recording(int index) { return static_cast<RecordingSurface&>(*view[index]); }
    ImageSurface& image(int index) { return static_cast<ImageSurface&>(*view[index]); }

    // The surface's lines (or dots) in one view: the calls in the surface colour.
    QList<RecordingSurface::Call> surfaceCalls(int index, RecordingSurface::Kind kind)
    {
        QList<RecordingSurface::Call> out;
        for (const RecordingSurface::Call& c : recording(index).drawnIn(state.SurfaceColor))
            if (c.kind == kind) out.append(c);
        return out;
    }

    // The mesh segments drawn when a sample point (a, b) of the setup's grid has a value
    // exactly where `good` says: a segment joins two successive good points of one line.
    // The grid is walked as the drawers walk it, by repeated single-precision addition.
    int expectedSegments(const std::function<bool(float, float)>& good) const
    {
        int segments = 0;
        // Lines of constant a along b, then lines of constant b along a.
        for (const bool alongB : {true, false}) {
            const qint32 lines = alongB ? setup.Spacexu : setup.Spaceyv;
            const qint32 points =
                alongB ? setup.Spaceyv * setup.Segsyv : setup.Spacexu * setup.Segsxu;
            const float lineStep = alongB ? setup.StepXu : setup.StepYv;
            const float pointStep = alongB ? setup.SegYv : setup.SegXu;
            float fixed = (alongB ? setup.Rangelxu : setup.Rangelyv) - lineStep;
            for (qint32 i = 0; i <= lines; ++i) {
                fixed = fixed + lineStep;
                float moving = (alongB ? setup.Rangelyv : setup.Rangelxu) - pointStep;
                bool previous = false;
                for (qint32 j = 0; j <= points; ++j) {
                    moving = moving + pointStep;
                    const bool now = alongB ? good(fixed, moving) : good(moving, fixed);
                    segments += previous && now ? 1 : 0;
                    previous = now;
                }
            }
        }
        return segments;
    }
};
