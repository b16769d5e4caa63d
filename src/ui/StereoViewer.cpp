#include "ui/StereoViewer.h"

#include "eval/UserConstants.h"
#include "output/Autostereogram.h"
#include "render/DrawHost.h"
#include "render/ImageSurface.h"
#include "session/Session.h"
#include "setup/NumberText.h"
#include "ui/PlotProgress.h"
#include "ui/ViewInteraction.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <algorithm>

namespace {
// How often the frame follows a drawing in progress.
constexpr int ComposeEveryMs = 250;
} // namespace

// The drawing's requests: the progress bar, the frame now and then, and the events (where
// Esc, a drag or a mode key arrive).
class StereoViewer::Host final : public DrawHost
{
public:
    explicit Host(StereoViewer& viewer) : viewer_(viewer) {}
    void runEvents() override
    {
        viewer_.progress_->plotRunning(viewer_.session_.plotProgress());
        if (viewer_.composed_.elapsed() >= ComposeEveryMs) repaint();
        QCoreApplication::processEvents();
    }
    void repaint() override
    {
        viewer_.compose();
        viewer_.composed_.restart();
    }
    void drawingEnded() override {}

private:
    StereoViewer& viewer_;
};

StereoViewer::StereoViewer(Session& session, MayAct mayAct, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), mayAct_(mayAct),
      host_(std::make_unique<Host>(*this))
{
    setObjectName(QStringLiteral("StereoViewer"));
    setWindowTitle(QStringLiteral("Stereo viewer"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    for (auto& v : views_)
        v = std::make_unique<ImageSurface>(0, 1, 1);
    interaction_ = new ViewInteraction(session, std::move(mayAct), this);
    interaction_->watch(this);
    progress_ = new PlotProgress(this);
    modeLabel_ = new QLabel(this);
    modeLabel_->setObjectName(QStringLiteral("lblViewerMode"));
    modeLabel_->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(0, 0, 0, 170); color: white; padding: 8px 14px; "
                       "font-size: 16pt; }"));
    modeLabel_->hide();
    modeTimer_.setSingleShot(true);
    modeTimer_.setInterval(ModeShownMs);
    connect(&modeTimer_, &QTimer::timeout, modeLabel_, &QWidget::hide);
    redrawTimer_.setSingleShot(true);
    redrawTimer_.setInterval(0);
    connect(&redrawTimer_, &QTimer::timeout, this, &StereoViewer::redraw);
}

StereoViewer::~StereoViewer() = default;

void StereoViewer::open()
{
    // On the window's screen; the geometry also holds where no window manager makes the
    // window full screen.
    if (parentWidget()) setScreen(parentWidget()->screen());
    setGeometry(screen()->geometry());
    showFullScreen();
    raise();
    activateWindow();
    setMode(mode_);
    redrawTimer_.start();
}

void StereoViewer::setMode(StereoLayout::Mode mode)
{
    // The autostereogram's view is drawn solid for its depth, the others as the look says.
    if ((mode == StereoLayout::Mode::Autostereogram) !=
        (mode_ == StereoLayout::Mode::Autostereogram))
        drawn_ = {};
    mode_ = mode;
    showState();
    if (fits(layout()))
        compose(); // the views fit the new mode as they are
    else
        drawAgain(); // at the new size
}

void StereoViewer::setLook(const SurfaceLook& look, bool labels)
{
    look_ = look;
    labels_ = labels;
    showState();
    drawAgain();
}

void StereoViewer::showState()
{
    QStringList parts{StereoLayout::name(mode_)};
    if (look_.Hidden) parts << QStringLiteral("hidden lines");
    if (look_.Solid) parts << QStringLiteral("solid");
    if (look_.Colouring != SurfaceLook::Colour::None)
        parts << QStringLiteral("colour by ") + SurfaceLook::colourName(look_.Colouring);
    if (look_.Orthographic) parts << look_.projectionName();
    if (labels_) parts << QStringLiteral("labels");
    if (lineWeight() != 1)
        parts << QStringLiteral("lines \u00D7%1").arg(QLocale::c().toString(lineWeight()));
    if (!constantShown_.isEmpty()) parts << constantShown_;
    modeLabel_->setText(parts.join(QStringLiteral(", ")));
    modeLabel_->adjustSize();
    modeLabel_->move(24, 24);
    modeLabel_->raise();
    modeLabel_->show();
    modeTimer_.start();
}

void StereoViewer::chooseConstant()
{
    const QStringList& list = session_.constantList();
    if (list.isEmpty()) {
        constant_.clear();
        constantShown_ = QStringLiteral("no user constants");
        showState();
        constantShown_.clear(); // said once
        return;
    }
    const int index = UserConstants::indexOfName(list, constant_);
    constant_ = UserConstants::nameOf(list.at((index + 1) % list.size()));
    double value = 0;
    constantShown_ = session_.constantValue(constant_, value)
                         ? QStringLiteral("%1 = %2").arg(constant_, FormatNumber15(value))
                         : QStringLiteral("%1 is no number").arg(constant_);
    showState();
}

void StereoViewer::stepConstant(int direction)
{
    if (UserConstants::indexOfName(session_.constantList(), constant_) < 0) {
        chooseConstant(); // the first, or a word that there is none
        if (constant_.isEmpty()) return;
    }
    if (mayAct_ && !mayAct_()) return; // a field of the window keeps the focus
    double value = 0;
    if (!session_.stepConstant(constant_, direction, value)) {
        constantShown_ = QStringLiteral("%1 is no number").arg(constant_);
        showState();
        return;
    }
    constantShown_ = QStringLiteral("%1 = %2").arg(constant_, FormatNumber15(value));
    showState();
    session_.plot(); // the window's plot; then this viewer draws it
}

void StereoViewer::drawAgain()
{
    if (drawing_) {
        drawAgain_ = true; // once this drawing has stopped
        session_.cancelPlot();
    } else {
        redrawTimer_.start();
    }
}

void StereoViewer::plotEnded()
{
    if (isHidden()) return;
    if (drawing_)
        drawAgain_ = true;
    else
        redrawTimer_.start();
}

QString StereoViewer::shownMode() const
{
    return modeLabel_->isVisible() ? modeLabel_->text() : QString();
}

StereoLayout StereoViewer::layout() const
{
    const RenderState& r = session_.renderState();
    return StereoLayout(mode_, size() * devicePixelRatio(), QSize(r.PicWidth0, r.PicHeight0));
}

bool StereoViewer::fits(const StereoLayout& l) const
{
    return drawn_.first == l.viewSize() && drawn_.second == l.drawSize();
}

void StereoViewer::redraw()
{
    // A plot of the session calls plotEnded when it has ended.
    if (isHidden() || drawing_ || session_.isPlotting()) return;
    // The window's design view drawn at the layout's size: weights grow as with --scale.
    const StereoLayout l = layout();
    for (auto& v : views_)
        l.prepare(*v, lineWeight());
    drawn_ = {l.viewSize(), l.drawSize()};
    drawing_ = true;
    composed_.start();
    progress_->plotStarted();
    const CapturedPlot plot = session_.capturedPlot();
    DrawOptions options = plot.setup.Options;
    options.Labels = labels_;
    options.Look = look_;
    if (mode_ == StereoLayout::Mode::Autostereogram)
        options = Autostereogram::depthOptions(options, look_);
    if (session_.drawCaptured(plot, {views_[0].get(), views_[1].get()}, options, host_.get()))
        ++drawings_;
    progress_->plotEnded();
    drawing_ = false;
    compose();
    if (drawAgain_) {
        drawAgain_ = false;
        redrawTimer_.start();
    }
}

void StereoViewer::compose()
{
    const StereoLayout l = layout();
    if (!fits(l)) return;
    if (mode_ == StereoLayout::Mode::Autostereogram) {
        // For parallel eyes, with the same dots at every drawing.
        const Autostereogram stereogram(size() * devicePixelRatio(),
                                        Autostereogram::Viewing::Parallel);
        UniformRandom dots;
        dots.seed(1);
        frame_ = stereogram.image(stereogram.frameDepth(*views_[1]), dots);
    } else {
        frame_ = l.compose(views_[0]->image(), views_[1]->image(),
                           ImageSurface::toRgb(views_[0]->backColor()));
    }
    frame_.setDevicePixelRatio(devicePixelRatio());
    update();
}

void StereoViewer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, frame_);
}

void StereoViewer::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (drawing_ || session_.isPlotting())
            session_.cancelPlot();
        else
            close();
    } else if (key == Qt::Key_Plus || key == Qt::Key_Minus) {
        const int step = key == Qt::Key_Plus ? 1 : -1;
        weight_ = std::clamp(weight_ + step, 0, int(LineWeights.size()) - 1);
        showState();
        drawn_ = {}; // drawn anew with the new weight
        drawAgain();
    } else if (key == Qt::Key_M) {
        setMode(StereoLayout::next(mode_));
    } else if (key >= Qt::Key_1 && key < Qt::Key_1 + StereoLayout::ModeCount) {
        setMode(StereoLayout::Mode(key - Qt::Key_1));
    } else if (key == Qt::Key_H || key == Qt::Key_S || key == Qt::Key_C || key == Qt::Key_O ||
               key == Qt::Key_L) {
        SurfaceLook look = look_;
        bool labels = labels_;
        if (key == Qt::Key_H) look.Hidden = !look.Hidden;
        if (key == Qt::Key_S) look.Solid = !look.Solid;
        if (key == Qt::Key_C)
            look.Colouring =
                look.Colouring == SurfaceLook::Colour::None     ? SurfaceLook::Colour::Height
                : look.Colouring == SurfaceLook::Colour::Height ? SurfaceLook::Colour::Depth
                                                                : SurfaceLook::Colour::None;
        if (key == Qt::Key_O) look.Orthographic = !look.Orthographic;
        if (key == Qt::Key_L) labels = !labels;
        setLook(look, labels);
    } else if (key == Qt::Key_K) {
        chooseConstant();
    } else if (key == Qt::Key_BracketLeft || key == Qt::Key_BracketRight) {
        stepConstant(key == Qt::Key_BracketLeft ? -1 : 1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void StereoViewer::mouseDoubleClickEvent(QMouseEvent*)
{
    close();
}

void StereoViewer::resizeEvent(QResizeEvent*)
{
    drawAgain();
}

void StereoViewer::closeEvent(QCloseEvent* event)
{
    redrawTimer_.stop();
    drawAgain_ = false;
    if (drawing_) session_.cancelPlot();
    modeLabel_->hide();
    event->accept();
    if (parentWidget()) parentWidget()->activateWindow();
}
