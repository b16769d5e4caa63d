#include "render/ImageSurface.h"

#include <QtTest>

#include <limits>

namespace {

constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Red = 0x0000FF; // &H00BBGGRR

// Pixels of `color` in the view.
int countPixels(const ImageSurface& view, quint32 color)
{
    int n = 0;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x)
            n += view.pixelColor(x, y) == color ? 1 : 0;
    return n;
}

// A view scaled like a plot of the default window: y -2..2 left to right, z 1.5..-1.5 top to
// bottom, 400 x 300 pixels, on white.
void scaleLikePlot(ImageSurface& view)
{
    view.setBackColor(White);
    view.setScale(-2, 1.5f, 2, -1.5f);
}

} // namespace

class TestImageSurface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void userScaleToPixels_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("px");
        QTest::addColumn<int>("py");
        const float pixelY = 4.0f / 400, pixelZ = 3.0f / 300;
        QTest::newRow("top left corner") << -2.0f << 1.5f << 0 << 0;
        QTest::newRow("frame's inset corner") << 2 - pixelY << -1.5f + pixelZ << 399 << 299;
        QTest::newRow("right edge is outside") << 2.0f << 0.0f << -1 << -1;
        QTest::newRow("not a number")
            << std::numeric_limits<float>::quiet_NaN() << 0.0f << -1 << -1;
    }
    void userScaleToPixels()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, px);
        QFETCH(int, py);
        ImageSurface view;
        scaleLikePlot(view);
        view.pset(x, y, Red);
        if (px < 0) {
            QCOMPARE(countPixels(view, Red), 0);
            return;
        }
        QCOMPARE(countPixels(view, Red), 1);
        QCOMPARE(view.pixelColor(px, py), Red);
    }

    void linePixelCounts_data()
    {
        // In pixel units (the default scale): both ends are drawn.
        QTest::addColumn<QRectF>("ends"); // (x1, y1) and (x2, y2) as left/top and width/height
        QTest::addColumn<int>("pixels");
        QTest::newRow("horizontal") << QRectF(10, 20, 9, 0) << 10;
        QTest::newRow("diagonal") << QRectF(5, 5, 20, 20) << 21;
        QTest::newRow("outside, crossing the corner's extension") << QRectF(-50, 10, 40, -60) << 0;
    }
    void linePixelCounts()
    {
        QFETCH(QRectF, ends);
        QFETCH(int, pixels);
        ImageSurface view;
        view.line(float(ends.left()), float(ends.top()), float(ends.right()), float(ends.bottom()),
                  Red);
        QCOMPARE(countPixels(view, Red), pixels);
    }

    void clippedLineKeepsTheVisiblePart_data()
    {
        QTest::addColumn<float>("far");
        QTest::newRow("at the float limit") << std::numeric_limits<float>::max();
    }
    void clippedLineKeepsTheVisiblePart()
    {
        QFETCH(float, far);
        ImageSurface view;
        scaleLikePlot(view);
        view.line(-far, 0, far, 0, Red); // across the middle, both ends outside
        view.line(0, far, 0, -far, Red); // down the middle
        QCOMPARE(countPixels(view, Red), 400 + 300 - 1);
        QCOMPARE(view.pixelColor(0, 150), Red);
        QCOMPARE(view.pixelColor(399, 150), Red);
        QCOMPARE(view.pixelColor(200, 0), Red);
        QCOMPARE(view.pixelColor(200, 299), Red);
    }

    void dottedLineSetsEveryOtherPixel()
    {
        ImageSurface view;
        view.setDrawStyle(DrawingSurface::Dotted);
        view.line(0, 10, 19, 10, Red);
        QCOMPARE(countPixels(view, Red), 10);
        QCOMPARE(view.pixelColor(0, 10), Red);
        QCOMPARE(view.pixelColor(1, 10), White);
        view.setDrawStyle(DrawingSurface::Solid);
        view.line(0, 20, 19, 20, Red);
        QCOMPARE(countPixels(view, Red), 30);
    }

    void circleFillFollowsFillStyle_data()
    {
        QTest::addColumn<int>("fillStyle");
        QTest::addColumn<quint32>("centre");
        QTest::newRow("solid") << int(DrawingSurface::FillSolid) << quint32(Red);
        QTest::newRow("transparent") << int(DrawingSurface::FillTransparent) << quint32(White);
    }
    void circleFillFollowsFillStyle()
    {
        QFETCH(int, fillStyle);
        QFETCH(quint32, centre);
        ImageSurface view;
        scaleLikePlot(view);
        view.setFillColor(Red);
        view.setFillStyle(fillStyle);
        view.circle(0, 0, 0.04f, Red); // radius in horizontal units: 4 pixels
        QCOMPARE(view.pixelColor(200, 150), centre);
        QCOMPARE(view.pixelColor(204, 150), Red);
        QCOMPARE(view.pixelColor(206, 150), White);
        // A circle at an absurd place or size draws nothing and does not fail.
        view.circle(1e30f, 0, 1, Red);
        view.circle(0, 0, std::numeric_limits<float>::infinity(), Red);
        QCOMPARE(view.pixelColor(100, 100), White);
    }

    void backColorErasesAndConvertsColours()
    {
        ImageSurface view;
        view.line(0, 0, 50, 0, Red);
        view.setBackColor(0);
        QCOMPARE(countPixels(view, 0), 400 * 300);
        view.pset(1, 1, 0x123456);
        const QRgb rgb = view.image().pixel(1, 1);
        QCOMPARE(qRed(rgb), 0x56);
        QCOMPARE(qGreen(rgb), 0x34);
        QCOMPARE(qBlue(rgb), 0x12);
        QCOMPARE(view.backColor(), quint32(0));
    }

    void resizeKeepsContentAndFillsTheRest()
    {
        ImageSurface view(399, 400, 300);
        view.setBackColor(0);
        view.pset(5, 5, Red);
        view.setGeometry(399, 200, 150);
        QCOMPARE(view.width(), 200);
        QCOMPARE(view.height(), 150);
        QCOMPARE(view.left(), 399);
        QCOMPARE(view.pixelColor(5, 5), Red);
        view.setGeometry(399, 400, 300);
        QCOMPARE(view.pixelColor(399, 299), quint32(0));
        QCOMPARE(countPixels(view, Red), 1);
        // With the default scale the pixel mapping follows the size.
        QCOMPARE(view.scaleWidth(), 400.0f);
        // A view of no size draws nothing and does not fail.
        view.setGeometry(0, 0, 0);
        view.line(-10, -10, 10, 10, Red);
        view.pset(0, 0, Red);
        view.printLine(QStringLiteral("x"));
        QVERIFY(view.image().isNull());
    }

    void pictureShowsUntilCleared()
    {
        ImageSurface view;
        QImage picture(400, 300, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(10, 10, qRgb(0, 0, 255));
        view.setPicture(picture);
        QCOMPARE(view.pixelColor(10, 10), quint32(0xFF0000));
        QCOMPARE(view.pixelColor(11, 10), White); // the background shows through
        view.setBackColor(0);
        QCOMPARE(view.pixelColor(10, 10),
                 quint32(0xFF0000)); // the picture lies over the background
        view.clearPicture();
        QCOMPARE(view.pixelColor(10, 10), quint32(0));
    }

    void rastersAgreeOnStraightLines_data()
    {
        QTest::addColumn<QRectF>("ends");
        QTest::newRow("horizontal") << QRectF(10, 20, 50, 0);
        QTest::newRow("clipped") << QRectF(-100, 150, 1000, 0);
    }
    void rastersAgreeOnStraightLines()
    {
        QFETCH(QRectF, ends);
        ImageSurface direct, painter;
        painter.setRaster(ImageSurface::Raster::Painter);
        for (ImageSurface* v : {&direct, &painter})
            v->line(float(ends.left()), float(ends.top()), float(ends.right()),
                    float(ends.bottom()), Red);
        QCOMPARE(painter.image(), direct.image());
    }
};

QTEST_MAIN(TestImageSurface)
#include "test_imagesurface.moc"
