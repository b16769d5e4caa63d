// The surface model's passes against an independent depth model, and the grid it samples.
#include "render/ColourMap.h"
#include "render/ImageSurface.h"
#include "render/SurfaceModel.h"
#include "render/VectorSurface.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

namespace {
using Point = Projection::Point;

enum Shape
{
    PlaneBehindPlane, // near square x = 1 over |y|, |z| <= 1; far strip x = -1, |y| <= 1.8
    Sphere            // the unit sphere, seen along x
};

// The shape's grid: `columns` across, and for the planes a missing row between the two.
Point shapePoint(int shape, int i, int j, int columns, int rows)
{
    const double a = double(i) / (columns - 1);
    if (shape == Sphere) {
        const double u = 2 * M_PI * a, v = M_PI * (double(j) / (rows - 1) - 0.5);
        return {float(std::cos(u) * std::cos(v)), float(std::sin(u) * std::cos(v)),
                float(std::sin(v))};
    }
    const int half = rows / 2; // the missing row
    if (j < half) return {1, float(2 * a - 1), float(2.0 * j / (half - 1) - 1)};
    return {-1, float(3.6 * a - 1.8), float(double(j - half - 1) / (rows - half - 2) - 0.5)};
}

// The independent model: whether a point of the shape is seen, or 0 near a border where a
// raster cannot tell (-1 hidden, 1 seen).
int seen(int shape, const Point& p)
{
    if (shape == Sphere) return std::fabs(p.x) < 0.3f ? 0 : p.x > 0 ? 1 : -1;
    if (p.x > 0) return 1;
    const float inside = std::min(1 - std::fabs(p.y), 1 - std::fabs(p.z));
    return std::fabs(inside) < 0.05f ? 0 : inside > 0 ? -1 : 1;
}

Point onShape(int shape, QRandomGenerator& random)
{
    const double a = random.generateDouble(), b = random.generateDouble();
    if (shape == Sphere)
        return {float(std::cos(2 * M_PI * a) * std::sin(M_PI * b)),
                float(std::sin(2 * M_PI * a) * std::sin(M_PI * b)), float(std::cos(M_PI * b))};
    return b < 0.5 ? Point{1, float(2 * a - 1), float(4 * b - 1)}
                   : Point{-1, float(3.6 * a - 1.8), float(2 * b - 1.5)};
}

// Views 200 x 200 over [-2, 2] seen orthographically along x, both alike.
struct Scene
{
    PlotSetup setup;
    SurfaceModel model;
    std::array<Projection::ViewWindow, 2> windows;

    explicit Scene(int shape, std::array<DrawingSurface*, 2> views, bool solid = false)
    {
        setup.Options.Look.Hidden = true;
        setup.Options.Look.Solid = solid;
        if (solid) setup.Options.Look.Colouring = SurfaceLook::Colour::Depth;
        setup.Options.Look.Orthographic = true;
        setup.SpanX = 4;
        const int columns = 41, rows = 23;
        model.begin(setup, 0, 0xFFFFFF, columns, rows);
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < columns; ++i)
                if (shape == Sphere || j != rows / 2)
                    model.setPoint(i, j, shapePoint(shape, i, j, columns, rows));
        for (std::size_t v = 0; v < 2; ++v) {
            views[v]->setScale(-2, 2, 2, -2);
            windows[v] = {-2, 2, 2, -2};
        }
        model.finish(views, windows);
    }
};

Projection::ScreenPoint screen(const Point& p)
{
    return {p.y, p.y, p.z};
}
} // namespace

class TestHidden : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Random dots on the shape are set exactly where the independent model sees them.
    void dotsFollowTheDepthModel_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("plane behind plane") << int(PlaneBehindPlane);
        QTest::newRow("sphere") << int(Sphere);
    }
    void dotsFollowTheDepthModel()
    {
        QFETCH(int, shape);
        ImageSurface left(0, 200, 200), right(0, 200, 200);
        Scene scene(shape, {&left, &right});
        QRandomGenerator random(7);
        int checked = 0, wrong = 0;
        for (int k = 0; k < 2000; ++k) {
            const Point p = onShape(shape, random);
            const int expected = seen(shape, p);
            if (expected == 0) continue;
            right.setBackColor(0);
            scene.model.drawDot({&left, &right}, p, screen(p));
            const bool drawn = right.pixelColor(right.pixelX(p.y), right.pixelY(p.z)) != 0;
            wrong += drawn != (expected > 0);
            ++checked;
        }
        QVERIFY(checked > 1000);
        QCOMPARE(wrong, 0);
    }

    // A vector line across the far plane is split where the near square covers it.
    void vectorLinesSplitAtTheHiddenPart()
    {
        VectorSurface left(0, 200, 200), right(0, 200, 200);
        Scene scene(PlaneBehindPlane, {&left, &right});
        const Point a{-1, -1.8f, 0}, b{-1, 1.8f, 0};
        scene.model.drawSegment({&left, &right}, a, screen(a), b, screen(b));
        QCOMPARE(right.shapes().size(), std::size_t(2));
        const QPolygonF& first = right.shapes()[0].points;
        const QPolygonF& second = right.shapes()[1].points;
        // The square spans view pixels 50.5 to 150.5 across; a cell is half a pixel.
        QVERIFY2(std::fabs(first.last().x() - 50.5) < 1.5,
                 qPrintable(QString::number(first.last().x())));
        QVERIFY2(std::fabs(second.first().x() - 150.5) < 1.5,
                 qPrintable(QString::number(second.first().x())));
    }

    // The solid sphere fills its disc, and what shows is the near side's colour.
    void solidFillsInDepthOrder()
    {
        ImageSurface left(0, 200, 200), right(0, 200, 200);
        Scene scene(Sphere, {&left, &right}, true);
        scene.model.drawSolid({&left, &right});
        int filled = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                filled += right.pixelColor(x, y) != 0xFFFFFF;
        // The disc of radius 50 pixels, its polygonal outline a little inside.
        QVERIFY2(std::fabs(filled - M_PI * 2500) < 0.04 * M_PI * 2500,
                 qPrintable(QString::number(filled)));
        // Coloured by depth: the near side (yellow) covers the far one (purple) at the centre.
        QVERIFY2((right.pixelColor(100, 100) >> 8 & 0xFF) > 150,
                 qPrintable(QString::number(right.pixelColor(100, 100), 16)));
        // A raster keeps the nearer of two polygons, whichever comes last.
        const QPolygonF square({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}});
        const float nearDepths[] = {1, 1, 1, 1}, farDepths[] = {0, 0, 0, 0};
        right.polygon(square, 0xFF, nearDepths);
        right.polygon(square.translated(0.5, 0), 0xFF0000, farDepths);
        QCOMPARE(right.pixelColor(right.pixelX(0.75f), right.pixelY(0)), 0xFFu);
        QCOMPARE(right.pixelColor(right.pixelX(1.25f), right.pixelY(0)), 0xFF0000u);
    }

    // The grid follows the mesh's segments unless that costs more than a quarter of the mesh
    // lines' evaluations; without spaces there is none.
    void gridSize()
    {
        PlotSetup s;
        s.Spacexu = s.Spaceyv = 200;
        s.Segsxu = s.Segsyv = 10;
        qint32 columns = 0, rows = 0;
        QVERIFY(SurfaceModel::gridSize(s, columns, rows));
        QCOMPARE((QList<int>{columns, rows}), (QList<int>{401, 401}));
        s.Spacexu = 0;
        QVERIFY(!SurfaceModel::gridSize(s, columns, rows));
    }

    // The map keeps its order as brightness, so an anaglyph of it still shows height.
    void colourMapGrowsInBrightness()
    {
        int previous = -1;
        for (int k = 0; k <= 20; ++k) {
            const quint32 c = ColourMap::viridis(k / 20.0);
            const int grey = qGray(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
            QVERIFY2(grey > previous, qPrintable(QString::number(k)));
            previous = grey;
        }
        QCOMPARE(ColourMap::viridis(std::nan("")), ColourMap::viridis(-1));
        QCOMPARE(ColourMap::scaled(0x804020, 0.5), 0x402010u);
    }
};

QTEST_GUILESS_MAIN(TestHidden)
#include "test_hidden.moc"
