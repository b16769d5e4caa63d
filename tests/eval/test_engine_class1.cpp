#include "common/EngineFixture.h"

#include <QtTest>
#include <cmath>

// Class1's functions: their values, their exact ends, and their trapped failures, which
// travel through ierr and the window's error number while the engine succeeds.
class TestEngineClass1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void functions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("ierr");
        const double h = std::atan(1.0) * 2;
        auto add = [](const char* text, double value, int ierr) {
            QTest::newRow(text) << QString::fromLatin1(text) << value << ierr;
        };
        add("Asin(1)", h, 0);
        add("Asin(-1)", -h, 0);
        add("Asin(0.5)", std::atan(0.5 / std::sqrt(1 - 0.25)), 0);
        add("Acos(1)", 0, 0);
        add("Acos(-1)", 2 * h, 0);
        add("Sinh(709)", (std::exp(709.0) - std::exp(-709.0)) * 0.5, 0);
        add("Tanh(-700)", 1 - 2 * std::exp(700.0) / (std::exp(-700.0) + std::exp(700.0)), 0);
        add("Asinh(-3)", std::log(-3 + std::sqrt(10.0)), 0);
        add("Acosh(1)", 0, 0);
        add("Atanh(0.5)", std::log(1.5 / 0.5) * 0.5, 0);
        add("asin(\"1\")", h, 0);
        add("Asin(1.0000001)", 0, 5);
        add("Acos(2)", 0, 5);
        add("Sinh(-710)", 0, 6);
        add("Cosh(710)", 0, 6);
        add("Tanh(1000)", 0, 6);
        add("Tanh(-1000)", 0, 6);
        add("Asinh(-1E8)", 0, 5);
        add("Asinh(1E155)", 0, 6);
        add("Acosh(0.5)", 0, 5);
        add("Acosh(1E200)", 0, 6);
        add("Atanh(1)", 0, 11);
        add("Atanh(-1)", 0, 5);
        add("Atanh(-1E300)", 0, 5);
    }
    void functions()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, ierr);
        EngineFixture s;
        // Through both paths of the engine; each trapped failure leaves the call successful.
        for (int path = 0; path < 2; ++path) {
            s.class1.ierr = 0;
            s.ierr = 0;
            double d = -1;
            if (path == 0) {
                Variant v;
                QCOMPARE(s.engine.eval(text, v), 0);
                QCOMPARE(v.type(), Variant::Type::Double);
                d = v.number();
            } else {
                QCOMPARE(s.number(text, d), 0);
            }
            QVERIFY(s.notified.isEmpty());
            QCOMPARE(s.class1.ierr, ierr);
            QCOMPARE(s.ierr, ierr);
            TAVRIGON_COMPARE_EXACT(d, value);
        }
    }

    // A success leaves an earlier number in ierr alone; without an attached window error only
    // ierr is written.
    void successKeepsIerr()
    {
        Class1 c;
        c.halfpi = std::atan(1.0) * 2;
        c.ierr = 7;
        TAVRIGON_COMPARE_EXACT(c.Asin(1), c.halfpi);
        QCOMPARE(c.ierr, 7);
        QCOMPARE(c.Atanh(1), 0.0);
        QCOMPARE(c.ierr, 11);
    }

    // An argument that fails in the engine never reaches the function: ierr stays 0.
    void engineErrorsComeFirst_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::newRow("argument divides by zero") << QStringLiteral("Asin(1/0)") << 11;
        QTest::newRow("null argument") << QStringLiteral("Acos(Null)") << 13;
        QTest::newRow("no argument") << QStringLiteral("Tanh") << 450;
    }
    void engineErrorsComeFirst()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        EngineFixture s;
        Variant v;
        QCOMPARE(s.engine.eval(text, v), error);
        QCOMPARE(s.notified.size(), 1);
        double d = 0;
        QCOMPARE(s.number(text, d), error);
        QCOMPARE(s.class1.ierr, 0);
    }

    void membersAreGlobal_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("value");
        QTest::newRow("Y upper case") << QStringLiteral("Y = -3") << QStringLiteral("y") << -3.0;
        QTest::newRow("u through sh") << QStringLiteral("sh.u = 4") << QStringLiteral("U") << 4.0;
        QTest::newRow("v from string")
            << QStringLiteral("v = \"2.5\"") << QStringLiteral("v") << 2.5;
        QTest::newRow("ierr rounds")
            << QStringLiteral("ierr = 2.5") << QStringLiteral("ierr") << 2.0;
        QTest::newRow("start statements")
            << QString() << QStringLiteral("pi * e + halfpi")
            << std::atan(1.0) * 4 * std::exp(1.0) + std::atan(1.0) * 2;
    }
    void membersAreGlobal()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expression);
        QFETCH(double, value);
        EngineFixture s;
        QCOMPARE(s.run(statement), 0);
        double d = 0;
        QCOMPARE(s.number(expression, d), 0);
        TAVRIGON_COMPARE_EXACT(d, value);
    }
};

QTEST_GUILESS_MAIN(TestEngineClass1)
#include "test_engine_class1.moc"
