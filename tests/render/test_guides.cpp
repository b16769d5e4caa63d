#include "PlotFixture.h"

#include "render/GuideDrawer.h"

#include <QtTest>

namespace {

using Call = PlotFixture::Call;
using Kind = PlotFixture::Kind;

// The guides alone of a plot (the surface switched off).
struct Guides : PlotFixture
{
    explicit Guides(const QStringList& changes)
    {
        apply(QStringList{"chkLines=0"} + changes);
        ok = draw();
    }
    bool ok = false;
    // Upright ticks standing at the height of the x and y ticks (Xorigin at the middle depth).
    int yTicks(int v) const
    {
        const float v0 = setup.Zorigin - setup.SpanZ / 20 / 2;
        int n = 0;
        for (const Call& c : view[v].drawn(Kind::LineRelative))
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
        QTest::newRow("grid 4") << QStringLiteral("4") << QList<float>{-1, 0, 1, -0.75f, 0, 0.75f};
        QTest::newRow("grid 0: none") << QStringLiteral("0") << QList<float>{};
        QTest::newRow("beyond the stroke limit") << QStringLiteral("2000000000") << QList<float>{};
    }
    void framesAndReferenceLines()
    {
        QFETCH(QString, grid);
        QFETCH(QList<float>, at);
        Guides g({"txtGrid=" + grid});
        QVERIFY(g.ok);
        for (int v = 0; v < 2; ++v) {
            // The frame, one pixel inside the right and bottom edges.
            QCOMPARE(g.view[v].drawn(Kind::Box),
                     QList<Call>({{Kind::Box,
                                   {-2, -1.5f + 3.0f / 300, 2 - 4.0f / 400, 1.5f},
                                   GuideDrawer::FrameColor,
                                   DrawingSurface::Solid}}));
            const QList<Call> lines = g.view[v].drawn(Kind::Line, GuideDrawer::ReferenceColor);
            QCOMPARE(lines.size(), at.size());
            for (int i = 0; i < lines.size(); ++i) {
                const int k = i < at.size() / 2 ? 0 : 1; // upright, then across
                QCOMPARE(lines[i].drawStyle, int(DrawingSurface::Dotted));
                QVERIFY(qAbs(lines[i].a[k] - at[i]) < 1e-6f && lines[i].a[k + 2] == lines[i].a[k]);
            }
        }
    }

    void loopCount()
    {
        // Strokes of For v = start To end Step step; -1 beyond the limit, for a zero step or a
        // bound that is not a number.
        const auto n = &GuideDrawer::loopCount;
        QCOMPARE(QList<qint64>({n(0, 10, 1), n(10, 0, 1), n(0, 9999, 1), n(0, 10000, 1), n(0, 1, 0),
                                n(float(qQNaN()), 1, 1), n(0, -10, -1)}),
                 QList<qint64>({11, 0, 10000, -1, -1, -1, 11}));
    }

    // The y ticks in each view: from the origin at whole divisions, or from the edge the origin
    // lies beyond; the origin's own tick twice (once per direction), with the two x ticks at
    // the origin where it is in view. 0.1 added twenty times in single precision passes 2: the
    // tick at the edge is not drawn.
    void yTicks_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("count");
        QTest::newRow("defaults") << QStringList{} << 6 + 2;
        QTest::newRow("repeated addition") << QStringList{"txtDivy=0.1"} << 40 + 2;
        QTest::newRow("origin left of the view") << QStringList{"txtYorigin=-3"} << 5;
        QTest::newRow("counted from the edge") << QStringList{"txtYorigin=-3", "txtDivy=0.7"} << 6;
    }
    void yTicks()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, count);
        Guides g(changes);
        QCOMPARE(g.yTicks(0), count);
        QCOMPARE(g.yTicks(1), count);
    }

    void tickColour()
    {
        for (int backclr : {0, 1}) {
            Guides g({QStringLiteral("optBackclr=%1").arg(backclr)});
            const quint32 color =
                backclr ? GuideDrawer::TickColorOnBlack : GuideDrawer::TickColorOnWhite;
            QVERIFY(!g.view[1].drawn(Kind::LineRelative).isEmpty());
            QCOMPARE(g.view[1].drawn(Kind::LineRelative, color),
                     g.view[1].drawn(Kind::LineRelative));
        }
    }

    void identicalViewsAtStereoZero()
    {
        for (const char* stereo : {"0", "1"}) {
            Guides g({QStringLiteral("txtStereo=") + stereo, "txtXorigin=0.8", "txtWindowlx=-1",
                      "txtWindowgx=4"});
            QVERIFY(g.view[0].calls.size() > 20);
            QCOMPARE(g.view[0].calls == g.view[1].calls, *stereo == '0');
        }
    }

    void verticalXAxis()
    {
        // Stereo -5 takes the slope out of the left view's x axis: no axis, no x ticks there;
        // the right view has both; the rest of the guides are in both.
        Guides g({"txtStereo=-5"});
        QVERIFY(g.allFinite(0));
        QCOMPARE(g.view[0].drawn(Kind::Line, GuideDrawer::AxisColor).size(), 2); // the y and z axes
        QCOMPARE(g.view[1].drawn(Kind::Line, GuideDrawer::AxisColor).size(), 3);
        QCOMPARE(g.yTicks(0), 6);
        QVERIFY(g.view[1].drawn(Kind::LineRelative).size() >
                g.view[0].drawn(Kind::LineRelative).size());
        QCOMPARE(g.view[0].drawn(Kind::Circle).size(), 1); // the mark
    }

    void bounded()
    {
        // Divisions of 1E-30 (too many strokes) draw no ticks along x, 4/19000 just under the
        // limit all of them; nothing drawn is out of the float range.
        for (const auto& [change, least, most] :
             {std::tuple{"txtDivx=1E-30", 10, 30}, {"txtDivy=4/19000", 19000, 19032}}) {
            Guides g({QString::fromLatin1(change)});
            const qsizetype ticks = g.view[0].drawn(Kind::LineRelative).size();
            QVERIFY2(ticks >= least && ticks <= most, qPrintable(QString::number(ticks)));
            QVERIFY(g.allFinite(0) && g.allFinite(1));
        }
    }
};

QTEST_MAIN(TestGuides)
#include "test_guides.moc"
