#include "setup/FieldMap.h"
#include "setup/PlotSetup.h"
#include "setup/ZoomPan.h"

#include <QtTest>

namespace {
const QStringList kWindow = {"txtWindowlx", "txtWindowgx", "txtWindowly",
                             "txtWindowgy", "txtWindowlz", "txtWindowgz"};

QStringList windowTexts(const FormFields& f)
{
    QStringList texts;
    for (const QString& n : kWindow)
        texts.append(f.text(n));
    return texts;
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
        // An overflow leaves the texts and the setup as they were.
        const QStringList wide = {"-3e38", "3e38", "-2", "2", "-1.5", "1.5"};
        QTest::newRow("zoom out past the float range") << wide << QList<int>{0} << wide;
    }
    void actions()
    {
        QFETCH(QStringList, start);
        QFETCH(QList<int>, codes);
        QFETCH(QStringList, expected);

        FieldMap fields;
        for (qsizetype i = 0; i < start.size(); ++i)
            fields.setText(kWindow[i], start[i]);
        PlotSetup setup;
        setup.Windowgz = 7;
        const bool overflow = start.value(0) == QLatin1String("-3e38");
        for (int code : std::as_const(codes)) {
            QString error;
            QCOMPARE(ZoomPan(code, fields, error, &setup), !overflow);
            QCOMPARE(error, overflow ? QStringLiteral("Overflow") : QString());
        }
        QCOMPARE(windowTexts(fields), expected);
        // The setup receives the window as written.
        QCOMPARE(setup.Windowgz, overflow ? 7.0f : expected.last().toFloat());
        QCOMPARE(fields.text(QStringLiteral("txtRangegxu")),
                 FieldMap().text(QStringLiteral("txtRangegxu")));
    }
};

QTEST_APPLESS_MAIN(TestZoomPan)
#include "test_zoompan.moc"
