#include "PlotFixture.h"

#include <QtTest>

// The share of a plot done, as the driver reports it at the pending-event points, and the
// cancel request's lifetime.
class TestPlotProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shareAtTheFixedPoints_data();
    void shareAtTheFixedPoints();
    void growsDuringALongFamily();
    void costlyPointsStillLetEventsRun();
    void stoppedFamilyCountsAsDone();
    void cancelEndsOnlyItsOwnPlot();
};

void TestPlotProgress::shareAtTheFixedPoints_data()
{
    // Default mesh: 11 lines of 21 points each way; 5000 dots.
    QTest::addColumn<bool>("parametric");
    QTest::addColumn<bool>("dots");
    QTest::addColumn<QList<double>>("atEvents"); // after the guides, between families, ...
    const double mesh = 2 * 11 * 21;
    QTest::newRow("lines") << false << false << QList<double>{0, 0.5, 1};
    QTest::newRow("lines and dots")
        << false << true << QList<double>{0, 231 / (mesh + 5000), mesh / (mesh + 5000), 1};
    QTest::newRow("parametric lines") << true << false << QList<double>{0, 0.5, 1};
}

void TestPlotProgress::shareAtTheFixedPoints()
{
    QFETCH(bool, parametric);
    QFETCH(bool, dots);
    QFETCH(QList<double>, atEvents);
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkParametric"), parametric);
    f.fields.setChecked(QStringLiteral("chkDots"), dots);
    if (parametric) {
        f.set("txtEquationX", QStringLiteral("u"));
        f.set("txtEquationY", QStringLiteral("v"));
    }
    QList<double> seen;
    f.host.onEvents = [&](int) { seen << f.driver->progress(); };
    QVERIFY(f.plot());
    QCOMPARE(seen.size(), atEvents.size());
    for (qsizetype i = 0; i < seen.size(); ++i)
        QVERIFY2(qAbs(seen[i] - atEvents[i]) < 1e-12,
                 qPrintable(QStringLiteral("%1: %2").arg(i).arg(seen[i])));
    QCOMPARE(f.driver->progress(), 1.0);
}

void TestPlotProgress::growsDuringALongFamily()
{
    PlotFixture f(PlotFixture::Views::Images);
    f.set("txtSpacexu", QStringLiteral("400"));
    f.set("txtSpaceyv", QStringLiteral("400"));
    f.set("txtSegsxu", QStringLiteral("10"));
    f.set("txtSegsyv", QStringLiteral("10"));
    QList<double> seen;
    f.host.onEvents = [&](int) { seen << f.driver->progress(); };
    QVERIFY(f.plot());
    QVERIFY2(seen.size() > 4, qPrintable(QString::number(seen.size())));
    int inside = 0;
    for (qsizetype i = 1; i < seen.size(); ++i) {
        QVERIFY(seen[i] >= seen[i - 1]);
        inside += seen[i] > 0 && seen[i] < 1 && seen[i] != 0.5;
    }
    QVERIFY(inside > 0); // shares inside a family, not only at its ends
    QCOMPARE(seen.last(), 1.0);
}

void TestPlotProgress::costlyPointsStillLetEventsRun()
{
    // 1204 sample points, each worth tens of thousands of operations: far fewer points than
    // a fixed count between looks at the clock would need, yet the plot lasts long enough
    // for pending events to run inside the families.
    PlotFixture f;
    f.set("txtSpacexu", QStringLiteral("1"));
    f.set("txtSpaceyv", QStringLiteral("1"));
    f.set("txtSegsxu", QStringLiteral("300"));
    f.set("txtSegsyv", QStringLiteral("300"));
    f.set("txtEquationZ", QStringList(30000, QStringLiteral("Sin(x)")).join(QLatin1Char('+')));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(f.plot());
    QVERIFY2(
        f.host.events > 3,
        qPrintable(QStringLiteral("%1 events in %2 ms").arg(f.host.events).arg(clock.elapsed())));
}

void TestPlotProgress::stoppedFamilyCountsAsDone()
{
    // An error that is no point failure ends the lines at their first point; the dots go on
    // from the share of the lines.
    PlotFixture f;
    f.fields.setChecked(QStringLiteral("chkDots"), true);
    f.set("txtEquationZ", QStringLiteral("Cint(\"a\")"));
    QList<double> seen;
    f.host.onEvents = [&](int) { seen << f.driver->progress(); };
    f.plot();
    QVERIFY(seen.size() >= 2);
    const double mesh = 2 * 11 * 21;
    QVERIFY2(qAbs(seen[1] - mesh / (mesh + 5000)) < 1e-12, qPrintable(QString::number(seen[1])));
}

void TestPlotProgress::cancelEndsOnlyItsOwnPlot()
{
    // A cancel asked for during one plot (or after it) does not stop the next one, which
    // Session starts with prepareViews.
    PlotFixture f;
    f.host.onEvents = [&](int call) {
        if (call == 2) f.driver->requestCancel();
    };
    QVERIFY(!f.plot());
    QVERIFY(f.driver->cancelRequested());
    QCOMPARE(f.driver->progress(), 0.5); // the first family of lines
    f.host.onEvents = nullptr;
    f.driver->ClearViews();
    f.driver->prepareViews();
    QVERIFY(!f.driver->cancelRequested());
}

QTEST_MAIN(TestPlotProgress)
#include "test_plotprogress.moc"
