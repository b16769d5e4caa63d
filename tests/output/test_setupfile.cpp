#include "common/DefaultSetup.h"
#include "output/SetupFile.h"
#include "setup/FieldMap.h"
#include "setup/FieldTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {
const QByteArray kExample = "\"VANTRO\",0\r\n"
                            "\"(x-1)*x*(x+1)*(y-1)*y*(y+1)*5\"\r\n"
                            "1,0,1,5000,5\r\n"
                            "0,0,0\r\n"
                            "-2.5,2.5,-2,2,-1.5,1.5\r\n"
                            "-1,1,-1,1\r\n"
                            "10,10,2,2\r\n"
                            "1,1,1,0,0,0,0,0,0\r\n"
                            "0,0\r\n"
                            " 1 \r\n"
                            "a=2.37\r\n";

QList<QByteArray> exampleLines()
{
    QList<QByteArray> lines = kExample.split('\n');
    lines.removeLast();
    for (QByteArray& l : lines)
        l.chop(1);
    return lines;
}

// The example with line `number` (1-based) replaced; an empty replacement list cuts the file
// after line `number - 1`.
QByteArray exampleWith(int number, const QByteArray& replacement)
{
    QList<QByteArray> lines = exampleLines();
    lines[number - 1] = replacement;
    return lines.join("\r\n") + "\r\n";
}

QByteArray exampleCut(int keep)
{
    return exampleLines().mid(0, keep).join("\r\n") + "\r\n";
}

// Records the order of the changes ApplySetupToFields makes.
struct RecordingFields : FieldMap
{
    void setText(const QString& control, const QString& text) override
    {
        calls << control;
        FieldMap::setText(control, text);
    }
    void setCaption(const QString& control, const QString& caption) override
    {
        calls << control;
        FieldMap::setCaption(control, caption);
    }
    QStringList calls;
};

SetupFileData sentinel()
{
    SetupFileData d;
    d.setup.Windowlx = 42;
    d.setup.EquationZ = QStringLiteral("old");
    d.constants = QStringList{QStringLiteral("keep=1")};
    return d;
}

} // namespace

class TestSetupFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exampleOpensIntoDefaults()
    {
        SetupFileData data;
        QString error;
        QVERIFY2(SetupFile::parse(kExample, data, error), qPrintable(error));
        QCOMPARE(data.parametric, false);
        QCOMPARE(data.constants, QStringList{QStringLiteral("a=2.37")});

        // The file carries the 32 number fields and Z=; X= and Y= and the steps keep their text.
        FieldMap fields;
        for (const FieldInfo& f : FieldTable::textFields())
            fields.setText(f.control, QStringLiteral("junk"));
        SetupFile::ApplySetupToFields(data, fields);
        int restored = 0;
        for (const FieldInfo& f : FieldTable::textFields()) {
            const QString text = fields.text(f.control);
            QVERIFY2(text == f.defaultText || text == QLatin1String("junk"), qPrintable(f.control));
            restored += text == f.defaultText ? 1 : 0;
        }
        QCOMPARE(restored, 33);
        QCOMPARE(fields.text(QStringLiteral("txtEquationX")), QStringLiteral("junk"));

        PlotSetup record;
        record.EquationX = QStringLiteral("keepX");
        record.EyeFactor[1] = 7;
        SetupFile::ApplySetupToRecord(data, record);
        QCOMPARE(record.EyeFactor[1], 0.0f);
        QCOMPARE(record.Windowlx, -2.5f);
        QCOMPARE(record.Ndots, 5000);
        QCOMPARE(record.EquationX, QStringLiteral("keepX"));
    }

    void defaultSetupWritesExampleAndNoConstants()
    {
        const SetupFileData data =
            SetupFile::fromSetup(DefaultSetup(), false, QStringList{QStringLiteral("a=2.37")});
        QCOMPARE(SetupFile::format(data), kExample);

        // No constants: a count of 0, read back as none.
        const QByteArray bytes = SetupFile::format(SetupFile::fromSetup(DefaultSetup(), false, {}));
        QVERIFY(bytes.endsWith("0,0\r\n 0 \r\n"));
        SetupFileData back = sentinel();
        QString error;
        QVERIFY2(SetupFile::parse(bytes, back, error), qPrintable(error));
        QVERIFY(back.constants.isEmpty());
    }

    void parametricRoundTrip()
    {
        PlotSetup s = DefaultSetup();
        s.EquationX = QStringLiteral("cos(u)*sin(v)");
        s.EquationY = QStringLiteral("sin(u)*sin(v)");
        s.EquationZ = QStringLiteral("cos(v)");
        s.EyeFactor[1] = 0.5f;
        s.Xder = 1;
        const SetupFileData out = SetupFile::fromSetup(
            s, true, {QStringLiteral("r=2"), QStringLiteral("b=r*3"), QString()});
        const QByteArray bytes = SetupFile::format(out);
        QVERIFY(
            bytes.startsWith("\"VANTRO\",1\r\n\"cos(u)*sin(v)\",\"sin(u)*sin(v)\"\r\n\"cos(v)\"\r\n"
                             "1,0.5,1,5000,5\r\n"));

        SetupFileData in;
        QString error;
        QVERIFY2(SetupFile::parse(bytes, in, error), qPrintable(error));
        QVERIFY(in.parametric);
        QCOMPARE(in.setup.EquationX, s.EquationX);
        QCOMPARE(in.setup.EquationY, s.EquationY);
        QCOMPARE(in.setup.EyeFactor[1], 0.5f);
        QCOMPARE(in.constants, out.constants);
        QCOMPARE(SetupFile::format(in), bytes);

        // X= and Y=, then the parametric toggle, then Z= and the number fields in file order.
        RecordingFields fields;
        fields.setChecked(QStringLiteral("chkParametric"), true);
        SetupFile::ApplySetupToFields(in, fields);
        QCOMPARE(fields.calls.mid(0, 3), (QStringList{"txtEquationX", "txtEquationY", "lblZ"}));
        QCOMPARE(fields.calls.mid(fields.calls.indexOf(QStringLiteral("txtEquationZ")), 5),
                 (QStringList{"txtEquationZ", "txtStereo", "txtReduce", "txtNdots", "txtGrid"}));
        QCOMPARE(fields.calls.last(), QStringLiteral("txtYder"));
        QCOMPARE(fields.caption(QStringLiteral("lblxu")), QStringLiteral("<=u<="));
        QCOMPARE(fields.text(QStringLiteral("txtEquationX")), s.EquationX);
        QCOMPARE(fields.text(QStringLiteral("txtEquationY")), s.EquationY);
        QCOMPARE(fields.text(QStringLiteral("txtXder")), QStringLiteral("1"));
    }

    void expressionStoredAsNumber()
    {
        PlotSetup s = DefaultSetup();
        s.Windowgx = float(2 * M_PI); // what 2*pi evaluates to
        s.Windowlx = -0.25f;
        const QStringList lines = SetupFile::toLines(SetupFile::fromSetup(s, false, {}));
        QCOMPARE(lines.at(4), QStringLiteral("-0.25,6.283185,-2,2,-1.5,1.5"));

        SetupFileData data;
        QString error;
        QVERIFY2(SetupFile::parse(SetupFile::joinLines(lines), data, error), qPrintable(error));
        QVERIFY(std::fabs(data.setup.Windowgx - 6.283185f) < 1e-6f);
        FieldMap fields;
        SetupFile::ApplySetupToFields(data, fields);
        QCOMPARE(fields.text(QStringLiteral("txtWindowgx")), QStringLiteral("6.283185"));
        QCOMPARE(fields.text(QStringLiteral("txtWindowlx")), QStringLiteral("-0.25"));
    }

    void acceptedForms_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<float>("stereo");
        QTest::addColumn<float>("reduce");
        QTest::addColumn<QStringList>("constants");

        const QStringList a{QStringLiteral("a=2.37")};
        QTest::newRow("example") << kExample << 1.0f << 1.0f << a;
        QTest::newRow("no leading zero")
            << exampleWith(3, ".5,0,-.25,5000,5") << 0.5f << -0.25f << a;
        QTest::newRow("exponent forms")
            << exampleWith(3, "1E+20,0,2.5D-1,5000,5") << 1e20f << 0.25f << a;
        QTest::newRow("LF line ends")
            << QByteArray(kExample).replace("\r\n", "\n") << 1.0f << 1.0f << a;
        QByteArray noFinalEnd = kExample;
        noFinalEnd.chop(2);
        QTest::newRow("no final line end") << noFinalEnd << 1.0f << 1.0f << a;
        QTest::newRow("blank before a constant skipped")
            << exampleWith(11, "   a=2.37") << 1.0f << 1.0f << a;
        QTest::newRow("constants across items")
            << exampleWith(10, " 2 ") + "b=3\r\n"
            << 1.0f << 1.0f << QStringList{QStringLiteral("a=2.37"), QStringLiteral("b=3")};
    }
    void acceptedForms()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(float, stereo);
        QFETCH(float, reduce);
        QFETCH(QStringList, constants);
        SetupFileData data;
        QString error;
        QVERIFY2(SetupFile::parse(bytes, data, error), qPrintable(error));
        QCOMPARE(data.setup.EyeFactor[0], stereo);
        QCOMPARE(data.setup.Reduce, reduce);
        QCOMPARE(data.setup.EquationZ, DefaultSetup().EquationZ);
        QCOMPARE(data.setup.Xder, 0);
        QCOMPARE(data.constants, constants);
    }

    void everyPrefix()
    {
        const qsizetype constantStart = kExample.indexOf("a=2.37");
        for (qsizetype n = 0; n <= kExample.size(); ++n) {
            SetupFileData data = sentinel();
            QString error;
            const bool ok = SetupFile::parse(kExample.left(n), data, error);
            QCOMPARE(ok, n > constantStart);
            if (ok) {
                QCOMPARE(data.constants.size(), 1);
                QVERIFY(QStringLiteral("a=2.37").startsWith(data.constants.first()));
            } else {
                QVERIFY(!error.isEmpty());
                QCOMPARE(data.constants, QStringList{QStringLiteral("keep=1")});
            }
        }
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // exact when it is the incompatible one, else a part

        const QString incompatible = QStringLiteral("Incompatible file");
        QTest::newRow("magic in lower case") << exampleWith(1, "\"vantro\",0") << incompatible;
        QTest::newRow("empty file") << QByteArray() << incompatible;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << incompatible;
        QTest::newRow("binary after the magic")
            << QByteArray("\"VANTRO\",0\r\n\0\0\x01\x02", 16)
            << QStringLiteral("Line 2 holds a character that is not text");
        QTest::newRow("ends in line 4") << exampleCut(2) + "1,0,1\r\n"
                                        << QStringLiteral("ends early: Ndots is missing");
        QTest::newRow("ends before the count")
            << exampleCut(9) << QStringLiteral("ends early: the number of constants is missing");
        QTest::newRow("parametric without its equations")
            << QByteArray("\"VANTRO\",1\r\n\"x\"\r\n")
            << QStringLiteral("ends early: EquationY is missing");
        QTest::newRow("not a number")
            << exampleWith(4, "0,abc,0")
            << QStringLiteral("Line 4, item 2 (Yorigin): \"abc\" is not a number");
        QTest::newRow("beyond single precision")
            << exampleWith(5, "-2.5,1e39,-2,2,-1.5,1.5")
            << QStringLiteral("(Windowgx): 1e39 is beyond the single-precision range");
        QTest::newRow("integer with a fraction")
            << exampleWith(7, "10,10,2.5,2")
            << QStringLiteral("Line 7, item 3 (Segsxu): 2.5 is not a whole number");
        QTest::newRow("parametric flag 2") << exampleWith(1, "\"VANTRO\",2")
                                           << QStringLiteral("(Parametric): 2 is outside 0 to 1");
        QTest::newRow("negative count")
            << exampleWith(10, " -1 ")
            << QStringLiteral("(the number of constants): -1 is outside 0 to 101");
        QTest::newRow("count beyond what follows")
            << exampleWith(10, " 3 ")
            << QStringLiteral("Line 10 announces 3 constants, but only 1 follow");
        QByteArray many = exampleCut(9) + " 102 \r\n";
        for (int i = 0; i < 102; ++i)
            many += "c" + QByteArray::number(i) + "=1\r\n";
        QTest::newRow("more than 101 constants")
            << many << QStringLiteral("102 is outside 0 to 101");
        QTest::newRow("unclosed quote")
            << exampleWith(2, "\"(x-1)*x")
            << QStringLiteral("Line 2, item 1: the quoted text has no closing quote");
        QByteArray huge = kExample;
        huge += QByteArray(SetupFile::MaxFileSize, 'x');
        QTest::newRow("over 1 MB") << huge << QStringLiteral("larger than 1 MB");
    }
    void malformed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        SetupFileData data = sentinel();
        QString error;
        QVERIFY(!SetupFile::parse(bytes, data, error));
        if (message == SetupFile::Incompatible())
            QCOMPARE(error, message);
        else
            QVERIFY2(error.contains(message), qPrintable(error));
        // Nothing was taken over.
        QCOMPARE(data.setup.Windowlx, 42.0f);
        QCOMPARE(data.setup.EquationZ, QStringLiteral("old"));
        QCOMPARE(data.constants, QStringList{QStringLiteral("keep=1")});
    }

    void storable_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<QString>("equationZ");
        QTest::addColumn<QString>("equationX");
        QTest::addColumn<QStringList>("constants");
        QTest::addColumn<float>("windowlx");
        QTest::addColumn<QString>("message"); // empty: storable, and it must read back unchanged

        const QString z = DefaultSetup().EquationZ;
        auto row = [](const char* tag, bool parametric, const QString& z, const char* x,
                      const QStringList& constants, float windowlx, const char* message) {
            QTest::newRow(tag) << parametric << z << QString::fromLatin1(x) << constants << windowlx
                               << QString::fromLatin1(message);
        };
        QStringList many;
        for (int i = 0; i < 102; ++i)
            many << QStringLiteral("c%1=1").arg(i);
        row("defaults", false, z, "v", {}, -2.5f, "");
        row("quote in Z", false, QStringLiteral("x+\"1\""), "v", {}, -2.5f,
            "The equation Z= holds a double quote");
        row("quote in X, parametric", true, z, "\"u", {}, -2.5f,
            "The equation X= holds a double quote");
        row("commas and blanks in Z", false, QStringLiteral("  max(x, y) "), "v", {}, -2.5f, "");
        row("constant with a comma", false, z, "v", {QStringLiteral("a=max(1,2)")}, -2.5f,
            "The user constant \"a=max(1,2)\" holds a comma");
        row("constant with a quote", false, z, "v", {QStringLiteral("a=\"1\"")}, -2.5f,
            "holds a double quote");
        row("102 constants", false, z, "v", many, -2.5f, "at most 101");
        row("101 constants", false, z, "v", many.mid(0, 101), -2.5f, "");
        row("no number", false, z, "v", {}, float(NAN), "Windowlx is not a finite number");
    }
    void storable()
    {
        QFETCH(bool, parametric);
        QFETCH(QString, equationZ);
        QFETCH(QString, equationX);
        QFETCH(QStringList, constants);
        QFETCH(float, windowlx);
        QFETCH(QString, message);
        PlotSetup s = DefaultSetup();
        s.EquationZ = equationZ;
        s.EquationX = equationX;
        s.Windowlx = windowlx;
        const SetupFileData data = SetupFile::fromSetup(s, parametric, constants);
        QString error;
        const bool ok = SetupFile::checkStorable(data, error);
        if (!message.isEmpty()) {
            QVERIFY(!ok);
            QVERIFY2(error.contains(message), qPrintable(error));
            return;
        }
        QVERIFY2(ok, qPrintable(error));
        SetupFileData back;
        QVERIFY2(SetupFile::parse(SetupFile::format(data), back, error), qPrintable(error));
        QCOMPARE(back.setup.EquationZ, equationZ);
        if (parametric) QCOMPARE(back.setup.EquationX, equationX);
        QCOMPARE(back.constants, constants);
    }

    void readFileMessages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // %1: the path; empty: read
        auto row = [](const char* file, const char* message) {
            QTest::newRow(file) << QString::fromLatin1(file) << QString::fromLatin1(message);
        };
        row("missing.txt", "Cannot open %1");
        row("", "it is a folder");
        row("cut.txt", "%1: the file ends early");
        row("big.txt", "larger than 1 MB"); // refused by its size: the sparse file is never read
        row("good.txt", "");
    }
    void readFileMessages()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = file.isEmpty() ? dir.path() : dir.filePath(file);
        QString error;
        if (file == QLatin1String("cut.txt"))
            QVERIFY(SetupFile::writeFile(path, exampleCut(5), error));
        if (file == QLatin1String("good.txt")) QVERIFY(SetupFile::writeFile(path, kExample, error));
        if (file == QLatin1String("big.txt")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\"VANTRO\",0\r\n");
            QVERIFY(f.resize(2 * SetupFile::MaxFileSize));
        }
        SetupFileData data = sentinel();
        QCOMPARE(SetupFile::readFile(path, data, error), message.isEmpty());
        QVERIFY2(error.contains(message.arg(path)), qPrintable(error));
        QCOMPARE(data.constants, QStringList{message.isEmpty() ? QStringLiteral("a=2.37")
                                                               : QStringLiteral("keep=1")});
    }

    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString error;

        const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/folder/setup.txt"));
        QVERIFY(!SetupFile::writeFile(inMissingFolder, kExample, error));
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write ") + inMissingFolder),
                 qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("does not exist")), qPrintable(error));
        QVERIFY(!QFile::exists(inMissingFolder));

        QVERIFY(!SetupFile::writeFile(dir.path(), kExample, error));
        QVERIFY2(error.contains(QStringLiteral("it is a folder")), qPrintable(error));

        // A name so long that the replacement cannot be put in place: the old file must survive.
        const QString longName = dir.filePath(QString(250, QLatin1Char('s')));
        QVERIFY(SetupFile::writeFile(longName, "old", error));
        QVERIFY(!SetupFile::writeFile(longName, kExample, error));
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write ")), qPrintable(error));
        QFile old(longName);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }

    void bitmaps_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QSize>("size");
        QTest::newRow("left") << 0 << QStringLiteral("saddle.txt_left.bmp") << QSize(400, 300);
        QTest::newRow("right, reduced")
            << 1 << QStringLiteral("saddle.txt_right.bmp") << QSize(200, 150);
    }
    void bitmaps()
    {
        QFETCH(int, view);
        QFETCH(QString, suffix);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name =
            SetupFile::BitmapName(dir.filePath(QStringLiteral("saddle.txt")), view);
        QCOMPARE(name, dir.filePath(suffix));

        QImage image(size, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        image.setPixel(size.width() - 1, 0, qRgb(255, 128, 0));
        QString error;
        QVERIFY2(SetupFile::writeBitmap(name, image, error), qPrintable(error));
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2), QByteArray("BM"));
        file.close();
        const QImage back(name, "BMP");
        QCOMPARE(back.size(), size);
        QCOMPARE(back.pixel(size.width() - 1, 0), qRgb(255, 128, 0));

        QVERIFY(!SetupFile::writeBitmap(dir.filePath(QStringLiteral("no/x.bmp")), image, error));
        QVERIFY2(error.contains(QStringLiteral("does not exist")), qPrintable(error));
        QVERIFY(!SetupFile::writeBitmap(name, QImage(), error));
    }
};

QTEST_GUILESS_MAIN(TestSetupFile)
#include "test_setupfile.moc"
