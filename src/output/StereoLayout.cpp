#include "output/StereoLayout.h"

#include "output/StereoImages.h"
#include "render/ImageSurface.h"

#include <QPainter>
#include <algorithm>

StereoLayout::StereoLayout(Mode mode, QSize screen, QSize design)
    : mode_(mode), screen_(screen.expandedTo(QSize(2, 1))), design_(design)
{
    const bool pair = mode == Mode::CrossEyed || mode == Mode::Parallel;
    const QSize place(pair ? screen_.width() / 2 : screen_.width(), screen_.height());
    view_ = design.isEmpty() ? place : design.scaled(place, Qt::KeepAspectRatio);
    view_ = view_.expandedTo(QSize(1, 1));
}

QSize StereoLayout::drawSize() const
{
    if (mode_ != Mode::HalfSideBySide) return view_;
    return QSize(std::max(1, view_.width() / 2), view_.height());
}

void StereoLayout::prepare(ImageSurface& view, double weight) const
{
    const QSize design = design_.isEmpty() ? view_ : design_;
    view.setGeometry(0, design.width(), design.height());
    view.setOutputSize(drawSize(), double(view_.width()) / design.width(), weight);
}

QString StereoLayout::name(Mode mode)
{
    switch (mode) {
    case Mode::CrossEyed:
        return QStringLiteral("Cross-eyed pair");
    case Mode::Parallel:
        return QStringLiteral("Parallel pair");
    case Mode::HalfSideBySide:
        return QStringLiteral("Half side-by-side");
    case Mode::Anaglyph:
        return QStringLiteral("Red/cyan anaglyph");
    case Mode::Autostereogram:
        break;
    }
    return QStringLiteral("Autostereogram");
}

StereoLayout::Mode StereoLayout::next(Mode mode)
{
    return Mode((int(mode) + 1) % ModeCount);
}

QImage StereoLayout::compose(const QImage& left, const QImage& right, QRgb background) const
{
    QImage frame(screen_, QImage::Format_RGB32);
    frame.fill(background);
    QPainter p(&frame);
    const int half = screen_.width() / 2;
    // An image centred in the left (0) or right (1) half of the screen.
    auto place = [&](const QImage& image, int side) {
        p.drawImage(side * half + (half - image.width()) / 2,
                    (screen_.height() - image.height()) / 2, image);
    };
    switch (mode_) {
    case Mode::CrossEyed:
        place(left, 0);
        place(right, 1);
        break;
    case Mode::Parallel:
    case Mode::HalfSideBySide:
        place(right, 0);
        place(left, 1);
        break;
    case Mode::Anaglyph:
    case Mode::Autostereogram: {
        const QImage a = mode_ == Mode::Anaglyph ? StereoImages::anaglyph(left, right) : right;
        p.drawImage((screen_.width() - a.width()) / 2, (screen_.height() - a.height()) / 2, a);
        break;
    }
    }
    p.end();
    return frame;
}
