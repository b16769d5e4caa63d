// The program without a window, driven as a script would drive it.
#include "app/Session.h"
#include "app/SessionHost.h"
#include "setup/FieldMap.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {
struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runProgram(const QStringList& args, const QString& workDir = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(TAVRIGON_BINARY), args);
    if (!p.waitForFinished(60000)) p.kill();
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A host whose first pending-event point runs `during`, as a menu command taken during a plot.
struct HookHost : SessionHost
{
    void showMessage(const QString& text, const QString&) override { messages << text; }
    void processEvents() override
    {
        if (!during) return;
        const std::function<void()> run = std::move(during);
        during = nullptr;
        run();
    }
    void beep() override {}
    void setBusy(bool) override {}
    void viewsChanged() override {}
    void constantsChanged() override {}

    std::function<void()> during;
    QStringList messages;
};

QByteArray exampleFile(const QByteArray& line4, const QByteArray& line7)
{
    return "\"VANTRO\",0\r\n\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n" + line4 +
           "\r\n0,0,0\r\n-2.5,2.5,-2,2,-1.5,1.5\r\n-1,1,-1,1\r\n" + line7 +
           "\r\n1,1,1,0,0,0,0,0,0\r\n0,0\r\n 0 \r\n";
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eval_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<int>("status");

        QTest::newRow("Asin(1) is halfpi") << "Asin(1) = halfpi"
                                           << "-1" << 0;
        QTest::newRow("Acos(-1) is 2 halfpi") << "Acos(-1) = 2 * halfpi"
                                              << "-1" << 0;
        QTest::newRow("Tanh(1000)") << "Tanh(1000)"
                                    << "error 6: Overflow" << 1;
        QTest::newRow("Atanh(1)") << "Atanh(1)"
                                  << "error 11: Division by zero" << 1;
        QTest::newRow("1/0") << "1/0"
                             << "error 11: Division by zero" << 1;
        QTest::newRow("0/0") << "0/0"
                             << "error 6: Overflow" << 1;
        QTest::newRow("unary minus before ^") << "-3^2"
                                              << "9" << 0;
        QTest::newRow("^ left-associative") << "2^3^2"
                                            << "64" << 0;
        QTest::newRow("Not below comparison") << "Not 1 > 2"
                                              << "-1" << 0;
        QTest::newRow("integer division of negatives") << "-7 \\ 2"
                                                       << "-3" << 0;
        QTest::newRow("Mod rounds half to even") << "11.6 Mod 5.5"
                                                 << "0" << 0;
        QTest::newRow("Int of a negative") << "Int(-2.5)"
                                           << "-3" << 0;
        QTest::newRow("Fix of a negative") << "Fix(-2.5)"
                                           << "-2" << 0;
        QTest::newRow("Round half to even") << "Round(2.5) + Round(3.5)"
                                            << "6" << 0;
        QTest::newRow("hex wraps to 16 bits") << "&hffff"
                                              << "-1" << 0;
        QTest::newRow("numeric string") << "\"2.5\" * 2"
                                        << "5" << 0;
        QTest::newRow("non-numeric string") << "\"abc\""
                                            << "error 13: Type mismatch" << 1;
        QTest::newRow("pi from the start statements") << "pi"
                                                      << "3.14159265358979" << 0;
        QTest::newRow("syntax error") << "1 +"
                                      << "error 1002: Syntax error" << 1;
    }
    void eval()
    {
        QFETCH(QString, expression);
        QFETCH(QString, printed);
        QFETCH(int, status);
        const Run r = runProgram({QStringLiteral("--eval"), expression});
        QCOMPARE(r.out.trimmed(), printed);
        QCOMPARE(r.status, status);
    }

    void execThenEval()
    {
        const Run r = runProgram({QStringLiteral("--exec"), QStringLiteral("a=2.37"),
                                  QStringLiteral("--eval"), QStringLiteral("a*2"),
                                  QStringLiteral("--eval"), QStringLiteral("b")});
        QCOMPARE(r.out, QStringLiteral("4.74\n0\n"));
        QCOMPARE(r.status, 0);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2;
        QTest::newRow("missing value") << QStringList{"--eval"} << 2;
        QTest::newRow("unknown field") << QStringList{"--set", "Nonsense=1"} << 2;
        QTest::newRow("check takes 0 or 1") << QStringList{"--set", "Lines=yes"} << 2;
        QTest::newRow("unknown button") << QStringList{"--press", "cmdNothing"} << 2;
        QTest::newRow("unknown button before anything runs")
            << QStringList{"--eval", "1", "--press", "cmdNothing"} << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("version") << QStringList{"--version"} << 0;
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const Run r = runProgram(args);
        QCOMPARE(r.status, status);
        if (status == 2) QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
    }

    void stereoPair()
    {
        QTemporaryDir dir;
        const QString l = dir.filePath(QStringLiteral("l.png"));
        const QString r = dir.filePath(QStringLiteral("r.png"));
        const Run run = runProgram({QStringLiteral("--left"), l, QStringLiteral("--right"), r});
        QCOMPARE(run.status, 0);
        const QImage left(l), right(r);
        QCOMPARE(left.size(), QSize(400, 300));
        QCOMPARE(right.size(), QSize(400, 300));
        QVERIFY2(left != right, "the default stereo factor shifts the left view");
    }

    void stereoZeroGivesIdenticalViews()
    {
        QTemporaryDir dir;
        const QString l = dir.filePath(QStringLiteral("l.bmp"));
        const QString r = dir.filePath(QStringLiteral("r.bmp"));
        const Run run = runProgram({QStringLiteral("--set"), QStringLiteral("Stereo=0"),
                                    QStringLiteral("--left"), l, QStringLiteral("--right"), r});
        QCOMPARE(run.status, 0);
        const QImage left(l), right(r);
        QVERIFY(!left.isNull());
        QCOMPARE(left.convertToFormat(QImage::Format_RGB32),
                 right.convertToFormat(QImage::Format_RGB32));
    }

    void derivativeDiffersFromSurface()
    {
        QTemporaryDir dir;
        const QString z = dir.filePath(QStringLiteral("z.png"));
        const QString zxy = dir.filePath(QStringLiteral("zxy.png"));
        QCOMPARE(runProgram({QStringLiteral("--right"), z}).status, 0);
        QCOMPARE(
            runProgram({QStringLiteral("--set"), QStringLiteral("Xder=1"), QStringLiteral("--set"),
                        QStringLiteral("Yder=1"), QStringLiteral("--set"),
                        QStringLiteral("Accuracy=1"), QStringLiteral("--right"), zxy})
                .status,
            0);
        QVERIFY(QImage(z) != QImage(zxy));
    }

    void engineErrorInPlotIsReported()
    {
        QTemporaryDir dir;
        const Run r =
            runProgram({QStringLiteral("--set"), QStringLiteral("EquationZ=x +* y"),
                        QStringLiteral("--right"), dir.filePath(QStringLiteral("r.png"))});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("Syntax error")));

        // A plot that cannot read its fields writes no image over an earlier one.
        const QString kept = dir.filePath(QStringLiteral("kept.png"));
        QCOMPARE(runProgram({QStringLiteral("--right"), kept}).status, 0);
        const QImage before(kept);
        QCOMPARE(runProgram({QStringLiteral("--set"), QStringLiteral("Spacexu=0"),
                             QStringLiteral("--right"), kept})
                     .status,
                 1);
        QCOMPARE(QImage(kept), before);
    }

    void parametricDefaultMatchesExplicit()
    {
        QTemporaryDir dir;
        const QString e = dir.filePath(QStringLiteral("e.png"));
        const QString p = dir.filePath(QStringLiteral("p.png"));
        QCOMPARE(runProgram({QStringLiteral("--left"), e}).status, 0);
        QCOMPARE(runProgram({QStringLiteral("--set"), QStringLiteral("Parametric=1"),
                             QStringLiteral("--left"), p})
                     .status,
                 0);
        QCOMPARE(QImage(e), QImage(p));
    }

    void buttonsAndConstants_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reportLine");
        QTest::addColumn<int>("status");
        QTest::newRow("rotation step")
            << QStringList{"--press", "cmdIncRotZ", "--press", "cmdIncRotZ"}
            << "                     ROTATION: [ 0 , 0 , 10 ]" << 0;
        QTest::newRow("window step") << QStringList{"--press", "cmdDecWindX"}
                                     << "                     X-WINDOW: [-2 , 2 ]" << 0;
        QTest::newRow("zoom in") << QStringList{"--press", "cmdZoomIn"}
                                 << "                     Y-WINDOW: [-1 , 1 ]" << 0;
        QTest::newRow("octant 7") << QStringList{"--press", "cmdZoomQ7"}
                                  << "                     Z-WINDOW: [-1.5 , 0 ]" << 0;
        QTest::newRow("constant in a field")
            << QStringList{"--constant", "w=3", "--set", "Windowgx=w", "--press", "cmdPlot"}
            << "                     X-WINDOW: [-2.5 , 3 ]" << 0;
        QTest::newRow("constant refused")
            << QStringList{"--constant", "a b=3"} << "CONSTANTS:" << 1;
        QTest::newRow("constant listed") << QStringList{"--constant", "a=2.37"} << "a=2.37" << 0;
    }
    void buttonsAndConstants()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, reportLine);
        QFETCH(int, status);
        const Run r =
            runProgram(args + QStringList{QStringLiteral("--report"), QStringLiteral("-")});
        QCOMPARE(r.status, status);
        QCOMPARE(r.out.split(QLatin1Char('\n')).contains(reportLine), status == 0);
    }

    void saveThenOpen()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("saddle.txt"));
        QCOMPARE(runProgram({QStringLiteral("--constant"), QStringLiteral("a=2.37"),
                             QStringLiteral("--save"), file})
                     .status,
                 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\"VANTRO\",0\r\n"
                                         "\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n"
                                         "1,0,1,5000,5\r\n0,0,0\r\n-2.5,2.5,-2,2,-1.5,1.5\r\n"
                                         "-1,1,-1,1\r\n10,10,2,2\r\n1,1,1,0,0,0,0,0,0\r\n0,0\r\n"
                                         " 1 \r\na=2.37\r\n"));
        QCOMPARE(QImage(file + QStringLiteral("_left.bmp")).size(), QSize(400, 300));
        QCOMPARE(QImage(file + QStringLiteral("_right.bmp")).size(), QSize(400, 300));

        const Run r = runProgram({QStringLiteral("--open"), file, QStringLiteral("--set"),
                                  QStringLiteral("Stereo=3"), QStringLiteral("--report"),
                                  QStringLiteral("-")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("CONSTANTS:\na=2.37\n")));
        QVERIFY(r.out.contains(QStringLiteral("          STEREOSCOPIC FACTOR: 3 ")));
    }

    void incompatibleFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("other.txt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"OTHER\",0\r\n");
        f.close();
        const Run r = runProgram({QStringLiteral("--open"), file});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("vantro: Incompatible file")));
    }

    void pdfDocument()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QCOMPARE(runProgram({QStringLiteral("--pdf"), file}).status, 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        QVERIFY(f.size() > 10000); // the two views are in it
        f.close();

        // A document that cannot be made leaves the older file as it was.
        const Run r = runProgram(
            {QStringLiteral("--set"), QStringLiteral("Spacexu=0"), QStringLiteral("--pdf"), file});
        QCOMPARE(r.status, 1);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
    }

    void stereoImages()
    {
        QTemporaryDir dir;
        const QString l = dir.filePath(QStringLiteral("l.png"));
        const QString a = dir.filePath(QStringLiteral("a.png"));
        const QString p = dir.filePath(QStringLiteral("p.png"));
        QCOMPARE(runProgram({QStringLiteral("--left"), l, QStringLiteral("--anaglyph"), a,
                             QStringLiteral("--pair"), p})
                     .status,
                 0);
        const QImage left(l), anaglyph(a), pair(p);
        QCOMPARE(anaglyph.size(), QSize(400, 300));
        QCOMPARE(pair.size(), QSize(800, 300));
        QCOMPARE(pair.copy(0, 0, 400, 300).convertToFormat(QImage::Format_RGB32),
                 left.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(qGreen(anaglyph.pixel(200, 150)), qGray(left.pixel(200, 150)));
    }

    void eyeFactorOneKept()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.txt"));
        const QString out = dir.filePath(QStringLiteral("out.txt"));
        const QString plain = dir.filePath(QStringLiteral("plain.png"));
        const QString shifted = dir.filePath(QStringLiteral("shifted.png"));
        QVERIFY(writeBytes(in, exampleFile("1,2,1,5000,5", "10,10,2,2")));
        QCOMPARE(runProgram({QStringLiteral("--right"), plain}).status, 0);
        QCOMPARE(runProgram({QStringLiteral("--open"), in, QStringLiteral("--right"), shifted,
                             QStringLiteral("--save"), out})
                     .status,
                 0);
        // The plot used it (the right view's axes move) and the saved file still holds it.
        QVERIFY(QImage(plain) != QImage(shifted));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().split('\n').value(2), QByteArray("1,2,1,5000,5\r"));
    }

    void commandsDuringPlot_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("drawsDefault"); // else the running plot stopped before its drawing
        QTest::addColumn<QString>("expected");  // in the saved file or the report
        QTest::newRow("save") << "save" << true << "4,10,2,2";
        QTest::newRow("report") << "report" << true << "           NUMBER OF SPACINGS: [ 4 , 10 ]";
        QTest::newRow("open") << "open" << false << "";
    }
    void commandsDuringPlot()
    {
        QFETCH(QString, command);
        QFETCH(bool, drawsDefault);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("setup.txt"));
        QVERIFY(writeBytes(file, exampleFile("1,0,1,5000,5", "4,10,2,2")));

        FieldMap plainFields;
        HookHost plainHost;
        Session plain(plainFields, plainHost);
        plain.load(dir.path());
        plain.plot();

        FieldMap fields;
        HookHost host;
        Session session(fields, host);
        session.load(dir.path());
        QStringList report;
        host.during = [&] {
            fields.setText(QStringLiteral("txtSpacexu"), QStringLiteral("4"));
            if (command == QLatin1String("save"))
                QVERIFY(session.saveSetup(file));
            else if (command == QLatin1String("report"))
                QVERIFY(session.reportLines(report));
            else
                QVERIFY(session.openSetup(file));
        };
        session.plot();
        QVERIFY2(host.messages.isEmpty(), qPrintable(host.messages.join(QLatin1Char('\n'))));
        const QImage left = session.viewImage(0);
        if (drawsDefault) {
            QCOMPARE(left, plain.viewImage(0));
        } else {
            QImage blank(left.size(), QImage::Format_RGB32);
            blank.fill(left.pixel(0, 0));
            QCOMPARE(left.convertToFormat(QImage::Format_RGB32), blank);
        }
        if (command == QLatin1String("save")) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().contains(expected.toLatin1() + "\r\n"));
        } else if (command == QLatin1String("report")) {
            QVERIFY(report.contains(expected));
        }
        session.plot(); // the next plot draws the new setup
        QVERIFY(session.viewImage(0) != plain.viewImage(0));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
