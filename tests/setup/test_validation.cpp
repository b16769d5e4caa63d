#include "common/EngineFixture.h"
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
    void validation_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("mayLeave");
        auto add = [](const char* name, const char* control, const char* text, bool mayLeave) {
            QTest::newRow(name) << QString::fromLatin1(control) << QString::fromLatin1(text)
                                << mayLeave;
        };
        add("spacings 0", "txtSpacexu", "0", false);
        add("spacings -3", "txtSpacexu", "-3", false);
        add("spacings 7abc", "txtSpacexu", "7abc", true);
        add("spacings beyond 32 bits", "txtSpaceyv", "3e9", false);
        add("segments 1.5", "txtSegsyv", "1.5", false);
        add("grid 0", "txtGrid", "0", true);
        add("grid word reads 0", "txtGrid", "none", true);
        add("grid 0.5", "txtGrid", "0.5", false);
        add("dots 5000", "txtNdots", "5000", true);
        add("reduce 1.5", "txtReduce", "1.5", false);
        add("order 3", "txtXder", "3", false);
        add("order -1", "txtYder", "-1", false);
        add("step field has no check", "txtStepWindX", "", true);
    }
    void validation()
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

    void limitPairs_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("lowerText");
        QTest::addColumn<QString>("upperText");
        QTest::addColumn<QString>("partner");
        auto add = [](const char* name, const char* left, const char* lower, const char* upper,
                      const char* partner) {
            QTest::newRow(name) << QString::fromLatin1(left) << QString::fromLatin1(lower)
                                << QString::fromLatin1(upper) << QString::fromLatin1(partner);
        };
        add("window x reversed, lower left", "txtWindowlx", "3", "2.5", "txtWindowgx");
        add("window x equal", "txtWindowlx", "2", "2", "txtWindowgx");
        add("domain equal", "txtRangelxu", "2", "2", "");
        add("domain reversed", "txtRangegyv", "1", "0.5", "txtRangelyv");
        add("engine error does nothing", "txtWindowlx", "3", "2*", "");
        add("lower error does nothing", "txtWindowlx", "1/0", "-5", "");
        add("not a limit", "txtReduce", "3", "2", "");
    }
    void limitPairs()
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

    void limitPairEvaluationOrder()
    {
        FieldMap fields;
        FakeEngine engine;
        fields.setText(QStringLiteral("txtWindowly"), QStringLiteral("-1"));
        fields.setText(QStringLiteral("txtWindowgy"), QStringLiteral("1/4"));
        QCOMPARE(FieldValidation::limitPairPartner(QStringLiteral("txtWindowgy"), fields,
                                                   engine.evaluate()),
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

    void derivativeSum_data()
    {
        QTest::addColumn<QString>("xder");
        QTest::addColumn<QString>("yder");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("partner");
        auto add = [](const char* name, const char* xder, const char* yder, const char* left,
                      const char* partner) {
            QTest::newRow(name) << QString::fromLatin1(xder) << QString::fromLatin1(yder)
                                << QString::fromLatin1(left) << QString::fromLatin1(partner);
        };
        add("2 and 1, x left", "2", "1", "txtXder", "txtYder");
        add("1 and 1", "1", "1", "txtXder", "");
        add("2 and 2", "2", "2", "txtYder", "txtXder");
        add("not an order field", "2", "2", "txtGrid", "");
    }
    void derivativeSum()
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

    void withEngine_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("mayLeave");
        QTest::addColumn<int>("messages");
        auto add = [](const char* name, const char* control, const char* text, bool mayLeave,
                      int messages) {
            QTest::newRow(name) << QString::fromLatin1(control) << QString::fromLatin1(text)
                                << mayLeave << messages;
        };
        add("reduce formula 0.25", "txtReduce", "1/4", true, 0);
        add("divisions from pi", "txtDivx", "pi/4", true, 0);
        add("reduce syntax error, one message", "txtReduce", "2*", false, 1);
        add("divisions by zero", "txtDivz", "1/0", false, 1);
        add("count ignores the engine", "txtSegsxu", "pi", false, 0);
    }
    void withEngine()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, mayLeave);
        QFETCH(int, messages);

        EngineFixture e;
        const FieldValidation::Evaluate evaluate = [&](const QString& t, double& value) {
            return e.number(t, value);
        };
        FieldMap fields;
        fields.setText(control, text);
        QCOMPARE(FieldValidation::validate(control, fields, evaluate), mayLeave);
        QCOMPARE(int(e.notified.size()), messages);
    }
};

QTEST_APPLESS_MAIN(TestValidation)
#include "test_validation.moc"
