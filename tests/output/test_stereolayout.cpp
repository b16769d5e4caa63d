// The full-screen viewer's frame: where each view goes, at what size, in each mode.
#include "output/StereoLayout.h"

#include <QTest>

namespace {
using Mode = StereoLayout::Mode;
const QRgb Back = qRgb(0, 0, 0);
const QRgb Left = qRgb(0, 0, 255);
const QRgb Right = qRgb(0, 255, 0);
const QRgb Anaglyph = qRgb(qGray(Right), qGray(Left), qGray(Left));

// The smallest rectangle holding every pixel of one colour (empty when there is none).
QRect extent(const QImage& image, QRgb colour)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) r |= QRect(x, y, 1, 1);
    return r;
}
} // namespace

class TestStereoLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A 200 x 60 screen and views of the window's 4:3 shape; the extents of the left view's,
    // the right view's and the anaglyph's colour in the frame.
    void frame_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QList<QRect>>("extents");
        QTest::newRow("cross-eyed") << Mode::CrossEyed << QSize(80, 60)
                                    << QList<QRect>{{10, 0, 80, 60}, {110, 0, 80, 60}, {}};
        QTest::newRow("parallel: swapped") << Mode::Parallel << QSize(80, 60)
                                           << QList<QRect>{{110, 0, 80, 60}, {10, 0, 80, 60}, {}};
        // Fitted to the whole screen, drawn into half the width, in parallel order.
        QTest::newRow("half side-by-side") << Mode::HalfSideBySide << QSize(80, 60)
                                           << QList<QRect>{{130, 0, 40, 60}, {30, 0, 40, 60}, {}};
        QTest::newRow("anaglyph") << Mode::Anaglyph << QSize(80, 60)
                                  << QList<QRect>{{}, {}, {60, 0, 80, 60}};
    }
    void frame()
    {
        QFETCH(Mode, mode);
        QFETCH(QSize, view);
        QFETCH(QList<QRect>, extents);
        const StereoLayout layout(mode, QSize(200, 60), QSize(400, 300));
        QCOMPARE(layout.viewSize(), view);
        const QSize drawn = layout.drawSize();
        QCOMPARE(drawn,
                 mode == Mode::HalfSideBySide ? QSize(view.width() / 2, view.height()) : view);
        QImage left(drawn, QImage::Format_RGB32), right(drawn, QImage::Format_RGB32);
        left.fill(Left);
        right.fill(Right);
        const QImage f = layout.compose(left, right, Back);
        QCOMPARE(f.size(), QSize(200, 60));
        QCOMPARE((QList<QRect>{extent(f, Left), extent(f, Right), extent(f, Anaglyph)}), extents);
    }
};

QTEST_MAIN(TestStereoLayout)
#include "test_stereolayout.moc"
