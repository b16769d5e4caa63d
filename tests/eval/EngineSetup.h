#pragma once

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"

#include <QString>
#include <QVector>
#include <QtTest>

// The engine as the program sets it up: Class1 added as "sh" with its members global, then
// the three start statements. Every notification is recorded.
struct EngineSetup
{
    Class1 sh;
    ScriptEngine engine;
    qint32 windowError = 0;
    QVector<ScriptError> notified;

    EngineSetup()
    {
        sh.attachWindowError(&windowError);
        engine.setErrorHandler([this](const ScriptError& e) { notified.append(e); });
        engine.addObject(QStringLiteral("sh"), &sh, true);
        engine.executeStatement(QStringLiteral("halfpi = Atn(1) * 2"));
        engine.executeStatement(QStringLiteral("pi = Atn(1) * 4"));
        engine.executeStatement(QStringLiteral("e = Exp(1)"));
    }

    // evalNumber on the compiled text.
    qint32 number(const QString& text, double& value)
    {
        value = 0;
        return engine.evalNumber(engine.compile(text), value);
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

// Evaluates text through eval and through evalNumber and checks both against the row: the
// error number (0 for success), the sub-type name of eval's value and its number or text.
// The two paths must agree, and every engine failure must be notified exactly once per call.
inline void checkOutcome(EngineSetup& s, const QString& text, int error, const QString& type,
                         double value, const QString& str = QString())
{
    s.notified.clear();
    Variant v;
    const qint32 rc = s.engine.eval(text, v);
    QCOMPARE(rc, error);
    if (error) {
        QCOMPARE(s.notified.size(), 1);
        QCOMPARE(s.notified.first().number, error);
        QVERIFY(!s.notified.first().description.isEmpty());
        QCOMPARE(s.engine.lastError().number, error);
    } else {
        QCOMPARE(s.notified.size(), 0);
        QCOMPARE(v.typeName(), type);
        if (type == QLatin1String("String"))
            QCOMPARE(v.stringValue(), str);
        else if (type != QLatin1String("Null") && type != QLatin1String("Empty"))
            TAVRIGON_COMPARE_EXACT(v.number(), value);
    }

    s.notified.clear();
    double d = 0;
    const qint32 rcNumber = s.number(text, d);
    if (error) {
        QCOMPARE(rcNumber, error);
        QCOMPARE(s.notified.size(), 1);
    } else if (type == QLatin1String("Null")) {
        QCOMPARE(rcNumber, 13);
        QCOMPARE(s.notified.size(), 0);
    } else if (type == QLatin1String("String")) {
        double converted = 0;
        const qint32 conversion = Variant::parseNumber(str, converted);
        QCOMPARE(rcNumber, conversion == 0 ? 0 : conversion == 6 ? 6 : 13);
        QCOMPARE(s.notified.size(), 0);
        if (conversion == 0) TAVRIGON_COMPARE_EXACT(d, converted);
    } else {
        QCOMPARE(rcNumber, 0);
        QCOMPARE(s.notified.size(), 0);
        TAVRIGON_COMPARE_EXACT(d, type == QLatin1String("Empty") ? 0.0 : value);
    }
}

// The columns every outcome table shares.
inline void outcomeColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("str");
}

inline void row(const char* name, const QString& text, int error, const char* type, double value,
                const QString& str = QString())
{
    QTest::newRow(name) << text << error << QString::fromLatin1(type) << value << str;
}

inline void number(const char* text, const char* type, double value)
{
    row(text, QString::fromLatin1(text), 0, type, value);
}

inline void failure(const char* text, int error)
{
    row(text, QString::fromLatin1(text), error, "", 0);
}

inline void string(const char* text, const char* value)
{
    row(text, QString::fromLatin1(text), 0, "String", 0, QString::fromLatin1(value));
}

#define TAVRIGON_CHECK_OUTCOME(setup)                                                              \
    do {                                                                                           \
        QFETCH(QString, text);                                                                     \
        QFETCH(int, error);                                                                        \
        QFETCH(QString, type);                                                                     \
        QFETCH(double, value);                                                                     \
        QFETCH(QString, str);                                                                      \
        checkOutcome((setup), text, error, type, value, str);                                      \
    } while (false)
