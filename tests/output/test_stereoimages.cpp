#include "output/StereoImages.h"

#include <QTest>

class TestStereoImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anaglyphSplitsChannels();
    void pairsPutTheViewsSideBySide();
};

namespace {
QImage sample(QRgb background, QRgb mark, int markX)
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(background);
    for (int y = 5; y < 25; ++y)
        img.setPixel(markX, y, mark);
    return img;
}
} // namespace

void TestStereoImages::anaglyphSplitsChannels()
{
    const QImage left = sample(qRgb(0, 0, 0), qRgb(255, 255, 255), 10);
    const QImage right = sample(qRgb(0, 0, 0), qRgb(255, 0, 0), 20);
    const QImage a = StereoImages::anaglyph(left, right);
    QCOMPARE(a.size(), left.size());
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            QCOMPARE(qRed(p), qGray(right.pixel(x, y)));
            QCOMPARE(qGreen(p), qGray(left.pixel(x, y)));
            QCOMPARE(qBlue(p), qGray(left.pixel(x, y)));
        }
    }
}

void TestStereoImages::pairsPutTheViewsSideBySide()
{
    const QImage left = sample(qRgb(10, 20, 30), qRgb(1, 2, 3), 0);
    const QImage right = sample(qRgb(200, 100, 50), qRgb(4, 5, 6), 39);
    const QImage p = StereoImages::pair(left, right);
    QCOMPARE(p.size(), QSize(80, 30));
    QCOMPARE(p.copy(0, 0, 40, 30), left);
    QCOMPARE(p.copy(40, 0, 40, 30), right);
    QCOMPARE(StereoImages::parallelPair(left, right), StereoImages::pair(right, left));
}

QTEST_GUILESS_MAIN(TestStereoImages)
#include "test_stereoimages.moc"
