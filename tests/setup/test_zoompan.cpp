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
        QTest::newRow("in then out") << QStringList() << QList<int>{9, 0} << defaults;
        QTest::newRow("octant 1") << QStringList() << QList<int>{1}
                                  << QStringList{"0", "2.5", "0", "2", "0", "1.5"};
        QTest::newRow("pan right") << QStringList() << QList<int>{10}
                                   << QStringList{"-2.5", "2.5", "-1.5", "2.5", "-1.5", "1.5"};
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
        PlotSetup setup;
        for (int code : std::as_const(codes)) {
            QString error;
            QVERIFY(ZoomPan(code, fields, error, &setup));
            QVERIFY(error.isEmpty());
        }
        QCOMPARE(windowTexts(fields), expected);
        // The setup receives the window as written.
        QCOMPARE(setup.Windowgz, expected.last().toFloat());
        QCOMPARE(fields.text(QStringLiteral("txtRangegxu")),
                 FieldMap().text(QStringLiteral("txtRangegxu")));
    }

    void overflow_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("code");

        QTest::newRow("zoom out past the float range")
            << QStringList{"-3e38", "3e38", "-2", "2", "-1.5", "1.5"} << 0;
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
};

QTEST_APPLESS_MAIN(TestZoomPan)
#include "test_zoompan.moc"
