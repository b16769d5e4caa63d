// A headless plot of 200 x 200 spacings with 10 segments each way: about 804,000 evaluations
// and 1.6 million segments over the two views. Prints, side by side for each run, the time
// of the whole plot and its breakdown: the evaluations in the drawer's order (a batch at a
// time as the drawers do, point by point, and the same polynomial as compiled C++), the
// surface's runs of segments as polylines (as the drawers hand them over), the same segments
// one line call each, through QPainter, and the floor of any rasteriser of these points (map
// each point and set its pixel); the polylines on views four times as large (1600 x 1200,
// four-pixel lines), the two views encoded as PNG at both sizes, and an SVG pair.

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "eval/SurfaceEvaluator.h"
#include "output/SafeWrite.h"
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
#include <iterator>
#include <vector>

namespace {

// A run of segments through its points, as one view was given it.
struct Run
{
    int view;
    std::vector<float> x, y;
    quint32 color;
};

// An image view that also keeps every run of segments and every line it is given.
class CapturingSurface : public ImageSurface
{
public:
    CapturingSurface(int index, int left, std::vector<Run>& out)
        : ImageSurface(left, 400, 300), index_(index), out_(out)
    {
    }
    void line(float x1, float y1, float x2, float y2, quint32 color) override
    {
        out_.push_back({index_, {x1, x2}, {y1, y2}, color});
        ImageSurface::line(x1, y1, x2, y2, color);
    }
    void polyline(const float* x, const float* y, int n, quint32 color) override
    {
        out_.push_back({index_, {x, x + n}, {y, y + n}, color});
        ImageSurface::polyline(x, y, n, color);
    }

private:
    int index_;
    std::vector<Run>& out_;
};

double polynomial(double x, double y)
{
    return (x - 1) * x * (x + 1) * (y - 1) * y * (y + 1) * 5;
}
double (*volatile compiled)(double, double) = polynomial;

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
    std::vector<Run> captured;
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

    // The captured runs drawn onto the plain views: as polylines, or one line call per segment.
    double lines(ImageSurface::Raster raster, double scale = 1, bool polylines = true)
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
        for (const Run& r : captured) {
            ImageSurface& v = *views[r.view];
            if (polylines) {
                v.polyline(r.x.data(), r.y.data(), int(r.x.size()), r.color);
                continue;
            }
            for (std::size_t i = 1; i < r.x.size(); ++i)
                v.line(r.x[i - 1], r.y[i - 1], r.x[i], r.y[i], r.color);
        }
        const QImage keep = plain0.image(); // ends a painter still open
        const double ms = t.nsecsElapsed() / 1e6;
        for (ImageSurface* v : views) {
            v->setRaster(ImageSurface::Raster::Direct);
            v->setPixelScale(1);
        }
        return ms;
    }

    // What no rasteriser of these points can skip: map each point to its pixel and set it.
    double floor()
    {
        QImage images[2] = {QImage(400, 300, QImage::Format_RGB32),
                            QImage(400, 300, QImage::Format_RGB32)};
        const double fx = 400.0 / (double(setup.Windowgy) - setup.Windowly);
        const double fy = 300.0 / (double(setup.Windowlz) - setup.Windowgz);
        QElapsedTimer t;
        t.start();
        for (const Run& r : captured) {
            QImage& image = images[r.view];
            uchar* bits = image.bits();
            const qsizetype bpl = image.bytesPerLine();
            const QRgb rgb = ImageSurface::toRgb(r.color);
            for (std::size_t i = 0; i < r.x.size(); ++i) {
                const int px = int((double(r.x[i]) - setup.Windowly) * fx + 0.5);
                const int py = int((double(r.y[i]) - setup.Windowgz) * fy + 0.5);
                if (px >= 0 && py >= 0 && px < 400 && py < 300)
                    reinterpret_cast<QRgb*>(bits + py * bpl)[px] = rgb;
            }
        }
        return t.nsecsElapsed() / 1e6;
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
        for (const Run& r : captured)
            views[r.view].polyline(r.x.data(), r.y.data(), int(r.x.size()), r.color);
        SvgDocument doc;
        doc.addView(views[0], 0);
        doc.addView(views[1], 400);
        bytes = doc.toSvg().size();
        return t.nsecsElapsed() / 1e6;
    }

    // Both plain views as PNG files would hold them, at pixel scale `scale` (drawn first).
    double encode(double scale)
    {
        QImage images[2];
        for (int i = 0; i < 2; ++i) {
            ImageSurface& v = i ? plain1 : plain0;
            v.setPixelScale(scale);
            v.setBackColor(0);
            v.setScale(setup.Windowly, setup.Windowgz, setup.Windowgy, setup.Windowlz);
            for (const Run& r : captured)
                if (r.view == i) v.polyline(r.x.data(), r.y.data(), int(r.x.size()), r.color);
            images[i] = v.image();
            v.setPixelScale(1);
        }
        QElapsedTimer t;
        t.start();
        for (const QImage& image : images) {
            QByteArray bytes;
            QString error;
            SafeWrite::imageBytes(QStringLiteral("bench.png"), image, "PNG", bytes, error);
        }
        return t.nsecsElapsed() / 1e6;
    }

    // Every sample point of the mesh, in the order the drawer takes them, to `visit(x, y)`.
    template <typename Visit> void meshPoints(Visit visit)
    {
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
                    visit(alongY ? a : b, alongY ? b : a, j == inner);
                }
            }
        }
    }

    // The mesh's evaluations one at a time; `count` their number.
    double singleEvaluations(qint64& count)
    {
        QElapsedTimer t;
        t.start();
        count = 0;
        meshPoints([&](float x, float y, bool) {
            evaluator.EvalSurface(x, y);
            ++count;
        });
        return t.nsecsElapsed() / 1e6;
    }

    // The same a batch at a time, each point taken as the drawer takes it.
    double batchEvaluations()
    {
        float xs[SurfaceEvaluator::BatchSize], ys[SurfaceEvaluator::BatchSize];
        PendingValue pending[SurfaceEvaluator::BatchSize];
        int n = 0;
        double sum = 0;
        QElapsedTimer t;
        t.start();
        meshPoints([&](float x, float y, bool lineEnds) {
            xs[n] = x;
            ys[n] = y;
            if (++n < SurfaceEvaluator::BatchSize && !lineEnds) return;
            evaluator.evaluateBatch(SurfaceEvaluator::Which::Surface, {xs, ys, nullptr, nullptr, n},
                                    pending);
            for (int k = 0; k < n; ++k)
                sum += evaluator.take(pending[k]).value;
            n = 0;
        });
        const double ms = t.nsecsElapsed() / 1e6;
        checksum += sum;
        return ms;
    }

    // The polynomial as compiled C++, called through a pointer, at the same points.
    double compiledEvaluations()
    {
        double sum = 0;
        QElapsedTimer t;
        t.start();
        meshPoints([&](float x, float y, bool) { sum += float(compiled(x, y)); });
        const double ms = t.nsecsElapsed() / 1e6;
        checksum += sum;
        return ms;
    }

    double checksum = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Bench b;
    b.plot(b.capture0, b.capture1); // captures the runs once
    std::size_t segments = 0, surfaceSegments = 0;
    for (const Run& r : b.captured) {
        segments += r.x.size() - 1;
        if (r.color == (b.setup.Options.BlackBackground ? 0xFFFFFFu : 0u))
            surfaceSegments += r.x.size() - 1;
    }
    qint64 evals = 0;
    b.singleEvaluations(evals);
    std::printf("mesh %dx%d spacings, %dx%d segments: %lld evaluations, %zu segments "
                "(%zu of the surface over both views) in %zu runs\n",
                b.setup.Spacexu, b.setup.Spaceyv, b.setup.Segsxu, b.setup.Segsyv,
                static_cast<long long>(evals), segments, surfaceSegments, b.captured.size());
    std::printf("ms per run; \"rest\" is the plot less its polylines and batch evaluations\n");
    const char* names[] = {"plot",  "batch",   "single", "C++",    "polyline", "lines", "painter",
                           "floor", "x4 poly", "png x1", "png x4", "svg",      "rest"};
    std::printf("%6s", "run");
    for (const char* n : names)
        std::printf(" %8s", n);
    std::printf("\n");

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    constexpr int Columns = int(std::size(names));
    std::vector<double> columns[Columns];
    qsizetype svgBytes = 0;
    for (int run = 1; run <= runs; ++run) {
        double v[Columns];
        qint64 count = 0;
        v[0] = b.plot(b.plain0, b.plain1);
        v[1] = b.batchEvaluations();
        v[2] = b.singleEvaluations(count);
        v[3] = b.compiledEvaluations();
        v[4] = b.lines(ImageSurface::Raster::Direct);
        v[5] = b.lines(ImageSurface::Raster::Direct, 1, false);
        v[6] = b.lines(ImageSurface::Raster::Painter, 1, false);
        v[7] = b.floor();
        v[8] = b.lines(ImageSurface::Raster::Direct, 4);
        v[9] = b.encode(1);
        v[10] = b.encode(4);
        v[11] = b.svg(svgBytes);
        v[12] = v[0] - v[4] - v[1];
        std::printf("%6d", run);
        for (int c = 0; c < Columns; ++c) {
            columns[c].push_back(v[c]);
            std::printf(" %8.1f", v[c]);
        }
        std::printf("\n");
    }
    double m[Columns];
    std::printf("%6s", "median");
    for (int c = 0; c < Columns; ++c)
        std::printf(" %8.1f", m[c] = median(columns[c]));
    std::printf("\n");
    const double points = double(evals), perSegment = 1e6 / double(segments);
    std::printf("evaluation ns per point: batch %.2f, single %.2f, C++ %.2f; batch / C++ %.2f\n",
                m[1] * 1e6 / points, m[2] * 1e6 / points, m[3] * 1e6 / points, m[1] / m[3]);
    std::printf("lines ns per segment: polyline %.2f, one call each %.2f, floor %.2f; "
                "polyline / floor %.2f, one call each / polyline %.2f\n",
                m[4] * perSegment, m[5] * perSegment, m[7] * perSegment, m[4] / m[7], m[5] / m[4]);
    std::printf("SVG pair: %lld bytes; checksum %g\n", static_cast<long long>(svgBytes),
                b.checksum);
    return 0;
}
