#include "render/ImageSurface.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Red = 0x0000FF; // &H00BBGGRR
constexpr float FloatMax = std::numeric_limits<float>::max();

int countPixels(const ImageSurface& view, quint32 color)
{
    int n = 0;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x)
            n += view.pixelColor(x, y) == color;
    return n;
}

} // namespace

class TestImageSurface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Lines in user units of a view scaled like a plot of the default window: y -2..2 left to
    // right, z 1.5..-1.5 top to bottom, 400 x 300 pixels. Both ends are drawn; what lies
    // outside is clipped, even from the ends of the float range.
    void lines_data()
    {
        QTest::addColumn<QList<float>>("ends");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QPoint>("lit");
        QTest::newRow("a point at the top left")
            << QList<float>{-2, 1.5f, -2, 1.5f} << 1 << QPoint(0, 0);
        QTest::newRow("the frame's inset corner")
            << QList<float>{1.99f, -1.49f, 1.99f, -1.49f} << 1 << QPoint(399, 299);
        QTest::newRow("not a number") << QList<float>{float(qQNaN()), 0, 0, 0} << 0 << QPoint();
        QTest::newRow("ten pixels across")
            << QList<float>{-1.9f, 1.4f, -1.81f, 1.4f} << 10 << QPoint(10, 10);
        QTest::newRow("across the middle from the float limits")
            << QList<float>{-FloatMax, 0, FloatMax, 0} << 400 << QPoint(399, 150);
        QTest::newRow("outside, crossing the corner's extension")
            << QList<float>{-2.5f, 1.4f, -2.1f, 2} << 0 << QPoint();
    }
    void lines()
    {
        QFETCH(QList<float>, ends);
        QFETCH(int, pixels);
        QFETCH(QPoint, lit);
        ImageSurface view;
        view.setScale(-2, 1.5f, 2, -1.5f);
        view.line(ends[0], ends[1], ends[2], ends[3], Red);
        QCOMPARE(countPixels(view, Red), pixels);
        if (pixels) QCOMPARE(view.pixelColor(lit.x(), lit.y()), Red);
    }

    void dottedLineSetsEveryOtherPixel()
    {
        ImageSurface view;
        view.setDrawStyle(DrawingSurface::Dotted);
        view.line(0, 10, 19, 10, Red);
        QCOMPARE(countPixels(view, Red), 10);
        QCOMPARE(view.pixelColor(1, 10), White);
    }

    void circleFillFollowsFillStyle()
    {
        for (const int style :
             {int(DrawingSurface::FillSolid), int(DrawingSurface::FillTransparent)}) {
            ImageSurface view;
            view.setScale(-2, 1.5f, 2, -1.5f);
            view.setFillColor(Red);
            view.setFillStyle(style);
            view.circle(0, 0, 0.04f, Red); // radius in horizontal units: 4 pixels
            QCOMPARE(view.pixelColor(200, 150), style == DrawingSurface::FillSolid ? Red : White);
            QCOMPARE(view.pixelColor(204, 150), Red);
            QCOMPARE(view.pixelColor(206, 150), White);
            // A circle at an absurd place or size draws nothing and does not fail.
            view.circle(1e30f, 0, 1, Red);
            view.circle(0, 0, std::numeric_limits<float>::infinity(), Red);
            QCOMPARE(view.pixelColor(100, 100), White);
        }
    }

    void backColorAndSize()
    {
        ImageSurface view(399, 400, 300);
        view.line(0, 0, 50, 0, Red);
        view.setBackColor(0); // erases
        QCOMPARE(countPixels(view, 0), 400 * 300);
        view.pset(5, 5, 0x123456);
        QCOMPARE(view.image().pixel(5, 5), qRgb(0x56, 0x34, 0x12));
        // A new size keeps the content and fills the rest with the background.
        view.setGeometry(399, 200, 150);
        QCOMPARE(QList<int>({view.left(), view.width(), view.height()}),
                 QList<int>({399, 200, 150}));
        view.setGeometry(399, 400, 300);
        QCOMPARE(view.pixelColor(5, 5), quint32(0x123456));
        QCOMPARE(view.pixelColor(399, 299), quint32(0));
        QCOMPARE(view.scaleWidth(), 400.0f); // the default scale follows the size
        // A view of no size draws nothing and does not fail.
        view.setGeometry(0, 0, 0);
        view.line(-10, -10, 10, 10, Red);
        view.printLine(QStringLiteral("x"));
        QVERIFY(view.image().isNull());
    }

    // A polyline sets the pixels its segments set one by one, at every scale and style: runs of
    // segments shorter than a pixel, leaving the view and coming back, a point that is not a
    // number, and a second run going on from the first.
    void polylineAsLines_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("dotted");
        QTest::addColumn<float>("step");
        for (const double scale : {1.0, 2.0, 4.0, 16.0})
            for (const float step : {0.0013f, 0.02f})
                for (const bool dotted : {false, true})
                    QTest::addRow("x%g %s step %g", scale, dotted ? "dotted" : "solid",
                                  double(step))
                        << scale << dotted << step;
    }
    void polylineAsLines()
    {
        QFETCH(double, scale);
        QFETCH(bool, dotted);
        QFETCH(float, step);
        ImageSurface runs(0, 100, 75, scale), lines(0, 100, 75, scale);
        QList<float> x, y;
        for (int i = 0; i < 4000 && -2.2f + float(i) * step < 2.2f; ++i) {
            x << -2.2f + float(i) * step;
            y << (i == 250 ? float(qQNaN()) : 1.7f * std::sin(float(i) * 0.05f * step / 0.0013f));
        }
        const int n = int(x.size()), half = n / 2;
        for (ImageSurface* v : {&runs, &lines}) {
            v->setScale(-2, 1.5f, 2, -1.5f);
            v->setDrawStyle(dotted ? DrawingSurface::Dotted : DrawingSurface::Solid);
        }
        runs.polyline(x.data(), y.data(), half + 1, Red);
        runs.polyline(x.data() + half, y.data() + half, n - half, Red);
        for (int i = 1; i < n; ++i)
            lines.line(x[i - 1], y[i - 1], x[i], y[i], Red);
        QCOMPARE(runs.image(), lines.image());
        QCOMPARE(runs.currentX(), lines.currentX());
        QVERIFY(countPixels(runs, Red) > 50);
        // Short runs whose last pixel only their last segment sets: one pixel down, and
        // after a point that is not a number.
        runs.setBackColor(White);
        lines.setBackColor(White);
        const float nan = float(qQNaN());
        for (const QList<float>& run : {QList<float>{0, 0, 0.5f, 0.5f, 0.5f, 0.46f},
                                        QList<float>{nan, 0, 1, 1, 1.01f, 0.99f}}) {
            QList<float> rx, ry;
            for (qsizetype i = 0; i < run.size(); i += 2) {
                rx << run[i];
                ry << run[i + 1];
            }
            runs.polyline(rx.data(), ry.data(), int(rx.size()), Red);
            for (qsizetype i = 1; i < rx.size(); ++i)
                lines.line(rx[i - 1], ry[i - 1], rx[i], ry[i], Red);
        }
        QCOMPARE(runs.image(), lines.image());
    }

    void rastersAgree()
    {
        ImageSurface direct, painter;
        painter.setRaster(ImageSurface::Raster::Painter);
        for (ImageSurface* v : {&direct, &painter})
            v->line(-100, 150, 1000, 150, Red);
        QCOMPARE(painter.image(), direct.image());
    }
};

QTEST_MAIN(TestImageSurface)
#include "test_imagesurface.moc"
