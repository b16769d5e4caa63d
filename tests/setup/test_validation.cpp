#include "common/EngineFixture.h"
#include "setup/FieldMap.h"
#include "setup/FieldValidation.h"

#include <QtTest>

namespace {
struct Checker : EngineFixture
{
    FieldMap fields;
    FieldValidation::Evaluate evaluate = [this](const QString&, const QString& t, double& v) {
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

    // A limit pair out of order sends the user to the partner of the field just left; an
    // engine failure sends nowhere.
    void limitPairs()
    {
        Checker c;
        auto partner = [&](const char* left, const char* lower, const char* upper) {
            QString name = QString::fromLatin1(left); // the pair differs in one letter, l or g
            const qsizetype at = name.startsWith(QLatin1String("txtW")) ? 9 : 8;
            name[at] = QLatin1Char('l');
            c.fields.setText(name, QString::fromLatin1(lower));
            name[at] = QLatin1Char('g');
            c.fields.setText(name, QString::fromLatin1(upper));
            return FieldValidation::limitPairPartner(QString::fromLatin1(left), c.fields,
                                                     c.evaluate);
        };
        QCOMPARE(partner("txtWindowlx", "3", "2.5"), QStringLiteral("txtWindowgx"));
        QCOMPARE(partner("txtRangegyv", "1", "0.5"), QStringLiteral("txtRangelyv"));
        QCOMPARE(partner("txtRangelxu", "2", "2"), QString());
        QCOMPARE(partner("txtWindowlx", "3", "2*"), QString());
    }

    // Each order passes its own validation; a sum above 2 sends the user to the other one.
    void derivativeSum()
    {
        Checker c;
        auto partner = [&](const char* xder, const char* yder, const char* left) {
            c.fields.setText(QStringLiteral("txtXder"), QString::fromLatin1(xder));
            c.fields.setText(QStringLiteral("txtYder"), QString::fromLatin1(yder));
            if (!FieldValidation::validate(QStringLiteral("txtYder"), c.fields, c.evaluate))
                return QStringLiteral("invalid");
            return FieldValidation::derivativeSumPartner(QString::fromLatin1(left), c.fields);
        };
        QCOMPARE(partner("2", "1", "txtXder"), QStringLiteral("txtYder"));
        QCOMPARE(partner("2", "2", "txtYder"), QStringLiteral("txtXder"));
        QCOMPARE(partner("1", "1", "txtXder"), QString());
        QCOMPARE(partner("2", "2", "txtGrid"), QString());
    }
};

QTEST_APPLESS_MAIN(TestValidation)
#include "test_validation.moc"
