// The autostereogram decoded as the eyes fuse it: in each row, the shift at which the dots
// around a pixel repeat best is the separation there.
#include "render/PlotFixture.h"

#include "output/Autostereogram.h"
#include "output/SetupFile.h"

#include <QTest>
#include <numeric>

using Viewing = Autostereogram::Viewing;

class TestAutostereogram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Per pixel, the shift from half the least separation to twice it at which most of the 11
    // pixels around repeat, when 7 do, is the separation at the middle of the pair: over the
    // surface it follows the depth (greater is nearer), falling for parallel eyes and rising
    // for crossed ones; it never leaves the stated bounds.
    void decodesToTheDepth_data()
    {
        QTest::addColumn<QString>("example");
        QTest::newRow("saddle") << "saddle.txt";
        QTest::newRow("sphere") << "sphere.txt";
    }
    void decodesToTheDepth()
    {
        QFETCH(QString, example);
        PlotFixture f;
        SetupFileData data;
        QString error;
        QVERIFY(SetupFile::readFile(TAVRIGON_SOURCE_DIR "/examples/" + example, data, error));
        f.fields.setChecked(QStringLiteral("chkParametric"), data.parametric);
        SetupFile::ApplySetupToFields(data, f.fields);
        QVERIFY(f.read());
        const CapturedPlot plot{f.setup, {}, f.random, {{{0, 0, 400, 300}, {0, 0, 400, 300}}}, {}};
        for (const Viewing viewing : {Viewing::Parallel, Viewing::Cross}) {
            const Autostereogram a(QSize(600, 400), viewing);
            const int low = a.minimumSeparation(), high = a.maximumSeparation(); // 45 and 60
            const auto depth = a.depthOf(plot, {f.engine, f.evaluator, f.class1, 1.5707964f}, {});
            const QImage image = a.image(depth, f.random);
            double n = 0, d = 0, s = 0, dd = 0, ss = 0, ds = 0;
            for (int y = 0; y < 400; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 5; x + 2 * low + 4 < 600; ++x) {
                    std::pair<int, int> most{0, 0}; // matches, shift
                    for (int p = low / 2; p < 2 * low; ++p)
                        most = std::max(
                            most, {std::inner_product(line + x - 5, line + x + 6, line + x - 5 + p,
                                                      0, std::plus<>(), std::equal_to<>()),
                                   p});
                    const int best = most.second;
                    const double at = depth[std::size_t(y * 600 + x + best / 2)];
                    if (most.first < 7) continue;
                    QVERIFY2(best >= low && best <= high, qPrintable(QString::number(best)));
                    if (!std::isfinite(at)) continue;
                    n += 1, d += at, s += best, dd += at * at, ss += best * best, ds += at * best;
                }
            }
            const double r = (n * ds - d * s) / std::sqrt((n * dd - d * d) * (n * ss - s * s));
            QVERIFY2((viewing == Viewing::Cross ? r : -r) >= 0.9, qPrintable(QString::number(r)));
            QVERIFY(n >= 60000); // of 70010 and 89037 pixels on the surface
        }
    }
};

QTEST_MAIN(TestAutostereogram)
#include "test_autostereogram.moc"
