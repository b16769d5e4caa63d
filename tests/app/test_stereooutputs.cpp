// The command line's stereo outputs, read back as a viewer sees them.
#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
int runProgram(const QStringList& args)
{
    return QProcess::execute(QStringLiteral(TAVRIGON_BINARY), args);
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// Two small patches at y = 0, one near the viewer (x about 0.9, drawn low) and one far (x
// about -0.9, drawn high); elsewhere the surface has no value, so no mesh line joins them.
const QString Patches =
    QStringLiteral("EquationZ=0 / ((Abs(Abs(x) - 0.9) < 0.15) And (Abs(y) < 0.15))");
} // namespace

class TestStereoOutputs : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const QString& name) const { return dir_.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        const QStringList outputs = {"--turntable", "t.gif",      "--turntable-anaglyph",
                                     "ta.gif",      "--wiggle",   "w.gif",
                                     "--left",      "l.png",      "--right",
                                     "r.png",       "--anaglyph", "a.png",
                                     "--pair",      "p.png",      "--pair-parallel",
                                     "pp.png"};
        // With dots, seeded alike: a turned frame has the dots of the still at its angle. With
        // labels at scale 2: the frames keep their colours exactly.
        const QStringList dots = {"--set", "Dots=1", "--seed", "3", "--labels", "--scale", "2"};
        QStringList args = dots + QStringList{"--set", "Zrot=30", "--frames", "3"};
        for (const QString& o : outputs)
            args << (o.startsWith("--") ? o : file(o));
        args << "--autostereogram" << file("as.png") << "--pattern"
             << TAVRIGON_SOURCE_DIR "/data/icons/48x48/io.github.tavrigon.Tavrigon.png";
        QCOMPARE(runProgram(args), 0);
        for (const QString angle : {"150", "270"})
            QCOMPARE(runProgram(dots + QStringList{"--set", "Zrot=" + angle, "--right",
                                                   file("r" + angle + ".png"), "--anaglyph",
                                                   file("a" + angle + ".png")}),
                     0);
        // The ripple's k from 1 to 6: frame i is the still of k = i + 1.
        const QStringList ripple = {"--open", TAVRIGON_SOURCE_DIR "/examples/ripple.txt"};
        QCOMPARE(runProgram(ripple + QStringList{"--sweep", "k=1:6", "--frames", "6", "--animate",
                                                 file("s.gif")}),
                 0);
        for (const QString k : {"1", "2", "3", "4", "5", "6"})
            QCOMPARE(runProgram(ripple + QStringList{"--constant", "k=" + k, "--right",
                                                     file("k" + k + ".png")}),
                     0);
    }

    void parallelPairSwapsTheHalves()
    {
        const QImage pair(file("p.png")), parallel(file("pp.png"));
        QCOMPARE(parallel.size(), QSize(1600, 600));
        QCOMPARE(QImage(file("as.png")).size(), QSize(1200, 800)); // the stereogram's default
        QCOMPARE(parallel.copy(0, 0, 800, 600), pair.copy(800, 0, 800, 600));
        QCOMPARE(parallel.copy(800, 0, 800, 600), pair.copy(0, 0, 800, 600));
        QCOMPARE(rgb(pair.copy(0, 0, 800, 600)), rgb(QImage(file("l.png"))));
    }

    void gifFramesAreTheStills_data()
    {
        QTest::addColumn<QString>("gif");
        QTest::addColumn<QStringList>("stills");
        QTest::addColumn<int>("delay"); // milliseconds
        QTest::newRow("wiggle") << "w.gif" << QStringList{"l.png", "r.png"} << 170;
        QTest::newRow("turntable") << "t.gif" << QStringList{"r.png", "r150.png", "r270.png"} << 80;
        QTest::newRow("turntable anaglyph")
            << "ta.gif" << QStringList{"a.png", "a150.png", "a270.png"} << 80;
        QTest::newRow("sweep") << "s.gif" << QStringList{"k1.png", "k2.png", "k3.png",
                                                         "k4.png", "k5.png", "k6.png"}
                               << 500;
    }
    void gifFramesAreTheStills()
    {
        QFETCH(QString, gif);
        QFETCH(QStringList, stills);
        QFETCH(int, delay);
        QImageReader reader(file(gif));
        QCOMPARE(reader.format(), QByteArray("gif"));
        QCOMPARE(reader.imageCount(), stills.size());
        QCOMPARE(reader.loopCount(), -1); // for ever
        for (const QString& still : stills) {
            const QImage frame = reader.read();
            QVERIFY2(!frame.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(rgb(frame), rgb(QImage(file(still))));
            QCOMPARE(reader.nextImageDelay(), delay);
        }
        QVERIFY(QImage(file("r150.png")) != QImage(file("r.png")));
    }

    // At --scale 2 the plot is drawn once at that size for the images and the wiggle; with
    // --save it keeps the window's size and the images are drawn anew, with the same pixels.
    void oneDrawingAtTheOutputsScale()
    {
        const QStringList common = {"--set",   "Dots=1", "--seed",   "3",
                                    "--scale", "2",      "--frames", "1"};
        QCOMPARE(
            runProgram(common + QStringList{"--wiggle", file("w2.gif"), "--right", file("r2.png")}),
            0);
        QCOMPARE(runProgram(common + QStringList{"--save", file("s.txt"), "--right",
                                                 file("anew.png"), "--turntable", file("t2.gif")}),
                 0);
        const QImage anew = rgb(QImage(file("anew.png")));
        QCOMPARE(anew.size(), QSize(800, 600));
        QCOMPARE(rgb(QImage(file("r2.png"))), anew);
        QImageReader wiggle(file("w2.gif"));
        wiggle.read();
        QCOMPARE(rgb(wiggle.read()), anew);
        QCOMPARE(rgb(QImage(file("t2.gif"))), anew);
        // With labels and no image to take, the wiggle draws its own views, labelled.
        QCOMPARE(runProgram(common + QStringList{"--labels", "--wiggle", file("w3.gif")}), 0);
        QImageReader labelled(file("w3.gif"));
        labelled.read();
        const QImage frame = rgb(labelled.read());
        QCOMPARE(frame.size(), anew.size());
        QVERIFY(frame != anew);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no frames") << QStringList{"--frames", "0", "--turntable", "x.gif"} << 2;
        QTest::newRow("frames not a number") << QStringList{"--frames", "3x"} << 2;
        QTest::newRow("not a .gif") << QStringList{"--wiggle", "x.png"} << 1;
        QTest::newRow("no plot") << QStringList{"--set", "Zrot=1/0", "--turntable", "x.gif"} << 1;
        QTest::newRow("no folder") << QStringList{"--turntable", "no/x.gif"} << 1;
        const QStringList sweep = {"--constant", "k=1", "--animate", "x.gif", "--right", "r.png"};
        QTest::newRow("sweep without frames") << sweep + QStringList{"--sweep", "k=1:2"} << 2;
        QTest::newRow("sweep's ends alike") << sweep + QStringList{"--sweep", "k=2:2"} << 2;
        QTest::newRow("sweep of no constant")
            << sweep + QStringList{"--sweep", "K=1:2", "--frames", "2"} << 1;
        QTest::newRow("too many pixels")
            << QStringList{"--scale", "16", "--turntable", "x.gif", "--frames", "3600"} << 2;
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(TAVRIGON_BINARY), args);
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), status);
        QVERIFY(!p.readAllStandardError().isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // Red-left glasses: the red image (for the left eye) of a near patch lies right of its
    // cyan image, of a far patch left of it; a negative factor turns depth over.
    void anaglyphDepth_data()
    {
        QTest::addColumn<QString>("stereo");
        QTest::addColumn<int>("nearSign");
        QTest::newRow("positive factor") << "1" << 1;
        QTest::newRow("no factor") << "0" << 0;
        QTest::newRow("negative factor") << "-1.5" << -1;
    }
    void anaglyphDepth()
    {
        QFETCH(QString, stereo);
        QFETCH(int, nearSign);
        const QStringList common = {"--set", Patches, "--set", "Stereo=" + stereo};
        QCOMPARE(runProgram(common + QStringList{"--anaglyph", file("s.png")}), 0);
        QCOMPARE(runProgram(common + QStringList{"--set", "Lines=0", "--anaglyph", file("g.png")}),
                 0);
        const QImage surface = rgb(QImage(file("s.png"))), guides = rgb(QImage(file("g.png")));
        // Mean column of the patch's pixels in the red and in the green channel, far then near.
        double sum[2][2] = {}, count[2][2] = {};
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                const QRgb s = surface.pixel(x, y), g = guides.pixel(x, y);
                const int near = y >= surface.height() / 2;
                for (const int channel : {0, 1}) {
                    if ((channel == 0 ? qRed(s) == qRed(g) : qGreen(s) == qGreen(g))) continue;
                    sum[near][channel] += x;
                    count[near][channel] += 1;
                }
            }
        }
        for (const int near : {0, 1}) {
            QVERIFY(count[near][0] > 5 && count[near][1] > 5);
            const double redRightOfCyan =
                sum[near][0] / count[near][0] - sum[near][1] / count[near][1];
            const int sign = redRightOfCyan > 0.5 ? 1 : redRightOfCyan < -0.5 ? -1 : 0;
            QCOMPARE(sign, near ? nearSign : -nearSign);
        }
    }

    // The half side-by-side frame: its size, each view drawn into its half in the surface's
    // full colour, the left half for the left eye (the near patch further right there).
    void halfSideBySide_data()
    {
        QTest::addColumn<QStringList>("frame");
        QTest::addColumn<QSize>("size");
        QTest::newRow("default") << QStringList{} << QSize(1920, 1080);
        QTest::newRow("4K") << QStringList{"--frame", "3840x2160"} << QSize(3840, 2160);
    }
    void halfSideBySide()
    {
        QFETCH(QStringList, frame);
        QFETCH(QSize, size);
        const QStringList common = frame + QStringList{"--set", Patches, "--set", "Stereo=1"};
        QCOMPARE(runProgram(common + QStringList{"--half-sbs", file("h.png")}), 0);
        QCOMPARE(runProgram(common + QStringList{"--set", "Lines=0", "--half-sbs", file("hg.bmp")}),
                 0);
        const QImage surface = rgb(QImage(file("h.png"))), guides = rgb(QImage(file("hg.bmp")));
        QCOMPARE(surface.size(), size);
        QCOMPARE(guides.size(), size);
        const int half = size.width() / 2;
        double sum[2] = {}, count[2] = {};
        for (int y = size.height() / 2; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (surface.pixel(x, y) == guides.pixel(x, y)) continue;
                QCOMPARE(surface.pixel(x, y), qRgb(255, 255, 255));
                sum[x / half] += x % half;
                count[x / half] += 1;
            }
        }
        QVERIFY(count[0] > 20 && count[1] > 20);
        QVERIFY(sum[0] / count[0] > sum[1] / count[1] + 1);
    }
};

QTEST_GUILESS_MAIN(TestStereoOutputs)
#include "test_stereooutputs.moc"
