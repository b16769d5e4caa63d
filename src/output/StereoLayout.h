#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class ImageSurface;

// How the full-screen stereo viewer lays the two views out on the screen, and the frame it
// shows. Each view keeps the shape of the window's views (the design size) and is centred in
// its place; the rest of the frame takes the plot's background colour.
//   CrossEyed       left view on the left, right view on the right, each in half the screen;
//   Parallel        the same, swapped (the left eye sees the right view);
//   HalfSideBySide  the parallel pair, each view fitted to the whole screen and drawn into
//                   half its width: the frame 3D TVs and VR video players stretch back;
//   Anaglyph        the red/cyan anaglyph of the two views over the whole screen;
//   Autostereogram  the right view over the whole screen, whose depth Autostereogram turns
//                   into the frame (composed here, the right view alone).
class StereoLayout
{
public:
    enum class Mode
    {
        CrossEyed,
        Parallel,
        HalfSideBySide,
        Anaglyph,
        Autostereogram
    };
    static constexpr int ModeCount = 5;

    StereoLayout(Mode mode, QSize screen, QSize design);

    // The mode's name as the viewer shows it.
    static QString name(Mode mode);
    // The next mode, after the last the first.
    static Mode next(Mode mode);

    Mode mode() const { return mode_; }
    // The size both views are drawn at, in pixels: the design's shape, as large as fits its
    // place (half the screen for the pairs, the whole screen otherwise).
    QSize viewSize() const { return view_; }
    // The size of the views' images: viewSize(), half as wide in HalfSideBySide.
    QSize drawSize() const;

    // Makes `view` a design view drawn at drawSize(), with the weights of lines, points and
    // text grown as viewSize() is to the design size, lines `weight` times as wide.
    void prepare(ImageSurface& view, double weight = 1) const;

    // The frame of the screen's size from the two views (images of drawSize()).
    QImage compose(const QImage& left, const QImage& right, QRgb background) const;

private:
    Mode mode_;
    QSize screen_;
    QSize design_;
    QSize view_;
};
