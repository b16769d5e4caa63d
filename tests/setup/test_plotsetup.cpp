#include "common/EngineFixture.h"
#include "setup/FieldMap.h"
#include "setup/NumberText.h"
#include "setup/PlotSetup.h"
#include "setup/PlotSetupReader.h"

#include <QtTest>

namespace {

struct Reader : EngineFixture
{
    FieldMap fields;
    PlotSetup setup;
    QString message;

    bool read() { return ReadPlotSetup(setup, fields, engine, message, &class1); }
};

} // namespace

class TestPlotSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults()
    {
        Reader r;
        QVERIFY(r.read());
        QVERIFY(r.message.isEmpty() && r.shownMessages.isEmpty());
        // Exactly the float nearest to each value: the arithmetic is double, stored as float.
        const PlotSetup& s = r.setup;
        const QList<float> derived{s.SpanX,   s.SpanY,  s.SpanZ,  s.Xmid,  s.RatioYX,
                                   s.RatioZX, s.StepXu, s.StepYv, s.SegXu, s.SegYv};
        QCOMPARE(derived, (QList<float>{5, 4, 3, 0, 0.8f, 0.6f, 0.2f, 0.2f, 0.1f, 0.1f}));
        QVERIFY(s.Options.Lines && !s.Options.Dots && !s.Options.Parametric);
        // The right view's eye factor is only ever set by opening a setup file.
        r.setup.EyeFactor[1] = 0.5f;
        r.fields.setText(QStringLiteral("txtStereo"), QStringLiteral("-2"));
        QVERIFY(r.read());
        QCOMPARE(QList<float>({s.EyeFactor[0], s.EyeFactor[1]}), QList<float>({-2, 0.5f}));
    }

    void countsRoundHalfToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5 gives 2") << "2.5" << true << 2;
        QTest::newRow("12 with letters") << "12abc" << true << 12;
        QTest::newRow("largest") << "2147483647.4" << true << 2147483647;
        QTest::newRow("above 32 bits") << "2147483648" << false << 0;
    }
    void countsRoundHalfToEven()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, expected);
        Reader r;
        r.fields.setText(QStringLiteral("txtGrid"), text);
        QCOMPARE(r.read(), ok);
        if (ok) {
            QCOMPARE(r.setup.Grid, expected);
        } else {
            QCOMPARE(r.message, QStringLiteral("Overflow in Grid"));
            QCOMPARE(r.setup.Ndots, 0); // read after Grid: untouched
        }
    }

    void derivativeSelector_data()
    {
        QTest::addColumn<QString>("xder");
        QTest::addColumn<QString>("yder");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("selector");
        QTest::newRow("Zxy") << "1"
                             << "1" << true << 5;
        QTest::newRow("order 3 is the function") << "2"
                                                 << "1" << true << 0;
        QTest::newRow("Xder 3") << "3"
                                << "0" << false << 0;
    }
    void derivativeSelector()
    {
        QFETCH(QString, xder);
        QFETCH(QString, yder);
        QFETCH(bool, ok);
        QFETCH(int, selector);
        Reader r;
        r.setup.DerivSelector = 77;
        r.fields.setText(QStringLiteral("txtXder"), xder);
        r.fields.setText(QStringLiteral("txtYder"), yder);
        QCOMPARE(r.read(), ok);
        if (ok) {
            QCOMPARE(r.setup.DerivSelector, selector);
        } else {
            QVERIFY(!r.message.isEmpty());
            QCOMPARE(r.setup.DerivSelector, 77);
            QVERIFY(r.setup.EquationZ.isEmpty()); // the texts come after the selector
        }
    }

    void failureStopsTheReader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("engineShowsIt");
        QTest::newRow("syntax error") << "1 +" << QString() << true;
        QTest::newRow("not a number") << "\"abc\""
                                      << "Type mismatch in Rangelxu" << false;
        QTest::newRow("trapped in a Class1 function") << "Asin(2)"
                                                      << "Invalid argument in Rangelxu" << false;
    }
    void failureStopsTheReader()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(bool, engineShowsIt);
        Reader r;
        QVERIFY(r.read());
        r.fields.setText(QStringLiteral("txtWindowlx"), QStringLiteral("-3"));
        r.fields.setText(QStringLiteral("txtRangelxu"), text);
        r.fields.setText(QStringLiteral("txtRangegxu"), QStringLiteral("4"));
        r.fields.setText(QStringLiteral("txtNdots"), QStringLiteral("7"));
        r.fields.setText(QStringLiteral("txtEquationZ"), QStringLiteral("x"));
        QVERIFY(!r.read());
        QCOMPARE(r.message, message);
        QCOMPARE(r.shownMessages.size(), engineShowsIt ? 1 : 0);
        QCOMPARE(r.setup.Windowlx, -3.0f); // before: new
        QCOMPARE(r.setup.SpanX, 5.0f);     // derived later: old
        QCOMPARE(r.setup.Rangelxu, -1.0f); // the failing field: old
        QCOMPARE(r.setup.Rangegxu, 1.0f);  // after: old
        QCOMPARE(r.setup.Ndots, 5000);     // after: old
        QCOMPARE(r.setup.EquationZ, QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5")); // old
    }

    void derivedFailures_data()
    {
        QTest::addColumn<QStringList>("changes"); // control, text, ...
        QTest::addColumn<QString>("message");
        QTest::newRow("no x width") << QStringList{"txtWindowlx", "1", "txtWindowgx", "1"}
                                    << "Division by zero: the x window has no width";
        QTest::newRow("segments round to 0")
            << QStringList{"txtSegsyv", "0.4"}
            << "Division by zero: the number of segments in y or v is 0";
        QTest::newRow("span overflows")
            << QStringList{"txtWindowlx", "-3e38", "txtWindowgx", "3e38"} << "Overflow in SpanX";
    }
    void derivedFailures()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        Reader r;
        QVERIFY(r.read());
        for (qsizetype i = 0; i < changes.size(); i += 2)
            r.fields.setText(changes[i], changes[i + 1]);
        r.fields.setText(QStringLiteral("txtXder"), QStringLiteral("1"));
        QVERIFY(!r.read());
        QCOMPARE(r.message, message);
        QCOMPARE(r.setup.RatioYX, 0.8f); // derived after the failure: old
        QCOMPARE(r.setup.Xder, 0);       // read after: old
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks anywhere") << " 1 2 . 5 " << 12.5;
        QTest::newRow("D exponent") << "1D2" << 100.0;
        QTest::newRow("letters first") << "abc" << 0.0;
        QTest::newRow("point then exponent") << "5.E2" << 500.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(LeadingNumber(text), expected);
    }

    void completeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("expected");
        QTest::newRow("blank between digits") << "1 2" << false << 0.0;
        QTest::newRow("trailing letters") << "1x" << false << 0.0;
        QTest::newRow("beyond double range") << "1e999" << false << 0.0;
    }
    void completeNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, expected);
        double value = 0;
        QCOMPARE(ParseCompleteNumber(text, value), ok);
        if (ok) QCOMPARE(value, expected);
    }
};

QTEST_GUILESS_MAIN(TestPlotSetup)
#include "test_plotsetup.moc"
