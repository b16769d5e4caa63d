#include "common/DefaultSetup.h"
#include "output/ReportPrinter.h"
#include "output/ReportText.h"

#include "render/DrawingSurface.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kZ = QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5");

const QStringList kDefaultSetupLines = {
    QStringLiteral("PLOT SETUP:"),
    QStringLiteral("                         AXES: [ 0 , 0 , 0 ]"),
    QStringLiteral("                    DIVISIONS: [ 1 , 1 , 1 ]"),
    QStringLiteral("                      X-RANGE: [-1 , 1 ]"),
    QStringLiteral("                      Y-RANGE: [-1 , 1 ]"),
    QStringLiteral("                     X-WINDOW: [-2.5 , 2.5 ]"),
    QStringLiteral("                     Y-WINDOW: [-2 , 2 ]"),
    QStringLiteral("                     Z-WINDOW: [-1.5 , 1.5 ]"),
    QStringLiteral("           NUMBER OF SPACINGS: [ 10 , 10 ]"),
    QStringLiteral("                     SPACINGS: [ 0.2 , 0.2 ]"),
    QStringLiteral("PLOTTING SEGMENTS PER SPACING: [ 2 , 2 ]"),
    QStringLiteral("          PLOTTING INCREMENTS: [ 0.1 , 0.1 ]"),
    QStringLiteral("                  TRANSLATION: [ 0 , 0 , 0 ]"),
    QStringLiteral("                     ROTATION: [ 0 , 0 , 0 ]"),
    QStringLiteral("               NUMBER OF DOTS:  5000 "),
    QStringLiteral("          STEREOSCOPIC FACTOR: 1 "),
    QStringLiteral("             REDUCTION FACTOR: 1 "),
};

QStringList defaultReport(const PlotSetup& s = DefaultSetup(), bool parametric = false,
                          const QStringList& constants = {})
{
    return ReportText::lines(s, parametric, s.EquationZ, s.EquationX, s.EquationY, constants);
}

int count(const QByteArray& pdf, const QString& pattern)
{
    const QRegularExpression re(pattern);
    int n = 0;
    for (auto it = re.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next())
        ++n;
    return n;
}

QImage view(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}
} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultReport_()
    {
        const QStringList expected =
            QStringList{QStringLiteral("FUNCTION:"), QStringLiteral("Z=") + kZ, QString()} +
            kDefaultSetupLines;
        QCOMPARE(defaultReport(), expected);
        QCOMPARE(defaultReport().at(17).indexOf(QStringLiteral(":  5000 ")), 29);
    }

    void functionBlock_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<int>("xder");
        QTest::addColumn<int>("yder");
        QTest::addColumn<QStringList>("constants");
        QTest::addColumn<QStringList>("head"); // the lines before "PLOT SETUP:"

        const QString z = QStringLiteral("Z=") + kZ;
        const QString f = QStringLiteral("FUNCTION:");
        const QString d = QStringLiteral("   CURRENT PARTIAL DERIVATIVE: [");
        QTest::newRow("Zx") << false << 1 << 0 << QStringList()
                            << QStringList{f, z, QString(), d + "Zx]", QString()};
        QTest::newRow("order 3 has no name")
            << false << 2 << 1 << QStringList() << QStringList{f, z, QString(), d + "]", QString()};
        QTest::newRow("parametric ignores the orders")
            << true << 1 << 0 << QStringList()
            << QStringList{QStringLiteral("PARAMETRIC EQUATIONS:"), QStringLiteral("X=v"),
                           QStringLiteral("Y=u"), z, QString()};
        QTest::newRow("constants")
            << false << 0 << 0 << QStringList{QStringLiteral("a=2.37"), QStringLiteral("b=a*2")}
            << QStringList{f,
                           z,
                           QString(),
                           QStringLiteral("CONSTANTS:"),
                           QStringLiteral("a=2.37"),
                           QStringLiteral("b=a*2"),
                           QString()};
    }
    void functionBlock()
    {
        QFETCH(bool, parametric);
        QFETCH(int, xder);
        QFETCH(int, yder);
        QFETCH(QStringList, constants);
        QFETCH(QStringList, head);
        PlotSetup s = DefaultSetup();
        s.Xder = xder;
        s.Yder = yder;
        const QStringList lines = defaultReport(s, parametric, constants);
        QCOMPARE(lines.mid(0, head.size()), head);
        QCOMPARE(lines.at(head.size()), QStringLiteral("PLOT SETUP:"));
        QCOMPARE(lines.size(), head.size() + 17);
    }

    // Lines that depend on the setup, read back as they stand in the report.
    void setupLines_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<float>("reduce");
        QTest::addColumn<float>("stereo");
        QTest::addColumn<QStringList>("wanted");
        const QString y = QStringLiteral("                      Y-RANGE: [ 0 , 6.283185 ]");
        QTest::newRow("explicit ranges")
            << false << 1.0f << 1.0f
            << QStringList{QStringLiteral("                      X-RANGE: [-1 , 1 ]"), y};
        QTest::newRow("parametric ranges")
            << true << 1.0f << 1.0f
            << QStringList{QStringLiteral("                      U-RANGE: [-1 , 1 ]"),
                           QString(y).replace(QLatin1Char('Y'), QLatin1Char('V'))};
        // The reduction factor as read, not as clamped.
        QTest::newRow("reduce and stereo")
            << false << 2.0f << -0.5f
            << QStringList{QStringLiteral("          STEREOSCOPIC FACTOR:-0.5 "),
                           QStringLiteral("             REDUCTION FACTOR: 2 ")};
    }
    void setupLines()
    {
        QFETCH(bool, parametric);
        QFETCH(float, reduce);
        QFETCH(float, stereo);
        QFETCH(QStringList, wanted);
        PlotSetup s = DefaultSetup();
        s.Rangelyv = 0;
        s.Rangegyv = float(2 * M_PI);
        s.Reduce = reduce;
        s.EyeFactor[0] = stereo;
        const QStringList lines = defaultReport(s, parametric);
        const qsizetype at = lines.indexOf(wanted.first());
        QVERIFY2(at > 0, qPrintable(wanted.first()));
        QCOMPARE(lines.mid(at, wanted.size()), wanted);
    }

    void numberItems_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<QString>("item");
        QTest::newRow("zero") << 0.0 << false << QStringLiteral(" 0 ");
        QTest::newRow("negative") << -2.5 << false << QStringLiteral("-2.5 ");
        QTest::newRow("large") << 1e20 << false << QStringLiteral(" 1E+20 ");
        QTest::newRow("small negative") << -1.5e-9 << false << QStringLiteral("-1.5E-09 ");
        QTest::newRow("integer") << 5000.0 << true << QStringLiteral(" 5000 ");
    }
    void numberItems()
    {
        QFETCH(double, value);
        QFETCH(bool, integer);
        QFETCH(QString, item);
        const QString got =
            integer ? ReportText::numberItem(qint32(value)) : ReportText::numberItem(float(value));
        QCOMPARE(got, item);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("left");
        QTest::addColumn<QSize>("right");
        QTest::addColumn<double>("pageWidth");
        QTest::addColumn<QRectF>("leftRect");
        QTest::addColumn<QRectF>("rightRect");
        QTest::addColumn<double>("textTop");

        const QSize design(400, 300);
        QTest::newRow("design size") << design << design << 20000.0 << QRectF(0, 0, 6000, 4500)
                                     << QRectF(5985, 0, 6000, 4500) << 4500.0;
        QTest::newRow("reduced by half")
            << QSize(200, 150) << QSize(200, 150) << 20000.0 << QRectF(3000, 0, 3000, 2250)
            << QRectF(5985, 0, 3000, 2250) << 4500.0;
        const double f = 10000.0 / 11985.0;
        QTest::newRow("page too narrow")
            << design << design << 10000.0 << QRectF(0, 0, 6000 * f, 4500 * f)
            << QRectF(5985 * f, 0, 6000 * f, 4500 * f) << 4500.0;
        QTest::newRow("no pictures")
            << QSize() << QSize() << 20000.0 << QRectF() << QRectF() << 0.0;
        QTest::newRow("taller than a design view")
            << QSize(400, 400) << QSize(400, 400) << 20000.0 << QRectF(0, 0, 6000, 6000)
            << QRectF(5985, 0, 6000, 6000) << 6000.0;
    }
    void layout()
    {
        QFETCH(QSize, left);
        QFETCH(QSize, right);
        QFETCH(double, pageWidth);
        QFETCH(QRectF, leftRect);
        QFETCH(QRectF, rightRect);
        QFETCH(double, textTop);
        const ReportPrinter::Layout at = ReportPrinter::layout(left, right, pageWidth);
        QCOMPARE(at.left, leftRect);
        QCOMPARE(at.right, rightRect);
        QCOMPARE(at.textTop, textTop);
        QVERIFY(at.left.united(at.right).right() <= pageWidth + 1e-9);
    }

    void pdf_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("extraLines");
        QTest::addColumn<int>("pages"); // 0: refused
        QTest::addColumn<bool>("vector");
        QTest::newRow("default report with the pair")
            << QStringLiteral("report.pdf") << 0 << 1 << false;
        QTest::newRow("long constants list") << QStringLiteral("report.pdf") << 150 << 3 << false;
        QTest::newRow("unwritable") << QStringLiteral("missing/report.pdf") << 0 << 0 << false;
        QTest::newRow("vector pair") << QStringLiteral("report.pdf") << 0 << 1 << true;
    }
    void pdf()
    {
        QFETCH(QString, file);
        QFETCH(int, extraLines);
        QFETCH(int, pages);
        QFETCH(bool, vector);
        QStringList constants;
        for (int i = 0; i < extraLines; ++i)
            constants << QStringLiteral("c%1=%1").arg(i);
        const QImage left = view(400, 300, qRgb(255, 0, 0));
        const QImage right = view(400, 300, qRgb(0, 0, 255));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(file);
        QString error;
        const QStringList lines = defaultReport(DefaultSetup(), false, constants);
        // Lines, a dotted line, a dot, the origin mark and a label, in views reduced by half.
        const auto drawPair = [](DrawingSurface& l, DrawingSurface& r) {
            for (DrawingSurface* v : {&l, &r}) {
                v->setGeometry(v->left(), 200, 150);
                v->line(0, 0, 200, 150, 0xFF);
                v->setDrawStyle(DrawingSurface::Dotted);
                v->lineTo(200, 0, 0xC0C000);
                v->pset(50, 50, 0);
                v->circle(100, 75, 2, 0xFF);
                v->label(150, 20, QStringLiteral("y"), 0xFF, Qt::AlignCenter);
            }
        };
        const bool written = vector
                                 ? ReportPrinter::writePdf(path, {QSize(400, 300), QSize(400, 300)},
                                                           drawPair, lines, error)
                                 : ReportPrinter::writePdf(path, &left, &right, lines, error);
        QCOMPARE(written, pages > 0);
        if (!written) {
            QVERIFY2(error.startsWith(QStringLiteral("Cannot write ") + path), qPrintable(error));
            QVERIFY(!QFile::exists(path));
            return;
        }
        QFile pdfFile(path);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly));
        const QByteArray pdf = pdfFile.readAll();
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(count(pdf, QStringLiteral("/Type\\s*/Page(?![a-zA-Z])")), pages);
        QCOMPARE(count(pdf, QStringLiteral("/Subtype\\s*/Image")), vector ? 0 : 2);
        if (!vector) return;
        // The text stays text: the layout extraction gives the report line for line (with
        // runs of blanks as one).
        const QString extract = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (extract.isEmpty()) QSKIP("pdftotext is not installed");
        QProcess p;
        p.start(extract, {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(p.waitForFinished());
        const auto lineByLine = [](const QString& all) {
            return all.split(u'\n')
                .replaceInStrings(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "))
                .replaceInStrings(QRegularExpression(QStringLiteral("^ | $")), QString())
                .filter(QRegularExpression(QStringLiteral(".")));
        };
        const QStringList text = lineByLine(QString::fromUtf8(p.readAllStandardOutput()));
        const QStringList report = lineByLine(lines.join(u'\n'));
        QCOMPARE(text.value(0), QStringLiteral("y y")); // the labels of both views
        QCOMPARE(text.mid(1, report.size()), report);
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
