// The program without a window, driven as a script would drive it.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(TAVRIGON_BINARY), args);
    if (!p.waitForFinished(60000))
        p.kill();
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eval_data();
    void eval();
    void execThenEval();
    void usage_data();
    void usage();
    void stereoPair();
    void stereoZeroGivesIdenticalViews();
    void derivativeDiffersFromSurface();
    void engineErrorInPlotIsReported();
};

void TestCommandLine::eval_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<int>("status");

    QTest::newRow("Asin(1) is halfpi") << "Asin(1) = halfpi" << "-1" << 0;
    QTest::newRow("Acos(-1) is 2 halfpi") << "Acos(-1) = 2 * halfpi" << "-1" << 0;
    QTest::newRow("Tanh(1000)") << "Tanh(1000)" << "error 6: Overflow" << 1;
    QTest::newRow("Atanh(1)") << "Atanh(1)" << "error 11: Division by zero" << 1;
    QTest::newRow("1/0") << "1/0" << "error 11: Division by zero" << 1;
    QTest::newRow("0/0") << "0/0" << "error 6: Overflow" << 1;
    QTest::newRow("unary minus before ^") << "-3^2" << "9" << 0;
    QTest::newRow("^ left-associative") << "2^3^2" << "64" << 0;
    QTest::newRow("Not below comparison") << "Not 1 > 2" << "-1" << 0;
    QTest::newRow("integer division of negatives") << "-7 \\ 2" << "-3" << 0;
    QTest::newRow("Mod rounds half to even") << "11.6 Mod 5.5" << "0" << 0;
    QTest::newRow("Int of a negative") << "Int(-2.5)" << "-3" << 0;
    QTest::newRow("Fix of a negative") << "Fix(-2.5)" << "-2" << 0;
    QTest::newRow("Round half to even") << "Round(2.5) + Round(3.5)" << "6" << 0;
    QTest::newRow("hex wraps to 16 bits") << "&hffff" << "-1" << 0;
    QTest::newRow("numeric string") << "\"2.5\" * 2" << "5" << 0;
    QTest::newRow("non-numeric string") << "\"abc\"" << "error 13: Type mismatch" << 1;
    QTest::newRow("pi from the start statements") << "pi" << "3.14159265358979" << 0;
    QTest::newRow("syntax error") << "1 +" << "error 1002: Syntax error" << 1;
}

void TestCommandLine::eval()
{
    QFETCH(QString, expression);
    QFETCH(QString, printed);
    QFETCH(int, status);
    const Run r = runProgram({QStringLiteral("--eval"), expression});
    QCOMPARE(r.out.trimmed(), printed);
    QCOMPARE(r.status, status);
}

void TestCommandLine::execThenEval()
{
    const Run r = runProgram({QStringLiteral("--exec"), QStringLiteral("a=2.37"),
                              QStringLiteral("--eval"), QStringLiteral("a*2"),
                              QStringLiteral("--eval"), QStringLiteral("b")});
    QCOMPARE(r.out, QStringLiteral("4.74\n0\n"));
    QCOMPARE(r.status, 0);
}

void TestCommandLine::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2;
    QTest::newRow("missing value") << QStringList{"--eval"} << 2;
    QTest::newRow("unknown field") << QStringList{"--set", "Nonsense=1"} << 2;
    QTest::newRow("check takes 0 or 1") << QStringList{"--set", "Lines=yes"} << 2;
    QTest::newRow("unknown button") << QStringList{"--press", "cmdNothing"} << 2;
    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("version") << QStringList{"--version"} << 0;
}

void TestCommandLine::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QCOMPARE(runProgram(args).status, status);
}

void TestCommandLine::stereoPair()
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

void TestCommandLine::stereoZeroGivesIdenticalViews()
{
    QTemporaryDir dir;
    const QString l = dir.filePath(QStringLiteral("l.bmp"));
    const QString r = dir.filePath(QStringLiteral("r.bmp"));
    const Run run = runProgram({QStringLiteral("--set"), QStringLiteral("Stereo=0"),
                                QStringLiteral("--left"), l, QStringLiteral("--right"), r});
    QCOMPARE(run.status, 0);
    const QImage left(l), right(r);
    QVERIFY(!left.isNull());
    QCOMPARE(left.convertToFormat(QImage::Format_RGB32), right.convertToFormat(QImage::Format_RGB32));
}

void TestCommandLine::derivativeDiffersFromSurface()
{
    QTemporaryDir dir;
    const QString z = dir.filePath(QStringLiteral("z.png"));
    const QString zxy = dir.filePath(QStringLiteral("zxy.png"));
    QCOMPARE(runProgram({QStringLiteral("--right"), z}).status, 0);
    QCOMPARE(runProgram({QStringLiteral("--set"), QStringLiteral("Xder=1"), QStringLiteral("--set"),
                         QStringLiteral("Yder=1"), QStringLiteral("--set"),
                         QStringLiteral("Accuracy=1"), QStringLiteral("--right"), zxy})
                 .status,
             0);
    QVERIFY(QImage(z) != QImage(zxy));
}

void TestCommandLine::engineErrorInPlotIsReported()
{
    QTemporaryDir dir;
    const Run r = runProgram({QStringLiteral("--set"), QStringLiteral("EquationZ=x +* y"),
                              QStringLiteral("--right"), dir.filePath(QStringLiteral("r.png"))});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(QStringLiteral("Syntax error")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
