#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "setup/FieldMap.h"
#include "setup/FieldValidation.h"
#include "setup/NumberText.h"

#include <QtTest>

namespace {
// Stands in for the engine: plain numbers, a few named formulas, and failures.
struct FakeEngine
{
    int calls = 0;
    QStringList seen;

    qint32 operator()(const QString& text, double& value)
    {
        ++calls;
        seen.append(text);
        static const QHash<QString, double> formulas = {
            {QStringLiteral("1/4"), 0.25},
            {QStringLiteral("pi/2"), 1.5707963267948966},
            {QStringLiteral("a-a"), 0.0},
        };
        if (formulas.contains(text)) {
            value = formulas.value(text);
            return 0;
        }
        if (text == QLatin1String("1/0")) return 11;
        if (ParseCompleteNumber(text, value)) return 0;
        return 1025; // a syntax error
    }

    FieldValidation::Evaluate evaluate()
    {
        return [this](const QString& t, double& v) { return (*this)(t, v); };
    }
};
} // namespace

class TestValidation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validation_data();
    void validation();
    void engineFailureStopsChecks();
    void limitPairs_data();
    void limitPairs();
    void limitPairEvaluationOrder();
    void derivativeSum_data();
    void derivativeSum();
    void handlerLists();
    void withEngine_data();
    void withEngine();
};

void TestValidation::validation_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mayLeave");

    QTest::newRow("spacings 0") << "txtSpacexu"
                                << "0" << false;
    QTest::newRow("spacings 2.5") << "txtSpacexu"
                                  << "2.5" << false;
    QTest::newRow("spacings -3") << "txtSpacexu"
                                 << "-3" << false;
    QTest::newRow("spacings word") << "txtSpacexu"
                                   << "ten" << false;
    QTest::newRow("spacings 7abc") << "txtSpacexu"
                                   << "7abc" << true;
    QTest::newRow("spacings 1") << "txtSpaceyv"
                                << "1" << true;
    QTest::newRow("spacings beyond 32 bits") << "txtSpaceyv"
                                             << "3e9" << false;
    QTest::newRow("segments empty") << "txtSegsyv"
                                    << "" << false;
    QTest::newRow("segments 1.5") << "txtSegsyv"
                                  << "1.5" << false;
    QTest::newRow("grid 0") << "txtGrid"
                            << "0" << true;
    QTest::newRow("grid -1") << "txtGrid"
                             << "-1" << false;
    QTest::newRow("grid word reads 0") << "txtGrid"
                                       << "none" << true;
    QTest::newRow("grid 0.5") << "txtGrid"
                              << "0.5" << false;
    QTest::newRow("dots 0") << "txtNdots"
                            << "0" << false;
    QTest::newRow("dots 5000") << "txtNdots"
                               << "5000" << true;
    QTest::newRow("reduce 0.5") << "txtReduce"
                                << "0.5" << true;
    QTest::newRow("reduce 1") << "txtReduce"
                              << "1" << true;
    QTest::newRow("reduce 1.5") << "txtReduce"
                                << "1.5" << false;
    QTest::newRow("reduce 0") << "txtReduce"
                              << "0" << false;
    QTest::newRow("reduce formula 0.25") << "txtReduce"
                                         << "1/4" << true;
    QTest::newRow("reduce syntax error") << "txtReduce"
                                         << "1/" << false;
    QTest::newRow("divisions formula") << "txtDivx"
                                       << "pi/2" << true;
    QTest::newRow("divisions 0") << "txtDivy"
                                 << "0" << false;
    QTest::newRow("divisions formula 0") << "txtDivz"
                                         << "a-a" << false;
    QTest::newRow("divisions division by zero") << "txtDivx"
                                                << "1/0" << false;
    QTest::newRow("order 2") << "txtXder"
                             << "2" << true;
    QTest::newRow("order 3") << "txtXder"
                             << "3" << false;
    QTest::newRow("order -1") << "txtYder"
                              << "-1" << false;
    QTest::newRow("order 0.5") << "txtYder"
                               << "0.5" << false;
    QTest::newRow("stereo has no check") << "txtStereo"
                                         << "nonsense" << true;
    QTest::newRow("window limit has no validation") << "txtWindowlx"
                                                    << "?" << true;
    QTest::newRow("step field has no check") << "txtStepWindX"
                                             << "" << true;
}

void TestValidation::validation()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(bool, mayLeave);

    FieldMap fields;
    fields.setText(control, text);
    FakeEngine engine;
    QCOMPARE(FieldValidation::validate(control, fields, engine.evaluate()), mayLeave);
    // The text stays as typed.
    QCOMPARE(fields.text(control), text);
    const bool factor =
        control.startsWith(QLatin1String("txtDiv")) || control == QLatin1String("txtReduce");
    if (!factor) QCOMPARE(engine.calls, 0);
}

void TestValidation::engineFailureStopsChecks()
{
    FieldMap fields;
    FakeEngine engine;
    fields.setText(QStringLiteral("txtReduce"), QStringLiteral("2*"));
    QVERIFY(!FieldValidation::validate(QStringLiteral("txtReduce"), fields, engine.evaluate()));
    QCOMPARE(engine.calls, 1); // one message, not one per test
    engine.calls = 0;
    fields.setText(QStringLiteral("txtReduce"), QStringLiteral("0.5"));
    QVERIFY(FieldValidation::validate(QStringLiteral("txtReduce"), fields, engine.evaluate()));
    QCOMPARE(engine.calls, 2); // each test reads the text itself
}

void TestValidation::limitPairs_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("lowerText");
    QTest::addColumn<QString>("upperText");
    QTest::addColumn<QString>("partner");

    QTest::newRow("window x reversed, lower left") << "txtWindowlx"
                                                   << "3"
                                                   << "2.5"
                                                   << "txtWindowgx";
    QTest::newRow("window x reversed, upper left") << "txtWindowgx"
                                                   << "3"
                                                   << "2.5"
                                                   << "txtWindowlx";
    QTest::newRow("window x equal") << "txtWindowlx"
                                    << "2"
                                    << "2"
                                    << "txtWindowgx";
    QTest::newRow("window z equal") << "txtWindowgz"
                                    << "1"
                                    << "1"
                                    << "txtWindowlz";
    QTest::newRow("domain equal") << "txtRangelxu"
                                  << "2"
                                  << "2"
                                  << "";
    QTest::newRow("domain reversed") << "txtRangegyv"
                                     << "1"
                                     << "0.5"
                                     << "txtRangelyv";
    QTest::newRow("domain formula in order") << "txtRangelyv"
                                             << "1/4"
                                             << "pi/2"
                                             << "";
    QTest::newRow("engine error does nothing") << "txtWindowlx"
                                               << "3"
                                               << "2*"
                                               << "";
    QTest::newRow("lower error does nothing") << "txtWindowlx"
                                              << "1/0"
                                              << "-5"
                                              << "";
    QTest::newRow("not a limit") << "txtReduce"
                                 << "3"
                                 << "2"
                                 << "";
}

void TestValidation::limitPairs()
{
    QFETCH(QString, left);
    QFETCH(QString, lowerText);
    QFETCH(QString, upperText);
    QFETCH(QString, partner);

    static const QHash<QString, QString> upperOf = {
        {"txtWindowlx", "txtWindowgx"}, {"txtWindowly", "txtWindowgy"},
        {"txtWindowlz", "txtWindowgz"}, {"txtRangelxu", "txtRangegxu"},
        {"txtRangelyv", "txtRangegyv"}, {"txtReduce", "txtStereo"}};
    QString lower = left;
    for (auto it = upperOf.cbegin(); it != upperOf.cend(); ++it) {
        if (it.value() == left) lower = it.key();
    }
    FieldMap fields;
    fields.setText(lower, lowerText);
    fields.setText(upperOf.value(lower), upperText);
    FakeEngine engine;
    QCOMPARE(FieldValidation::limitPairPartner(left, fields, engine.evaluate()), partner);
    QCOMPARE(fields.text(lower), lowerText);
    QCOMPARE(fields.text(upperOf.value(lower)), upperText);
}

void TestValidation::limitPairEvaluationOrder()
{
    FieldMap fields;
    FakeEngine engine;
    fields.setText(QStringLiteral("txtWindowly"), QStringLiteral("-1"));
    fields.setText(QStringLiteral("txtWindowgy"), QStringLiteral("1/4"));
    QCOMPARE(
        FieldValidation::limitPairPartner(QStringLiteral("txtWindowgy"), fields, engine.evaluate()),
        QString());
    QCOMPARE(engine.seen, (QStringList{"-1", "1/4"})); // lower first, whichever was left
    // Tabbing back and forth keeps sending the user to the partner until mended.
    fields.setText(QStringLiteral("txtWindowly"), QStringLiteral("5"));
    QString at = QStringLiteral("txtWindowly");
    for (int i = 0; i < 4; ++i) {
        at = FieldValidation::limitPairPartner(at, fields, engine.evaluate());
        QCOMPARE(at, i % 2 ? QStringLiteral("txtWindowly") : QStringLiteral("txtWindowgy"));
    }
    fields.setText(QStringLiteral("txtWindowgy"), QStringLiteral("6"));
    QVERIFY(FieldValidation::limitPairPartner(at, fields, engine.evaluate()).isEmpty());
}

void TestValidation::derivativeSum_data()
{
    QTest::addColumn<QString>("xder");
    QTest::addColumn<QString>("yder");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("partner");

    QTest::newRow("2 and 1, x left") << "2"
                                     << "1"
                                     << "txtXder"
                                     << "txtYder";
    QTest::newRow("2 and 1, y left") << "2"
                                     << "1"
                                     << "txtYder"
                                     << "txtXder";
    QTest::newRow("1 and 1") << "1"
                             << "1"
                             << "txtXder"
                             << "";
    QTest::newRow("2 and 0") << "2"
                             << "0"
                             << "txtYder"
                             << "";
    QTest::newRow("2 and 2") << "2"
                             << "2"
                             << "txtYder"
                             << "txtXder";
    QTest::newRow("not an order field") << "2"
                                        << "2"
                                        << "txtGrid"
                                        << "";
}

void TestValidation::derivativeSum()
{
    QFETCH(QString, xder);
    QFETCH(QString, yder);
    QFETCH(QString, left);
    QFETCH(QString, partner);

    FieldMap fields;
    fields.setText(QStringLiteral("txtXder"), xder);
    fields.setText(QStringLiteral("txtYder"), yder);
    FakeEngine engine;
    // Each order passes its own validation even when the sum is too large.
    QVERIFY(FieldValidation::validate(QStringLiteral("txtXder"), fields, engine.evaluate()));
    QVERIFY(FieldValidation::validate(QStringLiteral("txtYder"), fields, engine.evaluate()));
    QCOMPARE(FieldValidation::derivativeSumPartner(left, fields), partner);
}

void TestValidation::handlerLists()
{
    QCOMPARE(FieldValidation::focusSelectFields().size(), 46);
    // Every validated field refuses something: a word in every count, 0 in every factor.
    FieldMap fields;
    FakeEngine engine;
    for (const QString& c : FieldValidation::validatedFields()) {
        fields.setText(c,
                       c == QLatin1String("txtGrid") ? QStringLiteral("-1") : QStringLiteral("-5"));
        QVERIFY2(!FieldValidation::validate(c, fields, engine.evaluate()), qPrintable(c));
    }
}

void TestValidation::withEngine_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mayLeave");
    QTest::addColumn<int>("messages");

    QTest::newRow("reduce formula 0.25") << "txtReduce"
                                         << "1/4" << true << 0;
    QTest::newRow("reduce formula 1.25") << "txtReduce"
                                         << "5/4" << false << 0;
    QTest::newRow("divisions from pi") << "txtDivx"
                                       << "pi/4" << true << 0;
    QTest::newRow("divisions negative pi") << "txtDivy"
                                           << "-pi" << false << 0;
    QTest::newRow("reduce syntax error, one message") << "txtReduce"
                                                      << "2*" << false << 1;
    QTest::newRow("divisions by zero") << "txtDivz"
                                       << "1/0" << false << 1;
    QTest::newRow("count ignores the engine") << "txtSegsxu"
                                              << "pi" << false << 0;
}

void TestValidation::withEngine()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(bool, mayLeave);
    QFETCH(int, messages);

    Class1 sh;
    ScriptEngine engine;
    int reported = 0;
    engine.setErrorHandler([&](const ScriptError&) { ++reported; });
    engine.addObject(QStringLiteral("sh"), &sh, true);
    QCOMPARE(engine.executeStatement(QStringLiteral("pi = Atn(1) * 4")), 0);
    const FieldValidation::Evaluate evaluate = [&](const QString& t, double& value) {
        return engine.evalNumber(engine.compile(t), value);
    };
    FieldMap fields;
    fields.setText(control, text);
    QCOMPARE(FieldValidation::validate(control, fields, evaluate), mayLeave);
    QCOMPARE(reported, messages);
}

QTEST_APPLESS_MAIN(TestValidation)
#include "test_validation.moc"
