#include "common/EngineFixture.h"

#include <QtTest>

// Syntax errors with their numbers and messages, assignment statements, names never
// assigned, and the delivery of errors to the handler.
class TestEngineStatements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void syntaxErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("position");
        auto add = [](const char* text, int error, const char* message, int position) {
            QTest::newRow(text) << QString::fromLatin1(text) << error
                                << QString::fromLatin1(message) << position;
        };
        add("1 + ", 1002, "Syntax error", 4);
        add("Dim x", 1002, "Syntax error", 0);
        add("(1", 1006, "Expected ')'", 2);
        add("Round(1 2)", 1006, "Expected ')'", 8);
        add("2 3", 1025, "Expected end of statement", 2);
        add("a = 1 : b = 2", 1025, "Expected end of statement", 6);
        add("1 $", 1032, "Invalid character", 2);
        add("x # 2", 1032, "Invalid character", 2);
        add("\"abc", 1033, "Unterminated string constant", 0);
        add("x.", 1010, "Expected identifier", 2);
    }
    void syntaxErrors()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        QFETCH(QString, message);
        QFETCH(int, position);
        EngineFixture s;
        Variant v;
        QCOMPARE(s.engine.eval(text, v), error);
        QCOMPARE(s.notified.size(), 1);
        QCOMPARE(s.notified.first().number, error);
        QCOMPARE(s.notified.first().description, message);
        QCOMPARE(int(s.notified.first().position), position);
        // The compiled form fails the same way each time it runs.
        const CompiledExpression* p = s.engine.compile(text);
        double d = 0;
        QCOMPARE(s.engine.evalNumber(p, d), error);
        QCOMPARE(s.engine.evalNumber(p, d), error);
        QCOMPARE(s.notified.size(), 3);
    }

    void identifierLength()
    {
        EngineFixture s;
        Variant v;
        QCOMPARE(s.engine.eval(QString(255, QLatin1Char('a')), v), 0);
        QCOMPARE(s.engine.eval(QString(256, QLatin1Char('a')), v), 1030);
        QCOMPARE(s.engine.lastError().description, QStringLiteral("Identifier too long"));
    }

    void assignments_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("value");
        auto add = [](const char* name, QStringList statements, const char* expression,
                      double value) {
            QTest::newRow(name) << statements << QString::fromLatin1(expression) << value;
        };
        add("constant", {QStringLiteral("a=2.37")}, "a*2", 4.74);
        add("removed constant", {QStringLiteral("a=2.37"), QStringLiteral("a=0")}, "a", 0);
        add("comparison assigned", {QStringLiteral("a = 1 = 2")}, "a", 0);
        add("case of names", {QStringLiteral("Abc = 3")}, "aBC + ABC", 6);
        add("lines", {QStringLiteral("c = 5\r\nd = c * 2\n")}, "d", 10);
        add("continuation", {QStringLiteral("c = 4 + _\n 1")}, "c", 5);
        add("bare expression", {QStringLiteral("1 + 2")}, "1", 1);
        add("string kept", {QStringLiteral("b = \"2\"")}, "b * 3", 6);
        add("reassigned", {QStringLiteral("q = \"word\""), QStringLiteral("q = 1.5")}, "q * x", 0);
        add("never assigned", {}, "neverassigned", 0);
        add("uses constant", {QStringLiteral("k = pi / 4")}, "k * 4", std::atan(1.0) * 4);
    }
    void assignments()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, expression);
        QFETCH(double, value);
        EngineFixture s;
        for (const QString& st : statements)
            QCOMPARE(s.run(st), 0);
        double d = -1;
        QCOMPARE(s.number(expression, d), 0);
        TAVRIGON_COMPARE_EXACT(d, value);
        Variant v;
        QCOMPARE(s.engine.eval(expression, v), 0);
        TAVRIGON_COMPARE_EXACT(v.number(), value);
        QVERIFY(s.notified.isEmpty());
    }

    void statementErrors_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("error");
        QTest::newRow("no value") << QStringLiteral("a =") << 1002;
        QTest::newRow("two names") << QStringLiteral("a b") << 1025;
        QTest::newRow("built-in") << QStringLiteral("Sin = 1") << 501;
        QTest::newRow("object") << QStringLiteral("sh = 1") << 501;
        QTest::newRow("word into member") << QStringLiteral("x = \"abc\"") << 13;
        QTest::newRow("ierr too big") << QStringLiteral("ierr = 1E10") << 6;
        QTest::newRow("value fails") << QStringLiteral("a = 1/0") << 11;
        QTest::newRow("unknown member") << QStringLiteral("sh.w = 1") << 438;
        QTest::newRow("not an object") << QStringLiteral("a.b = 1") << 424;
    }
    void statementErrors()
    {
        QFETCH(QString, statement);
        QFETCH(int, error);
        EngineFixture s;
        s.class1.x = 0.5;
        QCOMPARE(s.run(statement), error);
        QCOMPARE(s.notified.size(), 1);
        QCOMPARE(s.notified.first().number, error);
        QCOMPARE(s.class1.x, 0.5);
    }

    // Inside Eval "a = 2.37" compares and assigns nothing; a failing assignment leaves the
    // old value.
    void evalNeverAssigns()
    {
        EngineFixture s;
        QCOMPARE(s.run(QStringLiteral("a = 1")), 0);
        QCOMPARE(s.run(QStringLiteral("a = 1/0")), 11);
        Variant v;
        QCOMPARE(s.engine.eval(QStringLiteral("a = 2.37"), v), 0);
        QCOMPARE(v.type(), Variant::Type::Boolean);
        QCOMPARE(v.number(), 0.0);
        QCOMPARE(s.engine.eval(QStringLiteral("a = 1"), v), 0);
        QCOMPARE(v.number(), -1.0);
        QCOMPARE(s.engine.eval(QStringLiteral("x = 7"), v), 0);
        QCOMPARE(s.class1.x, 0.0);
    }

    // The handler sees the error before the failing call returns, and may use the engine.
    void notificationBeforeReturn()
    {
        EngineFixture s;
        bool returned = false;
        int seen = 0;
        double inside = 0;
        s.engine.setErrorHandler([&](const ScriptError& e) {
            QVERIFY(!returned);
            seen = e.number;
            double d = 0;
            QCOMPARE(s.number(QStringLiteral("2 + 2"), d), 0);
            inside = d;
        });
        Variant v;
        const qint32 rc = s.engine.eval(QStringLiteral("1/0"), v);
        returned = true;
        QCOMPARE(rc, 11);
        QCOMPARE(seen, 11);
        QCOMPARE(inside, 4.0);
        QCOMPARE(s.engine.lastError().number, 11);
        QCOMPARE(s.engine.lastError().description, QStringLiteral("Division by zero"));
    }

    // Adding an object rebinds texts compiled before it, keeping their compiled forms.
    void addObjectRebinds()
    {
        Class1 first;
        ScriptEngine engine;
        const CompiledExpression* p = engine.compile(QStringLiteral("x + 1"));
        double d = -1;
        QCOMPARE(engine.evalNumber(p, d), 0);
        QCOMPARE(d, 1.0); // x is a never-assigned variable so far
        engine.addObject(QStringLiteral("sh"), &first, true);
        first.x = 4;
        QCOMPARE(engine.compile(QStringLiteral("x + 1")), p);
        QCOMPARE(engine.evalNumber(p, d), 0);
        QCOMPARE(d, 5.0);

        // Members of an object added without global members need its name.
        Class1 second;
        second.x = 10;
        engine.addObject(QStringLiteral("other"), &second, false);
        QCOMPARE(engine.evalNumber(engine.compile(QStringLiteral("other.x + x")), d), 0);
        QCOMPARE(d, 14.0);
        QCOMPARE(engine.executeStatement(QStringLiteral("other.y = 3")), 0);
        QCOMPARE(second.y, 3.0);
        QCOMPARE(first.y, 0.0);
    }

    // A program from compile() stays valid however many other texts are evaluated.
    void compiledProgramsStay()
    {
        EngineFixture s;
        const CompiledExpression* p = s.engine.compile(QStringLiteral("x * 2 + k"));
        QCOMPARE(s.engine.compile(QStringLiteral("x * 2 + k")), p);
        for (int i = 0; i < 10000; ++i) {
            Variant v;
            QCOMPARE(s.engine.eval(QStringLiteral("%1 * 90 / 2").arg(i), v), 0);
            QCOMPARE(s.run(QStringLiteral("k = %1").arg(i)), 0);
        }
        s.class1.x = 3;
        double d = 0;
        QCOMPARE(s.engine.evalNumber(p, d), 0);
        QCOMPARE(d, 6.0 + 9999);
        QCOMPARE(s.engine.compile(QStringLiteral("x * 2 + k")), p);
    }
};

QTEST_GUILESS_MAIN(TestEngineStatements)
#include "test_engine_statements.moc"
