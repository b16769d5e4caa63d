#include "setup/FieldMap.h"
#include "setup/ParametricToggle.h"
#include "setup/StepButtons.h"

#include <QtTest>

class TestSteps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void intervals_data();
    void intervals();
    void singles_data();
    void singles();
    void unknownButton();
    void toggleRoundTrip();
};

void TestSteps::intervals_data()
{
    QTest::addColumn<QString>("lowerField");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("newLower");
    QTest::addColumn<QString>("newUpper");

    const QString lx = QStringLiteral("txtWindowlx");
    const QString lxu = QStringLiteral("txtRangelxu");
    const QString lyv = QStringLiteral("txtRangelyv");
    const QString lz = QStringLiteral("txtWindowlz");
    QTest::newRow("window x narrowed") << lx << "-2.5"
                                       << "2.5"
                                       << "1" << QStringList{"cmdDecWindX"} << "-2"
                                       << "2";
    QTest::newRow("window x widened") << lx << "-2.5"
                                      << "2.5"
                                      << "1" << QStringList{"cmdIncWindX"} << "-3"
                                      << "3";
    QTest::newRow("domain once") << lxu << "-1"
                                 << "1"
                                 << "1" << QStringList{"cmdDecRangXU"} << "-0.5"
                                 << "0.5";
    QTest::newRow("domain twice, not kept in order")
        << lxu << "-1"
        << "1"
        << "1" << QStringList{"cmdDecRangXU", "cmdDecRangXU"} << "0"
        << "0";
    QTest::newRow("tenth step") << lx << "-2.5"
                                << "2.5"
                                << "0.1" << QStringList{"cmdDecWindX"} << "-2.45"
                                << "2.45";
    QTest::newRow("step with blanks") << lz << "-1.5"
                                      << "1.5"
                                      << " 2 " << QStringList{"cmdIncWindZ"} << "-2.5"
                                      << "2.5";
    QTest::newRow("formula limits read by leading number")
        << lx << "-2*pi"
        << "pi"
        << "1" << QStringList{"cmdIncWindX"} << "-2.5"
        << "0.5";
    QTest::newRow("word step leaves limits") << lx << "-2.5"
                                             << "2.5"
                                             << "one" << QStringList{"cmdDecWindX"} << "-2.5"
                                             << "2.5";
    QTest::newRow("trailing letters step leaves limits")
        << lx << "-2.5"
        << "2.5"
        << "1x" << QStringList{"cmdIncWindX"} << "-2.5"
        << "2.5";
    QTest::newRow("empty step leaves limits") << lx << "-2.5"
                                              << "2.5"
                                              << "" << QStringList{"cmdIncWindX"} << "-2.5"
                                              << "2.5";
    QTest::newRow("overflow keeps both limits")
        << lx << "-1.5e308"
        << "1.5e308"
        << "1e308" << QStringList{"cmdIncWindX"} << "-1.5e308"
        << "1.5e308";
}

void TestSteps::intervals()
{
    QFETCH(QString, lowerField);
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QString, step);
    QFETCH(QStringList, buttons);
    QFETCH(QString, newLower);
    QFETCH(QString, newUpper);

    const StepButton* b = StepButtons::find(buttons.first());
    QVERIFY(b);
    QCOMPARE(b->field, lowerField);
    FieldMap fields;
    fields.setText(b->field, lower);
    fields.setText(b->upperField, upper);
    fields.setText(b->stepField, step);
    for (const QString& name : std::as_const(buttons))
        QVERIFY(StepButtons::press(name, fields));
    QCOMPARE(fields.text(b->field), newLower);
    QCOMPARE(fields.text(b->upperField), newUpper);
}

void TestSteps::singles_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("expected");

    const QString xrot = QStringLiteral("txtXrot");
    const QString zrot = QStringLiteral("txtZrot");
    const QString ytr = QStringLiteral("txtYtr");
    QTest::newRow("rotation +") << xrot << "0"
                                << "5" << QStringList{"cmdIncRotX"} << "5";
    QTest::newRow("rotation + -") << xrot << "0"
                                  << "5" << QStringList{"cmdIncRotX", "cmdDecRotX"} << "0";
    QTest::newRow("rotation + - -")
        << xrot << "0"
        << "5" << QStringList{"cmdIncRotX", "cmdDecRotX", "cmdDecRotX"} << "-5";
    QTest::newRow("not reduced to a turn") << zrot << "360"
                                           << "5" << QStringList{"cmdIncRotZ"} << "365";
    QTest::newRow("word counts as 0") << xrot << "angle"
                                      << "5" << QStringList{"cmdIncRotX"} << "5";
    QTest::newRow("formula replaced by leading number") << xrot << "30+pi"
                                                        << "5" << QStringList{"cmdDecRotX"} << "25";
    QTest::newRow("step without number rewrites value")
        << ytr << "1.50"
        << "x" << QStringList{"cmdIncTranY"} << "1.5";
    QTest::newRow("step read by leading number")
        << ytr << "0"
        << "0.25m" << QStringList{"cmdDecTranY"} << "-0.25";
    QTest::newRow("translation decimals") << QStringLiteral("txtZtr") << "0.1"
                                          << "0.2" << QStringList{"cmdIncTranZ"} << "0.3";
}

void TestSteps::singles()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, step);
    QFETCH(QStringList, buttons);
    QFETCH(QString, expected);

    const StepButton* b = StepButtons::find(buttons.first());
    QVERIFY(b);
    QCOMPARE(b->field, field);
    QVERIFY(!b->isInterval());
    FieldMap fields;
    fields.setText(field, value);
    fields.setText(b->stepField, step);
    const QString before = fields.text(QStringLiteral("txtWindowlx"));
    for (const QString& name : std::as_const(buttons))
        QVERIFY(StepButtons::press(name, fields));
    QCOMPARE(fields.text(field), expected);
    QCOMPARE(fields.text(QStringLiteral("txtWindowlx")), before);
}

void TestSteps::unknownButton()
{
    FieldMap fields;
    QVERIFY(!StepButtons::press(QStringLiteral("cmdPlot"), fields));
    QVERIFY(!StepButtons::press(QStringLiteral("cmdZoomIn"), fields));
    QVERIFY(!StepButtons::press(QString(), fields));
    QVERIFY(!StepButtons::find(QStringLiteral("cmdDecWindW")));
}

namespace {
struct Layout
{
    QHash<QString, QString> captions;
    QHash<QString, QString> toolTips;
    QHash<QString, bool> shown;
};

const QStringList& layoutControls()
{
    static const QStringList names = {"FraDer",       "fraAccuracy",  "lblY",       "lblX",
                                      "txtEquationY", "txtEquationX", "lblZ",       "txtEquationZ",
                                      "lblxu",        "lblyv",        "lblSpacexu", "lblSegsxu",
                                      "lblSpaceyv",   "lblSegsyv"};
    return names;
}

Layout snapshot(const FormFields& f)
{
    Layout l;
    for (const QString& c : layoutControls()) {
        l.captions.insert(c, f.caption(c));
        l.toolTips.insert(c, f.toolTip(c));
        l.shown.insert(c, f.isShown(c));
    }
    return l;
}
} // namespace

void TestSteps::toggleRoundTrip()
{
    FieldMap f;
    ParametricToggle::apply(f);
    const Layout explicitLayout = snapshot(f);
    QCOMPARE(explicitLayout.captions.value("lblZ"), QStringLiteral("z(x,y)="));
    QCOMPARE(explicitLayout.toolTips.value("txtEquationZ"),
             QStringLiteral("Function must be entered in terms of \"x\" and \"y\""));
    QCOMPARE(explicitLayout.captions.value("lblxu"), QStringLiteral("<=x<="));
    QCOMPARE(explicitLayout.captions.value("lblSegsyv"), QStringLiteral("y:"));
    QVERIFY(!explicitLayout.shown.value("txtEquationX"));
    QVERIFY(explicitLayout.shown.value("FraDer"));

    f.setChecked(QStringLiteral("chkParametric"), true);
    ParametricToggle::apply(f);
    const Layout parametricLayout = snapshot(f);
    QCOMPARE(parametricLayout.captions.value("lblZ"), QStringLiteral("z(u,v)="));
    QCOMPARE(parametricLayout.toolTips.value("txtEquationZ"),
             QStringLiteral("Function must be entered in terms of \"u\" and \"v\""));
    QCOMPARE(parametricLayout.captions.value("lblyv"), QStringLiteral("<=v<="));
    QVERIFY(parametricLayout.shown.value("txtEquationX"));
    QVERIFY(!parametricLayout.shown.value("fraAccuracy"));
    // The toggle changes no field text.
    QCOMPARE(f.text(QStringLiteral("txtEquationZ")),
             FieldMap().text(QStringLiteral("txtEquationZ")));
    for (const QString& c : layoutControls()) {
        const bool differs =
            parametricLayout.captions.value(c) != explicitLayout.captions.value(c) ||
            parametricLayout.toolTips.value(c) != explicitLayout.toolTips.value(c) ||
            parametricLayout.shown.value(c) != explicitLayout.shown.value(c);
        QVERIFY2(differs, qPrintable(c));
    }
    f.setChecked(QStringLiteral("chkParametric"), false);
    ParametricToggle::apply(f);
    const Layout back = snapshot(f);
    QCOMPARE(back.captions, explicitLayout.captions);
    QCOMPARE(back.toolTips, explicitLayout.toolTips);
    QCOMPARE(back.shown, explicitLayout.shown);
    // Applying twice in the same state changes nothing.
    ParametricToggle::apply(f);
    QCOMPARE(snapshot(f).shown, explicitLayout.shown);
}

QTEST_APPLESS_MAIN(TestSteps)
#include "test_steps.moc"
