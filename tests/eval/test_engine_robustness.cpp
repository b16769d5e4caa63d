#include "common/EngineFixture.h"
#include "eval/CompiledExpression.h"

#include <QRandomGenerator>
#include <QtTest>

// No text crashes, hangs, exhausts the stack or the memory: absurd nesting, huge texts,
// strings that double, control characters and junk each give a value or an engine error.
// And the all-double path always agrees with the general interpreter.
class TestEngineRobustness : public QObject
{
    Q_OBJECT

private:
    // eval, evalNumber and executeStatement on text: the same error, notified once.
    static void survive(EngineFixture& s, const QString& text)
    {
        s.notified.clear();
        Variant v;
        const qint32 rc = s.engine.eval(text, v);
        QCOMPARE(s.notified.size(), rc ? 1 : 0);
        double d = 0;
        if (const qint32 rcNumber = s.number(text, d); rc) QCOMPARE(rcNumber, rc);
        s.engine.executeStatement(text);
    }

    static QString randomExpression(QRandomGenerator& random, int depth)
    {
        static const QStringList kAtoms =
            QStringLiteral("0|1|0.5|-2.5|1E308|32767|True|Empty|x|y|a|b|ierr|pi|\"3\"|Null|1E-300")
                .split('|');
        static const QStringList kBinary =
            QStringLiteral("+|-|*|/|\\|^|=|<|>=| Mod | And | Or |&| Xor | Eqv | Imp ").split('|');
        static const QStringList kUnary =
            QStringLiteral("-|Not |Sin|Cos|Sqr|Log|Exp|Atn|Abs|Int|Round|CInt|CLng|Tan|CDbl|Asin|"
                           "Tanh|Atanh")
                .split('|');
        auto pick = [&random](const QStringList& t) { return t[random.bounded(int(t.size()))]; };
        const int choice = depth == 0 ? 0 : int(random.bounded(6));
        if (choice < 2) return pick(kAtoms);
        if (choice == 2) return pick(kUnary) + '(' + randomExpression(random, depth - 1) + ')';
        if (choice == 3)
            return "Round(" + randomExpression(random, depth - 1) + ", " + pick(kAtoms) + ')';
        return randomExpression(random, depth - 1) + pick(kBinary) +
               randomExpression(random, depth - 1);
    }

    // The batch path gives each point what evalNumber gives it alone, the notification that
    // it holds back included; counts the batchable programs.
    static void batchAgrees(EngineFixture& s, const QString& text, const CompiledExpression* p,
                            int& batched)
    {
        if (!s.engine.batchable(p)) return;
        ++batched;
        const double xs[] = {0.0, 1.0, -1.0, 2.5, -3.5, 1e300, 40000.0, 0.5, -1e-300, 7.0};
        const int n = int(std::size(xs));
        double ys[std::size(xs)];
        for (int i = 0; i < n; ++i)
            ys[i] = -xs[i] / 3;
        FastBatch::Results batch;
        s.class1.ierr = 0;
        s.engine.evalNumbers(p, s.class1, {xs, ys, nullptr, nullptr}, n, batch);
        for (int i = 0; i < n; ++i) {
            s.class1.x = xs[i];
            s.class1.y = ys[i];
            s.notified.clear();
            double d = 0;
            const qint32 rc = s.engine.evalNumber(p, d);
            QVERIFY2(batch.error[i] == rc, qPrintable(text));
            if (rc) {
                const ScriptError alone = s.notified.value(0);
                s.notified.clear();
                s.engine.notifyFailure(p, batch.error[i], batch.failedInstruction[i]);
                QCOMPARE(s.notified.size(), 1);
                QVERIFY2(s.notified[0].position == alone.position &&
                             s.notified[0].description == alone.description,
                         qPrintable(text));
            } else {
                TAVRIGON_COMPARE_EXACT(batch.value[i], d);
            }
        }
    }

private Q_SLOTS:
    void absurdInputs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        const int n = 100000;
        QTest::newRow("nested parentheses") << QString(n, '(') + '1' + QString(n, ')') << 28;
        QTest::newRow("nested Not") << QStringLiteral("Not ").repeated(n) + '1' << 28;
        QTest::newRow("huge identifier") << QString(1000000, 'z') << 1030;
        QTest::newRow("huge number") << QString(1000000, '9') << 1031;
        QTest::newRow("text beyond 16 MB") << QString(Variant::MaxStringLength + 1, ' ') << 7;
        QTest::newRow("nul") << QString(QChar(0)) << 1032;
    }
    void absurdInputs()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        EngineFixture s;
        Variant v;
        QCOMPARE(s.engine.eval(text, v), error);
        survive(s, text);
    }

    // A 1 MB chain of & or + of strings takes linear time: with copying the whole string at each
    // step it would exceed the copying budget of one evaluation and fail.
    void longChains()
    {
        EngineFixture s;
        Variant v;
        QCOMPARE(s.engine.eval(QStringLiteral("1 & ").repeated(250000) + '1', v), 0);
        QCOMPARE(v.stringValue(), QString(250001, '1'));
        QCOMPARE(s.engine.eval(QStringLiteral("\"a\" + ").repeated(200000) + "\"a\"", v), 0);
        QCOMPARE(v.stringValue().size(), 200001);
    }

    // A string that doubles fails with Out of memory at 16 MB, from statements as from
    // expressions; the engine then goes on as before.
    void boundedStrings()
    {
        EngineFixture s;
        QCOMPARE(s.run(QStringLiteral("a = \"0123456789abcdef\"")), 0);
        qint32 rc = 0;
        int doublings = 0;
        while (rc == 0 && doublings < 40) {
            rc = s.run(QStringLiteral("a = a & a"));
            ++doublings;
        }
        QCOMPARE(rc, 7);
        QCOMPARE(s.notified.last().description, QStringLiteral("Out of memory"));
        QCOMPARE(doublings, 20); // 16 << 19 characters is the last that fits
        Variant v;
        QCOMPARE(s.engine.eval(QStringLiteral("a & a"), v), 7);
        // Copies of the longest string, each within the bound, exhaust the copying budget.
        QCOMPARE(s.engine.eval(QStringLiteral("(a & \"\" > \"\") And ").repeated(10) + '1', v), 7);
        double d = 0;
        QCOMPARE(s.number(QStringLiteral("1 + 1"), d), 0);
        QCOMPARE(d, 2.0);
    }

    // Every prefix and every suffix of awkward texts.
    void prefixesAndSuffixes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("mixed") << QStringLiteral(
            "Not -&hffff& ^ 2 \\ 3 Mod .5e1 & \"a\"\"b\" <= Sin(x, ) Imp sh.Asin(1) = 1.e");
        QTest::newRow("statement") << QStringLiteral("a = 2.37 : b = a * 2 ' note\r\nc = _\n b");
        QTest::newRow("junk") << QStringLiteral("((()))),,,..&&&h&o\"\"\"'''==<>=<=>Rem:_");
        QTest::newRow("calls") << QStringLiteral("Round(CInt(Hex(Oct(Rnd(-1)))), Fix(Sgn(0)))");
    }
    void prefixesAndSuffixes()
    {
        QFETCH(QString, text);
        EngineFixture s;
        for (qsizetype i = 0; i <= text.size() && !QTest::currentTestFailed(); ++i) {
            survive(s, text.left(i));
            survive(s, text.mid(i));
        }
    }

    // Random expressions over several variable values: the two paths agree on every one.
    void pathsAgree()
    {
        QRandomGenerator random(20240611);
        EngineFixture s;
        int fast = 0, batched = 0;
        for (int n = 0; n < 4000 && !QTest::currentTestFailed(); ++n) {
            const QString text = randomExpression(random, 4);
            const CompiledExpression* p = s.engine.compile(text);
            fast += p->hasFast;
            for (int k : {0, 3000}) // 6000 statements in turn: the cache's older generation
                s.run(QStringLiteral("c = %1").arg(n % 3000 + k));
            for (double xy : {0.0, 1.0, -1.0, 2.5, -3.5, 1e300, 40000.0}) {
                s.class1.x = xy;
                s.class1.y = -xy / 3;
                s.run(n % 2 ? "a = 2 : b = CInt(3)" : "a = 0 : b = \"4\"");
                s.class1.ierr = 0; // Class1's functions write ierr, which a text may read
                Variant v;
                const qint32 rc = s.engine.eval(text, v);
                s.class1.ierr = 0;
                double d = 0;
                const qint32 rcNumber = s.engine.evalNumber(p, d);
                if (rc)
                    QVERIFY2(rcNumber == rc, qPrintable(text));
                else
                    checkNumberAgrees(text, v, rcNumber, d);
            }
            batchAgrees(s, text, p, batched);
        }
        QVERIFY2(fast > 1500, qPrintable(QString::number(fast))); // the fast path is exercised
        QVERIFY2(batched > 1000, qPrintable(QString::number(batched))); // and the batch path
    }
};

QTEST_GUILESS_MAIN(TestEngineRobustness)
#include "test_engine_robustness.moc"
