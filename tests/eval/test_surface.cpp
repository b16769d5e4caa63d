#include "OptionFields.h"
#include "common/EngineFixture.h"

#include "eval/SurfaceEvaluator.h"
#include "render/RenderState.h"
#include "setup/PlotSetup.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr double h = 0.02079;

struct Surface : EngineFixture
{
    OptionFields fields;
    PlotSetup setup;
    RenderState state;
    SurfaceEvaluator evaluator{engine, class1, ierr, setup, state, fields};

    explicit Surface(const QString& z = QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5"))
    {
        setup.EquationZ = z;
        setup.EquationX = QStringLiteral("v");
        setup.EquationY = QStringLiteral("u");
        evaluator.prepare();
    }

    qint32 at(int selector, bool high, float x, float y, float& value)
    {
        setup.DerivSelector = selector;
        fields.setOption(QStringLiteral("OptAccuracy"), high ? 1 : 0);
        return evaluator.EvalSurface(x, y, value);
    }
};

} // namespace

class TestSurface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void derivatives_data()
    {
        QTest::addColumn<int>("selector");
        QTest::addColumn<bool>("high");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<double>("expected");
        QTest::addColumn<double>("tolerance");
        // f = 5 (x^3 - x)(y^3 - y).
        QTest::newRow("Z") << 0 << false << 0.5f << 0.5f << 5 * 0.375 * 0.375 << 1e-7;
        QTest::newRow("Zx high") << 1 << true << 0.0f << 0.5f << 1.875 << 1e-4;
        QTest::newRow("Zx med") << 1 << false << 0.0f << 0.5f << 1.875 * (1 - h * h) << 1e-4;
        QTest::newRow("Zxy high") << 5 << true << 0.0f << 0.0f << 5.0 << 1e-3;
        QTest::newRow("Zxy med") << 5 << false << 0.0f << 0.0f << 5 * std::pow(1 - h * h, 2)
                                 << 1e-3;
        // Both second-derivative formulas are exact for a cubic: 30 x (y^3 - y).
        QTest::newRow("Zxx high") << 3 << true << 0.5f << 0.5f << -5.625 << 5e-3;
        QTest::newRow("Zxx med") << 3 << false << 0.5f << 0.5f << -5.625 << 5e-3;
        QTest::newRow("selector outside the table") << 9 << false << 0.5f << 0.5f << 0.0 << 0.0;
    }
    void derivatives()
    {
        QFETCH(int, selector);
        QFETCH(bool, high);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(double, expected);
        QFETCH(double, tolerance);
        Surface s;
        float value = -1;
        QCOMPARE(s.at(selector, high, x, y, value), 0);
        QVERIFY2(
            std::fabs(value - expected) <= tolerance,
            qPrintable(QStringLiteral("%1 vs %2").arg(value, 0, 'g', 9).arg(expected, 0, 'g', 9)));
    }

    void failingNeighbourFailsTheDerivative_data()
    {
        // Sqr fails (5) left of 0; the point itself lies right of it, a neighbour does not.
        QTest::addColumn<int>("selector");
        QTest::addColumn<bool>("high");
        QTest::addColumn<float>("x");
        QTest::addColumn<qint32>("error");
        QTest::newRow("the function itself") << 0 << false << 0.01f << 0;
        QTest::newRow("Zx med, x - h < 0") << 1 << false << 0.01f << 5;
        QTest::newRow("Zx high, x - 2h < 0") << 1 << true << 0.03f << 5;
        QTest::newRow("Zxy high, x - 2h < 0") << 5 << true << 0.03f << 5;
        QTest::newRow("Zy never shifts x") << 2 << true << 0.01f << 0;
    }
    void failingNeighbourFailsTheDerivative()
    {
        QFETCH(int, selector);
        QFETCH(bool, high);
        QFETCH(float, x);
        QFETCH(qint32, error);
        Surface s(QStringLiteral("Sqr(x) * y"));
        float value = 123;
        QCOMPARE(s.at(selector, high, x, 1.0f, value), error);
        if (error != 0) {
            QCOMPARE(value, 123.0f); // no partial result
            QCOMPARE(s.ierr, error);
        }
    }

    void valueFailures_data()
    {
        QTest::addColumn<QString>("equation");
        QTest::addColumn<int>("selector");
        QTest::addColumn<qint32>("error");
        QTest::newRow("beyond float range") << "1e39" << 0 << 6;
        QTest::newRow("division by zero") << "1 / (x - x)" << 0 << 11;
        QTest::newRow("Class1 function failing") << "Asin(x + 2)" << 0 << 5;
        QTest::newRow("the values fit, the derivative does not") << "x * x * 3e38" << 3 << 6;
        QTest::newRow("the same function itself") << "x * x * 3e38" << 0 << 0;
    }
    void valueFailures()
    {
        QFETCH(QString, equation);
        QFETCH(int, selector);
        QFETCH(qint32, error);
        Surface s(equation);
        float value = 0;
        QCOMPARE(s.at(selector, false, 0.0f, 0.0f, value), error);
        if (error != 0) QCOMPARE(s.ierr, error);
    }

    void successLeavesTheErrorNumber()
    {
        Surface s;
        s.ierr = 99;
        float value = 0;
        QCOMPARE(s.at(5, true, 0.1f, 0.2f, value), 0);
        QCOMPARE(s.ierr, 99);
    }

    void parametricDerivativesHoldUV_data()
    {
        QTest::addColumn<QString>("equation");
        QTest::addColumn<int>("selector");
        QTest::addColumn<double>("expected");
        QTest::newRow("Zx of u v") << "u * v" << 1 << 0.0;
        QTest::newRow("Zx of u v x") << "u * v * x" << 1 << double(0.25f * 0.75f);
        QTest::newRow("Zy of v y") << "v * y" << 2 << double(0.75f);
    }
    void parametricDerivativesHoldUV()
    {
        QFETCH(QString, equation);
        QFETCH(int, selector);
        QFETCH(double, expected);
        Surface s(equation);
        s.state.Pu = 0.25f;
        s.state.Pv = 0.75f;
        float value = -1;
        QCOMPARE(s.at(selector, true, 0.5f, 0.5f, value), 0);
        QVERIFY2(std::fabs(value - expected) < 1e-5, qPrintable(QString::number(value)));
        QCOMPARE(s.class1.u, 0.25);
        QCOMPARE(s.class1.v, 0.75);
    }

    void parametricCoordinatesSeeTheCurrentPoint()
    {
        Surface s;
        s.setup.EquationX = QStringLiteral("x + u");
        s.setup.EquationY = QStringLiteral("y * v");
        s.state.Px = 1;
        s.state.Py = 3;
        s.state.Pu = 0.5f;
        s.state.Pv = 2;
        float value = 0;
        QCOMPARE(s.evaluator.EvalParamX(value), 0);
        QCOMPARE(value, 1.5f);
        QCOMPARE(s.evaluator.EvalParamY(value), 0);
        QCOMPARE(value, 6.0f);
    }

    void changedEquationIsRecompiled()
    {
        Surface s(QStringLiteral("x"));
        float value = 0;
        QCOMPARE(s.evaluator.EvalZ(2, 0, value), 0);
        QCOMPARE(value, 2.0f);
        s.setup.EquationZ = QStringLiteral("3 * x");
        QCOMPARE(s.evaluator.EvalZ(2, 0, value), 0);
        QCOMPARE(value, 6.0f);
    }
};

QTEST_GUILESS_MAIN(TestSurface)
#include "test_surface.moc"
