#include "output/GifWriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>

namespace {
// A w x h image whose pixel i has colour `first` + (i mod `count`) * `step` (0xRRGGBB).
QImage colours(int w, int h, QRgb first, QRgb step, int count)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int i = 0; i < w * h; ++i)
        image.setPixel(i % w, i / w, 0xFF000000u | ((first + QRgb(i % count) * step) & 0xFFFFFFu));
    return image;
}
} // namespace

class TestGifWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The frames read back exactly while each has at most 256 colours; a frame with more comes
    // back within half a step of the 6-level colour cube, its most frequent colours exactly
    // (the lines of a plot beside the smoothed shades of its labels).
    void framesReadBack_data()
    {
        QTest::addColumn<QList<QImage>>("frames");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<int>("exactRows"); // the first rows come back exactly
        QTest::newRow("one colour") << QList<QImage>{colours(5, 3, 0x102030, 0, 1)} << 0 << 0;
        QTest::newRow("few colours, sizes differ")
            << QList<QImage>{colours(40, 30, 0xFF0000, 0x10101, 7), colours(7, 50, 0, 0x30201, 5)}
            << 0 << 0;
        QTest::newRow("256 each, 512 together")
            << QList<QImage>{colours(16, 16, 0, 1, 256), colours(16, 16, 0x800000, 0x100, 256)} << 0
            << 0;
        QTest::newRow("reduced") << QList<QImage>{colours(64, 64, 0x123456, 0x10305, 4096)} << 25
                                 << 0;
        // 40 colours on the first 20 rows, 400 shades of one pixel each below: the 40 come back
        // exactly.
        QImage labelled = colours(40, 30, 0x0A0B0C, 0x30507, 40);
        for (int i = 0; i < 400; ++i)
            labelled.setPixel(i % 40, 20 + i / 40, 0xFF000000u | (QRgb(i) * 0x9E37u));
        QTest::newRow("frequent exact") << QList<QImage>{labelled} << 25 << 20;
    }
    void framesReadBack()
    {
        QFETCH(QList<QImage>, frames);
        QFETCH(int, tolerance);
        QFETCH(int, exactRows);
        QSize screen;
        for (const QImage& f : frames)
            screen = screen.expandedTo(f.size());
        auto encode = [&](QString& error) {
            GifWriter writer(25, screen);
            for (const QImage& f : frames)
                writer.addFrame(f);
            return writer.frameCount() == frames.size() ? writer.finish(error) : QByteArray();
        };
        QString error;
        QByteArray bytes = encode(error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(bytes.startsWith("GIF89a"));
        QCOMPARE(encode(error), bytes); // the same bytes every time

        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "gif");
        QCOMPARE(reader.imageCount(), frames.size());
        for (const QImage& f : frames) {
            const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(reader.nextImageDelay(), 250);
            int worst = 0, worstExact = 0;
            for (int y = 0; y < f.height(); ++y) {
                for (int x = 0; x < f.width(); ++x) {
                    const QRgb a = f.pixel(x, y), b = back.pixel(x, y);
                    int& w = y < exactRows ? worstExact : worst;
                    w = std::max({w, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
                }
            }
            QVERIFY2(worst <= tolerance, qPrintable(QString::number(worst)));
            QCOMPARE(worstExact, 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestGifWriter)
#include "test_gifwriter.moc"
