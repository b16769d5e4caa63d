#include "PlotFixture.h"

#include "render/GuideDrawer.h"

#include <QtTest>

namespace {

using Call = RecordingSurface::Call;
using Kind = RecordingSurface::Kind;

constexpr int FullMeshSegments = 2 * 11 * 20; // default 10 x 2 segments each way

bool sameCalls(const QList<Call>& a, const QList<Call>& b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].color != b[i].color || a[i].fromX != b[i].fromX ||
            a[i].fromY != b[i].fromY || a[i].toX != b[i].toX || a[i].toY != b[i].toY)
            return false;
    }
    return true;
}

} // namespace

class TestPlotDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reductionFactor_data();
    void reductionFactor();
    void backgroundAndRetainedMode_data();
    void backgroundAndRetainedMode();
    void clearViewsEmptiesBothViews();
    void transformChoosesTheMesh_data();
    void transformChoosesTheMesh();
    void stereoZeroGivesIdenticalViews_data();
    void stereoZeroGivesIdenticalViews();
    void pointAtXmidHasNoParallax();
    void failingEverywhereDrawsNoSurface_data();
    void failingEverywhereDrawsNoSurface();
    void failingRegionLeavesItsSegmentsOut_data();
    void failingRegionLeavesItsSegmentsOut();
    void projectionOverflowDoesNotStopTheDrawer();
    void meshCounts_data();
    void meshCounts();
    void linesBeforeDots();
    void parametricMeshMatchesTheExplicitMesh_data();
    void parametricMeshMatchesTheExplicitMesh();
    void parametricDotsWithHalfTheDomainFailing();
    void failingXBreaksTheParametricLines();
    void parametricXSeesThePreviousPoint();
    void drawerErrorRule_data();
    void drawerErrorRule();
    void cancelStopsWhereItIs_data();
    void cancelStopsWhereItIs();
    void drawPlotDoesNotStartInsideItself();
    void longPlotLetsEventsRunBetweenTheFixedPoints();
};

void TestPlotDriver::reductionFactor_data()
{
    QTest::addColumn<QString>("reduce");
    QTest::addColumn<float>("clamped");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("half") << "0.5" << 0.5f << 200 << 150;
    QTest::newRow("above 1") << "3" << 1.0f << 400 << 300;
    QTest::newRow("negative") << "-1" << 1.0f << 400 << 300;
    QTest::newRow("zero") << "0" << 1.0f << 400 << 300;
    QTest::newRow("one") << "1" << 1.0f << 400 << 300;
    QTest::newRow("12.5 pixels round to even") << "1/32" << 0.03125f << 12 << 9;
    QTest::newRow("37.5 pixels round to even") << "3/32" << 0.09375f << 38 << 28;
    QTest::newRow("tiny keeps one pixel") << "1E-30" << 1e-30f << 1 << 1;
}

void TestPlotDriver::reductionFactor()
{
    QFETCH(QString, reduce);
    QFETCH(float, clamped);
    QFETCH(int, width);
    QFETCH(int, height);
    PlotFixture f;
    f.set("txtReduce", reduce);
    QVERIFY(f.plot());
    QCOMPARE(f.setup.Reduce, clamped);
    QCOMPARE(f.state.ReducedWidth, width);
    // The left view keeps its right edge, the right view its left edge.
    QCOMPARE(f.view[0]->left(), 400 - width);
    QCOMPARE(f.view[0]->width(), width);
    QCOMPARE(f.view[0]->height(), height);
    QCOMPARE(f.view[1]->left(), 399);
    QCOMPARE(f.view[1]->width(), width);
    QCOMPARE(f.view[1]->height(), height);
    QCOMPARE(f.state.PixelY, 4.0f / float(width));
    // A later Plot at 1 restores the design sizes.
    f.set("txtReduce", QStringLiteral("1"));
    QVERIFY(f.plot());
    QCOMPARE(f.view[0]->left(), 0);
    QCOMPARE(f.view[0]->width(), 400);
    QCOMPARE(f.view[1]->height(), 300);
}

void TestPlotDriver::backgroundAndRetainedMode_data()
{
    QTest::addColumn<int>("backclr");
    QTest::addColumn<bool>("persist");
    QTest::addColumn<quint32>("background");
    QTest::addColumn<quint32>("surface");
    QTest::newRow("white") << 0 << true << quint32(0xFFFFFF) << quint32(0);
    QTest::newRow("black") << 1 << false << quint32(0) << quint32(0xFFFFFF);
}

void TestPlotDriver::backgroundAndRetainedMode()
{
    QFETCH(int, backclr);
    QFETCH(bool, persist);
    QFETCH(quint32, background);
    QFETCH(quint32, surface);
    PlotFixture f;
    f.fields.setOption(QStringLiteral("optBackclr"), backclr);
    f.fields.setChecked(QStringLiteral("chkPersist"), persist);
    QVERIFY(f.plot());
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(f.view[i]->backColor(), background);
        QCOMPARE(f.view[i]->autoRedraw(), persist);
        QCOMPARE(f.surfaceCalls(i, Kind::Line).size(), FullMeshSegments);
    }
    QCOMPARE(f.state.SurfaceColor, surface);
    QCOMPARE(f.state.GuideColor, quint32(0));
    QVERIFY(!f.host.busy);
}

void TestPlotDriver::clearViewsEmptiesBothViews()
{
    PlotFixture f;
    QVERIFY(f.plot());
    QVERIFY(f.state.PlotShown);
    f.recording(0).clearCalls();
    f.recording(1).clearCalls();
    f.driver->ClearViews();
    QVERIFY(!f.state.PlotShown);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(f.recording(i).calls().size(), 1);
        QCOMPARE(f.recording(i).calls().first().kind, Kind::ClearPicture);
    }
}

void TestPlotDriver::transformChoosesTheMesh_data()
{
    QTest::addColumn<QString>("xrot");
    QTest::addColumn<QString>("ytr");
    QTest::addColumn<bool>("transformed");
    QTest::newRow("all zero") << "0"
                              << "0" << false;
    QTest::newRow("negative zero") << "-0"
                                   << "0" << false;
    QTest::newRow("rotation of 0.0001 degrees") << "0.0001"
                                                << "0" << true;
    QTest::newRow("negative rotation") << "-0.0001"
                                       << "0" << true;
    QTest::newRow("translation") << "0"
                                 << "0.5" << true;
}

void TestPlotDriver::transformChoosesTheMesh()
{
    QFETCH(QString, xrot);
    QFETCH(QString, ytr);
    QFETCH(bool, transformed);
    PlotFixture plain;
    QVERIFY(plain.plot());
    PlotFixture f;
    f.set("txtXrot", xrot);
    f.set("txtYtr", ytr);
    f.state.XrotRad = 42; // only the transforming drawer computes the angles
    QVERIFY(f.plot());
    QCOMPARE(f.state.XrotRad != 42, transformed);
    const QList<Call> lines = f.surfaceCalls(1, Kind::Line);
    QCOMPARE(lines.size(), FullMeshSegments);
    if (ytr == QStringLiteral("0.5")) {
        // Translated along y: every right-view segment shifts by 0.5 horizontally.
        const QList<Call> base = plain.surfaceCalls(1, Kind::Line);
        for (qsizetype i = 0; i < lines.size(); i += 37) {
            QCOMPARE(lines[i].fromX, base[i].fromX + 0.5f);
            QCOMPARE(lines[i].fromY, base[i].fromY);
        }
    }
}

void TestPlotDriver::stereoZeroGivesIdenticalViews_data()
{
    QTest::addColumn<QString>("stereo");
    QTest::addColumn<bool>("identical");
    QTest::newRow("stereo 0") << "0" << true;
    QTest::newRow("stereo 1") << "1" << false;
}

void TestPlotDriver::stereoZeroGivesIdenticalViews()
{
    QFETCH(QString, stereo);
    QFETCH(bool, identical);
    PlotFixture f(PlotFixture::Views::Images);
    f.set("txtStereo", stereo);
    f.set("txtYrot", QStringLiteral("20"));
    f.fields.setChecked(QStringLiteral("chkDots"), true);
    QVERIFY(f.plot());
    QCOMPARE(f.image(0).image() == f.image(1).image(), identical);
}

void TestPlotDriver::pointAtXmidHasNoParallax()
{
    // The plane x = Xmid = 0: the parallax shift is zero there, so the line of constant
    // x = 0 is the same in both views whatever Stereo is.
    PlotFixture f;
    f.set("txtStereo", QStringLiteral("3"));
    f.set("txtRangelxu", QStringLiteral("0"));
    f.set("txtRangegxu", QStringLiteral("0"));
    f.set("txtSpacexu", QStringLiteral("1"));
    QVERIFY(f.plot());
    const QList<Call> left = f.surfaceCalls(0, Kind::Line);
    const QList<Call> right = f.surfaceCalls(1, Kind::Line);
    QVERIFY(!left.isEmpty());
    QVERIFY(sameCalls(left, right));
}

void TestPlotDriver::failingEverywhereDrawsNoSurface_data()
{
    QTest::addColumn<QString>("equation");
    QTest::addColumn<bool>("parametric");
    QTest::newRow("point failure") << "Sqr(-1 - x * x)" << false;
    QTest::newRow("Class1 failure") << "Acosh(0 * x)" << false;
    QTest::newRow("error that stops the drawer") << "\"text\"" << false;
    QTest::newRow("parametric point failure") << "1 / (u - u)" << true;
}

void TestPlotDriver::failingEverywhereDrawsNoSurface()
{
    QFETCH(QString, equation);
    QFETCH(bool, parametric);
    PlotFixture f;
    f.set("txtEquationZ", equation);
    f.fields.setChecked(QStringLiteral("chkDots"), true);
    f.fields.setChecked(QStringLiteral("chkParametric"), parametric);
    QVERIFY(f.plot()); // finishes
    for (int i = 0; i < 2; ++i) {
        QVERIFY(f.surfaceCalls(i, Kind::Line).isEmpty());
        QVERIFY(f.surfaceCalls(i, Kind::PSet).isEmpty());
        QCOMPARE(f.recording(i).callsOf(Kind::Box).size(), 1); // the frame stays
    }
    QCOMPARE(f.class1.ierr, 0);
    QVERIFY(!f.host.busy);
    QVERIFY(f.shownMessages.isEmpty() || equation.startsWith(QLatin1Char('"')));
}

void TestPlotDriver::failingRegionLeavesItsSegmentsOut_data()
{
    QTest::addColumn<QString>("equation");
    QTest::addColumn<int>("selector");
    QTest::newRow("hole in the middle") << "1 / Sqr(x * x + y * y - 0.09)" << 0;
    QTest::newRow("half plane") << "Sqr(x - 0.3) + y" << 0;
}

void TestPlotDriver::failingRegionLeavesItsSegmentsOut()
{
    QFETCH(QString, equation);
    PlotFixture f;
    f.set("txtEquationZ", equation);
    QVERIFY(f.plot());
    std::function<bool(float, float)> good;
    if (equation.startsWith(QLatin1Char('1')))
        good = [](float x, float y) { return double(x) * x + double(y) * y - 0.09 > 0; };
    else
        good = [](float x, float) { return double(x) - 0.3 >= 0; };
    const int expected = f.expectedSegments(good);
    QVERIFY(expected > 0);
    QVERIFY(expected < FullMeshSegments);
    QCOMPARE(f.surfaceCalls(0, Kind::Line).size(), expected);
    QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), expected);
}

void TestPlotDriver::projectionOverflowDoesNotStopTheDrawer()
{
    // z is -3e38 where y > 0; the translation takes those points beyond the float range.
    PlotFixture f;
    f.set("txtEquationZ", QStringLiteral("3e38 * (y > 0)"));
    f.set("txtZtr", QStringLiteral("-3e38"));
    QVERIFY(f.plot());
    const int expected = f.expectedSegments([](float, float y) { return !(double(y) > 0); });
    QVERIFY(expected > 0);
    QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), expected);
}

void TestPlotDriver::meshCounts_data()
{
    QTest::addColumn<QString>("spacexu");
    QTest::addColumn<QString>("segsxu");
    QTest::addColumn<int>("segments");
    QTest::newRow("defaults") << "10"
                              << "2" << FullMeshSegments;
    // Two lines of constant x of 20 segments, 11 lines of constant y of one segment.
    QTest::newRow("one spacing, one segment") << "1"
                                              << "1" << 2 * 20 + 11;
    QTest::newRow("three spacings, four segments") << "3"
                                                   << "4" << 4 * 20 + 11 * 12;
}

void TestPlotDriver::meshCounts()
{
    QFETCH(QString, spacexu);
    QFETCH(QString, segsxu);
    QFETCH(int, segments);
    PlotFixture f;
    f.set("txtSpacexu", spacexu);
    f.set("txtSegsxu", segsxu);
    QVERIFY(f.plot());
    QCOMPARE(f.surfaceCalls(0, Kind::Line).size(), segments);
    QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), segments);
    // The first line of constant x lies at the low end of the domain: x = -1 projects with
    // Depth = 1 to h = 0.8 + y in the right view.
    const Call first = f.surfaceCalls(1, Kind::Line).first();
    QCOMPARE(first.fromX, 0.8f + -1.0f);
}

void TestPlotDriver::linesBeforeDots()
{
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkDots"), true);
    f.set("txtNdots", QStringLiteral("300"));
    QVERIFY(f.plot());
    const QList<Call> calls = f.recording(0).drawnIn(f.state.SurfaceColor);
    QCOMPARE(calls.size(), FullMeshSegments + 300);
    for (qsizetype i = 0; i < calls.size(); ++i)
        QCOMPARE(calls[i].kind, i < FullMeshSegments ? Kind::Line : Kind::PSet);
}

void TestPlotDriver::parametricMeshMatchesTheExplicitMesh_data()
{
    QTest::addColumn<QString>("xrot");
    QTest::addColumn<int>("yder");
    QTest::newRow("untransformed") << "0" << 0;
    QTest::newRow("rotated") << "30" << 0;
    QTest::newRow("derivative Zy") << "0" << 1;
}

void TestPlotDriver::parametricMeshMatchesTheExplicitMesh()
{
    QFETCH(QString, xrot);
    QFETCH(int, yder);
    PlotFixture plain(PlotFixture::Views::Images), param(PlotFixture::Views::Images);
    for (PlotFixture* f : {&plain, &param}) {
        f->set("txtXrot", xrot);
        f->set("txtYder", QString::number(yder));
    }
    param.fields.setChecked(QStringLiteral("chkParametric"), true);
    QVERIFY(plain.plot());
    QVERIFY(param.plot());
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(param.image(i).image(), plain.image(i).image());
        int surfacePixels = 0;
        const QImage img = plain.image(i).image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                surfacePixels += img.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
        QVERIFY(surfacePixels > 1000);
    }
}

void TestPlotDriver::parametricDotsWithHalfTheDomainFailing()
{
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkParametric"), true);
    f.fields.setChecked(QStringLiteral("chkLines"), false);
    f.fields.setChecked(QStringLiteral("chkDots"), true);
    f.set("txtEquationZ", QStringLiteral("Sqr(u) + x"));
    QVERIFY(f.plot());
    const qsizetype dots = f.surfaceCalls(0, Kind::PSet).size();
    QCOMPARE(f.surfaceCalls(1, Kind::PSet).size(), dots);
    QVERIFY2(dots > 2250 && dots < 2750, qPrintable(QString::number(dots)));

    // The same with z defined everywhere: every dot is drawn.
    PlotFixture all;
    all.fields.setChecked(QStringLiteral("chkParametric"), true);
    all.fields.setChecked(QStringLiteral("chkLines"), false);
    all.fields.setChecked(QStringLiteral("chkDots"), true);
    QVERIFY(all.plot());
    QCOMPARE(all.surfaceCalls(0, Kind::PSet).size(), 5000);
}

void TestPlotDriver::failingXBreaksTheParametricLines()
{
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkParametric"), true);
    f.set("txtEquationX", QStringLiteral("v + 0 * Sqr(u - 0.3)"));
    QVERIFY(f.plot());
    // In (u, v) the failing part is u < 0.3; the grid is walked in u as the explicit one in x.
    const int expected = f.expectedSegments([](float u, float) { return double(u) - 0.3 >= 0; });
    QVERIFY(expected > 0);
    QVERIFY(expected < FullMeshSegments);
    QCOMPARE(f.surfaceCalls(0, Kind::Line).size(), expected);
}

void TestPlotDriver::parametricXSeesThePreviousPoint()
{
    // x(u,v) = x + 0.01 reads the x of the point before: it grows by 0.01 at every sample
    // point of the mesh, across lines and families, in the order the points are made.
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkParametric"), true);
    f.set("txtEquationX", QStringLiteral("x + 0.01"));
    QVERIFY(f.plot());
    float x = 0;
    for (int point = 0; point < 2 * 11 * 21; ++point)
        x = float(double(x) + 0.01);
    QCOMPARE(f.state.Px, x);
}

void TestPlotDriver::drawerErrorRule_data()
{
    QTest::addColumn<qint32>("number");
    QTest::addColumn<qint32>("class1Error");
    QTest::addColumn<qint32>("result");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("invalid argument") << 5 << 0 << 5 << true;
    QTest::newRow("overflow") << 6 << 0 << 6 << true;
    QTest::newRow("division by zero") << 11 << 0 << 11 << true;
    QTest::newRow("already reported") << qint32(0x80020101u) << 0 << qint32(0x80020101u) << true;
    QTest::newRow("type mismatch stops") << 13 << 0 << 13 << false;
    QTest::newRow("syntax error stops") << 1002 << 0 << 1002 << false;
    QTest::newRow("Class1's number wins") << 13 << 6 << 6 << true;
    QTest::newRow("Class1's number stops too") << 5 << 13 << 13 << false;
}

void TestPlotDriver::drawerErrorRule()
{
    QFETCH(qint32, number);
    QFETCH(qint32, class1Error);
    QFETCH(qint32, result);
    QFETCH(bool, goesOn);
    PlotFixture f;
    f.class1.ierr = class1Error;
    f.state.GuideColor = 0xFF;
    f.host.busy = true;
    QCOMPARE(f.driver->DrawerErrorRule(number), goesOn);
    QCOMPARE(f.ierr, result);
    QCOMPARE(f.class1.ierr, 0);
    QCOMPARE(f.state.GuideColor, goesOn ? quint32(0xFF) : quint32(0));
    QCOMPARE(f.host.busy, goesOn);
}

void TestPlotDriver::cancelStopsWhereItIs_data()
{
    // The pending-event calls of a default plot: after the guides (1), between the two
    // families (2), after the lines (3).
    QTest::addColumn<int>("atCall");
    QTest::addColumn<int>("segments");
    QTest::newRow("after the guides") << 1 << 0;
    QTest::newRow("between the families") << 2 << 11 * 20;
    QTest::newRow("after the lines") << 3 << FullMeshSegments;
}

void TestPlotDriver::cancelStopsWhereItIs()
{
    QFETCH(int, atCall);
    QFETCH(int, segments);
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkDots"), true);
    f.host.onEvents = [&](int call) {
        if (call == atCall) f.driver->requestCancel();
    };
    QVERIFY(!f.plot());
    QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), segments);
    QVERIFY(f.surfaceCalls(1, Kind::PSet).isEmpty());
    QVERIFY(!f.host.busy);
    // A later DrawPlot (as Save runs it) starts afresh and draws everything.
    f.host.onEvents = nullptr;
    f.recording(1).clearCalls();
    QVERIFY(f.driver->DrawPlot());
    QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), FullMeshSegments);
    QCOMPARE(f.surfaceCalls(1, Kind::PSet).size(), 5000);
}

void TestPlotDriver::drawPlotDoesNotStartInsideItself()
{
    PlotFixture f;
    int innerRuns = 0;
    bool innerResult = true;
    f.host.onEvents = [&](int) {
        ++innerRuns;
        innerResult = f.driver->DrawPlot();
    };
    QVERIFY(f.plot());
    QVERIFY(innerRuns > 0);
    QVERIFY(!innerResult);
    QVERIFY(!f.driver->isDrawing());
    QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), FullMeshSegments);
    QCOMPARE(f.recording(1).callsOf(Kind::Box).size(), 1); // the guides once
}

void TestPlotDriver::longPlotLetsEventsRunBetweenTheFixedPoints()
{
    // 2 x 401 x 4001 evaluations and as many segments take well over 50 ms, so pending
    // events run inside the families too, beyond the three fixed points.
    auto big = [](PlotFixture& f) {
        f.set("txtSpacexu", QStringLiteral("400"));
        f.set("txtSpaceyv", QStringLiteral("400"));
        f.set("txtSegsxu", QStringLiteral("10"));
        f.set("txtSegsyv", QStringLiteral("10"));
    };
    PlotFixture whole(PlotFixture::Views::Images);
    big(whole);
    QVERIFY(whole.plot());
    QVERIFY2(whole.host.events > 3, qPrintable(QString::number(whole.host.events)));

    // A cancel at the first of those stops the drawer there: no further events, and the
    // views hold less than the whole plot.
    PlotFixture cut(PlotFixture::Views::Images);
    big(cut);
    cut.host.onEvents = [&](int call) {
        if (call == 2) cut.driver->requestCancel();
    };
    QVERIFY(!cut.plot());
    QCOMPARE(cut.host.events, 2);
    QVERIFY(cut.image(1).image() != whole.image(1).image());
}

QTEST_MAIN(TestPlotDriver)
#include "test_plotdriver.moc"
