#include "common/EngineFixture.h"
#include "setup/FieldMap.h"
#include "setup/NumberText.h"
#include "setup/PlotSetup.h"
#include "setup/PlotSetupReader.h"

#include <QtTest>

namespace {

struct Reader : EngineFixture
{
    FieldMap fields;
    PlotSetup setup;
    Message message;

    bool read() { return ReadPlotSetup(setup, fields, engine, message, &class1); }
};

} // namespace

class TestPlotSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults()
    {
        Reader r;
        QVERIFY(r.read());
        QVERIFY(r.message.text.isEmpty() && r.shownMessages.isEmpty());
        // Exactly the float nearest to each value: the arithmetic is double, stored as float.
        const PlotSetup& s = r.setup;
        const QList<float> derived{s.SpanX,   s.SpanY,  s.SpanZ,  s.Xmid,  s.RatioYX,
                                   s.RatioZX, s.StepXu, s.StepYv, s.SegXu, s.SegYv};
        QCOMPARE(derived, (QList<float>{5, 4, 3, 0, 0.8f, 0.6f, 0.2f, 0.2f, 0.1f, 0.1f}));
        QVERIFY(s.Options.Lines && !s.Options.Dots && !s.Options.Parametric);
        // The right view's eye factor is only ever set by opening a setup file.
        r.setup.EyeFactor[1] = 0.5f;
        r.fields.setText(QStringLiteral("txtStereo"), QStringLiteral("-2"));
        QVERIFY(r.read());
        QCOMPARE(QList<float>({s.EyeFactor[0], s.EyeFactor[1]}), QList<float>({-2, 0.5f}));
    }

    // Counts round half to even; one beyond 32 bits stops the reader.
    void counts()
    {
        for (const auto& [text, grid] : {std::pair{"2.5", 2}, {"2147483647.4", 2147483647}}) {
            Reader r;
            r.fields.setText(QStringLiteral("txtGrid"), QString::fromLatin1(text));
            QVERIFY(r.read());
            QCOMPARE(r.setup.Grid, grid);
        }
        Reader r;
        r.fields.setText(QStringLiteral("txtGrid"), QStringLiteral("2147483648"));
        QVERIFY(!r.read());
        QCOMPARE(r.message.text, QStringLiteral("Overflow in Grid"));
        QCOMPARE(r.setup.Ndots, 0); // read after Grid: untouched
    }

    // Zxy is 5, an order sum of 3 gives the function; an order out of range stops the reader
    // before the selector and the equation texts.
    void derivativeSelector()
    {
        for (const auto& [xder, yder, selector] :
             {std::tuple{"1", "1", 5}, {"2", "1", 0}, {"3", "0", 77}}) {
            Reader r;
            r.setup.DerivSelector = 77;
            r.fields.setText(QStringLiteral("txtXder"), QString::fromLatin1(xder));
            r.fields.setText(QStringLiteral("txtYder"), QString::fromLatin1(yder));
            QCOMPARE(r.read(), selector != 77);
            QCOMPARE(r.setup.DerivSelector, selector);
            QCOMPARE(r.setup.EquationZ.isEmpty(), selector == 77);
        }
    }

    // A failure stops the reader: the fields before it are new, the failing one and all after
    // it (and the values derived from them) as they were.
    void failures_data()
    {
        QTest::addColumn<QStringList>("changes"); // control, text, ...
        QTest::addColumn<QString>("message");     // empty when the engine has shown it
        auto row = [](const char* tag, QStringList changes, const char* message) {
            QTest::newRow(tag) << changes << QString::fromLatin1(message);
        };
        row("syntax error", {"txtRangelxu", "1 +"}, "");
        row("not a number", {"txtRangelxu", "\"abc\""}, "Type mismatch in Rangelxu");
        row("trapped in a Class1 function", {"txtRangelxu", "Asin(2)"},
            "Invalid argument in Rangelxu");
        row("no x width", {"txtWindowgx", "-3"}, "Division by zero: the x window has no width");
        row("segments round to 0", {"txtSegsyv", "0.4"},
            "Division by zero: the number of segments in y or v is 0");
        row("span overflows", {"txtWindowlx", "-3e38", "txtWindowgx", "3e38"}, "Overflow in SpanX");
    }
    void failures()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        Reader r;
        QVERIFY(r.read());
        r.fields.setText(QStringLiteral("txtWindowlx"), QStringLiteral("-3"));
        for (qsizetype i = 0; i < changes.size(); i += 2)
            r.fields.setText(changes[i], changes[i + 1]);
        r.fields.setText(QStringLiteral("txtXder"), QStringLiteral("1"));
        r.fields.setText(QStringLiteral("txtEquationZ"), QStringLiteral("x"));
        QVERIFY(!r.read());
        QCOMPARE(r.message.text, message);
        QCOMPARE(r.shownMessages.size(), message.isEmpty() ? 1 : 0);
        QVERIFY(r.setup.Windowlx != -2.5f); // before: new
        QCOMPARE(r.setup.RatioYX, 0.8f);    // derived later: old
        QCOMPARE(r.setup.Rangelxu, -1.0f);  // the failing field or after it: old
        QCOMPARE(r.setup.Xder, 0);
        QCOMPARE(r.setup.EquationZ, QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5"));
    }

    void leadingNumber()
    {
        // Blanks anywhere, D for E, letters end the number.
        QCOMPARE(QList<double>({LeadingNumber(" 1 2 . 5 "), LeadingNumber("1D2"),
                                LeadingNumber("abc"), LeadingNumber("-3.5e-1x")}),
                 QList<double>({12.5, 100, 0, -0.35}));
    }
};

QTEST_GUILESS_MAIN(TestPlotSetup)
#include "test_plotsetup.moc"
