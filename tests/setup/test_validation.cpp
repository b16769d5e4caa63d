#include "common/EngineFixture.h"
#include "setup/FieldMap.h"
#include "setup/FieldValidation.h"

#include <QtTest>

namespace {
struct Checker : EngineFixture
{
    FieldMap fields;
    FieldValidation::Evaluate evaluate = [this](const QString& t, double& v) {
        return number(t, v);
    };
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
        QTest::addColumn<int>("messages"); // failures the engine reports
        auto add = [](const char* name, const char* control, const char* text, bool mayLeave,
                      int messages = 0) {
            QTest::newRow(name) << QString::fromLatin1(control) << QString::fromLatin1(text)
                                << mayLeave << messages;
        };
        add("spacings 0", "txtSpacexu", "0", false);
        add("spacings 7abc", "txtSpacexu", "7abc", true);
        add("spacings beyond 32 bits", "txtSpaceyv", "3e9", false);
        add("segments 1.5", "txtSegsyv", "1.5", false);
        add("count ignores the engine", "txtSegsxu", "pi", false);
        add("grid 0", "txtGrid", "0", true);
        add("grid 0.5", "txtGrid", "0.5", false);
        add("reduce 1.5", "txtReduce", "1.5", false);
        add("reduce formula 0.25", "txtReduce", "1/4", true);
        add("reduce syntax error, one message", "txtReduce", "2*", false, 1);
        add("divisions from pi", "txtDivx", "pi/4", true);
        add("divisions by zero", "txtDivz", "1/0", false, 1);
        add("order 3", "txtXder", "3", false);
        add("step field has no check", "txtStepWindX", "", true);
    }
    void validation()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, mayLeave);
        QFETCH(int, messages);
        Checker c;
        c.fields.setText(control, text);
        QCOMPARE(FieldValidation::validate(control, c.fields, c.evaluate), mayLeave);
        QCOMPARE(c.fields.text(control), text); // the text stays as typed
        QCOMPARE(int(c.notified.size()), messages);
    }

    void limitPairs_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("partner");
        auto add = [](const char* name, const char* left, const char* lower, const char* upper,
                      const char* partner) {
            QTest::newRow(name) << QString::fromLatin1(left) << QString::fromLatin1(lower)
                                << QString::fromLatin1(upper) << QString::fromLatin1(partner);
        };
        add("window x reversed, lower left", "txtWindowlx", "3", "2.5", "txtWindowgx");
        add("domain equal", "txtRangelxu", "2", "2", "");
        add("domain reversed, upper left", "txtRangegyv", "1", "0.5", "txtRangelyv");
        add("engine error does nothing", "txtWindowlx", "3", "2*", "");
    }
    void limitPairs()
    {
        QFETCH(QString, left);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QString, partner);
        Checker c;
        // The pair's names differ in one letter: l for the lower limit, g for the upper.
        QString name = left;
        const qsizetype at = left.startsWith(QLatin1String("txtW")) ? 9 : 8;
        name[at] = QLatin1Char('l');
        c.fields.setText(name, lower);
        name[at] = QLatin1Char('g');
        c.fields.setText(name, upper);
        QCOMPARE(FieldValidation::limitPairPartner(left, c.fields, c.evaluate), partner);
    }

    void derivativeSum_data()
    {
        QTest::addColumn<QString>("xder");
        QTest::addColumn<QString>("yder");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("partner");
        QTest::newRow("2 and 1, x left") << "2"
                                         << "1"
                                         << "txtXder"
                                         << "txtYder";
        QTest::newRow("1 and 1") << "1"
                                 << "1"
                                 << "txtXder"
                                 << "";
        QTest::newRow("2 and 2, y left") << "2"
                                         << "2"
                                         << "txtYder"
                                         << "txtXder";
        QTest::newRow("not an order field") << "2"
                                            << "2"
                                            << "txtGrid"
                                            << "";
    }
    void derivativeSum()
    {
        QFETCH(QString, xder);
        QFETCH(QString, yder);
        QFETCH(QString, left);
        QFETCH(QString, partner);
        Checker c;
        c.fields.setText(QStringLiteral("txtXder"), xder);
        c.fields.setText(QStringLiteral("txtYder"), yder);
        // Each order passes its own validation even when the sum is too large.
        QVERIFY(FieldValidation::validate(QStringLiteral("txtYder"), c.fields, c.evaluate));
        QCOMPARE(FieldValidation::derivativeSumPartner(left, c.fields), partner);
    }
};

QTEST_APPLESS_MAIN(TestValidation)
#include "test_validation.moc"
