// The program without a window, driven as a script would drive it.
#include "app/Session.h"
#include "app/SessionHost.h"
#include "setup/FieldMap.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// `stdoutFile`: where standard output goes instead of the pipe. `unprivileged`: as root, the
// program runs as nobody, for whom file permissions count.
Run runProgram(const QStringList& args, const QString& stdoutFile = QString(),
               bool unprivileged = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    p.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    if (unprivileged && ::getuid() == 0)
        p.start(QStringLiteral("setpriv"),
                QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", TAVRIGON_BINARY} +
                    args);
    else
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
        QTest::newRow("Tanh(1000)") << "Tanh(1000)"
                                    << "error 6: Overflow" << 1;
        QTest::newRow("1/0") << "1/0"
                             << "error 11: Division by zero" << 1;
        QTest::newRow("^ left-associative") << "2^3^2"
                                            << "64" << 0;
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
        QTest::addColumn<QString>("stdoutFile");
        QTest::addColumn<int>("status");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "" << 2;
        QTest::newRow("missing value") << QStringList{"--eval"} << "" << 2;
        QTest::newRow("unknown field") << QStringList{"--set", "Nonsense=1"} << "" << 2;
        QTest::newRow("check takes 0 or 1") << QStringList{"--set", "Lines=yes"} << "" << 2;
        QTest::newRow("unknown button before anything runs")
            << QStringList{"--eval", "1", "--press", "cmdNothing"} << "" << 2;
        QTest::newRow("help") << QStringList{"--help"} << "" << 0;
        QTest::newRow("version") << QStringList{"--version"} << "" << 0;
        // Lost output is a failure, as in the GNU tools.
        QTest::newRow("help, full disk") << QStringList{"--help"} << "/dev/full" << 1;
        QTest::newRow("eval, full disk") << QStringList{"--eval", "1+1"} << "/dev/full" << 1;
        QTest::newRow("report, full disk") << QStringList{"--report", "-"} << "/dev/full" << 1;
        QTest::newRow("report to a device") << QStringList{"--report", "/dev/null"} << "" << 0;
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, stdoutFile);
        QFETCH(int, status);
        const Run r = runProgram(args, stdoutFile);
        QCOMPARE(r.status, status);
        if (status == 2) QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        if (!stdoutFile.isEmpty())
            QVERIFY2(r.err.contains(QStringLiteral("No space left on device")), qPrintable(r.err));
    }

    // Two images, from one run or two, the same or not.
    void images_data()
    {
        QTest::addColumn<QStringList>("first");  // writes %A (and maybe %B)
        QTest::addColumn<QStringList>("second"); // writes %B, or nothing to run
        QTest::addColumn<bool>("same");
        QTest::newRow("the stereo factor shifts the left view")
            << QStringList{"--left", "%A", "--right", "%B"} << QStringList() << false;
        QTest::newRow("stereo 0: identical views")
            << QStringList{"--set", "Stereo=0", "--left", "%A", "--right", "%B"} << QStringList()
            << true;
        QTest::newRow("Zxy differs from Z")
            << QStringList{"--right", "%A"}
            << QStringList{"--set", "Xder=1",     "--set",   "Yder=1",
                           "--set", "Accuracy=1", "--right", "%B"}
            << false;
        QTest::newRow("parametric default matches explicit")
            << QStringList{"--left", "%A"} << QStringList{"--set", "Parametric=1", "--left", "%B"}
            << true;
    }
    void images()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(bool, same);
        QTemporaryDir dir;
        for (QStringList args : {first, second}) {
            if (args.isEmpty()) continue;
            args.replaceInStrings(QStringLiteral("%A"), dir.filePath(QStringLiteral("a.png")));
            args.replaceInStrings(QStringLiteral("%B"), dir.filePath(QStringLiteral("b.bmp")));
            QCOMPARE(runProgram(args).status, 0);
        }
        const QImage a(dir.filePath(QStringLiteral("a.png"))),
            b(dir.filePath(QStringLiteral("b.bmp")));
        QCOMPARE(a.size(), QSize(400, 300));
        QCOMPARE(a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32),
                 same);
    }

    // A failed input, a plot that cannot read its fields or a file that must not be replaced:
    // nothing is written, the old files keep their bytes, the status is 1.
    void batchStopsAtAFailure_data()
    {
        QTest::addColumn<QStringList>("args"); // %D: the folder holding notes.txt and a fifo
        QTest::addColumn<QString>("message");
        auto row = [](const char* tag, const QStringList& args, const char* message) {
            QTest::newRow(tag) << args << QString::fromLatin1(message);
        };
        row("incompatible file, then Save to it",
            {"--open", "%D/notes.txt", "--save", "%D/notes.txt"}, "vantro: Incompatible file");
        row("Save onto a file that is not a setup file", {"--save", "%D/notes.txt"},
            "notes.txt is not a setup file. Replace it? No");
        row("missing file", {"--open", "%D/missing.txt", "--pair", "%D/o.png"},
            "No such file or directory");
        row("FIFO", {"--open", "%D/fifo", "--pair", "%D/o.png"}, "it is not a regular file");
        row("refused constant", {"--constant", "a b=3", "--pair", "%D/o.png"}, "was refused");
        row("failing statement", {"--exec", "x=1/0", "--pair", "%D/o.png"}, "Division by zero");
        row("field the plot cannot read",
            {"--set", "Spacexu=0", "--save", "%D/s.txt", "--pdf", "%D/o.pdf"},
            "No output file was written.");
        row("engine error in the plot", {"--set", "EquationZ=x +* y", "--right", "%D/o.png"},
            "Syntax error");
        row("full device", {"--report", "/dev/full"}, "Cannot write /dev/full: No space left");
        row("folder", {"--save", "%D/locked"}, "Is a directory"); // and no bitmap beside it
        row("read-only folder", {"--save", "%D/locked/s.txt"}, "Permission denied");
    }
    void batchStopsAtAFailure()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        const QString notes = dir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(writeBytes(notes, "my notes\n"));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
        QVERIFY(::chmod(QFile::encodeName(dir.filePath(QStringLiteral("locked"))).constData(),
                        0555) == 0);
        args.replaceInStrings(QStringLiteral("%D"), dir.path());
        const Run r = runProgram(args, QString(), message == QLatin1String("Permission denied"));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QStringList left =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QCOMPARE(left, (QStringList{"fifo", "locked", "notes.txt"}));
        QFile f(notes);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("my notes\n"));
    }

    void buttonsAndConstants_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reportLine");
        QTest::newRow("rotation step")
            << QStringList{"--press", "cmdIncRotZ", "--press", "cmdIncRotZ"}
            << "                     ROTATION: [ 0 , 0 , 10 ]";
        QTest::newRow("window step")
            << QStringList{"--press", "cmdDecWindX"} << "                     X-WINDOW: [-2 , 2 ]";
        QTest::newRow("octant 7") << QStringList{"--press", "cmdZoomQ7"}
                                  << "                     Z-WINDOW: [-1.5 , 0 ]";
        QTest::newRow("constant in a field")
            << QStringList{"--constant", "w=3", "--set", "Windowgx=w", "--press", "cmdPlot"}
            << "                     X-WINDOW: [-2.5 , 3 ]";
    }
    void buttonsAndConstants()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, reportLine);
        const Run r =
            runProgram(args + QStringList{QStringLiteral("--report"), QStringLiteral("-")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.split(QLatin1Char('\n')).contains(reportLine), qPrintable(r.out));
    }

    void saveThenOpen()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("saddle.txt"));
        QCOMPARE(runProgram({QStringLiteral("--constant"), QStringLiteral("a=2.37"),
                             QStringLiteral("--constant"), QStringLiteral("r=Round(2.345,2)"),
                             QStringLiteral("--save"), file})
                     .status,
                 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\"VANTRO\",0\r\n"
                                         "\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n"
                                         "1,0,1,5000,5\r\n0,0,0\r\n-2.5,2.5,-2,2,-1.5,1.5\r\n"
                                         "-1,1,-1,1\r\n10,10,2,2\r\n1,1,1,0,0,0,0,0,0\r\n0,0\r\n"
                                         " 2 \r\na=2.37\r\n\"r=Round(2.345,2)\"\r\n"));
        QCOMPARE(QImage(file + QStringLiteral("_left.bmp")).size(), QSize(400, 300));
        QCOMPARE(QImage(file + QStringLiteral("_right.bmp")).size(), QSize(400, 300));

        // Saved again onto itself: a setup file is replaced without a question.
        const Run r = runProgram({QStringLiteral("--open"), file, QStringLiteral("--set"),
                                  QStringLiteral("Stereo=3"), QStringLiteral("--save"), file,
                                  QStringLiteral("--report"), QStringLiteral("-")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("CONSTANTS:\na=2.37\nr=Round(2.345,2)\n")));
        QVERIFY(r.out.contains(QStringLiteral("          STEREOSCOPIC FACTOR: 3 ")));
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
        QCOMPARE(qRed(anaglyph.pixel(200, 150)), qGray(left.pixel(200, 150)));
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
