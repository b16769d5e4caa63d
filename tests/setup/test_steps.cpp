#include "setup/FieldMap.h"
#include "setup/ParametricToggle.h"
#include "setup/StepButtons.h"

#include <QtTest>

class TestSteps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A button and the texts of its field (and of the upper limit for an interval) before and
    // after, with its step field's text.
    void press_data()
    {
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("before"); // field, upper limit
        QTest::addColumn<QStringList>("after");
        auto add = [](const char* name, QStringList buttons, const char* step, QStringList before,
                      QStringList after) {
            QTest::newRow(name) << buttons << step << before << after;
        };
        const QStringList dec{"cmdDecWindX"}, inc{"cmdIncWindX"};
        add("window x widened", inc, "0.1", {"-2.5", "2.5"}, {"-2.55", "2.55"});
        add("word step leaves limits", dec, "one", {"-2.5", "2.5"}, {"-2.5", "2.5"});
        add("overflow keeps both limits", inc, "1e308", {"-1.5e308", "1.5e308"},
            {"-1.5e308", "1.5e308"});
        add("rotation + - -", {"cmdIncRotX", "cmdDecRotX", "cmdDecRotX"}, "5", {"0"}, {"-5"});
        add("step without number rewrites value", {"cmdIncTranY"}, "x", {"1.50"}, {"1.5"});
    }
    void press()
    {
        QFETCH(QStringList, buttons);
        QFETCH(QString, step);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        const StepButton* b = StepButtons::find(buttons.first());
        QVERIFY(b);
        QCOMPARE(b->isInterval(), before.size() == 2);
        FieldMap fields;
        fields.setText(b->field, before[0]);
        if (b->isInterval()) fields.setText(b->upperField, before[1]);
        fields.setText(b->stepField, step);
        for (const QString& name : std::as_const(buttons))
            QVERIFY(StepButtons::press(name, fields));
        QCOMPARE(fields.text(b->field), after[0]);
        if (b->isInterval()) QCOMPARE(fields.text(b->upperField), after[1]);
        QVERIFY(!StepButtons::press(QStringLiteral("cmdPlot"), fields));
    }

    void toggleRoundTrip()
    {
        FieldMap f;
        ParametricToggle::apply(f);
        f.setChecked(QStringLiteral("chkParametric"), true);
        ParametricToggle::apply(f);
        QCOMPARE(f.caption(QStringLiteral("lblyv")), QStringLiteral("<=v<="));
        QCOMPARE(f.toolTip(QStringLiteral("txtEquationZ")),
                 QStringLiteral("Function must be entered in terms of \"u\" and \"v\""));
        QVERIFY(f.isShown(QStringLiteral("txtEquationX")) &&
                !f.isShown(QStringLiteral("fraAccuracy")));
        f.setChecked(QStringLiteral("chkParametric"), false);
        ParametricToggle::apply(f);
        QCOMPARE(f.caption(QStringLiteral("lblyv")), QStringLiteral("<=y<="));
        QVERIFY(!f.isShown(QStringLiteral("txtEquationX")));
    }
};

QTEST_APPLESS_MAIN(TestSteps)
#include "test_steps.moc"
