#include "PlotFixture.h"

#include "render/GuideDrawer.h"

#include <QtTest>

namespace {

using Call = PlotFixture::Call;
using Kind = PlotFixture::Kind;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

// The guides alone of the plot of `fields` (the surface switched off).
struct Guides : PlotFixture
{
    void draw(const QList<std::pair<const char*, QString>>& changes)
    {
        check("chkLines", false);
        for (const auto& [control, text] : changes)
            set(control, text);
        QVERIFY(PlotFixture::draw());
    }
    QList<Call> of(int v, Kind kind, quint32 color) const
    {
        QList<Call> out;
        for (const Call& c : view[v].of(kind))
            if (c.color == color) out.append(c);
        return out;
    }
    // Upright ticks standing at height v0 (the x and y ticks sit at the axis origin's height).
    int uprightAt(int v, float v0) const
    {
        int n = 0;
        for (const Call& c : view[v].of(Kind::LineRelative))
            n += c.a[2] == 0 && c.a[1] == v0;
        return n;
    }
    bool allFinite(int v) const
    {
        for (const Call& c : view[v].calls)
            for (float a : c.a)
                if (!std::isfinite(a)) return false;
        return true;
    }
};

} // namespace

class TestGuides : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void framesAndReferenceLines_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QList<float>>("at"); // upright lines, then lines across
        QTest::newRow("grid 4") << "4" << QList<float>{-1, 0, 1, -0.75f, 0, 0.75f};
        QTest::newRow("grid 2") << "2" << QList<float>{0, 0};
        QTest::newRow("grid 0: none") << "0" << QList<float>{};
        QTest::newRow("beyond the stroke limit: none") << "2000000000" << QList<float>{};
    }
    void framesAndReferenceLines()
    {
        QFETCH(QString, grid);
        QFETCH(QList<float>, at);
        Guides g;
        g.draw({{"txtGrid", grid}});
        for (int v = 0; v < 2; ++v) {
            // The frame, one pixel inside the right and bottom edges.
            const QList<Call> boxes = g.view[v].of(Kind::Box);
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0], (Call{Kind::Box,
                                     {-2, -1.5f + 3.0f / 300, 2 - 4.0f / 400, 1.5f},
                                     GuideDrawer::FrameColor,
                                     DrawingSurface::Solid}));
            const QList<Call> lines = g.of(v, Kind::Line, GuideDrawer::ReferenceColor);
            QCOMPARE(lines.size(), at.size());
            for (int i = 0; i < lines.size(); ++i) {
                const bool upright = i < at.size() / 2;
                QCOMPARE(lines[i].drawStyle, int(DrawingSurface::Dotted));
                QVERIFY(qAbs(lines[i].a[upright ? 0 : 1] - at[i]) < 1e-6f);
                QCOMPARE(lines[i].a[upright ? 2 : 3], lines[i].a[upright ? 0 : 1]);
            }
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
        QTest::newRow("at the limit") << 0.0f << 9999.0f << 1.0f << qint64(10000);
        QTest::newRow("over the limit") << 0.0f << 10000.0f << 1.0f << qint64(-1);
        QTest::newRow("zero step") << 0.0f << 1.0f << 0.0f << qint64(-1);
        QTest::newRow("NaN start") << NaN << 1.0f << 1.0f << qint64(-1);
        QTest::newRow("infinite end") << 0.0f << Inf << 1.0f << qint64(-1);
    }
    void loopCount()
    {
        QFETCH(float, start);
        QFETCH(float, end);
        QFETCH(float, step);
        QFETCH(qint64, count);
        QCOMPARE(GuideDrawer::loopCount(start, end, step), count);
    }

    // The y ticks in each view: from the origin at whole divisions, or from the edge the origin
    // lies beyond; the origin's own tick twice (once per direction). 0.1 added twenty times in
    // single precision passes 2: the tick at the edge is not drawn.
    void yTicks_data()
    {
        QTest::addColumn<QString>("divy");
        QTest::addColumn<QString>("yorigin");
        QTest::addColumn<int>("count"); // with the two x ticks at the origin where it is in view
        QTest::newRow("defaults") << "1"
                                  << "0" << 6 + 2;
        QTest::newRow("repeated addition") << "0.1"
                                           << "0" << 40 + 2;
        QTest::newRow("origin left of the view") << "1"
                                                 << "-3" << 5;
        QTest::newRow("counted from the edge") << "0.7"
                                               << "-3" << 6;
    }
    void yTicks()
    {
        QFETCH(QString, divy);
        QFETCH(QString, yorigin);
        QFETCH(int, count);
        Guides g;
        g.draw({{"txtDivy", divy}, {"txtYorigin", yorigin}});
        const float v0 = g.setup.Zorigin - g.setup.SpanZ / 20 / 2; // Xorigin is the middle depth
        for (int v = 0; v < 2; ++v)
            QCOMPARE(g.uprightAt(v, v0), count);
    }

    void tickColour_data()
    {
        QTest::addColumn<int>("backclr");
        QTest::addColumn<quint32>("color");
        QTest::newRow("white background") << 0 << GuideDrawer::TickColorOnWhite;
        QTest::newRow("black background") << 1 << GuideDrawer::TickColorOnBlack;
    }
    void tickColour()
    {
        QFETCH(int, backclr);
        QFETCH(quint32, color);
        Guides g;
        g.fields.setOption(QStringLiteral("optBackclr"), backclr);
        g.draw({});
        for (const RecordingSurface& v : g.view) {
            QVERIFY(!v.of(Kind::LineRelative).isEmpty());
            for (const Call& c : v.of(Kind::LineRelative))
                QCOMPARE(c.color, color);
        }
    }

    void identicalViews_data()
    {
        QTest::addColumn<QString>("stereo");
        QTest::addColumn<bool>("guidesSame"); // all but the origin mark
        QTest::newRow("stereo 0") << "0" << true;
        QTest::newRow("stereo 1") << "1" << false;
    }
    void identicalViews()
    {
        QFETCH(QString, stereo);
        QFETCH(bool, guidesSame);
        Guides g;
        g.draw({{"txtStereo", stereo},
                {"txtXorigin", QStringLiteral("0.8")},
                {"txtWindowlx", QStringLiteral("-1")},
                {"txtWindowgx", QStringLiteral("4")}});
        const QList<Call> a = g.view[0].calls, b = g.view[1].calls;
        QVERIFY(a.size() > 20);
        QCOMPARE(a == b, guidesSame);
    }

    void verticalXAxis()
    {
        // Stereo -5 takes the slope out of the left view's x axis: no axis, no x ticks there;
        // the right view has both; the rest of the guides are in both.
        Guides g;
        g.draw({{"txtStereo", QStringLiteral("-5")}});
        QVERIFY(g.allFinite(0));
        QCOMPARE(g.of(0, Kind::Line, GuideDrawer::AxisColor).size(), 0);
        QCOMPARE(g.of(1, Kind::Line, GuideDrawer::AxisColor).size(), 1);
        const float v0 = g.setup.Zorigin - g.setup.SpanZ / 20 / 2;
        QCOMPARE(g.uprightAt(0, v0), 6);
        QVERIFY(g.view[1].of(Kind::LineRelative).size() > g.view[0].of(Kind::LineRelative).size());
        for (int v = 0; v < 2; ++v) {
            QCOMPARE(g.view[v].of(Kind::Circle).size(), 1);
            QCOMPARE(g.of(v, Kind::LineTo, GuideDrawer::AxisColor).size(), 2);
        }
    }

    void originMark()
    {
        // The mark at the origin of space follows the surface drawers: only the left view is
        // shifted; its radius is a hundredth of the view's width in user units.
        Guides g;
        g.draw({{"txtWindowlx", QStringLiteral("-1")},
                {"txtWindowgx", QStringLiteral("3")},
                {"txtStereo", QStringLiteral("3")}});
        const Call left = g.view[0].of(Kind::Circle).value(0);
        const Call right = g.view[1].of(Kind::Circle).value(0);
        QCOMPARE(right.a[0], 1 * g.setup.RatioYX); // depth 1: Xmid is 1
        QCOMPARE(left.a[0], 1 * (g.setup.RatioYX * 3 / 5) + right.a[0]);
        QCOMPARE(left.a[1], right.a[1]);
        QCOMPARE(left.a[2], 0.04f);
        QCOMPARE(left.color, GuideDrawer::AxisColor);
    }

    void bounded_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::newRow("Divx 1E-30") << "txtDivx"
                                    << "1E-30" << 10 << 30;
        QTest::newRow("Divx 0") << "txtDivx"
                                << "0" << 10 << 30;
        QTest::newRow("huge window") << "txtWindowgy"
                                     << "1E30" << 4 << 30;
        QTest::newRow("just under the limit") << "txtDivy"
                                              << "4/19000" << 19000 << 2 * 9501 + 30;
    }
    void bounded()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, least);
        QFETCH(int, most);
        Guides g;
        g.draw({{qPrintable(field), value}});
        for (int v = 0; v < 2; ++v) {
            const qsizetype ticks = g.view[v].of(Kind::LineRelative).size();
            QVERIFY2(ticks >= least && ticks <= most, qPrintable(QString::number(ticks)));
            QVERIFY(g.allFinite(v));
        }
    }
};

QTEST_MAIN(TestGuides)
#include "test_guides.moc"
