#include "common/EngineFixture.h"
#include "eval/CompiledExpression.h"

#include <QRandomGenerator>
#include <QtTest>
#include <iterator>

// No text crashes, hangs or exhausts the stack: absurd nesting, huge texts, control
// characters and junk each give a value or an engine error with its message. And the
// all-double path always agrees with the general interpreter.
class TestEngineRobustness : public QObject
{
    Q_OBJECT

private:
    // eval, evalNumber and executeStatement on text: each returns 0 or a notified error.
    static void survive(EngineFixture& s, const QString& text)
    {
        s.notified.clear();
        Variant v;
        const qint32 rc = s.engine.eval(text, v);
        if (rc) {
            QCOMPARE(s.notified.size(), 1);
            QCOMPARE(s.notified.first().number, rc);
            QVERIFY(!s.notified.first().description.isEmpty());
        } else {
            QVERIFY(s.notified.isEmpty());
        }
        double d = 0;
        const qint32 rcNumber = s.engine.evalNumber(s.engine.compile(text), d);
        if (rc) QCOMPARE(rcNumber, rc);
        s.engine.executeStatement(text);
    }

    // The general and the all-double paths give the same error or the same value.
    static void agree(EngineFixture& s, const QString& text)
    {
        // Class1's functions write ierr, which a text may read: start both runs alike.
        s.class1.ierr = 0;
        Variant v;
        const qint32 rc = s.engine.eval(text, v);
        s.class1.ierr = 0;
        double d = 0;
        const qint32 rcNumber = s.engine.evalNumber(s.engine.compile(text), d);
        if (rc) {
            QVERIFY2(rcNumber == rc, qPrintable(text));
            return;
        }
        checkNumberAgrees(text, v, rcNumber, d);
    }

    static QString randomExpression(QRandomGenerator& random, int depth)
    {
        static const char* const kAtoms[] = {
            "0",      "1",          "2",    "0.5",    "1.5",   "-2.5", "1E308",  "32767",
            "&HFFFF", "2147483647", "True", "False",  "Empty", "x",    "y",      "a",
            "b",      "ierr",       "pi",   "halfpi", "\"3\"", "Null", "1E-300", "3",
        };
        static const char* const kBinary[] = {"+",     "-",     "*",     "/",     "\\", "^",
                                              " Mod ", "=",     "<",     ">=",    "<>", " And ",
                                              " Or ",  " Xor ", " Eqv ", " Imp ", "&"};
        static const char* const kFunctions[] = {
            "Sin",  "Cos",  "Sqr",   "Log",  "Exp",  "Atn",   "Abs",   "Int",   "Fix",
            "Sgn",  "Tan",  "Round", "CInt", "CLng", "CBool", "CDbl",  "CByte", "CSng",
            "Asin", "Acos", "Sinh",  "Cosh", "Tanh", "Asinh", "Acosh", "Atanh", "Hex",
        };
        auto pick = [&random](const auto& table) {
            return QString::fromLatin1(table[random.bounded(int(std::size(table)))]);
        };
        const int choice = depth == 0 ? 0 : int(random.bounded(10));
        switch (choice) {
        case 0:
        case 1:
            return pick(kAtoms);
        case 2:
            return QLatin1Char('-') + randomExpression(random, depth - 1);
        case 3:
            return QStringLiteral("Not ") + randomExpression(random, depth - 1);
        case 4:
            return QLatin1Char('(') + randomExpression(random, depth - 1) + QLatin1Char(')');
        case 5:
            return pick(kFunctions) + QLatin1Char('(') + randomExpression(random, depth - 1) +
                   QLatin1Char(')');
        case 6:
            return QStringLiteral("Round(") + randomExpression(random, depth - 1) +
                   QStringLiteral(", ") + pick(kAtoms) + QLatin1Char(')');
        default:
            return randomExpression(random, depth - 1) + pick(kBinary) +
                   randomExpression(random, depth - 1);
        }
    }

private Q_SLOTS:
    void absurdInputs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        const int n = 100000;
        QTest::newRow("nested parentheses")
            << QString(n, QLatin1Char('(')) + QLatin1Char('1') + QString(n, QLatin1Char(')')) << 28;
        QTest::newRow("nested Not") << QStringLiteral("Not ").repeated(n) + QLatin1Char('1') << 28;
        QTest::newRow("nested calls")
            << QStringLiteral("Sin(").repeated(n) + QLatin1Char('1') << 28;
        QTest::newRow("long sum") << QStringLiteral("1+").repeated(500000) + QLatin1Char('1') << 0;
        QTest::newRow("many signs") << QString(1000000, QLatin1Char('-')) + QLatin1Char('1') << 0;
        QTest::newRow("huge identifier") << QString(1000000, QLatin1Char('z')) << 1030;
        QTest::newRow("huge string")
            << QLatin1Char('"') + QString(1000000, QLatin1Char('s')) + QLatin1Char('"') << 0;
        QTest::newRow("huge number") << QString(1000000, QLatin1Char('9')) << 1031;
        QTest::newRow("nul") << QString(QChar(0)) << 1032;
        QTest::newRow("controls") << QStringLiteral("\x01\x02\x1b") << 1032;
        QTest::newRow("invalid utf-8")
            << QString::fromUtf8("\xff\xfe\xc3\x28\xa0\xa1\xe2\x28\xa1", 9) << 1032;
        QTest::newRow("surrogate half") << QString(QChar(0xD800)) << 1032;
    }
    void absurdInputs()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        EngineFixture s;
        s.class1.x = 1;
        Variant v;
        QCOMPARE(s.engine.eval(text, v), error);
        if (error) {
            QCOMPARE(s.notified.size(), 1);
            QCOMPARE(s.notified.first().number, error);
        }
        survive(s, text);
    }

    void longSumValue()
    {
        EngineFixture s;
        double d = 0;
        QCOMPARE(s.number(QStringLiteral("1+").repeated(500000) + QLatin1Char('1'), d), 0);
        QCOMPARE(d, 500001.0);
        QCOMPARE(s.number(QString(1000001, QLatin1Char('-')) + QLatin1Char('2'), d), 0);
        QCOMPARE(d, -2.0);
    }

    // Every prefix and every suffix of awkward texts.
    void prefixesAndSuffixes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("polynomial") << QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5");
        QTest::newRow("mixed") << QStringLiteral(
            "Not -&hffff& ^ 2 \\ 3 Mod .5e1 & \"a\"\"b\" <= Sin(x, ) Imp sh.Asin(1) = 1.e");
        QTest::newRow("statement") << QStringLiteral("a = 2.37 : b = a * 2 ' note\r\nc = _\n b");
        QTest::newRow("junk") << QStringLiteral("((()))),,,..&&&h&o\"\"\"'''==<>=<=>Rem:_");
        QTest::newRow("keywords") << QStringLiteral("Dim If Then Set New Nothing Is Me Empty Null");
        QTest::newRow("calls") << QStringLiteral(
            "Round(CInt(Hex(Oct(Rnd(-1)))), Fix(Int(Sgn(Abs(0)))))");
    }
    void prefixesAndSuffixes()
    {
        QFETCH(QString, text);
        EngineFixture s;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            survive(s, text.left(i));
            survive(s, text.mid(i));
            if (QTest::currentTestFailed()) {
                qWarning() << "at" << i;
                return;
            }
        }
    }

    // Random expressions of the language, over several variable values: the two paths must
    // agree on every one.
    void pathsAgree()
    {
        QRandomGenerator random(20240611);
        EngineFixture s;
        const double samples[] = {0, 1, -1, 0.5, 2.5, -3.5, 1e300, 40000};
        int succeeded = 0;
        int fast = 0;
        for (int n = 0; n < 4000; ++n) {
            const QString text = randomExpression(random, 4);
            const CompiledExpression* p = s.engine.compile(text);
            if (p->hasFast) ++fast;
            for (double a : {0.0, 2.0}) {
                for (double xy : samples) {
                    s.class1.x = xy;
                    s.class1.y = -xy / 3;
                    s.engine.executeStatement(QStringLiteral("a = %1").arg(a));
                    s.engine.executeStatement(
                        QStringLiteral("b = ") +
                        (n % 7 == 0 ? QStringLiteral("\"4\"") : QStringLiteral("CInt(3)")));
                    agree(s, text);
                    if (QTest::currentTestFailed()) return;
                    Variant v;
                    if (s.engine.eval(text, v) == 0) ++succeeded;
                }
            }
        }
        // The table must exercise the all-double path and successful values, not only errors.
        QVERIFY2(fast > 1500, qPrintable(QString::number(fast)));
        QVERIFY2(succeeded > 20000, qPrintable(QString::number(succeeded)));
    }

    // Overflow inside a chain of +, - and * is reported with its own number, before any later
    // failure, though the chain checks only at its end.
    void chainErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        auto add = [](const char* text, int error) {
            QTest::newRow(text) << QString::fromLatin1(text) << error;
        };
        add("x*10*0", 6);
        add("(x + x) * 0", 6);
        add("x * 10 / 0", 6);
        add("x / 0 * 10", 11);
        add("0 / 0 + x*10", 6);
        add("x*2 + 1/0", 6);
        add("Atn(x*10)", 6);
        add("x*10 > 1", 6);
        add("Asin(x*x)", 6);
        add("(1 - x) * (x + x) - 1", 6);
        add("y * x * y * x", 0);
        add("x * 1.5", 0);
        add("x * 1.8", 6);
    }
    void chainErrors()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        EngineFixture s;
        s.class1.x = 1e308;
        s.class1.y = 1e-300;
        double d = 0;
        QCOMPARE(s.number(text, d), error);
        QCOMPARE(s.class1.ierr, 0);
        agree(s, text);
    }

    // A variable whose value the all-double path cannot hold sends the text to the general
    // path with the same compiled program.
    void fallBackOnValues_data()
    {
        QTest::addColumn<QString>("assignment");
        QTest::addColumn<int>("error");
        QTest::addColumn<double>("value");
        QTest::newRow("double") << QStringLiteral("w = 1.5") << 0 << 3.0;
        QTest::newRow("word") << QStringLiteral("w = \"abc\"") << 13 << 0.0;
        QTest::newRow("null") << QStringLiteral("w = Null") << 13 << 0.0;
        QTest::newRow("byte") << QStringLiteral("w = CByte(3)") << 0 << 6.0;
    }
    void fallBackOnValues()
    {
        QFETCH(QString, assignment);
        QFETCH(int, error);
        QFETCH(double, value);
        EngineFixture s;
        const CompiledExpression* p = s.engine.compile(QStringLiteral("w * 2"));
        QCOMPARE(s.run(assignment), 0);
        double d = 0;
        QCOMPARE(s.engine.evalNumber(p, d), error);
        if (!error) TAVRIGON_COMPARE_EXACT(d, value);
        QCOMPARE(s.run(QStringLiteral("w = 4")), 0);
        QCOMPARE(s.engine.evalNumber(p, d), 0);
        QCOMPARE(d, 8.0);
    }
};

QTEST_GUILESS_MAIN(TestEngineRobustness)
#include "test_engine_robustness.moc"
