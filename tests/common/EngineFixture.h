#pragma once

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"

#include <QStringList>
#include <QVector>
#include <QtTest>

#include <cmath>

// The engine as the main window sets it up at load: Class1 added as "sh" with its members
// global, then the three start statements. The handler does what the window's does: the
// number goes into the window's error number (ierr), and every failure but the point failures
// is "shown". Every notification is also recorded in `notified`.
struct EngineFixture
{
    Class1 class1;
    ScriptEngine engine;
    qint32 ierr = 0; // the window's evaluation error number
    QVector<ScriptError> notified;
    QStringList shownMessages;

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
        engine.executeStatement(QStringLiteral("halfpi = Atn(1) * 2"));
        engine.executeStatement(QStringLiteral("pi = Atn(1) * 4"));
        engine.executeStatement(QStringLiteral("e = Exp(1)"));
        notified.clear();
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

inline QString describe(double d)
{
    return QString::number(d, 'g', 17);
}

inline bool sameDouble(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

#define TAVRIGON_COMPARE_EXACT(actual, expected)                                                   \
    QVERIFY2(sameDouble((actual), (expected)),                                                     \
             qPrintable(describe(actual) + QStringLiteral(" != ") + describe(expected)))

// The result evalNumber must give for text whose eval succeeded with v: the same number, 13
// for Null and for words, the conversion's own result for numeric strings.
inline void checkNumberAgrees(const QString& text, const Variant& v, qint32 rcNumber, double d)
{
    if (v.isNull()) {
        QVERIFY2(rcNumber == 13, qPrintable(text));
    } else if (v.isString()) {
        double converted = 0;
        const qint32 conversion = Variant::parseNumber(v.stringValue(), converted);
        QVERIFY2(rcNumber == (conversion == 0 || conversion == 6 ? conversion : 13),
                 qPrintable(text));
        if (conversion == 0) TAVRIGON_COMPARE_EXACT(d, converted);
    } else {
        QVERIFY2(rcNumber == 0, qPrintable(text));
        TAVRIGON_COMPARE_EXACT(d, v.number());
    }
}

// Evaluates text through eval and through evalNumber and checks both against the row: the
// error number (0 for success), the sub-type name of eval's value and its number or text.
// Every engine failure must be notified exactly once per call.
inline void checkOutcome(EngineFixture& s, const QString& text, int error, const QString& type,
                         double value, const QString& str)
{
    s.notified.clear();
    Variant v;
    QCOMPARE(s.engine.eval(text, v), error);
    QCOMPARE(s.notified.size(), error ? 1 : 0);
    if (error) {
        QCOMPARE(s.notified.first().number, error);
        QVERIFY(!s.notified.first().description.isEmpty());
        QCOMPARE(s.engine.lastError().number, error);
    } else {
        QCOMPARE(v.typeName(), type);
        if (type == QLatin1String("String"))
            QCOMPARE(v.stringValue(), str);
        else if (type != QLatin1String("Null") && type != QLatin1String("Empty"))
            TAVRIGON_COMPARE_EXACT(v.number(), value);
    }
    s.notified.clear();
    double d = 0;
    const qint32 rcNumber = s.number(text, d);
    QCOMPARE(s.notified.size(), error ? 1 : 0);
    if (error)
        QCOMPARE(rcNumber, error);
    else
        checkNumberAgrees(text, v, rcNumber, d);
}

// The columns every outcome table shares, and its three kinds of row.
inline void outcomeColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("str");
}

inline void number(const char* text, const char* type, double value)
{
    QTest::newRow(text) << QString::fromLatin1(text) << 0 << QString::fromLatin1(type) << value
                        << QString();
}

inline void failure(const char* text, int error)
{
    QTest::newRow(text) << QString::fromLatin1(text) << error << QString() << 0.0 << QString();
}

inline void string(const char* text, const char* value)
{
    QTest::newRow(text) << QString::fromLatin1(text) << 0 << QStringLiteral("String") << 0.0
                        << QString::fromLatin1(value);
}

inline void null(const char* text)
{
    number(text, "Null", 0);
}

#define TAVRIGON_CHECK_OUTCOME()                                                                   \
    do {                                                                                           \
        QFETCH(QString, text);                                                                     \
        QFETCH(int, error);                                                                        \
        QFETCH(QString, type);                                                                     \
        QFETCH(double, value);                                                                     \
        QFETCH(QString, str);                                                                      \
        EngineFixture s;                                                                           \
        checkOutcome(s, text, error, type, value, str);                                            \
    } while (false)
