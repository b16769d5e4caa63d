#include "common/DefaultSetup.h"
#include "output/ReportPrinter.h"
#include "output/ReportText.h"

#include "render/DrawingSurface.h"

#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
int count(const QByteArray& pdf, const QString& pattern)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(pattern)));
}

const QString kZ = "(x-1)*x*(x+1)*(y-1)*y*(y+1)*5";

const QStringList kDefaultSetupLines = {
    "PLOT SETUP:",
    "                         AXES: [ 0 , 0 , 0 ]",
    "                    DIVISIONS: [ 1 , 1 , 1 ]",
    "                      X-RANGE: [-1 , 1 ]",
    "                      Y-RANGE: [-1 , 1 ]",
    "                     X-WINDOW: [-2.5 , 2.5 ]",
    "                     Y-WINDOW: [-2 , 2 ]",
    "                     Z-WINDOW: [-1.5 , 1.5 ]",
    "           NUMBER OF SPACINGS: [ 10 , 10 ]",
    "                     SPACINGS: [ 0.2 , 0.2 ]",
    "PLOTTING SEGMENTS PER SPACING: [ 2 , 2 ]",
    "          PLOTTING INCREMENTS: [ 0.1 , 0.1 ]",
    "                  TRANSLATION: [ 0 , 0 , 0 ]",
    "                     ROTATION: [ 0 , 0 , 0 ]",
    "               NUMBER OF DOTS:  5000 ",
    "          STEREOSCOPIC FACTOR: 1 ",
    "             REDUCTION FACTOR: 1 ",
};

QStringList defaultReport(const PlotSetup& s = DefaultSetup(), bool parametric = false,
                          const QStringList& constants = {})
{
    return ReportText::lines(s, parametric, s.EquationZ, s.EquationX, s.EquationY, constants);
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void functionBlock_data()
    {
        QTest::addColumn<bool>("parametric");
        QTest::addColumn<int>("xder");
        QTest::addColumn<int>("yder");
        QTest::addColumn<QStringList>("constants");
        QTest::addColumn<QStringList>("head"); // the lines before "PLOT SETUP:"

        const QString z = "Z=" + kZ;
        const QString f = "FUNCTION:";
        const QString d = "   CURRENT PARTIAL DERIVATIVE: [";
        QTest::newRow("default") << false << 0 << 0 << QStringList() << QStringList{f, z, ""};
        QTest::newRow("Zx") << false << 1 << 0 << QStringList()
                            << QStringList{f, z, "", d + "Zx]", ""};
        QTest::newRow("parametric ignores the orders")
            << true << 1 << 0 << QStringList()
            << QStringList{"PARAMETRIC EQUATIONS:", "X=v", "Y=u", z, ""};
        QTest::newRow("constants") << false << 0 << 0 << QStringList{"a=2.37", "b=a*2"}
                                   << QStringList{f, z, "", "CONSTANTS:", "a=2.37", "b=a*2", ""};
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
        if (!parametric) QCOMPARE(lines.mid(head.size()), kDefaultSetupLines);
        if (parametric)
            QCOMPARE(lines.mid(head.size() + 3, 2),
                     (QStringList{"                      U-RANGE: [-1 , 1 ]",
                                  "                      V-RANGE: [-1 , 1 ]"}));
        QCOMPARE(lines.size(), head.size() + 17);
    }

    // The reduction factor as read, not as clamped; small numbers in exponent form.
    void factorsAsRead()
    {
        PlotSetup s = DefaultSetup();
        s.Reduce = 2;
        s.EyeFactor[0] = -1.5e-9f;
        QCOMPARE(defaultReport(s).mid(18), (QStringList{"          STEREOSCOPIC FACTOR:-1.5E-09 ",
                                                        "             REDUCTION FACTOR: 2 "}));
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
        const double f = 10000.0 / 11985.0;
        QTest::newRow("page too narrow")
            << design << design << 10000.0 << QRectF(0, 0, 6000 * f, 4500 * f)
            << QRectF(5985 * f, 0, 6000 * f, 4500 * f) << 4500.0;
        QTest::newRow("no pictures")
            << QSize() << QSize() << 20000.0 << QRectF() << QRectF() << 0.0;
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
        QTest::addColumn<int>("extraLines");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("longLine"); // characters of one more constant, wrapped
        // A long report runs over three pages, the pictures on the first.
        QTest::newRow("long constants list") << 150 << 3 << 0;
        QTest::newRow("default report") << 0 << 1 << 0;
        QTest::newRow("a line longer than the page") << 0 << 1 << 301;
    }
    void pdf()
    {
        QFETCH(int, extraLines);
        QFETCH(int, pages);
        QFETCH(int, longLine);
        QStringList constants;
        for (int i = 0; i < extraLines; ++i)
            constants << QStringLiteral("c%1=%1").arg(i);
        if (longLine > 0) constants << "c=" + QStringLiteral("1+").repeated(longLine / 2) + '1';
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
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
        {
            QPdfWriter writer(path);
            QVERIFY2(ReportPrinter::print(writer, {QSize(400, 300), QSize(400, 300)}, drawPair,
                                          lines, error),
                     qPrintable(error));
        }
        QFile pdfFile(path);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly));
        const QByteArray pdf = pdfFile.readAll();
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(count(pdf, QStringLiteral("/Type\\s*/Page(?![a-zA-Z])")), pages);
        QCOMPARE(count(pdf, QStringLiteral("/Subtype\\s*/Image")), 0); // the views are vectors
        if (pages > 1) return;
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
        if (longLine > 0)
            QVERIFY2(text.join(QString()).contains(constants.last()), qPrintable(text.join('\n')));
        else
            QCOMPARE(text.mid(1, report.size()), report);
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
