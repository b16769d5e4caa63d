#include "PlotFixture.h"

#include <cmath>

#include "render/LabelText.h"
#include "render/SvgDocument.h"
#include "render/SvgSurface.h"

#include <QCryptographicHash>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The default plot with dots, read by the fixture and drawn on a pair of views of the caller's
// making.
struct OtherViews
{
    PlotFixture f;
    std::unique_ptr<DrawingSurface> view[2];
    std::unique_ptr<PlotDriver> driver;

    ImageSurface& image(int i) { return static_cast<ImageSurface&>(*view[i]); }
    QList<RecordingSurface::Call> surfaceCalls(int i, RecordingSurface::Kind kind) const
    {
        return static_cast<const RecordingSurface&>(*view[i]).drawn(kind, f.surfaceColor());
    }
};

std::unique_ptr<OtherViews> plotOn(std::unique_ptr<DrawingSurface> left,
                                   std::unique_ptr<DrawingSurface> right)
{
    auto o = std::make_unique<OtherViews>();
    o->view[0] = std::move(left);
    o->view[1] = std::move(right);
    o->driver = std::make_unique<PlotDriver>(
        std::array<DrawingSurface*, 2>{o->view[0].get(), o->view[1].get()}, o->f.evaluator,
        o->f.class1, o->f.random, o->f.host, float(2 * std::atan(1.0)));
    o->f.fields.setChecked(QStringLiteral("chkDots"), true);
    return o->f.read() && o->driver->drawCaptured(o->f.setup) ? std::move(o) : nullptr;
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

// Pixels of `from` drawn where `to` has nothing within `reach` window pixels (400 to a view).
int uncovered(const QImage& from, const QImage& to, QRgb back, int reach)
{
    const double kf = from.width() / 400.0, kt = to.width() / 400.0;
    const auto lo = [&](int p) { return int(std::floor((p / kf - reach) * kt)); };
    const auto hi = [&](int p) { return int(std::ceil(((p + 1) / kf + reach) * kt)) - 1; };
    int missing = 0;
    for (int y = 0; y < from.height(); ++y)
        for (int x = 0; x < from.width(); ++x)
            if (from.pixel(x, y) != back)
                missing +=
                    inked(to, QRect(QPoint(lo(x), lo(y)), QPoint(hi(x), hi(y))), back) ? 0 : 1;
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

namespace {
double LabelWidth(const QString& text)
{
    return LabelText::box({}, text, LabelText::font(DrawingSurface::LabelPixelSize), Qt::AlignLeft)
        .width();
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
        if (scale == 1) {
            QCOMPARE(md5(big->image(0).image()), QByteArray("af8d1ddef96807520b87bb3c3917239e"));
            QCOMPARE(md5(big->image(1).image()), QByteArray("e5717ad283af57cf2ea46605924581b4"));
            return;
        }
        auto small = plotOn(std::make_unique<ImageSurface>(0, 400, 300),
                            std::make_unique<ImageSurface>(399, 400, 300));
        QVERIFY(small);
        const QRgb black = qRgb(0, 0, 0);
        for (int i = 0; i < 2; ++i) {
            const QImage one = small->image(i).image(), many = big->image(i).image();
            QCOMPARE(many.size(), size);
            QCOMPARE(big->image(i).width(), 400); // the geometry stays in window pixels
            QCOMPARE(uncovered(one, many, black, reach), 0);
            QCOMPARE(uncovered(many, one, black, reach), 0);
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
                ++view; // translate(x,0)
                shift = a.value("transform").toString().section(u',', 0, 0).mid(10).toDouble();
            } else if (xml.name() == u"circle") {
                ++circles;
            } else if (xml.name() == u"polyline") {
                dashed += a.hasAttribute("stroke-dasharray") ? 1 : 0;
                if (a.value("stroke") != u"#ffffff") continue;
                QList<QPointF> points;
                for (const QString& p : a.value("points").toString().split(u' '))
                    points.append(
                        {p.section(u',', 0, 0).toDouble() + shift, p.section(u',', 1).toDouble()});
                lines[view].append(points);
            }
        }
        QVERIFY(!xml.hasError());
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
                if (c.a[0] != lastX || c.a[1] != lastY) expected.append(place(c.a[0], c.a[1]));
                expected.append(place(c.a[2], c.a[3]));
                lastX = c.a[2];
                lastY = c.a[3];
            }
            for (const QList<QPointF>& l : lines[v])
                drawn += l;
            QCOMPARE(drawn.size(), expected.size());
            for (qsizetype i = 0; i < drawn.size(); ++i)
                QVERIFY((drawn[i] - expected[i]).manhattanLength() < 0.02);
        }
    }

    void vectorShapesJoinAndCut()
    {
        SvgSurface view(0, 400, 300);
        view.pset(10, 10, 0xFF);
        view.lineTo(50, 10, 0xFF); // the point joins the line
        view.line(50, 10, 50, 60, 0xFF);
        view.line(-1e30f, 100, 1e30f, 100, 0xFF); // cut a view beyond each edge
        view.line(NAN, 0, 10, 10, 0xFF);
        view.pset(1, 2, 0xFF0000);
        view.pset(3, 4, 0xFF0000);
        view.pset(1e9f, 4, 0xFF0000);
        view.label(100, 100, QStringLiteral("a<b"), 0xFF, Qt::AlignLeft | Qt::AlignBottom);
        const std::vector<VectorSurface::Shape>& shapes = view.shapes();
        QCOMPARE(shapes.size(), std::size_t(4));
        QCOMPARE(shapes[0].points, QPolygonF({{10.5, 10.5}, {50.5, 10.5}, {50.5, 60.5}}));
        QCOMPARE(shapes[1].points, QPolygonF({{-400, 100.5}, {800, 100.5}}));
        QCOMPARE(shapes[2].points.size(), 2); // the dots of one colour
        view.setFont(QStringLiteral("Times New Roman"), 18, true);
        view.printLine(QStringLiteral("Tavrigon"));
        const QByteArray text = view.group(QStringLiteral("v"), 0);
        QVERIFY(text.contains(">a&lt;b</text>") && text.contains("font-weight=\"bold\""));
        view.setPicture(QImage(4, 4, QImage::Format_RGB32));
        QVERIFY(view.group(QStringLiteral("v"), 0).contains("data:image/png;base64,"));
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
        ImageSurface image(0, 400, 300);
        image.setPixelScale(scale);
        VectorSurface vector(0, 400, 300);
        DrawingSurface& view = kind == 0 ? static_cast<DrawingSurface&>(image) : vector;
        view.setScale(-2, 1.5f, 2, -1.5f);
        view.label(0, 0, QStringLiteral("-1.5"), 0xFF, Qt::AlignCenter);
        view.label(2.5f, 0, QStringLiteral("out"), 0xFF, Qt::AlignCenter); // beyond the edge
        const QRect box = inkBox(view.image());
        // Centred on the point, about the label size high, some characters wide.
        const QPointF centre(200.5 * scale, 150.5 * scale);
        QVERIFY((QRectF(box).center() - centre).manhattanLength() < 3 * scale);
        QVERIFY(box.height() >= 6 * scale && box.height() <= 12 * scale &&
                box.width() >= 15 * scale && box.width() <= 40 * scale);
        // Over a line, the label's box is cleared: the line stops short of the text's ink.
        view.line(-2, -1, 2, -1, 0xFF00);
        view.label(0, -1, QStringLiteral("-1.5"), 0xFF, Qt::AlignCenter);
        const QImage under = view.image()
                                 .convertToFormat(QImage::Format_RGB32)
                                 .copy(box.translated(0, int(100 * scale)).adjusted(-1, -1, 1, 1));
        for (int i = 0; i < under.width() * under.height(); ++i)
            QVERIFY(under.pixel(i % under.width(), i / under.width()) != 0xFF00FF00u);
    }

    // A label is whole inside its view or absent: at an edge it moves inward, clear of the
    // frame (the sign stays), over an earlier label or larger than the view it is left out.
    // As in an image.
    void labelsWholeOrAbsent_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("shown"); // labels set, of the earlier "0" and this one
        QTest::addColumn<double>("left");
        QTest::newRow("left edge") << -2.0f << "-2" << 2 << 2.0;
        QTest::newRow("right edge") << 2.0f << "-2" << 2 << 398 - LabelWidth("-2");
        QTest::newRow("over the earlier") << 0.02f << "-2" << 1 << -1.0;
        QTest::newRow("wider than the view") << 1.0f << QString(80, QLatin1Char('8')) << 1 << -1.0;
    }
    void labelsWholeOrAbsent()
    {
        QFETCH(float, x);
        QFETCH(QString, text);
        QFETCH(int, shown);
        QFETCH(double, left);
        VectorSurface vector(0, 400, 300);
        ImageSurface image(0, 400, 300);
        for (DrawingSurface* view :
             {static_cast<DrawingSurface*>(&vector), static_cast<DrawingSurface*>(&image)}) {
            view->setScale(-2, 1.5f, 2, -1.5f);
            view->label(0, 0, QStringLiteral("0"), 0xFF, Qt::AlignCenter);
            view->label(x, 0, text, 0xFF, Qt::AlignCenter);
        }
        QCOMPARE(int(vector.shapes().size()), shown);
        const QRect ink = inkBox(image.image());
        if (shown == 2) {
            QCOMPARE(vector.shapes()[1].points[0].x(), left);
            QVERIFY(ink.left() > 1 && ink.right() < 398); // clear of the frame
        } else {
            QVERIFY(ink.width() < 12); // the "0" alone
        }
        vector.setBackColor(0); // erased: the place is free again
        vector.label(0.02f, 0, QStringLiteral("-2"), 0xFF, Qt::AlignCenter);
        QCOMPARE(int(vector.shapes().size()), 1);
    }
};

QTEST_MAIN(TestVectorSurfaces)
#include "test_vectorsurfaces.moc"
