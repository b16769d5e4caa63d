#include "common/EngineFixture.h"

#include <QtTest>
#include <cmath>

// The numeric built-in functions: rounding rules, conversions, domain errors, and the names
// the engine refuses (no object creation, no nested evaluation).
class TestEngineBuiltins : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rounding_data()
    {
        outcomeColumns();
        number("Int(-2.5)", "Double", -3);
        number("Int(-8.4)", "Double", -9);
        number("Int(True)", "Integer", -1);
        number("Int(\"2.5\")", "Double", 2);
        number("Fix(-2.5)", "Double", -2);
        number("Fix(8.4)", "Double", 8);
        number("Round(2.5)", "Double", 2);
        number("Round(3.5)", "Double", 4);
        number("Round(-3.5)", "Double", -4);
        number("Round(-2.5)", "Double", -2);
        number("Round(0.5)", "Double", 0);
        number("Round(-0.4)", "Double", -0.0);
        number("Round(0.12345, 4)", "Double", 0.1234);
        number("Round(-2.567, 1)", "Double", -2.6);
        number("Round(7)", "Integer", 7);
        number("Round(1E300, 5)", "Double", 1E300);
        number("CInt(0.5)", "Integer", 0);
        number("CInt(1.5)", "Integer", 2);
        number("CInt(2.5)", "Integer", 2);
        number("CInt(-36.5)", "Integer", -36);
        number("CInt(-32768.5)", "Integer", -32768);
        number("CLng(2147483646.5)", "Long", 2147483646);
        failure("Round(1, -1)", 5);
        failure("CInt(32767.5)", 6);
        failure("CInt(-32768.51)", 6);
        failure("CInt(\"\")", 13);
        failure("CLng(2147483647.5)", 6);
        failure("CLng(Null)", 94);
    }
    void rounding() { TAVRIGON_CHECK_OUTCOME(); }

    void conversions_data()
    {
        outcomeColumns();
        number("CByte(True)", "Byte", 255);
        number("CByte(0.5)", "Byte", 0);
        number("CBool(5)", "Boolean", -1);
        number("CBool(\"true\")", "Boolean", -1);
        number("CBool(\"0\")", "Boolean", 0);
        number("CDbl(\"1.5\")", "Double", 1.5);
        number("CSng(1.1)", "Single", double(1.1f));
        failure("CByte(\"-1\")", 6);
        failure("CByte(\"258\")", 6);
        failure("CBool(\"yes\")", 13);
        failure("CDbl(Null)", 94);
        failure("CSng(1E300)", 6);
        string("Hex(255)", "FF");
        string("Hex(-1)", "FFFF");
        string("Hex(-32768)", "FFFF8000");
        string("Hex(CInt(-32768))", "8000");
        string("Hex(228.5)", "E4");
        string("Hex(-2147483647.5)", "80000000");
        string("Oct(8.5)", "10");
        string("Oct(9.5)", "12");
        string("Oct(-32768)", "37777700000");
        null("Hex(Null)");
        failure("Hex(2147483647.5)", 6);
        failure("Hex(\"x\")", 13);
    }
    void conversions() { TAVRIGON_CHECK_OUTCOME(); }

    void mathematics_data()
    {
        outcomeColumns();
        number("Abs(-2.5)", "Double", 2.5);
        number("Abs(CInt(-32768))", "Long", 32768);
        number("Abs(True)", "Integer", 1);
        number("Abs(\"-3\")", "Double", 3);
        null("Abs(Null)");
        number("Sgn(-2.5)", "Integer", -1);
        number("Sqr(4)", "Double", 2);
        number("Exp(709)", "Double", std::exp(709.0));
        number("Log(e)", "Double", std::log(std::exp(1.0)));
        number("Sin(pi / 6)", "Double", std::sin(std::atan(1.0) * 4 / 6));
        number("Tan(halfpi)", "Double", std::tan(std::atan(1.0) * 2));
        failure("Abs(\"x\")", 13);
        failure("Sgn(Null)", 94);
        failure("Sqr(-2)", 5);
        failure("Sqr(True)", 5);
        failure("Log(0)", 5);
        failure("Log(True)", 5);
        failure("Exp(710)", 6);
        failure("Sin(\"a\")", 13);
    }
    void mathematics() { TAVRIGON_CHECK_OUTCOME(); }

    // Names that are no function here fail; nothing is created, run or opened.
    void refusedCalls_data()
    {
        outcomeColumns();
        failure("foo(1)", 13);
        failure("CreateObject(\"Scripting.FileSystemObject\")", 13);
        failure("GetObject(\"x\")", 13);
        failure("Execute(\"a = 1\")", 13);
        failure("Eval(\"1\")", 13);
        failure("Shell(\"ls\")", 13);
        failure("x(1)", 13);
        failure("Sin()", 450);
        failure("Sin", 450);
        failure("Round(1, 2, 3)", 450);
        failure("Asin(1, 2)", 450);
        failure("sh", 438);
        failure("sh.nope", 438);
        failure("sh.nothing", 1010);
        failure("a.b", 424);
        failure("New Foo", 1002);
        number("SH.HALFPI", "Double", std::atan(1.0) * 2);
        number("sh.Asin(1)", "Double", std::atan(1.0) * 2);
    }
    void refusedCalls() { TAVRIGON_CHECK_OUTCOME(); }

    void rnd()
    {
        EngineFixture s;
        Variant first, a, b, again, seeded1, seeded2;
        QCOMPARE(s.engine.eval(QStringLiteral("Rnd(0)"), first), 0);
        QCOMPARE(first.type(), Variant::Type::Single);
        TAVRIGON_COMPARE_EXACT(first.number(), 327680.0 / 16777216.0);
        QCOMPARE(s.engine.eval(QStringLiteral("Rnd"), a), 0);
        QCOMPARE(s.engine.eval(QStringLiteral("Rnd()"), b), 0);
        QVERIFY(a.number() >= 0 && a.number() < 1 && b.number() >= 0 && b.number() < 1);
        QVERIFY(a.number() != b.number());
        QCOMPARE(s.engine.eval(QStringLiteral("Rnd(0)"), again), 0);
        TAVRIGON_COMPARE_EXACT(again.number(), b.number());
        // A negative argument reseeds: the same argument gives the same value.
        QCOMPARE(s.engine.eval(QStringLiteral("Rnd(-3)"), seeded1), 0);
        QCOMPARE(s.engine.eval(QStringLiteral("Rnd(-3)"), seeded2), 0);
        TAVRIGON_COMPARE_EXACT(seeded1.number(), seeded2.number());
    }
};

QTEST_GUILESS_MAIN(TestEngineBuiltins)
#include "test_engine_builtins.moc"
