#include "setup/FieldMap.h"
#include "setup/ParametricToggle.h"
#include "setup/StepButtons.h"

#include <QtTest>

namespace {
const QStringList kLayoutControls = {"FraDer",       "fraAccuracy",  "lblY",       "lblX",
                                     "txtEquationY", "txtEquationX", "lblZ",       "txtEquationZ",
                                     "lblxu",        "lblyv",        "lblSpacexu", "lblSegsxu",
                                     "lblSpaceyv",   "lblSegsyv"};

// Caption, tool tip and visibility of each control the toggle changes.
QStringList snapshot(const FormFields& f)
{
    QStringList l;
    for (const QString& c : kLayoutControls)
        l << f.caption(c) + QLatin1Char('|') + f.toolTip(c) + (f.isShown(c) ? "|1" : "|0");
    return l;
}
} // namespace

class TestSteps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void intervals_data()
    {
        QTest::addColumn<QString>("lowerField");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("newLower");
        QTest::addColumn<QString>("newUpper");
        auto add = [](const char* name, const char* field, const char* lower, const char* upper,
                      const char* step, QStringList buttons, const char* newLower,
                      const char* newUpper) {
            QTest::newRow(name) << QString::fromLatin1(field) << lower << upper << step << buttons
                                << newLower << newUpper;
        };
        const char* lx = "txtWindowlx";
        const QStringList dec{"cmdDecWindX"}, inc{"cmdIncWindX"};
        add("window x narrowed", lx, "-2.5", "2.5", "1", dec, "-2", "2");
        add("window x widened", lx, "-2.5", "2.5", "1", inc, "-3", "3");
        add("domain once", "txtRangelxu", "-1", "1", "1", {"cmdDecRangXU"}, "-0.5", "0.5");
        add("domain twice, not kept in order", "txtRangelxu", "-1", "1", "1",
            {"cmdDecRangXU", "cmdDecRangXU"}, "0", "0");
        add("tenth step", lx, "-2.5", "2.5", "0.1", dec, "-2.45", "2.45");
        add("step with blanks", "txtWindowlz", "-1.5", "1.5", " 2 ", {"cmdIncWindZ"}, "-2.5",
            "2.5");
        add("formula limits read by leading number", lx, "-2*pi", "pi", "1", inc, "-2.5", "0.5");
        add("word step leaves limits", lx, "-2.5", "2.5", "one", dec, "-2.5", "2.5");
        add("trailing letters step leaves limits", lx, "-2.5", "2.5", "1x", inc, "-2.5", "2.5");
        add("empty step leaves limits", lx, "-2.5", "2.5", "", inc, "-2.5", "2.5");
        add("overflow keeps both limits", lx, "-1.5e308", "1.5e308", "1e308", inc, "-1.5e308",
            "1.5e308");
    }
    void intervals()
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

    void singles_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("expected");
        auto add = [](const char* name, const char* field, const char* value, const char* step,
                      QStringList buttons, const char* expected) {
            QTest::newRow(name) << QString::fromLatin1(field) << value << step << buttons
                                << expected;
        };
        const char* xrot = "txtXrot";
        add("rotation +", xrot, "0", "5", {"cmdIncRotX"}, "5");
        add("rotation + -", xrot, "0", "5", {"cmdIncRotX", "cmdDecRotX"}, "0");
        add("rotation + - -", xrot, "0", "5", {"cmdIncRotX", "cmdDecRotX", "cmdDecRotX"}, "-5");
        add("not reduced to a turn", "txtZrot", "360", "5", {"cmdIncRotZ"}, "365");
        add("word counts as 0", xrot, "angle", "5", {"cmdIncRotX"}, "5");
        add("formula replaced by leading number", xrot, "30+pi", "5", {"cmdDecRotX"}, "25");
        add("step without number rewrites value", "txtYtr", "1.50", "x", {"cmdIncTranY"}, "1.5");
        add("step read by leading number", "txtYtr", "0", "0.25m", {"cmdDecTranY"}, "-0.25");
        add("translation decimals", "txtZtr", "0.1", "0.2", {"cmdIncTranZ"}, "0.3");
    }
    void singles()
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

    void unknownButton()
    {
        FieldMap fields;
        QVERIFY(!StepButtons::press(QStringLiteral("cmdPlot"), fields));
        QVERIFY(!StepButtons::press(QStringLiteral("cmdZoomIn"), fields));
        QVERIFY(!StepButtons::press(QString(), fields));
        QVERIFY(!StepButtons::find(QStringLiteral("cmdDecWindW")));
    }

    void toggleRoundTrip()
    {
        FieldMap f;
        ParametricToggle::apply(f);
        const QStringList explicitLayout = snapshot(f);
        QCOMPARE(f.caption(QStringLiteral("lblZ")), QStringLiteral("z(x,y)="));
        QCOMPARE(f.toolTip(QStringLiteral("txtEquationZ")),
                 QStringLiteral("Function must be entered in terms of \"x\" and \"y\""));
        QCOMPARE(f.caption(QStringLiteral("lblxu")), QStringLiteral("<=x<="));
        QVERIFY(!f.isShown(QStringLiteral("txtEquationX")) && f.isShown(QStringLiteral("FraDer")));

        f.setChecked(QStringLiteral("chkParametric"), true);
        ParametricToggle::apply(f);
        const QStringList parametricLayout = snapshot(f);
        QCOMPARE(f.caption(QStringLiteral("lblZ")), QStringLiteral("z(u,v)="));
        QCOMPARE(f.toolTip(QStringLiteral("txtEquationZ")),
                 QStringLiteral("Function must be entered in terms of \"u\" and \"v\""));
        QCOMPARE(f.caption(QStringLiteral("lblyv")), QStringLiteral("<=v<="));
        QVERIFY(f.isShown(QStringLiteral("txtEquationX")) &&
                !f.isShown(QStringLiteral("fraAccuracy")));
        // The toggle changes no field text, and every listed control.
        QCOMPARE(f.text(QStringLiteral("txtEquationZ")),
                 FieldMap().text(QStringLiteral("txtEquationZ")));
        for (qsizetype i = 0; i < kLayoutControls.size(); ++i)
            QVERIFY2(parametricLayout[i] != explicitLayout[i], qPrintable(kLayoutControls[i]));

        f.setChecked(QStringLiteral("chkParametric"), false);
        ParametricToggle::apply(f);
        QCOMPARE(snapshot(f), explicitLayout);
        ParametricToggle::apply(f); // twice in the same state changes nothing
        QCOMPARE(snapshot(f), explicitLayout);
    }
};

QTEST_APPLESS_MAIN(TestSteps)
#include "test_steps.moc"
