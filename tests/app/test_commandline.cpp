// The program without a window, driven as a script would drive it.
#include "app/WindowArguments.h"
#include "session/Session.h"
#include "session/SessionHost.h"
#include "setup/FieldMap.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

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
// program runs as nobody, for whom file permissions count. `paper`: LC_PAPER's locale, a
// folder made by localedef.
Run runProgram(const QStringList& args, const QString& stdoutFile = QString(),
               bool unprivileged = false, const QFileInfo& paper = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    if (!paper.filePath().isEmpty()) {
        env.insert("LC_ALL", "");
        env.insert("LC_PAPER", paper.fileName());
        env.insert("LOCPATH", paper.path());
    }
    p.setProcessEnvironment(env);
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    if (unprivileged && ::getuid() == 0)
        p.start("setpriv",
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

// The default setup with 4 spacings along x.
const QByteArray kFourSpacings = "\"VANTRO\",0\r\n\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n"
                                 "1,0,1,5000,5\r\n0,0,0\r\n-2.5,2.5,-2,2,-1.5,1.5\r\n"
                                 "-1,1,-1,1\r\n4,10,2,2\r\n1,1,1,0,0,0,0,0,0\r\n0,0\r\n 0 \r\n";

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
    // Status and standard output of one run; lost output is a failure, as in the GNU tools.
    void run_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("stdoutFile"); // instead of the pipe
        QTest::addColumn<QString>("printed");
        QTest::addColumn<int>("status");
        auto row = [](const char* tag, const QStringList& args, const char* stdoutFile,
                      const char* printed, int status) {
            QTest::newRow(tag) << args << QString::fromLatin1(stdoutFile)
                               << QString::fromLatin1(printed) << status;
        };
        row("value", {"--eval", "Asin(1) = halfpi"}, "", "-1\n", 0);
        row("syntax error, the next value still printed", {"--eval", "1 +", "--eval", "2"}, "",
            "2\n", 1);
        row("statement, then values", {"--exec", "a=2.37", "--eval", "a*2", "--eval", "b"}, "",
            "4.74\n0\n", 0);
        row("unknown option", {"--frobnicate"}, "", "", 2);
        row("missing value", {"--eval"}, "", "", 2);
        row("unknown field", {"--set", "Nonsense=1"}, "", "", 2);
        row("check takes 0 or 1", {"--set", "Lines=yes"}, "", "", 2);
        row("unknown button before anything runs", {"--eval", "1", "--press", "cmdNothing"}, "", "",
            2);
        row("scale out of range, before anything runs", {"--eval", "1", "--scale", "17"}, "", "",
            2);
        row("scale not a number", {"--scale", "2x", "--left", "a.png"}, "", "", 2);
        row("unknown image type", {"--eval", "1", "--pair", "a.JPG"}, "", "", 2);
        row("anaglyph as SVG", {"--anaglyph", "a.svg"}, "", "", 2);
        row("pattern not read", {"--pattern", "/dev/null"}, "", "", 2);
        row("autostereogram of no surface",
            {"--cross", "--set", "EquationZ=0/0", "--autostereogram", "a.png"}, "", "", 1);
        row("unknown colour", {"--eval", "1", "--colour", "red"}, "", "", 2);
        row("unknown projection", {"--projection=parallel", "--pair", "a.png"}, "", "", 2);
        row("version", {"--version"}, "", "tavrigon ", 0);
        row("bound not a number", {"--max-points", "lots"}, "", "", 2);
        row("bound, no file of its own", {"--max-points", "1e6", "--report", "/dev/null"}, "", "",
            0);
        row("report to a device", {"--report", "/dev/null"}, "", "", 0);
        row("help, full disk", {"--help"}, "/dev/full", "", 1);
        row("eval, full disk", {"--eval", "1+1"}, "/dev/full", "", 1);
        row("report, full disk", {"--report", "-"}, "/dev/full", "", 1);
    }
    void run()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, stdoutFile);
        QFETCH(QString, printed);
        QFETCH(int, status);
        const Run r = runProgram(args, stdoutFile);
        QCOMPARE(r.status, status);
        QVERIFY2(status == 2 ? r.out.isEmpty() : r.out.left(printed.size()) == printed,
                 qPrintable(r.out));
        if (!stdoutFile.isEmpty())
            QVERIFY2(r.err.contains("No space left on device"), qPrintable(r.err));
    }

    // Each --eval prints a value on standard output or its error, with the hint of a formula
    // written as in a book, on standard error; the run goes on and ends with status 1.
    void evalValuesAndErrors()
    {
        const QList<std::pair<const char*, const char*>> values = {
            {"Sqrt(2.25)", "1.5"}, {"Ln(1)", "0"},         {"Log10(1E3)", "3"},
            {"Log2(8)", "3"},      {"Atan(0)", "0"},       {"Atan2(0, -1) = pi", "-1"},
            {"Floor(-0.5)", "-1"}, {"Ceil(-1.5)", "-1"},   {"Min(2, -3)", "-3"},
            {"Max(2, -3)", "2"},   {"Pow(2, 0.5)^2", "2"}, {"Hypot(5, 12)", "13"},
            {"Cbrt(-8)", "-2"}};
        const char* invalid = "error 5: Invalid procedure call or argument";
        const QList<std::pair<const char*, const char*>> failures = {
            {"Sqrt(-1)", invalid},
            {"Ln(0)", invalid},
            {"Log10(-2)", invalid},
            {"Log2(0)", invalid},
            {"Atan2(0, 0)", invalid},
            {"Pow(-8, 1/3)", invalid},
            {"Hypot(1.5E308, 1E308)", "error 6: Overflow"},
            {"1/0", "error 11: Division by zero"},
            {"2x", "error 1025: Expected end of statement|a product needs *: write 2*x"},
            {"x**2", "error 1002: Syntax error|write ^ for a power: x^2"},
            {"7 % 3", "error 1032: Invalid character|write Mod for the remainder: 7 Mod 3"},
            {"sni(1)", "error 13: Type mismatch: 'sni'|did you mean Sin?"},
            {"(1+2", "error 1006: Expected ')'|the ( at character 1 has no )"}};
        QStringList args, printed, errors;
        for (const auto& [expression, value] : values) {
            args << "--eval" << expression;
            printed << value;
        }
        for (const auto& [expression, lines] : failures) {
            args << "--eval" << expression;
            const QStringList parts = QString::fromLatin1(lines).split('|');
            errors << "tavrigon: --eval: " + parts[0];
            if (parts.size() > 1) errors << "tavrigon: hint: --eval: " + parts[1];
        }
        const Run r = runProgram(args);
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts), printed);
        QCOMPARE(r.err.split('\n', Qt::SkipEmptyParts), errors);
        QCOMPARE(r.status, 1);
    }

    // Messages on standard error name what they are about; notes leave the status alone.
    void messages_data()
    {
        QTest::addColumn<QStringList>("args"); // %D: a fresh folder
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QStringList>("errors"); // standard error, line by line
        QTest::addColumn<int>("status");
        auto row = [](const char* tag, const QStringList& args, const char* printed,
                      const QStringList& errors, int status) {
            QTest::newRow(tag) << args << QString::fromLatin1(printed) << errors << status;
        };
        const QString noOutput = "tavrigon: No output file was written.";
        row("a constant for a later --eval", {"--constant", "k=2", "--eval", "k*3"}, "6\n", {}, 0);
        row("a failing constant named", {"--constant", "k=)", "--right", "%D/r.png"}, "",
            {"tavrigon: constant k=): Syntax error",
             "tavrigon: hint: constant k=): the ) at character 3 has no ( before it", noOutput},
            1);
        row("the field named", {"--set", "EquationZ=x +* y", "--right", "%D/r.png"}, "",
            {"tavrigon: EquationZ: Syntax error", noOutput}, 1);
        row("leading minus noted", {"--set", "EquationZ=exp(-x^2-y^2)", "--right", "%D/r.png"}, "",
            {"tavrigon: note: EquationZ: -x^2 means (-x)^2 here; write -(x^2)"}, 0);
        row("a file name alone", {"--right", "%D/y.png", "saddle.txt"}, "",
            {"tavrigon: 'saddle.txt' is no option: write --open saddle.txt to read the setup "
             "file in this run, or 'tavrigon saddle.txt' alone for the window with it",
             "Try 'tavrigon --help'."},
            2);
        row("a switch with a value", {"--labels=1"}, "",
            {"tavrigon: --labels takes no value, not '--labels=1'"}, 2);
    }
    void messages()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, printed);
        QFETCH(QStringList, errors);
        QFETCH(int, status);
        QTemporaryDir dir;
        args.replaceInStrings("%D", dir.path());
        const Run r = runProgram(args);
        QCOMPARE(r.out, printed);
        QCOMPARE(r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts), errors);
        QCOMPARE(r.status, status);
    }

    // A setup file naming its constants like functions draws what it drew before they existed.
    void constantsNamedLikeFunctions()
    {
        QTemporaryDir dir;
        QFile ripple(QStringLiteral(TAVRIGON_SOURCE_DIR "/examples/ripple.txt"));
        QVERIFY(ripple.open(QIODevice::ReadOnly));
        QByteArray bytes = ripple.readAll();
        bytes.replace("amp", "max").replace("k*", "min*").replace("k=", "min=");
        QVERIFY(bytes.contains("min=4") && bytes.contains("max*Cos(min*"));
        QVERIFY(writeBytes(dir.filePath("minmax.txt"), bytes));
        QCOMPARE(runProgram({"--open", ripple.fileName(), "--right", dir.filePath("a.png")}).status,
                 0);
        const Run r = runProgram({"--open", dir.filePath("minmax.txt"), "--eval", "min + max",
                                  "--right", dir.filePath("b.png")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("4.4\n"));
        QCOMPARE(QImage(dir.filePath("a.png")), QImage(dir.filePath("b.png")));
    }

    // Two images, from one run or two, the same or not.
    void images_data()
    {
        QTest::addColumn<QStringList>("first");  // writes %A (and maybe %B)
        QTest::addColumn<QStringList>("second"); // writes %B, or nothing to run
        QTest::addColumn<bool>("same");
        QTest::newRow("stereo 0: identical views")
            << QStringList{"--set", "Stereo=0", "--left", "%A", "--right", "%B"} << QStringList()
            << true;
        QTest::newRow("Zxy differs from Z")
            << QStringList{"--right", "%A"}
            << QStringList{"--set", "Xder=1",     "--set",   "Yder=1", "--labels",
                           "--set", "Accuracy=1", "--right", "%B"}
            << false;
        QTest::newRow("a leading minus applies before the power")
            << QStringList{"--set", "EquationZ=exp(-x^2-y^2)", "--right", "%A"}
            << QStringList{"--set", "EquationZ=exp((-x)^2-y^2)", "--right", "%B"} << true;
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
            args.replaceInStrings("%A", dir.filePath("a.png"));
            args.replaceInStrings("%B", dir.filePath("b.bmp"));
            QCOMPARE(runProgram(args).status, 0);
        }
        const QImage a(dir.filePath("a.png")), b(dir.filePath("b.bmp"));
        QCOMPARE(a.size(), QSize(400, 300));
        // 96 dpi, whether the run needed fonts (labels) or not.
        for (const QImage& image : {a, b})
            QCOMPARE(QList<int>({image.dotsPerMeterX(), image.dotsPerMeterY()}),
                     QList<int>({3780, 3780}));
        QCOMPARE(a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32),
                 same);
    }

    // A failure in a run that asked for no file does not speak of output files.
    void noOutputsNoOutputMessage()
    {
        const Run r = runProgram({"--seed", "1", "--frames", "4", "--open", "missing.txt"});
        QCOMPARE(r.status, 1);
        QVERIFY2(!r.err.contains("No output file"), qPrintable(r.err));
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
        row("more sample points than allowed",
            {"--set", "Spacexu=100000", "--set", "Spaceyv=100000", "--pair", "%D/o.png"},
            "more than the 20000000 allowed; --max-points raises the bound.");
        row("a lower bound", {"--max-points", "100", "--pair", "%D/o.png"},
            "The plot has 462 sample points, more than the 100 allowed");
    }
    void batchStopsAtAFailure()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        const QString notes = dir.filePath("notes.txt");
        QVERIFY(writeBytes(notes, "my notes\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
        QVERIFY(QDir(dir.path()).mkdir("locked"));
        QVERIFY(::chmod(QFile::encodeName(dir.filePath("locked")).constData(), 0555) == 0);
        args.replaceInStrings("%D", dir.path());
        const Run r = runProgram(args, QString(), message == QLatin1String("Permission denied"));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(dir.path()).entryList(all), (QStringList{"fifo", "locked", "notes.txt"}));
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
            << QStringLiteral("                     ROTATION: [ 0 , 0 , 10 ]");
        QTest::newRow("octant 7") << QStringList{"--press", "cmdZoomQ7"}
                                  << QStringLiteral("                     Z-WINDOW: [-1.5 , 0 ]");
        QTest::newRow("constant in a field")
            << QStringList{"--constant", "w=3", "--set", "Windowgx=w", "--press", "cmdPlot"}
            << QStringLiteral("                     X-WINDOW: [-2.5 , 3 ]");
    }
    void buttonsAndConstants()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, reportLine);
        const Run r = runProgram(args + QStringList{"--report", "-"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.split(QLatin1Char('\n')).contains(reportLine), qPrintable(r.out));
    }

    void saveThenOpen()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("saddle.txt");
        const QStringList args{"--constant", "a=2.37", "--constant", "r=Round(2.345,2)", "--save"};
        QCOMPARE(runProgram(args + QStringList{file}).status, 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(
            bytes.startsWith("\"VANTRO\",0\r\n\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n1,0,1,5000,5"));
        QVERIFY(bytes.endsWith("0,0\r\n 2 \r\na=2.37\r\n\"r=Round(2.345,2)\"\r\n"));
        const QImage plainRight(file + "_right.bmp");
        QCOMPARE(plainRight.size(), QSize(400, 300));

        // EyeFactor element 1, which has no field, set in the file: the plot uses it (the right
        // view moves) and Save keeps it. A setup file is replaced without a question.
        QVERIFY(writeBytes(file, QByteArray(bytes).replace("1,0,1,5000,5", "1,2,1,5000,5")));
        const Run r =
            runProgram({"--open", file, "--set", "Stereo=3", "--save", file, "--report", "-"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains("CONSTANTS:\na=2.37\nr=Round(2.345,2)\n"));
        QVERIFY(r.out.contains("          STEREOSCOPIC FACTOR: 3 "));
        QVERIFY(QImage(file + "_right.bmp") != plainRight);
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().split('\n').value(2), QByteArray("3,2,1,5000,5\r"));
    }

    // `--report` to a standard stream that is redirected, appending, to a file keeps what the
    // file held.
    void streamsKeepWhatWasThere_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("toError"); // standard error is the redirected stream
        QTest::newRow("/dev/stdout") << "/dev/stdout" << false;
        QTest::newRow("/dev/stderr") << "/dev/stderr" << true;
        QTest::newRow("/proc/self/fd/1") << "/proc/self/fd/1" << false;
    }
    void streamsKeepWhatWasThere()
    {
        QFETCH(QString, target);
        QFETCH(bool, toError);
        QTemporaryDir dir;
        const QString log = dir.filePath("build.log");
        QVERIFY(writeBytes(log, "KEEP\n"));
        QProcess p;
        if (toError)
            p.setStandardErrorFile(log, QIODevice::Append);
        else
            p.setStandardOutputFile(log, QIODevice::Append);
        p.start(QStringLiteral(TAVRIGON_BINARY), {"--report", target});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        QVERIFY2(all.startsWith("KEEP\nFUNCTION:\n") && all.contains("PLOT SETUP:"),
                 all.constData());
    }

    // A plot that draws no point of its surface inside the window says so; the status stays 0.
    void surfaceWithoutPoints()
    {
        const Run r = runProgram({"--set", "EquationZ=\"a\"", "--report", "/dev/null"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains("the surface has no point in the window"), qPrintable(r.err));
        QCOMPARE(runProgram(
                     {"--set", "Windowlz=1000", "--set", "Windowgz=1001", "--report", "/dev/null"})
                     .err.count("no point in the window"),
                 1);
        QCOMPARE(runProgram({"--report", "/dev/null"}).err, QString());
    }

    // Without XDG_RUNTIME_DIR, a link planted where the runtime folder would be is not followed.
    void plantedRuntimeLink()
    {
        QTemporaryDir temp, victim;
        QVERIFY(QFile::setPermissions(victim.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        const QString planted =
            temp.filePath(QStringLiteral("tavrigon-runtime-%1").arg(::geteuid()));
        QVERIFY(QFile::link(victim.path(), planted));
        const QFileDevice::Permissions before = QFile::permissions(victim.path());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", temp.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TAVRIGON_BINARY), {"--eval", "1"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardError(), QByteArray());
        QCOMPARE(QFile::permissions(victim.path()), before);
        QCOMPARE(QFileInfo(planted).symLinkTarget(), victim.path());
    }

    // The other outputs of one run: the anaglyph, the pair with the left view first, the PDF.
    void otherOutputs()
    {
        QTemporaryDir dir;
        QStringList args{"--left", "l.png", "--anaglyph", "a.png",
                         "--pair", "p.png", "--pdf",      "r.pdf"};
        for (qsizetype i = 1; i < args.size(); i += 2)
            args[i] = dir.filePath(args.at(i));
        QCOMPARE(runProgram(args).status, 0);
        const QImage left(args.at(1)), anaglyph(args.at(3)), pair(args.at(5));
        QCOMPARE(anaglyph.size(), QSize(400, 300));
        QCOMPARE(pair.copy(0, 0, 400, 300).convertToFormat(QImage::Format_RGB32),
                 left.convertToFormat(QImage::Format_RGB32));
        QFile pdf(args.at(7));
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        QVERIFY(pdf.size() > 10000); // the two views are in it
        QCOMPARE(qGreen(anaglyph.pixel(200, 150)), qGray(left.pixel(200, 150)));
    }

    // The same plot drawn anew at scale 4, as SVG and in the PDF: the large image reduced to the
    // view's size lights the pixels the view lights (within a line), the SVG's mesh points lie
    // on the view's mesh, the PDF holds the report as text and no image, labels are text.
    void scaledVectorAndLabelled()
    {
        QTemporaryDir dir;
        const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
        QCOMPARE(runProgram({"--left", path("s.png"), "--left", path("v.SVG"), "--pdf",
                             path("r.pdf"), "--report", path("r.txt")})
                     .status,
                 0);
        QCOMPARE(runProgram({"--scale", "4", "--left", path("b.png")}).status, 0);
        QCOMPARE(runProgram({"--labels", "--left", path("k.svg"), "--right", path("l.svg")}).status,
                 0);
        const QImage small = QImage(path("s.png")).convertToFormat(QImage::Format_RGB32);
        const QImage big = QImage(path("b.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(big.size(), QSize(1600, 1200));
        const auto lit = [](const QImage& image, int x, int y, int block) {
            for (int i = 0; i < block * block; ++i)
                if (image.valid(x * block + i % block, y * block + i / block) &&
                    (image.pixel(x * block + i % block, y * block + i / block) & 0xFFFFFF) != 0)
                    return true;
            return false;
        };
        const auto near = [&](const QImage& image, int x, int y, int block) {
            for (int i = 0; i < 9; ++i)
                if (lit(image, x + i % 3 - 1, y + i / 3 - 1, block)) return true;
            return false;
        };
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) {
                if (lit(small, x, y, 1))
                    QVERIFY2(near(big, x, y, 4), qPrintable(QString("%1,%2").arg(x).arg(y)));
                if (lit(big, x, y, 4))
                    QVERIFY2(near(small, x, y, 1), qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        QFile svg(path("v.SVG"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        int meshPoints = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == QLatin1String("svg"))
                QCOMPARE(xml.attributes().value("viewBox"), QLatin1String("0 0 400 300"));
            if (xml.name() != QLatin1String("polyline") ||
                xml.attributes().value("stroke") != QLatin1String("#ffffff"))
                continue;
            for (const auto& point : xml.attributes().value("points").split(u' ')) {
                const auto xy = point.split(u',');
                QVERIFY(near(small, int(xy[0].toDouble()), int(xy[1].toDouble()), 1));
                ++meshPoints;
            }
        }
        QVERIFY2(!xml.hasError() && meshPoints > 400, qPrintable(xml.errorString()));
        QFile pdf(path("r.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly) && !pdf.readAll().contains("/Subtype /Image"));
        // Each view's labels lie over the mesh drawn before them; the y axis reads 2 and -2.
        static const QRegularExpression yAxis(
            R"re(y="(\S+)"[^>]*>2</text>[\s\S]*y="\1"[^>]*>-2</text>)re");
        for (const char* name : {"k.svg", "l.svg"}) {
            QFile labelled(path(name));
            QVERIFY(labelled.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(labelled.readAll());
            for (const char* letter : {">x</text>", ">y</text>", ">z</text>"})
                QVERIFY(text.contains(QLatin1String(letter)));
            QVERIFY(text.contains(yAxis) && text.lastIndexOf("#ffffff") < text.indexOf("<text"));
        }
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) return;
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", path("r.pdf"), "-"});
        QVERIFY(pdftotext.waitForFinished());
        const QByteArray pdfText = pdftotext.readAllStandardOutput().simplified();
        QFile report(path("r.txt"));
        QVERIFY(report.open(QIODevice::ReadOnly));
        for (const QByteArray& line : report.readAll().split('\n'))
            QVERIFY2(pdfText.contains(line.simplified()), line.constData());
    }

    // Two runs with the same seed draw the same dots; every example plots without a message;
    // a message about a field names it.
    void seedsExamplesAndFieldMessages()
    {
        QTemporaryDir dir;
        auto dots = [&](const QString& seed, const QString& name) {
            const QString path = dir.filePath(name);
            runProgram({seed, "--set", "Dots=1", "--set", "Lines=0", "--right", path});
            return QImage(path);
        };
        const QImage first = dots("--seed=7", "a.png");
        QVERIFY(!first.isNull());
        QCOMPARE(dots("--seed=7", "b.png"), first);
        QVERIFY(dots("--seed=8", "c.png") != first);
        for (const QFileInfo& f :
             QDir(QStringLiteral(TAVRIGON_SOURCE_DIR "/examples")).entryInfoList({"*.txt"})) {
            const Run r =
                runProgram({"--open", f.absoluteFilePath(), "--right", dir.filePath("e.png")});
            QVERIFY2(r.status == 0 && r.err.isEmpty(), qPrintable(f.fileName() + r.err));
        }
        QCOMPARE(runProgram({"--set", "Stereo=1/0", "--press", "cmdPlot"}).err,
                 QStringLiteral("tavrigon: Stereo: Division by zero\n"));
    }

    // No argument, one setup file and --seed start the window; anything else is a batch run.
    void windowArguments()
    {
        for (const auto& [args, window, file, seed] :
             {std::tuple{QStringList{}, true, "", qint64(-1)},
              {{"--seed", "5", "a.txt"}, true, "a.txt", 5},
              {{"--seed=4294967295"}, true, "", 4294967295},
              {{"a.txt", "b.txt"}, false, "", 0},
              {{"--seed", "-1"}, false, "", 0},
              {{"--open", "a.txt"}, false, "", 0}}) {
            WindowArguments w;
            QCOMPARE(w.parse(args), window);
            QVERIFY(!window ||
                    (w.file == QLatin1String(file) && (w.seed ? qint64(*w.seed) : -1) == seed));
        }
    }

    void commandsDuringPlot_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("drawsDefault"); // else the running plot stopped before its drawing
        QTest::addColumn<QString>("expected");  // in the saved file or the report
        QTest::newRow("save") << QStringLiteral("save") << true << QStringLiteral("4,10,2,2\r\n");
        QTest::newRow("report") << QStringLiteral("report") << true
                                << QStringLiteral("           NUMBER OF SPACINGS: [ 4 , 10 ]");
        QTest::newRow("open") << QStringLiteral("open") << false << QStringLiteral("");
    }
    void commandsDuringPlot()
    {
        QFETCH(QString, command);
        QFETCH(bool, drawsDefault);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile file(dir.filePath("setup.txt"));
        QVERIFY(writeBytes(file.fileName(), kFourSpacings));
        FieldMap fields;
        HookHost host;
        Session session(fields, host);
        session.load(dir.path());
        QStringList report;
        host.during = [&] {
            fields.setText("txtSpacexu", "4");
            if (command == QLatin1String("save"))
                QVERIFY(session.saveSetup(file.fileName()));
            else if (command == QLatin1String("report"))
                QVERIFY(session.reportLines(report));
            else
                QVERIFY(session.openSetup(file.fileName()));
        };
        session.plot();
        QVERIFY2(host.messages.isEmpty(), qPrintable(host.messages.join(QLatin1Char('\n'))));
        const QImage left = session.viewImage(0).convertToFormat(QImage::Format_RGB32);
        QImage blank(left.size(), QImage::Format_RGB32);
        blank.fill(left.pixel(0, 0));
        QCOMPARE(left != blank, drawsDefault);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY((command == QLatin1String("report") ? report.join('\n') : file.readAll())
                    .contains(expected));
        // The next plot draws the new setup: the running one drew the old record.
        session.plot();
        QVERIFY(session.viewImage(0).convertToFormat(QImage::Format_RGB32) != left);
    }

    // The PDF's paper as asked for or as the locale's (LC_PAPER), and nothing within 12 mm
    // (34 points) of its edges; its fonts hold only the glyphs used.
    void pdfPageAndMargins_data()
    {
        QTest::addColumn<QString>("page"); // a4, letter, or a locale to make
        QTest::addColumn<QByteArray>("mediaBox");
        QTest::newRow("a4") << "A4" << QByteArray("[0 0 595.");
        QTest::newRow("letter") << "letter" << QByteArray("[0 0 612.000000 792.000000]");
        QTest::newRow("the locale's letter") << "en_US" << QByteArray("[0 0 612.000000 792.");
        QTest::newRow("the locale's A4") << "de_DE" << QByteArray("[0 0 595.");
    }
    void pdfPageAndMargins()
    {
        QFETCH(QString, page);
        QFETCH(QByteArray, mediaBox);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("p.pdf");
        const QFileInfo made(page.contains('_') ? dir.filePath(page + ".UTF-8") : QString());
        if (page.contains('_') &&
            QProcess::execute("localedef", {"-i", page, "-f", "UTF-8", made.filePath()}))
            QSKIP("no locale sources to make a locale from");
        const QStringList paper =
            made.filePath().isEmpty() ? QStringList{"--page", page} : QStringList{};
        QCOMPARE(runProgram(paper + QStringList{"--labels", "--pdf", pdf}, {}, false, made).status,
                 0);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.size() < 60000);
        QVERIFY(file.readAll().contains("/MediaBox " + mediaBox));
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) return;
        QCOMPARE(QProcess::execute("pdftoppm",
                                   {"-r", "72", "-png", "-singlefile", pdf, dir.filePath("p")}),
                 0);
        const QImage image = QImage(dir.filePath("p.png")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!image.isNull());
        const QRect inside = image.rect().adjusted(34, 34, -34, -34);
        int marks = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 250) ++(inside.contains(x, y) ? marks : outside);
        QVERIFY(marks > 1000);
        QCOMPARE(outside, 0);
        QCOMPARE(runProgram({"--page", "a5", "--pdf", pdf}).status, 2);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
