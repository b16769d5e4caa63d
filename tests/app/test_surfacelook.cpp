// Hidden lines, the solid surface and the orthographic projection, as the command line writes
// them for the examples.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
int runProgram(const QStringList& args)
{
    return QProcess::execute(QStringLiteral(TAVRIGON_BINARY), args);
}

QString example(const char* name)
{
    return QStringLiteral(TAVRIGON_SOURCE_DIR "/examples/") + QLatin1String(name);
}

// The mesh's pixels: white, the surface colour on the examples' black background.
bool mesh(const QImage& image, int x, int y)
{
    return image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
}
} // namespace

class TestSurfaceLook : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const QString& name) const { return dir_.filePath(name); }

private Q_SLOTS:
    // With hidden lines every mesh pixel is one of the plain drawing's (within a pixel), and
    // the sphere keeps about its front half.
    void hiddenLinesAreASubset_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<double>("least");
        QTest::addColumn<double>("most");
        QTest::newRow("sphere") << example("sphere.txt") << 0.35 << 0.75;
        QTest::newRow("torus") << example("torus.txt") << 0.2 << 0.9;
    }
    void hiddenLinesAreASubset()
    {
        QFETCH(QString, setup);
        QFETCH(double, least);
        QFETCH(double, most);
        for (const int view : {0, 1}) {
            const QString option = view == 0 ? "--left" : "--right";
            QCOMPARE(runProgram({"--open", setup, option, file("plain.png")}), 0);
            QCOMPARE(runProgram({"--open", setup, "--hidden", option, file("hidden.png")}), 0);
            const QImage plain(file("plain.png")), hidden(file("hidden.png"));
            int plainCount = 0, hiddenCount = 0, stray = 0;
            for (int y = 0; y < plain.height(); ++y)
                for (int x = 0; x < plain.width(); ++x) {
                    plainCount += mesh(plain, x, y);
                    if (!mesh(hidden, x, y)) continue;
                    ++hiddenCount;
                    bool near = false;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            near = near || mesh(plain, x + dx, y + dy);
                    stray += !near;
                }
            QCOMPARE(stray, 0);
            const double share = double(hiddenCount) / plainCount;
            qInfo("view %d: %d of %d mesh pixels kept, %.3f", view, hiddenCount, plainCount, share);
            QVERIFY2(share >= least && share <= most, qPrintable(QString::number(share)));
        }
    }

    // Seen orthographically the sphere's outline is round at any rotation.
    void orthographicSphereIsRound_data()
    {
        QTest::addColumn<QStringList>("rotation");
        QTest::newRow("0, 0, 0") << QStringList{"Xrot=0", "Yrot=0", "Zrot=0"};
        QTest::newRow("90, 0, 0") << QStringList{"Xrot=90", "Yrot=0", "Zrot=0"};
        QTest::newRow("30, 45, 60") << QStringList{"Xrot=30", "Yrot=45", "Zrot=60"};
    }
    void orthographicSphereIsRound()
    {
        QFETCH(QStringList, rotation);
        QStringList args = {
            "--open",  example("sphere.txt"), "--projection", "orthographic", "--scale", "2",
            "--right", file("round.png")};
        for (const QString& r : rotation)
            args << "--set" << r;
        QCOMPARE(runProgram(args), 0);
        const QImage image(file("round.png"));
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (mesh(image, x, y)) box |= QRect(x, y, 1, 1);
        QVERIFY(box.width() > 100);
        const double aspect = double(box.width()) / box.height();
        qInfo("outline %d x %d pixels, aspect %.4f", box.width(), box.height(), aspect);
        QVERIFY2(std::abs(aspect - 1) <= 0.03, qPrintable(QString::number(aspect)));
    }

    // The solid saddle: filled in colour in the pair, as brightness in the anaglyph (green and
    // blue equal), as filled polygons in the SVG; the PDF and the animations (the turntable
    // drawing its right view alone, labels and all) are written.
    void solidSaddle()
    {
        QCOMPARE(runProgram({"--open",           example("saddle.txt"),
                             "--solid",          "--colour",
                             "height",           "--pair",
                             file("pair.png"),   "--anaglyph",
                             file("ana.png"),    "--pair",
                             file("pair.svg"),   "--pdf",
                             file("solid.pdf"),  "--wiggle",
                             file("wiggle.gif"), "--labels",
                             "--turntable",      file("turn.gif"),
                             "--frames",         "2"}),
                 0);
        const QImage pair(file("pair.png")), anaglyph(file("ana.png"));
        QSet<QRgb> colours;
        for (int y = 0; y < pair.height(); ++y)
            for (int x = 0; x < pair.width(); ++x)
                colours.insert(pair.pixel(x, y));
        QVERIFY2(colours.size() > 200, qPrintable(QString::number(colours.size())));
        int unequal = 0;
        for (int y = 0; y < anaglyph.height(); ++y)
            for (int x = 0; x < anaglyph.width(); ++x)
                unequal += qGreen(anaglyph.pixel(x, y)) != qBlue(anaglyph.pixel(x, y));
        QCOMPARE(unequal, 0);
        QFile svg(file("pair.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().count("<polygon") > 500);
        QVERIFY(QFile(file("solid.pdf")).size() > 10000);
        QVERIFY(QFile(file("wiggle.gif")).size() > 1000);
        QVERIFY(QFile(file("turn.gif")).size() > 1000);
    }
};

QTEST_GUILESS_MAIN(TestSurfaceLook)
#include "test_surfacelook.moc"
