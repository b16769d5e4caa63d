#include "eval/EngineSetup.h"

#include <QtTest>
#include <cmath>

// Class1's eight functions: their values, their exact ends, and their trapped failures,
// which travel through ierr and the window's error number while the engine succeeds.
class TestEngineClass1 : public QObject
{
    Q_OBJECT

private:
    static double halfpi() { return std::atan(1.0) * 2; }

private Q_SLOTS:
    void functions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("ierr");
        const double h = halfpi();
        auto ok = [](const char* text, double value) {
            QTest::newRow(text) << QString::fromLatin1(text) << value << 0;
        };
        auto trapped = [](const char* text, int number) {
            QTest::newRow(text) << QString::fromLatin1(text) << 0.0 << number;
        };
        ok("Asin(1)", h);
        ok("Asin(-1)", -h);
        ok("Asin(0)", 0);
        ok("Asin(0.5)", std::atan(0.5 / std::sqrt(1 - 0.25)));
        ok("Acos(1)", 0);
        ok("Acos(-1)", 2 * h);
        ok("Acos(0.5)", h - std::atan(0.5 / std::sqrt(1 - 0.25)));
        ok("Sinh(1)", (std::exp(1.0) - std::exp(-1.0)) * 0.5);
        ok("Sinh(709)", (std::exp(709.0) - std::exp(-709.0)) * 0.5);
        ok("Cosh(-2)", (std::exp(-2.0) + std::exp(2.0)) * 0.5);
        ok("Tanh(1)", 1 - 2 * std::exp(-1.0) / (std::exp(1.0) + std::exp(-1.0)));
        ok("Tanh(-700)", 1 - 2 * std::exp(700.0) / (std::exp(-700.0) + std::exp(700.0)));
        ok("Asinh(1)", std::log(1 + std::sqrt(2.0)));
        ok("Asinh(-3)", std::log(-3 + std::sqrt(10.0)));
        ok("Acosh(1)", 0);
        ok("Acosh(2)", std::log(2 + std::sqrt(3.0)));
        ok("Atanh(0.5)", std::log(1.5 / 0.5) * 0.5);
        ok("Atanh(0)", 0);
        ok("asin(\"1\")", h);
        trapped("Asin(1.0000001)", 5);
        trapped("Asin(-2)", 5);
        trapped("Acos(2)", 5);
        trapped("Sinh(710)", 6);
        trapped("Sinh(-710)", 6);
        trapped("Cosh(710)", 6);
        trapped("Tanh(1000)", 6);
        trapped("Tanh(-1000)", 6);
        trapped("Asinh(-1E8)", 5);
        trapped("Asinh(1E155)", 6);
        trapped("Acosh(0.5)", 5);
        trapped("Acosh(-1)", 5);
        trapped("Acosh(-2)", 5);
        trapped("Acosh(1E200)", 6);
        trapped("Atanh(1)", 11);
        trapped("Atanh(-1)", 5);
        trapped("Atanh(2)", 5);
        trapped("Atanh(-1E300)", 5);
    }
    void functions()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, ierr);
        EngineSetup s;
        // Through both paths of the engine; each trapped failure leaves the call successful.
        for (int path = 0; path < 2; ++path) {
            s.sh.ierr = 0;
            s.windowError = 0;
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
            QCOMPARE(s.sh.ierr, ierr);
            QCOMPARE(s.windowError, ierr);
            TAVRIGON_COMPARE_EXACT(d, value);
        }
    }

    // A success leaves an earlier number in ierr alone: the caller clears it before a point.
    void successKeepsIerr()
    {
        Class1 c;
        c.halfpi = halfpi();
        c.ierr = 7;
        TAVRIGON_COMPARE_EXACT(c.Asin(1), halfpi());
        QCOMPARE(c.ierr, 7);
        QCOMPARE(c.Atanh(1), 0.0);
        QCOMPARE(c.ierr, 11);
    }

    // Without an attached window error only ierr is written.
    void withoutWindowError()
    {
        Class1 c;
        QCOMPARE(c.Tanh(1000), 0.0);
        QCOMPARE(c.ierr, 6);
    }

    void engineErrorsComeFirst_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::newRow("argument divides by zero") << QStringLiteral("Asin(1/0)") << 11;
        QTest::newRow("word argument") << QStringLiteral("Asin(\"x\")") << 13;
        QTest::newRow("null argument") << QStringLiteral("Acos(Null)") << 13;
        QTest::newRow("no argument") << QStringLiteral("Tanh") << 450;
    }
    // An argument that fails in the engine never reaches the function: ierr stays 0.
    void engineErrorsComeFirst()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        EngineSetup s;
        Variant v;
        QCOMPARE(s.engine.eval(text, v), error);
        QCOMPARE(s.notified.size(), 1);
        QCOMPARE(s.sh.ierr, 0);
        double d = 0;
        QCOMPARE(s.number(text, d), error);
        QCOMPARE(s.sh.ierr, 0);
    }

    void membersAreGlobal_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("value");
        QTest::newRow("x") << QStringLiteral("x = 1.25") << QStringLiteral("sh.x") << 1.25;
        QTest::newRow("Y upper case") << QStringLiteral("Y = -3") << QStringLiteral("y") << -3.0;
        QTest::newRow("u through sh") << QStringLiteral("sh.u = 4") << QStringLiteral("U") << 4.0;
        QTest::newRow("v from string")
            << QStringLiteral("v = \"2.5\"") << QStringLiteral("v") << 2.5;
        QTest::newRow("ierr rounds")
            << QStringLiteral("ierr = 2.5") << QStringLiteral("ierr") << 2.0;
        QTest::newRow("pi kept") << QStringLiteral("a1 = 0") << QStringLiteral("pi")
                                 << std::atan(1.0) * 4;
        QTest::newRow("e kept") << QStringLiteral("a1 = 0") << QStringLiteral("e") << std::exp(1.0);
    }
    void membersAreGlobal()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expression);
        QFETCH(double, value);
        EngineSetup s;
        QCOMPARE(s.run(statement), 0);
        double d = 0;
        QCOMPARE(s.number(expression, d), 0);
        TAVRIGON_COMPARE_EXACT(d, value);
    }

    void startStatements()
    {
        EngineSetup s;
        TAVRIGON_COMPARE_EXACT(s.sh.halfpi, std::atan(1.0) * 2);
        TAVRIGON_COMPARE_EXACT(s.sh.pi, std::atan(1.0) * 4);
        TAVRIGON_COMPARE_EXACT(s.sh.e, std::exp(1.0));
        QVERIFY(s.notified.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEngineClass1)
#include "test_engine_class1.moc"
