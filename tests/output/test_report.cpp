#include "common/DefaultSetup.h"
#include "output/ReportPrinter.h"
#include "output/ReportText.h"

#include <QFile>
#include <QRegularExpression>
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
        QTest::newRow("parametric ranges")
            << true << 1.0f << 1.0f
            << QStringList{QStringLiteral("                      U-RANGE: [-1 , 1 ]"),
                           QString(y).replace(QLatin1Char('Y'), QLatin1Char('V'))};
        // The reduction factor as read, not as clamped; small numbers in exponent form.
        QTest::newRow("reduce and stereo")
            << false << 2.0f << -1.5e-9f
            << QStringList{QStringLiteral("          STEREOSCOPIC FACTOR:-1.5E-09 "),
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

    // A long report runs over three pages, the pictures on the first.
    void pdf()
    {
        QStringList constants;
        for (int i = 0; i < 150; ++i)
            constants << QStringLiteral("c%1=%1").arg(i);
        const QImage left = view(400, 300, qRgb(255, 0, 0));
        const QImage right = view(400, 300, qRgb(0, 0, 255));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        QVERIFY2(ReportPrinter::writePdf(path, &left, &right,
                                         defaultReport(DefaultSetup(), false, constants), error),
                 qPrintable(error));
        QFile pdfFile(path);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly));
        const QByteArray pdf = pdfFile.readAll();
        QVERIFY(pdf.startsWith("%PDF-"));
        QCOMPARE(count(pdf, QStringLiteral("/Type\\s*/Page(?![a-zA-Z])")), 3);
        QCOMPARE(count(pdf, QStringLiteral("/Subtype\\s*/Image")), 2);
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
