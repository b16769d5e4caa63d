// The images made from the two views: anaglyph, side-by-side pair, clipboard copy.
#include "output/ClipboardCopy.h"
#include "output/StereoImages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {
QImage sample(QSize size, QRgb background, QRgb mark, int markX)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(background);
    for (int y = 0; y < size.height(); ++y)
        img.setPixel(markX, y, mark);
    return img;
}
} // namespace

class TestStereoImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anaglyphAndPair()
    {
        const QImage left = sample({40, 30}, qRgb(10, 20, 30), qRgb(255, 255, 255), 0);
        const QImage right = sample({40, 30}, qRgb(200, 100, 50), qRgb(255, 0, 0), 39);
        const QImage a = StereoImages::anaglyph(left, right);
        for (int x : {0, 20, 39}) {
            // Red carries the left eye's picture: the right view.
            QCOMPARE(qRed(a.pixel(x, 5)), qGray(right.pixel(x, 5)));
            QCOMPARE(qGreen(a.pixel(x, 5)), qGray(left.pixel(x, 5)));
            QCOMPARE(qBlue(a.pixel(x, 5)), qGray(left.pixel(x, 5)));
        }
        const QImage p = StereoImages::pair(left, right);
        QCOMPARE(p.copy(0, 0, 40, 30), left);
        QCOMPARE(p.copy(40, 0, 40, 30), right);
        QCOMPARE(StereoImages::parallelPair(left, right).copy(0, 0, 40, 30), right);
    }

    // The last copy wins, with its own size and far corner; nothing to copy keeps the clipboard.
    void clipboard()
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("earlier contents");
        const QImage large = sample({400, 300}, qRgb(255, 0, 0), qRgb(1, 2, 3), 399);
        const QImage reduced = sample({200, 150}, qRgb(0, 0, 255), qRgb(1, 2, 3), 199);
        QVERIFY(CopyPictureToClipboard(large));
        QVERIFY(CopyPictureToClipboard(reduced));
        QVERIFY(!CopyPictureToClipboard(QImage()));
        QCOMPARE(clipboard->image().convertToFormat(QImage::Format_RGB32), reduced);
        QVERIFY(clipboard->text().isEmpty());
    }
};

QTEST_MAIN(TestStereoImages)
#include "test_stereoimages.moc"
