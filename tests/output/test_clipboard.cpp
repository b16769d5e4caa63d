#include "output/ClipboardCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

namespace {
QImage view(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixel(w - 1, h - 1, qRgb(1, 2, 3)); // the far corner must survive the copy
    return image;
}
} // namespace

class TestClipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastCopyWins_data()
    {
        QTest::addColumn<QSize>("first");
        QTest::addColumn<QSize>("second");
        QTest::newRow("large then reduced") << QSize(400, 300) << QSize(200, 150);
        QTest::newRow("small then large") << QSize(20, 10) << QSize(400, 300);
    }
    void lastCopyWins()
    {
        QFETCH(QSize, first);
        QFETCH(QSize, second);
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("earlier contents"));

        const QImage a = view(first.width(), first.height(), qRgb(255, 0, 0));
        const QImage b = view(second.width(), second.height(), qRgb(0, 0, 255));
        QVERIFY(CopyPictureToClipboard(a));
        QVERIFY(CopyPictureToClipboard(b));

        const QImage got = clipboard->image();
        QCOMPARE(got.size(), second);
        QCOMPARE(got.convertToFormat(QImage::Format_RGB32), b);
        QVERIFY(clipboard->text().isEmpty());
    }

    void nothingToCopy()
    {
        const QImage kept = view(30, 20, qRgb(0, 255, 0));
        QVERIFY(CopyPictureToClipboard(kept));
        QVERIFY(!CopyPictureToClipboard(QImage()));
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), kept);
    }
};

QTEST_MAIN(TestClipboard)
#include "test_clipboard.moc"
