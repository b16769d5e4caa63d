// The plot shown as a value: drawn anew it gives the window's views, it never reads the fields
// again, and a turned copy leaves it and the views as they were.
#include "output/PlotExport.h"
#include "session/Session.h"
#include "session/SessionHost.h"
#include "setup/FieldMap.h"

#include <QTest>

namespace {
class QuietHost : public SessionHost
{
public:
    void showMessage(const QString&, const QString&) override { ++messages; }
    void processEvents() override {}
    void beep() override {}
    void setBusy(bool) override {}
    void viewsChanged() override {}
    void constantsChanged() override {}
    int messages = 0;
};

struct Fixture
{
    FieldMap fields;
    QuietHost host;
    Session session{fields, host};
    Fixture(const QStringList& settings)
    {
        session.load(QString());
        session.seedRandom(11);
        for (const QString& s : settings) {
            const qsizetype eq = s.indexOf(QLatin1Char('='));
            if (s.startsWith(QLatin1String("chk")))
                fields.setChecked(s.left(eq), s.mid(eq + 1) == QLatin1String("1"));
            else
                fields.setText(s.left(eq), s.mid(eq + 1));
        }
        session.plot();
    }
    std::array<QImage, 2> images(const CapturedPlot& plot, double scale = 1)
    {
        return PlotExport(plot, session.plotTools(), false).images(scale);
    }
};
} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void capturedDrawsTheViews_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::newRow("mesh") << QStringList{};
        QTest::newRow("dots, turned")
            << QStringList{"chkDots=1", "txtNdots=2000", "txtZrot=25", "txtXrot=-10"};
        QTest::newRow("reduced, constant in the equation")
            << QStringList{"txtReduce=0.5", "txtEquationZ=x*y*2.5"};
    }
    void capturedDrawsTheViews()
    {
        QFETCH(QStringList, settings);
        Fixture f(settings);
        QVERIFY(f.session.renderState().PlotShown);
        const QImage left = f.session.viewImage(0), right = f.session.viewImage(1);
        const CapturedPlot plot = f.session.capturedPlot();
        QVERIFY(!plot.isEmpty());
        // The fields change after the plot: the value draws what was plotted.
        f.fields.setText("txtZrot", "90");
        f.fields.setText("txtEquationZ", "1/0");
        for (int pass = 0; pass < 2; ++pass) {
            const std::array<QImage, 2> views = f.images(plot);
            QCOMPARE(views[0], left);
            QCOMPARE(views[1], right);
        }
        QCOMPARE(f.images(plot, 2)[1].size(), right.size() * 2);

        CapturedPlot turned = plot;
        turned.setup.Zrot += 40;
        QVERIFY(f.images(turned)[1] != right);
        QCOMPARE(f.images(plot)[1], right);
        QCOMPARE(f.session.viewImage(1), right); // the window's views are untouched
        QCOMPARE(f.host.messages, 0);
    }

    void nothingShownNothingCaptured()
    {
        Fixture f({"txtWindowlx=1/0"});
        QVERIFY(f.session.capturedPlot().isEmpty());
        QVERIFY(f.images(f.session.capturedPlot())[0].isNull());
        Fixture g({});
        QVERIFY(!g.session.capturedPlot().isEmpty());
        g.session.clearViews();
        QVERIFY(g.session.capturedPlot().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
