#include "common/EngineFixture.h"

#include <QtTest>
#include <cmath>

// Errors with their numbers, messages and positions; assignment statements and Class1's
// members; Class1's functions, whose failures travel through ierr; the delivery of errors.
class TestEngineStatements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("statement");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("position");
        auto add = [](const char* text, bool statement, int error, const char* message,
                      int position) {
            QTest::newRow(text) << QString::fromLatin1(text) << statement << error
                                << QString::fromLatin1(message) << position;
        };
        add("1 + ", false, 1002, "Syntax error", 4);
        add("a = 1 : b = 2", false, 1025, "Expected end of statement", 6);
        add("x.", false, 1010, "Expected identifier", 2);
        add("1 + sqrt(x)", false, 13, "Type mismatch: 'sqrt'", 4);
        add("x*ln(x)", false, 13, "Type mismatch: 'ln'", 2);
        add("x(2)", false, 13, "Type mismatch", 0);
        add("a b", true, 1025, "Expected end of statement", 2);
        add("Sin = 1", true, 501, "Illegal assignment", 0);
        add("x = \"abc\"", true, 13, "Type mismatch", 0);
        add("ierr = 1E10", true, 6, "Overflow", 0);
        add("sh.w = 1", true, 438, "Object doesn't support this property or method", 0);
    }
    void errors()
    {
        QFETCH(QString, text);
        QFETCH(bool, statement);
        QFETCH(int, error);
        QFETCH(QString, message);
        QFETCH(int, position);
        EngineFixture s;
        Variant v;
        QCOMPARE(statement ? s.run(text) : s.engine.eval(text, v), error);
        QCOMPARE(s.notified.size(), 1);
        QCOMPARE(s.notified.first().description, message);
        QCOMPARE(int(s.notified.first().position), position);
        double d = 0;
        if (!statement) QCOMPARE(s.number(text, d), error); // the compiled form fails alike
    }

    void assignments_data()
    {
        QTest::addColumn<QString>("statements");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("value");
        auto add = [](const char* name, const char* statements, const char* text, double value) {
            QTest::newRow(name) << QString::fromLatin1(statements) << QString::fromLatin1(text)
                                << value;
        };
        add("constant", "a=2.37", "a*2", 4.74);
        add("removed constant", "a=2.37|a=0", "a", 0.0);
        add("case of names", "Abc = 3", "aBC + ABC", 6.0);
        add("continuation", "c = 4 + _\n 1 : d = c", "d", 5.0);
        add("string kept", "b = \"2\"", "b * 3", 6.0);
        add("byte kept", "b = CByte(3)", "b * 2", 6.0);
        add("failed keeps", "q = 1.5|q = 1/0", "q * 2", 3.0);
        add("member through sh", "sh.u = 4", "U", 4.0);
        add("ierr rounds", "ierr = 2.5", "ierr", 2.0);
        add("eval never assigns", "a = 1", "(a = 2.37) + (x = 7) + x", 0.0);
        add("start statements", "", "pi * e + halfpi",
            std::atan(1.0) * 4 * std::exp(1.0) + std::atan(1.0) * 2);
    }

    void assignments()
    {
        QFETCH(QString, statements);
        QFETCH(QString, expression);
        QFETCH(double, value);
        EngineFixture s;
        // Compiled first: a variable that then holds no plain number takes the general path.
        const CompiledExpression* p = s.engine.compile(expression);
        for (const QString& line : statements.split(QLatin1Char('|')))
            s.run(line);
        double d = -1;
        QCOMPARE(s.engine.evalNumber(p, d), 0);
        TAVRIGON_COMPARE_EXACT(d, value);
    }

    // Through both paths; a trapped failure leaves the call successful with the value 0.
    void class1Functions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("ierr");
        const double h = std::atan(1.0) * 2;
        auto add = [](const char* text, double value, int ierr) {
            QTest::newRow(text) << QString::fromLatin1(text) << value << ierr;
        };
        add("Asin(1)", h, 0);
        add("Acos(-1)", 2 * h, 0);
        add("Acos(0.5)", h - std::atan(0.5 / std::sqrt(0.75)), 0);
        add("Sinh(709)", (std::exp(709.0) - std::exp(-709.0)) * 0.5, 0);
        add("Tanh(-700)", 1 - 2 * std::exp(700.0) / (std::exp(-700.0) + std::exp(700.0)), 0);
        add("Asinh(-3)", std::log(-3 + std::sqrt(10.0)), 0);
        add("Atanh(0.5)", std::log(3.0) * 0.5, 0);
        add("asin(\"2\")", 0, 5);
        add("Cosh(710)", 0, 6);
        add("Asinh(-1E8)", 0, 5);
        add("Asinh(1E155)", 0, 6);
        add("Acosh(0.5)", 0, 5);
        add("Atanh(1)", 0, 11);
        add("Atanh(-1E300)", 0, 5);
    }
    void class1Functions()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, ierr);
        EngineFixture s;
        Variant v;
        double d = -1;
        QCOMPARE(s.engine.eval(text, v), 0);
        QCOMPARE(s.number(text, d), 0); // a failure writes ierr again: the same number
        QCOMPARE(s.class1.ierr, ierr);
        QCOMPARE(s.ierr, ierr);
        TAVRIGON_COMPARE_EXACT(v.number(), value);
        TAVRIGON_COMPARE_EXACT(d, value);
        QVERIFY(s.notified.isEmpty());
    }

    // Adding an object rebinds texts compiled before it, keeping their compiled forms; the
    // members of an object added without global members need its name.
    void addObjectRebinds()
    {
        Class1 first, second;
        ScriptEngine engine;
        const CompiledExpression* p = engine.compile(QStringLiteral("x + 1"));
        double d = -1;
        QCOMPARE(engine.evalNumber(p, d), 0);
        QCOMPARE(d, 1.0); // x is a never-assigned variable so far
        engine.addObject(QStringLiteral("sh"), &first, true);
        engine.addObject(QStringLiteral("other"), &second, false);
        first.x = 4;
        QCOMPARE(engine.compile(QStringLiteral("x + 1")), p);
        QCOMPARE(engine.evalNumber(p, d), 0);
        QCOMPARE(d, 5.0);
        QCOMPARE(engine.executeStatement(QStringLiteral("other.x = 10")), 0);
        QCOMPARE(engine.evalNumber(engine.compile(QStringLiteral("other.x + x")), d), 0);
        QCOMPARE(d, 14.0);
    }
};

QTEST_GUILESS_MAIN(TestEngineStatements)
#include "test_engine_statements.moc"
