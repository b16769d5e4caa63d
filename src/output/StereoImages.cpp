#include "output/StereoImages.h"

#include <QPainter>
#include <algorithm>

namespace StereoImages {

QImage anaglyph(const QImage& left, const QImage& right)
{
    const int w = std::min(left.width(), right.width());
    const int h = std::min(left.height(), right.height());
    const QImage l = left.convertToFormat(QImage::Format_RGB32);
    const QImage r = right.convertToFormat(QImage::Format_RGB32);
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const QRgb* lp = reinterpret_cast<const QRgb*>(l.constScanLine(y));
        const QRgb* rp = reinterpret_cast<const QRgb*>(r.constScanLine(y));
        QRgb* op = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int red = qGray(rp[x]);
            const int cyan = qGray(lp[x]);
            op[x] = qRgb(red, cyan, cyan);
        }
    }
    return out;
}

QImage pair(const QImage& left, const QImage& right)
{
    QImage out(left.width() + right.width(), std::max(left.height(), right.height()),
               QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(0, 0, left);
    p.drawImage(left.width(), 0, right);
    p.end();
    return out;
}

QImage parallelPair(const QImage& left, const QImage& right)
{
    return pair(right, left);
}

} // namespace StereoImages
