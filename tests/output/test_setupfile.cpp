#include "common/DefaultSetup.h"
#include "output/SetupFile.h"
#include "setup/FieldMap.h"
#include "setup/NumberText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <sys/stat.h>

namespace {
const QByteArray kExample = "\"VANTRO\",0\r\n\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n1,0,1,5000,5\r\n"
                            "0,0,0\r\n-2.5,2.5,-2,2,-1.5,1.5\r\n-1,1,-1,1\r\n10,10,2,2\r\n"
                            "1,1,1,0,0,0,0,0,0\r\n0,0\r\n 1 \r\na=2.37\r\n";

// The example with line `number` (1-based) replaced, or cut after line `number` when
// `replacement` is null.
QByteArray exampleWith(int number, const char* replacement)
{
    QList<QByteArray> lines = kExample.split('\n').mid(0, 11);
    if (!replacement) return lines.mid(0, number).join('\n') + '\n';
    lines[number - 1] = QByteArray(replacement) + '\r';
    return lines.join('\n') + '\n';
}

SetupFileData sentinel()
{
    SetupFileData d;
    d.setup.Windowlx = 42;
    d.constants = QStringList{"keep=1"};
    return d;
}
} // namespace

class TestSetupFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Written, read back, shown in the fields and written again: the same bytes.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<QStringList>("constants");
        QTest::addColumn<float>("windowgx");
        QTest::addColumn<QByteArray>("part"); // of the bytes written
        QTest::newRow("example") << false << QStringList{"a=2.37"} << 2.5f << kExample;
        QTest::newRow("no constants")
            << false << QStringList() << 2.5f << QByteArray("0,0\r\n 0 \r\n");
        QTest::newRow("parametric")
            << true << QStringList{"r=2", "b=r*3", ""} << 2.5f
            << QByteArray("\"VANTRO\",1\r\n\"cos(u)\",\"sin(v)\"\r\n\"u*v\"\r\n1,0.5,1,5000,5\r\n");
        QTest::newRow("2*pi stored as its number")
            << false << QStringList() << float(2 * M_PI) << QByteArray("\r\n-2.5,6.283185,-2,2,");
        QTest::newRow("comma or leading blank quoted")
            << false << QStringList{"a=Round(2.345,2)", "b=2", " c=1"} << 2.5f
            << QByteArray(" 3 \r\n\"a=Round(2.345,2)\"\r\nb=2\r\n\" c=1\"\r\n");
    }
    void roundTrip()
    {
        QFETCH(bool, parametric);
        QFETCH(QStringList, constants);
        QFETCH(float, windowgx);
        QFETCH(QByteArray, part);
        PlotSetup s = DefaultSetup();
        if (parametric) {
            s.EquationX = "cos(u)";
            s.EquationY = "sin(v)";
            s.EquationZ = "u*v";
            s.EyeFactor[1] = 0.5f;
        }
        s.Windowgx = windowgx;
        const QByteArray bytes = SetupFile::format(SetupFile::fromSetup(s, parametric, constants));
        QVERIFY2(bytes.contains(part), bytes.constData());
        SetupFileData in = sentinel();
        QString error;
        QVERIFY2(SetupFile::parse(bytes, in, error), qPrintable(error));
        QCOMPARE(in.constants, constants);
        QCOMPARE(SetupFile::format(in), bytes); // so the rest of the record came back too

        // The parametric toggle runs after X= and Y= are set.
        FieldMap fields;
        fields.setChecked("chkParametric", parametric);
        SetupFile::ApplySetupToFields(in, fields);
        QCOMPARE(fields.text("txtWindowgx"), FormatNumber7(windowgx));
        if (parametric) QCOMPARE(fields.text("txtEquationX"), s.EquationX);
        QCOMPARE(fields.caption("lblxu") == QLatin1String("<=u<="), parametric);
    }

    // Accepted forms give the values in `read` (Stereo;Reduce;constants); a refused file leaves
    // the record as it was, with the message (exact for "Incompatible file").
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("message");
        auto row = [](const char* tag, const QByteArray& bytes, const char* read,
                      const char* message) {
            QTest::newRow(tag) << bytes << QString::fromLatin1(read)
                               << QString::fromLatin1(message);
        };
        row("exponent forms", exampleWith(3, "1E+20,0,2.5D-1,5000,5"), "1E+20;0.25;a=2.37", "");
        row("LF line ends", QByteArray(kExample).replace("\r\n", "\n"), "1;1;a=2.37", "");
        row("constants across items", exampleWith(10, " 2 ") + "b=3\r\n", "1;1;a=2.37|b=3", "");
        row("magic in lower case", exampleWith(1, "\"vantro\",0"), "",
            "Incompatible file\nIts first item is not the setup file's mark, \"VANTRO\".");
        row("binary after the magic", QByteArray("\"VANTRO\",0\r\n\0\0\x01\x02", 16), "",
            "Line 2 holds a character that is not text");
        row("parametric without its equations", "\"VANTRO\",1\r\n\"x\"\r\n", "",
            "ends early: EquationY is missing");
        row("not a number", exampleWith(4, "0,abc,0"), "",
            "Line 4, item 2 (Yorigin): \"abc\" is not a number");
        row("beyond single precision", exampleWith(5, "-2.5,1e39,-2,2,-1.5,1.5"), "",
            "(Windowgx): 1e39 is beyond the single-precision range");
        row("a long number, shown by its ends",
            exampleWith(5, ("-2.5," + QByteArray(900000, '9') + ",-2,2,-1.5,1.5").constData()), "",
            "(Windowgx): \"99999999999999999999...99999999999999999999 (900000 characters)\" is "
            "not a number");
        row("integer with a fraction", exampleWith(7, "10,10,2.5,2"), "",
            "Line 7, item 3 (Segsxu): 2.5 is not a whole number");
        row("count beyond what follows", exampleWith(10, " 3 "), "",
            "Line 10 announces 3 constants, but only 1 follow");
        row("more than 101 constants", exampleWith(10, " 102 "), "", "102 is outside 0 to 101");
        row("unclosed quote", exampleWith(2, "\"(x-1)*x"), "",
            "Line 2, item 1: the quoted text has no closing quote");
        row("over 1 MB", kExample + QByteArray(SetupFile::MaxFileSize, 'x'), "",
            "larger than 1 MB");
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, read);
        QFETCH(QString, message);
        SetupFileData data = sentinel();
        QString error;
        QCOMPARE(SetupFile::parse(bytes, data, error), message.isEmpty());
        if (message.startsWith(SetupFile::Incompatible())) QCOMPARE(error, message);
        QVERIFY2(error.contains(message) && error.size() < 200, qPrintable(error));
        if (message.isEmpty())
            QCOMPARE(FormatNumber7(data.setup.EyeFactor[0]) + ';' +
                         FormatNumber7(data.setup.Reduce) + ';' + data.constants.join('|'),
                     read);
        else
            QVERIFY(data.setup.Windowlx == 42.0f && data.constants == QStringList{"keep=1"});
    }

    void storable_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<QString>("equation"); // Z=, or X= when parametric
        QTest::addColumn<QStringList>("constants");
        QTest::addColumn<float>("windowlx");
        QTest::addColumn<QString>("message"); // empty: storable
        QStringList many;
        for (int i = 0; i < 102; ++i)
            many << QStringLiteral("c%1=1").arg(i);
        auto row = [](const char* tag, bool parametric, const char* equation,
                      const QStringList& constants, float windowlx, const char* message) {
            QTest::newRow(tag) << parametric << QString::fromLatin1(equation) << constants
                               << windowlx << QString::fromLatin1(message);
        };
        row("quote in X, parametric", true, "\"u", {}, -2.5f,
            "The equation X= holds a double quote");
        row("constant with a quote", false, "x", {"a=\"1\""}, -2.5f,
            "The user constant \"a=\"1\"\" holds a double quote");
        row("102 constants", false, "x", many, -2.5f, "at most 101");
        row("101 constants", false, "x", many.mid(0, 101), -2.5f, "");
        row("no number", false, "x", {}, float(NAN), "Windowlx is not a finite number");
    }
    void storable()
    {
        QFETCH(bool, parametric);
        QFETCH(QString, equation);
        QFETCH(QStringList, constants);
        QFETCH(float, windowlx);
        QFETCH(QString, message);
        PlotSetup s = DefaultSetup();
        (parametric ? s.EquationX : s.EquationZ) = equation;
        s.Windowlx = windowlx;
        QString error;
        QCOMPARE(SetupFile::checkStorable(SetupFile::fromSetup(s, parametric, constants), error),
                 message.isEmpty());
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    // Reading a file, and whether Save would have to ask before replacing it.
    void files_data()
    {
        QTest::addColumn<QString>("file"); // in a fresh folder; empty: the folder itself
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // %1: the path; empty: read
        QTest::addColumn<bool>("foreign");
        auto row = [](const char* file, const QByteArray& bytes, const char* message,
                      bool foreign) {
            QTest::newRow(file) << QString::fromLatin1(file) << bytes
                                << QString::fromLatin1(message) << foreign;
        };
        row("missing.txt", {}, "Cannot open %1: No such file or directory.", false);
        row("", {}, "Cannot open %1: Is a directory.", false);
        row("fifo", {}, "Cannot open %1: it is not a regular file.", false); // must not block
        row("cut.txt", exampleWith(5, nullptr), "%1: the file ends early", false);
        row("big.txt", kExample, "larger than 1 MB", false); // the sparse file is never read
        row("empty.txt", {}, "Incompatible file\nThe file is empty.", false);
        row("notes.txt", "my notes\n", "Incompatible file\nIts first item is not", true);
        row("utf16.txt", QByteArray("\xff\xfe\"\0V\0", 6),
            "Incompatible file\nThe file is not text", true);
        row("good.txt", kExample, "", false);
    }
    void files()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(bool, foreign);
        QTemporaryDir dir;
        const QString path = file.startsWith(QLatin1Char('/')) ? file : dir.filePath(file);
        QFile f(path);
        if (file == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (file.endsWith(QLatin1String(".txt")) && file != QLatin1String("missing.txt")) {
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
            if (file == QLatin1String("big.txt")) QVERIFY(f.resize(2 * SetupFile::MaxFileSize));
            f.close();
        }
        SetupFileData data = sentinel();
        QString error;
        QCOMPARE(SetupFile::readFile(path, data, error), message.isEmpty());
        QVERIFY2(
            error.contains(message.contains(QLatin1String("%1")) ? message.arg(path) : message),
            qPrintable(error));
        QCOMPARE(data.constants.value(0), message.isEmpty() ? "a=2.37" : "keep=1");
        QCOMPARE(SetupFile::isForeign(path), foreign);
    }
};

QTEST_GUILESS_MAIN(TestSetupFile)
#include "test_setupfile.moc"
