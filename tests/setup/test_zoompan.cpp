#include "setup/FieldMap.h"
#include "setup/PlotSetup.h"
#include "setup/ZoomPan.h"

#include <QtTest>

namespace {
const QStringList& windowNames()
{
    static const QStringList names = {"txtWindowlx", "txtWindowgx", "txtWindowly",
                                      "txtWindowgy", "txtWindowlz", "txtWindowgz"};
    return names;
}

QStringList windowTexts(const FormFields& f)
{
    QStringList texts;
    for (const QString& n : windowNames())
        texts.append(f.text(n));
    return texts;
}

void setWindow(FormFields& f, const QStringList& texts)
{
    for (qsizetype i = 0; i < windowNames().size(); ++i)
        f.setText(windowNames().at(i), texts.at(i));
}
} // namespace

class TestZoomPan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void actions_data()
    {
        QTest::addColumn<QStringList>("start"); // empty: the window's defaults
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QStringList>("expected");

        const QStringList defaults = {"-2.5", "2.5", "-2", "2", "-1.5", "1.5"};
        QTest::newRow("zoom in") << QStringList() << QList<int>{9}
                                 << QStringList{"-1.25", "1.25", "-1", "1", "-0.75", "0.75"};
        QTest::newRow("zoom out") << QStringList() << QList<int>{0}
                                  << QStringList{"-5", "5", "-4", "4", "-3", "3"};
        QTest::newRow("in then out") << QStringList() << QList<int>{9, 0} << defaults;
        QTest::newRow("octant 1") << QStringList() << QList<int>{1}
                                  << QStringList{"0", "2.5", "0", "2", "0", "1.5"};
        QTest::newRow("octant 4") << QStringList() << QList<int>{4}
                                  << QStringList{"0", "2.5", "-2", "0", "0", "1.5"};
        QTest::newRow("octant 7") << QStringList() << QList<int>{7}
                                  << QStringList{"-2.5", "0", "-2", "0", "-1.5", "0"};
        QTest::newRow("pan right") << QStringList() << QList<int>{10}
                                   << QStringList{"-2.5", "2.5", "-1.5", "2.5", "-1.5", "1.5"};
        QTest::newRow("pan up") << QStringList() << QList<int>{11}
                                << QStringList{"-2.5", "2.5", "-2", "2", "-1.125", "1.875"};
        QTest::newRow("pan in") << QStringList() << QList<int>{14}
                                << QStringList{"-3.125", "1.875", "-2", "2", "-1.5", "1.5"};
        QTest::newRow("right then left") << QStringList() << QList<int>{10, 12} << defaults;
        QTest::newRow("unknown code rewrites texts")
            << QStringList{"-2.50", "2.5", "-2", "2", "-1.5", "1.5abc"} << QList<int>{16}
            << QStringList{"-2.5", "2.5", "-2", "2", "-1.5", "1.5"};
        QTest::newRow("formula replaced by leading number")
            << QStringList{"-pi", "2*pi", "-2", "2", "-1.5", "1.5"} << QList<int>{9}
            << QStringList{"0.5", "1.5", "-1", "1", "-0.75", "0.75"};
        QTest::newRow("thirds in float")
            << QStringList{"0", "0.3333333333", "-1", "1", "-1", "1"} << QList<int>{0}
            << QStringList{"-0.1666667", "0.5", "-2", "2", "-2", "2"};
    }
    void actions()
    {
        QFETCH(QStringList, start);
        QFETCH(QList<int>, codes);
        QFETCH(QStringList, expected);

        FieldMap fields;
        if (!start.isEmpty()) setWindow(fields, start);
        for (int code : std::as_const(codes)) {
            QString error;
            QVERIFY(ZoomPan(code, fields, error));
            QVERIFY(error.isEmpty());
        }
        QCOMPARE(windowTexts(fields), expected);
    }

    void overflow_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("code");

        QTest::newRow("zoom out past the float range")
            << QStringList{"-3e38", "3e38", "-2", "2", "-1.5", "1.5"} << 0;
        QTest::newRow("pan out past the float range")
            << QStringList{"3.3e38", "3.4e38", "-2", "2", "-1.5", "1.5"} << 15;
        QTest::newRow("text beyond float")
            << QStringList{"-2.5", "2.5", "-2", "2", "-1.5", "1e39"} << 1;
    }
    void overflow()
    {
        QFETCH(QStringList, start);
        QFETCH(int, code);

        FieldMap fields;
        setWindow(fields, start);
        PlotSetup setup;
        setup.Windowlx = 7;
        QString error;
        QVERIFY(!ZoomPan(code, fields, error, &setup));
        QCOMPARE(error, QStringLiteral("Overflow"));
        QCOMPARE(windowTexts(fields), start);
        QCOMPARE(setup.Windowlx, 7.0f);
    }

    void setupReceivesWindow()
    {
        FieldMap fields;
        PlotSetup setup;
        QString error;
        QVERIFY(ZoomPan(1, fields, error, &setup));
        const QList<float> window{setup.Windowlx, setup.Windowgx, setup.Windowly,
                                  setup.Windowgy, setup.Windowlz, setup.Windowgz};
        QCOMPARE(window, (QList<float>{0, 2.5f, 0, 2, 0, 1.5f}));
    }

    void otherFieldsUntouched()
    {
        FieldMap fields;
        fields.setText(QStringLiteral("txtRangelxu"), QStringLiteral("-pi"));
        QString error;
        for (int code = 0; code < 16; ++code)
            QVERIFY(ZoomPan(code, fields, error));
        const FieldMap defaults;
        QCOMPARE(fields.text(QStringLiteral("txtRangelxu")), QStringLiteral("-pi"));
        for (const char* n : {"txtRangegxu", "txtXrot", "txtStepWindX", "txtEquationZ"})
            QCOMPARE(fields.text(QLatin1String(n)), defaults.text(QLatin1String(n)));
    }
};

QTEST_APPLESS_MAIN(TestZoomPan)
#include "test_zoompan.moc"
