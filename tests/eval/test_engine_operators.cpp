#include "common/EngineFixture.h"

#include <QtTest>

// Operator precedence and associativity, arithmetic with its sub-type widening and its
// errors, integer division and Mod, comparisons and the bitwise logical operators.
class TestEngineOperators : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void precedence_data()
    {
        outcomeColumns();
        number("-3^2", "Double", 9);
        number("2^3^2", "Double", 64);
        number("2^-2", "Double", 0.25);
        number("2 * 3 ^ 2", "Double", 18);
        number("10 - 4 - 3", "Integer", 3);
        number("5\\4/2", "Long", 2);
        number("7 Mod 4+2", "Integer", 5);
        number("7 Mod 4 * 2", "Integer", 7);
        number("10 \\ 3 Mod 2", "Integer", 1);
        number("+--+-+1", "Integer", -1);
        number("2*-3", "Integer", -6);
        number("1 = 1 < 0", "Boolean", -1);
        number("Not 1 > 2", "Boolean", -1);
        number("Not 1 = 1", "Boolean", 0);
        number("1 <> Not 0 = 0", "Boolean", -1);
        number("1 > Not 5 > 3", "Boolean", -1);
        number("Not 0 And 0", "Integer", 0);
        number("false and false or true", "Boolean", -1);
        number("true or false xor true", "Boolean", 0);
        number("True Eqv False Imp True", "Boolean", -1);
        number("CInt (2) * 3", "Integer", 6);
        number("1 =< 2", "Boolean", -1);
        number("2 => 2", "Boolean", -1);
        number("1 >< 2", "Boolean", -1);
    }
    void precedence() { TAVRIGON_CHECK_OUTCOME(); }

    void arithmetic_data()
    {
        outcomeColumns();
        number("32767 + 1", "Long", 32768);
        number("32767*32767", "Long", 1073676289);
        number("2147483647 + 1", "Double", 2147483648.0);
        number("-32768 - 1", "Long", -32769);
        number("3/2", "Double", 1.5);
        number("1.5 + True", "Double", 0.5);
        number("True + True", "Integer", -2);
        number("CByte(200) + CByte(100)", "Integer", 300);
        number("CByte(200) + CByte(50)", "Byte", 250);
        number("CSng(1.5) * 1000", "Single", 1500);
        number("CSng(1.5) * 100000", "Double", 150000);
        number("undefinedvar + 2", "Integer", 2);
        number("-Empty", "Integer", 0);
        number("Empty ^ 2", "Double", 0);
        number("2 ^ 0.5", "Double", std::sqrt(2.0));
        number("(-8) ^ 3", "Double", -512);
        null("Null * 0");
        failure("1/0", 11);
        failure("0/0", 6);
        failure("x/0", 6);
        failure("-1/0", 11);
        failure("10/undefinedvar", 11);
        failure("Empty/Empty", 6);
        failure("1E308 * 10", 6);
        failure("-1E308 - 1E308", 6);
        failure("10 ^ 400", 6);
        failure("(-8) ^ (1/3)", 5);
        failure("0 ^ -1", 11);
        failure("1 + (2 * (3 / 0))", 11);
    }
    void arithmetic() { TAVRIGON_CHECK_OUTCOME(); }

    void integerDivision_data()
    {
        outcomeColumns();
        number("4.6 \\ 1.5", "Long", 2);
        number("4.6 \\ 1.49", "Long", 5);
        number("-7 \\ 2", "Integer", -3);
        number("2.5 \\ 1", "Long", 2);
        number("3.5 \\ 1", "Long", 4);
        number("-2.5 \\ 1", "Long", -2);
        number("11.6 Mod 5.5", "Long", 0);
        number("19 Mod 6.7", "Long", 5);
        number("-7 Mod 3", "Integer", -1);
        number("7 Mod -3", "Integer", 1);
        number("CInt(-32768) \\ -1", "Long", 32768);
        number("CByte(7) \\ CByte(2)", "Byte", 3);
        failure("1 \\ 0", 11);
        failure("CInt(3) Mod Empty", 11);
        failure("1 \\ 0.4", 11);
        failure("1E10 \\ 3", 6);
        failure("CLng(-2147483647 - 1) \\ -1", 6);
        failure("\"a\" \\ 1", 13);
        null("Null \\ 0");
    }
    void integerDivision() { TAVRIGON_CHECK_OUTCOME(); }

    void comparisonsAndLogic_data()
    {
        outcomeColumns();
        number("1 = 1.0", "Boolean", -1);
        number("false > true", "Boolean", -1);
        number("true >= 2", "Boolean", 0);
        number("Empty = 0", "Boolean", -1);
        number("Not 5", "Integer", -6);
        number("Not True", "Boolean", 0);
        number("Not Empty", "Long", -1);
        number("Not 2.5", "Long", -3);
        number("Not CByte(5)", "Byte", 250);
        number("5 Xor 3", "Integer", 6);
        number("5 Eqv 3", "Integer", -7);
        number("True Imp False", "Boolean", 0);
        number("Empty Or 5", "Long", 5);
        number("1.5 And 3", "Long", 2);
        number("False And Null", "Boolean", 0);
        number("True Or Null", "Boolean", -1);
        number("Null And 0", "Integer", 0);
        null("True And Null");
        null("Null = 1");
        null("Not Null");
        failure("Not 1E10", 6);
        failure("\"a\" Or 1", 13);
        failure("x Is y", 424);
    }
    void comparisonsAndLogic() { TAVRIGON_CHECK_OUTCOME(); }
};

QTEST_GUILESS_MAIN(TestEngineOperators)
#include "test_engine_operators.moc"
