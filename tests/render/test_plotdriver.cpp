#include "PlotFixture.h"
#include "common/PixelCount.h"

#include "render/RenderState.h"
#include "render/SampleCache.h"

#include <QtTest>

namespace {

using Call = PlotFixture::Call;
using Kind = PlotFixture::Kind;

constexpr int FullMesh = 2 * 11 * 20; // default 10 x 2 segments each way
constexpr double MeshPoints = 2 * 11 * 21;

// The mesh segments when a sample point (a, b) has a value exactly where `good` says: a
// segment joins two successive good points of one line. The grid is walked as the drawers
// walk it, by repeated single-precision addition.
int expectedSegments(const PlotSetup& s, const std::function<bool(float, float)>& good)
{
    int n = 0;
    for (const bool alongB : {true, false}) {
        const float lineStep = alongB ? s.StepXu : s.StepYv, step = alongB ? s.SegYv : s.SegXu;
        float fixed = (alongB ? s.Rangelxu : s.Rangelyv) - lineStep;
        for (int i = 0; i <= 10; ++i) {
            fixed = fixed + lineStep;
            float moving = (alongB ? s.Rangelyv : s.Rangelxu) - step;
            bool previous = false;
            for (int j = 0; j <= 20; ++j) {
                moving = moving + step;
                const bool now = alongB ? good(fixed, moving) : good(moving, fixed);
                n += previous && now;
                previous = now;
            }
        }
    }
    return n;
}

} // namespace

class TestPlotDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reductionFactor()
    {
        // Rounded to even, at least one pixel; the left view keeps its right edge, the right
        // view its left edge; a factor above 1 is taken as 1.
        PlotFixture f;
        RenderState layout{false, 0, 400, 300, 300, 0};
        f.apply({"txtReduce=3/32"});
        QVERIFY(f.read());
        f.driver.prepareViews(f.setup, layout);
        QCOMPARE(QList<int>({f.view[0].left(), f.view[0].width(), f.view[0].height()}),
                 QList<int>({362, 38, 28}));
        QCOMPARE(QList<int>({f.view[1].left(), layout.ReducedWidth}), QList<int>({399, 38}));
        QCOMPARE(PlotDriver::reducedSize(1e-30f, 400), 1);
        f.setup.Reduce = 3;
        f.driver.prepareViews(f.setup, layout);
        QCOMPARE(QList<float>({f.setup.Reduce, float(f.view[0].width())}), QList<float>({1, 400}));
    }

    void optionsAreCaptured()
    {
        PlotFixture f;
        f.apply({"optBackclr=0", "chkPersist=1"});
        QVERIFY(f.read());
        // Controls changed after the read do not reach the drawing.
        f.apply({"optBackclr=1", "chkPersist=0", "chkLines=0"});
        QVERIFY(f.driver.drawCaptured(f.setup));
        for (const RecordingSurface& v : f.view)
            QVERIFY(v.backColor() == 0xFFFFFF && v.autoRedraw());
        QCOMPARE(f.surface(1, Kind::Line).size(), FullMesh);
        QCOMPARE(f.host.ended, 1);
    }

    void capturedPlotAtAnySize()
    {
        // The same captured plot on views twice the size: the same calls in user units.
        PlotFixture f;
        f.apply({"txtXrot=30"});
        QVERIFY(f.draw());
        RecordingSurface left(0, 800, 600), right(0, 800, 600);
        NullDrawHost host;
        PlotDriver big({&left, &right}, f.evaluator, f.class1, f.random, host, 2 * std::atan(1.0f));
        QVERIFY(big.drawCaptured(f.setup));
        QCOMPARE(left.drawn(-1, f.surfaceColor()), f.surface(0));
        // The strokes are a pixel wide at either size: twice as many surface pixels, or so.
        const QColor surface = f.surfaceColor() ? Qt::white : Qt::black;
        const int small = countPixels(f.view[1].image(), surface, 0);
        QVERIFY(small > 1000 && countPixels(right.image(), surface, 0) > 3 * small / 2);
    }

    // Segments per view; identical views exactly at Stereo 0.
    void mesh_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("segments");
        QTest::addColumn<float>("firstH"); // x = -1 at depth 1 projects to 0.8 + y (+ Ytr)
        QTest::newRow("defaults") << QStringList{} << FullMesh << -0.2f;
        // Two lines of constant x of 20 segments, 11 lines of constant y of one segment.
        QTest::newRow("one spacing, one segment")
            << QStringList{"txtSpacexu=1", "txtSegsxu=1"} << 2 * 20 + 11 << -0.2f;
        QTest::newRow("translated") << QStringList{"txtYtr=0.5"} << FullMesh << 0.3f;
        QTest::newRow("stereo 0, rotated, dots")
            << QStringList{"txtStereo=0", "txtYrot=20", "chkDots=1"} << FullMesh << float(qQNaN());
    }
    void mesh()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, segments);
        QFETCH(float, firstH);
        PlotFixture f;
        f.apply(changes);
        QVERIFY(f.draw());
        QCOMPARE(f.surface(0, Kind::Line).size(), segments);
        QCOMPARE(f.surface(1, Kind::Line).size(), segments);
        if (!qIsNaN(firstH)) QCOMPARE(f.surface(1, Kind::Line).first().a[0], firstH);
        QCOMPARE(f.view[0].image() == f.view[1].image(), f.setup.stereo() == 0);
    }

    // Where a sample point has no value the segments through it are left out; the rest of the
    // mesh is drawn. A parametric x(u,v) that fails breaks the lines the same way in (u, v).
    void failingRegionLeavesItsSegmentsOut_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("region");
        QTest::newRow("hole") << QStringList{"txtEquationZ=1 / Sqr(x * x + y * y - 0.09)"} << 0;
        QTest::newRow("half plane") << QStringList{"txtEquationZ=Sqr(x - 0.3) + y"} << 1;
        // z is -3e38 where y > 0; the translation takes those points beyond the float range.
        QTest::newRow("projection overflow")
            << QStringList{"txtEquationZ=3e38 * (y > 0)", "txtZtr=-3e38"} << 2;
        QTest::newRow("parametric x")
            << QStringList{"chkParametric=1", "txtEquationX=v + 0 * Sqr(u - 0.3)"} << 1;
    }
    void failingRegionLeavesItsSegmentsOut()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, region);
        const std::function<bool(float, float)> regions[] = {
            [](float x, float y) { return double(x) * x + double(y) * y - 0.09 > 0; },
            [](float x, float) { return double(x) - 0.3 >= 0; },
            [](float, float y) { return !(double(y) > 0); },
        };
        PlotFixture f;
        f.apply(changes);
        QVERIFY(f.draw());
        const int expected = expectedSegments(f.setup, regions[region]);
        QVERIFY(expected > 0 && expected < FullMesh);
        QCOMPARE(f.surface(0, Kind::Line).size(), expected);
        QCOMPARE(f.surface(1, Kind::Line).size(), expected);
    }

    // The drawer error rule: a point failure leaves the point out and goes on, any other error
    // stops the drawer; Class1's own number wins. Parametric dots where z fails are left out.
    void drawerErrorRule_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<qint32>("error");
        QTest::addColumn<int>("dots"); // -1: some, not all
        QTest::newRow("invalid argument") << QStringList{"txtEquationZ=Sqr(x)"} << 5 << -1;
        QTest::newRow("overflow") << QStringList{"txtEquationZ=Exp(-1000 * x)"} << 6 << -1;
        QTest::newRow("Class1's number") << QStringList{"txtEquationZ=Acosh(x + 1)"} << 5 << -1;
        QTest::newRow("type mismatch stops") << QStringList{"txtEquationZ=x + \"a\""} << 13 << 0;
        QTest::newRow("parametric")
            << QStringList{"chkParametric=1", "txtEquationZ=Sqr(u) + x"} << 5 << -1;
        QTest::newRow("parametric everywhere") << QStringList{"chkParametric=1"} << 0 << 5000;
    }
    void drawerErrorRule()
    {
        QFETCH(QStringList, changes);
        QFETCH(qint32, error);
        QFETCH(int, dots);
        PlotFixture f;
        f.apply(QStringList{"chkDots=1"} + changes);
        QVERIFY(f.draw()); // a drawer that stops ends only itself
        QCOMPARE(f.driver.evaluationError(), error);
        QCOMPARE(f.class1.ierr, 0);
        const qsizetype drawn = f.surface(1, Kind::PSet).size();
        QCOMPARE(f.surface(0, Kind::PSet).size(), drawn);
        QVERIFY(dots < 0 ? drawn > 1000 && drawn < 4000 : drawn == dots);
        QCOMPARE(f.surface(1, Kind::Line).isEmpty(), dots == 0);
        QCOMPARE(f.host.ended, dots ? 1 : 3); // the pointer, once per stopped drawer too
    }

    void parametricMeshMatchesTheExplicitMesh_data()
    {
        QTest::addColumn<QString>("xrot");
        QTest::addColumn<QString>("yder");
        QTest::newRow("untransformed") << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("rotated, Zy") << QStringLiteral("30") << QStringLiteral("1");
    }
    void parametricMeshMatchesTheExplicitMesh()
    {
        QFETCH(QString, xrot);
        QFETCH(QString, yder);
        PlotFixture plain, param;
        for (PlotFixture* f : {&plain, &param})
            f->apply({"txtXrot=" + xrot, "txtYder=" + yder});
        param.apply({"chkParametric=1"});
        QVERIFY(plain.draw());
        QVERIFY(param.draw());
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(param.view[i].image(), plain.view[i].image());
            QCOMPARE(plain.surface(i, Kind::Line).size(), FullMesh);
        }
    }

    // Mesh lines evaluated a batch at a time draw what point-by-point evaluation draws (the
    // same z made unbatchable by adding 0 times a method call), failures and their
    // notifications included, and leave the engine's variables alike.
    void batchDrawsAsSingle_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("betweenFamilies"); // a statement run by the events there
        QTest::newRow("pole") << QStringList{"txtEquationZ=1/Sqr(0.5-x*x-y*y)", "chkDots=1"}
                              << QString();
        QTest::newRow("Zxy high near a border")
            << QStringList{"txtEquationZ=Sqr(x+y)", "txtXder=1", "txtYder=1", "optAccuracy=1"}
            << QString();
        QTest::newRow("Zxx med, rotated")
            << QStringList{"txtEquationZ=Log(x+0.8)*y", "txtXder=2", "txtZrot=30"} << QString();
        QTest::newRow("parametric, failing x and y")
            << QStringList{"chkParametric=1", "txtEquationX=Sqr(v-0.3)", "txtEquationY=1/(u-0.5)",
                           "txtEquationZ=x*y/(v-0.7)"}
            << QString();
        QTest::newRow("parametric Zy high, dots")
            << QStringList{"chkParametric=1", "chkDots=1", "txtYder=1", "optAccuracy=1",
                           "txtEquationZ=u*v+x*Sqr(y)"}
            << QString();
        // A constant that becomes a string cannot be batched: the second family goes point by
        // point and sees the new value.
        QTest::newRow("constant changed by events")
            << QStringList{"txtEquationZ=c*x*y"} << QStringLiteral("c = \"-2\"");
    }
    void batchDrawsAsSingle()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, betweenFamilies);
        PlotFixture batch, single;
        for (PlotFixture* f : {&batch, &single}) {
            f->apply(changes);
            f->run(QStringLiteral("c = 1"));
            f->host.onEvents = [f, betweenFamilies](int call) {
                if (call == 2 && !betweenFamilies.isEmpty()) f->run(betweenFamilies);
            };
        }
        single.apply({single.fields.text(QStringLiteral("txtEquationZ")).prepend("txtEquationZ=") +
                      "+0*Sinh(0)"});
        QVERIFY(batch.draw());
        QVERIFY(single.draw());
        QCOMPARE(batch.evaluator.batchable(SurfaceEvaluator::Which::Surface),
                 betweenFamilies.isEmpty());
        QVERIFY(!single.evaluator.batchable(SurfaceEvaluator::Which::Surface));
        QVERIFY(batch.surface(1, Kind::Line).size() > 100);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(batch.view[i].calls, single.view[i].calls);
        QCOMPARE(batch.notified.size(), single.notified.size());
        QVERIFY(!batch.notified.isEmpty() || !betweenFamilies.isEmpty());
        for (qsizetype i = 0; i < batch.notified.size(); ++i) {
            QCOMPARE(batch.notified[i].number, single.notified[i].number);
            QCOMPARE(batch.notified[i].position, single.notified[i].position);
        }
        for (auto member : {&Class1::x, &Class1::y, &Class1::u, &Class1::v})
            QCOMPARE(batch.class1.*member, single.class1.*member);
    }

    void parametricXSeesThePreviousPoint()
    {
        // x(u,v) = x + 0.01 reads the x of the point before: it grows by 0.01 at every sample
        // point of the mesh, across lines and families; z, evaluated last, sees the final x.
        PlotFixture f;
        f.apply({"chkParametric=1", "txtEquationX=x + 0.01"});
        QVERIFY(f.draw());
        float x = 0;
        for (int point = 0; point < int(MeshPoints); ++point)
            x = float(double(x) + 0.01);
        QCOMPARE(float(f.class1.x), x);
    }

    // The share done as seen at the pending-event calls: after the guides, between the
    // families, after the lines, and at the end.
    void progressAtTheFixedPoints_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QList<double>>("atEvents");
        const double withDots = MeshPoints + 5000;
        QTest::newRow("lines") << QStringList{} << QList<double>{0, 0.5, 1};
        QTest::newRow("lines and dots")
            << QStringList{"chkDots=1"}
            << QList<double>{0, 231 / withDots, MeshPoints / withDots, 1};
        // An error that is no point failure ends the lines at their first point: they count done.
        QTest::newRow("stopped families") << QStringList{"chkDots=1", "txtEquationZ=Cint(\"a\")"}
                                          << QList<double>{0, MeshPoints / withDots, 1};
    }
    void progressAtTheFixedPoints()
    {
        QFETCH(QStringList, changes);
        QFETCH(QList<double>, atEvents);
        PlotFixture f;
        f.apply(changes);
        QList<double> seen;
        f.host.onEvents = [&](int) { seen << f.driver.progress(); };
        f.draw();
        QCOMPARE(seen.size(), atEvents.size());
        for (qsizetype i = 0; i < seen.size(); ++i)
            QVERIFY2(qAbs(seen[i] - atEvents[i]) < 1e-12, qPrintable(QString::number(seen[i])));
    }

    void cancelStopsWhereItIs_data()
    {
        QTest::addColumn<int>("atCall");
        QTest::addColumn<int>("segments");
        QTest::newRow("after the guides") << 1 << 0;
        QTest::newRow("between the families") << 2 << 11 * 20;
        QTest::newRow("after the lines") << 3 << FullMesh;
    }
    void cancelStopsWhereItIs()
    {
        QFETCH(int, atCall);
        QFETCH(int, segments);
        PlotFixture f;
        f.apply({"chkDots=1"});
        f.host.onEvents = [&](int call) {
            if (call == atCall) f.driver.requestCancel();
        };
        QVERIFY(!f.draw());
        QCOMPARE(f.surface(1, Kind::Line).size(), segments);
        QVERIFY(f.surface(1, Kind::PSet).isEmpty());
        QVERIFY(f.driver.cancelRequested());
        // A later DrawPlot (as Save runs it) starts afresh and draws everything; a DrawPlot
        // asked for from inside it does not start.
        bool inner = true;
        f.host.onEvents = [&](int) { inner = f.driver.DrawPlot(f.setup); };
        f.view[1].calls.clear();
        QVERIFY(f.driver.DrawPlot(f.setup));
        QVERIFY(!inner && !f.driver.isDrawing());
        QCOMPARE(f.surface(1, Kind::Line).size(), FullMesh);
        QCOMPARE(f.surface(1, Kind::PSet).size(), 5000);
    }

    void costlyPointsStillLetEventsRun()
    {
        // 1204 sample points of tens of thousands of operations each: far fewer points than a
        // fixed count between looks at the clock would need; the share grows in between.
        PlotFixture f;
        f.apply({"txtSpacexu=1", "txtSpaceyv=1", "txtSegsxu=300", "txtSegsyv=300"});
        f.apply({"txtEquationZ=" +
                 QStringList(30000, QStringLiteral("Sin(x)")).join(QLatin1Char('+'))});
        int inside = 0;
        f.host.onEvents = [&](int) {
            const double p = f.driver.progress();
            inside += p > 0 && p < 1 && p != 0.5;
            // The views hold every segment of the points done: lines of 301 points.
            const qint64 done = std::llround(p * 1204);
            if (p <= 0.5) QCOMPARE(f.surface(1, Kind::Line).size(), done - (done + 300) / 301);
        };
        QVERIFY(f.draw());
        QVERIFY2(inside > 0, qPrintable(QString::number(f.host.events)));
    }

    // A drawing that changes only what moves the picture replays the evaluations kept (the
    // mesh and dots, and the grid of the look's passes), with the calls of a fresh drawing; one
    // that could give other values evaluates again. A look drawn for the first time evaluates
    // its grid and keeps it.
    void samplesReplayed_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QStringList>("constants"); // of the second drawing
        QTest::addColumn<int>("replays");
        const QStringList dots = {"chkDots=1", "txtNdots=300"};
        QTest::newRow("turned, with dots")
            << dots << QStringList{"txtZrot=40", "txtXtr=0.3"} << QStringList{} << 1;
        QTest::newRow("stereo and window")
            << QStringList{} << QStringList{"txtStereo=-2", "txtWindowgz=3"} << QStringList{} << 1;
        QTest::newRow("other equation")
            << QStringList{"chkHidden=1"} << QStringList{"txtEquationZ=x*y"} << QStringList{} << 0;
        QTest::newRow("other spacing")
            << QStringList{} << QStringList{"txtSpacexu=7"} << QStringList{} << 0;
        QTest::newRow("Rnd") << QStringList{"txtEquationZ=x*Rnd", "chkSolid=1"}
                             << QStringList{"txtZrot=5"} << QStringList{} << 0;
        QTest::newRow("other constants")
            << QStringList{} << QStringList{"txtZrot=5"} << QStringList{"a=1"} << 0;
        QTest::newRow("parametric dots") << QStringList{"chkParametric=1", "chkDots=1"}
                                         << QStringList{"txtZrot=5"} << QStringList{} << 0;
        QTest::newRow("hidden, turned") << dots + QStringList{"chkHidden=1"}
                                        << QStringList{"txtYrot=-20"} << QStringList{} << 2;
        QTest::newRow("solid, first grid")
            << QStringList{} << QStringList{"txtZrot=40", "chkSolid=1"} << QStringList{} << 1;
    }
    void samplesReplayed()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QStringList, constants);
        QFETCH(int, replays);
        PlotFixture f, fresh;
        SampleCache cache;
        f.apply(first);
        f.driver.setSampleCache(&cache, {});
        const UniformRandom start = f.random;
        QVERIFY(f.draw());
        f.apply(second);
        f.random = start;
        f.driver.setSampleCache(&cache, constants);
        for (RecordingSurface& v : f.view)
            v.calls.clear();
        QVERIFY(f.draw());
        QCOMPARE(cache.replays(), replays);
        if (!replays) return;
        fresh.apply(first + second);
        QVERIFY(fresh.draw());
        for (int i : {0, 1})
            QCOMPARE(f.view[i].calls, fresh.view[i].calls);
        // A grid evaluated while the mesh replayed is kept too.
        f.random = start;
        QVERIFY(f.draw());
        QCOMPARE(cache.replays(), replays + (f.setup.Options.Look.needsModel() ? 2 : 1));
    }
};

QTEST_MAIN(TestPlotDriver)
#include "test_plotdriver.moc"
