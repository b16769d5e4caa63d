#include "PlotFixture.h"

#include "render/SvgDocument.h"
#include "render/SvgSurface.h"

#include <QCryptographicHash>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The default plot with dots, drawn on the given pair of views.
std::unique_ptr<PlotFixture> plotOn(std::unique_ptr<DrawingSurface> left,
                                    std::unique_ptr<DrawingSurface> right)
{
    auto f = std::make_unique<PlotFixture>(std::move(left), std::move(right));
    f->fields.setChecked(QStringLiteral("chkDots"), true);
    if (!f->plot()) return nullptr;
    return f;
}

QByteArray md5(const QImage& image)
{
    return QCryptographicHash::hash(QByteArrayView(image.constBits(), image.sizeInBytes()),
                                    QCryptographicHash::Md5)
        .toHex();
}

// Whether `image` holds a pixel other than `back` in the rectangle (clipped to the image).
bool inked(const QImage& image, QRect area, QRgb back)
{
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != back) return true;
    return false;
}

// Pixels of `from` drawn where `to`, shrunk to the size of `from`, has nothing within `reach`
// pixels of `from`.
int uncovered(const QImage& from, const QImage& to, QRgb back, int reach)
{
    const double sx = double(to.width()) / from.width(), sy = double(to.height()) / from.height();
    int missing = 0;
    for (int y = 0; y < from.height(); ++y)
        for (int x = 0; x < from.width(); ++x)
            if (from.pixel(x, y) != back) {
                const QRect near(
                    QPoint(int((x - reach) * sx), int((y - reach) * sy)),
                    QPoint(int((x + reach + 1) * sx) - 1, int((y + reach + 1) * sy) - 1));
                missing += inked(to, near, back) ? 0 : 1;
            }
    return missing;
}

// The ink of the image's pixels that differ from its top-left pixel.
QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0)) box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestVectorSurfaces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scaledPlot_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("lineWidth");
        QTest::addColumn<int>("reach"); // in window pixels: how far a line may move
        QTest::newRow("1: as drawn before scaling existed") << 1.0 << QSize(400, 300) << 1 << 0;
        QTest::newRow("4") << 4.0 << QSize(1600, 1200) << 4 << 1;
        QTest::newRow("2.5") << 2.5 << QSize(1000, 750) << 3 << 2;
    }
    void scaledPlot()
    {
        QFETCH(double, scale);
        QFETCH(QSize, size);
        QFETCH(int, lineWidth);
        QFETCH(int, reach);
        auto big = plotOn(std::make_unique<ImageSurface>(0, 400, 300, scale),
                          std::make_unique<ImageSurface>(399, 400, 300, scale));
        QVERIFY(big);
        QCOMPARE(big->image(0).lineWidth(), lineWidth);
        if (scale == 1) {
            QCOMPARE(md5(big->image(0).image()), QByteArray("af8d1ddef96807520b87bb3c3917239e"));
            QCOMPARE(md5(big->image(1).image()), QByteArray("e5717ad283af57cf2ea46605924581b4"));
            return;
        }
        auto small = plotOn(PlotFixture::makeView(PlotFixture::Views::Images, 0),
                            PlotFixture::makeView(PlotFixture::Views::Images, 399));
        QVERIFY(small);
        const QRgb black = qRgb(0, 0, 0);
        for (int i = 0; i < 2; ++i) {
            const QImage one = small->image(i).image(), many = big->image(i).image();
            QCOMPARE(many.size(), size);
            QCOMPARE(big->image(i).width(), 400); // the geometry stays in window pixels
            QCOMPARE(uncovered(one, many, black, reach), 0);
            // Back: each block drawn at scale holds ink drawn at scale 1 nearby.
            QImage blocks(one.size(), QImage::Format_RGB32);
            for (int y = 0; y < one.height(); ++y)
                for (int x = 0; x < one.width(); ++x) {
                    const QRect block(
                        QPoint(int(x * size.width() / 400.0), int(y * size.height() / 300.0)),
                        QPoint(int((x + 1) * size.width() / 400.0) - 1,
                               int((y + 1) * size.height() / 300.0) - 1));
                    blocks.setPixel(x, y, inked(many, block, black) ? qRgb(255, 255, 255) : black);
                }
            QCOMPARE(uncovered(blocks, one, black, reach), 0);
        }
        // The frame's left side fills the first lineWidth columns, and no more.
        ImageSurface& left = big->image(0);
        QCOMPARE(left.pixelColor(lineWidth - 1, size.height() / 3), quint32(0xC0C0));
        QCOMPARE(left.pixelColor(lineWidth, size.height() / 3), quint32(0));
    }

    void svgPolylinesLandOnTheMesh()
    {
        auto svg = plotOn(std::make_unique<SvgSurface>(0, 400, 300),
                          std::make_unique<SvgSurface>(399, 400, 300));
        auto rec = plotOn(std::make_unique<RecordingSurface>(0, 400, 300),
                          std::make_unique<RecordingSurface>(399, 400, 300));
        QVERIFY(svg && rec);
        SvgDocument doc(2);
        doc.addView(static_cast<SvgSurface&>(*svg->view[0]), 0);
        doc.addView(static_cast<SvgSurface&>(*svg->view[1]), 400);

        QXmlStreamReader xml(doc.toSvg());
        QList<QList<QPointF>> lines[2]; // the surface's polylines of each view, as placed
        int view = -1, circles = 0, dashed = 0;
        double shift = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == u"svg") {
                QCOMPARE(a.value("viewBox"), u"0 0 800 300");
                QCOMPARE(a.value("width"), u"1600");
            } else if (xml.name() == u"g" && a.hasAttribute("transform")) {
                ++view;
                const QString t = a.value("transform").toString();
                shift = t.mid(10, t.indexOf(u',') - 10).toDouble();
            } else if (xml.name() == u"circle") {
                ++circles;
            } else if (xml.name() == u"polyline") {
                dashed += a.hasAttribute("stroke-dasharray") ? 1 : 0;
                if (a.value("stroke") != u"#ffffff") continue;
                QList<QPointF> points;
                for (const QString& p : a.value("points").toString().split(u' ')) {
                    const int comma = p.indexOf(u',');
                    points.append({p.left(comma).toDouble() + shift, p.mid(comma + 1).toDouble()});
                }
                lines[view].append(points);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(view, 1);
        QCOMPARE(circles, 2);
        QCOMPARE(dashed, 2 * 2 * (5 - 1)); // Grid 5: four dotted lines each way per view

        // Each polyline is one unbroken mesh line: its points are the ends of successive
        // segments drawn, mapped from the window (-2..2, 1.5..-1.5) onto the view's pixels.
        for (int v = 0; v < 2; ++v) {
            QCOMPARE(lines[v].size(), 2 * 11);
            QList<QPointF> expected, drawn;
            float lastX = NAN, lastY = NAN;
            for (const RecordingSurface::Call& c : rec->surfaceCalls(v, RecordingSurface::Line)) {
                const auto place = [&](float x, float y) {
                    return QPointF((x + 2) * 100 + 0.5 + 400 * v, (1.5 - y) * 100 + 0.5);
                };
                if (c.fromX != lastX || c.fromY != lastY) expected.append(place(c.fromX, c.fromY));
                expected.append(place(c.toX, c.toY));
                lastX = c.toX;
                lastY = c.toY;
            }
            for (const QList<QPointF>& l : lines[v])
                drawn += l;
            QCOMPARE(drawn.size(), expected.size());
            for (qsizetype i = 0; i < drawn.size(); ++i)
                QVERIFY2((drawn[i] - expected[i]).manhattanLength() < 0.02,
                         qPrintable(QStringLiteral("point %1 of view %2").arg(i).arg(v)));
        }
    }

    void vectorShapesJoinAndCut()
    {
        SvgSurface view(0, 400, 300);
        view.pset(10, 10, 0xFF);
        view.lineTo(50, 10, 0xFF); // the point joins the line
        view.line(50, 10, 50, 60, 0xFF);
        view.line(50, 60, 70, 60, 0xFF00); // another colour
        view.setDrawStyle(DrawingSurface::Dotted);
        view.lineTo(90, 60, 0xFF00); // another style
        view.setDrawStyle(DrawingSurface::Solid);
        view.line(-1e30f, 100, 1e30f, 100, 0xFF); // cut a view beyond each edge
        view.line(NAN, 0, 10, 10, 0xFF);
        view.box(1, 1, 5, 5, 0xFF);
        view.pset(1, 2, 0xFF0000);
        view.pset(3, 4, 0xFF0000);
        view.pset(1e9f, 4, 0xFF0000);
        const std::vector<VectorSurface::Shape>& shapes = view.shapes();
        QCOMPARE(shapes.size(), std::size_t(6));
        QCOMPARE(shapes[0].points, QPolygonF({{10.5, 10.5}, {50.5, 10.5}, {50.5, 60.5}}));
        QVERIFY(shapes[2].dotted);
        QCOMPARE(shapes[3].points, QPolygonF({{-400, 100.5}, {800, 100.5}}));
        QCOMPARE(shapes[4].points.size(), 5);
        QCOMPARE(shapes[5].kind, VectorSurface::Shape::Dots);
        QCOMPARE(shapes[5].points.size(), 2);
        view.setBackColor(0);
        QVERIFY(view.shapes().empty());
    }

    void labelsReadAtEveryScale_data()
    {
        QTest::addColumn<int>("kind"); // 0 image, 1 vector image
        QTest::addColumn<double>("scale");
        QTest::newRow("image") << 0 << 1.0;
        QTest::newRow("image at scale 4") << 0 << 4.0;
        QTest::newRow("vector") << 1 << 1.0;
    }
    void labelsReadAtEveryScale()
    {
        QFETCH(int, kind);
        QFETCH(double, scale);
        std::unique_ptr<DrawingSurface> view;
        if (kind == 0) {
            auto image = std::make_unique<ImageSurface>(0, 400, 300);
            image->setPixelScale(scale);
            view = std::move(image);
        } else {
            view = std::make_unique<VectorSurface>(0, 400, 300);
        }
        view->setScale(-2, 1.5f, 2, -1.5f);
        view->label(0, 0, QStringLiteral("-1.5"), 0xFF, Qt::AlignCenter);
        view->label(1e30f, 0, QStringLiteral("far"), 0xFF, Qt::AlignCenter);
        const QRect box = inkBox(view->image());
        // Centred on the point, about the label size high, some characters wide.
        const QPointF centre(200.5 * scale, 150.5 * scale);
        QVERIFY2((QPointF(box.center()) - centre).manhattanLength() < 3 * scale,
                 qPrintable(QStringLiteral("%1,%2").arg(box.center().x()).arg(box.center().y())));
        QVERIFY(box.height() >= 6 * scale && box.height() <= 12 * scale);
        QVERIFY(box.width() >= 15 * scale && box.width() <= 40 * scale);
    }

    void svgTextIsEscaped()
    {
        SvgSurface view(0, 400, 300);
        view.label(100, 100, QStringLiteral("a<b"), 0xFF, Qt::AlignLeft | Qt::AlignBottom);
        view.setFont(QStringLiteral("Times New Roman"), 18, true);
        view.printLine(QStringLiteral("Tavrigon"));
        SvgDocument doc;
        doc.addView(view, 0);
        const QByteArray text = doc.toSvg();
        QVERIFY(text.contains(">a&lt;b</text>"));
        QVERIFY(text.contains("font-weight=\"bold\""));
        QXmlStreamReader xml(text);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY(!xml.hasError());
        view.setPicture(QImage(4, 4, QImage::Format_RGB32));
        QVERIFY(view.group(QStringLiteral("v"), 0).contains("data:image/png;base64,"));
    }
};

QTEST_MAIN(TestVectorSurfaces)
#include "test_vectorsurfaces.moc"
