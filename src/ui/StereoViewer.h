#pragma once

#include "output/StereoLayout.h"
#include "setup/SurfaceLook.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <utility>

class ImageSurface;
class PlotProgress;
class QLabel;
class Session;
class ViewInteraction;

// The full-screen stereo viewer: the plot shown in the window, drawn anew at the screen's
// resolution onto views of the layout's size, in one of the StereoLayout modes. Lines, dots,
// the dotted pattern, the origin mark and text grow with the views against the window's
// design size, as the image exports' pixel scale does; + and - make the lines bolder or
// thinner in LineWeights steps. M cycles the modes and 1 to 5 choose one; H turns hidden
// lines on and off, S the solid surface, C the colour (none, height, depth), O the projection
// (oblique, orthographic), L the axis labels. K chooses the next user constant, [ and ] step
// it down and up (Session::stepConstant) and plot again, so the window shows the same plot
// with the constant written back into its list. The mode's name, the look, the line weight
// (when it is not 1) and the constant chosen with its value show in a corner for two
// seconds. Dragging
// turns the surface and the wheel zooms, through the window's fields; after each plot of the
// session the viewer draws again. Esc stops a drawing that runs, else it closes the viewer, as
// a double-click does.
class StereoViewer : public QWidget
{
    Q_OBJECT
public:
    using MayAct = std::function<bool()>; // as for the window's views
    StereoViewer(Session& session, MayAct mayAct, QWidget* parent);
    ~StereoViewer() override;

    static constexpr int ModeShownMs = 2000;
    static constexpr std::array<double, 5> LineWeights = {0.5, 0.75, 1, 1.5, 2};

    // Shows the viewer full screen and draws the plot.
    void open();
    void setMode(StereoLayout::Mode mode);
    StereoLayout::Mode mode() const { return mode_; }
    double lineWeight() const { return LineWeights[std::size_t(weight_)]; }
    // The surface's look and the labels the views are drawn with; a change draws them anew.
    void setLook(const SurfaceLook& look, bool labels);
    const SurfaceLook& look() const { return look_; }
    bool labels() const { return labels_; }
    // The session ended a plot: draw it again once the events have run.
    void plotEnded();

    // The mode's name and the look while they show, else empty.
    QString shownMode() const;
    // The name of the user constant the step keys change, empty before K chose one.
    const QString& constant() const { return constant_; }
    // The frame on the screen, and how many drawings reached their end.
    const QImage& frame() const { return frame_; }
    int drawings() const { return drawings_; }
    bool isDrawing() const { return drawing_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Host;
    StereoLayout layout() const;
    void redraw();
    void compose();
    // The mode's name, the look, the line weight and the constant, shown for a while.
    void showState();
    // K: the next user constant; [ and ]: its value stepped.
    void chooseConstant();
    void stepConstant(int direction);
    // Whether the views drawn serve layout `l` as they are.
    bool fits(const StereoLayout& l) const;
    // Draws anew, at once or when the drawing that runs has stopped.
    void drawAgain();

    Session& session_;
    MayAct mayAct_;
    StereoLayout::Mode mode_ = StereoLayout::Mode::CrossEyed;
    SurfaceLook look_;
    bool labels_ = false;
    int weight_ = 2;                // index into LineWeights
    QString constant_;              // the user constant the step keys change
    QString constantShown_;         // it with its value, or why it cannot be stepped
    std::pair<QSize, QSize> drawn_; // the layout's view and drawing sizes of the views drawn
    std::unique_ptr<ImageSurface> views_[2];
    std::unique_ptr<Host> host_;
    ViewInteraction* interaction_ = nullptr;
    PlotProgress* progress_ = nullptr;
    QLabel* modeLabel_ = nullptr;
    QTimer modeTimer_;
    QTimer redrawTimer_;
    QElapsedTimer composed_; // since the frame was last composed during a drawing
    QImage frame_;
    bool drawing_ = false;
    bool drawAgain_ = false;
    int drawings_ = 0;
};
