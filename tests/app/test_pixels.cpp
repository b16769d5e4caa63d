#include <QCryptographicHash>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The command line draws the same pixels as the program did before its drawing code was
// reshaped: a digest of both views' pixels for setups that exercise derivatives, parametric
// surfaces, rotations, reduced views, failing regions and constants (dots off: they are random).
class TestPixels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameViews_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("digest");
        auto set = [](std::initializer_list<const char*> values) {
            QStringList args;
            for (const char* v : values)
                args << QStringLiteral("--set") << QString::fromLatin1(v);
            return args;
        };
        QTest::newRow("Zxy high") << set({"Xder=1", "Yder=1", "Accuracy=1"})
                                  << QByteArray("01121f7ea6a92cb9");
        QTest::newRow("parametric sphere")
            << set({"Parametric=1", "EquationX=Cos(u)*Cos(v)", "EquationY=Sin(u)*Cos(v)",
                    "EquationZ=Sin(v)", "Rangelxu=0", "Rangegxu=6.28", "Rangelyv=-1.5",
                    "Rangegyv=1.5"})
            << QByteArray("d6d3e34f1d8cfaba");
        QTest::newRow("rotated and translated")
            << set({"Xrot=30", "Yrot=-20", "Zrot=45", "Xtr=0.5", "Ztr=-0.2"})
            << QByteArray("c0c1f095739d076b");
        QTest::newRow("reduced, stereo -3")
            << set({"Reduce=0.37", "Stereo=-3"}) << QByteArray("2d6c7b6a850688e6");
        QTest::newRow("failing region") << set({"EquationZ=1/(x*y)", "Spacexu=20", "Spaceyv=20"})
                                        << QByteArray("9c18275a45d58e51");
        QTest::newRow("constants, scale 1")
            << QStringList{"--constant", "a=2.37", "--constant",
                           "b=a*2",      "--set",  "EquationZ=a*x*y-b*Sin(x)",
                           "--scale",    "1"}
            << QByteArray("2fe3e0153326c7f2");
    }
    void sameViews()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, digest);
        QTemporaryDir dir;
        const QString left = dir.filePath(QStringLiteral("l.png"));
        const QString right = dir.filePath(QStringLiteral("r.png"));
        QCOMPARE(QProcess::execute(QStringLiteral(TAVRIGON_BINARY), QStringList{"--set", "Dots=0"}
                                                                        << args << "--left" << left
                                                                        << "--right" << right),
                 0);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QString& path : {left, right}) {
            const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
            QVERIFY(!image.isNull());
            for (int y = 0; y < image.height(); ++y)
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                            image.width() * 3));
        }
        QCOMPARE(hash.result().toHex().left(16), digest);
    }
};

QTEST_GUILESS_MAIN(TestPixels)
#include "test_pixels.moc"
