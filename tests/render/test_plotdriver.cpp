#include "PlotFixture.h"

#include "render/GuideDrawer.h"

#include <QtTest>

namespace {

using Call = RecordingSurface::Call;
using Kind = RecordingSurface::Kind;

constexpr int FullMeshSegments = 2 * 11 * 20; // default 10 x 2 segments each way
constexpr double MeshPoints = 2 * 11 * 21;

bool sameCalls(const QList<Call>& a, const QList<Call>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Call& p, const Call& q) {
        return p.kind == q.kind && p.color == q.color && p.fromX == q.fromX && p.fromY == q.fromY &&
               p.toX == q.toX && p.toY == q.toY;
    });
}

// 2 x 401 x 4001 evaluations and as many segments: well over 50 ms.
void makeBig(PlotFixture& f)
{
    for (const char* name : {"txtSpacexu", "txtSpaceyv"})
        f.set(name, QStringLiteral("400"));
    for (const char* name : {"txtSegsxu", "txtSegsyv"})
        f.set(name, QStringLiteral("10"));
}

} // namespace

class TestPlotDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reductionFactor_data()
    {
        QTest::addColumn<QString>("reduce");
        QTest::addColumn<float>("clamped");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("half") << "0.5" << 0.5f << 200 << 150;
        QTest::newRow("above 1") << "3" << 1.0f << 400 << 300;
        QTest::newRow("negative") << "-1" << 1.0f << 400 << 300;
        QTest::newRow("zero") << "0" << 1.0f << 400 << 300;
        QTest::newRow("12.5 pixels round to even") << "1/32" << 0.03125f << 12 << 9;
        QTest::newRow("37.5 pixels round to even") << "3/32" << 0.09375f << 38 << 28;
        QTest::newRow("tiny keeps one pixel") << "1E-30" << 1e-30f << 1 << 1;
    }
    void reductionFactor()
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
        QCOMPARE(f.state.PixelY, 4.0f / float(width));
        // The left view keeps its right edge, the right view its left edge; a later Plot at 1
        // restores the design sizes.
        for (const auto& [w, h, left0] : {std::tuple{width, height, 400 - width}, {400, 300, 0}}) {
            QCOMPARE(QList<int>({f.view[0]->left(), f.view[0]->width(), f.view[0]->height()}),
                     QList<int>({left0, w, h}));
            QCOMPARE(QList<int>({f.view[1]->left(), f.view[1]->width(), f.view[1]->height()}),
                     QList<int>({399, w, h}));
            f.set("txtReduce", QStringLiteral("1"));
            QVERIFY(f.plot());
        }
    }

    void backgroundAndRetainedMode_data()
    {
        QTest::addColumn<int>("backclr");
        QTest::addColumn<bool>("persist");
        QTest::addColumn<quint32>("background");
        QTest::addColumn<quint32>("surface");
        QTest::newRow("white") << 0 << true << quint32(0xFFFFFF) << quint32(0);
        QTest::newRow("black") << 1 << false << quint32(0) << quint32(0xFFFFFF);
    }
    void backgroundAndRetainedMode()
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

        // ClearViews leaves one ClearPicture in each view.
        f.recording(0).clearCalls();
        f.recording(1).clearCalls();
        f.driver->ClearViews();
        QVERIFY(!f.state.PlotShown);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(f.recording(i).calls().size(), 1);
            QCOMPARE(f.recording(i).calls().first().kind, Kind::ClearPicture);
        }
    }

    void transformChoosesTheMesh_data()
    {
        QTest::addColumn<QString>("xrot");
        QTest::addColumn<QString>("ytr");
        QTest::addColumn<bool>("transformed");
        auto row = [](const char* tag, const char* xrot, const char* ytr, bool transformed) {
            QTest::newRow(tag) << QString::fromLatin1(xrot) << QString::fromLatin1(ytr)
                               << transformed;
        };
        row("all zero", "0", "0", false);
        row("negative zero", "-0", "0", false);
        row("rotation of 0.0001 degrees", "0.0001", "0", true);
        row("negative rotation", "-0.0001", "0", true);
        row("translation", "0", "0.5", true);
    }
    void transformChoosesTheMesh()
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
        if (ytr == QLatin1String("0")) return;
        // Translated along y: every right-view segment shifts by 0.5 horizontally.
        const QList<Call> base = plain.surfaceCalls(1, Kind::Line);
        for (qsizetype i = 0; i < lines.size(); i += 37) {
            QCOMPARE(lines[i].fromX, base[i].fromX + ytr.toFloat());
            QCOMPARE(lines[i].fromY, base[i].fromY);
        }
    }

    void stereoZeroGivesIdenticalViews_data()
    {
        QTest::addColumn<QString>("stereo");
        QTest::addColumn<bool>("identical");
        QTest::newRow("stereo 0") << "0" << true;
        QTest::newRow("stereo 1") << "1" << false;
    }
    void stereoZeroGivesIdenticalViews()
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

    void pointAtXmidHasNoParallax()
    {
        // The plane x = Xmid = 0 has no parallax: its line is the same in both views.
        PlotFixture f;
        f.set("txtStereo", QStringLiteral("3"));
        f.set("txtRangelxu", QStringLiteral("0"));
        f.set("txtRangegxu", QStringLiteral("0"));
        f.set("txtSpacexu", QStringLiteral("1"));
        QVERIFY(f.plot());
        QVERIFY(!f.surfaceCalls(0, Kind::Line).isEmpty());
        QVERIFY(sameCalls(f.surfaceCalls(0, Kind::Line), f.surfaceCalls(1, Kind::Line)));
    }

    void failingEverywhereDrawsNoSurface_data()
    {
        QTest::addColumn<QString>("equation");
        QTest::addColumn<bool>("parametric");
        QTest::newRow("point failure") << "Sqr(-1 - x * x)" << false;
        QTest::newRow("Class1 failure") << "Acosh(0 * x)" << false;
        QTest::newRow("error that stops the drawer") << "\"text\"" << false;
        QTest::newRow("parametric point failure") << "1 / (u - u)" << true;
    }
    void failingEverywhereDrawsNoSurface()
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

    // Where a sample point has no value the segments through it are left out; the rest of the
    // mesh is drawn. A parametric x(u,v) that fails breaks the lines the same way in (u, v).
    void failingRegionLeavesItsSegmentsOut_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("equation");
        QTest::addColumn<QString>("ztr");
        QTest::addColumn<int>("region"); // index into the regions below
        auto row = [](const char* tag, const char* field, const char* equation, const char* ztr,
                      int region) {
            QTest::newRow(tag) << QString::fromLatin1(field) << QString::fromLatin1(equation)
                               << QString::fromLatin1(ztr) << region;
        };
        row("hole in the middle", "txtEquationZ", "1 / Sqr(x * x + y * y - 0.09)", "0", 0);
        row("half plane", "txtEquationZ", "Sqr(x - 0.3) + y", "0", 1);
        // z is -3e38 where y > 0; the translation takes those points beyond the float range.
        row("projection overflow", "txtEquationZ", "3e38 * (y > 0)", "-3e38", 2);
        row("parametric x failing", "txtEquationX", "v + 0 * Sqr(u - 0.3)", "0", 1);
    }
    void failingRegionLeavesItsSegmentsOut()
    {
        QFETCH(QString, field);
        QFETCH(QString, equation);
        QFETCH(QString, ztr);
        QFETCH(int, region);
        const std::function<bool(float, float)> regions[] = {
            [](float x, float y) { return double(x) * x + double(y) * y - 0.09 > 0; },
            [](float x, float) { return double(x) - 0.3 >= 0; },
            [](float, float y) { return !(double(y) > 0); },
        };
        PlotFixture f;
        f.fields.setChecked(QStringLiteral("chkParametric"),
                            field == QLatin1String("txtEquationX"));
        f.set(qPrintable(field), equation);
        f.set("txtZtr", ztr);
        QVERIFY(f.plot());
        const int expected = f.expectedSegments(regions[region]);
        QVERIFY(expected > 0 && expected < FullMeshSegments);
        QCOMPARE(f.surfaceCalls(0, Kind::Line).size(), expected);
        QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), expected);
    }

    void meshCounts_data()
    {
        QTest::addColumn<QString>("spacexu");
        QTest::addColumn<QString>("segsxu");
        QTest::addColumn<int>("segments");
        QTest::newRow("defaults") << QStringLiteral("10") << QStringLiteral("2")
                                  << FullMeshSegments;
        // Two lines of constant x of 20 segments, 11 lines of constant y of one segment.
        QTest::newRow("one spacing, one segment")
            << QStringLiteral("1") << QStringLiteral("1") << 2 * 20 + 11;
        QTest::newRow("three spacings, four segments")
            << QStringLiteral("3") << QStringLiteral("4") << 4 * 20 + 11 * 12;
    }
    void meshCounts()
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
        // The first line of constant x is x = -1: with Depth = 1 it projects to h = 0.8 + y.
        QCOMPARE(f.surfaceCalls(1, Kind::Line).first().fromX, 0.8f + -1.0f);
    }

    void linesBeforeDots()
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

    void parametricMeshMatchesTheExplicitMesh_data()
    {
        QTest::addColumn<QString>("xrot");
        QTest::addColumn<int>("yder");
        QTest::newRow("untransformed") << "0" << 0;
        QTest::newRow("rotated") << "30" << 0;
        QTest::newRow("derivative Zy") << "0" << 1;
    }
    void parametricMeshMatchesTheExplicitMesh()
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
            const QImage img = plain.image(i).image();
            QCOMPARE(param.image(i).image(), img);
            int surfacePixels = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    surfacePixels += img.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
            QVERIFY(surfacePixels > 1000);
        }
    }

    void parametricDotsWithHalfTheDomainFailing_data()
    {
        QTest::addColumn<QString>("equation");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::newRow("half failing") << "Sqr(u) + x" << 2250 << 2750;
        QTest::newRow("defined everywhere") << "u" << 5000 << 5000;
    }
    void parametricDotsWithHalfTheDomainFailing()
    {
        QFETCH(QString, equation);
        QFETCH(int, least);
        QFETCH(int, most);
        PlotFixture f;
        f.fields.setChecked(QStringLiteral("chkParametric"), true);
        f.fields.setChecked(QStringLiteral("chkLines"), false);
        f.fields.setChecked(QStringLiteral("chkDots"), true);
        f.set("txtEquationZ", equation);
        QVERIFY(f.plot());
        const qsizetype dots = f.surfaceCalls(0, Kind::PSet).size();
        QCOMPARE(f.surfaceCalls(1, Kind::PSet).size(), dots);
        QVERIFY2(dots >= least && dots <= most, qPrintable(QString::number(dots)));
    }

    void parametricXSeesThePreviousPoint()
    {
        // x(u,v) = x + 0.01 reads the x of the point before: it grows by 0.01 at every sample
        // point of the mesh, across lines and families, in the order the points are made.
        PlotFixture f;
        f.fields.setChecked(QStringLiteral("chkParametric"), true);
        f.set("txtEquationX", QStringLiteral("x + 0.01"));
        QVERIFY(f.plot());
        float x = 0;
        for (int point = 0; point < int(MeshPoints); ++point)
            x = float(double(x) + 0.01);
        QCOMPARE(f.state.Px, x);
    }

    void drawerErrorRule_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<qint32>("class1Error");
        QTest::addColumn<qint32>("result");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("invalid argument") << 5 << 0 << 5 << true;
        QTest::newRow("overflow") << 6 << 0 << 6 << true;
        QTest::newRow("division by zero") << 11 << 0 << 11 << true;
        QTest::newRow("already reported")
            << qint32(0x80020101u) << 0 << qint32(0x80020101u) << true;
        QTest::newRow("type mismatch stops") << 13 << 0 << 13 << false;
        QTest::newRow("syntax error stops") << 1002 << 0 << 1002 << false;
        QTest::newRow("Class1's number wins") << 13 << 6 << 6 << true;
        QTest::newRow("Class1's number stops too") << 5 << 13 << 13 << false;
    }
    void drawerErrorRule()
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

    // The share done as seen at the pending-event calls: after the guides, between the
    // families, after the lines, and at the end.
    void progressAtTheFixedPoints_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<bool>("dots");
        QTest::addColumn<QString>("equation");
        QTest::addColumn<QList<double>>("atEvents");
        const double withDots = MeshPoints + 5000;
        const QString z; // the default
        QTest::newRow("lines") << false << false << z << QList<double>{0, 0.5, 1};
        QTest::newRow("lines and dots")
            << false << true << z << QList<double>{0, 231 / withDots, MeshPoints / withDots, 1};
        QTest::newRow("parametric lines") << true << false << z << QList<double>{0, 0.5, 1};
        // An error that is no point failure ends the lines at their first point: they count done.
        QTest::newRow("stopped families")
            << false << true << "Cint(\"a\")" << QList<double>{0, MeshPoints / withDots, 1};
    }
    void progressAtTheFixedPoints()
    {
        QFETCH(bool, parametric);
        QFETCH(bool, dots);
        QFETCH(QString, equation);
        QFETCH(QList<double>, atEvents);
        PlotFixture f;
        f.fields.setChecked(QStringLiteral("chkParametric"), parametric);
        f.fields.setChecked(QStringLiteral("chkDots"), dots);
        if (!equation.isEmpty()) f.set("txtEquationZ", equation);
        QList<double> seen;
        f.host.onEvents = [&](int) { seen << f.driver->progress(); };
        f.plot();
        QCOMPARE(seen.size(), atEvents.size());
        for (qsizetype i = 0; i < seen.size(); ++i)
            QVERIFY2(qAbs(seen[i] - atEvents[i]) < 1e-12,
                     qPrintable(QStringLiteral("%1: %2").arg(i).arg(seen[i])));
        QCOMPARE(f.driver->progress(), 1.0);
    }

    void cancelStopsWhereItIs_data()
    {
        QTest::addColumn<int>("atCall");
        QTest::addColumn<int>("segments");
        QTest::addColumn<double>("progress");
        QTest::newRow("after the guides") << 1 << 0 << 0.0;
        QTest::newRow("between the families") << 2 << 11 * 20 << 231 / (MeshPoints + 5000);
        QTest::newRow("after the lines")
            << 3 << FullMeshSegments << MeshPoints / (MeshPoints + 5000);
    }
    void cancelStopsWhereItIs()
    {
        QFETCH(int, atCall);
        QFETCH(int, segments);
        QFETCH(double, progress);
        PlotFixture f;
        f.fields.setChecked(QStringLiteral("chkDots"), true);
        f.host.onEvents = [&](int call) {
            if (call == atCall) f.driver->requestCancel();
        };
        QVERIFY(!f.plot());
        QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), segments);
        QVERIFY(f.surfaceCalls(1, Kind::PSet).isEmpty());
        QVERIFY(qAbs(f.driver->progress() - progress) < 1e-12);
        QVERIFY(!f.host.busy);
        QVERIFY(f.driver->cancelRequested());
        // A later DrawPlot (as Save runs it) starts afresh and draws everything.
        f.host.onEvents = nullptr;
        f.recording(1).clearCalls();
        QVERIFY(f.driver->DrawPlot());
        QCOMPARE(f.surfaceCalls(1, Kind::Line).size(), FullMeshSegments);
        QCOMPARE(f.surfaceCalls(1, Kind::PSet).size(), 5000);
        // The next Plot, which Session starts with prepareViews, forgets the request.
        f.driver->ClearViews();
        f.driver->prepareViews();
        QVERIFY(!f.driver->cancelRequested());
    }

    void drawPlotDoesNotStartInsideItself()
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

    void longPlotLetsEventsRunInsideTheFamilies()
    {
        // Pending events run inside the families too, beyond the three fixed points, with the
        // share growing there.
        PlotFixture whole(PlotFixture::Views::Images);
        makeBig(whole);
        QList<double> seen;
        whole.host.onEvents = [&](int) { seen << whole.driver->progress(); };
        QVERIFY(whole.plot());
        QVERIFY2(seen.size() > 4, qPrintable(QString::number(seen.size())));
        int inside = 0;
        for (qsizetype i = 1; i < seen.size(); ++i) {
            QVERIFY(seen[i] >= seen[i - 1]);
            inside += seen[i] > 0 && seen[i] < 1 && seen[i] != 0.5;
        }
        QVERIFY(inside > 0);
        QCOMPARE(seen.last(), 1.0);

        // A cancel at the first of those stops the drawer there, short of the whole plot.
        PlotFixture cut(PlotFixture::Views::Images);
        makeBig(cut);
        cut.host.onEvents = [&](int call) {
            if (call == 2) cut.driver->requestCancel();
        };
        QVERIFY(!cut.plot());
        QCOMPARE(cut.host.events, 2);
        QVERIFY(cut.image(1).image() != whole.image(1).image());
    }

    void costlyPointsStillLetEventsRun()
    {
        // 1204 sample points of tens of thousands of operations each: far fewer points than a
        // fixed count between looks at the clock would need.
        PlotFixture f;
        f.set("txtSpacexu", QStringLiteral("1"));
        f.set("txtSpaceyv", QStringLiteral("1"));
        f.set("txtSegsxu", QStringLiteral("300"));
        f.set("txtSegsyv", QStringLiteral("300"));
        f.set("txtEquationZ", QStringList(30000, QStringLiteral("Sin(x)")).join(QLatin1Char('+')));
        QVERIFY(f.plot());
        QVERIFY2(f.host.events > 3, qPrintable(QString::number(f.host.events)));
    }
};

QTEST_MAIN(TestPlotDriver)
#include "test_plotdriver.moc"
