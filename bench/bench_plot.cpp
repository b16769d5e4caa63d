// A headless plot of 200 x 200 spacings with 10 segments each way: about 804,000 evaluations
// and 1.6 million segments over the two views. Prints, side by side for each run, the time
// of the whole plot, of drawing the same segments alone (straight into the bits and through
// QPainter), of the same segments on views four times as large (1600 x 1200, four-pixel lines)
// and as an SVG pair, and of the same evaluations alone.

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "eval/SurfaceEvaluator.h"
#include "render/DrawHost.h"
#include "render/ImageSurface.h"
#include "render/PlotDriver.h"
#include "render/RenderState.h"
#include "render/SvgDocument.h"
#include "render/SvgSurface.h"
#include "render/UniformRandom.h"
#include "setup/FieldMap.h"
#include "setup/PlotSetupReader.h"

#include "Median.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Segment
{
    int view;
    float x1, y1, x2, y2;
    quint32 color;
};

// An image view that also keeps every line it is given.
class CapturingSurface : public ImageSurface
{
public:
    CapturingSurface(int index, int left, std::vector<Segment>& out)
        : ImageSurface(left, 400, 300), index_(index), out_(out)
    {
    }
    void line(float x1, float y1, float x2, float y2, quint32 color) override
    {
        out_.push_back({index_, x1, y1, x2, y2, color});
        ImageSurface::line(x1, y1, x2, y2, color);
    }

private:
    int index_;
    std::vector<Segment>& out_;
};

struct Bench
{
    FieldMap fields;
    Class1 class1;
    ScriptEngine engine;
    qint32 ierr = 0;
    PlotSetup setup;
    RenderState state;
    NullDrawHost host;
    UniformRandom random;
    std::vector<Segment> captured;
    CapturingSurface capture0{0, 0, captured}, capture1{1, 399, captured};
    ImageSurface plain0{0, 400, 300}, plain1{399, 400, 300};
    SurfaceEvaluator evaluator{engine, class1};
    const float halfpi = float(2 * std::atan(1.0));

    Bench()
    {
        engine.setErrorHandler([this](const ScriptError& e) { ierr = e.number; });
        engine.addObject(QStringLiteral("sh"), &class1, true);
        engine.executeStatement(QStringLiteral("halfpi = Atn(1) * 2"));
        engine.executeStatement(QStringLiteral("pi = Atn(1) * 4"));
        engine.executeStatement(QStringLiteral("e = Exp(1)"));
        for (const char* f : {"txtSpacexu", "txtSpaceyv"})
            fields.setText(QLatin1String(f), QStringLiteral("200"));
        for (const char* f : {"txtSegsxu", "txtSegsyv"})
            fields.setText(QLatin1String(f), QStringLiteral("10"));
        state.PicLeft0 = 0;
        state.PicWidth0 = 400;
        state.PicHeight0 = 300;
        state.PicHeight1 = 300;
        Message message;
        if (!ReadPlotSetup(setup, fields, engine, message))
            std::fprintf(stderr, "setup: %s\n", qPrintable(message.text));
        evaluator.prepare({setup.EquationZ, setup.EquationX, setup.EquationY, setup.DerivSelector,
                           setup.Options.HighAccuracy});
    }

    double plot(DrawingSurface& left, DrawingSurface& right)
    {
        PlotDriver driver({&left, &right}, evaluator, class1, random, host, halfpi);
        QElapsedTimer t;
        t.start();
        driver.ClearViews();
        driver.prepareViews(setup, state);
        driver.DrawPlot(setup);
        return t.nsecsElapsed() / 1e6;
    }

    double lines(ImageSurface::Raster raster, double scale = 1)
    {
        ImageSurface* views[2] = {&plain0, &plain1};
        for (ImageSurface* v : views) {
            v->setPixelScale(scale);
            v->setRaster(raster);
            v->setBackColor(0);
            v->setScale(setup.Windowly, setup.Windowgz, setup.Windowgy, setup.Windowlz);
        }
        QElapsedTimer t;
        t.start();
        for (const Segment& s : captured)
            views[s.view]->line(s.x1, s.y1, s.x2, s.y2, s.color);
        const QImage keep = plain0.image(); // ends a painter still open
        const double ms = t.nsecsElapsed() / 1e6;
        for (ImageSurface* v : views) {
            v->setRaster(ImageSurface::Raster::Direct);
            v->setPixelScale(1);
        }
        return ms;
    }

    // The segments on an SVG pair, written out as one document; `bytes` its size.
    double svg(qsizetype& bytes)
    {
        QElapsedTimer t;
        t.start();
        SvgSurface views[2] = {{0, 400, 300}, {399, 400, 300}};
        for (SvgSurface& v : views) {
            v.setBackColor(0);
            v.setScale(setup.Windowly, setup.Windowgz, setup.Windowgy, setup.Windowlz);
        }
        for (const Segment& s : captured)
            views[s.view].line(s.x1, s.y1, s.x2, s.y2, s.color);
        SvgDocument doc;
        doc.addView(views[0], 0);
        doc.addView(views[1], 400);
        bytes = doc.toSvg().size();
        return t.nsecsElapsed() / 1e6;
    }

    // The evaluations of the mesh, in the order the drawer makes them.
    double evaluations(qint64& count)
    {
        QElapsedTimer t;
        t.start();
        count = 0;
        for (int family = 0; family < 2; ++family) {
            const bool alongY = family == 0;
            const qint32 outer = alongY ? setup.Spacexu : setup.Spaceyv;
            const qint32 inner =
                alongY ? setup.Spaceyv * setup.Segsyv : setup.Spacexu * setup.Segsxu;
            float a = alongY ? setup.Rangelxu - setup.StepXu : setup.Rangelyv - setup.StepYv;
            for (qint32 i = 0; i <= outer; ++i) {
                a += alongY ? setup.StepXu : setup.StepYv;
                float b = alongY ? setup.Rangelyv - setup.SegYv : setup.Rangelxu - setup.SegXu;
                for (qint32 j = 0; j <= inner; ++j) {
                    b += alongY ? setup.SegYv : setup.SegXu;
                    const float x = alongY ? a : b, y = alongY ? b : a;
                    evaluator.EvalSurface(x, y);
                    ++count;
                }
            }
        }
        return t.nsecsElapsed() / 1e6;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Bench b;
    b.plot(b.capture0, b.capture1); // captures the segments once
    std::size_t surfaceSegments = 0;
    for (const Segment& s : b.captured)
        surfaceSegments += s.color == (b.setup.Options.BlackBackground ? 0xFFFFFFu : 0u) ? 1 : 0;
    qint64 evals = 0;
    b.evaluations(evals);
    std::printf("mesh %dx%d spacings, %dx%d segments: %lld evaluations, %zu lines "
                "(%zu surface segments over both views)\n",
                b.setup.Spacexu, b.setup.Spaceyv, b.setup.Segsxu, b.setup.Segsyv,
                static_cast<long long>(evals), b.captured.size(), surfaceSegments);
    // "rest" is the plot less its lines and evaluations: the drawers' own work and the guides.
    std::printf("%4s %10s %12s %14s %10s %9s %11s %13s %10s %9s %9s\n", "run", "plot ms",
                "lines ms", "painter ms", "evals ms", "rest ms", "plot/lines", "painter/bits",
                "x4 ms", "x4/x1", "svg ms");

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> plots, lines, painters, evalsMs, fours, svgs;
    qsizetype svgBytes = 0;
    for (int run = 1; run <= runs; ++run) {
        const double p = b.plot(b.plain0, b.plain1);
        const double l = b.lines(ImageSurface::Raster::Direct);
        const double q = b.lines(ImageSurface::Raster::Painter);
        const double e = b.evaluations(evals);
        const double f = b.lines(ImageSurface::Raster::Direct, 4);
        const double v = b.svg(svgBytes);
        fours.push_back(f);
        svgs.push_back(v);
        plots.push_back(p);
        lines.push_back(l);
        painters.push_back(q);
        evalsMs.push_back(e);
        std::printf("%4d %10.1f %12.1f %14.1f %10.1f %9.1f %11.2f %13.2f %10.1f %9.2f %9.1f\n", run,
                    p, l, q, e, p - l - e, p / l, q / l, f, f / l, v);
    }
    std::printf("median %7.1f %12.1f %14.1f %10.1f %9.1f %11.2f %13.2f %10.1f %9.2f %9.1f\n",
                median(plots), median(lines), median(painters), median(evalsMs),
                median(plots) - median(lines) - median(evalsMs), median(plots) / median(lines),
                median(painters) / median(lines), median(fours), median(fours) / median(lines),
                median(svgs));
    std::printf("SVG pair: %lld bytes\n", static_cast<long long>(svgBytes));
    return 0;
}
