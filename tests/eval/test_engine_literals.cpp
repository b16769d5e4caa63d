#include "common/EngineFixture.h"

#include <QtTest>

// Numeric, string and keyword literals, and the conversions of numeric strings.
class TestEngineLiterals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void literals_data()
    {
        outcomeColumns();
        number("2", "Integer", 2);
        number(".5e1", "Double", 5);
        number("10.", "Double", 10);
        number("56.789e-2", "Double", 0.56789);
        number("1e-94938484", "Double", 0);
        number("32767", "Integer", 32767);
        number("32768", "Long", 32768);
        number("2147483648", "Double", 2147483648.0);
        number("-32768", "Long", -32768);
        number("&H1F", "Integer", 31);
        number("&hffff", "Integer", -1);
        number("&H8000", "Integer", -32768);
        number("&hffff&", "Long", 65535);
        number("&HFFFFF", "Long", 1048575);
        number("&hffffffff&", "Long", -1);
        number("&H0000000000000031", "Integer", 49);
        number("&o177777", "Integer", -1);
        number("&h01or&h02", "Integer", 3);
        number("True", "Boolean", -1);
        number("Empty", "Empty", 0);
        null("Null");
        string("\"a\"\"b\"", "a\"b");
        string("\"\"", "");
        failure(".1e310", 1031);
        failure("&H123456789", 1031);
        failure("1D3", 1025);
        failure("\"abc", 1033);
        failure("1.2.3", 1025);
    }
    void literals() { TAVRIGON_CHECK_OUTCOME(); }

    void numericStrings_data()
    {
        outcomeColumns();
        number("\"2\" + 3", "Double", 5);
        string("\"12\" + \"12\"", "1212");
        number("\"2\" * \"3\"", "Double", 6);
        number("\" 5\" = 5", "Boolean", -1);
        number("\"10\" > 9", "Boolean", -1);
        number("\"10\" > \"9\"", "Boolean", 0);
        number("\"&H10\" + 0", "Double", 16);
        number("-\"3\"", "Double", -3);
        failure("\"abc\" + 1", 13);
        failure("\"\" > 0", 13);
        failure("\"1,5\" * 1", 13);
        failure("\"1e400\" * 1", 6);
        string("1 + 2 & 3", "33");
        string("\"x\" & Null", "x");
        string("2.5 & True", "2.5True");
        string("1E20 & \"\"", "1E+20");
        string("1.5E-07 & \"\"", "1.5E-07");
        string("(1/3) & \"\"", "0.333333333333333");
        number("Empty = \"\"", "Boolean", -1);
        null("Null & Null");
    }
    void numericStrings() { TAVRIGON_CHECK_OUTCOME(); }

    // Non-numeric results fail the caller's conversion with 13 and notify nothing.
    void conversionOfResult_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::addColumn<double>("value");
        QTest::newRow("word") << QStringLiteral("\"abc\"") << 13 << 0.0;
        QTest::newRow("numeric string") << QStringLiteral("\"4.5\"") << 0 << 4.5;
        QTest::newRow("hex text of 16") << QStringLiteral("Hex(16)") << 0 << 10.0;
        QTest::newRow("hex text of 255") << QStringLiteral("Hex(255)") << 13 << 0.0;
        QTest::newRow("empty text") << QString() << 0 << 0.0;
    }
    void conversionOfResult()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        QFETCH(double, value);
        EngineFixture s;
        double d = 123;
        QCOMPARE(s.number(text, d), error);
        QVERIFY(s.notified.isEmpty());
        if (!error) TAVRIGON_COMPARE_EXACT(d, value);
    }
};

QTEST_GUILESS_MAIN(TestEngineLiterals)
#include "test_engine_literals.moc"
