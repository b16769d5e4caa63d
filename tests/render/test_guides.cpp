#include "RecordingSurface.h"
#include "common/DefaultSetup.h"

#include "render/GuideDrawer.h"
#include "setup/FieldMap.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

using Call = RecordingSurface::Call;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

// The window's defaults, with the derived values computed as the field reader does.
struct Scene
{
    PlotSetup s;
    RenderState r;
    RecordingSurface view[2];
    FieldMap fields;

    Scene() : s(DefaultSetup()) {}

    void setWindow(const QList<float>& w)
    {
        std::tie(s.Windowlx, s.Windowgx, s.Windowly, s.Windowgy, s.Windowlz, s.Windowgz) =
            std::tuple(w[0], w[1], w[2], w[3], w[4], w[5]);
    }
    void setOrigin(const QList<float>& o)
    {
        std::tie(s.Xorigin, s.Yorigin, s.Zorigin) = std::tuple(o[0], o[1], o[2]);
    }
    void setDivisions(const QList<float>& d)
    {
        std::tie(s.Divx, s.Divy, s.Divz) = std::tuple(d[0], d[1], d[2]);
    }
    void setEyes(float left, float right)
    {
        std::tie(s.EyeFactor[0], s.EyeFactor[1]) = std::tuple(left, right);
    }

    // As the plot driver prepares the views before the guides.
    GuideDrawer drawer()
    {
        deriveSetup(s);
        for (RecordingSurface& v : view) {
            v.setScale(s.Windowly, s.Windowgz, s.Windowgy, s.Windowlz);
            v.clearCalls();
        }
        r.PixelY = s.SpanY / view[0].width();
        r.PixelZ = s.SpanZ / view[0].height();
        return GuideDrawer(s, r, {&view[0], &view[1]}, fields);
    }

    void drawAll() { drawer().drawAll(); }

    double ratio(int v) const { return double(s.RatioYX) * (1 + s.EyeFactor[v] / 5.0); }
    double projH(int v, double x, double y) const { return (s.Xmid - x) * ratio(v) + y; }
    double projV(double x, double z) const { return (s.Xmid - x) * s.RatioZX + z; }
    // Height of the strokes of the x and y ticks at the axes origin.
    float vTick() const
    {
        return (s.Xmid - s.Xorigin) * s.RatioZX + (s.Zorigin - s.SpanZ / 20.0f / 2);
    }
};

bool allFinite(const RecordingSurface& v)
{
    for (const Call& c : v.calls())
        for (float a : c.a)
            if (!std::isfinite(a)) return false;
    return true;
}

QList<Call> strokes(const RecordingSurface& v, RecordingSurface::Kind kind, quint32 color)
{
    QList<Call> out;
    for (const Call& c : v.callsOf(kind))
        if (c.color == color) out.append(c);
    return out;
}

QList<Call> verticalTicks(const RecordingSurface& v, quint32 color)
{
    QList<Call> out;
    for (const Call& c : strokes(v, RecordingSurface::LineRelative, color))
        if (c.a[2] == 0) out.append(c);
    return out;
}

struct Tick
{
    double h, v, dx, dy;
};

// The ticks a view must carry with the axes origin inside the window: along each axis at every
// division from the origin to both edges of the view, the origin's own tick twice.
QList<Tick> expectedTicks(const Scene& sc, int view)
{
    const PlotSetup& s = sc.s;
    const double tickY = s.SpanY / 20.0, tickZ = s.SpanZ / 20.0;
    QList<Tick> out;
    const auto along = [&](double from, double step, auto inView, auto add) {
        for (int dir : {1, -1})
            for (int k = 0; inView(from + dir * k * step); ++k)
                add(from + dir * k * step);
    };
    along(
        s.Xorigin, s.Divx,
        [&](double x) {
            const double h = sc.projH(view, x, s.Yorigin);
            return h >= s.Windowly && h <= s.Windowgy;
        },
        [&](double x) {
            out.append(
                {sc.projH(view, x, s.Yorigin), sc.projV(x, s.Zorigin) - tickZ / 2, 0, tickZ});
        });
    const double shiftH = sc.projH(view, s.Xorigin, 0);
    along(
        s.Yorigin, s.Divy,
        [&](double y) { return y + shiftH >= s.Windowly && y + shiftH <= s.Windowgy; },
        [&](double y) {
            out.append({y + shiftH, sc.projV(s.Xorigin, s.Zorigin) - tickZ / 2, 0, tickZ});
        });
    const double shiftV = sc.projV(s.Xorigin, 0);
    along(
        s.Zorigin, s.Divz,
        [&](double z) { return z + shiftV >= s.Windowlz && z + shiftV <= s.Windowgz; },
        [&](double z) {
            out.append({sc.projH(view, s.Xorigin, s.Yorigin) - tickY / 2, z + shiftV, tickY, 0});
        });
    return out;
}

QList<float> args(const Call& c)
{
    return QList<float>(std::begin(c.a), std::end(c.a));
}

bool near(double a, double b)
{
    return std::abs(a - b) <= 1e-4 * (1 + std::abs(b));
}

} // namespace

class TestGuides : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frames()
    {
        Scene sc;
        sc.drawer().DrawFrames();
        for (const RecordingSurface& v : sc.view) {
            const QList<Call> boxes = v.callsOf(RecordingSurface::Box);
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].color, GuideDrawer::FrameColor);
            QCOMPARE(boxes[0].drawStyle, int(DrawingSurface::Solid));
            QCOMPARE(args(boxes[0]),
                     (QList<float>{-2.0f, -1.5f + 3.0f / 300, 2.0f - 4.0f / 400, 1.5f}));
        }
    }

    void referenceLines_data()
    {
        QTest::addColumn<int>("grid");
        QTest::addColumn<QList<float>>("ys"); // vertical lines
        QTest::addColumn<QList<float>>("zs"); // horizontal lines

        QTest::newRow("grid 4: quarter points")
            << 4 << QList<float>{-1, 0, 1} << QList<float>{-0.75f, 0, 0.75f};
        QTest::newRow("grid 5") << 5 << QList<float>{-1.2f, -0.4f, 0.4f, 1.2f}
                                << QList<float>{-0.9f, -0.3f, 0.3f, 0.9f};
        QTest::newRow("grid 2: one each way") << 2 << QList<float>{0} << QList<float>{0};
        QTest::newRow("grid 0: none") << 0 << QList<float>{} << QList<float>{};
        QTest::newRow("grid beyond the stroke limit: none")
            << 2000000000 << QList<float>{} << QList<float>{};
    }
    void referenceLines()
    {
        QFETCH(int, grid);
        QFETCH(QList<float>, ys);
        QFETCH(QList<float>, zs);

        Scene sc;
        sc.s.Grid = grid;
        sc.drawer().DrawReferenceLines();
        for (const RecordingSurface& v : sc.view) {
            const QList<Call> lines = v.callsOf(RecordingSurface::Line);
            QCOMPARE(lines.size(), ys.size() + zs.size());
            for (int i = 0; i < lines.size(); ++i) {
                const Call& c = lines[i];
                QCOMPARE(c.color, GuideDrawer::ReferenceColor);
                QCOMPARE(c.drawStyle, int(DrawingSurface::Dotted));
                // Upright from the bottom to the top, then across from left to right.
                const bool upright = i < ys.size();
                const float at = upright ? ys[i] : zs[i - ys.size()];
                const QList<float> want =
                    upright ? QList<float>{at, -1.5f, at, 1.5f} : QList<float>{-2.0f, at, 2.0f, at};
                for (int k = 0; k < 4; ++k)
                    QVERIFY2(near(c.a[k], want[k]),
                             qPrintable(QStringLiteral("%1.%2").arg(i).arg(k)));
                QCOMPARE(c.a[upright ? 0 : 1], c.a[upright ? 2 : 3]);
            }
            QCOMPARE(v.drawStyle(), int(DrawingSurface::Solid));
        }
    }

    void loopCount_data()
    {
        QTest::addColumn<float>("start");
        QTest::addColumn<float>("end");
        QTest::addColumn<float>("step");
        QTest::addColumn<qint64>("count");

        QTest::newRow("ends included") << 0.0f << 10.0f << 1.0f << qint64(11);
        QTest::newRow("downwards") << 0.0f << -10.0f << -1.0f << qint64(11);
        QTest::newRow("start past the end") << 10.0f << 0.0f << 1.0f << qint64(0);
        QTest::newRow("one value") << 3.0f << 3.0f << 0.5f << qint64(1);
        QTest::newRow("at the limit") << 0.0f << 9999.0f << 1.0f << qint64(10000);
        QTest::newRow("over the limit") << 0.0f << 10000.0f << 1.0f << qint64(-1);
        QTest::newRow("tiny step") << 0.0f << 1.0f << 1e-30f << qint64(-1);
        QTest::newRow("zero step") << 0.0f << 1.0f << 0.0f << qint64(-1);
        QTest::newRow("NaN start") << NaN << 1.0f << 1.0f << qint64(-1);
        QTest::newRow("infinite end") << 0.0f << Inf << 1.0f << qint64(-1);
        QTest::newRow("widest floats") << -3e38f << 3e38f << 1e34f << qint64(-1);
    }
    void loopCount()
    {
        QFETCH(float, start);
        QFETCH(float, end);
        QFETCH(float, step);
        QFETCH(qint64, count);
        QCOMPARE(GuideDrawer::loopCount(start, end, step), count);
    }

    void ticksFromOrigin_data()
    {
        QTest::addColumn<QList<float>>("window"); // lx gx ly gy lz gz
        QTest::addColumn<QList<float>>("origin");
        QTest::addColumn<QList<float>>("div");
        QTest::addColumn<float>("stereo");
        QTest::addColumn<float>("eye1");

        QTest::newRow("defaults") << QList<float>{-2.5f, 2.5f, -2, 2, -1.5f, 1.5f}
                                  << QList<float>{0, 0, 0} << QList<float>{1, 1, 1} << 1.0f << 0.0f;
        // Off-centre window and origin, odd divisions, a right view with its own negative factor.
        QTest::newRow("off-centre, own factors")
            << QList<float>{-1, 3, -2, 2, -1.5f, 1.5f} << QList<float>{0.5f, 0.25f, -0.5f}
            << QList<float>{0.35f, 0.55f, 0.25f} << 2.0f << -1.5f;
    }
    void ticksFromOrigin()
    {
        QFETCH(QList<float>, window);
        QFETCH(QList<float>, origin);
        QFETCH(QList<float>, div);
        QFETCH(float, stereo);
        QFETCH(float, eye1);

        Scene sc;
        sc.setWindow(window);
        sc.setOrigin(origin);
        sc.setDivisions(div);
        sc.setEyes(stereo, eye1);
        sc.drawer().DrawDivisions();

        for (int view = 0; view < 2; ++view) {
            QList<Call> drawn = sc.view[view].callsOf(RecordingSurface::LineRelative);
            const QList<Tick> expected = expectedTicks(sc, view);
            QCOMPARE(drawn.size(), expected.size());
            for (const Tick& t : expected) {
                const auto match = std::find_if(drawn.begin(), drawn.end(), [&](const Call& c) {
                    return near(c.a[0], t.h) && near(c.a[1], t.v) && near(c.a[2], t.dx) &&
                           near(c.a[3], t.dy);
                });
                QVERIFY2(
                    match != drawn.end(),
                    qPrintable(
                        QStringLiteral("view %1: no tick at %2, %3").arg(view).arg(t.h).arg(t.v)));
                drawn.erase(match);
            }
        }
    }

    void repeatedAddition()
    {
        // 0.1 added twenty times in single precision passes 2: the tick at the edge is not drawn.
        Scene sc;
        sc.s.Divy = 0.1f;
        sc.drawer().DrawDivisions();
        const float v = sc.vTick();
        for (const RecordingSurface& view : sc.view) {
            qsizetype yTicks = 0;
            for (const Call& c : verticalTicks(view, GuideDrawer::TickColorOnBlack))
                yTicks += c.a[1] == v ? 1 : 0;
            QCOMPARE(yTicks - 2, qsizetype(40)); // less the two x ticks at the origin
        }
    }

    void yTicksFromEdge_data()
    {
        // The axes origin at y = -3, left of the view: the ticks run from its left edge -2.
        QTest::addColumn<float>("divy");
        QTest::addColumn<int>("count");
        QTest::newRow("whole divisions") << 1.0f << 5;
        QTest::newRow("counted from the edge") << 0.7f << 6;
    }
    void yTicksFromEdge()
    {
        QFETCH(float, divy);
        QFETCH(int, count);

        Scene sc;
        sc.s.Xorigin = 0.5f; // off the depth middle, so the y axis is shifted in each view
        sc.s.Yorigin = -3;
        sc.s.Divy = divy;
        sc.drawer().DrawDivisions();
        const float v = sc.vTick();
        for (const RecordingSurface& view : sc.view) {
            QList<float> hs;
            for (const Call& c : verticalTicks(view, GuideDrawer::TickColorOnBlack))
                if (c.a[1] == v && std::abs(c.a[0]) <= 2.0001f) // the x tick at the origin lies out
                    hs.append(c.a[0]);
            QCOMPARE(hs.size(), count);
            for (int k = 0; k < count; ++k)
                QVERIFY2(near(hs[k], -2 + k * divy), qPrintable(QString::number(k)));
        }
    }

    void xTicksSnapToDivisions_data()
    {
        QTest::addColumn<float>("yorigin");
        QTest::newRow("origin right of the view") << 3.0f;
        QTest::newRow("origin left of the view") << -3.0f;
    }
    void xTicksSnapToDivisions()
    {
        QFETCH(float, yorigin);
        const float divx = 0.7f;

        // The x ticks start at the division next to the edge the axis enters by (possibly one
        // division outside it) and run at whole divisions from the origin to the far edge.
        Scene sc;
        sc.s.Yorigin = yorigin;
        sc.s.Divx = divx;
        sc.drawer().DrawDivisions();
        const float vy = sc.vTick();
        for (int view = 0; view < 2; ++view) {
            const double ratio = sc.ratio(view);
            const double nearEdge = yorigin > 0 ? sc.s.Windowgy : sc.s.Windowly;
            const double farEdge = yorigin > 0 ? sc.s.Windowly : sc.s.Windowgy;
            const double xNear = (yorigin - nearEdge) / ratio, xFar = (yorigin - farEdge) / ratio;
            const int sign = yorigin > 0 ? 1 : -1;
            const int first = sign * int(std::floor(std::abs(xNear) / divx));
            const int last = sign * int(std::floor(std::abs(xFar) / divx));
            QList<float> hs;
            for (const Call& c : verticalTicks(sc.view[view], GuideDrawer::TickColorOnBlack))
                if (c.a[1] != vy)
                    hs.append(c.a[0]); // the y ticks stand at the axis origin's height
            QCOMPARE(hs.size(), sign * (last - first) + 1);
            for (int i = 0; i < hs.size(); ++i)
                QVERIFY2(near(hs[i], sc.projH(view, (first + sign * i) * double(divx), yorigin)),
                         qPrintable(QStringLiteral("view %1 tick %2").arg(view).arg(i)));
        }
    }

    void tickColour_data()
    {
        QTest::addColumn<int>("backclr");
        QTest::addColumn<quint32>("color");
        QTest::newRow("white background") << 0 << quint32(0x8000);
        QTest::newRow("black background") << 1 << quint32(0xFF00);
    }
    void tickColour()
    {
        QFETCH(int, backclr);
        QFETCH(quint32, color);

        Scene sc;
        sc.fields.setOption(QStringLiteral("optBackclr"), backclr);
        sc.drawAll();
        for (const RecordingSurface& v : sc.view) {
            const QList<Call> ticks = v.callsOf(RecordingSurface::LineRelative);
            QVERIFY(!ticks.isEmpty());
            for (const Call& c : ticks) {
                QCOMPARE(c.color, color);
                QCOMPARE(c.drawStyle, int(DrawingSurface::Solid));
            }
        }
    }

    void axes()
    {
        Scene sc;
        sc.s.Xorigin = 0.4f;
        sc.s.Yorigin = -0.3f;
        sc.s.Zorigin = 0.2f;
        sc.drawer().DrawAxes();
        for (int view = 0; view < 2; ++view) {
            const RecordingSurface& v = sc.view[view];
            const double orgH = sc.projH(view, 0.4, -0.3), orgV = sc.projV(0.4, 0.2);

            const QList<Call> xAxis = strokes(v, RecordingSurface::Line, GuideDrawer::AxisColor);
            QCOMPARE(xAxis.size(), 1);
            const Call& x = xAxis[0];
            QCOMPARE(x.a[0], -2.0f);
            QCOMPARE(x.a[2], 2.0f);
            // Through the origin, along the projection of the x direction.
            QVERIFY(near(x.a[1] + (orgH + 2) * (x.a[3] - x.a[1]) / 4, orgV));
            QVERIFY(near((x.a[3] - x.a[1]) / 4, sc.s.RatioZX / sc.ratio(view)));

            const QList<Call> to = strokes(v, RecordingSurface::LineTo, GuideDrawer::AxisColor);
            QCOMPARE(to.size(), 2);
            QVERIFY(to[0].fromX == -2.0f && to[0].toX == 2.0f); // y axis, across
            QVERIFY(near(to[0].fromY, orgV) && to[0].fromY == to[0].toY);
            QVERIFY(to[1].fromY == -1.5f && to[1].toY == 1.5f); // z axis, upright
            QVERIFY(near(to[1].fromX, orgH) && to[1].fromX == to[1].toX);
        }
    }

    void identicalViews_data()
    {
        QTest::addColumn<float>("stereo");
        QTest::addColumn<float>("eye1");
        QTest::addColumn<float>("xorigin");
        QTest::addColumn<bool>("guidesSame"); // all but the origin mark
        QTest::addColumn<bool>("markSame");

        QTest::newRow("stereo 0, origin off-centre") << 0.0f << 0.0f << 0.8f << true << true;
        // The mark follows the surface drawers: only the left view is shifted.
        QTest::newRow("equal factors") << 2.0f << 2.0f << 0.8f << true << false;
        QTest::newRow("stereo 1") << 1.0f << 0.0f << 0.8f << false << false;
    }
    void identicalViews()
    {
        QFETCH(float, stereo);
        QFETCH(float, eye1);
        QFETCH(float, xorigin);
        QFETCH(bool, guidesSame);
        QFETCH(bool, markSame);

        Scene sc;
        sc.setEyes(stereo, eye1);
        sc.s.Xorigin = xorigin;
        sc.s.Yorigin = 0.3f;
        sc.setWindow({-1, 4, -2, 2, -1.5f, 1.5f}); // the origin of space away from the middle depth
        sc.drawAll();

        const QList<Call>& a = sc.view[0].calls();
        const QList<Call>& b = sc.view[1].calls();
        QVERIFY(a.size() > 20);
        QCOMPARE(a.size(), b.size());
        bool guides = true, mark = true;
        for (int i = 0; i < a.size(); ++i) {
            QCOMPARE(a[i].kind, b[i].kind);
            QCOMPARE(a[i].color, b[i].color);
            QCOMPARE(a[i].drawStyle, b[i].drawStyle);
            QCOMPARE(a[i].fillStyle, b[i].fillStyle);
            (a[i].kind == RecordingSurface::Circle ? mark : guides) &= args(a[i]) == args(b[i]);
        }
        QCOMPARE(guides, guidesSame);
        QCOMPARE(mark, markSame);
    }

    void verticalXAxis_data()
    {
        QTest::addColumn<float>("stereo");
        QTest::addColumn<float>("eye1");
        QTest::addColumn<int>("view"); // the view with no slope
        QTest::addColumn<float>("xorigin");

        QTest::newRow("stereo -5") << -5.0f << 0.0f << 0 << 0.0f;
        QTest::newRow("right factor -5") << 1.0f << -5.0f << 1 << -0.6f;
    }
    void verticalXAxis()
    {
        QFETCH(float, stereo);
        QFETCH(float, eye1);
        QFETCH(int, view);
        QFETCH(float, xorigin);

        // A view drawn before with a slope leaves nothing for the one without.
        Scene sc;
        sc.setEyes(stereo, eye1);
        sc.s.Xorigin = xorigin;
        sc.drawAll();

        const int other = 1 - view;
        QVERIFY(allFinite(sc.view[view]));
        QCOMPARE(strokes(sc.view[view], RecordingSurface::Line, GuideDrawer::AxisColor).size(), 0);
        QCOMPARE(strokes(sc.view[other], RecordingSurface::Line, GuideDrawer::AxisColor).size(), 1);

        // Only the y ticks stand upright: six at the whole divisions of -2 to 2.
        const QList<Call> upright = verticalTicks(sc.view[view], GuideDrawer::TickColorOnBlack);
        QCOMPARE(upright.size(), 6);
        for (const Call& c : upright)
            QCOMPARE(c.a[1], sc.vTick());
        QVERIFY(verticalTicks(sc.view[other], GuideDrawer::TickColorOnBlack).size() > 6);

        // The rest of the guides are there.
        QCOMPARE(sc.view[view].callsOf(RecordingSurface::Circle).size(), 1);
        QCOMPARE(strokes(sc.view[view], RecordingSurface::LineTo, GuideDrawer::AxisColor).size(),
                 2);
    }

    void originMark_data()
    {
        QTest::addColumn<QList<float>>("window"); // lx gx ly gy lz gz
        QTest::addColumn<QList<float>>("origin");
        QTest::addColumn<float>("stereo");

        QTest::newRow("centred window")
            << QList<float>{-2.5f, 2.5f, -2, 2, -1.5f, 1.5f} << QList<float>{0, 0, 0} << 1.0f;
        QTest::newRow("axes origin elsewhere, stereo 3")
            << QList<float>{-1, 3, -1, 5, -1.5f, 1.5f} << QList<float>{-0.5f, 2, -1} << 3.0f;
    }
    void originMark()
    {
        QFETCH(QList<float>, window);
        QFETCH(QList<float>, origin);
        QFETCH(float, stereo);

        Scene sc;
        sc.setWindow(window);
        sc.setOrigin(origin);
        sc.setEyes(stereo, 2); // the right factor is ignored: the mark follows the surface drawers
        sc.drawer().DrawOriginMark();

        const double depth = sc.s.Xmid;
        const double right = depth * sc.s.RatioYX;
        const double left = right + depth * sc.s.RatioYX * stereo / 5;
        for (int view = 0; view < 2; ++view) {
            const RecordingSurface& v = sc.view[view];
            const QList<Call> circles = v.callsOf(RecordingSurface::Circle);
            QCOMPARE(circles.size(), 1);
            const Call& c = circles[0];
            QVERIFY(near(c.a[0], view == 0 ? left : right));
            QVERIFY(near(c.a[1], depth * sc.s.RatioZX));
            QVERIFY(near(c.a[2], sc.s.SpanY / 100.0));
            QCOMPARE(c.color, GuideDrawer::AxisColor);
            QCOMPARE(c.fillColor, GuideDrawer::AxisColor);
            QCOMPARE(c.fillStyle, int(DrawingSurface::FillSolid));
            QCOMPARE(v.fillColor(), quint32(0));
            QCOMPARE(v.fillStyle(), int(DrawingSurface::FillTransparent));
        }
    }

    void bounded_data()
    {
        QTest::addColumn<QList<float>>("div");
        QTest::addColumn<QList<float>>("origin");
        QTest::addColumn<float>("centre"); // of the window in y
        QTest::addColumn<float>("span");
        QTest::addColumn<int>("maxPerView");
        QTest::addColumn<int>("minPerView");

        const QList<float> o{0, 0, 0};
        QTest::newRow("Divx 1E-30") << QList<float>{1e-30f, 1, 1} << o << 0.0f << 4.0f << 30 << 10;
        QTest::newRow("all 1E-30")
            << QList<float>{1e-30f, 1e-30f, 1e-30f} << o << 0.0f << 4.0f << 10 << 0;
        QTest::newRow("Divx 0") << QList<float>{0, 1, 1} << o << 0.0f << 4.0f << 30 << 10;
        QTest::newRow("Divx NaN") << QList<float>{NaN, 1, 1} << o << 0.0f << 4.0f << 30 << 10;
        QTest::newRow("Xorigin NaN")
            << QList<float>{1, 1, 1} << QList<float>{NaN, 0, 0} << 0.0f << 4.0f << 10 << 0;
        QTest::newRow("huge window") << QList<float>{1, 1, 1} << o << 0.0f << 1e30f << 10 << 4;
        // Adding 1 to 1E8 leaves it unchanged in single precision.
        QTest::newRow("addition stalls")
            << QList<float>{1, 1, 1} << QList<float>{0, 1e8f, 0} << 1e8f << 4096.0f << 30 << 6;
        QTest::newRow("just under the limit")
            << QList<float>{1, 4.0f / 19000, 1} << o << 0.0f << 4.0f << 2 * 9501 + 30 << 19000;
    }
    void bounded()
    {
        QFETCH(QList<float>, div);
        QFETCH(QList<float>, origin);
        QFETCH(float, centre);
        QFETCH(float, span);
        QFETCH(int, maxPerView);
        QFETCH(int, minPerView);

        Scene sc;
        sc.setWindow({-2.5f, 2.5f, centre - span / 2, centre + span / 2, -1.5f, 1.5f});
        sc.setDivisions(div);
        sc.setOrigin(origin);
        sc.drawAll();
        for (const RecordingSurface& v : sc.view) {
            const qsizetype ticks = v.callsOf(RecordingSurface::LineRelative).size();
            QVERIFY2(ticks >= minPerView && ticks <= maxPerView,
                     qPrintable(QString::number(ticks)));
            QVERIFY(allFinite(v));
            QCOMPARE(v.callsOf(RecordingSurface::Box).size(), 1);
            QCOMPARE(v.callsOf(RecordingSurface::Circle).size(), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestGuides)
#include "test_guides.moc"
