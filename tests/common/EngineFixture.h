#pragma once

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"

#include <QStringList>
#include <QVector>
#include <QtTest>

#include <cmath>

// The engine as the main window sets it up at load: Class1 added as "sh" with its members
// global, then the three start statements. The handler does what the window's does: the
// number goes into the window's error number (ierr); every notification is recorded.
struct EngineFixture
{
    Class1 class1;
    ScriptEngine engine;
    qint32 ierr = 0; // the window's evaluation error number
    QVector<ScriptError> notified;
    QStringList shownMessages; // what the window would show: all but the point failures

    EngineFixture()
    {
        class1.attachWindowError(&ierr);
        engine.setErrorHandler([this](const ScriptError& error) {
            ierr = error.number;
            notified.append(error);
            if (!ErrorNumbers::isPointFailure(error.number))
                shownMessages.append(error.description);
        });
        engine.addObject(QStringLiteral("sh"), &class1, true);
        for (const char* start : {"halfpi = Atn(1) * 2", "pi = Atn(1) * 4", "e = Exp(1)"})
            engine.executeStatement(QString::fromLatin1(start));
    }

    // evalNumber on the compiled text.
    qint32 number(const QString& text, double& value)
    {
        value = 0;
        return engine.evalNumber(engine.compile(text), value);
    }

    // The value of an expression through eval, NaN when it fails.
    double value(const QString& text)
    {
        Variant v;
        double d = qQNaN();
        if (engine.eval(text, v) == 0) v.toDouble(d);
        return d;
    }

    qint32 run(const QString& statement) { return engine.executeStatement(statement); }
};

// Equal, or both NaN; the message shows both in full.
#define TAVRIGON_COMPARE_EXACT(actual, expected)                                                   \
    QVERIFY2((actual) == (expected) || (std::isnan(actual) && std::isnan(expected)),               \
             qPrintable(QString::number(actual, 'g', 17) +                                         \
                        " != " + QString::number(expected, 'g', 17)))

// What evalNumber must give for a text whose eval gave v: the same number; 13 for Null and
// words; the conversion's own result for numeric strings.
inline void checkNumberAgrees(const QString& text, const Variant& v, qint32 rcNumber, double d)
{
    double converted = v.number();
    qint32 expected = v.isNull() ? 13 : 0;
    if (v.isString()) {
        expected = Variant::parseNumber(v.stringValue(), converted);
        if (expected != 0 && expected != 6) expected = 13;
    }
    QVERIFY2(rcNumber == expected, qPrintable(text));
    if (expected == 0) TAVRIGON_COMPARE_EXACT(d, converted);
}

// One row of an outcome table: the text, the error number (0 for success), the sub-type name
// of eval's value and its number or text.
inline void outcomeColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("str");
}
inline void row(const char* text, int error, const char* type = "", double value = 0,
                const char* str = "")
{
    QTest::newRow(text) << QString::fromUtf8(text) << error << QString::fromLatin1(type) << value
                        << QString::fromUtf8(str);
}

// Evaluates the row's text through eval and through evalNumber: both give the row's outcome,
// and every engine failure is notified exactly once per call.
inline void checkOutcome()
{
    QFETCH(QString, text);
    QFETCH(int, error);
    QFETCH(QString, type);
    QFETCH(double, value);
    QFETCH(QString, str);
    EngineFixture s;
    s.class1.x = 1e308;
    s.class1.y = 1e-300;
    Variant v;
    QCOMPARE(s.engine.eval(text, v), error);
    QCOMPARE(s.notified.size(), error ? 1 : 0);
    if (!error) QCOMPARE(v.typeName(), type);
    if (!error && v.isString()) QCOMPARE(v.stringValue(), str);
    if (!error && v.isNumber()) TAVRIGON_COMPARE_EXACT(v.number(), value);
    double d = 0;
    const qint32 rcNumber = s.number(text, d);
    QCOMPARE(s.notified.size(), error ? 2 : 0);
    if (error)
        QCOMPARE(rcNumber, error);
    else
        checkNumberAgrees(text, v, rcNumber, d);
}
