// The command line's STL and OBJ meshes, read back as a printer's slicer reads them.
#include <QDataStream>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {
using Corner = std::array<float, 3>;

struct Run
{
    int status = -1;
    QString error;
};

Run runProgram(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TAVRIGON_BINARY), args);
    p.waitForFinished();
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QString example(const QString& name)
{
    return QStringLiteral(TAVRIGON_SOURCE_DIR "/examples/") + name;
}

// A binary STL as facets of three corners, checked as a solid: every edge has exactly two
// facets that run along it in opposite directions, no facet lacks area, the stored normal
// agrees with the corners' order, and the enclosed volume is positive. Returns the volume
// and the bounding box's extent, or -1 for a fault (with `fault` saying which).
double solidVolume(const QString& path, std::array<double, 3>& extent, QString& fault)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    in.setFloatingPointPrecision(QDataStream::SinglePrecision);
    in.skipRawData(80);
    quint32 count = 0;
    in >> count;
    if (file.size() != 84 + 50 * qint64(count) || count == 0) return fault = "size", -1;
    QHash<QByteArray, int> directed; // edge from corner to corner, as bytes
    auto key = [](const Corner& a, const Corner& b) {
        return QByteArray(reinterpret_cast<const char*>(a.data()), 12) +
               QByteArray(reinterpret_cast<const char*>(b.data()), 12);
    };
    double volume = 0, low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
    for (quint32 f = 0; f < count; ++f) {
        float n[3];
        Corner c[3];
        quint16 attribute;
        in >> n[0] >> n[1] >> n[2];
        for (Corner& p : c)
            in >> p[0] >> p[1] >> p[2];
        in >> attribute;
        double u[3], v[3], w[3];
        for (int a = 0; a < 3; ++a) {
            u[a] = c[1][a] - c[0][a];
            v[a] = c[2][a] - c[0][a];
            for (const Corner& p : c) {
                low[a] = std::min(low[a], double(p[a]));
                high[a] = std::max(high[a], double(p[a]));
            }
        }
        for (int a = 0; a < 3; ++a)
            w[a] = u[(a + 1) % 3] * v[(a + 2) % 3] - u[(a + 2) % 3] * v[(a + 1) % 3];
        const double area = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]) / 2;
        if (!(area > 1e-9)) return fault = "a facet without area", -1;
        if ((w[0] * n[0] + w[1] * n[1] + w[2] * n[2]) / (2 * area) < 0.99)
            return fault = "a normal against the corners", -1;
        volume += (c[0][0] * w[0] + c[0][1] * w[1] + c[0][2] * w[2]) / 6;
        for (int e = 0; e < 3; ++e)
            if (++directed[key(c[e], c[(e + 1) % 3])] > 1) return fault = "an edge twice", -1;
    }
    for (auto it = directed.cbegin(); it != directed.cend(); ++it)
        if (!directed.contains(it.key().mid(12) + it.key().left(12)))
            return fault = "an open edge", -1;
    for (int a = 0; a < 3; ++a)
        extent[a] = high[a] - low[a];
    return volume;
}
} // namespace

class TestSolidOutputs : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private Q_SLOTS:
    void solids_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("slack"); // a shell's thickness may stick out less
        QTest::newRow("saddle") << QStringList{"--open", example("saddle.txt")} << 100.0 << 0.0;
        QTest::newRow("monkey saddle, 60 mm, 5 mm base")
            << QStringList{"--open", example("monkey-saddle.txt"), "--size", "60", "--base", "5"}
            << 60.0 << 0.0;
        QTest::newRow("sphere") << QStringList{"--open", example("sphere.txt")} << 100.0 << 0.0;
        QTest::newRow("torus") << QStringList{"--open", example("torus.txt")} << 100.0 << 0.0;
        QTest::newRow("Moebius strip as a shell")
            << QStringList{"--open", example("moebius.txt"), "--thicken", "3"} << 100.0 << 3.0;
        QTest::newRow("saddle as a shell")
            << QStringList{"--open", example("saddle.txt"), "--thicken", "2"} << 100.0 << 2.0;
        QTest::newRow("hole cut out of the saddle")
            << QStringList{"--open", example("saddle.txt"), "--set",
                           "EquationZ=x*x - y*y + 0/(x*x + y*y > 0.1)"}
            << 100.0 << 0.0;
        QTest::newRow("reversed x range")
            << QStringList{"--set", "Rangelxu=1", "--set", "Rangegxu=-1"} << 100.0 << 0.0;
    }
    void solids()
    {
        QFETCH(QStringList, args);
        QFETCH(double, size);
        QFETCH(double, slack);
        const QString path = dir_.filePath(QTest::currentDataTag());
        const Run r = runProgram(args << "--stl" << path);
        QVERIFY2(r.status == 0, qPrintable(r.error));
        std::array<double, 3> extent{};
        QString fault;
        const double volume = solidVolume(path, extent, fault);
        QVERIFY2(volume > 0, qPrintable(fault));
        const double longest = std::max({extent[0], extent[1], extent[2]});
        QVERIFY2(longest >= size - slack - 1e-4 && longest <= size + 1e-4,
                 qPrintable(QString::number(longest)));
    }

    // The sphere of radius 1 scaled to 100 mm across: near 4/3 pi 50^3, a little less for the
    // flat facets; the saddle's base lies 2 mm under its lowest point.
    void shapes()
    {
        std::array<double, 3> extent{};
        QString fault;
        const double sphere = solidVolume(dir_.filePath("sphere"), extent, fault);
        QVERIFY(sphere > 0.97 * 4 / 3.0 * M_PI * 125000 && sphere < 4 / 3.0 * M_PI * 125000);
        // The saddle over [-1, 1]^2, z from -1 to 1 (mean 0), scaled by 49 so that the height
        // with the base is 100 mm: 98 x 98 mm, 49 + 2 mm high on average.
        const double saddle = solidVolume(dir_.filePath("saddle"), extent, fault);
        QVERIFY2(std::abs(saddle - 98 * 98 * 51.0) < 0.01 * saddle, qPrintable(fault));
        QCOMPARE(extent[0], 98.0);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("open strip") << QStringList{"--open", example("moebius.txt"), "--stl"}
                                    << "the surface does not close on itself (an open edge at u=";
        QTest::newRow("cut touching itself")
            << QStringList{"--open", example("saddle.txt"), "--set", "EquationZ=x + 0/(x*y <= 0)",
                           "--stl"}
            << "cannot be closed: the surface touches itself at x=0, y=0";
        // Without lines the plot evaluates nothing, so the mesh meets each fault first.
        QTest::newRow("no value") << QStringList{"--set", "Lines=0", "--set", "EquationZ=Sqr(-1)",
                                                 "--obj"}
                                  << "no grid cell whose corners all have a value";
        QTest::newRow("no number")
            << QStringList{"--set", "Lines=0", "--set", "EquationZ=x & y", "--stl"}
            << "fails at x=-1, y=-1: error 13: Type mismatch";
        QTest::newRow("too many points")
            << QStringList{"--set", "Lines=0",     "--set", "Spacexu=20000",
                           "--set", "Segsxu=1000", "--obj"}
            << "the mesh has 420000021 points, more than the 1000000";
        QTest::newRow("base as thick as the solid")
            << QStringList{"--base", "100", "--stl"} << "must be less than --size";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString path = dir_.filePath("refused");
        const Run r = runProgram(args << path);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.error.contains(message), qPrintable(r.error));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(runProgram({"--stl", path, "--size", "0"}).status, 2);
    }

    // The torus's 48 x 24 grid cells close both ways: 48 * 24 vertices, two faces a cell.
    void torusObj()
    {
        const QString path = dir_.filePath("torus.obj");
        QCOMPARE(runProgram({"--open", example("torus.txt"), "--obj", path}).status, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QHash<QByteArray, int> lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            ++lines[line.split(' ').first()];
        QCOMPARE(lines.value("v"), 48 * 24);
        QCOMPARE(lines.value("vn"), 48 * 24);
        QCOMPARE(lines.value("f"), 48 * 24 * 2);
    }
};

QTEST_GUILESS_MAIN(TestSolidOutputs)
#include "test_solidoutputs.moc"
